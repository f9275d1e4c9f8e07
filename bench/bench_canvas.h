// The one canvas a benchmark draws on for its whole run, and the percentile of its frames'
// times: shared by the Google Benchmark programs and the plain timing program built for
// WebAssembly too.
#pragma once

#include <algorithm>
#include <vector>

#include "render/canvas.h"
#include "render/canvas_parts.h"

inline Canvas& bench_canvas() {
  static Canvas canvas;
  static const bool made = canvas_create(canvas);
  (void)made;
  return canvas;
}

// A second canvas that keeps no backdrop between frames: drawn shape after shape, as when
// there is no memory to keep it. The same pixels, slower.
inline Canvas& plain_bench_canvas() {
  static Canvas canvas;
  static const bool made = [] {
    if (!canvas_create(canvas)) return false;
    canvas.kept_backdrop.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, -1, -1);  // an error surface
    return true;
  }();
  (void)made;
  return canvas;
}

inline double percentile(std::vector<double>& v, int p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, v.size() * p / 100)];
}
