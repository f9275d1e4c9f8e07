#include "app/fullscreen.h"

namespace {

bool* taken_flag(FullscreenKeys& keys, SDL_Keycode code) {
  if (code == SDLK_RETURN) return &keys.return_taken;
  if (code == SDLK_KP_ENTER) return &keys.keypad_enter_taken;
  return nullptr;
}

}  // namespace

DesktopKey classify_desktop_key(FullscreenKeys& keys, const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return DesktopKey::none;
  const SDL_Keycode code = event.key.keysym.sym;
  const bool down = event.type == SDL_KEYDOWN;
  const bool repeat = event.key.repeat != 0;

  if (code == SDLK_F11) return down && !repeat ? DesktopKey::toggle : DesktopKey::taken;

  bool* taken = taken_flag(keys, code);
  if (taken == nullptr) return DesktopKey::none;
  if (!down) {
    const bool was_taken = *taken;
    *taken = false;
    return was_taken ? DesktopKey::taken : DesktopKey::none;
  }
  if (*taken) return DesktopKey::taken;  // its repeats, Alt still held or not
  if (event.key.keysym.mod & KMOD_ALT) {
    // A repeat with Alt held belongs to an Enter pressed before Alt: the game had that
    // press, and a held key must not make the screen flicker between sizes.
    if (repeat) return DesktopKey::taken;
    *taken = true;
    return DesktopKey::toggle;
  }
  return DesktopKey::none;
}

