// The shapes every painter draws with: rectangles, ellipses, polygons and pictures, each on
// whole device pixels where that keeps edges crisp; and the colour blend. Lines, chains of
// lines and the coverage picture shapes are laid on through are coverage.cpp's.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/canvas_parts.h"
#include "render/digest.h"

void set_source(cairo_t* cr, Color color) {
  cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
}

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

namespace {

// A polygon's corners, as fill_polygon hands them to lay_on.
struct Outline {
  const Point* points;
  int count;
};

}  // namespace

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
  const Outline polygon{points, count};
  lay_on(canvas, box, color, [](cairo_t* cr, const void* what) {
    const auto [points, count] = *static_cast<const Outline*>(what);
    cairo_move_to(cr, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  }, &polygon);
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
