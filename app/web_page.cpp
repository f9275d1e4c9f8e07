// Built for the browser only (app/CMakeLists.txt).
#include "app/web_page.h"

#include <emscripten.h>

#include <cstdio>

#include "game/draw_scale_cap.h"
#include "game/input.h"

namespace {

// The canvas's box in CSS pixels, and whether it or the device pixel ratio changed since
// the last call. SDL sizes the bitmap as window size x ratio, so only a change matters here.
EM_JS(int, page_box_changed, (int* box), {
  const canvas = Module.canvas;
  const width = Math.max(1, canvas.clientWidth), height = Math.max(1, canvas.clientHeight);
  const key = width + "x" + height + "@" + devicePixelRatio;
  HEAP32[box >> 2] = width;
  HEAP32[(box >> 2) + 1] = height;
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

}  // namespace

void start_following_page(ShellWindow& shell) {
  SDL_SetWindowMinimumSize(shell.window, 1, 1);
  shell.draw_scale_cap = kDrawScaleLimit;
}

bool follow_page_box(ShellWindow& shell) {
  static double told_scale = 0;
  if (shell.canvas.scale != told_scale) tell_page_draw_scale(told_scale = shell.canvas.scale);
  int box[2] = {0, 0};
  if (!page_box_changed(box)) return false;
  int width = 0, height = 0;
  SDL_GetWindowSize(shell.window, &width, &height);
  // Only the ratio changed (a zoom, another screen): SDL resizes the bitmap but tells nobody,
  // and the renderer would keep drawing for the old one. A size in between makes it tell.
  if (width == box[0] && height == box[1]) SDL_SetWindowSize(shell.window, box[0], box[1] + 1);
  SDL_SetWindowSize(shell.window, box[0], box[1]);
  return true;
}

void follow_page_visibility(GameState& state, const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT) return;
  if (event.window.event == SDL_WINDOWEVENT_HIDDEN) on_focus_lost(state);
  if (event.window.event == SDL_WINDOWEVENT_SHOWN) on_focus_gained(state);
}

void weigh_running_frame(ShellWindow& shell, double ms) {
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
