// A recorded minute of play, frame after frame as the window shows it: composed where it
// changed and only that uploaded, beside every frame composed whole and uploaded whole. The
// upload goes to a streaming texture of SDL's software renderer, as in a window without a GPU.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "bench/frame_timing.h"
#include "game/headless_host.h"
#include "game/input.h"
#include "game/rules.h"
#include "render/frame_key.h"
#include "render/painters.h"

namespace {

constexpr int kTicksPerSecond = 60;
constexpr int kSessionSeconds = 60;

// A player who steers under boosters and away from meanders, from the title through the
// countdown, catches and misses, a level or two, a checkpoint answered and a restart.
std::vector<GameState> recorded_session() {
  reset_headless_host();
  GameState s;
  start_program(s, 2026, true, 50);
  s.tick_frequency = 1000;
  s.tick_last_count = headless_host().counter;
  std::vector<GameState> frames;
  for (int n = 0; n < kTicksPerSecond * kSessionSeconds; ++n) {
    if (s.title_screen || s.game_over || s.screen == Screen::correct || s.screen == Screen::wrong) {
      if (n % 90 == 0) on_key_down(s, s.game_over || s.screen == Screen::wrong ? Key::r : Key::space, false);
    } else if (s.screen == Screen::question && n % 90 == 0) {
      on_key_down(s, Key::a, false);
    }
    const double aim = s.item.is_meander ? (s.item.x > 400 ? s.item.x - 200 : s.item.x + 200) : s.item.x + 25;
    on_key_up(s, Key::left);
    on_key_up(s, Key::right);
    if (s.player_x < aim - 6) on_key_down(s, Key::right, true);
    if (s.player_x > aim + 6) on_key_down(s, Key::left, true);
    headless_host().counter += 1000 / kTicksPerSecond;
    tick(s);
    frames.push_back(s);
  }
  return frames;
}

const std::vector<GameState>& session() {
  static const std::vector<GameState> frames = recorded_session();
  return frames;
}

struct Upload {
  SDL_Surface* surface = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  bool made = false;
};

Upload make_upload(const Canvas& canvas) {
  Upload u;
  u.surface = SDL_CreateRGBSurfaceWithFormat(0, canvas.width, canvas.height, 32, SDL_PIXELFORMAT_RGB888);
  if (u.surface) u.renderer = SDL_CreateSoftwareRenderer(u.surface);
  if (u.renderer)
    u.texture = SDL_CreateTexture(u.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, canvas.width,
                                  canvas.height);
  u.made = u.texture != nullptr;
  return u;
}

void free_upload(Upload& u) {
  if (u.texture) SDL_DestroyTexture(u.texture);
  if (u.renderer) SDL_DestroyRenderer(u.renderer);
  if (u.surface) SDL_FreeSurface(u.surface);
}

void upload(const Upload& u, const Canvas& canvas, const ChangedRegion* changed) {
  cairo_surface_flush(canvas.surface);
  const unsigned char* pixels = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  if (!changed) {
    SDL_UpdateTexture(u.texture, nullptr, pixels, stride);
    return;
  }
  for (int i = 0; i < changed->count; ++i) {
    const PixelRect& r = changed->rects[i];
    const SDL_Rect rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
    SDL_UpdateTexture(u.texture, &rect, pixels + r.top * stride + r.left * 4, stride);
  }
}

// Every frame of the session timed on its own: mean and p99 of a frame, wall clock.
void play_session(benchmark::State& bench, bool changed_only) {
  Canvas& canvas = bench_canvas();
  if (!canvas_set_scale(canvas, bench.range(0) / 100.0)) {
    bench.SkipWithError("no surface at that scale");
    return;
  }
  Upload u = make_upload(canvas);
  if (!u.made) {
    bench.SkipWithError(SDL_GetError());
    return;
  }
  const std::vector<GameState>& frames = session();
  std::vector<double> times;
  for (auto _ : bench) {
    FrameMemory memory;
    times.clear();
    for (const GameState& state : frames) {
      const auto start = std::chrono::steady_clock::now();
      if (changed_only) {
        if (compose_changed_frame(canvas, memory, state)) upload(u, canvas, &memory.changed);
      } else {
        compose_frame(canvas, state);
        upload(u, canvas, nullptr);
      }
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  double sum = 0;
  for (double t : times) sum += t;
  bench.counters["mean_ms"] = sum / times.size();
  bench.counters["p99_ms"] = percentile(times, 99);
  free_upload(u);
  canvas_set_scale(canvas, 1);
}

void BM_SessionChanged(benchmark::State& bench) { play_session(bench, true); }
void BM_SessionWhole(benchmark::State& bench) { play_session(bench, false); }

BENCHMARK(BM_SessionChanged)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SessionWhole)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
