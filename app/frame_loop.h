// The game's one loop, whatever drives it: a tick on every 16 ms deadline (pacing.h) while
// the field runs, each followed by its frame; frames that would show what the window
// already shows skipped (frame_showing.h); no ticks at all while the field stands still,
// only waits for events (idle_pacing.h); and for a while after the window lost its picture
// (shown, exposed, resized, a new texture) a still screen shown again every quarter second,
// for the compositors that drop the first picture they get.
//
// The desktop waits for events between the turns (app/desktop/), the browser calls once per
// frame it paints (app/web/). Every moment is a counter value handed in, so the tests drive
// the same loop on a simulated clock.
#pragma once

#include <cstdint>

#include "game/game_state.h"

class FrameLoop {
 public:
  // What the loop asks of the window it runs in.
  class Window {
   public:
    // Before every tick, and once for the ticks slept through: what the player holds, pressed again.
    virtual void repeat_holds() = 0;
    // The state's frame, composed and presented when it differs from the one shown, or
    // presented again as it is when `again`.
    virtual void show(bool again) = 0;

   protected:
    ~Window() = default;
  };

  // `skip_unchanged` false (ORBILUX_RUSH_NO_FRAME_SKIP) ticks and presents throughout, to
  // compare against. Shows the first frame at once, not a beat later.
  FrameLoop(GameState& state, Window& window, uint64_t frequency, bool skip_unchanged, uint64_t now);

  // The tick that fell due, with its frame, unless the field stands still; true when it ran.
  bool run_due_tick(uint64_t now);
  // How long the desktop may wait for an event from `now`: until the next deadline, or
  // while the field stands still until the next settling frame or a while longer. 0: look
  // for events and come straight back.
  int milliseconds_to_wait(uint64_t now, bool pads_plugged) const;
  // After a wait, or at a browser's frame, before any event: the ticks that fell due while
  // the field stood still taken as run, and a settling still screen shown again.
  void woke(uint64_t now);
  // An event left the window without its picture: shown again after the events, and the
  // screen settles anew.
  void picture_lost(uint64_t now);
  // After the events: what they changed shows at once, as a still screen has no tick to show it.
  void show_after_events();

  bool sleeping() const;

 private:
  GameState& state_;
  Window& window_;
  const bool skip_unchanged_;
  const uint64_t frequency_, period_, settle_counts_, settle_wait_counts_;
  uint64_t deadline_;
  uint64_t settled_at_;        // until then a still screen is shown again...
  uint64_t next_settle_show_;  // ...at this moment next
  bool repaint_ = false;
};
