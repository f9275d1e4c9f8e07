// Sleeping through the screens where nothing moves. On the title, the quiz screens, in
// pause, after game over and without focus a tick does nothing but store the counter, so
// the loop stops waking for it and waits for the next event instead. When it wakes, the
// ticks it slept through are accounted for as they would have run: each would only have
// stored the counter at its deadline, so the last one's is stored, and the 16 ms beat
// carries on from there. The game cannot tell: the first tick that runs the field again
// measures one period, exactly as if the loop had never slept.
#pragma once

#include <cstdint>

#include "game/game_state.h"

// A sleeping loop wakes this often anyway: pads are read only when the loop looks at them
// (app/desktop/loop.cpp), so one plugged in is noticed within half a second, and the
// buttons of one plugged in are read three beats apart while the field stands still.
inline constexpr int kStillWaitMilliseconds = 500;
inline constexpr int kStillWaitWithPadsMilliseconds = 48;

// A compositor may not show the first picture it is given once the window appears or changes
// shape: on Wayland on a busy machine the whole window, decorations too, stayed black, and a
// still screen is presented only when it changes. So for a while after the window was shown,
// exposed or resized, a still screen is shown again at each of these shorter wakes.
inline constexpr int kSettleMilliseconds = 5000;
inline constexpr int kSettleWaitMilliseconds = 250;

struct SleptTicks {
  bool any = false;            // at least one tick fell due while we slept
  uint64_t last_deadline = 0;  // the deadline of the last of them: the counter it would have stored
  uint64_t next_deadline = 0;  // the deadline to wait for next
};

// The ticks that fell due between the pending deadline and now, on the beat of `period`.
inline SleptTicks ticks_slept_through(uint64_t deadline, uint64_t now, uint64_t period) {
  if (now < deadline || period == 0) return {false, 0, deadline};
  const uint64_t last = deadline + (now - deadline) / period * period;
  return {true, last, last + period};
}

// On waking from a sleep, before any event is handled: the ticks slept through are taken as
// run. Each would have run `before_tick` (what the loop does before every tick) and then
// only stored the counter at its deadline. Returns the deadline to wait for next.
template <typename BeforeTick>
uint64_t wake_from_sleep(GameState& state, uint64_t deadline, uint64_t now, uint64_t period, BeforeTick before_tick) {
  const SleptTicks slept = ticks_slept_through(deadline, now, period);
  if (!slept.any) return deadline;
  before_tick();
  state.tick_last_count = static_cast<int64_t>(slept.last_deadline);
  return slept.next_deadline;
}
