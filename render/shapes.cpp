// The shapes every painter draws with: rectangles, ellipses, polygons, lines, chains of
// lines and pictures, each on whole device pixels where that keeps edges crisp; and the
// colour blend; and how every shape but a rectangle or a picture is laid on.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render/canvas_parts.h"
#include "render/digest.h"

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

struct Chain {
  const Point* points;
  int count, width;
};

}  // namespace

void lay_on(Canvas& canvas, const FieldBox& box, Color color, DrawWhole draw, const void* what) {
  const PixelRect r = device_box(canvas, box);
  if (r.right <= r.left || r.bottom <= r.top) return;
  double x0, y0, x1, y1;  // nothing to do outside the clip
  cairo_clip_extents(canvas.cr, &x0, &y0, &x1, &y1);
  const double s = canvas.scale;
  if (r.left >= x1 * s || r.right <= x0 * s || r.top >= y1 * s || r.bottom <= y0 * s) return;
  if (!canvas.coverage) {
    canvas.coverage = cairo_image_surface_create(CAIRO_FORMAT_A8, canvas.width, canvas.height);
    canvas.coverage_cr = cairo_create(canvas.coverage);
    cairo_scale(canvas.coverage_cr, s, s);
  }
  cairo_t* cr = canvas.cr;
  if (cairo_status(canvas.coverage_cr) != CAIRO_STATUS_SUCCESS) {  // no memory for it: drawn in place
    set_source(cr, color);
    draw(cr, what);
    return;
  }
  // Within its box alone, so that nothing is left behind outside the rows cleared below.
  cairo_t* whole = canvas.coverage_cr;
  cairo_save(whole);
  cairo_identity_matrix(whole);
  cairo_rectangle(whole, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_restore(whole);
  cairo_save(whole);
  cairo_clip(whole);
  draw(whole, what);
  cairo_restore(whole);
  cairo_surface_flush(canvas.coverage);
  unsigned char* rows = cairo_image_surface_get_data(canvas.coverage);
  const int stride = cairo_image_surface_get_stride(canvas.coverage);
  unsigned char* first = rows + static_cast<ptrdiff_t>(r.top) * stride + r.left;
  cairo_surface_t* part = cairo_image_surface_create_for_data(first, CAIRO_FORMAT_A8, r.right - r.left,
                                                              r.bottom - r.top, stride);
  cairo_save(cr);
  cairo_identity_matrix(cr);
  set_source(cr, color);
  cairo_mask_surface(cr, part, r.left, r.top);
  cairo_restore(cr);
  cairo_surface_finish(part);
  cairo_surface_destroy(part);
  for (int y = r.top; y < r.bottom; ++y) std::memset(rows + static_cast<ptrdiff_t>(y) * stride + r.left, 0, r.right - r.left);
  cairo_surface_mark_dirty(canvas.coverage);
}

void forget_coverage(Canvas& canvas) {
  if (canvas.coverage_cr) cairo_destroy(canvas.coverage_cr);
  if (canvas.coverage) cairo_surface_destroy(canvas.coverage);
  canvas.coverage_cr = nullptr;
  canvas.coverage = nullptr;
}

void fill_rect(Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  if (digested(canvas, DrawOperation::rect, {left, top, right, bottom, color},
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
  const FieldBox box{double(left), double(top), double(left) + width, double(top) + height};
  if (digested(canvas, DrawOperation::ellipse, {left, top, width, height, color}, box)) return;
  if (width <= 0 || height <= 0) return;
  const int ellipse[4] = {left, top, width, height};
  lay_on(canvas, box, color, [](cairo_t* cr, const void* what) {
    const auto [left, top, width, height] = *static_cast<const int(*)[4]>(what);
    // The path is kept in device space, so the scaled unit circle can be built and the
    // field's transform set back before filling.
    cairo_matrix_t field;
    cairo_get_matrix(cr, &field);
    cairo_translate(cr, left + width * 0.5, top + height * 0.5);
    cairo_scale(cr, width * 0.5, height * 0.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_set_matrix(cr, &field);
    cairo_fill(cr);
  }, ellipse);
}

void fill_polygon(Canvas& canvas, const Point* points, int count, Color color) {
  if (!points || count < 3) return;
  const FieldBox box = box_around(points, count, 0);
  if (digested_points(canvas, DrawOperation::polygon, points, count, {count, color}, box)) return;
  const Chain polygon{points, count, 0};
  lay_on(canvas, box, color, [](cairo_t* cr, const void* what) {
    const auto [points, count, width] = *static_cast<const Chain*>(what);
    cairo_move_to(cr, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  }, &polygon);
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

void draw_stroke(Canvas& canvas, const Point* points, int count, int width, Color color, const FieldBox& box) {
  const Chain chain{points, count, width};
  lay_on(canvas, box, color, [](cairo_t* cr, const void* what) {
    const auto [points, count, width] = *static_cast<const Chain*>(what);
    set_pen(cr, width);
    trace_polyline(cr, points, count, width);
    cairo_stroke(cr);
  }, &chain);
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

void draw_image(Canvas& canvas, cairo_surface_t* image, int x, int y, int width, int height) {
  if (!image || width <= 0 || height <= 0) return;
  if (digested(canvas, DrawOperation::image, {reinterpret_cast<intptr_t>(image), x, y, width, height},
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
