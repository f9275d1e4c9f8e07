// Fullscreen: F11 and Alt+Enter switch between the window and the whole screen (the
// desktop's own resolution, the field letterboxed in it as in any window). Both are the
// desktop's keys, not the game's: the game never sees them, not even the Enter of
// Alt+Enter, which on the right-answer screen would otherwise go on to the next level.
#pragma once

#include <SDL.h>

// Each Enter key pressed as part of Alt+Enter, remembered until it is released, so that
// its auto-repeats (which arrive without Alt once Alt is let go first) and its release stay
// with the desktop too.
struct FullscreenKeys {
  bool return_taken = false;
  bool keypad_enter_taken = false;
};

enum class DesktopKey {
  none,    // not a fullscreen key: the game's to handle
  taken,   // part of a fullscreen key (held, repeated or released): nobody's business
  toggle,  // a fresh F11 or Alt+Enter: switch, and hide it from the game
};

// Decides what a key press or release is. Other events are always DesktopKey::none.
DesktopKey classify_desktop_key(FullscreenKeys& keys, const SDL_Event& event);
