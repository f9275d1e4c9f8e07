#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "render/shipped_fonts.h"

#ifdef ORBILUX_HAS_MASCOT
#include "assets/mascot.h"
#include "game/letterbox.h"
#endif

namespace {

constexpr int kCanvasWidth = 800;
constexpr int kCanvasHeight = 600;

// Every font asks for the same faces in the same order; whoever has Segoe UI gets it.
constexpr const char* kFontFamilies = "Segoe UI, Open Sans, DejaVu Sans, sans-serif";

struct FontChoice {
  int cell_height;  // ascent + descent in pixels
  PangoWeight weight;
};

// In the order of the Font enum.
constexpr FontChoice kFontChoices[kFontCount] = {
    {27, PANGO_WEIGHT_BOLD},       // heading
    {25, PANGO_WEIGHT_BOLD},       // strong
    {17, PANGO_WEIGHT_NORMAL},     // body
    {34, PANGO_WEIGHT_ULTRABOLD},  // title, 800
    {63, PANGO_WEIGHT_HEAVY},      // giant, 900: the nearest weight the face has
    {20, PANGO_WEIGHT_BOLD},       // label
};

// Faces are measured at this size, where Pango's integer units lose nothing that matters,
// and then scaled to their cells.
constexpr double kMeasureSizePx = 1000.0;

void set_source(cairo_t* cr, Color color) {
  cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
}

PangoFontDescription* describe_font(PangoWeight weight, double pixel_size) {
  PangoFontDescription* desc = pango_font_description_from_string(kFontFamilies);
  pango_font_description_set_weight(desc, weight);
  pango_font_description_set_style(desc, PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(desc, pixel_size * PANGO_SCALE);
  return desc;
}

// Ascent and descent of the face the description resolves to, in pixels.
bool measure_font(PangoContext* context, const PangoFontDescription* desc, double& ascent, double& descent) {
  PangoFont* font = pango_context_load_font(context, desc);
  if (!font) return false;
  PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
  ascent = pango_font_metrics_get_ascent(metrics) / double(PANGO_SCALE);
  descent = pango_font_metrics_get_descent(metrics) / double(PANGO_SCALE);
  pango_font_metrics_unref(metrics);
  g_object_unref(font);
  return ascent + descent > 0;
}

void make_fonts(Canvas& canvas) {
  PangoContext* context = pango_cairo_create_context(canvas.cr);
  // Without this Cairo rounds ascent and descent up one by one and the cells grow.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  canvas.context = context;

  for (int f = 0; f < kFontCount; ++f) {
    const FontChoice& choice = kFontChoices[f];
    FontFace& face = canvas.faces[f];
    face.cell_height = choice.cell_height;

    PangoFontDescription* probe = describe_font(choice.weight, kMeasureSizePx);
    double ascent = 0, descent = 0;
    double size = choice.cell_height;
    if (measure_font(context, probe, ascent, descent)) size = kMeasureSizePx * choice.cell_height / (ascent + descent);
    pango_font_description_free(probe);

    PangoFontDescription* desc = describe_font(choice.weight, size);
    double final_ascent = 0, final_descent = 0;
    if (measure_font(context, desc, final_ascent, final_descent)) {
      face.ascent = final_ascent;
    } else {
      face.ascent = choice.cell_height * 0.78;
    }
    // Glyphs sit on a whole-pixel baseline so stems stay crisp; the cell stays exact.
    face.baseline = static_cast<int>(std::lround(face.ascent));

    PangoLayout* line = pango_layout_new(context);
    pango_layout_set_font_description(line, desc);
    // A one-line text shows a line break as a glyph, never as a second line.
    pango_layout_set_single_paragraph_mode(line, TRUE);
    canvas.layouts[f] = line;

    PangoLayout* wrapped = pango_layout_new(context);
    pango_layout_set_font_description(wrapped, desc);
    pango_layout_set_wrap(wrapped, PANGO_WRAP_WORD);  // a word too long for the box stays whole
    pango_layout_set_spacing(wrapped, 0);
    canvas.wrapped_layouts[f] = wrapped;

    pango_font_description_free(desc);
  }
}

struct PngReader {
  const unsigned char* data;
  size_t size;
  size_t offset;
};

cairo_status_t read_png_bytes(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (length > reader->size - reader->offset) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

enum class Operation : int64_t { rect = 1, ellipse, polygon, line, polyline, text, wrapped_text, image };

// Under canvas.digest, folds one drawing operation with its values and text into the
// digest and returns true: the operation is then to draw nothing.
bool digested(Canvas& canvas, Operation operation, std::initializer_list<int64_t> values, const char* text = nullptr) {
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

}  // namespace

namespace {

// Shaped texts kept between frames. Most texts of a frame are the same in every frame,
// and shaping them again is most of what a text costs; drawing a kept layout gives the
// very same glyphs at the very same places.
constexpr int kKeptTextsPerFont = 32;
constexpr int kKeptTextMaxBytes = 192;  // longer texts (none in the game) are shaped every time
constexpr int kSingleLine = -1;         // the width key of texts drawn on one line

struct KeptText {
  PangoLayout* layout = nullptr;
  int width = kSingleLine;  // wrapping width in pixels, or kSingleLine
  int length = -1;          // -1: the slot is free
  uint32_t last_used = 0;
  char text[kKeptTextMaxBytes];
};

}  // namespace

struct TextCache {
  KeptText kept[kFontCount][kKeptTextsPerFont];
  uint32_t clock = 0;
};

namespace {

void free_text_cache(TextCache* cache) {
  if (!cache) return;
  for (auto& font : cache->kept)
    for (KeptText& entry : font)
      if (entry.layout) g_object_unref(entry.layout);
  delete cache;
}

}  // namespace

cairo_surface_t* load_picture(const unsigned char* data, size_t size) {
  if (!data || size == 0) return nullptr;
  PngReader reader{data, size, 0};
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(read_png_bytes, &reader);
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_width(decoded) <= 0 ||
      cairo_image_surface_get_height(decoded) <= 0) {
    cairo_surface_destroy(decoded);
    return nullptr;
  }
  const int width = cairo_image_surface_get_width(decoded);
  const int height = cairo_image_surface_get_height(decoded);
  // The title page is white: any transparency in the file settles onto white, and the
  // picture is kept opaque like the page it is drawn on.
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(picture);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, decoded, 0, 0);
  cairo_paint(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_destroy(decoded);
  if (!ok) {
    cairo_surface_destroy(picture);
    return nullptr;
  }
  return picture;
}

namespace {

#ifdef ORBILUX_HAS_MASCOT
static_assert(kMascotRenders >= kDrawScaleCap, "a render of the mascot for every scale the field is drawn at");
#endif

// The mascot for drawing at `scale`: the render at the smallest whole multiple of its size
// that is not smaller, reduced once (area-averaging) to the pixels the title gives it.
cairo_surface_t* make_picture([[maybe_unused]] double scale) {
#ifdef ORBILUX_HAS_MASCOT
  int times = 1;
  while (times < kMascotRenders && times < scale) ++times;
  const EmbeddedFile file = mascot_png(times);
  cairo_surface_t* render = load_picture(file.data, file.size);
  if (!render) return nullptr;
  const int render_width = cairo_image_surface_get_width(render);
  const int render_height = cairo_image_surface_get_height(render);
  const int width = std::max(1, static_cast<int>(std::lround(render_width / times * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(render_height / times * scale)));
  if (width == render_width && height == render_height) return render;
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(picture);
  cairo_scale(cr, double(width) / render_width, double(height) / render_height);
  cairo_set_source_surface(cr, render, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_destroy(render);
  if (ok) return picture;
  cairo_surface_destroy(picture);
#endif
  return nullptr;
}

}  // namespace

CanvasSize canvas_size_for(double scale) {
  // Truncated like the letterbox, so the canvas is exactly the rectangle the field fills.
  return {std::max(1, static_cast<int>(kCanvasWidth * scale)), std::max(1, static_cast<int>(kCanvasHeight * scale))};
}

bool canvas_create(Canvas& canvas) {
  canvas.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kCanvasWidth, kCanvasHeight);
  if (cairo_surface_status(canvas.surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(canvas.surface);
    canvas.surface = nullptr;
    return false;
  }
  canvas.scale = 1;
  canvas.width = kCanvasWidth;
  canvas.height = kCanvasHeight;
  canvas.cr = cairo_create(canvas.surface);
  load_shipped_fonts();
  make_fonts(canvas);
  canvas.text_cache = new TextCache;
  canvas.picture = make_picture(1);
  return true;
}

bool canvas_set_scale(Canvas& canvas, double scale) {
  if (!canvas.surface) return false;
  if (scale == canvas.scale) return true;
  // Cairo's images end at 32767 pixels a side.
  if (!(scale > 0 && kCanvasWidth * scale < 32768)) return false;
  const CanvasSize size = canvas_size_for(scale);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_destroy(canvas.cr);
  cairo_surface_destroy(canvas.surface);
  canvas.surface = surface;
  canvas.cr = cairo_create(surface);
  cairo_scale(canvas.cr, scale, scale);  // painters draw in field units
  canvas.scale = scale;
  canvas.width = size.width;
  canvas.height = size.height;
  // The fonts are loaded again for the new device size (hinted there, so stems stay crisp);
  // every layout, kept ones too, shapes again on its next use.
  if (canvas.context) {
    pango_cairo_update_context(canvas.cr, canvas.context);
    for (int f = 0; f < kFontCount; ++f) {
      if (canvas.layouts[f]) pango_layout_context_changed(canvas.layouts[f]);
      if (canvas.wrapped_layouts[f]) pango_layout_context_changed(canvas.wrapped_layouts[f]);
    }
  }
  if (canvas.text_cache)
    for (auto& font : canvas.text_cache->kept)
      for (KeptText& entry : font)
        if (entry.layout) pango_layout_context_changed(entry.layout);
  // The kept backdrop is made again at the new size on the next play frame.
  if (canvas.kept_backdrop.surface) cairo_surface_destroy(canvas.kept_backdrop.surface);
  canvas.kept_backdrop = KeptBackdrop{};
  if (canvas.picture) cairo_surface_destroy(canvas.picture);
  canvas.picture = make_picture(scale);
  return true;
}

void canvas_destroy(Canvas& canvas) {
  if (canvas.cr) cairo_destroy(canvas.cr);
  if (canvas.surface) cairo_surface_destroy(canvas.surface);
  if (canvas.picture) cairo_surface_destroy(canvas.picture);
  for (int f = 0; f < kFontCount; ++f) {
    if (canvas.layouts[f]) g_object_unref(canvas.layouts[f]);
    if (canvas.wrapped_layouts[f]) g_object_unref(canvas.wrapped_layouts[f]);
  }
  free_text_cache(canvas.text_cache);
  if (canvas.kept_backdrop.surface) cairo_surface_destroy(canvas.kept_backdrop.surface);
  if (canvas.context) g_object_unref(canvas.context);
  canvas = Canvas{};
}

void fill_rect(Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  if (digested(canvas, Operation::rect, {left, top, right, bottom, color})) return;
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
  if (digested(canvas, Operation::ellipse, {left, top, width, height, color})) return;
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
  if (canvas.digest) {
    for (int i = 0; i < count; ++i) digested(canvas, Operation::polygon, {points[i].x, points[i].y});
    digested(canvas, Operation::polygon, {count, color});
    return;
  }
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

}  // namespace

void draw_line(Canvas& canvas, int x0, int y0, int x1, int y1, int width, Color color) {
  if (digested(canvas, Operation::line, {x0, y0, x1, y1, width, color})) return;
  if (width < 1) width = 1;
  cairo_t* cr = canvas.cr;
  if (width == 1) {
    if (x0 == x1 && y0 == y1) return;
    const HalfStep s = half_step(x0, y0, x1, y1);
    set_pen(cr, 1, color);
    cairo_move_to(cr, x0 + 0.5 - s.x, y0 + 0.5 - s.y);
    cairo_line_to(cr, x1 + 0.5 - s.x, y1 + 0.5 - s.y);
    cairo_stroke(cr);
    return;
  }
  const double o = pen_offset(width);
  set_pen(cr, width, color);
  cairo_move_to(cr, x0 + o, y0 + o);
  cairo_line_to(cr, x1 + o, y1 + o);
  cairo_stroke(cr);
}

void draw_polyline(Canvas& canvas, const Point* points, int count, int width, Color color) {
  if (!points || count < 2) return;
  if (canvas.digest) {
    for (int i = 0; i < count; ++i) digested(canvas, Operation::polyline, {points[i].x, points[i].y});
    digested(canvas, Operation::polyline, {count, width, color});
    return;
  }
  if (width < 1) width = 1;
  cairo_t* cr = canvas.cr;
  set_pen(cr, width, color);
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
  cairo_stroke(cr);
}

namespace {

// Glyphs sit on a whole device pixel's baseline, so stems stay crisp at any scale; at scale
// 1 that is the cell's top plus the ascent rounded.
double baseline_of(const Canvas& canvas, int cell_top, const FontFace& face) {
  return std::floor((cell_top + face.ascent) * canvas.scale + 0.5) / canvas.scale;
}

// A layout holding `text` shaped in font f, for one line (width kSingleLine) or wrapped
// at `width` pixels. Null when there is no font to shape it with.
PangoLayout* shaped_layout(Canvas& canvas, int f, const char* text, int width) {
  PangoLayout* plain = width == kSingleLine ? canvas.layouts[f] : canvas.wrapped_layouts[f];
  if (!plain) return nullptr;
  const size_t length = std::strlen(text);
  TextCache* cache = canvas.text_cache;
  if (canvas.plain_drawing || !cache || length >= kKeptTextMaxBytes) {
    if (width != kSingleLine) pango_layout_set_width(plain, width * PANGO_SCALE);
    pango_layout_set_text(plain, text, static_cast<int>(length));
    return plain;
  }
  KeptText* slots = cache->kept[f];
  KeptText* victim = &slots[0];
  ++cache->clock;
  for (int i = 0; i < kKeptTextsPerFont; ++i) {
    KeptText& entry = slots[i];
    if (entry.length == static_cast<int>(length) && entry.width == width &&
        std::memcmp(entry.text, text, length) == 0) {
      entry.last_used = cache->clock;
      return entry.layout;
    }
    // Free slots first, then the one unused for longest.
    if (victim->length >= 0 && (entry.length < 0 || entry.last_used < victim->last_used)) victim = &entry;
  }
  if (!victim->layout) victim->layout = pango_layout_copy(plain);
  if (!victim->layout) return nullptr;
  if (width != kSingleLine) pango_layout_set_width(victim->layout, width * PANGO_SCALE);
  pango_layout_set_text(victim->layout, text, static_cast<int>(length));
  std::memcpy(victim->text, text, length);
  victim->length = static_cast<int>(length);
  victim->width = width;
  victim->last_used = cache->clock;
  return victim->layout;
}

}  // namespace

void draw_text(Canvas& canvas, int x, int y, const char* text, Font font, Color color) {
  if (!text || !*text) return;
  if (digested(canvas, Operation::text, {x, y, static_cast<int>(font), color}, text)) return;
  const int f = static_cast<int>(font);
  PangoLayout* layout = shaped_layout(canvas, f, text, kSingleLine);
  if (!layout) return;
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (!line) return;
  cairo_t* cr = canvas.cr;
  set_source(cr, color);
  cairo_move_to(cr, x, baseline_of(canvas, y, canvas.faces[f]));
  pango_cairo_show_layout_line(cr, line);
  cairo_new_path(cr);
}

void draw_text_wrapped(Canvas& canvas, int left, int top, int right, int bottom, const char* text, Font font,
                       Color color) {
  if (!text || !*text || right <= left || bottom <= top) return;
  if (digested(canvas, Operation::wrapped_text, {left, top, right, bottom, static_cast<int>(font), color}, text))
    return;
  const int f = static_cast<int>(font);
  PangoLayout* layout = shaped_layout(canvas, f, text, right - left);
  if (!layout) return;
  cairo_t* cr = canvas.cr;
  cairo_rectangle(cr, left, top, right - left, bottom - top);
  cairo_clip(cr);
  set_source(cr, color);
  const FontFace& face = canvas.faces[f];
  // Lines stand one cell apart whatever faces a line borrowed glyphs from.
  const int lines = pango_layout_get_line_count(layout);
  for (int i = 0; i < lines; ++i) {
    const int line_top = top + i * face.cell_height;
    if (line_top >= bottom) break;
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
    cairo_move_to(cr, left, baseline_of(canvas, line_top, face));
    pango_cairo_show_layout_line(cr, line);
  }
  cairo_new_path(cr);
  cairo_reset_clip(cr);
}

void draw_image(Canvas& canvas, cairo_surface_t* image, int x, int y, int width, int height) {
  if (!image || width <= 0 || height <= 0) return;
  if (digested(canvas, Operation::image, {reinterpret_cast<intptr_t>(image), x, y, width, height})) return;
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

int format_text(char* buffer, int capacity, const char* format, ...) {
  if (!buffer || capacity <= 0) return 0;
  va_list args;
  va_start(args, format);
  const int wanted = std::vsnprintf(buffer, static_cast<size_t>(capacity), format, args);
  va_end(args);
  if (wanted < 0) {
    buffer[0] = '\0';
    return 0;
  }
  int length = wanted < capacity ? wanted : capacity - 1;
  // A cut never leaves half a character behind.
  if (wanted >= capacity) {
    int start = length;
    while (start > 0 && (static_cast<unsigned char>(buffer[start - 1]) & 0xC0) == 0x80) --start;
    if (start > 0) {
      const unsigned char lead = static_cast<unsigned char>(buffer[start - 1]);
      const int need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (need > 1 && length - (start - 1) < need) length = start - 1;
    }
    buffer[length] = '\0';
  }
  return length;
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

Color canvas_pixel(const Canvas& canvas, int x, int y) {
  if (!canvas.surface || x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return 0;
  cairo_surface_flush(canvas.surface);
  const unsigned char* data = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  uint32_t xrgb;
  std::memcpy(&xrgb, data + y * stride + x * 4, 4);
  const uint32_t r = (xrgb >> 16) & 0xFF, g = (xrgb >> 8) & 0xFF, b = xrgb & 0xFF;
  return r | (g << 8) | (b << 16);
}

bool canvas_write_png(const Canvas& canvas, const char* path) {
  if (!canvas.surface || !path) return false;
  return cairo_surface_write_to_png(canvas.surface, path) == CAIRO_STATUS_SUCCESS;
}
