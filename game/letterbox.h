// Where the 800 x 600 field lands in a window of any size: scaled uniformly to fit and
// centred. Presenting a frame and mapping a click both use it, so they cannot disagree.
#pragma once

#include <algorithm>

#include "game/game_state.h"

struct Letterbox {
  double scale = 0;  // window pixels per field pixel; <= 0 for an empty window
  int x = 0, y = 0;  // top-left corner of the field in the window
  int width = 0, height = 0;
};

inline Letterbox letterbox_for(int window_width, int window_height) {
  Letterbox box;
  box.scale = std::min(window_height / double(kFieldHeight), window_width / double(kFieldWidth));
  if (box.scale <= 0) return box;
  box.width = static_cast<int>(kFieldWidth * box.scale);
  box.height = static_cast<int>(kFieldHeight * box.scale);
  box.x = (window_width - box.width) / 2;
  box.y = (window_height - box.height) / 2;
  return box;
}

// The field is drawn at the size it is shown at: the canvas gives each field unit as many
// device pixels as the letterbox does. Within limits: above the cap the busiest frame would
// cost more than a tick can spare, and below the floor text and lines lose their shapes;
// outside them the renderer stretches the rest.
// Measured (bench/compose_bench, BM_BusiestFrameScaled): the busiest frame costs 3.3 ms of
// processor at scale 2, 4.3 at 2.25 and 5.0 at 2.5, against a budget of 5 ms.
inline constexpr double kDrawScaleCap = 2.25;
inline constexpr double kDrawScaleFloor = 0.5;
// The web page starts from the largest scale the game has pictures for and lowers its cap
// only when it measures its own busiest frames taking too long (game/draw_scale_cap.h).
inline constexpr double kDrawScaleLimit = 3;

// Device pixels per field unit for the canvas, for a field shown in this letterbox. An
// empty window shows nothing and keeps the plain scale.
inline double draw_scale_for(const Letterbox& box, double cap = kDrawScaleCap) {
  if (!(box.scale > 0)) return 1;
  return std::clamp(box.scale, kDrawScaleFloor, std::max(kDrawScaleFloor, cap));
}

struct FieldPoint {
  bool inside_window = false;  // false for an empty window, where no click can land
  int x = 0, y = 0;
};

// A window pixel in field coordinates, truncated toward zero; may lie outside the field.
inline FieldPoint field_point_of_click(int x, int y, int window_width, int window_height) {
  const Letterbox box = letterbox_for(window_width, window_height);
  FieldPoint p;
  if (!(box.scale > 0)) return p;
  const double fx = (x - (window_width - kFieldWidth * box.scale) * 0.5) / box.scale;
  const double fy = (y - (window_height - kFieldHeight * box.scale) * 0.5) / box.scale;
  // Clicks far outside a tiny window can map beyond any int; such points hit nothing.
  p.x = static_cast<int>(std::clamp(fx, -1e6, 1e6));
  p.y = static_cast<int>(std::clamp(fy, -1e6, 1e6));
  p.inside_window = true;
  return p;
}
