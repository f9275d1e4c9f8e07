// The checkpoint quiz: order of questions, shuffled options, lives for answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "game/input.h"
#include "game/quiz.h"
#include "game/rules.h"
#include "tests/fake_host.h"

namespace {

GameState at_checkpoint(FakeHost& host, uint32_t seed = 11) {
  GameState s = started_state(host, seed);
  on_key_down(s, Key::space, false);
  s.countdown = 0;
  s.connected = 12;
  s.level_complete = 1;
  host.clear();
  return s;
}

int right_position(const GameState& s) {
  for (int k = 0; k < 4; ++k) {
    if (s.option_order[k] == kQuizBank[s.current_question].correct_option) return k;
  }
  return -1;
}

TEST(Bank, HoldsTheSixQuestionsWithTheirSymbols) {
  EXPECT_STREQ(kQuizBank[0].text, "What is an orbilux?");
  EXPECT_STREQ(kQuizBank[0].options[0],
               "A non-resonant element at most operating frequencies, typically smaller than \xCE\xBB/20");
  EXPECT_STREQ(kQuizBank[1].text, "What are the key elements of Zarvane\xC2\xAE Technology (Orbilux Technology)?");
  EXPECT_STREQ(kQuizBank[2].options[3], "\xCE\xBB/47");
  EXPECT_NE(std::strstr(kQuizBank[2].text, "7 mm \xC3\x97 3 mm \xC3\x97 1 mm"), nullptr);
  EXPECT_NE(std::strstr(kQuizBank[2].explanation, "333 / 7 \xE2\x89\x88 47.6"), nullptr);
  const int right[6] = {0, 1, 3, 3, 0, 2};
  for (int q = 0; q < 6; ++q) {
    EXPECT_EQ(kQuizBank[q].correct_option, right[q]);
    for (const char* option : kQuizBank[q].options) EXPECT_GT(std::strlen(option), 0u);
  }
  EXPECT_STREQ(kQuizBank[5].options[3], "None of the above");
}

TEST(StartQuestion, TheInterludeEndsInTheQuestionScreen) {
  FakeHost host;
  GameState s = at_checkpoint(host);
  s.right_held = 1;
  start_question(s);
  EXPECT_EQ(s.screen, Screen::question);
  EXPECT_EQ(s.level_complete, 0);
  EXPECT_EQ(s.quiz_count, 1);
  EXPECT_EQ(s.right_held, 0);
  EXPECT_EQ(host.calls, std::vector<std::string>{"stop_stream(chime)"});
}

TEST(StartQuestion, ShufflesOptionsWithThreeDrawsFromTheTop) {
  FakeHost host;
  GameState s = at_checkpoint(host);
  GameRandom expected = s.random;
  int order[4] = {0, 1, 2, 3};
  for (int i = 4; i >= 2; --i) std::swap(order[i - 1], order[expected.next() % i]);
  start_question(s);
  EXPECT_TRUE(std::equal(order, order + 4, s.option_order));
  EXPECT_EQ(s.random.state, expected.state);
}

TEST(StartQuestion, FirstSixInBankOrderThenNeverTheSameTwiceInARow) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    FakeHost host;
    GameState s = at_checkpoint(host, seed);
    std::vector<int> asked;
    for (int n = 0; n < 30; ++n) {
      start_question(s);
      asked.push_back(s.current_question);
      std::set<int> order(std::begin(s.question_order), std::end(s.question_order));
      ASSERT_EQ(order.size(), 6u);
      std::set<int> options(std::begin(s.option_order), std::end(s.option_order));
      ASSERT_EQ(options.size(), 4u);
    }
    for (int n = 0; n < 6; ++n) ASSERT_EQ(asked[n], n);
    for (size_t n = 1; n < asked.size(); ++n) ASSERT_NE(asked[n], asked[n - 1]) << "seed " << seed;
    for (size_t group = 0; group + 6 <= asked.size(); group += 6) {
      std::set<int> six(asked.begin() + group, asked.begin() + group + 6);
      ASSERT_EQ(six.size(), 6u) << "each group of six asks every question once";
    }
  }
}

TEST(StartQuestion, ANewGameStartsAgainFromQuestionZero) {
  FakeHost host;
  GameState s = at_checkpoint(host);
  for (int n = 0; n < 8; ++n) start_question(s);
  new_game(s);
  s.level_complete = 1;
  start_question(s);
  EXPECT_EQ(s.current_question, 0);
}

TEST(Answer, RightGivesALifeAndTheCorrectScreen) {
  FakeHost host;
  GameState s = at_checkpoint(host);
  s.lives = 1;
  start_question(s);
  host.clear();
  answer_question(s, right_position(s));
  EXPECT_EQ(s.screen, Screen::correct);
  EXPECT_EQ(s.lives, 2);
  EXPECT_EQ(host.calls, std::vector<std::string>{"play_success_arpeggio"});
  EXPECT_TRUE(host.saved_scores.empty());
}

TEST(Answer, WrongCostsTwoLivesAndNeverGoesBelowZero) {
  struct Case {
    int lives_before, lives_after, game_over;
  };
  for (Case c : {Case{3, 1, 0}, Case{2, 0, 1}, Case{1, 0, 1}, Case{7, 5, 0}}) {
    FakeHost host;
    GameState s = at_checkpoint(host);
    s.lives = c.lives_before;
    start_question(s);
    host.clear();
    answer_question(s, (right_position(s) + 1) % 4);
    EXPECT_EQ(s.screen, Screen::wrong);
    EXPECT_EQ(s.lives, c.lives_after) << "from " << c.lives_before;
    EXPECT_EQ(s.game_over, c.game_over);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"stop_stream(effects)", "play_failure_buzz"}))
        << "the buzz sounds even when the answer ends the game";
  }
}

TEST(Answer, RetryShowsTheSameScreenAndAnotherWrongAnswerCostsTwoMore) {
  FakeHost host;
  GameState s = at_checkpoint(host);
  s.lives = 5;
  start_question(s);
  const int wrong = (right_position(s) + 1) % 4;
  answer_question(s, wrong);
  on_key_down(s, Key::r, false);
  ASSERT_EQ(s.screen, Screen::question);
  answer_question(s, wrong);
  EXPECT_EQ(s.lives, 1);
  on_key_down(s, Key::r, false);
  answer_question(s, right_position(s));
  EXPECT_EQ(s.lives, 2);
  EXPECT_EQ(s.quiz_count, 1);
}

TEST(Answer, KeysNameScreenPositionsNotStoredOptions) {
  const Key letters[4] = {Key::a, Key::b, Key::c, Key::d};
  const Key digits[4] = {Key::digit1, Key::digit2, Key::digit3, Key::digit4};
  for (int k = 0; k < 4; ++k) {
    for (const Key* keys : {letters, digits}) {
      FakeHost host;
      GameState s = at_checkpoint(host, 5 + k);
      start_question(s);
      const bool right = s.option_order[k] == kQuizBank[s.current_question].correct_option;
      on_key_down(s, keys[k], false);
      EXPECT_EQ(s.screen, right ? Screen::correct : Screen::wrong);
    }
  }
}

TEST(Answer, DoesNothingOffTheQuestionScreen) {
  FakeHost host;
  GameState s = at_checkpoint(host);
  start_question(s);
  answer_question(s, right_position(s));
  const int lives = s.lives;
  answer_question(s, right_position(s));
  answer_question(s, 9);
  EXPECT_EQ(s.lives, lives);
  EXPECT_EQ(s.screen, Screen::correct);
}

}  // namespace
