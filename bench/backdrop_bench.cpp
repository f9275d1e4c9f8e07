// How long the scene backdrop takes, scene by scene, once a level is under way and in the
// first two seconds of a level. Each figure has a plain twin that draws every shape the
// straightforward way, keeping nothing.
#include <benchmark/benchmark.h>

#include "bench/frame_timing.h"
#include "render/painters.h"

namespace {

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
  Canvas& canvas = plain_bench_canvas();
  GameState state = busy_state(static_cast<int>(bench.range(0)));
  time_frames(bench, [&] {
    draw_scene_backdrop(canvas, state);
    state.play_clock += 0.016;
  });
}

// The first two seconds of each level, level after level.
template <bool kPlain>
void warming_up(benchmark::State& bench) {
  Canvas& canvas = kPlain ? plain_bench_canvas() : bench_canvas();
  GameState state = busy_state(1);
  int frame = 0;
  time_frames(bench, [&] {
    if (++frame == 125) {
      frame = 0;
      state = busy_state(state.level + 1);
    }
    draw_scene_backdrop(canvas, state);
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
