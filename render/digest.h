// The digest of a frame: the painters run once without drawing, and every operation they
// would draw, with its place, its colour and its text, is folded into the digest of the
// whole frame and into the digest of every tile of the canvas it may change. Two frames with
// the same digest are the very same picture; a tile whose digest did not change is covered
// by the very same operations in the very same order, so its pixels are already right.
//
// This is the lowest layer of drawing: the drawing operations fold themselves in here while
// canvas.digest is set, and nothing here calls back up into the painters.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "render/canvas.h"

// The canvas is cut into this many tiles of whole device pixels, whatever its scale.
inline constexpr int kTileColumns = 32;
inline constexpr int kTileRows = 24;

struct FrameDigest {
  uint64_t whole = 0;
  uint64_t tiles[kTileRows][kTileColumns] = {};
};

// The drawing operations as the digest tells them apart.
enum class DrawOperation : int64_t { rect = 1, ellipse, polygon, line, polyline, text, wrapped_text, image, kept };

// Where an operation may change pixels, in field units, before its edges' antialiasing.
struct FieldBox {
  double left, top, right, bottom;
};

// A rectangle of device pixels, right and bottom exclusive.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The device pixels a box may change: whole pixels, one more on each side for the
// antialiased edge, within the canvas. Empty for an empty box.
PixelRect device_box(const Canvas& canvas, const FieldBox& box);

// The size of a tile in device pixels; the last column and row may be narrower.
int tile_width(const Canvas& canvas);
int tile_height(const Canvas& canvas);

// While canvas.digest is set, folds one operation with its values and text into the digest
// and returns true: the operation then draws nothing. False otherwise.
bool digested(Canvas& canvas, DrawOperation operation, std::initializer_list<int64_t> values, const FieldBox& box,
              const char* text = nullptr);
// The same for an operation through a chain of points, followed by its other values.
bool digested_points(Canvas& canvas, DrawOperation operation, const Point* points, int count,
                     std::initializer_list<int64_t> values, const FieldBox& box);
