// Linux's start and loop: X11 or Wayland, the end signals and the display connection watched.
#include <SDL.h>

#include "app/cli.h"
#include "app/desktop/loop.h"
#include "app/linux/display_loss.h"
#include "app/linux/signals.h"
#include "app/linux/x_errors.h"
#include "app/platform.h"

namespace {

bool is_set(const char* name) {
  const char* value = SDL_getenv(name);
  return value != nullptr && value[0] != '\0';
}

}  // namespace

// Without a display SDL would still start, on a video driver that draws nowhere, and the
// game would run unseen until killed. Such a driver is fine only when asked for by name.
bool open_screen() {
  catch_end_signals();
  // On Wayland the desktop finds our menu entry and icon by the window's application id.
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", program_app_id(), 0);
  if (!is_set("SDL_VIDEODRIVER") && !is_set("DISPLAY") && !is_set("WAYLAND_DISPLAY")) {
    SDL_SetError("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    return false;
  }
  // Without a Wayland socket named, X11 is the only way to a screen; trying Wayland anyway
  // would only add the Wayland library's own complaint to ours when X11 fails too.
  if (!is_set("SDL_VIDEODRIVER") && !is_set("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  survive_stray_x_errors();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  const bool draws_nowhere =
      driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
  if (draws_nowhere && (driver == nullptr || requested == nullptr || SDL_strstr(requested, driver) == nullptr)) {
    SDL_Quit();
    SDL_SetError("no display to show the game on");
    return false;
  }
  return true;
}

int run_window(ShellWindow& shell, GameState& state, ShellInput& hands) {
  start_end_watch(display_connection_of(shell.window));
  run_until_closed(shell, state, hands);
  const int exit_code = finish_end_watch();
  end_window_life(shell, state, hands);
  return exit_code;
}

bool system_prefers_reduced_motion() { return false; }
