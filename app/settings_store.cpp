#include "app/settings_store.h"

#include <SDL.h>

#include <cstring>

bool canonical_key_name(const char* name, KeyName& out) {
  const SDL_Keycode code = SDL_GetKeyFromName(name);
  if (code == SDLK_UNKNOWN) return false;
  const char* spelled = SDL_GetKeyName(code);
  const size_t length = std::strlen(spelled);
  if (length == 0 || length >= sizeof out.text) return false;
  out = KeyName{};
  std::memcpy(out.text, spelled, length);
  return true;
}
