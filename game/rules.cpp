#include "game/rules.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "game/host.h"
#include "game/quiz.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A gold booster, a red booster or a meander; 25 % meanders, 12 % of boosters gold.
constexpr int kMeanderPercent = 25;
constexpr int kGoldPercent = 12;

void release_arrows(GameState& state) {
  state.left_held = 0;
  state.right_held = 0;
}

void burst_particles(GameState& state) {
  for (int i = 0; i < kParticleCount; ++i) {
    const double a = i * 2 * kPi / kParticleCount;
    Particle& p = state.particles[i];
    p.x = state.player_x - 24;
    p.y = 474;
    p.vx = (60 + 13 * (i % 5)) * std::cos(a);
    p.vy = 100 * std::sin(a) - 90;
    p.life = 0.6 + 0.05 * (i % 4);
    p.is_gold = state.item.is_gold;
  }
}

void catch_booster(GameState& state) {
  state.connected += 1;
  burst_particles(state);
  state.connect_flash_timer = 2.2;

  state.cargo[state.cargo_count] = state.item.is_gold;
  state.cargo_count += 1;
  if (state.cargo_count == kCargoSlots) {  // the bed is emptied on its twelfth load
    std::fill(std::begin(state.cargo), std::end(state.cargo), 0);
    state.cargo_count = 0;
  }

  int points = 1;
  state.popup_kind = 1;
  if (state.item.is_gold) {
    points = 5;
    state.lives += 1;
    state.popup_kind = 5;
  }
  state.score += points;
  state.level_points += points;
  state.popup_timer = 0.65;

  if (state.connected > kDevicesPerLevel - 1) {
    state.connected = kDevicesPerLevel;
    state.level_complete = 1;
    state.level_complete_timer = kInterludeSeconds;
    release_arrows(state);
    stop_stream(Stream::chime);
  }

  if (state.score > state.best_score) {
    state.best_score = state.score;
    save_best_score(state.best_score);
  }

  play_success_arpeggio();
  spawn_item(state);
}

void catch_meander(GameState& state) {
  state.popup_kind = -1;
  state.connect_flash_timer = 0;
  state.popup_timer = 1.1;
  if (state.level_points > 0) state.level_points -= 1;
  if (state.connected > 0) state.connected -= 1;
  state.level_up_timer = 0;
  lose_life(state);
  if (stream_has_device(Stream::effects)) {
    stop_stream(Stream::effects);
    play_failure_buzz();
  }
}

void play_step(GameState& state, double dt) {
  state.player_x += (state.right_held - state.left_held) * kPlayerSpeed * dt;
  state.player_x = std::clamp(state.player_x, kPlayerMinX, kPlayerMaxX);
  state.play_clock += dt;
  if (state.connect_flash_timer > 0) state.connect_flash_timer -= dt;
  update_particles(state, dt);

  const double old_y = state.item.y;
  state.item.y += state.item.fall_speed * dt;

  if (state.popup_timer > 0) state.popup_timer -= dt;
  if (state.level_up_timer > 0) state.level_up_timer -= dt;

  const double old_bottom = old_y + kItemHalfHeight;
  const double new_bottom = state.item.y + kItemHalfHeight;
  if (old_bottom < kCatchLineY && new_bottom < kCatchLineY) return;

  // The bed of the truck spans 55 px left to 4 px right of its centre; an item is judged
  // only in the one step in which its bottom edge crosses the catch line.
  if (old_bottom < kCatchLineY && state.item.x + kItemHalfWidth >= state.player_x - 55 &&
      state.item.x - kItemHalfWidth <= state.player_x + 4) {
    if (state.item.is_meander) {
      catch_meander(state);
    } else {
      catch_booster(state);
    }
    return;
  }

  if (state.item.y - kItemHalfHeight > kGroundLineY) {
    if (state.item.is_meander) {
      spawn_item(state);
    } else {
      lose_life(state);
    }
  }
}

}  // namespace

void start_program(GameState& state, uint32_t seed, bool best_found, int64_t stored_best) {
  state = GameState{};
  state.random.seed(seed);
  state.best_score =
      best_found && stored_best >= 0 && stored_best <= kMaxBestScore ? static_cast<int32_t>(stored_best) : 0;
  new_game(state);
}

void new_game(GameState& state) {
  state.level_complete = 0;
  state.countdown = kCountdownSeconds;
  state.level = 0;
  state.level_complete_timer = 0;
  state.player_x = 400;
  for (Particle& p : state.particles) p = Particle{};
  state.quiz_count = 0;
  state.screen = Screen::play;
  state.score = 0;
  state.connected = 0;
  state.level_points = 0;
  state.cargo_count = 0;
  state.lives = 3;
  state.game_over = 0;
  state.play_clock = 0;
  state.connect_flash_timer = 0;
  state.level_up_timer = 0;
  state.popup_timer = 0;
  state.paused = 0;
  release_arrows(state);
  for (int i = 0; i < kQuestionCount; ++i) state.question_order[i] = i;

  stop_stream(Stream::effects);
  restart_music(state);
  spawn_item(state);
}

void next_level(GameState& state) {
  state.screen = Screen::play;
  state.level += 1;
  state.level_up_timer = 1.4;
  state.paused = 0;
  state.level_complete = 0;
  state.connected = 0;
  state.level_points = 0;
  state.connect_flash_timer = 0;
  state.countdown = kCountdownSeconds;
  release_arrows(state);

  restart_music(state);
  spawn_item(state);
  apply_audio_pause(state);
}

void tick(GameState& state) {
  const int64_t now = read_counter();
  // The counter is a free-running 64-bit count, so the difference wraps as the hardware's
  // would. A counter that went backwards (a broken clock, a baseline from elsewhere) means
  // no time passed: negative time would make the item rise and the countdown grow.
  const int64_t elapsed =
      static_cast<int64_t>(static_cast<uint64_t>(now) - static_cast<uint64_t>(state.tick_last_count));
  state.tick_last_count = now;
  double dt = elapsed > 0 ? static_cast<double>(elapsed) / static_cast<double>(state.tick_frequency) : 0.0;
  dt = std::min(dt, kMaxTickSeconds);

  if (field_stands_still(state)) return;
  if (state.level_complete) {
    state.play_clock += dt;
    update_particles(state, dt);
    state.level_complete_timer -= dt;
    if (state.level_complete_timer <= 0) start_question(state);
    return;
  }
  if (state.countdown > 0) {
    state.countdown -= dt;
    if (state.countdown <= 0) {
      state.countdown = 0;
      play_drop_chime(state);  // the item waiting at the top starts to fall
    }
    return;
  }
  play_step(state, dt);
}

bool field_stands_still(const GameState& state) {
  return !state.has_focus || state.title_screen || state.paused || state.game_over || state.screen != Screen::play;
}

void spawn_item(GameState& state) {
  FallingItem& item = state.item;
  const int32_t r1 = state.random.next();
  item.y = kItemSpawnY;
  item.x = (r1 % 732) + 28;  // the centre lies in 28..759
  const int32_t r2 = state.random.next() % 100;
  item.is_meander = r2 <= kMeanderPercent - 1 ? 1 : 0;
  if (item.is_meander) {
    item.is_gold = 0;
  } else {
    const int32_t r3 = state.random.next() % 100;
    item.is_gold = r3 <= kGoldPercent - 1 ? 1 : 0;
  }
  item.fall_speed = fall_speed_of_level(state.level);
  play_drop_chime(state);
  apply_audio_pause(state);
}

void lose_life(GameState& state) {
  state.lives -= 1;
  if (state.lives > 0) {
    spawn_item(state);
    return;
  }
  state.game_over = 1;
  release_arrows(state);
  stop_stream(Stream::chime);
  stop_stream(Stream::effects);
}

void update_particles(GameState& state, double dt) {
  for (Particle& p : state.particles) {
    if (p.life <= 0) continue;
    p.x += p.vx * dt;
    p.y += p.vy * dt;  // the position moves with the velocity from before gravity
    p.vy += 180 * dt;
    p.life -= dt;
  }
}

void toggle_music(GameState& state) {
  state.music_muted = !state.music_muted;
  apply_audio_pause(state);
}

bool drop_chime_audible(const GameState& state) {
  return !state.title_screen && state.screen == Screen::play && !state.level_complete && !(state.countdown > 0);
}
