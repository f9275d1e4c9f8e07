// The drawing surface every frame is composed on, its six fonts, the mascot picture, and the
// drawing operations every painter uses.
//
// Painters draw in the 800 x 600 units of the field. The surface has as many pixels as the
// field has on the screen: `scale` device pixels a unit, applied once as Cairo's transform,
// so text, lines and the mascot are as sharp in fullscreen as in an 800 x 600 window.
//
// Colours are 0x00BBGGRR (red in the low byte) everywhere in the game's code; they are
// converted only where Cairo is called. Rectangles are (left, top)-(right, bottom) with
// right and bottom exclusive; ellipses are (left, top, width, height). Texts are UTF-8.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstddef>
#include <cstdint>

using Color = uint32_t;

struct Point {
  int x, y;
};

// In the order they are made.
enum class Font : int { heading, strong, body, title, giant, label };
inline constexpr int kFontCount = 6;

// How one font sits in its character cell, in pixels.
struct FontFace {
  int cell_height = 0;  // ascent + descent of the face as sized
  double ascent = 0;    // of the main face, before fallback faces join a line
  int baseline = 0;     // from the top of the cell at scale 1: the ascent on a whole pixel
};

struct FrameDigest;  // what a frame would draw, where (digest.h)
struct StrokeCache;  // the coverage of lines and chains, kept for the canvas's scale (coverage.cpp)

// The part of the scene backdrop that changes only with the level and the connections,
// kept between frames (backdrop.cpp).
struct KeptBackdrop {
  cairo_surface_t* surface = nullptr;  // made on the first play frame
  bool valid = false;
  int level = 0, connected = 0;  // what it shows
};

struct Canvas {
  cairo_surface_t* surface = nullptr;     // width x height, CAIRO_FORMAT_RGB24; never cleared between frames
  cairo_t* cr = nullptr;                  // in field units: scaled by `scale`
  double scale = 1;                       // device pixels per field unit
  int width = 0, height = 0;              // of the surface, in device pixels
  PangoLayout* layouts[kFontCount] = {};  // one layout per font, its description set once
  cairo_surface_t* picture = nullptr;     // the mascot, 380 x 474 units in device pixels; null when it failed to load
  PangoContext* context = nullptr;        // metric hinting off, so cells keep their exact heights
  PangoLayout* wrapped_layouts[kFontCount] = {};  // for draw_text_wrapped: word wrapping on
  FontFace faces[kFontCount];
  // The player plays by touch: the help texts name taps and holds instead of keys.
  bool touch_controls = false;
  KeptBackdrop kept_backdrop;
  // Where polygons, ellipses and lines are rasterised whole before they are laid on (coverage.cpp):
  // A8 at the canvas's size, blank between shapes; made on first use.
  cairo_surface_t* coverage = nullptr;
  cairo_t* coverage_cr = nullptr;
  StrokeCache* stroke_cache = nullptr;
  int surface_id = 0;  // another one for every surface made: each new one starts blank
  // While it is set, the drawing operations below draw nothing: they fold what they would
  // have drawn, and where, into *digest (digest.h).
  FrameDigest* digest = nullptr;
};

// Makes the surface at scale 1 (800 x 600), the six fonts and the picture. Returns false
// when the surface could not be made; a missing picture is not a failure.
bool canvas_create(Canvas& canvas);
void canvas_destroy(Canvas& canvas);

// The surface's size for a scale: the field's 800 x 600 units, each `scale` pixels.
struct CanvasSize {
  int width, height;
};
CanvasSize canvas_size_for(double scale);

// Draws from now on at `scale` device pixels a unit: a new surface of that size (blank), the
// fonts asked for at that size, the kept backdrop and the picture made again for it. Does
// nothing when the scale is the current one. Returns false, keeping the canvas as it was,
// when the new surface cannot be made.
bool canvas_set_scale(Canvas& canvas, double scale);

// Decodes PNG bytes into an opaque picture (transparency settles onto white). Null when
// the bytes are missing or are not a picture.
cairo_surface_t* load_picture(const unsigned char* data, size_t size);

void fill_rect(Canvas& canvas, int left, int top, int right, int bottom, Color color);
void fill_ellipse(Canvas& canvas, int left, int top, int width, int height, Color color);
// Closed automatically, even-odd (alternate) filling rule, no outline.
void fill_polygon(Canvas& canvas, const Point* points, int count, Color color);
// Width 1: one crisp pixel wide, the end point left out. Wider: round ends.
void draw_line(Canvas& canvas, int x0, int y0, int x1, int y1, int width, Color color);
void draw_polyline(Canvas& canvas, const Point* points, int count, int width, Color color);
// The top-left corner of the first character cell at (x, y); only glyph pixels change.
void draw_text(Canvas& canvas, int x, int y, const char* text, Font font, Color color);
// Word-wrapped from the top-left corner of the rectangle, clipped to it; a word wider
// than the rectangle stays on its line; each further line one cell lower.
void draw_text_wrapped(Canvas& canvas, int left, int top, int right, int bottom, const char* text, Font font,
                       Color color);
// The whole image scaled into the rectangle with an area-averaging filter.
void draw_image(Canvas& canvas, cairo_surface_t* image, int x, int y, int width, int height);

// Bounded printf: the result is cut at capacity - 1 characters and always terminated.
// Returns the number of characters written.
int format_text(char* buffer, int capacity, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Per channel a * (1 - t) + b * t, truncated toward zero.
Color mix_color(Color a, Color b, double t);

// The colour of one canvas pixel (device pixels), for tests and the presenter.
Color canvas_pixel(const Canvas& canvas, int x, int y);
// Writes the canvas as a PNG, for people to look at.
bool canvas_write_png(const Canvas& canvas, const char* path);
