// How long the scene backdrop takes, scene by scene, once a level is under way and in the
// first two seconds of a level, while the shapes of the new scene are still being
// recorded. Each figure has a plain twin that draws every shape the straightforward way.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "render/backdrop.h"
#include "render/painters.h"

namespace {

Canvas& bench_canvas() {
  static Canvas canvas;
  static const bool made = canvas_create(canvas);
  (void)made;
  return canvas;
}

// Everything connected, the last device flashing, all posts lit.
GameState busy_state(int level) {
  GameState s;
  s.title_screen = 0;
  s.level = level;
  s.connected = 12;
  s.level_points = 12;
  s.connect_flash_timer = 1.5;
  s.play_clock = 12.3;
  return s;
}

double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

double percentile(std::vector<double>& v, int p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, v.size() * p / 100)];
}

// Each frame timed on its own, so the slow ones show too: median and p99 of the wall clock
// and of this thread's processor time (which other programs on a shared machine disturb
// less), as counters.
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

void BM_BackdropScene(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  GameState state = busy_state(static_cast<int>(bench.range(0)));
  // A level already under way: its first ten seconds are behind it.
  for (int frame = 0; frame < 625; ++frame, state.play_clock += 0.016) draw_scene_backdrop(canvas, state);
  time_frames(bench, [&] {
    draw_scene_backdrop(canvas, state);
    state.play_clock += 0.016;
  });
}

void BM_BackdropScenePlain(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  GameState state = busy_state(static_cast<int>(bench.range(0)));
  time_frames(bench, [&] {
    draw_scene_backdrop_direct(canvas, state);
    state.play_clock += 0.016;
  });
}

// The first two seconds of each level, level after level.
template <bool kPlain>
void warming_up(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  GameState state = busy_state(1);
  int frame = 0;
  time_frames(bench, [&] {
    if (++frame == 125) {
      frame = 0;
      state = busy_state(state.level + 1);
    }
    if (kPlain) {
      draw_scene_backdrop_direct(canvas, state);
    } else {
      draw_scene_backdrop(canvas, state);
    }
    state.play_clock += 0.016;
  });
}

void BM_BackdropLevelStart(benchmark::State& bench) { warming_up<false>(bench); }
void BM_BackdropLevelStartPlain(benchmark::State& bench) { warming_up<true>(bench); }

BENCHMARK(BM_BackdropScene)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackdropScenePlain)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackdropLevelStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackdropLevelStartPlain)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
