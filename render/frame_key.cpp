#include "render/frame_key.h"

#include "render/painters.h"

uint64_t frame_key(Canvas& canvas, const GameState& state) {
  uint64_t digest = 0;
  canvas.digest = &digest;
  compose_frame(canvas, state);
  canvas.digest = nullptr;
  return digest;
}

bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state) {
  const uint64_t key = frame_key(canvas, state);
  if (memory.holds_frame && key == memory.shown) return false;
  compose_frame(canvas, state);
  memory.shown = key;
  memory.holds_frame = true;
  return true;
}
