// The page around the game (built for the browser only): the canvas's box on the page, the
// tab being hidden, and how finely this device can afford to draw the field.
#pragma once

#include <SDL.h>

#include "app/window.h"
#include "game/game_state.h"

// The page's box is the game's window: no minimum size, the canvas drawn up to the largest
// scale the game has pictures for until the device proves too slow for it.
void start_following_page(ShellWindow& shell);

// Makes the window the canvas's box on the page, and the canvas's bitmap that box in device
// pixels, when either changed since the last frame (a resize, a turn, a zoom, fullscreen, a
// return to the tab). Called before a frame is drawn; true when it changed the size. Also
// keeps Module.orbiluxDrawScale at the canvas's scale, for the page's tests.
bool follow_page_box(ShellWindow& shell);

// A hidden page (another tab, a locked phone) pauses a running field as losing focus does,
// and coming back gives the usual fresh GET READY; not every browser sends a blur with it.
void follow_page_visibility(GameState& state, const SDL_Event& event);

// Counts a frame of the running field that took `counts` of SDL's performance counter; when
// the busiest of them take too long, the cap comes down (game/draw_scale_cap.h) and the
// console says so once.
void weigh_running_frame(ShellWindow& shell, uint64_t counts);
