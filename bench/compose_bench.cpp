// How long one frame takes to compose. The busiest play frame is the one that matters: the
// 16 ms tick also has to present it. Each figure has a plain twin that draws the same
// pixels keeping nothing between frames, which shows what the kept work saves.
#include <benchmark/benchmark.h>

#include "bench/frame_timing.h"
#include "render/painters.h"

namespace {

// Scene 1 with everything connected and the last device flashing, a gold booster falling,
// a full load, a burst of 32 sparks in flight, the catch popup and both banners.
GameState busiest_state() {
  GameState s;
  s.title_screen = 0;
  s.screen = Screen::play;
  s.level = 1;
  s.lives = 5;
  s.score = 1234;
  s.best_score = 4321;
  s.connected = 12;
  s.level_points = 14;
  s.connect_flash_timer = 1.5;
  s.play_clock = 12.3;
  s.level_up_timer = 1.0;
  s.level_complete = 1;
  s.popup_timer = 0.5;
  s.popup_kind = Popup::gold_booster;
  s.player_x = 400;
  s.item = {300, 250, 240, 0, 1};
  s.cargo_count = 12;
  for (int i = 0; i < kCargoSlots; ++i) s.cargo[i] = i % 4 == 0;
  for (int i = 0; i < kParticleCount; ++i) {
    s.particles[i] = {400 + 2.5 * i, 440 - 1.5 * i, 0, 0, 0.15 + 0.02 * i, i % 2};
  }
  return s;
}

void compose_busiest(benchmark::State& bench, bool plain) {
  Canvas& canvas = bench_canvas();
  canvas.plain_drawing = plain;
  GameState state = busiest_state();
  time_frames(bench, [&] {
    compose_frame(canvas, state);
    state.play_clock += 0.016;  // the waves and the arms move on every frame
  });
  canvas.plain_drawing = false;
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
  Canvas& canvas = bench_canvas();
  canvas.plain_drawing = true;
  GameState state = busiest_state();
  time_frames(bench, [&] {
    draw_scene_backdrop(canvas, state);
    state.play_clock += 0.016;
  });
  canvas.plain_drawing = false;
}

void compose_screen(benchmark::State& bench, const GameState& state, bool plain) {
  Canvas& canvas = bench_canvas();
  canvas.plain_drawing = plain;
  time_frames(bench, [&] { compose_frame(canvas, state); });
  canvas.plain_drawing = false;
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
