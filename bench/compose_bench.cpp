// How long one frame takes to compose. The busiest play frame is the one that matters: the
// 16 ms tick also has to present it. Each figure has a plain twin that draws the same
// pixels keeping nothing between frames, which shows what the kept work saves.
#include <benchmark/benchmark.h>

#include "bench/busiest_state.h"
#include "bench/frame_timing.h"
#include "render/painters.h"

namespace {

void compose_busiest(benchmark::State& bench, bool plain) {
  Canvas& canvas = plain ? plain_bench_canvas() : bench_canvas();
  GameState state = busiest_state();
  time_frames(bench, [&] {
    compose_frame(canvas, state);
    state.play_clock += 0.016;  // the waves and the arms move on every frame
  });
}

void BM_BusiestFrame(benchmark::State& bench) { compose_busiest(bench, false); }

// The same frame drawn at a scale, given in hundredths: 180 is fullscreen on a 1920 x 1080
// screen, 200 a window on a desktop at 200 %; the highest scale it fits its budget at is
// the field's cap (game/letterbox.h).
void BM_BusiestFrameScaled(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  if (!canvas_set_scale(canvas, bench.range(0) / 100.0)) {
    bench.SkipWithError("no surface at that scale");
    return;
  }
  GameState state = busiest_state();
  compose_frame(canvas, state);  // the kept picture made once, as on a level's first frame
  time_frames(bench, [&] {
    compose_frame(canvas, state);
    state.play_clock += 0.016;
  });
  canvas_set_scale(canvas, 1);
}
void BM_BusiestFramePlain(benchmark::State& bench) { compose_busiest(bench, true); }

// The backdrop helper's part of the busiest frame, alone.
void BM_BusiestBackdrop(benchmark::State& bench) {
  Canvas& canvas = bench_canvas();
  GameState state = busiest_state();
  time_frames(bench, [&] {
    draw_scene_backdrop(canvas, state);
    state.play_clock += 0.016;
  });
}
void BM_BusiestBackdropPlain(benchmark::State& bench) {
  Canvas& canvas = plain_bench_canvas();
  GameState state = busiest_state();
  time_frames(bench, [&] {
    draw_scene_backdrop(canvas, state);
    state.play_clock += 0.016;
  });
}

void compose_screen(benchmark::State& bench, const GameState& state, bool plain) {
  Canvas& canvas = plain ? plain_bench_canvas() : bench_canvas();
  time_frames(bench, [&] { compose_frame(canvas, state); });
}

GameState title_state() { return GameState{}; }
GameState question_state() {
  GameState s = busiest_state();
  s.screen = Screen::question;
  s.current_question = 2;
  return s;
}

void BM_TitleScreen(benchmark::State& bench) { compose_screen(bench, title_state(), false); }
void BM_TitleScreenPlain(benchmark::State& bench) { compose_screen(bench, title_state(), true); }
void BM_QuestionScreen(benchmark::State& bench) { compose_screen(bench, question_state(), false); }
void BM_QuestionScreenPlain(benchmark::State& bench) { compose_screen(bench, question_state(), true); }

BENCHMARK(BM_BusiestFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusiestFramePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusiestFrameScaled)
    ->Arg(100)
    ->Arg(180)
    ->Arg(200)
    ->Arg(225)
    ->Arg(250)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusiestBackdrop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusiestBackdropPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleScreenPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuestionScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuestionScreenPlain)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
