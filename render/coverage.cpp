// The coverage picture every shape but a rectangle or a picture is drawn whole on and laid on
// through, and the lines and chains of lines: the pen's geometry, and a stroke's coverage
// kept to be laid on again wherever the same stroke comes back.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "render/canvas_parts.h"
#include "render/digest.h"

namespace {

// How far a pen's stroke reaches past its points: half its width for the round ends and
// joins, shifted half a pixel for odd widths; a thin chain's mitred corners reach up to the
// miter limit (10) times its half width.
double pen_reach(int width, bool chain) { return width <= 1 ? (chain ? 6 : 1) : width; }

struct Chain {
  const Point* points;
  int count, width;
  Point origin;  // the path is drawn from here
};

// A shape's coverage, kept to be laid on again.
struct KeptRows {
  std::vector<unsigned char> rows;  // A8, `stride` bytes apart
  int width = 0, height = 0, stride = 0;
};

// Lays the colour on through rows of coverage, `first` at the top-left corner of `r`.
void lay_rows(Canvas& canvas, const unsigned char* first, int stride, const PixelRect& r, Color color) {
  cairo_surface_t* part = cairo_image_surface_create_for_data(const_cast<unsigned char*>(first), CAIRO_FORMAT_A8,
                                                              r.right - r.left, r.bottom - r.top, stride);
  cairo_t* cr = canvas.cr;
  cairo_save(cr);
  cairo_identity_matrix(cr);
  set_source(cr, color);
  cairo_mask_surface(cr, part, r.left, r.top);
  cairo_restore(cr);
  cairo_surface_destroy(part);
}

bool outside_clip(const Canvas& canvas, const PixelRect& r) {
  double x0, y0, x1, y1;
  cairo_clip_extents(canvas.cr, &x0, &y0, &x1, &y1);
  const double s = canvas.scale;
  return r.right <= r.left || r.bottom <= r.top || r.left >= x1 * s || r.right <= x0 * s || r.top >= y1 * s ||
         r.bottom <= y0 * s;
}

// Draws `what` whole on the coverage picture, the field's transform moved by `shift` device
// pixels, within `area` of it, and lays the colour on through that area at `r` of the canvas
// (the same size); with `keep`, copies the area into it; leaves the coverage blank again.
void lay_through(Canvas& canvas, const PixelRect& area, Point shift, const PixelRect& r, Color color,
                 DrawWhole draw, const void* what, KeptRows* keep) {
  if (!canvas.coverage) {
    canvas.coverage = cairo_image_surface_create(CAIRO_FORMAT_A8, canvas.width, canvas.height);
    canvas.coverage_cr = cairo_create(canvas.coverage);
  }
  if (cairo_status(canvas.coverage_cr) != CAIRO_STATUS_SUCCESS) {  // no memory for it: drawn in place
    set_source(canvas.cr, color);
    draw(canvas.cr, what);
    return;
  }
  // Within its area alone, so that nothing is left behind outside the rows cleared below.
  cairo_t* whole = canvas.coverage_cr;
  cairo_save(whole);
  cairo_rectangle(whole, area.left, area.top, area.right - area.left, area.bottom - area.top);
  cairo_clip(whole);
  const cairo_matrix_t field{canvas.scale, 0, 0, canvas.scale, double(shift.x), double(shift.y)};
  cairo_set_matrix(whole, &field);
  draw(whole, what);
  cairo_restore(whole);
  cairo_surface_flush(canvas.coverage);
  const int stride = cairo_image_surface_get_stride(canvas.coverage);
  unsigned char* first = cairo_image_surface_get_data(canvas.coverage) + static_cast<ptrdiff_t>(area.top) * stride + area.left;
  lay_rows(canvas, first, stride, r, color);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int kept_stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, width);
  if (keep) *keep = {std::vector<unsigned char>(static_cast<size_t>(kept_stride) * height), width, height, kept_stride};
  for (int y = 0; y < height; ++y) {
    if (keep) std::memcpy(&keep->rows[static_cast<size_t>(y) * kept_stride], first + y * stride, width);
    std::memset(first + static_cast<ptrdiff_t>(y) * stride, 0, width);
  }
  cairo_surface_mark_dirty(canvas.coverage);
}

}  // namespace

bool clipped_away(const Canvas& canvas, const FieldBox& box) { return outside_clip(canvas, device_box(canvas, box)); }

void lay_on(Canvas& canvas, const FieldBox& box, Color color, DrawWhole draw, const void* what) {
  const PixelRect r = device_box(canvas, box);
  if (!outside_clip(canvas, r)) lay_through(canvas, r, {0, 0}, r, color, draw, what, nullptr);
}

// The lamps' waves, the turbines' blades, the sparks and the falling item come back in a few
// hundred shapes. Where a shape's first point lies on whole device pixels (everywhere at whole
// scales) its coverage is kept, and laid on again wherever the shape comes back: shifted by
// whole device pixels, a shape covers the very same pixels by the very same amounts.
struct KeptStroke {
  std::vector<Point> shape;  // the points less the first one
  int width;
  KeptRows coverage;
};

struct StrokeCache {
  std::unordered_multimap<uint64_t, KeptStroke> kept;
};

void forget_coverage(Canvas& canvas) {
  if (canvas.coverage_cr) cairo_destroy(canvas.coverage_cr);
  if (canvas.coverage) cairo_surface_destroy(canvas.coverage);
  canvas.coverage_cr = nullptr;
  canvas.coverage = nullptr;
  delete canvas.stroke_cache;
  canvas.stroke_cache = nullptr;
}
namespace {

// Pen geometry: odd widths centre on pixel centres and even widths on pixel edges, so a
// straight horizontal or vertical line covers whole pixel rows or columns.
double pen_offset(int width) { return (width % 2) ? 0.5 : 0.0; }

void set_pen(cairo_t* cr, int width) {
  cairo_set_line_width(cr, width);
  if (width <= 1) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  } else {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  }
}

// A thin pen runs through pixel centres from its first pixel up to, but not into, its
// last: an end shifts back half a pixel step along its segment's main direction.
struct HalfStep {
  double x, y;
};
HalfStep half_step(int x0, int y0, int x1, int y1) {
  const int dx = x1 - x0, dy = y1 - y0;
  const int major = std::max(std::abs(dx), std::abs(dy));
  if (major == 0) return {0, 0};
  return {0.5 * dx / major, 0.5 * dy / major};
}

// The path of a line or a chain of lines, in field units from `origin`, for set_pen's pen: a
// thin one through pixel centres, its ends shifted like half_step says.
void trace_polyline(cairo_t* cr, const Point* points, int count, int width, Point origin) {
  auto x = [&](int i) { return double(points[i].x - origin.x); };
  auto y = [&](int i) { return double(points[i].y - origin.y); };
  if (width == 1) {
    // Corners stay on pixel centres (mitred, so the corner pixel is whole); only the two
    // ends shift like a thin line's.
    const HalfStep first = half_step(points[0].x, points[0].y, points[1].x, points[1].y);
    const HalfStep last = half_step(points[count - 2].x, points[count - 2].y, points[count - 1].x, points[count - 1].y);
    cairo_move_to(cr, x(0) + 0.5 - first.x, y(0) + 0.5 - first.y);
    for (int i = 1; i < count - 1; ++i) cairo_line_to(cr, x(i) + 0.5, y(i) + 0.5);
    cairo_line_to(cr, x(count - 1) + 0.5 - last.x, y(count - 1) + 0.5 - last.y);
  } else {
    const double o = pen_offset(width);
    cairo_move_to(cr, x(0) + o, y(0) + o);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, x(i) + o, y(i) + o);
  }
}

// Past this many shapes the kept ones are let go and kept anew.
constexpr size_t kMostKeptStrokes = 2048;

uint64_t shape_key(const Point* points, int count, int width) {
  uint64_t h = static_cast<uint64_t>(width) * 0x9E3779B97F4A7C15u;
  for (int i = 1; i < count; ++i) {
    h = (h ^ static_cast<uint32_t>(points[i].x - points[0].x)) * 0x100000001B3u;
    h = (h ^ static_cast<uint32_t>(points[i].y - points[0].y)) * 0x100000001B3u;
  }
  return h;
}

bool same_shape(const KeptStroke& kept, const Point* points, int count, int width) {
  if (kept.width != width || kept.shape.size() != static_cast<size_t>(count - 1)) return false;
  for (int i = 1; i < count; ++i)
    if (kept.shape[i - 1].x != points[i].x - points[0].x || kept.shape[i - 1].y != points[i].y - points[0].y)
      return false;
  return true;
}

void draw_stroke(Canvas& canvas, const Point* points, int count, int width, Color color, const FieldBox& box) {
  const DrawWhole stroke = [](cairo_t* cr, const void* what) {
    const Chain& chain = *static_cast<const Chain*>(what);
    set_pen(cr, chain.width);
    trace_polyline(cr, chain.points, chain.count, chain.width, chain.origin);
    cairo_stroke(cr);
  };
  const double s = canvas.scale;
  const double x = points[0].x * s, y = points[0].y * s;
  if (x != std::floor(x) || y != std::floor(y) || std::abs(x) > 1e6 || std::abs(y) > 1e6) {
    const Chain chain{points, count, width, {0, 0}};
    lay_on(canvas, box, color, stroke, &chain);
    return;
  }
  // Drawn from its first point, at the same place of the coverage wherever it lies: the very
  // same drawing each time the shape comes back, shifted by whole device pixels.
  const Point at{static_cast<int>(x), static_cast<int>(y)};
  const Chain chain{points, count, width, points[0]};
  const FieldBox from_first{box.left - points[0].x, box.top - points[0].y, box.right - points[0].x,
                            box.bottom - points[0].y};
  const PixelRect local{static_cast<int>(std::floor(from_first.left * s)) - 1,
                        static_cast<int>(std::floor(from_first.top * s)) - 1,
                        static_cast<int>(std::ceil(from_first.right * s)) + 1,
                        static_cast<int>(std::ceil(from_first.bottom * s)) + 1};
  const PixelRect r{at.x + local.left, at.y + local.top, at.x + local.right, at.y + local.bottom};
  const PixelRect area{0, 0, local.right - local.left, local.bottom - local.top};
  if (r.left < 0 || r.top < 0 || r.right > canvas.width || r.bottom > canvas.height) {  // cut by an edge
    const Chain absolute{points, count, width, {0, 0}};
    lay_on(canvas, box, color, stroke, &absolute);
    return;
  }
  if (outside_clip(canvas, r)) return;
  if (canvas.stroke_cache && canvas.stroke_cache->kept.size() >= kMostKeptStrokes) {
    delete canvas.stroke_cache;
    canvas.stroke_cache = nullptr;
  }
  if (!canvas.stroke_cache) canvas.stroke_cache = new StrokeCache;
  auto& kept = canvas.stroke_cache->kept;
  const uint64_t key = shape_key(points, count, width);
  for (auto [it, end] = kept.equal_range(key); it != end; ++it) {
    if (!same_shape(it->second, points, count, width)) continue;
    lay_rows(canvas, it->second.coverage.rows.data(), it->second.coverage.stride, r, color);
    return;
  }
  KeptRows made;
  lay_through(canvas, area, {-local.left, -local.top}, r, color, stroke, &chain, &made);
  if (made.width == 0) return;  // drawn in place
  std::vector<Point> shape;
  for (int i = 1; i < count; ++i) shape.push_back({points[i].x - points[0].x, points[i].y - points[0].y});
  kept.emplace(key, KeptStroke{std::move(shape), width, std::move(made)});
}

}  // namespace
void draw_line(Canvas& canvas, int x0, int y0, int x1, int y1, int width, Color color) {
  const Point ends[2] = {{x0, y0}, {x1, y1}};
  const FieldBox box = box_around(ends, 2, pen_reach(width, false));
  if (digested_points(canvas, DrawOperation::line, ends, 2, {width, color}, box)) return;
  if (width < 1) width = 1;
  if (width == 1 && x0 == x1 && y0 == y1) return;
  draw_stroke(canvas, ends, 2, width, color, box);
}

void draw_polyline(Canvas& canvas, const Point* points, int count, int width, Color color) {
  if (!points || count < 2) return;
  const FieldBox box = box_around(points, count, pen_reach(width, true));
  if (digested_points(canvas, DrawOperation::polyline, points, count, {count, width, color}, box)) return;
  if (width < 1) width = 1;
  draw_stroke(canvas, points, count, width, color, box);
}
