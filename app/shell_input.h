// Everything the player's hands do, on its way to the game: the desktop's own keys taken
// out (fullscreen), the gamepads turned into the keys they stand for, and the rest handed
// to the game's routing (events.h) unchanged.
//
// Left and Right, held from two places. The game knows one flag per direction, and a
// release clears it. Held from the keyboard and a pad at once, a direction counts as held
// until both let go: the release from one is kept from the game while the other still
// holds. A pad also repeats what it holds once per tick, as a held key auto-repeats, so
// that a direction held through a pause, a new level or a change of focus takes hold again
// as soon as the game listens, exactly as a held arrow key does.
#pragma once

#include <SDL.h>

#include "app/events.h"
#include "app/fullscreen.h"
#include "app/gamepad.h"
#include "game/game_state.h"

struct ShellInput {
  FullscreenKeys fullscreen_keys;
  Gamepads pads;
  PadHolds told;                                       // what the pads together last told the game they hold
  bool keyboard_left = false, keyboard_right = false;  // arrow keys down, as far as we saw
};

struct ShellEffect {
  bool repaint = false;
  bool quit = false;
  bool toggle_fullscreen = false;  // F11 or Alt+Enter: the loop switches the window
};

// Hands one event to whoever it belongs to: the desktop keys to the loop (as
// toggle_fullscreen), pad changes to the game as key presses and releases, everything else
// through route_event.
ShellEffect route_shell_event(ShellInput& input, GameState& state, const SDL_Event& event, int window_width,
                              int window_height);

// Once per tick, before it: the directions the pads hold, pressed again as auto-repeats.
void repeat_pad_holds(const ShellInput& input, GameState& state);

// Every pad closed and whatever they held released in the game.
void release_all_pads(ShellInput& input, GameState& state);
