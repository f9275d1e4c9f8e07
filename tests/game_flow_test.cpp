// What keys, clicks and focus changes do on each screen.
#include <gtest/gtest.h>

#include <vector>

#include "game/draw_scale_cap.h"
#include "game/input.h"
#include "game/letterbox.h"
#include "game/quiz.h"
#include "game/rules.h"
#include "tests/fake_host.h"

namespace {

GameState on_field(FakeHost& host) {
  GameState s = started_state(host);
  on_key_down(s, Key::space, false);
  host.clear();
  return s;
}

GameState on_screen(FakeHost& host, Screen screen, int lives = 3) {
  GameState s = on_field(host);
  s.lives = lives;
  start_question(s);
  s.screen = screen;
  host.clear();
  return s;
}

TEST(Title, SpaceStartsTheGameOnceAndMAndEscWork) {
  FakeHost host;
  GameState s = started_state(host);
  on_key_down(s, Key::space, true);  // auto-repeat is ignored here
  EXPECT_EQ(s.title_screen, 1);
  on_key_down(s, Key::left, false);
  EXPECT_EQ(s.left_held, 0) << "arrows do nothing on the title";
  on_key_down(s, Key::r, false);
  on_key_down(s, Key::a, false);
  EXPECT_EQ(s.title_screen, 1);
  on_key_down(s, Key::m, false);
  EXPECT_EQ(s.music_muted, 1);
  on_key_down(s, Key::esc, false);
  EXPECT_EQ(host.close_requests, 1);
  host.clear();
  on_key_down(s, Key::space, false);
  EXPECT_EQ(s.title_screen, 0);
  EXPECT_EQ(s.countdown, 3.0);
  EXPECT_EQ(host.calls.front(), "stop_stream(effects)");
}

TEST(Title, KeyReleaseClearsArrowsEvenThere) {
  FakeHost host;
  GameState s = started_state(host);
  s.left_held = s.right_held = 1;
  on_key_up(s, Key::left);
  on_key_up(s, Key::right);
  EXPECT_EQ(s.left_held + s.right_held, 0);
}

TEST(Field, ArrowsActOnRepeatInEveryModeOtherKeysIgnoreRepeat) {
  FakeHost host;
  GameState s = on_field(host);
  s.game_over = 1;
  on_key_down(s, Key::left, true);
  on_key_down(s, Key::right, true);
  EXPECT_EQ(s.left_held, 1);
  EXPECT_EQ(s.right_held, 1);
  s.game_over = 0;
  on_key_down(s, Key::space, true);
  on_key_down(s, Key::r, true);
  on_key_down(s, Key::m, true);
  on_key_down(s, Key::esc, true);
  EXPECT_EQ(s.paused, 0);
  EXPECT_EQ(s.music_muted, 0);
  EXPECT_TRUE(host.calls.empty());
}

TEST(Field, PauseAndResumeGoThroughAFreshCountdown) {
  FakeHost host;
  GameState s = on_field(host);
  s.countdown = 0;
  s.right_held = 1;
  on_key_down(s, Key::space, false);
  EXPECT_EQ(s.paused, 1);
  EXPECT_EQ(s.right_held, 1);
  EXPECT_EQ(host.calls, std::vector<std::string>{"apply_audio_pause"});
  on_key_down(s, Key::space, false);
  EXPECT_EQ(s.paused, 0);
  EXPECT_EQ(s.countdown, 3.0);
  EXPECT_EQ(s.right_held, 0);
  EXPECT_EQ(host.count("apply_audio_pause"), 2);
}

TEST(Field, SpaceDuringTheCountdownPausesItAndRestartsItFromThree) {
  FakeHost host;
  GameState s = on_field(host);
  tick_for(s, host, 0.05);
  on_key_down(s, Key::space, false);
  const double held = s.countdown;
  tick_for(s, host, 0.05);
  EXPECT_EQ(s.countdown, held);
  on_key_down(s, Key::space, false);
  EXPECT_EQ(s.countdown, 3.0);
}

TEST(Field, ResumingInTheInterludeLetsTheInterludeGoOn) {
  FakeHost host;
  GameState s = on_field(host);
  s.countdown = 0;
  s.level_complete = 1;
  s.level_complete_timer = 1.0;
  on_key_down(s, Key::space, false);
  on_key_down(s, Key::space, false);
  tick_for(s, host, 0.05);
  EXPECT_NEAR(s.level_complete_timer, 0.95, 1e-12) << "the interlude runs before any countdown";
  EXPECT_EQ(s.countdown, 3.0);
}

TEST(Field, SpaceIsIgnoredAfterGameOverAndRRestartsInEveryMode) {
  FakeHost host;
  for (int mode = 0; mode < 5; ++mode) {
    GameState s = on_field(host);
    s.score = 9;
    s.lives = 1;
    if (mode == 0) s.countdown = 0;               // running
    if (mode == 1) s.countdown = 2;               // countdown
    if (mode == 2) s.paused = 1;                  // pause
    if (mode == 3) s.level_complete = 1;          // interlude
    if (mode == 4) s.game_over = 1, s.lives = 0;  // game over
    if (mode == 4) {
      on_key_down(s, Key::space, false);
      EXPECT_EQ(s.paused, 0);
    }
    on_key_down(s, Key::r, false);
    EXPECT_EQ(s.score, 0) << "mode " << mode;
    EXPECT_EQ(s.lives, 3) << "mode " << mode;
    EXPECT_EQ(s.paused, 0);
    EXPECT_EQ(s.level_complete, 0);
    EXPECT_EQ(s.game_over, 0);
    EXPECT_EQ(s.countdown, 3.0);
  }
}

TEST(Field, LinksOpenOnlyAfterGameOver) {
  FakeHost host;
  GameState s = on_field(host);
  on_key_down(s, Key::o, false);
  on_key_down(s, Key::b, false);
  EXPECT_TRUE(host.calls.empty());
  s.game_over = 1;
  on_key_down(s, Key::o, false);
  on_key_down(s, Key::b, false);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open_course_link", "open_book_link"}));
}

TEST(Focus, LossDuringPlayHoldsTheGameAndReturnGivesACountdown) {
  FakeHost host;
  GameState s = on_field(host);
  s.countdown = 0;
  s.left_held = 1;
  s.item.y = 100;
  on_focus_lost(s);
  EXPECT_EQ(s.has_focus, 0);
  EXPECT_EQ(s.left_held, 0);
  tick_for(s, host, 0.05);
  EXPECT_EQ(s.item.y, 100);
  on_focus_gained(s);
  EXPECT_EQ(s.countdown, 3.0);
  EXPECT_EQ(host.count("apply_audio_pause"), 2);
}

TEST(Focus, ReturnDoesNotStartACountdownInPauseInterludeGameOverOrQuiz) {
  FakeHost host;
  for (int mode = 0; mode < 5; ++mode) {
    GameState s = on_field(host);
    s.countdown = 0;
    if (mode == 0) s.paused = 1;
    if (mode == 1) s.level_complete = 1;
    if (mode == 2) s.game_over = 1;
    if (mode == 3) s.screen = Screen::question;
    if (mode == 4) s.title_screen = 1;
    const GameState before = s;
    on_focus_lost(s);
    on_focus_gained(s);
    EXPECT_EQ(s.countdown, 0) << "mode " << mode;
    EXPECT_EQ(s.screen, before.screen);
    EXPECT_EQ(s.has_focus, 1);
  }
}

TEST(Quiz, KeysActOnlyOnTheirScreens) {
  FakeHost host;
  GameState s = on_screen(host, Screen::correct);
  on_key_down(s, Key::a, false);
  on_key_down(s, Key::r, false);
  on_key_down(s, Key::left, false);
  EXPECT_EQ(s.screen, Screen::correct);
  EXPECT_EQ(s.left_held, 0);
  on_key_down(s, Key::enter, true);  // repeat ignored
  EXPECT_EQ(s.screen, Screen::correct);
  on_key_down(s, Key::enter, false);
  EXPECT_EQ(s.screen, Screen::play);

  s = on_screen(host, Screen::question);
  on_key_down(s, Key::space, false);
  on_key_down(s, Key::o, false);
  on_key_down(s, Key::r, false);
  EXPECT_EQ(s.screen, Screen::question);
  EXPECT_FALSE(host.called("open_course_link"));
  on_key_down(s, Key::b, false);  // answers position 1 here, opens nothing
  EXPECT_NE(s.screen, Screen::question);
  EXPECT_FALSE(host.called("open_book_link"));
}

TEST(Quiz, WrongScreenOpensLinksRetriesOrStartsANewGame) {
  FakeHost host;
  GameState s = on_screen(host, Screen::wrong);
  const int question = s.current_question;
  int order[4];
  std::copy(std::begin(s.option_order), std::end(s.option_order), order);
  on_key_down(s, Key::o, false);
  on_key_down(s, Key::b, false);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open_course_link", "open_book_link"}));
  on_key_down(s, Key::r, false);
  EXPECT_EQ(s.screen, Screen::question);
  EXPECT_EQ(s.current_question, question);
  EXPECT_TRUE(std::equal(std::begin(order), std::end(order), std::begin(s.option_order)));
  EXPECT_EQ(s.quiz_count, 1);

  s.screen = Screen::wrong;
  s.game_over = 1;
  s.lives = 0;
  on_key_down(s, Key::r, false);
  EXPECT_EQ(s.screen, Screen::play);
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.game_over, 0);
}

TEST(Quiz, MAndEscWorkOnEveryQuizScreen) {
  FakeHost host;
  for (Screen screen : {Screen::question, Screen::correct, Screen::wrong}) {
    GameState s = on_screen(host, screen);
    on_key_down(s, Key::m, false);
    EXPECT_EQ(s.music_muted, 1);
    on_key_down(s, Key::esc, false);
  }
  EXPECT_EQ(host.close_requests, 3);
}

TEST(Letterbox, PresentingAndClickingShareOneFit) {
  const Letterbox a = letterbox_for(800, 600);
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.width, 800);
  const Letterbox b = letterbox_for(1000, 600);
  EXPECT_EQ(b.x, 100);
  EXPECT_EQ(b.y, 0);
  EXPECT_EQ(b.width, 800);
  const Letterbox c = letterbox_for(1000, 1000);
  EXPECT_EQ(c.scale, 1.25);
  EXPECT_EQ(c.width, 1000);
  EXPECT_EQ(c.height, 750);
  EXPECT_EQ(c.y, 125);
  const Letterbox d = letterbox_for(400, 300);
  EXPECT_EQ(d.width, 400);
  EXPECT_EQ(d.height, 300);
  EXPECT_EQ(letterbox_for(0, 0).width, 0);
  EXPECT_EQ(letterbox_for(0, 600).scale, 0);
}

// A slow device's busiest frames bring the cap down to the largest quarter at which they
// would fit (cost growing with the scale squared); fitting frames, never a raise, never below 1.
TEST(DrawScaleCap, LowersToTheLargestQuarterThatFits) {
  for (double scale = 0.75; scale <= kDrawScaleLimit; scale += 0.05) {
    for (double ms = 1; ms < 80; ms *= 1.13) {
      const double cap = lowered_draw_scale_cap(kDrawScaleLimit, scale, ms);
      const auto cost_at = [&](double s) { return ms * (s / scale) * (s / scale); };
      if (ms <= kBusiestFrameBudgetMs) {
        EXPECT_EQ(cap, kDrawScaleLimit);
        continue;
      }
      EXPECT_GE(cap, 1.0);
      EXPECT_EQ(cap, std::floor(cap / kDrawScaleCapStep) * kDrawScaleCapStep);
      if (cap > 1.0) {
        EXPECT_LE(cost_at(cap), kBusiestFrameBudgetMs + 1e-9) << scale << " " << ms;
      }
      EXPECT_GT(cost_at(cap + kDrawScaleCapStep), kBusiestFrameBudgetMs) << scale << " " << ms;
      EXPECT_EQ(lowered_draw_scale_cap(1.5, scale, ms), std::min(1.5, cap));
    }
  }
  // Capped: the page draws at the cap, the renderer stretches the rest.
  EXPECT_EQ(draw_scale_for(letterbox_for(2400, 1800), 2.0), 2.0);
  EXPECT_EQ(draw_scale_for(letterbox_for(2400, 1800), kDrawScaleLimit), 3.0);
}

TEST(DrawScaleCap, BusiestFramesAreTheNinthDecileOfAFullWindow) {
  FrameCosts costs;
  std::vector<double> seen;
  for (int i = 0; i < kFrameCostSamples - 1; ++i) {
    seen.push_back((i * 37) % 101 + 0.5);
    EXPECT_LT(add_frame_cost(costs, 2.0, seen.back()), 0);
  }
  seen.push_back(200);
  const double busiest = add_frame_cost(costs, 2.0, seen.back());
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(busiest, seen[kFrameCostSamples * 9 / 10]);
  // Another scale starts the window afresh: its frames are not the old scale's.
  for (int i = 0; i < kFrameCostSamples - 1; ++i) add_frame_cost(costs, 2.0, 1);
  EXPECT_LT(add_frame_cost(costs, 1.5, 1), 0);
}

TEST(Clicks, MapThroughTheLetterbox) {
  FieldPoint p = field_point_of_click(100, 500, 1600, 1200);
  EXPECT_EQ(p.x, 50);
  EXPECT_EQ(p.y, 250);
  p = field_point_of_click(150, 300, 1000, 600);
  EXPECT_EQ(p.x, 50);
  EXPECT_EQ(p.y, 300);
  p = field_point_of_click(50, 300, 1000, 600);
  EXPECT_EQ(p.x, -50) << "the bands map outside the field";
  EXPECT_FALSE(field_point_of_click(10, 10, 0, 0).inside_window);
  EXPECT_FALSE(field_point_of_click(10, 10, 800, 0).inside_window);
}

TEST(Clicks, AreNotTheGamesOnTheTitleOrAGameInProgress) {
  FakeHost host;
  GameState s = started_state(host);
  EXPECT_FALSE(on_click(s, 200, 527, 800, 600));
  on_key_down(s, Key::space, false);
  s.paused = 1;
  EXPECT_FALSE(on_click(s, 400, 300, 800, 600));
  s.game_over = 1;
  EXPECT_TRUE(on_click(s, 5, 5, 800, 600)) << "taken even where nothing is hit";
  EXPECT_TRUE(host.calls.empty() || host.calls.back() != "open_course_link");
}

TEST(Clicks, GameOverButtonsOpenTheLinks) {
  FakeHost host;
  GameState s = on_field(host);
  s.game_over = 1;
  EXPECT_TRUE(on_click(s, 145, 310, 800, 600));
  EXPECT_TRUE(on_click(s, 655, 471, 800, 600));
  on_click(s, 656, 471, 800, 600);  // just outside
  on_click(s, 400, 347, 800, 600);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open_course_link", "open_book_link"}));
  // Twice the size: the same buttons at twice the coordinates.
  host.clear();
  on_click(s, 800, 900, 1600, 1200);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open_book_link"}));
}

TEST(Clicks, AnswerRowsAndTheGapsBetweenThem) {
  FakeHost host;
  struct Case {
    int y;
    Screen after;
  };
  for (int row = 0; row < 4; ++row) {
    const int top = 194 + 76 * row;
    for (int y : {top, top + 67}) {
      GameState s = on_screen(host, Screen::question);
      const bool right = s.option_order[row] == kQuizBank[s.current_question].correct_option;
      on_click(s, 400, y, 800, 600);
      EXPECT_EQ(s.screen, right ? Screen::correct : Screen::wrong) << "row " << row << " y " << y;
    }
    if (row < 3) {
      for (int y = top + 68; y < top + 76; ++y) {
        GameState s = on_screen(host, Screen::question);
        on_click(s, 400, y, 800, 600);
        EXPECT_EQ(s.screen, Screen::question) << "gap at y " << y;
      }
    }
  }
  GameState s = on_screen(host, Screen::question);
  on_click(s, 33, 200, 800, 600);
  on_click(s, 767, 200, 800, 600);
  on_click(s, 400, 490, 800, 600);
  on_click(s, 400, 193, 800, 600);
  EXPECT_EQ(s.screen, Screen::question);
}

TEST(Clicks, CorrectAndWrongScreenButtons) {
  FakeHost host;
  GameState s = on_screen(host, Screen::correct);
  on_click(s, 400, 472, 800, 600);
  EXPECT_EQ(s.screen, Screen::correct);
  on_click(s, 34, 534, 800, 600);
  EXPECT_EQ(s.screen, Screen::play);
  EXPECT_EQ(s.level, 1);

  s = on_screen(host, Screen::wrong);
  on_click(s, 36, 225, 800, 600);
  on_click(s, 764, 436, 800, 600);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"open_course_link", "open_book_link"}));
  on_click(s, 400, 500, 800, 600);
  EXPECT_EQ(s.screen, Screen::question);
}

TEST(Clicks, AnEmptyWindowTakesButIgnoresTheClick) {
  FakeHost host;
  GameState s = on_screen(host, Screen::question);
  EXPECT_TRUE(on_click(s, 0, 0, 0, 0));
  EXPECT_TRUE(on_click(s, 400, 300, 0, 600));
  EXPECT_TRUE(on_click(s, -32768, 32767, 1, 1));
  EXPECT_EQ(s.screen, Screen::question);
}

}  // namespace
