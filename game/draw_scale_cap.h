// How finely the web page can afford to draw the field. A page cannot know its device's speed
// beforehand, so it measures its own frames while the field runs (the busiest screen) and,
// when the slow end of them takes longer than a frame can spare, lowers its cap to the scale
// at which they would fit, taking a frame's cost to grow with its pixels (the scale squared).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

// Two seconds of the running field; the ninth decile of them stands for its busiest frames
// (the odd stall of a shared machine or a collecting browser left out).
inline constexpr int kFrameCostSamples = 120;
// Of the 16.7 ms a 60 Hz display gives a frame: the rest is the browser's, to composite
// the canvas and run its own work, and the tick's.
inline constexpr double kBusiestFrameBudgetMs = 10.0;
// Caps are whole quarters: a scale a hair lower would gain nothing measurable.
inline constexpr double kDrawScaleCapStep = 0.25;

struct FrameCosts {
  std::array<double, kFrameCostSamples> ms{};
  int count = 0;
  double scale = 0;  // what the samples were drawn at; another scale starts afresh
};

// Counts a frame that took `ms` at `scale`. Once the window is full: the cost of its busiest
// frames, and the window starts again; until then a negative number.
inline double add_frame_cost(FrameCosts& costs, double scale, double ms) {
  if (scale != costs.scale) {
    costs.count = 0;
    costs.scale = scale;
  }
  costs.ms[costs.count++] = ms;
  if (costs.count < kFrameCostSamples) return -1;
  costs.count = 0;
  const auto busiest = costs.ms.begin() + kFrameCostSamples * 9 / 10;
  std::nth_element(costs.ms.begin(), busiest, costs.ms.end());
  return *busiest;
}

// The cap after busiest frames of `busiest_ms` drawn at `scale`: the same while they fit the
// budget, else the largest quarter at which they would, never raised, and never below the
// field's own size (below it the letters lose their shapes before the frame gets cheap).
inline double lowered_draw_scale_cap(double cap, double scale, double busiest_ms) {
  if (!(busiest_ms > kBusiestFrameBudgetMs)) return cap;
  const double fits = scale * std::sqrt(kBusiestFrameBudgetMs / busiest_ms);
  const double stepped = std::floor(fits / kDrawScaleCapStep) * kDrawScaleCapStep;
  return std::min(cap, std::max(1.0, stepped));
}
