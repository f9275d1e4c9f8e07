// The 16 ms beat: deadlines that do not drift, whole-millisecond sleeps that never wake
// early, and no burst of ticks after a stall.
#include <gtest/gtest.h>

#include <vector>

#include "app/pacing.h"

TEST(Pacing, ThePeriodIsSixteenMillisecondsInCounterCounts) {
  EXPECT_EQ(tick_period_counts(1'000'000'000), 16'000'000u);
  EXPECT_EQ(tick_period_counts(1'000), 16u);
  EXPECT_EQ(tick_period_counts(10), 1u) << "never zero, or the loop would spin";
}

TEST(Pacing, DeadlinesFollowTheOneMetNotTheMomentOfWaking) {
  EXPECT_EQ(next_tick_deadline(1000, 1000, 16), 1016u);
  EXPECT_EQ(next_tick_deadline(1000, 1001, 16), 1016u) << "woken late: the next deadline does not move";
  EXPECT_EQ(next_tick_deadline(1000, 1015, 16), 1016u);
  EXPECT_EQ(next_tick_deadline(1000, 1016, 16), 1032u) << "a whole period late: start afresh";
  EXPECT_EQ(next_tick_deadline(1000, 1500, 16), 1516u) << "after a stall: one period from now, no catch-up";
}

TEST(Pacing, SleepsAreWholeMillisecondsRoundedUp) {
  constexpr uint64_t kNanos = 1'000'000'000;
  EXPECT_EQ(wait_milliseconds(0, 16'000'000, kNanos), 16);
  EXPECT_EQ(wait_milliseconds(0, 15'200'000, kNanos), 16) << "15.2 ms: wake after the deadline, not before";
  EXPECT_EQ(wait_milliseconds(0, 1, kNanos), 1);
  EXPECT_EQ(wait_milliseconds(0, 1'000'000, kNanos), 1);
  EXPECT_EQ(wait_milliseconds(0, 1'000'001, kNanos), 2);
  EXPECT_EQ(wait_milliseconds(500, 500, kNanos), 0) << "due now";
  EXPECT_EQ(wait_milliseconds(600, 500, kNanos), 0) << "overdue";
  EXPECT_EQ(wait_milliseconds(0, 3 * kNanos, kNanos), 17) << "never more than a period and a millisecond";
  EXPECT_EQ(wait_milliseconds(0, 16, 1000), 16);
  EXPECT_EQ(wait_milliseconds(0, 16, 0), 0);
}

namespace {

// The loop's timing alone, on a microsecond clock: sleep as told plus some lateness of
// the system's own, tick when due. Returns the tick times.
std::vector<uint64_t> simulate_ticks(int count, uint64_t stall_at_tick = 0, uint64_t stall = 0) {
  constexpr uint64_t kMicros = 1'000'000;
  const uint64_t period = tick_period_counts(kMicros);
  std::vector<uint64_t> ticks;
  uint64_t now = 0;
  uint64_t deadline = now + period;
  uint32_t jitter = 12345;
  while (static_cast<int>(ticks.size()) < count) {
    if (now >= deadline) {
      ticks.push_back(now);
      if (ticks.size() == stall_at_tick) now += stall;  // a slow frame or a dragged window
      deadline = next_tick_deadline(deadline, now, period);
    }
    jitter = jitter * 1103515245u + 12345u;
    now += static_cast<uint64_t>(wait_milliseconds(now, deadline, kMicros)) * 1000 + (jitter >> 16) % 900;
  }
  return ticks;
}

}  // namespace

TEST(Pacing, ThousandsOfTicksKeepTheAveragePeriodWithoutDrift) {
  const std::vector<uint64_t> ticks = simulate_ticks(3000);
  for (size_t i = 0; i < ticks.size(); ++i) {
    const uint64_t ideal = (i + 1) * 16'000;
    ASSERT_GE(ticks[i], ideal) << "tick " << i << " came early";
    ASSERT_LT(ticks[i], ideal + 2'000) << "tick " << i << " drifted late";
  }
}

TEST(Pacing, AStallGivesOneLateTickAndThenTheBeatAgainNotABurst) {
  const std::vector<uint64_t> ticks = simulate_ticks(20, /*stall_at_tick=*/5, /*stall=*/200'000);
  // Tick 5 (index 4) took 200 ms; index 5 follows one period after it ended, and the
  // beat goes on from there. A tick may come up to 2 ms early against the previous
  // one when that one woke late, never more.
  EXPECT_GE(ticks[5] - ticks[4], 200'000u + 16'000u);
  for (size_t i = 6; i < ticks.size(); ++i) {
    EXPECT_GE(ticks[i] - ticks[i - 1], 14'000u) << "ticks " << i - 1 << " and " << i << " ran back to back";
    EXPECT_GE(ticks[i], ticks[5] + (i - 5) * 16'000u - 2'000u);
  }
}
