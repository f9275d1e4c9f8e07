// What the game asks of the desktop directly, where SDL 2.26 does not: the scale the desktop
// declares, and on X11 whether a window manager runs at all, and placing the window where a
// window manager would have put it. Off X11 a window manager is always there.
#pragma once

#include <SDL.h>

// False only on X11 with no window manager answering (a kiosk started straight into X).
bool window_manager_present(SDL_Window* window);

// Moves and resizes the window itself, in screen pixels, and puts it on top. For an X window
// nobody manages; does nothing elsewhere.
void place_unmanaged_window(SDL_Window* window, const SDL_Rect& place);

// Window pixels per unit of the desktop's own, where the window is counted in pixels: on
// Windows the monitor's scale (the game is aware of it, so Windows leaves sizing to the game),
// on X11 the Xft.dpi the desktop sets for every program (GNOME and KDE set 192 at 200 %).
// 1 where the desktop says nothing, and on Wayland, where SDL counts the window in the
// desktop's units already and draws into all of its pixels.
double desktop_scale(SDL_Window* window);
