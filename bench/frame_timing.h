// What the drawing benchmarks share: one canvas for the whole run, and timing each frame on
// its own so the slow ones show too.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <vector>

#include "bench/bench_canvas.h"

inline double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

// Median and p99 of the wall clock and of this thread's processor time (which other
// programs on a shared machine disturb less), as counters.
template <typename Draw>
void time_frames(benchmark::State& bench, Draw draw) {
  constexpr size_t kMaxFrames = 1 << 16;
  std::vector<double> wall, cpu;
  wall.reserve(kMaxFrames);
  cpu.reserve(kMaxFrames);
  for (auto _ : bench) {
    const double cpu_start = thread_cpu_ms();
    const auto start = std::chrono::steady_clock::now();
    draw();
    const auto stop = std::chrono::steady_clock::now();
    const double cpu_stop = thread_cpu_ms();
    if (wall.size() < kMaxFrames) {
      wall.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
      cpu.push_back(cpu_stop - cpu_start);
    }
  }
  if (wall.empty()) return;
  bench.counters["median_ms"] = percentile(wall, 50);
  bench.counters["p99_ms"] = percentile(wall, 99);
  bench.counters["cpu_median_ms"] = percentile(cpu, 50);
  bench.counters["cpu_p99_ms"] = percentile(cpu, 99);
}
