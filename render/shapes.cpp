// The shapes every painter draws with: rectangles, ellipses, polygons, lines, chains of
// lines and pictures, each on whole device pixels where that keeps edges crisp; and the
// colour blend. Lines and chains are laid on through their stroke's coverage, each shape
// stroked once and kept for the canvas's scale.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "render/canvas_parts.h"
#include "render/frame_key.h"

void set_source(cairo_t* cr, Color color) {
  cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
}

namespace {

// The points' bounding box grown by `reach` on every side.
FieldBox box_around(const Point* points, int count, double reach) {
  FieldBox box{double(points[0].x), double(points[0].y), double(points[0].x), double(points[0].y)};
  for (int i = 1; i < count; ++i) {
    box.left = std::min(box.left, double(points[i].x));
    box.top = std::min(box.top, double(points[i].y));
    box.right = std::max(box.right, double(points[i].x));
    box.bottom = std::max(box.bottom, double(points[i].y));
  }
  return {box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
}

// How far a pen's stroke reaches past its points: half its width for the round ends and
// joins, shifted half a pixel for odd widths; a thin chain's mitred corners reach up to the
// miter limit (10) times its half width.
double pen_reach(int width, bool chain) { return width <= 1 ? (chain ? 6 : 1) : width; }

}  // namespace

void fill_rect(Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  if (noted(canvas, DrawOperation::rect, {left, top, right, bottom, color},
            {double(left), double(top), double(right), double(bottom)}))
    return;
  if (right <= left || bottom <= top) return;
  cairo_t* cr = canvas.cr;
  set_source(cr, color);
  // Edges on whole device pixels: at any scale a rectangle is crisp, and rectangles that
  // meet (the sky's bands, the bars) meet without a seam between them.
  const double s = canvas.scale;
  const double x0 = std::round(left * s) / s, y0 = std::round(top * s) / s;
  const double x1 = std::round(right * s) / s, y1 = std::round(bottom * s) / s;
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_fill(cr);
}

void fill_ellipse(Canvas& canvas, int left, int top, int width, int height, Color color) {
  if (noted(canvas, DrawOperation::ellipse, {left, top, width, height, color},
            {double(left), double(top), double(left) + width, double(top) + height}))
    return;
  if (width <= 0 || height <= 0) return;
  cairo_t* cr = canvas.cr;
  set_source(cr, color);
  // The path is kept in device space, so the scaled unit circle can be built and the
  // field's transform set back before filling.
  cairo_matrix_t field;
  cairo_get_matrix(cr, &field);
  cairo_translate(cr, left + width * 0.5, top + height * 0.5);
  cairo_scale(cr, width * 0.5, height * 0.5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_set_matrix(cr, &field);
  cairo_fill(cr);
}

void fill_polygon(Canvas& canvas, const Point* points, int count, Color color) {
  if (!points || count < 3) return;
  if (noted_points(canvas, DrawOperation::polygon, points, count, {count, color}, box_around(points, count, 0))) return;
  cairo_t* cr = canvas.cr;
  set_source(cr, color);
  cairo_move_to(cr, points[0].x, points[0].y);
  for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
  cairo_close_path(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

namespace {

// Pen geometry: odd widths centre on pixel centres and even widths on pixel edges, so a
// straight horizontal or vertical line covers whole pixel rows or columns.
double pen_offset(int width) { return (width % 2) ? 0.5 : 0.0; }

void set_pen(cairo_t* cr, int width, Color color) {
  set_source(cr, color);
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

// The path of a line or a chain of lines, in field units, for set_pen's pen: a thin one
// through pixel centres, its ends shifted like half_step says.
void trace_polyline(cairo_t* cr, const Point* points, int count, int width) {
  if (width == 1) {
    // Corners stay on pixel centres (mitred, so the corner pixel is whole); only the two
    // ends shift like a thin line's.
    const HalfStep first = half_step(points[0].x, points[0].y, points[1].x, points[1].y);
    const HalfStep last = half_step(points[count - 2].x, points[count - 2].y, points[count - 1].x, points[count - 1].y);
    cairo_move_to(cr, points[0].x + 0.5 - first.x, points[0].y + 0.5 - first.y);
    for (int i = 1; i < count - 1; ++i) cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
    cairo_line_to(cr, points[count - 1].x + 0.5 - last.x, points[count - 1].y + 0.5 - last.y);
  } else {
    const double o = pen_offset(width);
    cairo_move_to(cr, points[0].x + o, points[0].y + o);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x + o, points[i].y + o);
  }
}

}  // namespace

bool stroke_from_mask(const Canvas& canvas, Point first) {
  const double x = first.x * canvas.scale, y = first.y * canvas.scale;
  return x == std::floor(x) && y == std::floor(y);
}

namespace {

// A stroke as a coverage mask on whole device pixels, laid on in its colour. Drawn so, a
// stroke's pixels do not depend on a clip through it, and its mask can be kept: shifted
// by whole device pixels, a stroke covers the very same pixels by the very same amounts.
struct StrokeMask {
  bool made = false;                    // false when there was no memory to stroke it in
  std::vector<unsigned char> coverage;  // A8 rows, `stride` bytes apart; only the covered part
  int width = 0, height = 0, stride = 0;
  int left = 0, top = 0;  // of the covered part, in device pixels from the first point
};

// The stroke through the points at their place; the mask spans the device pixels its notes
// say it may reach (frame_key.h), and keeps only those the stroke covers at all: laying on
// the empty rest would cost as much as the rest.
StrokeMask stroke_mask(const Canvas& canvas, const Point* points, int count, int width, double reach) {
  const double s = canvas.scale;
  const FieldBox box = box_around(points, count, reach);
  const int left = static_cast<int>(std::floor(box.left * s)) - 1, top = static_cast<int>(std::floor(box.top * s)) - 1;
  const int right = static_cast<int>(std::ceil(box.right * s)) + 1;
  const int bottom = static_cast<int>(std::ceil(box.bottom * s)) + 1;
  cairo_surface_t* drawn = cairo_image_surface_create(CAIRO_FORMAT_A8, right - left, bottom - top);
  StrokeMask mask;
  if (cairo_surface_status(drawn) == CAIRO_STATUS_SUCCESS) {
    cairo_t* cr = cairo_create(drawn);
    cairo_matrix_t field;
    cairo_matrix_init(&field, s, 0, 0, s, -left, -top);
    cairo_set_matrix(cr, &field);
    set_pen(cr, width, 0xFFFFFF);
    trace_polyline(cr, points, count, width);
    cairo_stroke(cr);
    mask.made = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
  }
  if (mask.made) {
    cairo_surface_flush(drawn);
    const unsigned char* data = cairo_image_surface_get_data(drawn);
    const int stride = cairo_image_surface_get_stride(drawn);
    int x0 = right - left, y0 = bottom - top, x1 = 0, y1 = 0;
    for (int y = 0; y < bottom - top; ++y)
      for (int x = 0; x < right - left; ++x)
        if (data[y * stride + x])
          x0 = std::min(x0, x), x1 = std::max(x1, x + 1), y0 = std::min(y0, y), y1 = std::max(y1, y + 1);
    if (x1 > x0) {
      mask.width = x1 - x0;
      mask.height = y1 - y0;
      mask.stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, mask.width);
      mask.coverage.resize(static_cast<size_t>(mask.stride) * mask.height);
      for (int y = y0; y < y1; ++y)
        std::memcpy(&mask.coverage[static_cast<size_t>(y - y0) * mask.stride], data + y * stride + x0, mask.width);
    }
    // The first point lands on whole pixels (stroke_from_mask).
    mask.left = left + x0 - static_cast<int>(std::floor(points[0].x * s));
    mask.top = top + y0 - static_cast<int>(std::floor(points[0].y * s));
  }
  cairo_surface_destroy(drawn);
  return mask;
}

struct KeptStroke {
  std::vector<Point> shape;  // the points less the first one
  int width;
  StrokeMask stroke;
};

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

}  // namespace

struct StrokeCache {
  std::unordered_multimap<uint64_t, KeptStroke> kept;
};

void forget_kept_strokes(Canvas& canvas) {
  delete canvas.stroke_cache;
  canvas.stroke_cache = nullptr;
}

namespace {

// The lamps' waves, the turbines' blades, the sparks and the falling item come back in a few
// hundred shapes: each is stroked once and kept. A line and a chain of two points share a
// shape.
const KeptStroke* kept_stroke(Canvas& canvas, const Point* points, int count, int width, double reach) {
  if (canvas.plain_drawing) return nullptr;
  if (canvas.stroke_cache && canvas.stroke_cache->kept.size() >= kMostKeptStrokes) forget_kept_strokes(canvas);
  if (!canvas.stroke_cache) canvas.stroke_cache = new StrokeCache;
  auto& kept = canvas.stroke_cache->kept;
  const uint64_t key = shape_key(points, count, width);
  for (auto [at, end] = kept.equal_range(key); at != end; ++at)
    if (same_shape(at->second, points, count, width)) return &at->second;
  StrokeMask stroke = stroke_mask(canvas, points, count, width, reach);
  if (!stroke.made || stroke.coverage.empty()) return nullptr;
  std::vector<Point> shape;
  for (int i = 1; i < count; ++i) shape.push_back({points[i].x - points[0].x, points[i].y - points[0].y});
  return &kept.emplace(key, KeptStroke{std::move(shape), width, std::move(stroke)})->second;
}

// Lays the colour on through the mask, the mask's first point at the stroke's first point.
// Only the rows are kept: a surface over them costs less to make for each use than to keep.
void lay_on(Canvas& canvas, const StrokeMask& mask, Point first, Color color) {
  cairo_t* cr = canvas.cr;
  cairo_surface_t* rows = cairo_image_surface_create_for_data(const_cast<unsigned char*>(mask.coverage.data()),
                                                              CAIRO_FORMAT_A8, mask.width, mask.height, mask.stride);
  cairo_matrix_t field;
  cairo_get_matrix(cr, &field);
  cairo_identity_matrix(cr);
  set_source(cr, color);
  cairo_mask_surface(cr, rows, std::floor(first.x * canvas.scale) + mask.left,
                     std::floor(first.y * canvas.scale) + mask.top);
  cairo_set_matrix(cr, &field);
  cairo_surface_destroy(rows);
}

// The stroke of a line or a chain through the points, its mask spanning `reach` around them.
void draw_stroke(Canvas& canvas, const Point* points, int count, int width, Color color, double reach) {
  StrokeMask made;
  const StrokeMask* mask = &made;
  if (stroke_from_mask(canvas, points[0])) {
    const KeptStroke* kept = kept_stroke(canvas, points, count, width, reach);
    if (kept) {
      mask = &kept->stroke;
    } else {
      made = stroke_mask(canvas, points, count, width, reach);
    }
  }
  if (!mask->made) {  // off whole pixels, or no memory for a mask: stroked in place
    set_pen(canvas.cr, width, color);
    trace_polyline(canvas.cr, points, count, width);
    cairo_stroke(canvas.cr);
  } else if (!mask->coverage.empty()) {
    lay_on(canvas, *mask, points[0], color);
  }
}

}  // namespace

void draw_line(Canvas& canvas, int x0, int y0, int x1, int y1, int width, Color color) {
  const Point ends[2] = {{x0, y0}, {x1, y1}};
  if (noted_points(canvas, DrawOperation::line, ends, 2, {width, color}, box_around(ends, 2, pen_reach(width, false))))
    return;
  if (width < 1) width = 1;
  if (width == 1 && x0 == x1 && y0 == y1) return;
  draw_stroke(canvas, ends, 2, width, color, pen_reach(width, false));
}

void draw_polyline(Canvas& canvas, const Point* points, int count, int width, Color color) {
  if (!points || count < 2) return;
  if (noted_points(canvas, DrawOperation::polyline, points, count, {count, width, color},
                   box_around(points, count, pen_reach(width, true))))
    return;
  if (width < 1) width = 1;
  draw_stroke(canvas, points, count, width, color, pen_reach(width, true));
}

void draw_image(Canvas& canvas, cairo_surface_t* image, int x, int y, int width, int height) {
  if (!image || width <= 0 || height <= 0) return;
  if (noted(canvas, DrawOperation::image, {reinterpret_cast<intptr_t>(image), x, y, width, height},
            {double(x), double(y), double(x) + width, double(y) + height}))
    return;
  const int image_width = cairo_image_surface_get_width(image);
  const int image_height = cairo_image_surface_get_height(image);
  if (image_width <= 0 || image_height <= 0) return;
  cairo_t* cr = canvas.cr;
  // In device pixels, on whole ones: a picture made for this scale lands pixel for pixel.
  const double s = canvas.scale;
  const int left = static_cast<int>(std::lround(x * s)), top = static_cast<int>(std::lround(y * s));
  const int target_width = static_cast<int>(std::lround(width * s));
  const int target_height = static_cast<int>(std::lround(height * s));
  if (target_width <= 0 || target_height <= 0) return;
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
  // Device point p samples the picture at (p - origin) * picture size / target size.
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, double(image_width) / target_width, 0, 0, double(image_height) / target_height,
                    -left * double(image_width) / target_width, -top * double(image_height) / target_height);
  cairo_pattern_set_matrix(pattern, &matrix);
  // GOOD is a box filter when shrinking: every source pixel counts toward its target.
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_set_source(cr, pattern);
  cairo_rectangle(cr, left, top, target_width, target_height);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_pattern_destroy(pattern);
}

Color mix_color(Color a, Color b, double t) {
  Color result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double ca = (a >> shift) & 0xFF;
    const double cb = (b >> shift) & 0xFF;
    double mixed = ca * (1 - t) + cb * t;
    if (!(mixed > -1e9 && mixed < 1e9)) mixed = 0;  // a fraction far outside 0..1, or NaN
    const auto channel = static_cast<int64_t>(mixed);
    result |= (static_cast<Color>(channel) & 0xFF) << shift;
  }
  return result;
}
