#include "app/platform.h"

namespace {

// 96 dots an inch is a desktop at 100 %; anything outside a sane range is a mistake, not a scale.
// (Unused where the desktop tells no scale: the browser and Wayland.)
[[maybe_unused]] double scale_of_dpi(double dpi) { return dpi >= 96.0 && dpi <= 96.0 * 8 ? dpi / 96.0 : 1.0; }

}  // namespace

#ifdef ORBILUX_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>

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

#else

bool window_manager_present(SDL_Window*) { return true; }
void place_unmanaged_window(SDL_Window*, const SDL_Rect&) {}

#ifdef _WIN32
// SDL 2.26 could count a Windows window in points too, but then its software renderer draws
// only the points' worth of pixels into the corner; counted in pixels, every renderer fills it.
double desktop_scale(SDL_Window* window) {
  float dpi = 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayDPI(display, nullptr, &dpi, nullptr) != 0) return 1.0;
  return scale_of_dpi(dpi);
}
#else
double desktop_scale(SDL_Window*) { return 1.0; }
#endif

#endif
