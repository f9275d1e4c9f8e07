#include "render/frame_key.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "render/canvas_parts.h"
#include "render/painters.h"

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

// Whole device pixels around the box, one more on each side for the antialiased edge.
PixelRect device_box(const Canvas& canvas, const FieldBox& box) {
  const double s = canvas.scale;
  auto clamp = [](double v, int high) { return static_cast<int>(std::clamp(v, 0.0, double(high))); };
  PixelRect r{clamp(std::floor(box.left * s) - 1, canvas.width), clamp(std::floor(box.top * s) - 1, canvas.height),
              clamp(std::ceil(box.right * s) + 1, canvas.width), clamp(std::ceil(box.bottom * s) + 1, canvas.height)};
  if (!(box.right > box.left && box.bottom > box.top)) r = {};  // NaN too
  return r;
}

void add_note(Canvas& canvas, DrawOperation operation, uint64_t digest, const FieldBox& box,
              const Point* first = nullptr) {
  FrameNotes& notes = *canvas.notes;
  if (notes.operations.size() >= kMostNotedOperations) {
    notes.complete = false;
    return;
  }
  // Rectangles lie on whole device pixels; pictures, and lines and chains from their stroke's
  // mask, are laid on pixel by pixel; the rest Cairo rasterises from outlines or composites
  // as runs of glyphs.
  const bool stroke = operation == DrawOperation::line || operation == DrawOperation::polyline;
  const bool whole = stroke ? !(first && stroke_from_mask(canvas, *first))
                            : operation != DrawOperation::rect && operation != DrawOperation::image &&
                                  operation != DrawOperation::kept;
  notes.operations.push_back({digest, device_box(canvas, box), canvas.layer, operation, whole});
}

bool empty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

PixelRect united(const PixelRect& a, const PixelRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

long area(const PixelRect& r) { return long(r.right - r.left) * (r.bottom - r.top); }

// How far past the changed rectangles the frame is composed (compose_region), in device pixels.
constexpr int kClipMargin = 3;

// Rectangles this close are shown as one: a few more pixels cost less than another rectangle.
constexpr int kMergeGap = 8;

bool near(const PixelRect& a, const PixelRect& b) {
  return a.left <= b.right + kMergeGap && b.left <= a.right + kMergeGap && a.top <= b.bottom + kMergeGap &&
         b.top <= a.bottom + kMergeGap;
}

bool same(const NotedOperation& a, const NotedOperation& b) {
  return a.digest == b.digest && a.box.left == b.box.left && a.box.top == b.box.top && a.box.right == b.box.right &&
         a.box.bottom == b.box.bottom;
}

// One layer of each frame: the common start pairs up in place, the rest pairs up counted
// from the end, so that a spark or a box more or less leaves the others paired. Any pairing
// that keeps the order is exact; this one is short and finds what moves.
void add_layer_changes(const NotedOperation* before, int before_count, const NotedOperation* after, int after_count,
                       ChangedRegion& region) {
  int start = 0;
  while (start < before_count && start < after_count && same(before[start], after[start])) ++start;
  const int shift = after_count - before_count;
  for (int k = start; k < before_count; ++k) {
    const int j = k + shift;
    if (!(j >= start && j < after_count && same(before[k], after[j]))) add_rect(region, before[k].box);
  }
  for (int j = start; j < after_count; ++j) {
    const int k = j - shift;
    if (!(k >= start && k < before_count && same(before[k], after[j]))) add_rect(region, after[j].box);
  }
}

// True when the notes place the operation outside the rectangle being composed.
bool culled(Canvas& canvas, DrawOperation operation) {
  Culling& culling = *canvas.culling;
  const std::vector<NotedOperation>& notes = culling.notes->operations;
  if (culling.next >= notes.size() || notes[culling.next].operation != operation) {
    canvas.culling = nullptr;  // no longer the noted frame: everything is drawn
    return false;
  }
  const PixelRect& box = notes[culling.next++].box;
  const PixelRect& r = culling.within;
  return !(box.left < r.right && r.left < box.right && box.top < r.bottom && r.top < box.bottom);
}

}  // namespace

bool noted(Canvas& canvas, DrawOperation operation, std::initializer_list<int64_t> values, const FieldBox& box,
           const char* text) {
  if (canvas.culling) return culled(canvas, operation);
  if (canvas.digest) {
    *canvas.digest = fold_values(*canvas.digest, operation, values, text);
    return true;
  }
  if (!canvas.notes) return false;
  add_note(canvas, operation, fold_values(0, operation, values, text), box);
  return true;
}

bool noted_points(Canvas& canvas, DrawOperation operation, const Point* points, int count,
                  std::initializer_list<int64_t> values, const FieldBox& box) {
  if (canvas.culling) return culled(canvas, operation);
  if (!canvas.digest && !canvas.notes) return false;
  uint64_t h = canvas.digest ? *canvas.digest : 0;
  for (int i = 0; i < count; ++i)
    h = fold(fold(h, static_cast<uint64_t>(points[i].x)), static_cast<uint64_t>(points[i].y));
  h = fold_values(h, operation, values, nullptr);
  if (canvas.digest) {
    *canvas.digest = h;
  } else {
    add_note(canvas, operation, h, box, points);
  }
  return true;
}

uint64_t frame_key(Canvas& canvas, const GameState& state) {
  uint64_t digest = 0;
  canvas.digest = &digest;
  compose_frame(canvas, state);
  canvas.digest = nullptr;
  return digest;
}

void note_frame(Canvas& canvas, const GameState& state, FrameNotes& notes) {
  // Reserved once: the frames after the first borrow nothing.
  if (notes.operations.capacity() < kMostNotedOperations) notes.operations.reserve(kMostNotedOperations);
  notes.operations.clear();
  notes.complete = true;
  canvas.notes = &notes;
  compose_frame(canvas, state);
  canvas.notes = nullptr;
}

void add_rect(ChangedRegion& region, PixelRect rect) {
  if (empty(rect)) return;
  for (;;) {
    int merge = -1;
    for (int i = 0; i < region.count && merge < 0; ++i)
      if (near(region.rects[i], rect)) merge = i;
    if (merge < 0 && region.count == kMostChangedRects) {
      // No room for one more: it joins the rectangle it grows least.
      long least = 0;
      for (int i = 0; i < region.count; ++i) {
        const long growth = area(united(region.rects[i], rect)) - area(region.rects[i]);
        if (merge < 0 || growth < least) merge = i, least = growth;
      }
    }
    if (merge < 0) break;
    rect = united(rect, region.rects[merge]);
    region.rects[merge] = region.rects[--region.count];
  }
  region.rects[region.count++] = rect;
}

void take_in_whole_shapes(const FrameNotes& notes, ChangedRegion& region) {
  for (bool grew = true; grew;) {
    grew = false;
    for (const NotedOperation& op : notes.operations) {
      if (!op.whole || empty(op.box)) continue;
      for (int i = 0; i < region.count; ++i) {
        const PixelRect& r = region.rects[i];
        const bool touches =
            op.box.left < r.right && r.left < op.box.right && op.box.top < r.bottom && r.top < op.box.bottom;
        const bool inside =
            op.box.left >= r.left && op.box.right <= r.right && op.box.top >= r.top && op.box.bottom <= r.bottom;
        if (touches && !inside) {
          add_rect(region, op.box);
          grew = true;
          break;
        }
      }
    }
  }
}

void add_changes(const FrameNotes& before, const FrameNotes& after, ChangedRegion& region) {
  const NotedOperation* b = before.operations.data();
  const NotedOperation* a = after.operations.data();
  const int nb = static_cast<int>(before.operations.size()), na = static_cast<int>(after.operations.size());
  // Layers come in order; each is paired with the same layer of the other frame.
  int i = 0, j = 0;
  while (i < nb || j < na) {
    const int layer = std::min(i < nb ? b[i].layer : INT_MAX, j < na ? a[j].layer : INT_MAX);
    int i_end = i, j_end = j;
    while (i_end < nb && b[i_end].layer == layer) ++i_end;
    while (j_end < na && a[j_end].layer == layer) ++j_end;
    add_layer_changes(b + i, i_end - i, a + j, j_end - j, region);
    i = i_end;
    j = j_end;
  }
}

void compose_region(Canvas& canvas, const GameState& state, const ChangedRegion& region, const FrameNotes* notes) {
  if (region.count == 0) return;
  if (!canvas.scratch)
    canvas.scratch =
        cairo_surface_create_similar_image(canvas.surface, CAIRO_FORMAT_RGB24, canvas.width, canvas.height);
  if (cairo_surface_status(canvas.scratch) != CAIRO_STATUS_SUCCESS) {
    compose_frame(canvas, state);
    return;
  }
  // Cairo blends the pixels along the edge of a clip a step of colour off now and then: the
  // frame is composed on the scratch picture within the rectangles and a margin around them,
  // and only the rectangles are copied in, where every pixel is as composed without a clip.
  cairo_matrix_t field;
  cairo_get_matrix(canvas.cr, &field);
  cairo_t* canvas_cr = canvas.cr;
  cairo_t* scratch_cr = cairo_create(canvas.scratch);
  cairo_surface_flush(canvas.surface);
  const unsigned char* from = cairo_image_surface_get_data(canvas.scratch);
  unsigned char* to = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  // Each rectangle copied in before the next is composed: the next one's margin may cross it.
  for (int i = 0; i < region.count; ++i) {
    const PixelRect& r = region.rects[i];
    cairo_save(scratch_cr);
    cairo_rectangle(scratch_cr, r.left - kClipMargin, r.top - kClipMargin, r.right - r.left + 2 * kClipMargin,
                    r.bottom - r.top + 2 * kClipMargin);
    cairo_clip(scratch_cr);
    cairo_set_matrix(scratch_cr, &field);
    canvas.cr = scratch_cr;
    Culling culling{notes, 0, r};
    if (notes && notes->complete) canvas.culling = &culling;
    compose_frame(canvas, state);
    canvas.culling = nullptr;
    canvas.cr = canvas_cr;
    cairo_restore(scratch_cr);
    cairo_surface_flush(canvas.scratch);
    for (int y = r.top; y < r.bottom; ++y) {
      const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(r.left) * 4;
      std::memcpy(to + at, from + at, static_cast<size_t>(r.right - r.left) * 4);
    }
  }
  cairo_destroy(scratch_cr);
  cairo_surface_mark_dirty(canvas.surface);
}

namespace {

// Which screen a frame shows: another one is composed whole.
int screen_shown(const GameState& state) {
  return state.options_open ? -2 : state.title_screen ? -1 : static_cast<int>(state.screen);
}

}  // namespace

bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state) {
  return compose_changed_frame(canvas, memory, state, frame_key(canvas, state));
}

bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state, uint64_t key) {
  memory.changed.count = 0;
  if (memory.holds_frame && key == memory.shown) return false;
  note_frame(canvas, state, memory.next);
  const bool whole = !memory.holds_frame || !memory.notes.complete || !memory.next.complete ||
                     memory.screen != screen_shown(state) || memory.level != state.level;
  if (whole) {
    add_rect(memory.changed, {0, 0, canvas.width, canvas.height});
    compose_frame(canvas, state);
  } else {
    add_changes(memory.notes, memory.next, memory.changed);
    take_in_whole_shapes(memory.next, memory.changed);
    compose_region(canvas, state, memory.changed, &memory.next);
  }
  std::swap(memory.notes, memory.next);
  memory.shown = key;
  memory.holds_frame = true;
  memory.screen = screen_shown(state);
  memory.level = state.level;
  return true;
}
