#include "render/frame_key.h"

#include "render/painters.h"

bool digested(Canvas& canvas, DrawOperation operation, std::initializer_list<int64_t> values, const char* text) {
  if (!canvas.digest) return false;
  uint64_t h = *canvas.digest;
  auto fold = [&h](uint64_t v) {
    h = (h ^ v) * 0x9E3779B97F4A7C15u;
    h ^= h >> 29;
  };
  fold(static_cast<uint64_t>(operation));
  for (int64_t v : values) fold(static_cast<uint64_t>(v));
  for (const char* c = text; c && *c; ++c) fold(static_cast<unsigned char>(*c));
  fold(values.size());
  *canvas.digest = h;
  return true;
}

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
