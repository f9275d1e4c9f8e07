// Texts: one line from the top-left corner of its first cell, or wrapped in a box; and the
// bounded printf every formatted text goes through.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "render/canvas_parts.h"
#include "render/digest.h"

void texts_follow_context(Canvas& canvas) {
  if (!canvas.context) return;
  pango_cairo_update_context(canvas.cr, canvas.context);
  for (int f = 0; f < kFontCount; ++f) {
    if (canvas.layouts[f]) pango_layout_context_changed(canvas.layouts[f]);
    if (canvas.wrapped_layouts[f]) pango_layout_context_changed(canvas.wrapped_layouts[f]);
  }
}

namespace {

constexpr double kBeyondTheRightEdge = 1e6;  // field units; a box is cut at the canvas's edge

// Glyphs sit on a whole device pixel's baseline, so stems stay crisp at any scale; at scale
// 1 that is the cell's top plus the ascent rounded.
double baseline_at(double scale, int cell_top, const FontFace& face) {
  return std::floor((cell_top + face.ascent) * scale + 0.5) / scale;
}

// A wrapped text as lay_on draws it.
struct ShownText {
  PangoLayout* layout;
  int left, top, right, bottom;
  const FontFace* face;
  double scale;
};

// Font f's layout holding `text`, for one line or wrapped at `width` pixels; shaped again only
// when it held another text or width (Pango lets an unchanged width be, but not an unchanged
// text). Null when there is no font to shape it with.
PangoLayout* shaped_layout(Canvas& canvas, int f, const char* text, int width = -1) {
  PangoLayout* layout = width < 0 ? canvas.layouts[f] : canvas.wrapped_layouts[f];
  if (!layout) return nullptr;
  if (width >= 0) pango_layout_set_width(layout, width * PANGO_SCALE);
  if (std::strcmp(pango_layout_get_text(layout), text) != 0) pango_layout_set_text(layout, text, -1);
  return layout;
}

// Where the line's glyphs may land, from its baseline at (x, baseline): the ink and the
// advance, and a pixel more for the antialiasing of hinted glyphs.
struct ShownLine {
  PangoLayoutLine* line;
  int x;
  double baseline;
};

FieldBox line_box(PangoLayoutLine* line, int x, double baseline) {
  PangoRectangle ink, logical;
  pango_layout_line_get_extents(line, &ink, &logical);
  const double left = std::min(ink.x, logical.x), right = std::max(ink.x + ink.width, logical.x + logical.width);
  const double top = std::min(ink.y, logical.y), bottom = std::max(ink.y + ink.height, logical.y + logical.height);
  return {x + left / PANGO_SCALE - 1, baseline + top / PANGO_SCALE - 1, x + right / PANGO_SCALE + 1,
          baseline + bottom / PANGO_SCALE + 1};
}

}  // namespace

void draw_text(Canvas& canvas, int x, int y, const char* text, Font font, Color color) {
  if (!text || !*text) return;
  const int f = static_cast<int>(font);
  // The line lands within half a cell around its cell, from just before x to the right edge:
  // enough for the digest, and to leave a text the clip leaves out unshaped.
  const double reach = canvas.faces[f].cell_height * 0.5;
  const FieldBox cell{x - reach, y - reach, kBeyondTheRightEdge, y + canvas.faces[f].cell_height + reach};
  if (digested(canvas, DrawOperation::text, {x, y, f, color}, cell, text) || clipped_away(canvas, cell)) return;
  PangoLayout* layout = shaped_layout(canvas, f, text);
  if (!layout) return;
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (!line) return;
  const double baseline = baseline_at(canvas.scale, y, canvas.faces[f]);
  const ShownLine shown{line, x, baseline};
  lay_on(
      canvas, line_box(line, x, baseline), color,
      [](cairo_t* cr, const void* what) {
        const ShownLine& shown = *static_cast<const ShownLine*>(what);
        cairo_move_to(cr, shown.x, shown.baseline);
        pango_cairo_show_layout_line(cr, shown.line);
        cairo_new_path(cr);
      },
      &shown);
}

void draw_text_wrapped(Canvas& canvas, int left, int top, int right, int bottom, const char* text, Font font,
                       Color color) {
  if (!text || !*text || right <= left || bottom <= top) return;
  const FieldBox box{double(left), double(top), double(right), double(bottom)};
  if (digested(canvas, DrawOperation::wrapped_text, {left, top, right, bottom, static_cast<int>(font), color}, box,
               text) ||
      clipped_away(canvas, box))
    return;
  const int f = static_cast<int>(font);
  PangoLayout* layout = shaped_layout(canvas, f, text, right - left);
  if (!layout) return;
  const ShownText shown{layout, left, top, right, bottom, &canvas.faces[f], canvas.scale};
  lay_on(
      canvas, box, color,
      [](cairo_t* cr, const void* what) {
        const ShownText& t = *static_cast<const ShownText*>(what);
        cairo_rectangle(cr, t.left, t.top, t.right - t.left, t.bottom - t.top);
        cairo_clip(cr);
        // Lines stand one cell apart whatever faces a line borrowed glyphs from.
        const int lines = pango_layout_get_line_count(t.layout);
        for (int i = 0; i < lines; ++i) {
          const int line_top = t.top + i * t.face->cell_height;
          if (line_top >= t.bottom) break;
          cairo_move_to(cr, t.left, baseline_at(t.scale, line_top, *t.face));
          pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(t.layout, i));
        }
        cairo_new_path(cr);
      },
      &shown);
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
