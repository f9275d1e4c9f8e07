// What a tick costs on a screen that does not change: the frame key (the painters run
// without drawing) compared with the one on the canvas, and nothing composed. Beside it the same frame composed every time, as a
// loop that does not skip would.
#include <benchmark/benchmark.h>

#include "bench/frame_timing.h"
#include "render/frame_key.h"
#include "render/painters.h"

namespace {

// The pause panel over a busy field: scene 1, ten devices connected, a full load.
GameState paused_state() {
  GameState s;
  s.title_screen = 0;
  s.level = 1;
  s.lives = 4;
  s.score = 1234;
  s.best_score = 4321;
  s.connected = 10;
  s.level_points = 12;
  s.play_clock = 42.5;
  s.paused = 1;
  s.player_x = 400;
  s.item = {300, 250, 240, 0, 1};
  s.cargo_count = 10;
  return s;
}

void BM_StillFrame(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  const GameState state = paused_state();
  FrameMemory memory;
  compose_changed_frame(canvas, memory, state);
  for (auto _ : bench) benchmark::DoNotOptimize(compose_changed_frame(canvas, memory, state));
}

void BM_StillFrameComposed(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  const GameState state = paused_state();
  for (auto _ : bench) compose_frame(canvas, state);
}

BENCHMARK(BM_StillFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StillFrameComposed)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
