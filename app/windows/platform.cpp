// Windows' start and loop: its one screen, and the desktop's loop as it is. Windows sends no
// end signals to a windowed game (SDL turns Ctrl+C in a console into SDL_QUIT), and its
// display connection cannot break under it.
#include <SDL.h>

#include "app/desktop/dpi.h"
#include "app/desktop/loop.h"
#include "app/platform.h"

bool open_screen() { return SDL_Init(SDL_INIT_VIDEO) == 0; }

int run_window(ShellWindow& shell, GameState& state, ShellInput& hands) {
  run_until_closed(shell, state, hands);
  end_window_life(shell, state, hands);
  return 0;
}

// Every window on Windows has the desktop's own manager.
bool gpu_present() { return true; }

bool window_manager_present(SDL_Window*) { return true; }
bool system_prefers_reduced_motion() { return false; }
void place_unmanaged_window(SDL_Window*, const SDL_Rect&) {}
bool shown_window_lost_its_toplevel(SDL_Window*) { return false; }

// SDL 2.26 could count a Windows window in points too, but then its software renderer draws
// only the points' worth of pixels into the corner; counted in pixels, every renderer fills it.
double desktop_scale(SDL_Window* window) {
  float dpi = 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayDPI(display, nullptr, &dpi, nullptr) != 0) return 1.0;
  return scale_of_dpi(dpi);
}
