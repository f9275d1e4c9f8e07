#include "app/frame_showing.h"

#include <SDL.h>

#include "app/perf_trace.h"

FrameShowing frame_showing_from_environment() {
  FrameShowing showing;
  const char* value = SDL_getenv("ORBILUX_RUSH_NO_FRAME_SKIP");
  showing.skip_unchanged = value == nullptr || value[0] == '\0' || value[0] == '0';
  return showing;
}

bool show_frame(ShellWindow& shell, FrameShowing& showing, const GameState& state, bool again) {
  if (shell.texture == nullptr) return false;
  if (!showing.skip_unchanged) {
    present_frame(shell, state);
    trace_frame_shown();
    return true;
  }
  if (SDL_GetWindowFlags(shell.window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) return false;
  int width = 0, height = 0;
  if (SDL_GetRendererOutputSize(shell.renderer, &width, &height) != 0 || width <= 0 || height <= 0) return false;
  fit_canvas_to_output(shell, width, height);  // a canvas made anew is composed whole
  // Most ticks on a still screen end here: the digest says the canvas holds this frame.
  const bool composed = compose_changed_frame(shell.canvas, showing.memory, state);
  if (!composed && !again) return false;
  const ChangedRegion& changed = showing.memory.changed;
  SDL_Rect rects[kMostChangedRects];
  for (int i = 0; i < changed.count; ++i) {
    const PixelRect& r = changed.rects[i];
    rects[i] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  const bool whole = again || shell.texture != showing.shown_through;
  show_canvas(shell.renderer, shell.texture, shell.canvas, width, height, whole ? nullptr : rects, changed.count);
  showing.shown_through = shell.texture;
  SDL_RenderPresent(shell.renderer);
  trace_frame_shown();
  return true;
}
