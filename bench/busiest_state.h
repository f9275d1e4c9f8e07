// The busiest play frame, which every drawing benchmark composes: natively and in the
// browser's WebAssembly alike.
#pragma once

#include "game/game_state.h"

// Scene 1 with everything connected and the last device flashing, a gold booster falling,
// a full load, a burst of 32 sparks in flight, the catch popup and both banners.
inline GameState busiest_state() {
  GameState s;
  s.title_screen = 0;
  s.screen = Screen::play;
  s.level = 1;
  s.lives = 5;
  s.score = 1234;
  s.best_score = 4321;
  s.connected = 12;
  s.level_points = 14;
  s.connect_flash_timer = 1.5;
  s.play_clock = 12.3;
  s.level_up_timer = 1.0;
  s.level_complete = 1;
  s.popup_timer = 0.5;
  s.popup_kind = Popup::gold_booster;
  s.player_x = 400;
  s.item = {300, 250, 240, 0, 1};
  s.cargo_count = 12;
  for (int i = 0; i < kCargoSlots; ++i) s.cargo[i] = i % 4 == 0;
  for (int i = 0; i < kParticleCount; ++i) {
    s.particles[i] = {400 + 2.5 * i, 440 - 1.5 * i, 0, 0, 0.15 + 0.02 * i, i % 2};
  }
  return s;
}
