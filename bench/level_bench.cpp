// How long a level takes to start: Space on the right-answer screen runs next_level, which
// renders the new scene's whole music loop and the first item's drop chime on the game's
// only thread, between two ticks. The plain twin renders the same sounds by evaluating
// their formulas directly, as the fast renderers are held to.
//
// The sound side of the game's host is played here by a stand-in that renders into the
// same static buffers as the real streams and hands nothing to a device.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "audio/synth.h"
#include "game/host.h"
#include "game/input.h"
#include "game/rules.h"

namespace {

int16_t music[kMusicCapacity];
int16_t effects[kEffectsCapacity];
int16_t chime[kChimeCapacity];
bool direct = false;  // evaluate the formulas directly, as the yardstick does

}  // namespace

void stop_stream(Stream) {}
bool stream_has_device(Stream) { return true; }
void apply_audio_pause(const GameState&) {}
void restart_music(const GameState& state) {
  benchmark::DoNotOptimize(direct ? render_music_loop_direct(state.level, music)
                                  : render_music_loop(state.level, music));
}
void play_drop_chime(const GameState& state) {
  if (!drop_chime_audible(state)) return;
  benchmark::DoNotOptimize(direct ? render_drop_chime_direct(state.item.y, state.item.fall_speed, chime)
                                  : render_drop_chime(state.item.y, state.item.fall_speed, chime));
}
void play_success_arpeggio() {
  benchmark::DoNotOptimize(direct ? render_success_arpeggio_direct(effects) : render_success_arpeggio(effects));
}
void play_failure_buzz() {
  benchmark::DoNotOptimize(direct ? render_failure_buzz_direct(effects) : render_failure_buzz(effects));
}
void save_best_score(int32_t) {}
void save_options(const GameState&) {}
void set_volumes(const PlayerOptions&) {}

void open_course_link() {}
void open_book_link() {}
void note_answer(int32_t, int32_t, bool) {}
void close_window() {}
int64_t read_counter() { return 0; }

namespace {

// The right answer is showing after the checkpoint of `level`; Space starts level + 1.
GameState right_answer_screen(int level) {
  GameState s;
  start_program(s, 20261208, false, 0);
  s.title_screen = 0;
  s.level = level;
  s.screen = Screen::correct;
  return s;
}

// Each start timed on its own, so the slow ones show too: median and p99 as counters.
void time_level_starts(benchmark::State& bench, int from_level, bool plain) {
  direct = plain;
  const GameState ready = right_answer_screen(from_level);
  std::vector<double> times;
  times.reserve(1 << 14);
  for (auto _ : bench) {
    GameState s = ready;
    const auto start = std::chrono::steady_clock::now();
    on_key_down(s, Key::space, false);
    const auto stop = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(s.level);
    if (times.size() < times.capacity())
      times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  direct = false;
  if (times.empty()) return;
  std::sort(times.begin(), times.end());
  bench.counters["median_ms"] = times[times.size() / 2];
  bench.counters["p99_ms"] = times[std::min(times.size() - 1, times.size() * 99 / 100)];
}

// Level 2 plays scene 2, the longest loop (132 beats per minute, 320727 samples).
void BM_NextLevel(benchmark::State& bench) { time_level_starts(bench, 1, false); }
void BM_NextLevelDirect(benchmark::State& bench) { time_level_starts(bench, 1, true); }
// Every scene in turn: levels 1 to 6.
void BM_NextLevelEachScene(benchmark::State& bench) {
  time_level_starts(bench, static_cast<int>(bench.range(0)), false);
}

BENCHMARK(BM_NextLevel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextLevelDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextLevelEachScene)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
