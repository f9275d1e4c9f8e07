// Shared by the drawing tests: one canvas for the whole test program (fonts are slow to
// make), pixel read-back helpers, and frames written where people can look at them.
#pragma once

#include <string>
#include <vector>

#include "game/game_state.h"
#include "render/canvas.h"

// The canvas every drawing test uses; made on first use, destroyed at exit.
Canvas& test_canvas();
// A second canvas at scale 1 that keeps no backdrop between frames: its still part drawn
// shape after shape, as when there is no memory to keep it.
Canvas& plain_canvas();

// Writes the canvas to <build>/tests/frames/<name>.png and returns the path.
std::string save_frame(const Canvas& canvas, const std::string& name);

// Areas are inclusive: left..right, top..bottom.

// The bounding box of pixels inside a search area whose colour differs from `background`.
struct PixelBox {
  int count = 0;                                 // how many pixels differ; the box is meaningless when 0
  int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
};
PixelBox changed_pixels(const Canvas& canvas, int left, int top, int right, int bottom, Color background);

// How many pixels of the area have exactly this colour.
int count_color(const Canvas& canvas, int left, int top, int right, int bottom, Color color);

// True when every pixel of the area has exactly this colour.
bool area_is(const Canvas& canvas, int left, int top, int right, int bottom, Color color);

// True when the two areas of equal size hold the same pixels (the second canvas may be the same).
bool areas_equal(const Canvas& a, int ax, int ay, const Canvas& b, int bx, int by, int width, int height);

// The pixels of an area, row by row, to compare one drawing with another.
std::vector<Color> snapshot(const Canvas& canvas, int left, int top, int right, int bottom);

// A state on the play field as a game in progress leaves it: three lives, level 0, the
// catcher in the middle, the falling item out of sight above the field, nothing flying.
GameState play_state();
