// The canvas: exact rectangles, the pixel rules of lines, polygons and ellipses, text cells,
// fonts, the picture, bounded formatting and the colour blend.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "tests/render_test_support.h"

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kPaper = 0x2A170D;  // the dark of the quiz screens

void clear(Canvas& canvas, Color color) { fill_rect(canvas, 0, 0, 800, 600, color); }

TEST(CanvasSurface, IsMadeOnceAt800By600WithSixFonts) {
  Canvas& canvas = test_canvas();
  ASSERT_NE(canvas.surface, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(canvas.surface), 800);
  EXPECT_EQ(cairo_image_surface_get_height(canvas.surface), 600);
  EXPECT_EQ(cairo_image_surface_get_format(canvas.surface), CAIRO_FORMAT_RGB24);
  for (int f = 0; f < kFontCount; ++f) {
    EXPECT_NE(canvas.layouts[f], nullptr) << f;
    EXPECT_NE(canvas.wrapped_layouts[f], nullptr) << f;
  }
}

TEST(CanvasSurface, ColoursKeepRedInTheLowByteAndReachCairoAsRed) {
  Canvas& canvas = test_canvas();
  fill_rect(canvas, 0, 0, 10, 10, 0x0000FF);
  EXPECT_EQ(canvas_pixel(canvas, 5, 5), 0x0000FFu);
  // The surface itself must hold red, or every picture on screen would be blue.
  cairo_surface_flush(canvas.surface);
  uint32_t xrgb;
  std::memcpy(&xrgb,
              cairo_image_surface_get_data(canvas.surface) + 5 * cairo_image_surface_get_stride(canvas.surface) + 5 * 4,
              4);
  EXPECT_EQ(xrgb & 0xFFFFFF, 0xFF0000u);
}

TEST(CanvasSurface, PixelsOutsideTheCanvasReadAsBlack) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  EXPECT_EQ(canvas_pixel(canvas, -1, 0), 0u);
  EXPECT_EQ(canvas_pixel(canvas, 800, 0), 0u);
  EXPECT_EQ(canvas_pixel(canvas, 0, 600), 0u);
  EXPECT_EQ(canvas_pixel(canvas, 799, 599), kWhite);
}

TEST(FillRect, FillsExactlyLeftToRightExclusive) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  fill_rect(canvas, 10, 20, 30, 25, 0x392213);
  EXPECT_TRUE(area_is(canvas, 10, 20, 29, 24, 0x392213));
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, 0x392213), 20 * 5);
  EXPECT_EQ(canvas_pixel(canvas, 30, 20), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 10, 25), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 9, 20), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 10, 19), kWhite);
}

TEST(FillRect, EmptyOrInvertedRectanglesDrawNothingAndOffCanvasPartsAreCut) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  fill_rect(canvas, 50, 50, 50, 60, 0);
  fill_rect(canvas, 50, 50, 60, 50, 0);
  fill_rect(canvas, 60, 60, 50, 50, 0);
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, kWhite), 800 * 600);
  fill_rect(canvas, -20, -20, 3, 2, 0x123456);
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, 0x123456), 3 * 2);
}

TEST(FillEllipse, FillsTheInscribedEllipseAndNotTheBoxCorners) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  fill_ellipse(canvas, 100, 100, 116, 10, 0x1D1008);
  EXPECT_TRUE(area_is(canvas, 110, 103, 205, 106, 0x1D1008));
  EXPECT_EQ(canvas_pixel(canvas, 100, 100), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 215, 109), kWhite);
  const PixelBox box = changed_pixels(canvas, 90, 90, 230, 120, kWhite);
  EXPECT_GE(box.left, 100);
  EXPECT_LE(box.right, 215);
  EXPECT_GE(box.top, 100);
  EXPECT_LE(box.bottom, 109);
  fill_ellipse(canvas, 300, 300, 0, 10, 0);
  fill_ellipse(canvas, 300, 300, 10, -1, 0);
  EXPECT_EQ(changed_pixels(canvas, 290, 290, 320, 320, kWhite).count, 0);
}

TEST(FillPolygon, UsesTheAlternateRuleAndClosesItself) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  // A five-pointed star drawn in one stroke: its centre is wound twice and stays empty.
  const Point star[] = {{200, 100}, {260, 280}, {110, 170}, {290, 170}, {140, 280}};
  fill_polygon(canvas, star, 5, 0x331CE6);
  EXPECT_EQ(canvas_pixel(canvas, 200, 200), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 200, 130), 0x331CE6u);  // a point of the star
  // A square given by its four corners only is closed without a fourth edge drawn.
  const Point square[] = {{400, 400}, {440, 400}, {440, 440}, {400, 440}};
  fill_polygon(canvas, square, 4, 0x210AAC);
  EXPECT_TRUE(area_is(canvas, 400, 400, 439, 439, 0x210AAC));
  EXPECT_EQ(canvas_pixel(canvas, 440, 420), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 420, 440), kWhite);
  fill_polygon(canvas, square, 2, 0);
  fill_polygon(canvas, nullptr, 4, 0);
  EXPECT_TRUE(area_is(canvas, 400, 400, 439, 439, 0x210AAC));
}

TEST(DrawLine, ThinLinesAreOnePixelWideAndLeaveOutTheirEndPoint) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  draw_line(canvas, 10, 10, 20, 10, 1, 0x8E83FF);
  EXPECT_TRUE(area_is(canvas, 10, 10, 19, 10, 0x8E83FF));
  EXPECT_EQ(canvas_pixel(canvas, 20, 10), kWhite);
  EXPECT_EQ(changed_pixels(canvas, 0, 0, 40, 40, kWhite).count, 10);
  // Drawn backwards, the first point is drawn and the last one left out.
  draw_line(canvas, 20, 30, 10, 30, 1, 0x8E83FF);
  EXPECT_TRUE(area_is(canvas, 11, 30, 20, 30, 0x8E83FF));
  EXPECT_EQ(canvas_pixel(canvas, 10, 30), kWhite);
  // Vertical.
  draw_line(canvas, 100, 50, 100, 60, 1, 0x56A098);
  EXPECT_TRUE(area_is(canvas, 100, 50, 100, 59, 0x56A098));
  EXPECT_EQ(canvas_pixel(canvas, 100, 60), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 99, 55), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 101, 55), kWhite);
  // A line of no length draws nothing.
  draw_line(canvas, 300, 300, 300, 300, 1, 0);
  EXPECT_EQ(canvas_pixel(canvas, 300, 300), kWhite);
}

TEST(DrawLine, ThinDiagonalsStayNearTheirPixelsAndStopBeforeTheEnd) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  draw_line(canvas, 200, 200, 210, 210, 1, 0);
  const PixelBox box = changed_pixels(canvas, 190, 190, 220, 220, kWhite);
  EXPECT_GE(box.left, 199);
  EXPECT_GE(box.top, 199);
  EXPECT_LE(box.right, 210);
  EXPECT_LE(box.bottom, 210);
  EXPECT_NE(canvas_pixel(canvas, 205, 205), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 211, 211), kWhite);
}

TEST(DrawLine, WideLinesCoverWholeRowsAndHaveRoundEnds) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  draw_line(canvas, 50, 100, 100, 100, 3, 0x67B8FF);  // the catcher's stripe pen
  EXPECT_TRUE(area_is(canvas, 51, 99, 99, 101, 0x67B8FF));
  EXPECT_EQ(canvas_pixel(canvas, 75, 98), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 75, 102), kWhite);
  // Round ends reach past both end points by about half the width, no further.
  EXPECT_NE(canvas_pixel(canvas, 49, 100), kWhite);
  EXPECT_NE(canvas_pixel(canvas, 101, 100), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 48, 99), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 103, 100), kWhite);

  draw_line(canvas, 50, 200, 100, 200, 2, 0xEBE8E3);  // the title rule
  EXPECT_TRUE(area_is(canvas, 50, 199, 99, 200, 0xEBE8E3));
  EXPECT_EQ(canvas_pixel(canvas, 75, 198), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 75, 201), kWhite);

  draw_line(canvas, 300, 300, 300, 400, 5, 0x5091C0);  // a crane tower
  EXPECT_TRUE(area_is(canvas, 298, 301, 302, 399, 0x5091C0));
  EXPECT_EQ(canvas_pixel(canvas, 297, 350), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 303, 350), kWhite);
}

TEST(DrawPolyline, FollowsTheChainWithTheSamePen) {
  Canvas& canvas = test_canvas();
  clear(canvas, kWhite);
  const Point chain[] = {{100, 100}, {150, 100}, {150, 150}};
  draw_polyline(canvas, chain, 3, 1, 0x695624);
  EXPECT_TRUE(area_is(canvas, 100, 100, 149, 100, 0x695624));
  EXPECT_TRUE(area_is(canvas, 150, 100, 150, 149, 0x695624));  // the corner pixel is joined
  EXPECT_EQ(canvas_pixel(canvas, 150, 150), kWhite);           // the last point is left out
  EXPECT_EQ(canvas_pixel(canvas, 99, 100), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 125, 101), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 149, 101), kWhite);
  const Point wide[] = {{300, 300}, {350, 300}, {350, 350}};
  draw_polyline(canvas, wide, 3, 2, 0xD7FF70);
  EXPECT_TRUE(area_is(canvas, 300, 299, 349, 300, 0xD7FF70));
  EXPECT_TRUE(area_is(canvas, 349, 300, 350, 349, 0xD7FF70));
  draw_polyline(canvas, wide, 1, 2, 0);
  EXPECT_EQ(canvas_pixel(canvas, 300, 300), 0xD7FF70u);
}

// Font cells: ascent plus descent is the cell height the game asks for, to a fraction of a
// pixel, in the order the fonts are made.
TEST(Fonts, CellHeightsAreExact) {
  Canvas& canvas = test_canvas();
  const int expected[kFontCount] = {27, 25, 17, 34, 63, 20};
  for (int f = 0; f < kFontCount; ++f) {
    const PangoFontDescription* desc = pango_layout_get_font_description(canvas.layouts[f]);
    ASSERT_NE(desc, nullptr);
    PangoFont* font = pango_context_load_font(canvas.context, desc);
    ASSERT_NE(font, nullptr);
    PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
    const double cell =
        (pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics)) / double(PANGO_SCALE);
#ifdef _WIN32
    // Windows' font metrics come in whole pixels; the canvas's own cells are exact below.
    EXPECT_NEAR(cell, expected[f], 1.0) << "font " << f;
#else
    EXPECT_NEAR(cell, expected[f], 1.0 / 64) << "font " << f;
#endif
    EXPECT_EQ(canvas.faces[f].cell_height, expected[f]);
    EXPECT_GT(canvas.faces[f].baseline, expected[f] / 2);
    EXPECT_LT(canvas.faces[f].baseline, expected[f]);
    pango_font_metrics_unref(metrics);
    g_object_unref(font);
  }
}

TEST(Fonts, WeightsAreTheNearestTheFaceHas) {
  Canvas& canvas = test_canvas();
  const int asked[kFontCount] = {700, 700, 400, 800, 900, 700};
  for (int f = 0; f < kFontCount; ++f) {
    PangoFont* font = pango_context_load_font(canvas.context, pango_layout_get_font_description(canvas.layouts[f]));
    ASSERT_NE(font, nullptr);
    PangoFontDescription* got = pango_font_describe(font);
    const int weight = pango_font_description_get_weight(got);
    const std::string family = pango_font_description_get_family(got);
    EXPECT_TRUE(family == "Segoe UI" || family == "Open Sans" || family == "DejaVu Sans") << family;
    if (asked[f] == 400) {
      EXPECT_EQ(weight, 400) << f;
    } else {
      EXPECT_GE(weight, 700) << f;  // bold or heavier, never the regular face
    }
    // Windows files Open Sans ExtraBold, added privately, as a family of its own, so there the
    // heavy fonts are Open Sans Bold (Segoe UI, where installed, has its heavier weights).
#ifndef _WIN32
    if (asked[f] >= 800 && family == "Open Sans") {
      EXPECT_EQ(weight, 800) << f;
    }
#endif
    pango_font_description_free(got);
    g_object_unref(font);
  }
}

TEST(Fonts, QuizSymbolsComeFromAFallbackFace) {
  Canvas& canvas = test_canvas();
  PangoLayout* layout = canvas.layouts[static_cast<int>(Font::body)];
  pango_layout_set_text(layout, "\u03bb/20  333 / 7 \u2248 47.6  7 mm \u00d7 3 mm  Zarvane\u00ae", -1);
  EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0);
}

TEST(DrawText, GlyphsStayInsideTheCellBelowAndRightOfItsCorner) {
  Canvas& canvas = test_canvas();
  const int expected[kFontCount] = {27, 25, 17, 34, 63, 20};
  for (int f = 0; f < kFontCount; ++f) {
    clear(canvas, kPaper);
    // Tall capitals, a descender and the λ of the fallback face probe the cell's edges.
    draw_text(canvas, 100, 200, "\u00c9Jgjpqy|\u03bb", static_cast<Font>(f), 0xFCF6EF);
    const PixelBox box = changed_pixels(canvas, 0, 100, 799, 350, kPaper);
    ASSERT_GT(box.count, 0) << f;
    EXPECT_GE(box.top, 200) << "font " << f;
    EXPECT_LE(box.bottom, 200 + expected[f] - 1) << "font " << f;
    EXPECT_GE(box.left, 100) << "font " << f;
    // Capitals reach well up into the cell: the text is not pushed down.
    EXPECT_LE(box.top, 200 + expected[f] / 3) << "font " << f;
  }
  save_frame(canvas, "canvas_text_cell");
}

TEST(DrawText, OnlyGlyphPixelsChangeAndStemsTakeTheExactColour) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  fill_rect(canvas, 100, 100, 400, 140, 0x5B6F22);
  draw_text(canvas, 110, 105, "I I", Font::giant, 0xFFFFFF);
  // Between the two capitals the button colour shows through: the background is transparent.
  const PixelBox first = changed_pixels(canvas, 100, 100, 399, 139, 0x5B6F22);
  ASSERT_GT(first.count, 0);
  EXPECT_GT(count_color(canvas, 100, 100, 399, 139, 0xFFFFFF), 20);
  int gap_column = -1;
  for (int x = first.left + 1; x < first.right && gap_column < 0; ++x) {
    bool clean = true;
    for (int y = 100; y < 140; ++y) clean = clean && canvas_pixel(canvas, x, y) == 0x5B6F22;
    if (clean) gap_column = x;
  }
  EXPECT_GT(gap_column, 0) << "no button colour between the two letters";
  // Nothing outside the text's own cell changed.
  EXPECT_TRUE(area_is(canvas, 100, 100, 109, 139, 0x5B6F22));
}

TEST(DrawText, EmptyAndMissingTextsDrawNothing) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  draw_text(canvas, 10, 10, "", Font::body, 0xFFFFFF);
  draw_text(canvas, 10, 10, nullptr, Font::body, 0xFFFFFF);
  draw_text_wrapped(canvas, 10, 10, 200, 200, nullptr, Font::body, 0xFFFFFF);
  EXPECT_EQ(changed_pixels(canvas, 0, 0, 300, 300, kPaper).count, 0);
}

TEST(DrawText, ALineBreakStaysOnTheOneLine) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  draw_text(canvas, 10, 10, "AB\nCD", Font::body, 0xFFFFFF);
  const PixelBox box = changed_pixels(canvas, 0, 0, 799, 100, kPaper);
  ASSERT_GT(box.count, 0);
  EXPECT_LE(box.bottom, 10 + 17 - 1);
}

// Rows of pixels in which the text has glyphs, as a list of line indexes of the given cell.
std::vector<int> inked_lines(const Canvas& canvas, int left, int top, int right, int lines, int cell) {
  std::vector<int> found;
  for (int i = 0; i < lines; ++i) {
    if (changed_pixels(canvas, left, top + i * cell, right, top + (i + 1) * cell - 1, kPaper).count > 0)
      found.push_back(i);
  }
  return found;
}

TEST(DrawTextWrapped, BreaksBetweenWordsOneCellLower) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  // Each word fits the box alone but no two fit together.
  draw_text_wrapped(canvas, 100, 100, 180, 300, "Orbilux radio waves", Font::label, 0xFCF6EF);
  EXPECT_EQ(inked_lines(canvas, 100, 100, 179, 6, 20), (std::vector<int>{0, 1, 2}));
  // The second line is the word "radio" drawn one cell lower at the left edge.
  Canvas& same = canvas;
  clear(canvas, kPaper);
  draw_text_wrapped(canvas, 100, 100, 180, 300, "Orbilux radio waves", Font::label, 0xFCF6EF);
  fill_rect(canvas, 400, 0, 800, 600, kPaper);
  draw_text(canvas, 500, 120, "radio", Font::label, 0xFCF6EF);
  EXPECT_TRUE(areas_equal(same, 100, 120, same, 500, 120, 80, 20));
  save_frame(canvas, "canvas_wrapped_words");
}

TEST(DrawTextWrapped, ALongWordStaysOnItsLineAndIsClippedAtTheEdges) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  draw_text_wrapped(canvas, 100, 100, 140, 300, "Supercalifragilistic ok", Font::body, 0xFCF6EF);
  // The long word is not split over lines: line 0 holds it, line 1 holds "ok".
  EXPECT_EQ(inked_lines(canvas, 100, 100, 139, 4, 17), (std::vector<int>{0, 1}));
  // Nothing outside the rectangle.
  EXPECT_EQ(changed_pixels(canvas, 140, 90, 400, 320, kPaper).count, 0);
  EXPECT_EQ(changed_pixels(canvas, 0, 0, 99, 599, kPaper).count, 0);
  // Lines that do not fit above the bottom edge are cut there.
  clear(canvas, kPaper);
  draw_text_wrapped(canvas, 100, 100, 180, 130, "one two three four", Font::body, 0xFCF6EF);
  EXPECT_EQ(changed_pixels(canvas, 0, 130, 799, 599, kPaper).count, 0);
  EXPECT_GT(changed_pixels(canvas, 100, 117, 179, 129, kPaper).count, 0);  // part of the second line
}

TEST(DrawTextWrapped, HonoursLineBreaksAndDrawsAmpersands) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  draw_text_wrapped(canvas, 100, 100, 700, 300, "R&D\nlab", Font::label, 0xFCF6EF);
  EXPECT_EQ(inked_lines(canvas, 100, 100, 699, 4, 20), (std::vector<int>{0, 1}));
  // "R&D" looks as draw_text draws it: the ampersand is a glyph, nothing is underlined.
  draw_text(canvas, 400, 100, "R&D", Font::label, 0xFCF6EF);
  EXPECT_TRUE(areas_equal(canvas, 100, 100, canvas, 400, 100, 60, 20));
  clear(canvas, kPaper);
  draw_text(canvas, 100, 100, "RD", Font::label, 0xFCF6EF);
  draw_text(canvas, 400, 100, "R&D", Font::label, 0xFCF6EF);
  EXPECT_FALSE(areas_equal(canvas, 100, 100, canvas, 400, 100, 60, 20));
}

TEST(DrawImage, CopiesAtItsOwnSizeAndAveragesWhenShrinking) {
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  cairo_surface_t* checker = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, 4);
  cairo_t* cr = cairo_create(checker);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if ((x + y) % 2) cairo_rectangle(cr, x, y, 1, 1);
  cairo_fill(cr);
  cairo_destroy(cr);

  draw_image(canvas, checker, 10, 10, 4, 4);
  EXPECT_EQ(canvas_pixel(canvas, 10, 10), 0xFFFFFFu);
  EXPECT_EQ(canvas_pixel(canvas, 11, 10), 0x000000u);
  EXPECT_EQ(canvas_pixel(canvas, 13, 13), 0xFFFFFFu);
  EXPECT_EQ(canvas_pixel(canvas, 14, 10), kPaper);
  EXPECT_EQ(canvas_pixel(canvas, 10, 14), kPaper);

  draw_image(canvas, checker, 100, 100, 2, 2);
  for (int y = 100; y < 102; ++y) {
    for (int x = 100; x < 102; ++x) {
      const Color c = canvas_pixel(canvas, x, y);
      EXPECT_NEAR(double(c & 0xFF), 127.5, 2.0) << x << "," << y;  // a grey, not a picked pixel
    }
  }
  EXPECT_EQ(canvas_pixel(canvas, 102, 100), kPaper);
  draw_image(canvas, nullptr, 200, 200, 10, 10);
  draw_image(canvas, checker, 200, 200, 0, 10);
  EXPECT_EQ(changed_pixels(canvas, 190, 190, 220, 220, kPaper).count, 0);
  cairo_surface_destroy(checker);
}

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::vector<unsigned char>*>(closure)->insert(static_cast<std::vector<unsigned char>*>(closure)->end(),
                                                            data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

std::vector<unsigned char> png_of(cairo_surface_t* surface) {
  std::vector<unsigned char> bytes;
  cairo_surface_write_to_png_stream(surface, append_bytes, &bytes);
  return bytes;
}

TEST(Picture, DecodesPngBytesOpaqueOnWhite) {
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 38, 47);
  cairo_t* cr = cairo_create(source);
  cairo_set_source_rgba(cr, 1, 0, 0, 1);
  cairo_rectangle(cr, 0, 0, 10, 10);
  cairo_fill(cr);  // the rest stays fully transparent
  cairo_destroy(cr);
  const std::vector<unsigned char> bytes = png_of(source);
  cairo_surface_destroy(source);

  cairo_surface_t* picture = load_picture(bytes.data(), bytes.size());
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(picture), 38);
  EXPECT_EQ(cairo_image_surface_get_height(picture), 47);
  EXPECT_EQ(cairo_image_surface_get_format(picture), CAIRO_FORMAT_RGB24);
  Canvas& canvas = test_canvas();
  clear(canvas, kPaper);
  draw_image(canvas, picture, 0, 0, 38, 47);
  EXPECT_EQ(canvas_pixel(canvas, 5, 5), 0x0000FFu);
  EXPECT_EQ(canvas_pixel(canvas, 30, 40), 0xFFFFFFu);
  cairo_surface_destroy(picture);
}

TEST(Picture, BrokenOrMissingBytesGiveNoPicture) {
  const unsigned char garbage[] = "not a png at all, just text";
  EXPECT_EQ(load_picture(garbage, sizeof garbage), nullptr);
  EXPECT_EQ(load_picture(nullptr, 100), nullptr);
  EXPECT_EQ(load_picture(garbage, 0), nullptr);
  // A real PNG cut short.
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 64);
  std::vector<unsigned char> bytes = png_of(source);
  cairo_surface_destroy(source);
  EXPECT_EQ(load_picture(bytes.data(), bytes.size() / 2), nullptr);
}

#ifdef ORBILUX_HAS_MASCOT
TEST(Picture, TheMascotIsLoadedAtItsOwnSize) {
  Canvas& canvas = test_canvas();
  ASSERT_NE(canvas.picture, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(canvas.picture), 380);
  EXPECT_EQ(cairo_image_surface_get_height(canvas.picture), 474);
}
#endif

TEST(FormatText, CutsAtCapacityLessOneAndAlwaysTerminates) {
  char buffer[128];
  const std::string long_text(200, 'x');
  EXPECT_EQ(format_text(buffer, 128, "%s", long_text.c_str()), 127);
  EXPECT_EQ(std::strlen(buffer), 127u);
  EXPECT_EQ(std::string(buffer), long_text.substr(0, 127));

  char small[4];
  std::memset(small, 'z', sizeof small);
  EXPECT_EQ(format_text(small, 1, "%d", 12345), 0);
  EXPECT_EQ(small[0], '\0');
  EXPECT_EQ(small[1], 'z');  // nothing past the capacity is touched
  EXPECT_EQ(format_text(nullptr, 10, "%d", 1), 0);
  EXPECT_EQ(format_text(small, 0, "%d", 1), 0);
  EXPECT_EQ(small[1], 'z');
}

TEST(FormatText, TheGamesConversions) {
  char buffer[160];
  format_text(buffer, 128, "SPEED  %d%%", 100 + 20 * 5);
  EXPECT_STREQ(buffer, "SPEED  200%");
  format_text(buffer, 100, "%s  |  Connected: %d / 12", "CONNECTED COUNTRYSIDE", 12);
  EXPECT_STREQ(buffer, "CONNECTED COUNTRYSIDE  |  Connected: 12 / 12");
  format_text(buffer, 160, "%c", 'A' + 3);
  EXPECT_STREQ(buffer, "D");
  format_text(buffer, 128, "Score: %d     Best: %d", 12, 40);
  EXPECT_STREQ(buffer, "Score: 12     Best: 40");
}

TEST(FormatText, NeverCutsACharacterInHalf) {
  char buffer[6];
  // "λλλ" is six bytes; five fit, which would end in half a λ.
  EXPECT_EQ(format_text(buffer, 6, "%s", "\u03bb\u03bb\u03bb"), 4);
  EXPECT_STREQ(buffer, "\u03bb\u03bb");
  EXPECT_EQ(format_text(buffer, 6, "ab%s", "\u2248\u2248"), 5);
  EXPECT_STREQ(buffer, "ab\u2248");
}

TEST(MixColor, TruncatesEachChannel) {
  EXPECT_EQ(mix_color(0x5B672A, 0xBFE2AA, 0.45), 0x889E63u);
  EXPECT_EQ(mix_color(0x000000, 0xFFFFFF, 0.5), 0x7F7F7Fu);
  EXPECT_EQ(mix_color(0x123456, 0xABCDEF, 0.0), 0x123456u);
  EXPECT_EQ(mix_color(0x123456, 0xABCDEF, 1.0), 0xABCDEFu);
  EXPECT_EQ(mix_color(0x5D4E67, 0xBFE2AA, 0.45), 0x899085u);  // the ground edge of scene 1
  // Channels never bleed into each other or into the high byte.
  EXPECT_EQ(mix_color(0xFF00FF, 0x00FF00, 0.25), 0xBF3FBFu);
  EXPECT_EQ(mix_color(0xFFFFFF, 0xFFFFFF, 0.999) & 0xFF000000u, 0u);
}

}  // namespace
