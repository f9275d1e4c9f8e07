// The one canvas a benchmark draws on for its whole run, and the percentile of its frames'
// times: shared by the Google Benchmark programs and the plain timing program built for
// WebAssembly too.
#pragma once

#include <algorithm>
#include <vector>

#include "render/canvas.h"

inline Canvas& bench_canvas() {
  static Canvas canvas;
  static const bool made = canvas_create(canvas);
  (void)made;
  return canvas;
}

inline double percentile(std::vector<double>& v, int p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, v.size() * p / 100)];
}
