// What the game asks the X desktop and the machine itself, where SDL 2.26 does not. Off X11 (Wayland) a
// window manager is always there and the window's scale is SDL's own; there the one
// question is whether SDL still holds the window's toplevel.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/desktop/dpi.h"
#include "app/platform.h"

namespace {

struct XWindow {
  Display* display = nullptr;
  Window window = 0;
};

XWindow x_window_of(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
  return {info.info.x11.display, info.info.x11.window};
}

// The window a compliant window manager names on the root window, if it names one that
// names itself back: a property left over by a window manager that has gone does not count.
Window supporting_wm_check(Display* display, Window on) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return 0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  Window named = 0;
  if (XGetWindowProperty(display, on, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &left, &data) ==
          Success &&
      type == XA_WINDOW && format == 32 && count == 1) {
    named = *reinterpret_cast<Window*>(data);
  }
  if (data != nullptr) XFree(data);
  return named;
}

}  // namespace

bool gpu_present() {
  // A GPU's kernel driver makes a render node; NVIDIA's own driver may make only its device.
  if (access("/dev/nvidia0", F_OK) == 0) return true;
  DIR* dri = opendir("/dev/dri");
  if (dri == nullptr) return false;
  bool found = false;
  while (const dirent* entry = readdir(dri)) found = found || std::strncmp(entry->d_name, "renderD", 7) == 0;
  closedir(dri);
  return found;
}

bool window_manager_present(SDL_Window* window) {
  const XWindow x = x_window_of(window);
  if (x.display == nullptr) return true;
  const Window named = supporting_wm_check(x.display, DefaultRootWindow(x.display));
  // The game's X error handler keeps going if that window is gone meanwhile.
  return named != 0 && supporting_wm_check(x.display, named) == named;
}

void place_unmanaged_window(SDL_Window* window, const SDL_Rect& place) {
  const XWindow x = x_window_of(window);
  if (x.display == nullptr || place.w <= 0 || place.h <= 0) return;
  XMoveResizeWindow(x.display, x.window, place.x, place.y, static_cast<unsigned>(place.w),
                    static_cast<unsigned>(place.h));
  XRaiseWindow(x.display, x.window);
  XFlush(x.display);
}

double desktop_scale(SDL_Window* window) {
  const XWindow x = x_window_of(window);
  if (x.display == nullptr) return 1.0;
  const char* dpi = XGetDefault(x.display, "Xft", "dpi");
  return dpi == nullptr ? 1.0 : scale_of_dpi(std::strtod(dpi, nullptr));
}

bool shown_window_lost_its_toplevel(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_WAYLAND &&
         info.info.wl.xdg_toplevel == nullptr;
#else
  static_cast<void>(window);  // an SDL without Wayland: only X11's windows, which keep theirs
  return false;
#endif
}
