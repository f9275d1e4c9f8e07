#include "render/digest.h"

#include <algorithm>
#include <cmath>

namespace {

uint64_t fold(uint64_t h, uint64_t v) {
  h = (h ^ v) * 0x9E3779B97F4A7C15u;
  return h ^ (h >> 29);
}

uint64_t fold_values(uint64_t h, DrawOperation operation, std::initializer_list<int64_t> values, const char* text) {
  h = fold(h, static_cast<uint64_t>(operation));
  for (int64_t v : values) h = fold(h, static_cast<uint64_t>(v));
  for (const char* c = text; c && *c; ++c) h = fold(h, static_cast<unsigned char>(*c));
  return fold(h, values.size());
}

// Folds the operation's own digest into the frame's and into every tile its box touches.
void fold_operation(Canvas& canvas, uint64_t operation, const FieldBox& box) {
  FrameDigest& digest = *canvas.digest;
  digest.whole = fold(digest.whole, operation);
  const PixelRect r = device_box(canvas, box);
  if (r.right <= r.left || r.bottom <= r.top) return;
  const int tw = tile_width(canvas), th = tile_height(canvas);
  for (int row = r.top / th; row <= (r.bottom - 1) / th; ++row)
    for (int column = r.left / tw; column <= (r.right - 1) / tw; ++column)
      digest.tiles[row][column] = fold(digest.tiles[row][column], operation);
}

}  // namespace

PixelRect device_box(const Canvas& canvas, const FieldBox& box) {
  if (!(box.right > box.left && box.bottom > box.top)) return {};  // NaN too
  const double s = canvas.scale;
  auto clamp = [](double v, int high) { return static_cast<int>(std::clamp(v, 0.0, double(high))); };
  return {clamp(std::floor(box.left * s) - 1, canvas.width), clamp(std::floor(box.top * s) - 1, canvas.height),
          clamp(std::ceil(box.right * s) + 1, canvas.width), clamp(std::ceil(box.bottom * s) + 1, canvas.height)};
}

int tile_width(const Canvas& canvas) { return (canvas.width + kTileColumns - 1) / kTileColumns; }
int tile_height(const Canvas& canvas) { return (canvas.height + kTileRows - 1) / kTileRows; }

bool digested(Canvas& canvas, DrawOperation operation, std::initializer_list<int64_t> values, const FieldBox& box,
              const char* text) {
  if (!canvas.digest) return false;
  fold_operation(canvas, fold_values(0, operation, values, text), box);
  return true;
}

bool digested_points(Canvas& canvas, DrawOperation operation, const Point* points, int count,
                     std::initializer_list<int64_t> values, const FieldBox& box) {
  if (!canvas.digest) return false;
  uint64_t h = 0;
  for (int i = 0; i < count; ++i)
    h = fold(fold(h, static_cast<uint64_t>(points[i].x)), static_cast<uint64_t>(points[i].y));
  fold_operation(canvas, fold_values(h, operation, values, nullptr), box);
  return true;
}
