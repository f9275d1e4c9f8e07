// The one loop (frame_loop.h) as Linux and Windows run it: one thread, sleeping in SDL's wait
// for events between the turns for as long as the loop allows.
#pragma once

#include "app/shell_input.h"
#include "app/window.h"
#include "game/game_state.h"

// Ticks, events and frames until the window is to close (the close box, Esc, or SDL_QUIT).
void run_until_closed(ShellWindow& shell, GameState& state, ShellInput& hands);

// After the loop: no more ticks, the pads let go, the sound stopped, then the drawing and SDL.
void end_window_life(ShellWindow& shell, GameState& state, ShellInput& hands);
