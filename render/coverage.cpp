#include "render/coverage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// ---------------------------------------------------------------------------------------
// Pixels and the blend
//
// The canvas stores each pixel as one 32-bit word 0xXXRRGGBB. Cairo paints an opaque
// colour as 0xFFRRGGBB and blends a partly covered pixel byte by byte, all four bytes
// alike: out = src * a / 255 + dst * (255 - a) / 255, each product p rounded as
// (p + 127 + ((p + 127) >> 8)) >> 8, the sum kept at 255 at most.

uint32_t solid_pixel(Color color) {
  const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Two bytes at once, in the lanes 0x00FF00FF.
inline uint32_t scale_lanes(uint32_t lanes, uint32_t a) {
  uint32_t t = (lanes & 0x00FF00FF) * a + 0x007F007F;
  t += (t >> 8) & 0x00FF00FF;
  return (t >> 8) & 0x00FF00FF;
}

inline uint32_t add_lanes_saturated(uint32_t x, uint32_t y) {
  uint32_t t = x + y;
  t |= 0x01000100 - ((t >> 8) & 0x00FF00FF);  // a lane that passed 255 becomes 255
  return t & 0x00FF00FF;
}

inline uint32_t blend(uint32_t src, uint32_t a, uint32_t dst) {
  const uint32_t rest = 255 - a;
  const uint32_t even = add_lanes_saturated(scale_lanes(src, a), scale_lanes(dst, rest));
  const uint32_t odd = add_lanes_saturated(scale_lanes(src >> 8, a), scale_lanes(dst >> 8, rest));
  return even | (odd << 8);
}

bool replayable_raster(const Canvas& canvas) {
  return canvas.surface && cairo_surface_status(canvas.surface) == CAIRO_STATUS_SUCCESS &&
         cairo_surface_get_type(canvas.surface) == CAIRO_SURFACE_TYPE_IMAGE &&
         cairo_image_surface_get_format(canvas.surface) == CAIRO_FORMAT_RGB24;
}

// ---------------------------------------------------------------------------------------
// Records
//
// A record is a list of runs, pixels next to each other on one row, with one coverage
// value 1..255 per pixel; a record's coverage values follow each other in the pool in the
// order of its runs.

struct Run {
  int16_t x, y;
  uint16_t length;
};

struct Record {
  uint32_t first_run = 0;
  uint32_t run_count = 0;
  uint32_t first_alpha = 0;
};

constexpr uint32_t kRunCapacity = 1u << 19;
constexpr uint32_t kAlphaCapacity = 1u << 21;

Run run_pool[kRunCapacity];
uint8_t alpha_pool[kAlphaCapacity];
uint32_t runs_used = 0;
uint32_t alphas_used = 0;

enum class ShapeKind : int32_t { empty = 0, line, ellipse, chain };

// Lines: x0, y0, x1, y1, pen width. Ellipses: left, top, width, height. Chains: centre x,
// centre y, pen width, point count, sum of the offsets' sizes (the offsets themselves are
// kept beside the key and compared too).
struct ShapeKey {
  ShapeKind kind = ShapeKind::empty;
  int32_t a = 0, b = 0, c = 0, d = 0, e = 0;
  bool operator==(const ShapeKey&) const = default;
};

struct ShapeSlot {
  ShapeKey key;
  Record record;
  int8_t chain[2 * kReplayChainMaxPoints];
};

constexpr uint32_t kSlotCount = 1u << 14;  // a power of two
constexpr uint32_t kSlotFillLimit = kSlotCount / 4 * 3;
ShapeSlot slots[kSlotCount];
uint32_t slots_used = 0;

void forget_all_records() {
  if (slots_used > 0) {
    for (ShapeSlot& slot : slots) slot.key.kind = ShapeKind::empty;
  }
  slots_used = 0;
  runs_used = 0;
  alphas_used = 0;
}

// ---------------------------------------------------------------------------------------
// The scratch raster: black and of the canvas's size, so that each shape stands where it
// stands on the canvas and is cut by the same edges.

Canvas scratch;

bool ensure_scratch(int width, int height) {
  if (scratch.surface && cairo_image_surface_get_width(scratch.surface) == width &&
      cairo_image_surface_get_height(scratch.surface) == height) {
    return true;
  }
  if (scratch.cr) cairo_destroy(scratch.cr);
  if (scratch.surface) cairo_surface_destroy(scratch.surface);
  scratch = Canvas{};
  forget_all_records();  // they belong to the old size
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return false;
  }
  scratch.surface = surface;
  scratch.cr = cr;
  return true;
}

struct Box {
  int left, top, right, bottom;  // inclusive
};

// Reads the coverage a shape left on the scratch raster within `box` into the pools and
// blacks the box again. False when the pools are full.
bool take_record(Box box, Record& record) {
  const int width = cairo_image_surface_get_width(scratch.surface);
  const int height = cairo_image_surface_get_height(scratch.surface);
  box.left = std::max(box.left, 0);
  box.top = std::max(box.top, 0);
  box.right = std::min(box.right, width - 1);
  box.bottom = std::min(box.bottom, height - 1);
  cairo_surface_flush(scratch.surface);
  unsigned char* data = cairo_image_surface_get_data(scratch.surface);
  const int stride = cairo_image_surface_get_stride(scratch.surface);
  const uint32_t first_run = runs_used, first_alpha = alphas_used;
  bool fits = true;
  for (int y = box.top; y <= box.bottom; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = box.left; x <= box.right && fits;) {
      if ((row[x] & 0xFF) == 0) {
        ++x;
        continue;
      }
      const int start = x;
      while (x <= box.right && (row[x] & 0xFF) != 0) ++x;
      const int length = x - start;
      if (runs_used == kRunCapacity || alphas_used + length > kAlphaCapacity) {
        fits = false;
        break;
      }
      run_pool[runs_used++] = {static_cast<int16_t>(start), static_cast<int16_t>(y), static_cast<uint16_t>(length)};
      for (int i = start; i < x; ++i) alpha_pool[alphas_used++] = static_cast<uint8_t>(row[i] & 0xFF);
    }
    if (box.right >= box.left) std::memset(row + box.left, 0, static_cast<size_t>(box.right - box.left + 1) * 4);
  }
  cairo_surface_mark_dirty(scratch.surface);
  if (!fits) {
    runs_used = first_run;
    alphas_used = first_alpha;
    return false;
  }
  record = {first_run, runs_used - first_run, first_alpha};
  return true;
}

// The box a shape drawn by the canvas operations can reach: its points plus the pen.
Box reach_of(int left, int top, int right, int bottom, int reach) {
  return {left - reach, top - reach, right + reach, bottom + reach};
}

bool record_shape(const ShapeKey& key, const Point* chain_points, Record& record) {
  switch (key.kind) {
    case ShapeKind::line:
      draw_line(scratch, key.a, key.b, key.c, key.d, key.e, 0xFFFFFF);
      return take_record(reach_of(std::min(key.a, key.c), std::min(key.b, key.d), std::max(key.a, key.c),
                                  std::max(key.b, key.d), key.e + 2),
                         record);
    case ShapeKind::ellipse:
      fill_ellipse(scratch, key.a, key.b, key.c, key.d, 0xFFFFFF);
      return take_record(reach_of(key.a, key.b, key.a + key.c, key.b + key.d, 2), record);
    case ShapeKind::chain: {
      int left = chain_points[0].x, right = left, top = chain_points[0].y, bottom = top;
      for (int i = 1; i < key.d; ++i) {
        left = std::min(left, chain_points[i].x);
        right = std::max(right, chain_points[i].x);
        top = std::min(top, chain_points[i].y);
        bottom = std::max(bottom, chain_points[i].y);
      }
      draw_polyline(scratch, chain_points, key.d, key.c, 0xFFFFFF);
      return take_record(reach_of(left, top, right, bottom, key.c + 2), record);
    }
    case ShapeKind::empty:
      break;
  }
  return false;
}

uint32_t hash_of(const ShapeKey& key) {
  uint32_t hash = 2166136261u;
  for (int32_t word : {static_cast<int32_t>(key.kind), key.a, key.b, key.c, key.d, key.e}) {
    hash = (hash ^ static_cast<uint32_t>(word)) * 16777619u;
  }
  return hash ^ (hash >> 15);
}

// The record of a shape on a raster of the canvas's size, made on first use; null when
// none can be kept, and the shape must be drawn. `chain` holds a chain's offsets.
const Record* record_of(const Canvas& canvas, const ShapeKey& key, const int8_t* chain, const Point* chain_points) {
  if (!replayable_raster(canvas)) return nullptr;
  if (!ensure_scratch(cairo_image_surface_get_width(canvas.surface), cairo_image_surface_get_height(canvas.surface))) {
    return nullptr;
  }
  const size_t chain_bytes = key.kind == ShapeKind::chain ? 2 * static_cast<size_t>(key.d) : 0;
  const uint32_t hash = hash_of(key);
  for (uint32_t probe = 0; probe < kSlotCount; ++probe) {
    ShapeSlot& slot = slots[(hash + probe) & (kSlotCount - 1)];
    if (slot.key.kind == ShapeKind::empty) {
      if (slots_used >= kSlotFillLimit) {
        forget_all_records();  // a fresh start; what is still in use is recorded again
        return record_of(canvas, key, chain, chain_points);
      }
      Record record;
      if (!record_shape(key, chain_points, record)) {
        if (slots_used == 0) return nullptr;  // too big to keep even alone
        forget_all_records();                 // the pools are full: start afresh
        return record_of(canvas, key, chain, chain_points);
      }
      slot.key = key;
      slot.record = record;
      if (chain_bytes) std::memcpy(slot.chain, chain, chain_bytes);
      ++slots_used;
      return &slot.record;
    }
    if (slot.key == key && (chain_bytes == 0 || std::memcmp(slot.chain, chain, chain_bytes) == 0)) return &slot.record;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------
// Replay

enum class Check { unknown, passed, failed };
Check check = Check::unknown;
int checked_width = 0, checked_height = 0;
bool checking = false;  // during the check replay runs, whatever its outcome will be

bool replay_on(const Canvas& canvas) {
  return replayable_raster(canvas) && (checking || coverage_replay_usable(canvas));
}

void blend_record(Canvas& canvas, const Record& record, Color color) {
  cairo_surface_t* surface = canvas.surface;
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const uint32_t src = solid_pixel(color);
  const uint8_t* alpha = alpha_pool + record.first_alpha;
  const Run* runs = run_pool + record.first_run;
  for (uint32_t n = 0; n < record.run_count; ++n) {
    const Run& run = runs[n];
    uint32_t* pixel = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(run.y) * stride) + run.x;
    for (int i = 0; i < run.length; ++i, ++alpha) pixel[i] = *alpha == 255 ? src : blend(src, *alpha, pixel[i]);
  }
  cairo_surface_mark_dirty(surface);
}

// ---------------------------------------------------------------------------------------
// The check at first use: shapes of each kind the game replays, some across the raster's
// edges, drawn once by the canvas operations and once replayed over a background of many
// colours; replay stays on only when every pixel agrees.

bool make_raster(Canvas& raster, int width, int height) {
  raster.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  raster.cr = cairo_create(raster.surface);
  return cairo_surface_status(raster.surface) == CAIRO_STATUS_SUCCESS &&
         cairo_status(raster.cr) == CAIRO_STATUS_SUCCESS;
}

void free_raster(Canvas& raster) {
  if (raster.cr) cairo_destroy(raster.cr);
  if (raster.surface) cairo_surface_destroy(raster.surface);
  raster = Canvas{};
}

void paint_noise(Canvas& raster) {
  cairo_surface_flush(raster.surface);
  unsigned char* data = cairo_image_surface_get_data(raster.surface);
  const int stride = cairo_image_surface_get_stride(raster.surface);
  const int width = cairo_image_surface_get_width(raster.surface);
  const int height = cairo_image_surface_get_height(raster.surface);
  uint32_t seed = 0x9E3779B9u;
  for (int y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = 0xFF000000u | (seed >> 8);
    }
  }
  cairo_surface_mark_dirty(raster.surface);
}

void draw_probe_shapes(Canvas& raster, bool replay) {
  const int w = cairo_image_surface_get_width(raster.surface);
  const int h = cairo_image_surface_get_height(raster.surface);
  static const Point kArc[] = {{-18, -8}, {-16, -11}, {-13, -14}, {-10, -16}, {-6, -18}, {-2, -19},
                               {2, -19},  {6, -18},   {10, -16},  {13, -14},  {16, -11}, {18, -8}};
  constexpr int kArcCount = static_cast<int>(sizeof kArc / sizeof kArc[0]);
  struct LineProbe {
    int x0, y0, x1, y1, width;
  };
  const LineProbe lines[] = {{10, 10, 45, 30, 1},
                             {60, 12, 52, 40, 1},
                             {80, 5, 80, 50, 5},
                             {95, 10, 140, 30, 2},
                             {150, 8, 130, 45, 3},
                             {w - 30, 30, w + 10, 20, 6},
                             {20, 60, 45, 100, 10},
                             {60, 70, 90, 55, 8},
                             {-5, h - 5, 30, h - 30, 5},
                             {100, 60, 112, 68, 3},
                             {w - 20, h - 12, w - 8, h - 4, 1}};
  const Color colours[] = {0xD7FF70, 0x695624, 0x5091C0, 0xFFFFFF, 0x000000, 0xB5F252};
  int c = 0;
  for (const LineProbe& l : lines) {
    const Color colour = colours[c++ % 6];
    if (replay) {
      replay_line(raster, l.x0, l.y0, l.x1, l.y1, l.width, colour);
    } else {
      draw_line(raster, l.x0, l.y0, l.x1, l.y1, l.width, colour);
    }
  }
  const Point arc_centres[] = {{140, 100}, {w - 10, 30}, {60, 150}, {200, 160}};
  for (int n = 0; n < 4; ++n) {
    const int width = 1 + n % 2;
    const Point centre = arc_centres[n];
    const Color colour = colours[c++ % 6];
    if (replay) {
      replay_polyline_around(raster, centre.x, centre.y, kArc, kArcCount, width, colour);
    } else {
      Point points[kArcCount];
      for (int i = 0; i < kArcCount; ++i) points[i] = {centre.x + kArc[i].x, centre.y + kArc[i].y};
      draw_polyline(raster, points, kArcCount, width, colour);
    }
  }
  struct EllipseProbe {
    int left, top, width, height;
  };
  const EllipseProbe ellipses[] = {{120, 70, 7, 7}, {160, 60, 12, 12}, {100, 95, 21, 6}, {w - 6, 100, 13, 5}};
  for (const EllipseProbe& e : ellipses) {
    const Color colour = colours[c++ % 6];
    if (replay) {
      replay_ellipse(raster, e.left, e.top, e.width, e.height, colour);
    } else {
      fill_ellipse(raster, e.left, e.top, e.width, e.height, colour);
    }
  }
  if (replay) {
    replay_rect(raster, w - 20, -4, w + 30, 9, 0x635647);
  } else {
    fill_rect(raster, w - 20, -4, w + 30, 9, 0x635647);
  }
}

bool replay_matches_canvas(int width, int height) {
  if (width < 220 || height < 180) return false;  // too small to hold the probes
  Canvas drawn, replayed;
  bool same = make_raster(drawn, width, height) && make_raster(replayed, width, height);
  if (same) {
    paint_noise(drawn);
    paint_noise(replayed);
    draw_probe_shapes(drawn, false);
    draw_probe_shapes(replayed, true);
    cairo_surface_flush(drawn.surface);
    cairo_surface_flush(replayed.surface);
    const size_t bytes = static_cast<size_t>(cairo_image_surface_get_stride(drawn.surface)) * height;
    same = std::memcmp(cairo_image_surface_get_data(drawn.surface), cairo_image_surface_get_data(replayed.surface),
                       bytes) == 0;
  }
  free_raster(drawn);
  free_raster(replayed);
  return same;
}

}  // namespace

bool coverage_replay_usable(const Canvas& canvas) {
  if (!replayable_raster(canvas)) return false;
  const int width = cairo_image_surface_get_width(canvas.surface);
  const int height = cairo_image_surface_get_height(canvas.surface);
  if (check == Check::unknown || width != checked_width || height != checked_height) {
    checking = true;
    check = replay_matches_canvas(width, height) ? Check::passed : Check::failed;
    checking = false;
    checked_width = width;
    checked_height = height;
    forget_all_records();  // the probes' shapes will not come back
  }
  return check == Check::passed;
}

void replay_rect(Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  if (!replay_on(canvas)) {
    fill_rect(canvas, left, top, right, bottom, color);
    return;
  }
  // A rectangle on whole pixels covers each of its pixels entirely.
  cairo_surface_t* surface = canvas.surface;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, cairo_image_surface_get_width(surface));
  bottom = std::min(bottom, cairo_image_surface_get_height(surface));
  if (right <= left || bottom <= top) return;
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const uint32_t pixel = solid_pixel(color);
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    std::fill(row + left, row + right, pixel);
  }
  cairo_surface_mark_dirty(surface);
}

void replay_ellipse(Canvas& canvas, int left, int top, int width, int height, Color color) {
  const Record* record = nullptr;
  if (width > 0 && height > 0 && replay_on(canvas)) {
    record = record_of(canvas, {ShapeKind::ellipse, left, top, width, height, 0}, nullptr, nullptr);
  }
  if (record) {
    blend_record(canvas, *record, color);
  } else {
    fill_ellipse(canvas, left, top, width, height, color);
  }
}

void replay_line(Canvas& canvas, int x0, int y0, int x1, int y1, int width, Color color) {
  const Record* record = nullptr;
  if (width >= 1 && replay_on(canvas))
    record = record_of(canvas, {ShapeKind::line, x0, y0, x1, y1, width}, nullptr, nullptr);
  if (record) {
    blend_record(canvas, *record, color);
  } else {
    draw_line(canvas, x0, y0, x1, y1, width, color);
  }
}

void replay_polyline_around(Canvas& canvas, int x, int y, const Point* offsets, int count, int width, Color color) {
  if (!offsets || count < 2 || count > kReplayChainMaxPoints) return;
  Point points[kReplayChainMaxPoints];
  int8_t chain[2 * kReplayChainMaxPoints];
  int size = 0;
  bool small = true;
  for (int i = 0; i < count; ++i) {
    points[i] = {x + offsets[i].x, y + offsets[i].y};
    small = small && std::abs(offsets[i].x) <= 127 && std::abs(offsets[i].y) <= 127;
    chain[2 * i] = static_cast<int8_t>(offsets[i].x);
    chain[2 * i + 1] = static_cast<int8_t>(offsets[i].y);
    size += std::abs(offsets[i].x) + std::abs(offsets[i].y);
  }
  const Record* record = nullptr;
  if (small && width >= 1 && replay_on(canvas)) {
    record = record_of(canvas, {ShapeKind::chain, x, y, width, count, size}, chain, points);
  }
  if (record) {
    blend_record(canvas, *record, color);
  } else {
    draw_polyline(canvas, points, count, width, color);
  }
}

void forget_recorded_shapes() { forget_all_records(); }

void release_coverage_replay() {
  if (scratch.cr) cairo_destroy(scratch.cr);
  if (scratch.surface) cairo_surface_destroy(scratch.surface);
  scratch = Canvas{};
  forget_all_records();
  check = Check::unknown;
  checked_width = checked_height = 0;
}
