// The six fonts: one family list, each face sized so that ascent plus descent is its cell.
#include <cmath>

#include "render/canvas_parts.h"

namespace {

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

}  // namespace

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

void free_fonts(Canvas& canvas) {
  for (int f = 0; f < kFontCount; ++f) {
    if (canvas.layouts[f]) g_object_unref(canvas.layouts[f]);
    if (canvas.wrapped_layouts[f]) g_object_unref(canvas.wrapped_layouts[f]);
  }
  if (canvas.context) g_object_unref(canvas.context);
}
