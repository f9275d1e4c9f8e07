// libFuzzer entry: each input is one program start followed by events until the bytes run
// out. Any broken rule aborts with what broke; the sanitizers catch the rest.
//
// Built twice: fuzz_events runs the rules alone, as fast as they go; fuzz_frames also
// composes a frame now and then, when the bytes ask for one, and on every 64th event.
#include <cstdio>
#include <cstdlib>

#include "fuzz/event_driver.h"
#include "game/headless_host.h"

#ifdef ORBILUX_FUZZ_FRAMES
#include "render/canvas.h"
#include "render/frame_key.h"
#include "render/painters.h"
#endif

namespace {

// Long inputs mean long sessions; past this many events a session tells little more.
constexpr uint64_t kMaxEvents = 16384;

#ifdef ORBILUX_FUZZ_FRAMES
// Cairo and Pango are slow under the sanitizers: a frame now and then is enough to see
// every screen drawn from the states the events reach.
constexpr uint64_t kComposeEvery = 64;
constexpr uint64_t kMaxFramesPerInput = 24;

Canvas* the_canvas() {
  static Canvas canvas;
  static bool made = canvas_create(canvas);
  if (!made) {
    std::fprintf(stderr, "cannot make the canvas\n");
    std::abort();
  }
  return &canvas;
}

void compose(const GameState& state, WindowSize, uint8_t choice, void*) {
  Canvas* canvas = the_canvas();
  static FrameMemory memory;
  if (choice & 1) {  // both ways of composing a frame: where it changed, and whole
    compose_changed_frame(*canvas, memory, state);
  } else {
    compose_frame(*canvas, state);
    forget_frame(memory);
  }
}
#endif

[[noreturn]] void fail(const char* what, const Session& session) {
  std::fprintf(stderr, "broken after event %llu (level %d, screen %d, title %d, game over %d): %s\n",
               static_cast<unsigned long long>(session.events), session.state.level,
               static_cast<int>(session.state.screen), session.state.title_screen, session.state.game_over, what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reset_headless_host();
  static Session session;
  session = Session{};
  ByteReader in{data, size};
  session_start(session, in);
  if (const char* broken = session_check(session)) fail(broken, session);
#ifdef ORBILUX_FUZZ_FRAMES
  session.frame_hook = compose;
  uint64_t frames = 0;
  uint64_t next_frame_at = kComposeEvery;
#endif
  while (!in.done() && session.events < kMaxEvents) {
    if (const char* broken = session_event(session, in)) fail(broken, session);
#ifdef ORBILUX_FUZZ_FRAMES
    // One event can be hundreds of ticks: compose whenever another stretch has passed.
    if (session.events >= next_frame_at && frames < kMaxFramesPerInput) {
      compose(session.state, {}, static_cast<uint8_t>(frames), nullptr);
      frames += 1;
      session.frames += 1;
      next_frame_at = session.events + kComposeEvery;
    }
    if (session.frames > kMaxFramesPerInput) session.frame_hook = nullptr;
#endif
  }
  // For looking at one input: how far into the game did it get?
  if (std::getenv("ORBILUX_FUZZ_REPORT") != nullptr) {
    std::fprintf(
        stderr, "events %llu ticks %llu frames %llu clicks taken %llu deepest level %d screens %d%d%d%d game over %d\n",
        static_cast<unsigned long long>(session.events), static_cast<unsigned long long>(session.ticks),
        static_cast<unsigned long long>(session.frames), static_cast<unsigned long long>(session.clicks_taken),
        session.deepest_level, session.reached_screen[0], session.reached_screen[1], session.reached_screen[2],
        session.reached_screen[3], session.reached_game_over);
  }
  return 0;
}
