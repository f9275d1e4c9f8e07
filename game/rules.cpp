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
// An item's centre lies in kSpawnMinX .. kSpawnMinX + kSpawnXChoices - 1.
constexpr int kSpawnMinX = 28;
constexpr int kSpawnXChoices = 732;

constexpr int kStartLives = 3;
constexpr double kStartPlayerX = 400;
constexpr int kRedBoosterPoints = 1;
constexpr int kGoldBoosterPoints = 5;

// How long each banner and flash stays up.
constexpr double kConnectFlashSeconds = 2.2;
constexpr double kCatchPopupSeconds = 0.65;
constexpr double kLostLifePopupSeconds = 1.1;
constexpr double kLevelUpSeconds = 1.4;

// The bed of the truck, which catches, spans from kBedLeftOfCentrePx left of the catcher's
// centre to kBedRightOfCentrePx right of it.
constexpr double kBedLeftOfCentrePx = 55;
constexpr double kBedRightOfCentrePx = 4;

// The burst of sparks starts on the truck's bed and flies out in a ring, pulled down.
constexpr double kBurstLeftOfCentrePx = 24;
constexpr double kBurstY = 474;
constexpr double kSparkSpeedPxPerS = 60;  // plus kSparkSpeedStepPxPerS for every fifth spark
constexpr double kSparkSpeedStepPxPerS = 13;
constexpr double kSparkRisePxPerS = 100;   // the vertical part of the ring's speed
constexpr double kSparkLiftPxPerS = 90;    // upwards, added to every spark
constexpr double kSparkLifeSeconds = 0.6;  // plus kSparkLifeStepSeconds for every fourth spark
constexpr double kSparkLifeStepSeconds = 0.05;
constexpr double kSparkGravityPxPerS2 = 180;

void release_arrows(GameState& state) {
  state.left_held = 0;
  state.right_held = 0;
}

void burst_particles(GameState& state) {
  if (state.options.reduced_motion) return;  // no sparks fly for a player the motion troubles
  for (int i = 0; i < kParticleCount; ++i) {
    const double a = i * 2 * kPi / kParticleCount;
    Particle& p = state.particles[i];
    p.x = state.player_x - kBurstLeftOfCentrePx;
    p.y = kBurstY;
    p.vx = (kSparkSpeedPxPerS + kSparkSpeedStepPxPerS * (i % 5)) * std::cos(a);
    p.vy = kSparkRisePxPerS * std::sin(a) - kSparkLiftPxPerS;
    p.life = kSparkLifeSeconds + kSparkLifeStepSeconds * (i % 4);
    p.is_gold = state.item.is_gold;
  }
}

void catch_booster(GameState& state) {
  state.connected += 1;
  burst_particles(state);
  state.connect_flash_timer = kConnectFlashSeconds;

  state.cargo[state.cargo_count] = state.item.is_gold;
  state.cargo_count += 1;
  if (state.cargo_count == kCargoSlots) {  // the bed is emptied on its twelfth load
    std::fill(std::begin(state.cargo), std::end(state.cargo), 0);
    state.cargo_count = 0;
  }

  int points = kRedBoosterPoints;
  state.popup_kind = Popup::red_booster;
  if (state.item.is_gold) {
    points = kGoldBoosterPoints;
    state.lives += 1;
    state.popup_kind = Popup::gold_booster;
  }
  state.score += points;
  state.level_points += points;
  state.popup_timer = kCatchPopupSeconds;

  if (state.connected > kDevicesPerLevel - 1) {
    state.connected = kDevicesPerLevel;
    state.level_complete = 1;
    state.level_complete_timer = kInterludeSeconds;
    release_arrows(state);
    stop_stream(Stream::chime);
  }

  if (state.score > state.best_score && !state.assisted_game) {
    state.best_score = state.score;
    save_best_score(state.best_score);
  }

  play_success_arpeggio();
  spawn_item(state);
}

void catch_meander(GameState& state) {
  state.popup_kind = Popup::lost_life;
  state.connect_flash_timer = 0;
  state.popup_timer = kLostLifePopupSeconds;
  if (state.level_points > 0) state.level_points -= 1;
  if (state.connected > 0) state.connected -= 1;
  state.level_up_timer = 0;
  lose_life(state);
  if (stream_has_device(Stream::effects)) {
    stop_stream(Stream::effects);
    play_failure_buzz();
  }
}

// The scene's animation clock: the waves, the turbines and the arms hold still with reduced motion.
void advance_scene_clock(GameState& state, double dt) {
  if (!state.options.reduced_motion) state.play_clock += dt;
}

void play_step(GameState& state, double dt) {
  state.player_x += (state.right_held - state.left_held) * kPlayerSpeed * dt;
  state.player_x = std::clamp(state.player_x, kPlayerMinX, kPlayerMaxX);
  advance_scene_clock(state, dt);
  if (state.connect_flash_timer > 0) state.connect_flash_timer -= dt;
  update_particles(state, dt);

  const double old_y = state.item.y;
  state.item.y += state.item.fall_speed * dt;

  if (state.popup_timer > 0) state.popup_timer -= dt;
  if (state.level_up_timer > 0) state.level_up_timer -= dt;

  const double old_bottom = old_y + kItemHalfHeight;
  const double new_bottom = state.item.y + kItemHalfHeight;
  if (old_bottom < kCatchLineY && new_bottom < kCatchLineY) return;

  // An item is judged only in the one step in which its bottom edge crosses the catch line.
  if (old_bottom < kCatchLineY && state.item.x + kItemHalfWidth >= state.player_x - kBedLeftOfCentrePx &&
      state.item.x - kItemHalfWidth <= state.player_x + kBedRightOfCentrePx) {
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

// Everything connected: the waves and the sparks go on until the question comes.
void interlude_step(GameState& state, double dt) {
  advance_scene_clock(state, dt);
  update_particles(state, dt);
  state.level_complete_timer -= dt;
  if (state.level_complete_timer <= 0) start_question(state);
}

void countdown_step(GameState& state, double dt) {
  state.countdown -= dt;
  if (state.countdown <= 0) {
    state.countdown = 0;
    play_drop_chime(state);  // the item waiting at the top starts to fall
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
  state.player_x = kStartPlayerX;
  for (Particle& p : state.particles) p = Particle{};
  state.quiz_count = 0;
  state.screen = Screen::play;
  state.score = 0;
  state.connected = 0;
  state.level_points = 0;
  state.cargo_count = 0;
  state.lives = kStartLives;
  state.game_over = 0;
  state.play_clock = 0;
  state.connect_flash_timer = 0;
  state.level_up_timer = 0;
  state.popup_timer = 0;
  state.paused = 0;
  state.assisted_game = state.options.speed != kFullSpeed;
  release_arrows(state);
  for (int i = 0; i < kQuestionCount; ++i) state.question_order[i] = i;

  stop_stream(Stream::effects);
  restart_music(state);
  spawn_item(state);
}

void next_level(GameState& state) {
  state.screen = Screen::play;
  state.level += 1;
  state.level_up_timer = kLevelUpSeconds;
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
  if (state.options.speed != kFullSpeed) {
    // A slower game: the field's clock runs at speed percent of the real one, as one division
    // so that twice the time at half speed is exactly the same step. Its scores set no best.
    if (elapsed > 0) {
      dt = static_cast<double>(elapsed) * state.options.speed / (static_cast<double>(state.tick_frequency) * kFullSpeed);
    }
    state.assisted_game = 1;
  }
  dt = std::min(dt, kMaxTickSeconds);

  if (field_stands_still(state)) return;
  if (state.level_complete) {
    interlude_step(state, dt);
  } else if (state.countdown > 0) {
    countdown_step(state, dt);
  } else {
    play_step(state, dt);
  }
}

bool field_stands_still(const GameState& state) {
  return !state.has_focus || state.options_open || state.title_screen || state.paused || state.game_over || state.screen != Screen::play;
}

void spawn_item(GameState& state) {
  FallingItem& item = state.item;
  const int32_t r1 = state.random.next();
  item.y = kItemSpawnY;
  item.x = (r1 % kSpawnXChoices) + kSpawnMinX;
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
    p.vy += kSparkGravityPxPerS2 * dt;
    p.life -= dt;
  }
}

void toggle_music(GameState& state) {
  state.music_muted = !state.music_muted;
  apply_audio_pause(state);
  save_options(state);
}

bool drop_chime_audible(const GameState& state) {
  return !state.title_screen && state.screen == Screen::play && !state.level_complete && !(state.countdown > 0);
}
