// The screen as words for the page beside the canvas: what a listener hears and presses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/input.h"
#include "game/quiz.h"
#include "render/screen_words.h"
#include "tests/fake_host.h"
#include "tests/render_test_support.h"

namespace {

ScreenWords words_of(const GameState& state, bool touch = false) {
  ScreenWords words;
  describe_screen(words, state, touch);
  return words;
}

std::string all_text(const ScreenWords& words) {
  std::string text;
  for (int i = 0; i < words.line_count; ++i) text += std::string(words.lines[i]) + "\n";
  for (int i = 0; i < words.button_count; ++i) text += std::string("[") + words.buttons[i].label + "]\n";
  return text;
}

GameState on_screen(Screen screen, int question = 2) {
  GameState state = play_state();
  state.screen = screen;
  state.current_question = question;
  return state;
}

}  // namespace

// Each screen a player can meet, the busiest overlays stacked: nothing is cut or dropped,
// every screen has news to say, and no two different screens read the same.
TEST(ScreenWords, EveryScreenFitsAndReadsDifferently) {
  FakeHost host;
  std::vector<std::pair<GameState, bool>> screens;
  GameState title;
  screens.push_back({title, false});
  screens.push_back({title, true});
  GameState field = play_state();
  screens.push_back({field, false});
  GameState busy = field;
  busy.countdown = 2;
  busy.level_complete = 1;
  busy.level_up_timer = 1;
  busy.popup_timer = 1;
  busy.popup_kind = Popup::lost_life;
  busy.has_focus = 0;
  screens.push_back({busy, true});
  busy.has_focus = 1;
  busy.paused = 1;
  screens.push_back({busy, false});
  GameState over = field;
  over.game_over = 1;
  screens.push_back({over, false});
  for (int q = 0; q < kQuestionCount; ++q) screens.push_back({on_screen(Screen::question, q), false});
  screens.push_back({on_screen(Screen::correct), false});
  screens.push_back({on_screen(Screen::wrong), false});
  GameState lost = on_screen(Screen::wrong);
  lost.game_over = 1;
  screens.push_back({lost, false});
  GameState options = title;
  options.options_open = 1;
  screens.push_back({options, false});
  screens.push_back({options, true});
  options.options_refused = 1;
  screens.push_back({options, false});

  std::vector<ScreenWords> seen;
  for (const auto& [state, touch] : screens) {
    const ScreenWords words = words_of(state, touch);
    EXPECT_LT(words.line_count, kWordsMaxLines) << all_text(words);
    for (int i = 0; i < words.line_count; ++i)
      EXPECT_LT(std::strlen(words.lines[i]) + 1, static_cast<size_t>(kWordsLineCapacity));
    EXPECT_LT(std::strlen(words.news) + 1, sizeof words.news);
    EXPECT_GT(std::strlen(words.news), 0u) << all_text(words);
    for (const ScreenWords& other : seen) EXPECT_FALSE(same_words(words, other)) << all_text(words);
    seen.push_back(words);
  }
  EXPECT_NE(all_text(seen[4]).find("PAUSED\nPress Space to resume\n"), std::string::npos) << all_text(seen[4]);
  EXPECT_NE(all_text(seen[5]).find("GAME OVER\nScore: 0     Best: 0\n"), std::string::npos) << all_text(seen[5]);
}

// A listener hears a lost life, a new level, the quiz and game over; a catch changes the
// words on the page but not the news.
TEST(ScreenWords, NewsChangesForLivesLevelsQuizAndGameOverNotForACatch) {
  FakeHost host;
  const GameState field = play_state();
  const std::string news = words_of(field).news;
  GameState caught = field;
  caught.score += 5;
  caught.best_score += 5;
  caught.connected += 1;
  EXPECT_EQ(words_of(caught).news, news);
  EXPECT_FALSE(same_words(words_of(caught), words_of(field)));
  GameState changed[4] = {field, field, field, field};
  changed[0].lives -= 1;
  changed[1].level += 1;
  changed[2].screen = Screen::question;
  changed[3].game_over = 1;
  for (const GameState& state : changed) EXPECT_NE(words_of(state).news, news);
}

// The four answer buttons name the letter and the shuffled answer under it, and pressing
// one is its key: the same judgement, and the same answer noted for a course.
TEST(ScreenWords, AnswerButtonsAnswerAsTheirKeys) {
  FakeHost host;
  for (int q = 0; q < kQuestionCount; ++q) {
    for (int k = 0; k < kOptionCount; ++k) {
      GameState state = on_screen(Screen::question, q);
      const int32_t order[kOptionCount] = {(q + 1) % 4, (q + 3) % 4, q % 4, (q + 2) % 4};
      std::memcpy(state.option_order, order, sizeof order);
      const ScreenWords words = words_of(state);
      ASSERT_EQ(words.button_count, kOptionCount);
      const WordsButton& button = words.buttons[k];
      EXPECT_EQ(std::string(button.label), std::string(1, 'A' + k) + ": " + kQuizBank[q].options[order[k]]);
      ASSERT_EQ(button.key, 'a' + k);
      on_key_down(state, static_cast<Key>(static_cast<int>(Key::a) + k), false);
      const bool right = order[k] == kQuizBank[q].correct_option;
      EXPECT_EQ(state.screen, right ? Screen::correct : Screen::wrong);
      EXPECT_EQ(host.answers.back(),
                "note_answer(" + std::to_string(q) + "," + std::to_string(order[k]) + (right ? ",right)" : ",wrong)"));
    }
  }
  EXPECT_EQ(host.answers.size(), static_cast<size_t>(kQuestionCount * kOptionCount));
}
