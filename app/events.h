// The edge between SDL's events and the game: key codes become the game's own keys, and
// each event reaches the one handler it belongs to. The game never sees SDL.
#pragma once

#include <SDL.h>

#include "game/game_state.h"
#include "game/input.h"

// What the key types on the player's layout decides the letter; the digits answer only
// from the main row, Enter from either Enter key.
Key key_of_keycode(SDL_Keycode code);

// The key as the game understands it now: on the running field the player's own keys come
// first; on every other screen its own keys, then the player's; on the options screen only its own.
Key key_of_event(const GameState& state, SDL_Keycode code);

// What the window loop has to do after an event, beyond what the game handlers did.
struct EventEffect {
  bool repaint = false;  // the window's picture was lost or its size changed
  bool quit = false;     // the close box: tear down and end
};

// Hands one event to the game. window_width and window_height are the window's size in
// the units of mouse coordinates, at the moment of the event.
EventEffect route_event(GameState& state, const SDL_Event& event, int window_width, int window_height);
