#include "tests/render_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "render/canvas_parts.h"

namespace {

Canvas* shared_canvas = nullptr;

void destroy_shared_canvas() {
  if (!shared_canvas) return;
  canvas_destroy(*shared_canvas);
  delete shared_canvas;
  shared_canvas = nullptr;
  // The process-wide font map holds fontconfig's patterns; let it go so leak checks see
  // only what the game itself keeps.
  pango_cairo_font_map_set_default(nullptr);
}

}  // namespace

Canvas& test_canvas() {
  if (!shared_canvas) {
    shared_canvas = new Canvas;
    if (!canvas_create(*shared_canvas)) ADD_FAILURE() << "the canvas could not be made";
    std::atexit(destroy_shared_canvas);
  }
  return *shared_canvas;
}

Canvas& plain_canvas() {
  static Canvas* canvas = [] {
    auto* made = new Canvas;
    EXPECT_TRUE(canvas_create(*made));
    made->kept_backdrop.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, -1, -1);  // an error surface
    return made;
  }();
  return *canvas;
}

std::string save_frame(const Canvas& canvas, const std::string& name) {
  const std::string path = std::string(ORBILUX_FRAMES_DIR) + "/" + name + ".png";
  EXPECT_TRUE(canvas_write_png(canvas, path.c_str())) << path;
  return path;
}

PixelBox changed_pixels(const Canvas& canvas, int left, int top, int right, int bottom, Color background) {
  PixelBox box;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      if (canvas_pixel(canvas, x, y) == background) continue;
      if (box.count == 0) {
        box.left = box.right = x;
        box.top = box.bottom = y;
      }
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
      ++box.count;
    }
  }
  return box;
}

int count_color(const Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  int n = 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) n += canvas_pixel(canvas, x, y) == color;
  return n;
}

bool area_is(const Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  return count_color(canvas, left, top, right, bottom, color) == (right - left + 1) * (bottom - top + 1);
}

bool areas_equal(const Canvas& a, int ax, int ay, const Canvas& b, int bx, int by, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (canvas_pixel(a, ax + x, ay + y) != canvas_pixel(b, bx + x, by + y)) return false;
  return true;
}

std::vector<Color> snapshot(const Canvas& canvas, int left, int top, int right, int bottom) {
  std::vector<Color> pixels;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) pixels.push_back(canvas_pixel(canvas, x, y));
  return pixels;
}

GameState play_state() {
  GameState state;
  state.title_screen = 0;
  state.screen = Screen::play;
  state.lives = 3;
  state.level = 0;
  state.has_focus = 1;
  state.player_x = 400;
  state.item.x = 700;
  state.item.y = -100;
  state.popup_timer = 0;
  state.countdown = 0;
  return state;
}
