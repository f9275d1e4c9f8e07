// The options screen's answers to keys and clicks; game/input.cpp hands them over while it
// is open.
#pragma once

#include "game/game_state.h"
#include "game/input.h"

// Opens the screen over the title or a paused field, and nowhere else; the first row chosen.
void open_options(GameState& state);
void key_on_options(GameState& state, Key key);
// A click (or tap) at field point (x, y) while the screen is open.
void click_on_options(GameState& state, int x, int y);
// A changed option takes effect at once and is kept.
void options_changed(GameState& state);
// The options kept from an earlier run, taken at start.
void take_stored_options(GameState& state, const PlayerOptions& options, int32_t music_muted);
