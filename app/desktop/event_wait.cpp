#include "app/desktop/event_wait.h"

bool wait_for_event(SDL_Event& event, int milliseconds) {
  const Uint64 start = SDL_GetTicks64();
  if (SDL_WaitEventTimeout(&event, milliseconds) != 0) return true;
  // A wait whose time was up took at least all of it on the same clock; a failed one, next to none.
  const Uint64 waited = SDL_GetTicks64() - start;
  if (waited * 2 < static_cast<Uint64>(milliseconds)) SDL_Delay(static_cast<Uint32>(milliseconds - waited));
  return false;
}
