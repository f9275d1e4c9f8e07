#include "render/frame_key.h"

#include <algorithm>
#include <utility>

#include "render/painters.h"

namespace {

bool holds_same_canvas(const Canvas& canvas, const FrameMemory& memory) {
  return memory.holds_frame && memory.canvas_surface == canvas.surface_id;
}

// The changed tiles as rectangles: runs along each row, each run joined with the run of the
// row above that spans the very same columns.
void find_changes(const Canvas& canvas, const FrameDigest& before, const FrameDigest& after, ChangedRegion& region) {
  region.count = 0;
  const int tw = tile_width(canvas), th = tile_height(canvas);
  int row_start = 0;  // the first rectangle of the row above
  for (int row = 0; row < kTileRows && row * th < canvas.height; ++row) {
    const int top = row * th, bottom = std::min(canvas.height, top + th);
    const int this_row = region.count;
    for (int column = 0; column < kTileColumns;) {
      if (before.tiles[row][column] == after.tiles[row][column]) {
        ++column;
        continue;
      }
      const int first = column;
      while (column < kTileColumns && before.tiles[row][column] != after.tiles[row][column]) ++column;
      const PixelRect run{first * tw, top, std::min(canvas.width, column * tw), bottom};
      if (run.right <= run.left) break;
      PixelRect* above = nullptr;
      for (int i = row_start; i < this_row && !above; ++i)
        if (region.rects[i].left == run.left && region.rects[i].right == run.right && region.rects[i].bottom == top)
          above = &region.rects[i];
      if (above) {
        above->bottom = bottom;
      } else {
        region.rects[region.count++] = run;
      }
    }
    row_start = this_row;
  }
}

}  // namespace

void take_digest(Canvas& canvas, const GameState& state, FrameDigest& digest) {
  digest = FrameDigest{};
  canvas.digest = &digest;
  compose_frame(canvas, state);
  canvas.digest = nullptr;
}

uint64_t frame_key(Canvas& canvas, const GameState& state) {
  FrameDigest digest;
  take_digest(canvas, state, digest);
  return digest.whole;
}

bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state) {
  memory.changed.count = 0;
  take_digest(canvas, state, memory.next);
  if (!holds_same_canvas(canvas, memory)) {
    compose_frame(canvas, state);
    memory.changed.rects[0] = {0, 0, canvas.width, canvas.height};
    memory.changed.count = 1;
  } else {
    if (memory.next.whole == memory.shown.whole) return false;
    find_changes(canvas, memory.shown, memory.next, memory.changed);
    cairo_save(canvas.cr);
    cairo_identity_matrix(canvas.cr);
    for (int i = 0; i < memory.changed.count; ++i) {
      const PixelRect& r = memory.changed.rects[i];
      cairo_rectangle(canvas.cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    cairo_restore(canvas.cr);  // the path stays; the field's transform comes back
    cairo_save(canvas.cr);
    cairo_clip(canvas.cr);
    compose_frame(canvas, state);
    cairo_restore(canvas.cr);
  }
  std::swap(memory.shown, memory.next);
  memory.holds_frame = true;
  memory.canvas_surface = canvas.surface_id;
  return true;
}
