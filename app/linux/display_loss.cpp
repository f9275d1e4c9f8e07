#include "app/linux/display_loss.h"

#include <SDL_syswm.h>
#include <wayland-client-core.h>

#include <atomic>
#include <cstdio>
#include <cstring>

DisplayConnection display_connection_of(SDL_Window* window) {
  DisplayConnection connection;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_WAYLAND) {
    connection.wayland = info.info.wl.display;
  }
  return connection;
}

int display_connection_error(const DisplayConnection& connection) {
  // libwayland keeps the error that ended the connection; asking takes the connection's own
  // lock, so it is safe beside the thread that reads its events.
  if (connection.wayland == nullptr) return 0;
  return wl_display_get_error(static_cast<wl_display*>(connection.wayland));
}

void report_lost_display(int error) {
  static std::atomic<bool> reported{false};
  if (reported.exchange(true)) return;
  std::fprintf(stderr, "orbilux-rush: lost the connection to the display (%s)\n", std::strerror(error));
}
