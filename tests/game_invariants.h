// What must hold of the game state after every event, whatever the player did.
#pragma once

#include <string>

#include "game/game_state.h"

// Empty when the state makes sense, else what is wrong with it.
std::string check_invariants(const GameState& s);
// The same for the options as read from a file or changed on their screen.
std::string check_options(const PlayerOptions& o, int32_t music_muted);
