// Thousands of random event sequences: after every event the state must still make sense,
// and each screen must have been entered only through its own door.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "game/input.h"
#include "game/quiz.h"
#include "game/rules.h"
#include "tests/fake_host.h"
#include "tests/game_invariants.h"

namespace {

enum class Event { key_down, key_up, click, focus_gained, focus_lost, tick };

// Every key but Space and R, which restart the countdown and come separately and rarely.
const Key kKeys[] = {Key::left,  Key::right, Key::left,   Key::right,  Key::a,      Key::b,
                     Key::c,     Key::d,     Key::digit1, Key::digit2, Key::digit3, Key::digit4,
                     Key::enter, Key::m,     Key::o,      Key::esc,    Key::other};

TEST(RandomSessions, InvariantsHoldAndScreensAreEnteredOnlyThroughTheirDoors) {
  std::mt19937 rng(20261208);
  long events = 0;
  long visits[4] = {};
  long game_overs = 0;
  for (int session = 0; session < 10000; ++session) {
    FakeHost host;
    GameState s = started_state(host, rng());
    // Most sessions leave the title screen early so that play gets explored.
    if (rng() % 10 != 0) on_key_down(s, Key::space, false);
    // Most sessions start late in a level with few lives, so that checkpoints, wrong
    // answers and game over come up often within a short session.
    if (!s.title_screen && rng() % 4 != 0) {
      s.connected = static_cast<int32_t>(9 + rng() % 3);
      s.level_points = s.connected;
      s.score = s.best_score = s.connected;
      s.lives = static_cast<int32_t>(1 + rng() % 4);
    }
    const int length = 500 + static_cast<int>(rng() % 2000);
    for (int n = 0; n < length; ++n, ++events) {
      const GameState before = s;
      host.calls.clear();
      // Per mille, roughly a player's mix: mostly time passing and steering; pause, restart
      // and focus changes rare enough that countdowns and interludes can run out.
      Event event;
      Key key = Key::other;
      const unsigned pick = rng() % 1000;
      if (pick < 600) {
        event = Event::tick;
      } else if (pick < 880) {
        event = Event::key_down;
        key = kKeys[rng() % std::size(kKeys)];
        if (pick < 604) key = rng() % 3 ? Key::space : Key::r;  // 4 in 1000 events
      } else if (pick < 940) {
        event = Event::key_up;
        key = kKeys[rng() % std::size(kKeys)];
      } else if (pick < 996) {
        event = Event::click;
      } else {
        event = pick < 998 ? Event::focus_gained : Event::focus_lost;
      }
      bool answered = false, continued = false, retried = false;
      switch (event) {
        case Event::tick: {
          // Frame-sized steps and stalls of up to a second.
          const int ms = rng() % 2 == 0 ? static_cast<int>(rng() % 1001) : static_cast<int>(rng() % 40);
          if (rng() % 2 == 0) {  // move the catcher under the item to get catches
            s.player_x = std::clamp(s.item.x + 20, 60.0, 740.0);
          }
          tick_for(s, host, ms / 1000.0);
          break;
        }
        case Event::key_down: {
          const bool repeat = rng() % 4 == 0;
          const bool answer_key = key != Key::left && key != Key::right && key != Key::space && key != Key::enter &&
                                  key != Key::esc && key != Key::m && key != Key::o && key != Key::r &&
                                  key != Key::other;
          answered = answer_key && !repeat;
          continued = (key == Key::space || key == Key::enter) && !repeat;
          retried = key == Key::r && !repeat;
          on_key_down(s, key, repeat);
          break;
        }
        case Event::key_up:
          on_key_up(s, key);
          break;
        case Event::click: {
          int w = 0, h = 0;
          switch (rng() % 6) {
            case 0:
              w = 0, h = 0;
              break;
            case 1:
              w = 1, h = 1;
              break;
            case 2:
              w = 800, h = 600;
              break;
            case 3:
              w = 7680, h = 4320;
              break;
            default:
              w = static_cast<int>(rng() % 3000), h = static_cast<int>(rng() % 3000);
          }
          const int x = static_cast<int16_t>(rng() & 0xFFFF);
          const int y = static_cast<int16_t>(rng() & 0xFFFF);
          const int xs = rng() % 2 ? x : static_cast<int>(rng() % (w + 1));
          const int ys = rng() % 2 ? y : static_cast<int>(rng() % (h + 1));
          const bool taken = on_click(s, xs, ys, w, h);
          ASSERT_EQ(taken, !(before.screen == Screen::play && !before.game_over));
          answered = continued = retried = true;  // clicks may answer, continue or retry
          break;
        }
        case Event::focus_gained:
          on_focus_gained(s);
          break;
        case Event::focus_lost:
          on_focus_lost(s);
          ASSERT_EQ(s.left_held + s.right_held, 0);
          break;
      }
      visits[static_cast<int>(s.screen)] += before.screen != s.screen;
      game_overs += !before.game_over && s.game_over;
      const std::string broken = check_invariants(s);
      ASSERT_EQ(broken, "") << "session " << session << " event " << n;

      // Each screen has one way in.
      if (before.screen != s.screen) {
        switch (s.screen) {
          case Screen::question:
            ASSERT_TRUE((before.screen == Screen::play && event == Event::tick && before.level_complete) ||
                        (before.screen == Screen::wrong && retried && !before.game_over));
            break;
          case Screen::correct:
          case Screen::wrong:
            ASSERT_TRUE(before.screen == Screen::question && answered);
            break;
          case Screen::play:
            ASSERT_TRUE((before.screen == Screen::correct && continued && s.level == before.level + 1) ||
                        (before.screen == Screen::wrong && retried && before.game_over && s.score == 0));
            break;
        }
      }
      if (before.title_screen && !s.title_screen) {
        ASSERT_TRUE(event == Event::key_down && continued);
      }
      ASSERT_FALSE(!before.title_screen && s.title_screen) << "the title never returns";
      if (!before.game_over && s.game_over) {
        ASSERT_TRUE(event == Event::tick || answered);
      }
      if (s.level != before.level) {
        ASSERT_TRUE(s.level == before.level + 1 || s.level == 0);
      }
    }
  }
  RecordProperty("events", std::to_string(events));
  // The sessions must actually reach every screen, or they prove nothing.
  for (int screen = 0; screen < 4; ++screen) EXPECT_GT(visits[screen], 100) << "screen " << screen;
  EXPECT_GT(game_overs, 100);
}

}  // namespace
