// The loop sleeps while the field stands still instead of ticking every 16 ms. The game must
// not be able to tell: the same events at the same moments give the same states after every
// event and every tick that runs the field, and the same sound requests, as a loop that
// never sleeps. The game's own loop (app/frame_loop.h) runs here on a simulated clock against
// a loop that ticks on every deadline, with the real rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/idle_pacing.h"
#include "app/pacing.h"
#include "game/input.h"
#include "game/rules.h"
#include "tests/fake_host.h"

namespace {

// The simulated counter counts milliseconds, so that a wait ends exactly when the loop asked.
constexpr int64_t kFrequency = 1'000;
constexpr uint64_t kPeriod = 16;

enum class Kind { key_down, key_up, click, focus_lost, focus_gained, pad_left_down, pad_left_up };

struct Event {
  uint64_t at;  // counter value, never on the beat
  Kind kind;
  Key key = Key::other;
  int x = 0, y = 0;
};

// What the player sees and hears: the whole state after a moment, and the calls made since.
struct Record {
  std::string what;  // the moment and the calls
  GameState state;
  bool operator==(const Record&) const = default;
};

// Enough of a state to tell where two runs parted.
std::string summary(const Record& r) {
  const GameState& s = r.state;
  char text[256];
  std::snprintf(text, sizeof text, " (screen %d title %d paused %d countdown %a level %d score %d x %a item y %a)",
                static_cast<int>(s.screen), s.title_screen, s.paused, s.countdown, s.level, s.score, s.player_x,
                s.item.y);
  return r.what + text;
}

// A player who mostly waits on still screens and sometimes plays: long gaps and short ones.
std::vector<Event> random_script(uint32_t seed, uint64_t length) {
  std::mt19937 rng(seed);
  std::vector<Event> events;
  uint64_t at = 5;
  const Key keys[] = {Key::space, Key::space, Key::space, Key::left, Key::right, Key::a,    Key::b,    Key::c,
                      Key::d,     Key::enter, Key::m,     Key::r,    Key::o,     Key::left, Key::right};
  // The last event comes a beat before the end, so that both loops see all of them.
  while (at + 2 * kPeriod < length) {
    // From a fraction of a tick to several seconds.
    const unsigned gap_kind = rng() % 10;
    const uint64_t gap = gap_kind < 4 ? 1 + rng() % 15 : gap_kind < 8 ? 1 + rng() % 900 : rng() % 6'000;
    at += gap;
    if (at % kPeriod == 0) ++at;  // an event never lands exactly on a deadline
    Event e{at, Kind::key_down};
    const unsigned pick = rng() % 100;
    if (pick < 55) {
      e.key = keys[rng() % std::size(keys)];
    } else if (pick < 75) {
      e.kind = Kind::key_up;
      e.key = rng() % 2 ? Key::left : Key::right;
    } else if (pick < 83) {
      e.kind = rng() % 2 ? Kind::focus_lost : Kind::focus_gained;
    } else if (pick < 91) {
      e.kind = rng() % 2 ? Kind::pad_left_down : Kind::pad_left_up;
    } else {
      e.kind = Kind::click;
      e.x = static_cast<int>(rng() % 800);
      e.y = static_cast<int>(rng() % 600);
    }
    if (at + 2 * kPeriod < length) events.push_back(e);
  }
  return events;
}

// A pad holding Left, repeated before every tick as the shell does (shell_input.h).
struct Pad {
  bool left = false;
};

void before_tick(GameState& state, const Pad& pad) {
  if (pad.left && state.has_focus) on_key_down(state, Key::left, true);
}

void handle(GameState& state, Pad& pad, const Event& e) {
  switch (e.kind) {
    case Kind::key_down:
      on_key_down(state, e.key, false);
      break;
    case Kind::key_up:
      on_key_up(state, e.key);
      break;
    case Kind::click:
      on_click(state, e.x, e.y, 800, 600);
      break;
    case Kind::focus_lost:
      on_focus_lost(state);
      break;
    case Kind::focus_gained:
      on_focus_gained(state);
      break;
    case Kind::pad_left_down:
      pad.left = true;
      on_key_down(state, Key::left, false);
      break;
    case Kind::pad_left_up:
      pad.left = false;
      on_key_up(state, Key::left);
      break;
  }
}

class Session {
 public:
  explicit Session(uint32_t seed) : state_(started_state(host_, seed)) {
    state_.tick_frequency = kFrequency;
    state_.tick_last_count = 0;
    host_.counter = 0;
  }

  void at(uint64_t now) { host_.counter = static_cast<int64_t>(now); }
  void event(const Event& e) {
    handle(state_, pad_, e);
    note("event");
  }
  void tick() {
    before_tick(state_, pad_);
    const bool runs = !field_stands_still(state_);
    ::tick(state_);
    if (runs) note("tick");
  }
  // A tick the loop under test ran (and the field with it).
  void ticked() { note("tick"); }
  GameState& state() { return state_; }
  Pad& pad() { return pad_; }
  const std::vector<Record>& records() const { return records_; }
  int ticks_run() const { return ticks_run_; }

 private:
  void note(const char* what) {
    std::string calls;
    for (const std::string& call : host_.calls) calls += call + ";";
    host_.calls.clear();
    records_.push_back({std::string(what) + " | " + calls, state_});
    if (what[0] == 't') ++ticks_run_;
  }

  FakeHost host_;
  GameState state_;
  Pad pad_;
  std::vector<Record> records_;
  int ticks_run_ = 0;
};

// The loop that never sleeps: a tick on every deadline, the events in between.
std::vector<Record> ticking_throughout(uint32_t seed, const std::vector<Event>& events, uint64_t end,
                                       int* ticks = nullptr) {
  Session session(seed);
  size_t next = 0;
  for (uint64_t deadline = kPeriod; deadline <= end; deadline += kPeriod) {
    for (; next < events.size() && events[next].at < deadline; ++next) {
      session.at(events[next].at);
      session.event(events[next]);
    }
    session.at(deadline);
    session.tick();
  }
  if (ticks) *ticks = session.ticks_run();
  return session.records();
}

// How a sleeping loop could account for the ticks it slept through.
enum class Waking {
  as_the_game_does,  // FrameLoop::woke: the last deadline's counter, the beat kept
  not_at_all,        // the counter left as it was: the first tick sees the whole sleep (clamped to 0.05 s)
  tick_on_waking,    // a tick on waking as well stores the counter of that moment
};

// The window the loop under test runs in: the simulated pad's holds, and a record of each tick.
class SimulatedWindow final : public FrameLoop::Window {
 public:
  explicit SimulatedWindow(Session& session) : session_(session) {}
  void repeat_holds() override { before_tick(session_.state(), session_.pad()); }
  void show(bool) override {
    if (ticking) session_.ticked();  // every frame after a tick: the loop ticks only a running field
  }
  bool ticking = false;

 private:
  Session& session_;
};

// The game's loop on the simulated clock, with waits that end at the next event or when asked.
std::vector<Record> sleeping_when_still(uint32_t seed, const std::vector<Event>& events, uint64_t end, Waking waking,
                                        int* sleeps = nullptr) {
  Session session(seed);
  GameState& state = session.state();
  SimulatedWindow window(session);
  FrameLoop loop(state, window, kFrequency, true, 0);
  size_t next = 0;
  uint64_t now = 0;
  int slept = 0;
  while (now <= end) {
    session.at(now);
    window.ticking = true;
    loop.run_due_tick(now);
    window.ticking = false;
    const uint64_t next_event = next < events.size() ? events[next].at : UINT64_MAX;
    slept += loop.sleeping();
    now = std::min(next_event, now + loop.milliseconds_to_wait(now, false));
    session.at(now);
    const int64_t counter_before = state.tick_last_count;
    loop.woke(now);
    if (waking == Waking::not_at_all) state.tick_last_count = counter_before;
    if (waking == Waking::tick_on_waking && loop.sleeping()) {
      before_tick(state, session.pad());
      ::tick(state);
    }
    for (; next < events.size() && events[next].at <= now; ++next) {
      session.at(events[next].at);
      session.event(events[next]);
    }
    loop.show_after_events();
  }
  if (sleeps) *sleeps = slept;
  return session.records();
}

size_t first_difference(const std::vector<Record>& a, const std::vector<Record>& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (!(a[i] == b[i])) return i;
  }
  return n;
}

TEST(SleepingWhileStill, TheSlotsOfTheBeat) {
  // Before the deadline nothing fell due.
  SleptTicks t = ticks_slept_through(1000, 999, 16);
  EXPECT_FALSE(t.any);
  EXPECT_EQ(t.next_deadline, 1000u);
  // On the deadline, that tick and no other.
  t = ticks_slept_through(1000, 1000, 16);
  EXPECT_TRUE(t.any);
  EXPECT_EQ(t.last_deadline, 1000u);
  EXPECT_EQ(t.next_deadline, 1016u);
  // Just before the next one: still the first.
  t = ticks_slept_through(1000, 1015, 16);
  EXPECT_EQ(t.last_deadline, 1000u);
  EXPECT_EQ(t.next_deadline, 1016u);
  // Hours later the beat is still where it was.
  t = ticks_slept_through(1000, 1000 + 16 * 225'000'000ull + 7, 16);
  EXPECT_EQ(t.last_deadline, 1000 + 16 * 225'000'000ull);
  EXPECT_EQ(t.next_deadline, t.last_deadline + 16);
}

TEST(SleepingWhileStill, WakingStoresTheLastDeadlineAndRunsWhatComesBeforeATick) {
  FakeHost host;
  GameState state = started_state(host);  // on the title
  state.tick_last_count = 3;
  int before = 0;
  EXPECT_EQ(wake_from_sleep(state, 100, 99, 16, [&] { ++before; }), 100u);
  EXPECT_EQ(before, 0) << "no tick fell due, so nothing before one ran";
  EXPECT_EQ(state.tick_last_count, 3);
  EXPECT_EQ(wake_from_sleep(state, 100, 150, 16, [&] { ++before; }), 164u);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(state.tick_last_count, 148);
}

TEST(SleepingWhileStill, AfterSpaceOnThePausePanelTheCountdownLosesOneBeatNotASleep) {
  // Paused for two seconds, then Space: the first tick of the new countdown takes 16 ms off
  // it, as when the loop never sleeps, not the 0.05 s a tick after a long sleep would.
  const std::vector<Event> events = {
      {101, Kind::key_down, Key::space},    // title -> countdown
      {3'501, Kind::key_down, Key::space},  // pause, in play
      {5'503, Kind::key_down, Key::space},  // resume: GET READY from 3
  };
  const uint64_t end = 5'600;
  const std::vector<Record> ticking = ticking_throughout(7, events, end);
  const std::vector<Record> sleeping = sleeping_when_still(7, events, end, Waking::as_the_game_does);
  ASSERT_EQ(first_difference(ticking, sleeping), ticking.size());
  EXPECT_EQ(ticking.size(), sleeping.size());

  const std::vector<Record> careless = sleeping_when_still(7, events, end, Waking::not_at_all);
  EXPECT_LT(first_difference(ticking, careless), ticking.size()) << "a test that cannot fail proves nothing";
}

TEST(SleepingWhileStill, RandomSessionsLookTheSameAsTickingThroughout) {
  int compared_ticks = 0, sleeps = 0, careless_differ = 0, eager_differ = 0;
  for (uint32_t seed = 1; seed <= 16; ++seed) {
    const uint64_t end = 120'000;  // two minutes each
    const std::vector<Event> events = random_script(seed * 7919, end);
    int ticks = 0, slept = 0;
    const std::vector<Record> ticking = ticking_throughout(seed, events, end, &ticks);
    const std::vector<Record> sleeping = sleeping_when_still(seed, events, end, Waking::as_the_game_does, &slept);
    const size_t at = first_difference(ticking, sleeping);
    ASSERT_EQ(at, ticking.size()) << "seed " << seed << ", record " << at
                                  << "\nticking:  " << (at < ticking.size() ? summary(ticking[at]) : "(end)")
                                  << "\nsleeping: " << (at < sleeping.size() ? summary(sleeping[at]) : "(end)");
    ASSERT_EQ(ticking.size(), sleeping.size()) << "seed " << seed;
    compared_ticks += ticks;
    sleeps += slept;
    careless_differ +=
        first_difference(ticking, sleeping_when_still(seed, events, end, Waking::not_at_all)) < ticking.size();
    eager_differ +=
        first_difference(ticking, sleeping_when_still(seed, events, end, Waking::tick_on_waking)) < ticking.size();
  }
  // The sessions did play, and did sleep; and the two careless ways to wake were caught.
  EXPECT_GT(compared_ticks, 20'000);
  EXPECT_GT(sleeps, 1'000);
  EXPECT_GT(careless_differ, 12);
  EXPECT_GT(eager_differ, 12);
}

}  // namespace
