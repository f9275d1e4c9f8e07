// The options: their file's reader against random text, a slower game against a full-speed
// one over stretched time, and the options screen by keys against the same by clicks.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "game/input.h"
#include "game/options_screen.h"
#include "game/rules.h"
#include "tests/fake_host.h"
#include "tests/game_invariants.h"

namespace {

// Any short printable name stands for a key, spelled as given.
bool any_name(const char* name, KeyName& out) {
  if (std::strlen(name) >= sizeof out.text) return false;
  out = KeyName{};
  std::strcpy(out.text, name);
  return true;
}

TEST(OptionsFile, RandomLinesNeverFailAndWhatIsWrittenReadsBack) {
  const char* names[] = {"music_volume", "effects_volume", "key_left", "key_right", "key_pause", "key_restart",
                         "key_music",    "speed",          "reduced_motion", "music_muted", "", "x"};
  const char* values[] = {"0", "50", "100", "105", "55", "-10", "85", "1", "2", "A", "Space", "Left", "S", "Escape", "", " 70 "};
  std::mt19937 rng(30);
  for (int run = 0; run < 3000; ++run) {
    std::string text;
    for (int line = static_cast<int>(rng() % 12); line > 0; --line) {
      if (rng() % 5 == 0) {
        for (int n = static_cast<int>(rng() % 20); n > 0; --n) text += static_cast<char>(rng() % 256);
      } else {
        text += std::string(names[rng() % std::size(names)]) + (rng() % 4 ? " = " : "=") + values[rng() % std::size(values)];
      }
      text += rng() % 6 ? "\n" : "\r\n";
    }
    PlayerOptions options;
    int32_t muted = 0;
    read_options(text, any_name, options, muted);
    ASSERT_EQ(check_options(options, muted), "") << text;
    PlayerOptions again;
    int32_t muted_again = 1 - muted;
    read_options(write_options(options, muted), any_name, again, muted_again);
    ASSERT_EQ(again, options) << text;
    ASSERT_EQ(muted_again, muted);
  }
}

TEST(OptionsFile, TwoKeysSwappedByHandBothHold) {
  PlayerOptions options;
  int32_t muted = 0;
  read_options("key_left = Right\nkey_right = Left\nkey_pause = Left\n", any_name, options, muted);
  EXPECT_STREQ(options.keys[0].text, "Right");
  EXPECT_STREQ(options.keys[1].text, "Left");
  EXPECT_STREQ(options.keys[2].text, "Space");  // taken: back to its default
}

// Everything the player could see of a game, apart from the options, the best (a slower
// game sets none) and the clock's counts.
GameState seen(GameState s) {
  s.options = PlayerOptions{};
  s.assisted_game = s.best_score = 0;
  s.tick_last_count = 0;
  return s;
}

TEST(GameSpeed, ASlowerGameOverStretchedTimeIsTheFullSpeedGameAndSetsNoBest) {
  for (const int speed : {50, 70, 85}) {
    FakeHost host;
    GameState full = started_state(host, 7);
    on_key_down(full, Key::space, false);
    GameState slow = full;
    slow.options.speed = speed;
    // A real step of 16,000 counts at `speed` percent is exactly 160 * speed counts at full
    // speed: the same division of whole numbers, so the same step to the last bit.
    full.tick_frequency = slow.tick_frequency = 1'000'000;
    int64_t full_counter = full.tick_last_count = 0, slow_counter = slow.tick_last_count = 0;
    for (int step = 0; step < 6000; ++step) {
      for (GameState* s : {&full, &slow}) {
        if (step % 400 == 0) on_key_down(*s, Key::left, false);
        if (step % 400 == 150) on_key_up(*s, Key::left);
        if (step % 400 > 200) s->player_x = s->item.x + 25;  // under the item, for catches
      }
      host.counter = full_counter += 160 * speed;
      tick(full);
      host.counter = slow_counter += 16'000;
      tick(slow);
      ASSERT_EQ(seen(slow), seen(full)) << "speed " << speed << " step " << step;
    }
    EXPECT_GT(full.best_score, 0) << "the session caught nothing";
    EXPECT_EQ(slow.best_score, 0);
  }
}

TEST(ReducedMotion, TheSceneAndTheSparksHoldStill) {
  FakeHost host;
  GameState s = started_state(host, 3);
  s.options.reduced_motion = 1;
  on_key_down(s, Key::space, false);
  for (int i = 0; i < 3000; ++i) {
    s.player_x = s.item.x + 25;
    tick_for(s, host, 0.02);
    for (const Particle& p : s.particles) ASSERT_LE(p.life, 0);
  }
  EXPECT_GT(s.score, 0);
  EXPECT_EQ(s.play_clock, 0);
}

// Every row changed once by a key and once by a click on its value or on the row: the same options.
TEST(OptionsScreen, KeysAndClicksChangeTheSameWay) {
  for (int row = 0; row < static_cast<int>(OptionRow::reset_keys); ++row) {
    for (const int direction : {-1, 1}) {
      FakeHost host;
      GameState by_key = started_state(host);
      by_key.options.music_volume = 50;
      by_key.options.speed = 70;
      on_key_down(by_key, Key::options, false);
      ASSERT_EQ(by_key.options_open, 1);
      GameState by_click = by_key;
      for (int i = 0; i < row; ++i) on_key_down(by_key, Key::down, false);
      const bool is_key_row = row >= static_cast<int>(OptionRow::key_left);
      on_key_down(by_key, is_key_row ? Key::enter : direction < 0 ? Key::left : Key::right, false);
      const int y = kOptionRowTop + row * kOptionRowPitch + 10;
      const int x = row <= static_cast<int>(OptionRow::speed) ? (direction < 0 ? 500 : 700) : 100;
      if (row == static_cast<int>(OptionRow::reduced_motion) && direction < 0) continue;  // a click toggles
      on_options_click(by_click, x, y, kFieldWidth, kFieldHeight);
      ASSERT_EQ(by_key, by_click) << "row " << row << " direction " << direction;
      if (is_key_row) {
        // A key another action holds is refused; a free one is taken.
        EXPECT_TRUE(on_key_named(by_key, "Return"));
        EXPECT_EQ(by_key.options_refused, 1);
        on_key_down(by_key, Key::enter, false);
        EXPECT_TRUE(on_key_named(by_key, "F5"));
        EXPECT_STREQ(by_key.options.keys[row - static_cast<int>(OptionRow::key_left)].text, "F5");
      }
    }
  }
}

TEST(OptionsScreen, OpensOnlyOverAStillField) {
  FakeHost host;
  GameState s = started_state(host);
  on_key_down(s, Key::space, false);
  on_key_down(s, Key::options, false);
  EXPECT_EQ(s.options_open, 0);  // a running game does not stop for it
  on_key_down(s, Key::space, false);
  on_options_click(s, 750, 40, kFieldWidth, kFieldHeight);
  EXPECT_EQ(s.options_open, 1);
  EXPECT_TRUE(field_stands_still(s));
  on_key_down(s, Key::esc, false);
  EXPECT_EQ(s.options_open, 0);
  EXPECT_EQ(host.close_requests, 0);
}

}  // namespace
