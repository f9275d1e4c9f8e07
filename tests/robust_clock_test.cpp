// Time as the counter reports it, when the counter misbehaves: it runs backwards, jumps
// by years, or wraps past its largest value. The game must take none of that as time
// running backwards or as a reason to leap.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "game/input.h"
#include "game/rules.h"
#include "tests/fake_host.h"

namespace {

// A running game with the catcher held to the right and the item high above the line.
GameState running_game(FakeHost& host) {
  GameState s = started_state(host, 11);
  on_key_down(s, Key::space, false);
  s.countdown = 0;
  on_key_down(s, Key::right, false);
  s.item.y = 100;
  return s;
}

TEST(BackwardsCounter, DuringTheCountdownNoTimePassesAndTheCountdownNeverGrows) {
  FakeHost host;
  GameState s = started_state(host);
  on_key_down(s, Key::space, false);
  ASSERT_EQ(s.countdown, 3.0);
  tick_for(s, host, 0.5);
  ASSERT_NEAR(s.countdown, 2.95, 1e-12);  // a long step counts as 0.05 s

  host.counter -= 1000;  // a whole second backwards
  tick(s);
  EXPECT_NEAR(s.countdown, 2.95, 1e-12);

  // Time is measured from where the counter now stands, not from where it was.
  tick_for(s, host, 0.016);
  EXPECT_NEAR(s.countdown, 2.934, 1e-12);
}

TEST(BackwardsCounter, InPlayNothingMovesBackOrWaitsLonger) {
  FakeHost host;
  GameState s = running_game(host);
  s.popup_timer = 0.5;
  s.level_up_timer = 0.5;
  s.connect_flash_timer = 0.5;
  const GameState before = s;

  host.counter -= 40;  // 40 ms backwards
  tick(s);
  EXPECT_EQ(s.item.y, before.item.y) << "the item rose";
  EXPECT_EQ(s.player_x, before.player_x) << "the catcher moved against the held key";
  EXPECT_EQ(s.play_clock, before.play_clock);
  EXPECT_EQ(s.popup_timer, before.popup_timer);
  EXPECT_EQ(s.level_up_timer, before.level_up_timer);
  EXPECT_EQ(s.connect_flash_timer, before.connect_flash_timer);

  tick_for(s, host, 0.010);
  EXPECT_NEAR(s.item.y, before.item.y + s.item.fall_speed * 0.010, 1e-9);
  EXPECT_NEAR(s.player_x, before.player_x + kPlayerSpeed * 0.010, 1e-9);
}

TEST(BackwardsCounter, TheInterludeDoesNotStretch) {
  FakeHost host;
  GameState s = running_game(host);
  s.level_complete = 1;
  s.level_complete_timer = 1.0;
  host.counter -= 1'000'000;
  tick(s);
  EXPECT_EQ(s.level_complete_timer, 1.0);
}

TEST(CounterJumps, AJumpOfYearsCountsAsOneLongStep) {
  FakeHost host;
  GameState s = running_game(host);
  const double y = s.item.y;
  host.counter += int64_t{1000} * 3600 * 24 * 365 * 100;  // a century, in milliseconds
  tick(s);
  EXPECT_NEAR(s.item.y, y + s.item.fall_speed * kMaxTickSeconds, 1e-9);
}

TEST(CounterJumps, ACounterThatWrapsPastItsLargestValueStillMeasuresTheStep) {
  FakeHost host;
  GameState s = running_game(host);
  const double y = s.item.y;
  // 3 ms before the top of the signed range, then 10 ms later: 7 ms past the wrap.
  s.tick_last_count = std::numeric_limits<int64_t>::max() - 2;
  host.counter = std::numeric_limits<int64_t>::min() + 7;
  tick(s);
  EXPECT_NEAR(s.item.y, y + s.item.fall_speed * 0.010, 1e-9);
  EXPECT_EQ(s.tick_last_count, host.counter);
}

TEST(CounterJumps, FromTheBottomOfTheRangeToTheTopIsNotNegativeTime) {
  FakeHost host;
  GameState s = running_game(host);
  s.tick_last_count = std::numeric_limits<int64_t>::min();
  host.counter = std::numeric_limits<int64_t>::max();  // a wrapped difference of -1 count
  const double y = s.item.y;
  tick(s);
  EXPECT_EQ(s.item.y, y);
}

}  // namespace
