// libFuzzer entry for the edge between SDL and the game: whatever an SDL event holds (any
// key code, modifier and repeat count, any button and 32-bit mouse position, any window
// event, any type at all), routing it must leave a state that makes sense.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "app/events.h"
#include "fuzz/event_driver.h"
#include "game/headless_host.h"

namespace {

constexpr Uint32 kTypes[] = {SDL_QUIT, SDL_WINDOWEVENT, SDL_KEYDOWN, SDL_KEYUP, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP};
constexpr uint64_t kMaxEvents = 16384;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reset_headless_host();
  static Session session;
  session = Session{};
  ByteReader in{data, size};
  session_start(session, in);
  while (!in.done() && session.events < kMaxEvents) {
    const uint8_t kind = in.u8();
    if (kind % 4 == 0) {  // the game's own events between the platform's: time, steering
      if (const char* broken = session_event(session, in)) {
        std::fprintf(stderr, "broken: %s\n", broken);
        std::abort();
      }
      continue;
    }
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    const size_t take = in.size - in.pos < sizeof event ? in.size - in.pos : sizeof event;
    std::memcpy(&event, in.data + in.pos, take);
    in.pos += take;
    if (kind % 4 != 3) event.type = kTypes[(kind / 4) % std::size(kTypes)];  // else any type
    const WindowSize window = read_window_size(in);
    route_event(session.state, event, window.width, window.height);
    session.events += 1;
    if (const char* broken = session_check(session)) {
      std::fprintf(stderr, "broken after an SDL event of type %u: %s\n", event.type, broken);
      std::abort();
    }
  }
  return 0;
}
