// Rendering times of the music loop and the effects, each beside the direct evaluation of its
// formulas, which shows what the fast renderers save. The music is rendered on the game's only
// thread at every level start, so it must stay well inside a frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "audio/synth.h"

namespace {

int16_t music[kMusicCapacity];
int16_t effects[kEffectsCapacity];
int16_t chime[kChimeCapacity];

constexpr int32_t kLongestLoopLevel = 2;  // scene 2, 132 beats per minute: 320727 samples
constexpr double kFreshItemY = -24;
constexpr double kFirstLevelSpeed = 200;

void BM_MusicLoopScene2(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_music_loop(kLongestLoopLevel, music));
}
void BM_MusicLoopScene2Direct(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_music_loop_direct(kLongestLoopLevel, music));
}
void BM_DropChime(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_drop_chime(kFreshItemY, kFirstLevelSpeed, chime));
}
void BM_DropChimeDirect(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_drop_chime_direct(kFreshItemY, kFirstLevelSpeed, chime));
}
void BM_SuccessArpeggio(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_success_arpeggio(effects));
}
void BM_SuccessArpeggioDirect(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_success_arpeggio_direct(effects));
}
void BM_FailureBuzz(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_failure_buzz(effects));
}
void BM_FailureBuzzDirect(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(render_failure_buzz_direct(effects));
}

BENCHMARK(BM_MusicLoopScene2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MusicLoopScene2Direct)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropChime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropChimeDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SuccessArpeggio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SuccessArpeggioDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FailureBuzz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FailureBuzzDirect)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
