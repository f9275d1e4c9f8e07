// What the game asks of an X desktop directly, where SDL 2.26 does not ask for it: whether a
// window manager runs at all, the scale the desktop declares, and placing the window where a
// window manager would have put it. Off X11 (Wayland, Windows) a window manager is always
// there and the desktop's scale reaches SDL by its own ways.
#pragma once

#include <SDL.h>

// False only on X11 with no window manager answering (a kiosk started straight into X).
bool window_manager_present(SDL_Window* window);

// Moves and resizes the window itself, in screen pixels, and puts it on top. For an X window
// nobody manages; does nothing elsewhere.
void place_unmanaged_window(SDL_Window* window, const SDL_Rect& place);

// The desktop's scale on X11, from the Xft.dpi it sets for every program (GNOME and KDE set
// 192 at 200 %): 1 where it says nothing, and always 1 off X11.
double x_desktop_scale(SDL_Window* window);
