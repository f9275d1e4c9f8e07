// The rules of the field: starting games and levels, the tick and its three steps.
#pragma once

#include <cstdint>

#include "game/game_state.h"

// Highest best score the store may hand us; anything above it is treated as no score.
inline constexpr int64_t kMaxBestScore = 999'999'999;

// Geometry of the field that the rules use.
inline constexpr double kCatchLineY = 480;  // the item's bottom edge is judged against it
inline constexpr double kItemHalfWidth = 18;
inline constexpr double kItemHalfHeight = 19;
inline constexpr double kItemSpawnY = -24;
inline constexpr double kPlayerMinX = 60;
inline constexpr double kPlayerMaxX = 740;
inline constexpr double kPlayerSpeed = 395;  // pixels per second, the same at every level
inline constexpr double kMaxTickSeconds = 0.05;
inline constexpr double kCountdownSeconds = 3.0;
inline constexpr double kInterludeSeconds = 2.4;

// Program start: seeds the random source, takes the stored best score when it is one
// (found and at most kMaxBestScore), sets the load-time values and starts a game.
void start_program(GameState& state, uint32_t seed, bool best_found, int64_t stored_best);

void new_game(GameState& state);
void next_level(GameState& state);

// Advances the game by the real time since the previous tick, at most 0.05 s.
void tick(GameState& state);

// True when the field does not run (title, quiz screens, pause, game over, no focus): a
// tick then only stores the counter, and only an event can change anything.
bool field_stands_still(const GameState& state);

void spawn_item(GameState& state);
void lose_life(GameState& state);
void update_particles(GameState& state, double dt);

// The M key: flips the music switch and brings the streams in line with it.
void toggle_music(GameState& state);

// True when the drop chime may sound: the field runs (no title, no quiz, no interlude,
// countdown over).
bool drop_chime_audible(const GameState& state);

// Fall speed of every item of a level, pixels per second.
inline double fall_speed_of_level(int level) { return (level * 0.2 + 1) * 200; }
