// The busiest frame composed over and over at scale 1 and 2, its median and p99 printed: a
// plain program, so that the very same code runs natively and as WebAssembly under Node
// (bench/wasm-vs-native.sh runs both, alternating).
//
//   compose_timing [frames]        (default 600 per scale)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/busiest_state.h"
#include "bench/bench_canvas.h"
#include "render/painters.h"

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 600;
  if (frames <= 0) return 2;
  Canvas& canvas = bench_canvas();
  for (int scale : {1, 2}) {
    if (!canvas_set_scale(canvas, scale)) {
      std::fprintf(stderr, "no surface at scale %d\n", scale);
      return 1;
    }
    GameState state = busiest_state();
    compose_frame(canvas, state);  // the kept picture made once, as on a level's first frame
    std::vector<double> times;
    for (int n = 0; n < frames; ++n) {
      const auto start = std::chrono::steady_clock::now();
      compose_frame(canvas, state);
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      state.play_clock += 0.016;  // the waves and the arms move on every frame
    }
    const double median = percentile(times, 50), p99 = percentile(times, 99);
    std::printf("busiest_frame scale=%d median_ms=%.4f p99_ms=%.4f\n", scale, median, p99);
  }
  return 0;
}
