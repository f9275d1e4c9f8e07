// What the canvas's own files share among themselves: the fonts (fonts.cpp) and their
// layouts (text.cpp), made, rescaled and released with the canvas (picture.cpp),
// the colour every operation sets and the box around points (shapes.cpp), and the coverage
// picture (coverage.cpp). Painters never need this.
#pragma once

#include "render/canvas.h"
#include "render/digest.h"

// Sets Cairo's source to a 0x00BBGGRR colour.
void set_source(cairo_t* cr, Color color);
// The points' bounding box grown by `reach` on every side; `count` is at least 1.
FieldBox box_around(const Point* points, int count, double reach);

// The Pango context on the canvas's context, the six faces measured to their cells and a
// one-line and a wrapping layout for each.
void make_fonts(Canvas& canvas);
void free_fonts(Canvas& canvas);

// The canvas's context was made anew at another scale: the fonts are loaded again for the
// new device size (hinted there, so stems stay crisp), and every layout shapes again on its
// next use.
void texts_follow_context(Canvas& canvas);

// Ellipses, polygons, strokes and texts are drawn whole on the coverage picture, within `box`,
// and the colour is laid on through it: Cairo rasterises a shape or a glyph that a clip crosses
// a step of colour differently, and a changed frame is composed under a clip. `draw` fills,
// strokes or shows `what` on the context it is given, in field units.
using DrawWhole = void (*)(cairo_t* cr, const void* what);
// Whether the clip leaves none of the box's device pixels (device_box) to draw on.
bool clipped_away(const Canvas& canvas, const FieldBox& box);
void lay_on(Canvas& canvas, const FieldBox& box, Color color, DrawWhole draw, const void* what);
// Lets the coverage picture go: at another scale it no longer fits.
void forget_coverage(Canvas& canvas);
