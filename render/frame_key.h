// Whether a frame needs composing at all. The painters run once without drawing, and every
// operation they would draw, with its place, its colour and its text, is folded into a
// digest; two states with the same digest compose the very same picture, whatever the
// painters read from them. A frame whose digest equals the one on the canvas need not be
// composed again.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "game/game_state.h"
#include "render/canvas.h"

uint64_t frame_key(Canvas& canvas, const GameState& state);

// The drawing operations as the digest tells them apart.
enum class DrawOperation : int64_t { rect = 1, ellipse, polygon, line, polyline, text, wrapped_text, image };

// Under canvas.digest, folds one drawing operation with its values and text into the
// digest and returns true: the operation is then to draw nothing. False otherwise.
bool digested(Canvas& canvas, DrawOperation operation, std::initializer_list<int64_t> values,
              const char* text = nullptr);

// What the canvas holds: the key of the frame last composed on it.
struct FrameMemory {
  uint64_t shown = 0;
  bool holds_frame = false;  // false until the first frame, and after forget_frame
};

// Composes the frame for the state unless the canvas already holds that very picture.
// Returns true when it composed, false when the canvas was left as it was.
bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state);

// The canvas was drawn on by someone else, or is new: the next frame is composed in full.
inline void forget_frame(FrameMemory& memory) { memory.holds_frame = false; }
