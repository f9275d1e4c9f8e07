// Shapes drawn again and again at the same place are rasterised once by the canvas
// operation itself, on a black raster of the canvas's size, in white: what it leaves there
// is the shape's coverage of each pixel. From then on the shape is blended straight into
// the canvas from that record, with the blend Cairo uses, so the pixels are the very same
// as drawing it. A shape is known by its kind and its exact coordinates: Cairo's coverage
// of a shape moved by whole pixels can differ by a step, so records never move.
//
// A check against the canvas operations at first use turns replay off on any Cairo that
// blends otherwise; a shape that cannot be recorded is simply drawn.
#pragma once

#include "render/canvas.h"

// True when replaying gives exactly the pixels of the canvas operations on a canvas of
// this size; checked once.
bool coverage_replay_usable(const Canvas& canvas);

// The same shapes as fill_rect, fill_ellipse and draw_line.
void replay_rect(Canvas& canvas, int left, int top, int right, int bottom, Color color);
void replay_ellipse(Canvas& canvas, int left, int top, int width, int height, Color color);
void replay_line(Canvas& canvas, int x0, int y0, int x1, int y1, int width, Color color);

inline constexpr int kReplayChainMaxPoints = 17;

// draw_polyline through (x + offsets[i].x, y + offsets[i].y), for chains of 2 to
// kReplayChainMaxPoints points with offsets within +-127 (longer chains are not drawn,
// farther ones are drawn plainly).
void replay_polyline_around(Canvas& canvas, int x, int y, const Point* offsets, int count, int width, Color color);

// Forgets every record, for when the shapes of a scene will not come back.
void forget_recorded_shapes();

// Frees the scratch raster and forgets everything, the check included.
void release_coverage_replay();
