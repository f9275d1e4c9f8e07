#include "app/web/page.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "game/draw_scale_cap.h"
#include "game/input.h"

namespace {

// The canvas's box in CSS pixels and in device pixels, and whether it or the device pixel
// ratio changed since the last call. SDL sizes the bitmap as window size x ratio itself (on
// the browser's resize too), so only a change since the last frame matters here.
EM_JS(int, page_box_changed, (int* box), {
  const canvas = Module.canvas;
  const width = Math.max(1, canvas.clientWidth), height = Math.max(1, canvas.clientHeight);
  const key = width + "x" + height + "@" + devicePixelRatio;
  HEAP32[box >> 2] = width;
  HEAP32[(box >> 2) + 1] = height;
  HEAP32[(box >> 2) + 2] = Math.max(1, Math.round(width * devicePixelRatio));
  HEAP32[(box >> 2) + 3] = Math.max(1, Math.round(height * devicePixelRatio));
  if (key === Module.orbiluxBox) return 0;
  Module.orbiluxBox = key;
  return 1;
});

// For the page's tests: the scale the field is drawn at, device pixels a field unit.
EM_JS(void, tell_page_draw_scale, (double scale), { Module.orbiluxDrawScale = scale; });

// For the page's benchmark: what the busiest frames cost, by scale.
EM_JS(void, tell_page_busiest, (double scale, double ms), {
  (Module.orbiluxBusiestFrames = Module.orbiluxBusiestFrames || []).push({scale: scale, ms: ms});
});

FrameCosts running_frames;
bool cap_lowered_told = false;
double told_draw_scale = 0;

}  // namespace

void start_following_page(ShellWindow& shell) {
  SDL_SetWindowMinimumSize(shell.window, 1, 1);
  shell.draw_scale_cap = kDrawScaleLimit;
}

bool follow_page_box(ShellWindow& shell) {
  if (shell.canvas.scale != told_draw_scale) tell_page_draw_scale(told_draw_scale = shell.canvas.scale);
  int box[4] = {0, 0, 0, 0};
  if (!page_box_changed(box)) return false;
  // SDL's 2D canvas copies a picture of the window's size into the bitmap, one pixel for
  // one: there the window is measured in device pixels.
  const bool device_pixels = drawn_by_software(shell.renderer);
  const int wanted_width = device_pixels ? box[2] : box[0], wanted_height = device_pixels ? box[3] : box[1];
  int width = 0, height = 0;
  SDL_GetWindowSize(shell.window, &width, &height);
  // Only the ratio changed (a zoom, another screen): SDL resizes the bitmap but tells nobody,
  // and the renderer would keep drawing for the old one. A size in between makes it tell.
  if (width == wanted_width && height == wanted_height) {
    SDL_SetWindowSize(shell.window, wanted_width, wanted_height + 1);
  }
  SDL_SetWindowSize(shell.window, wanted_width, wanted_height);
  if (device_pixels) emscripten_set_canvas_element_size("#canvas", box[2], box[3]);
  return true;
}

void follow_page_visibility(GameState& state, const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT) return;
  if (event.window.event == SDL_WINDOWEVENT_HIDDEN) on_focus_lost(state);
  if (event.window.event == SDL_WINDOWEVENT_SHOWN) on_focus_gained(state);
}

void weigh_running_frame(ShellWindow& shell, uint64_t counts) {
  const double ms = 1000.0 * static_cast<double>(counts) / static_cast<double>(SDL_GetPerformanceFrequency());
  const double scale = shell.canvas.scale;
  const double busiest = add_frame_cost(running_frames, scale, ms);
  if (busiest < 0) return;
  tell_page_busiest(scale, busiest);
  const double cap = lowered_draw_scale_cap(shell.draw_scale_cap, scale, busiest);
  if (cap >= shell.draw_scale_cap) return;
  shell.draw_scale_cap = cap;
  if (!cap_lowered_told) {
    std::printf("Orbilux Rush: the busiest frames took %.1f ms at scale %.2f; drawing at scale %.2f at most\n",
                busiest, scale, cap);
    std::fflush(stdout);
    cap_lowered_told = true;
  }
}
