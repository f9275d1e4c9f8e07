#include "render/frame_key.h"

#include <algorithm>
#include <bit>

#include "render/backdrop.h"
#include "render/painters.h"
#include "render/pixels.h"

namespace {

// The quiz screens: the screen's texts, the numbers on them and the rows' answers.
void quiz_key(FrameKey& key, const GameState& state) {
  key.level = state.level;
  key.lives = state.lives;
  key.game_over = state.game_over != 0;
  // An out-of-range question shows the first; an out-of-range option leaves its row empty.
  const int n = state.current_question;
  key.question = n >= 0 && n < kQuestionCount ? n : 0;
  for (int k = 0; k < kOptionCount; ++k) {
    const int option = state.option_order[k];
    key.options[k] = option >= 0 && option < kOptionCount ? option : -1;
  }
}

void field_key(FrameKey& key, const GameState& state) {
  key.level = state.level;
  key.lives = state.lives;
  key.score = state.score;
  key.best_score = state.best_score;
  key.game_over = state.game_over != 0;

  key.connected = state.connected;
  key.level_points = state.level_points;
  if (backdrop_follows_clock(state)) key.clock_bits = std::bit_cast<uint64_t>(state.play_clock);
  key.flashing = state.connect_flash_timer > 0;

  key.catcher_x = pixel_of(state.player_x);
  key.cargo_count = std::clamp(state.cargo_count, 0, kCargoSlots);
  for (int i = 0; i < key.cargo_count; ++i) key.cargo[i] = state.cargo[i] != 0;
  key.item_x = pixel_of(state.item.x);
  key.item_y = pixel_of(state.item.y);
  key.item_kind = state.item.is_meander ? 2 : state.item.is_gold ? 1 : 0;
  for (int i = 0; i < kParticleCount; ++i) {
    const Particle& p = state.particles[i];
    if (!(p.life > 0)) continue;
    key.sparks[i] = {pixel_of(p.x), pixel_of(p.y), p.life > 0.25 ? 3 : 2, p.is_gold != 0};
  }
  if (state.popup_timer > 0) key.popup = state.popup_kind < 0 ? -1 : state.popup_kind == 5 ? 5 : 1;

  key.level_up = state.level_up_timer > 0;
  key.level_complete = state.level_complete != 0;
  if (state.countdown > 0 && !state.paused) key.countdown = countdown_digit(state.countdown);
  if (state.paused || !state.has_focus) key.pause_panel = state.has_focus ? 1 : 2;
}

}  // namespace

FrameKey frame_key(const GameState& state) {
  FrameKey key;
  // The same choice of screen as compose_frame makes.
  if (state.title_screen) return key;
  if (state.screen != Screen::play) {
    key.view = state.screen == Screen::question  ? FrameView::question
               : state.screen == Screen::correct ? FrameView::correct
                                                 : FrameView::wrong;
    quiz_key(key, state);
    return key;
  }
  key.view = FrameView::field;
  field_key(key, state);
  return key;
}

bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state) {
  const FrameKey key = frame_key(state);
  if (memory.holds_frame && key == memory.shown) return false;
  compose_frame(canvas, state);
  memory.shown = key;
  memory.holds_frame = true;
  return true;
}
