// What the canvas's own files share among themselves: the fonts (fonts.cpp) and the texts
// kept between frames (text.cpp), made, rescaled and released with the canvas (picture.cpp),
// and the colour every operation sets (shapes.cpp). Painters never need this.
#pragma once

#include "render/canvas.h"

// Sets Cairo's source to a 0x00BBGGRR colour.
void set_source(cairo_t* cr, Color color);

// The Pango context on the canvas's context, the six faces measured to their cells and a
// one-line and a wrapping layout for each.
void make_fonts(Canvas& canvas);
void free_fonts(Canvas& canvas);

TextCache* make_text_cache();
void free_text_cache(TextCache* cache);
// The canvas's context was made anew at another scale: the fonts are loaded again for the
// new device size (hinted there, so stems stay crisp), and every layout, kept ones too,
// shapes again on its next use.
void texts_follow_context(Canvas& canvas);

// Whether a line or a chain starting at `first` is laid on from its stroke's mask, pixel by
// pixel: where its first point lies on whole device pixels, as everywhere at whole scales, a
// mask made once fits every place the shape comes back to. Elsewhere Cairo strokes it in place.
bool stroke_from_mask(const Canvas& canvas, Point first);
// Lets the kept strokes go: at another scale their masks no longer fit.
void forget_kept_strokes(Canvas& canvas);
