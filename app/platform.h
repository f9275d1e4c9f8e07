// Everything that differs between the platforms, and nothing else. Each of app/linux/,
// app/windows/ and app/web/ defines every function here (Linux and Windows share their loop
// in app/desktop/), CMake builds the one folder of the platform it builds for, and each
// folder's main() is its own entry to app_main. The rest of app/ is the same everywhere.
#pragma once

#include <SDL.h>

// Named only: X11's headers, which the Linux folder needs, take the names of some of the game's.
struct GameState;
struct ShellInput;
struct ShellWindow;

// Starts SDL's video on a screen the player can see; false, with SDL's error set, where none is.
bool open_screen();

// From the window's first frame to its last, then the window, the pads and the sound let go.
// Returns the exit code (1 for a display connection that broke); the browser's never returns.
int run_window(ShellWindow& shell, GameState& state, ShellInput& hands);

// False where the machine has no GPU for OpenGL to run on (Linux without a render node or
// NVIDIA's device), so that SDL's OpenGL renderer would rasterise on the processor; true
// elsewhere.
bool gpu_present();

// False only on X11 with no window manager answering (a kiosk started straight into X).
bool window_manager_present(SDL_Window* window);

// Moves and resizes the window itself, in screen pixels, and puts it on top. For an X window
// nobody manages; does nothing elsewhere.
void place_unmanaged_window(SDL_Window* window, const SDL_Rect& place);

// True on Wayland when SDL holds no toplevel for a window it has shown. SDL 2.26 takes its
// window down to draw the decorations itself when the compositor answers that it draws none
// (cage, the kiosk compositor, does), but puts it up again only if the answer comes after the
// window was shown, and it comes while the window is being shown. False elsewhere.
bool shown_window_lost_its_toplevel(SDL_Window* window);

// Window pixels per unit of the desktop's own, where the window is counted in pixels: on
// Windows the monitor's scale (the game is aware of it, so Windows leaves sizing to the game),
// on X11 the Xft.dpi the desktop sets for every program (GNOME and KDE set 192 at 200 %).
// 1 where the desktop says nothing, and on Wayland, where SDL counts the window in the
// desktop's units already and draws into all of its pixels.
double desktop_scale(SDL_Window* window);

// Whether the player asked the system for less motion, for the options' first start: the
// page's prefers-reduced-motion; false on the desktops, where the game has no such setting.
bool system_prefers_reduced_motion();
