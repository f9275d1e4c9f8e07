#include "app/frame_loop.h"

#include <algorithm>

#include "app/idle_pacing.h"
#include "app/pacing.h"
#include "app/perf_trace.h"
#include "game/rules.h"

FrameLoop::FrameLoop(GameState& state, Window& window, uint64_t frequency, bool skip_unchanged, uint64_t now)
    : state_(state),
      window_(window),
      skip_unchanged_(skip_unchanged),
      frequency_(frequency),
      period_(tick_period_counts(frequency)),
      settle_counts_(frequency * kSettleMilliseconds / 1000),
      settle_wait_counts_(frequency * kSettleWaitMilliseconds / 1000),
      deadline_(now + period_),
      settled_at_(now + settle_counts_),
      next_settle_show_(now + settle_wait_counts_) {
  window_.show(true);
}

bool FrameLoop::sleeping() const { return skip_unchanged_ && field_stands_still(state_); }

bool FrameLoop::run_due_tick(uint64_t now) {
  // While still, the ticks that fall due are accounted for on waking (idle_pacing.h).
  if (now < deadline_ || sleeping()) return false;
  window_.repeat_holds();
  tick(state_);
  trace_tick(now);
  window_.show(repaint_);
  repaint_ = false;
  deadline_ = next_tick_deadline(deadline_, now, period_);
  return true;
}

int FrameLoop::milliseconds_to_wait(uint64_t now, bool pads_plugged) const {
  if (!sleeping()) return wait_milliseconds(now, deadline_, frequency_);
  if (now < settled_at_) {
    if (next_settle_show_ <= now) return 0;
    const uint64_t ms = ((next_settle_show_ - now) * 1000 + frequency_ - 1) / frequency_;
    return static_cast<int>(std::min<uint64_t>(ms, kSettleWaitMilliseconds));
  }
  return pads_plugged ? kStillWaitWithPadsMilliseconds : kStillWaitMilliseconds;
}

void FrameLoop::woke(uint64_t now) {
  if (!sleeping()) return;
  if (now < settled_at_ && now >= next_settle_show_) {
    repaint_ = true;
    next_settle_show_ = now + settle_wait_counts_;
  }
  // The ticks we slept through would only have stored the counter, before any event.
  deadline_ = wake_from_sleep(state_, deadline_, now, period_, [this] { window_.repeat_holds(); });
}

void FrameLoop::picture_lost(uint64_t now) {
  repaint_ = true;
  settled_at_ = now + settle_counts_;
  next_settle_show_ = now + settle_wait_counts_;
}

void FrameLoop::show_after_events() {
  // Without frame skipping the ticks present throughout; only a lost picture needs one more.
  if (skip_unchanged_ || repaint_) window_.show(repaint_);
  repaint_ = false;
}
