// SDL's key events filled in as SDL itself fills them, for tests that route synthetic keys.
#pragma once

#include <SDL.h>

inline SDL_Event key_event(Uint32 type, SDL_Keycode code, bool repeat, Uint16 mod) {
  SDL_Event event{};
  event.type = type;
  event.key.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = code;
  event.key.keysym.mod = mod;
  return event;
}
inline SDL_Event press(SDL_Keycode code, Uint16 mod = KMOD_NONE) { return key_event(SDL_KEYDOWN, code, false, mod); }
inline SDL_Event repeat(SDL_Keycode code, Uint16 mod = KMOD_NONE) { return key_event(SDL_KEYDOWN, code, true, mod); }
inline SDL_Event release(SDL_Keycode code, Uint16 mod = KMOD_NONE) { return key_event(SDL_KEYUP, code, false, mod); }
