// The 16 ms beat of the game, kept by deadlines on the high-resolution counter. The window
// loop sleeps in whole milliseconds until the next deadline; deriving each deadline from
// the previous one (not from when we woke) keeps the period from drifting.
#pragma once

#include <cstdint>

inline constexpr uint64_t kTickMilliseconds = 16;

// The tick period in counter counts; never 0, whatever the counter's frequency.
inline uint64_t tick_period_counts(uint64_t frequency) {
  const uint64_t counts = frequency * kTickMilliseconds / 1000;
  return counts > 0 ? counts : 1;
}

// The deadline after the one just met: one period later, unless that is already past
// (a stall, a slow frame), in which case one period from now. Missed ticks are dropped,
// never run back to back: the tick itself measures how much time really passed.
inline uint64_t next_tick_deadline(uint64_t met_deadline, uint64_t now, uint64_t period) {
  const uint64_t next = met_deadline + period;
  return next > now ? next : now + period;
}

// Whole milliseconds to sleep from now until the deadline, rounded up so that we wake at
// or after it and never spin just short of it; 0 when it is due. At most one period and
// a millisecond, should the counter ever run backwards.
inline int wait_milliseconds(uint64_t now, uint64_t deadline, uint64_t frequency) {
  if (deadline <= now || frequency == 0) return 0;
  const uint64_t limit = kTickMilliseconds + 1;
  const uint64_t counts = deadline - now;
  if (counts / frequency >= 1) return static_cast<int>(limit);
  const uint64_t ms = (counts * 1000 + frequency - 1) / frequency;
  return static_cast<int>(ms < limit ? ms : limit);
}
