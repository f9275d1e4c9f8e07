// Everything a frame shows, in a few dozen numbers: what the painters read from the state,
// cut the way they cut it (positions truncated to pixels, the countdown rounded up to its
// digit, timers only as "still running"), and only on the screen that reads it. Two states
// with the same key compose the very same picture, so a frame whose key equals the one on
// the canvas need not be composed again; tests hold the painters to that.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "render/canvas.h"

enum class FrameView : int32_t { title = 0, question = 1, correct = 2, wrong = 3, field = 4 };

struct SparkKey {
  int32_t x = 0, y = 0;  // the spark's pixel
  int32_t arm = 0;       // half the length of its cross; 0 for a spark that is out
  int32_t gold = 0;
  bool operator==(const SparkKey&) const = default;
};

struct FrameKey {
  FrameView view = FrameView::title;

  // Numbers written on the screen, and the quiz's texts.
  int32_t level = 0;
  int32_t lives = 0;
  int32_t score = 0;
  int32_t best_score = 0;
  int32_t game_over = 0;
  int32_t question = 0;                // the question shown
  int32_t options[kOptionCount] = {};  // the answer in each row; -1 for a row left empty

  // The scene.
  int32_t connected = 0;
  int32_t level_points = 0;
  uint64_t clock_bits = 0;  // play_clock's bits while anything drawn follows it, else 0
  int32_t flashing = 0;     // connect_flash_timer > 0

  // The moving things.
  int32_t catcher_x = 0;
  int32_t cargo_count = 0;  // the boxes drawn: cargo_count held to 0..12
  int32_t cargo[kCargoSlots] = {};
  int32_t item_x = 0, item_y = 0;
  int32_t item_kind = 0;  // 0 red booster, 1 gold booster, 2 meander
  SparkKey sparks[kParticleCount];
  int32_t popup = 0;  // 0 none, -1 "-1 LIFE" with the warning, 1 "+1", 5 "+5  +1 LIFE"

  // Banners and panels.
  int32_t level_up = 0;
  int32_t level_complete = 0;
  int32_t countdown = 0;    // the digit shown, 0 when the panel is not
  int32_t pause_panel = 0;  // 0 none, 1 "Press Space", 2 "Return to this window"

  bool operator==(const FrameKey&) const = default;
};

FrameKey frame_key(const GameState& state);

// What the canvas holds: the key of the frame last composed on it.
struct FrameMemory {
  FrameKey shown;
  bool holds_frame = false;  // false until the first frame, and after forget_frame
};

// Composes the frame for the state unless the canvas already holds that very picture.
// Returns true when it composed, false when the canvas was left as it was.
bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state);

// The canvas was drawn on by someone else, or is new: the next frame is composed in full.
inline void forget_frame(FrameMemory& memory) { memory.holds_frame = false; }
