// An hour of play in a couple of minutes: 16 ms ticks on a counter the driver moves by
// hand, a player who mostly chases the falling item and now and then presses any key,
// clicks anywhere or switches windows, answers the quiz at random and starts again after
// game over, and a frame composed every few ticks. Memory must not grow once warmed up.
//
//   robust_soak [--ticks N] [--compose-every K] [--seed S] [--warm-up N] [--max-growth-kib KIB]
//
// Also the small headless session that Valgrind's memcheck runs (a few thousand ticks).
// Exit status 0 when every check held and memory stayed flat; the figures go to stdout.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "fuzz/event_driver.h"
#include "game/headless_host.h"
#include "game/input.h"
#include "render/canvas.h"
#include "render/painters.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds freed memory back in a quarantine of its own: the figures then say
// nothing about the game, and only the rules and the leak check at exit are judged.
constexpr bool kMemoryFiguresMeanSomething = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryFiguresMeanSomething = false;
#else
constexpr bool kMemoryFiguresMeanSomething = true;
#endif
#else
constexpr bool kMemoryFiguresMeanSomething = true;
#endif

struct Options {
  long ticks = 225000;  // an hour of 16 ms ticks
  long compose_every = 4;
  unsigned seed = 20261208;
  long max_growth_kib = 1024;
  long warm_up = -1;  // ticks before the first measurement; a tenth of the run when not given
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const long value = std::strtol(argv[i + 1], nullptr, 10);
    if (std::strcmp(argv[i], "--ticks") == 0) {
      o.ticks = value;
    } else if (std::strcmp(argv[i], "--compose-every") == 0) {
      o.compose_every = value > 0 ? value : 1;
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      o.seed = static_cast<unsigned>(value);
    } else if (std::strcmp(argv[i], "--warm-up") == 0) {
      o.warm_up = value;
    } else if (std::strcmp(argv[i], "--max-growth-kib") == 0) {
      o.max_growth_kib = value;
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

struct Memory {
  long rss_kib = 0;
  long heap_in_use_kib = 0;  // mallinfo2: bytes handed out by malloc and not yet freed
  long heap_arena_kib = 0;   // what malloc holds from the system
};

Memory measure() {
  Memory m;
  long pages_total = 0, pages_resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages_total, &pages_resident) == 2)
      m.rss_kib = pages_resident * (sysconf(_SC_PAGESIZE) / 1024);
    std::fclose(f);
  }
  const struct mallinfo2 info = mallinfo2();
  m.heap_in_use_kib = static_cast<long>((info.uordblks + info.hblkhd) / 1024);
  m.heap_arena_kib = static_cast<long>((info.arena + info.hblkhd) / 1024);
  return m;
}

constexpr Key kAnyKey[] = {Key::left,   Key::right,  Key::space,  Key::enter,  Key::esc,  Key::a,
                           Key::b,      Key::c,      Key::d,      Key::m,      Key::o,    Key::r,
                           Key::digit1, Key::digit2, Key::digit3, Key::digit4, Key::other};

// What a restless player does now and then besides steering.
void restless_player(Session& s, std::mt19937& rng) {
  GameState& g = s.state;
  const unsigned pick = rng() % 1000;
  if (pick < 3) {  // a click, on any screen: mostly inside a plain window, else anywhere
    bool taken;
    if (rng() % 2) {
      taken = on_click(g, static_cast<int>(rng() % 800), static_cast<int>(rng() % 600), 800, 600);
    } else {
      const int w = static_cast<int>(rng() % 4000), h = static_cast<int>(rng() % 3000);
      taken = on_click(g, static_cast<int>(rng() % 65536) - 32768, static_cast<int>(rng() % 65536) - 32768, w, h);
    }
    if (taken) s.clicks_taken += 1;
  } else if (g.screen == Screen::question && pick < 40) {
    on_key_down(g, kAnyKey[5 + rng() % 4], false);  // A to D, at random
  } else if (g.screen == Screen::correct && pick < 40) {
    on_key_down(g, rng() % 2 ? Key::space : Key::enter, false);
  } else if (g.screen == Screen::wrong && pick < 40) {
    on_key_down(g, Key::r, false);
  } else if (g.game_over && pick < 10) {
    on_key_down(g, Key::r, false);
  } else if (g.paused && pick < 30) {
    on_key_down(g, Key::space, false);
  } else if (pick < 4) {
    const Key key = kAnyKey[rng() % std::size(kAnyKey)];
    if (key == Key::r && g.level > 0) return;  // restarts are the game-over's business
    on_key_down(g, key, rng() % 4 == 0);
    on_key_up(g, key);
  } else if (pick < 7) {
    on_focus_lost(g);
    on_focus_gained(g);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr, "usage: %s [--ticks N] [--compose-every K] [--seed S] [--warm-up N] [--max-growth-kib KIB]\n",
                 argv[0]);
    return 2;
  }
  Canvas canvas;
  if (!canvas_create(canvas)) {
    std::fprintf(stderr, "cannot make the canvas\n");
    return 1;
  }

  reset_headless_host();
  static Session session;
  // Seed, a nanosecond counter, no stored best; the title page is shown once, then left.
  uint8_t start[22] = {};
  std::memcpy(start, &o.seed, sizeof o.seed);
  start[4] = 2;
  ByteReader in{start, sizeof start};
  session_start(session, in);
  compose_frame(canvas, session.state);
  on_key_down(session.state, Key::space, false);
  std::mt19937 rng(o.seed);

  // Every scene, screen and text the frames show fills Cairo's and Pango's caches the first
  // time; growth is measured from after the warm-up, when most of that has happened.
  const long warm_up = o.warm_up >= 1 && o.warm_up <= o.ticks ? o.warm_up : (o.ticks / 10 > 0 ? o.ticks / 10 : 1);
  Memory after_warm_up;
  long frames = 0;
  const auto began = std::chrono::steady_clock::now();
  for (long t = 0; t < o.ticks; ++t) {
    restless_player(session, rng);
    const bool field_runs = !session.state.title_screen && session.state.screen == Screen::play &&
                            !session.state.game_over && !session.state.paused;
    const char* broken = nullptr;
    if (field_runs) {
      broken = session_autopilot(session, 1, static_cast<int>(rng() % 61) - 30, rng() % 8 != 0);
    } else {
      session_tick(session, session.period);
      broken = session_check(session);
    }
    if (broken != nullptr) {
      std::fprintf(stderr, "broken at tick %ld: %s\n", t, broken);
      return 1;
    }
    if (t % o.compose_every == 0) {
      compose_frame(canvas, session.state);
      frames += 1;
    }
    if (t + 1 == warm_up) after_warm_up = measure();
    if ((t + 1) % (o.ticks / 10 > 0 ? o.ticks / 10 : 1) == 0) {
      const Memory m = measure();
      std::printf("  tick %7ld  level %3d  rss %6ld KiB  heap in use %6ld KiB\n", t + 1, session.deepest_level,
                  m.rss_kib, m.heap_in_use_kib);
    }
  }
  const Memory at_end = measure();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  const long rss_growth = at_end.rss_kib - after_warm_up.rss_kib;
  const long heap_growth = at_end.heap_in_use_kib - after_warm_up.heap_in_use_kib;
  std::printf("ticks %ld (%.0f s of play) in %.1f s, frames %ld, deepest level %d, best score %d, saves %lld\n",
              o.ticks, o.ticks * 0.016, seconds, frames, session.deepest_level, session.state.best_score,
              static_cast<long long>(headless_host().saves));
  std::printf("screens reached: question %d, correct %d, wrong %d; game over %d; clicks taken %llu\n",
              session.reached_screen[1], session.reached_screen[2], session.reached_screen[3],
              session.reached_game_over, static_cast<unsigned long long>(session.clicks_taken));
  std::printf("after warm-up (%ld ticks): rss %ld KiB, heap in use %ld KiB, heap held %ld KiB\n", warm_up,
              after_warm_up.rss_kib, after_warm_up.heap_in_use_kib, after_warm_up.heap_arena_kib);
  std::printf("at the end:                rss %ld KiB, heap in use %ld KiB, heap held %ld KiB\n", at_end.rss_kib,
              at_end.heap_in_use_kib, at_end.heap_arena_kib);
  std::printf("growth: rss %+ld KiB, heap in use %+ld KiB (allowed %ld KiB)\n", rss_growth, heap_growth,
              o.max_growth_kib);

  canvas_destroy(canvas);
  // The process-wide font map holds fontconfig's patterns; letting it go leaves the leak
  // checkers only what the game itself might have kept.
  pango_cairo_font_map_set_default(nullptr);
  if (!kMemoryFiguresMeanSomething) {
    std::printf("(built with AddressSanitizer: memory growth not judged)\n");
  } else if (rss_growth > o.max_growth_kib || heap_growth > o.max_growth_kib) {
    std::fprintf(stderr, "memory grew during play\n");
    return 1;
  }
  return 0;
}
