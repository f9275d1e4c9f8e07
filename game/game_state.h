// The one record of the game: every rule reads and writes it, drawing only reads it.
#pragma once

#include <cstdint>

#include "game/options.h"
#include "game/random.h"

// Size of the play field in logical pixels; every position of the game lives in it.
inline constexpr int kFieldWidth = 800;
inline constexpr int kFieldHeight = 600;
// The top of the ground band under the catcher; an item whose top edge passes it has left the field.
inline constexpr int kGroundLineY = 536;

inline constexpr int kParticleCount = 32;
inline constexpr int kCargoSlots = 12;
inline constexpr int kDevicesPerLevel = 12;
inline constexpr int kQuestionCount = 6;
inline constexpr int kOptionCount = 4;

enum class Screen : int32_t {
  play = 0,      // the field, also under the title, countdown, pause, interlude and game over
  question = 1,  // a quiz question waits for an answer
  correct = 2,   // the right answer was given; the explanation stays up
  wrong = 3,     // a wrong answer; retry, or a new game once the game is over
};

// What the popup over the catcher says after a catch: the points, or the life lost.
enum class Popup : int32_t { lost_life = -1, red_booster = 1, gold_booster = 5 };

// The single falling item: a box of half-width 18 and half-height 19 around its centre.
struct FallingItem {
  double x = 0;           // centre x
  double y = 0;           // centre y
  double fall_speed = 0;  // pixels per second, downwards
  int32_t is_meander = 0;
  int32_t is_gold = 0;  // always 0 for a meander; neither flag set means a red booster

  bool operator==(const FallingItem&) const = default;
};

// One spark of the burst shown when a booster is caught.
struct Particle {
  double x = 0, y = 0;
  double vx = 0, vy = 0;  // pixels per second
  double life = 0;        // seconds left; alive while > 0
  int32_t is_gold = 0;

  bool operator==(const Particle&) const = default;
};

// Flags are 32-bit integers holding 0 or 1; timers count down only while positive and
// count as expired at or below 0.
struct GameState {
  // flow
  int32_t title_screen = 1;
  Screen screen = Screen::play;
  int32_t game_over = 0;
  int32_t paused = 0;
  int32_t has_focus = 1;
  int32_t music_muted = 0;
  int32_t level_complete = 0;

  // timers, seconds
  double countdown = 0;
  double level_complete_timer = 0;
  double popup_timer = 0;
  double connect_flash_timer = 0;
  double level_up_timer = 0;
  double play_clock = 0;

  // progress
  int32_t level = 0;  // 0-based; shown to the player as level + 1
  int32_t score = 0;
  int32_t best_score = 0;
  int32_t lives = 0;
  int32_t connected = 0;            // devices connected in this level, 0..12
  int32_t level_points = 0;         // points of this level less one per meander caught, >= 0
  int32_t cargo[kCargoSlots] = {};  // load in the catcher's bed: 1 gold, 0 red
  int32_t cargo_count = 0;          // only cargo[0 .. cargo_count-1] mean anything

  // quiz
  int32_t quiz_count = 0;
  int32_t question_order[kQuestionCount] = {0, 1, 2, 3, 4, 5};
  int32_t current_question = 0;
  int32_t option_order[kOptionCount] = {0, 1, 2, 3};

  // entities
  double player_x = 400;  // centre of the catcher, 60..740
  int32_t left_held = 0;
  int32_t right_held = 0;
  FallingItem item;
  Particle particles[kParticleCount];
  Popup popup_kind = Popup::red_booster;

  // the player's options, and their screen over the title or a paused field
  PlayerOptions options;
  int32_t options_open = 0;
  int32_t options_row = 0;          // an OptionRow
  int32_t options_waiting_key = 0;  // the selected key row waits for the key to take
  int32_t options_refused = 0;      // the last key offered there was taken
  int32_t assisted_game = 0;        // part of this game ran below full speed: it sets no best

  // timing: the high-resolution counter at the previous tick, and its counts per second
  int64_t tick_last_count = 0;
  int64_t tick_frequency = 1;

  // The game's only source of chance, seeded once at program start.
  GameRandom random;

  // Every field alike: two runs that must not differ in anything the player could notice.
  bool operator==(const GameState&) const = default;
};

// The scenes the levels cycle through; the backdrop, the ground colour and the music each
// keep one row per scene (render/scenes.cpp, audio/synth_tables.h).
enum class Scene : int32_t { city, industry, countryside, snowy_peaks, desert, coast };
inline constexpr int32_t kSceneCount = 6;

// Levels are never negative in play; the floor modulo keeps a stray one inside the tables.
inline Scene scene_of_level(int32_t level) {
  return static_cast<Scene>((level % kSceneCount + kSceneCount) % kSceneCount);
}
