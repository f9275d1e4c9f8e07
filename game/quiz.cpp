#include "game/quiz.h"

#include <utility>

#include "game/host.h"

const QuizQuestion kQuizBank[kQuestionCount] = {
    {"What is an orbilux?",
     {"A non-resonant element at most operating frequencies, typically smaller than \u03bb/20",
      "An antenna whose matching is achieved by designing a complex conductive geometry",
      "A resonant element at the lowest operating frequency",
      "A resonant antenna with a size of \u03bb/2 at the lowest operating frequency"},
     0,
     "An orbilux is typically electrically small and non-resonant at most operating frequencies."},
    {"What are the key elements of Zarvane\u00ae Technology (Orbilux Technology)?",
     {"An orbilux, an amplifier, and a matching network", "An orbilux, a matching network, and a ground plane",
      "An orbilux, a matching network, and a transceiver", "An orbilux, an amplifier, and a ground plane"},
     1,
     "The orbilux, matching network and ground plane work together as the antenna system."},
    {"A 7 mm \u00d7 3 mm \u00d7 1 mm orbilux operates at 900 MHz. Which option best approximates its "
     "electrical size, using 7 mm and the free-space wavelength?",
     {"\u03bb/2", "\u03bb/7", "\u03bb/23", "\u03bb/47"},
     3,
     "At 900 MHz, the free-space wavelength is about 333 mm. 333 / 7 \u2248 47.6, so \u03bb/47 is the closest "
     "option."},
    {"An orbilux is embedded in a device with a rectangular ground plane L \u00d7 W. Which statement is true?",
     {"Efficiency increases as the ground plane becomes smaller",
      "Efficiency is more challenging at higher frequencies than at lower frequencies",
      "Efficiency does not depend on the size of the ground plane",
      "Achieving bandwidth becomes more challenging as the ground plane becomes smaller"},
     3,
     "A smaller ground plane makes the required bandwidth more challenging to achieve."},
    {"When designing a wireless device with orbiluxes, which approach should you NOT choose?",
     {"Consider the antenna only after integrating the transceiver, battery and other electronics on the PCB",
      "Include a suitable matching network", "Run electromagnetic simulations to estimate bandwidth and efficiency",
      "Consider the materials of the device enclosure"},
     0,
     "Consider the antenna early in the design, together with the PCB, electronics, battery and enclosure."},
    {"What is the main purpose of an antenna matching network?",
     {"To reject frequencies outside the operating band",
      "To amplify the signal delivered by the transceiver to the antenna",
      "To maximise power transfer between the transceiver and the antenna, in both directions", "None of the above"},
     2,
     "A matching network reduces mismatch to maximise power transfer between the antenna and the transceiver."},
};

namespace {

// Fisher-Yates from the top: n - 1 draws, for i = n down to 2.
void shuffle(GameRandom& random, int32_t* a, int n) {
  for (int i = n; i >= 2; --i) {
    const int j = random.next() % i;
    std::swap(a[i - 1], a[j]);
  }
}

}  // namespace

void start_question(GameState& state) {
  if (state.quiz_count > 0 && state.quiz_count % kQuestionCount == 0) {
    shuffle(state.random, state.question_order, kQuestionCount);
    // Never the same question twice in a row across a reshuffle.
    if (state.question_order[0] == state.current_question) {
      std::swap(state.question_order[0], state.question_order[1]);
    }
  }
  for (int k = 0; k < kOptionCount; ++k) state.option_order[k] = k;
  shuffle(state.random, state.option_order, kOptionCount);
  state.level_complete = 0;
  state.screen = Screen::question;
  state.current_question = state.question_order[state.quiz_count % kQuestionCount];
  state.quiz_count += 1;
  state.left_held = 0;
  state.right_held = 0;
  stop_stream(Stream::chime);
}

void answer_question(GameState& state, int position) {
  if (state.screen != Screen::question || position < 0 || position >= kOptionCount) return;
  const QuizQuestion& question = kQuizBank[state.current_question];
  state.left_held = 0;
  state.right_held = 0;
  const int32_t option = state.option_order[position];
  note_answer(state.current_question, option, option == question.correct_option);
  if (option == question.correct_option) {
    state.screen = Screen::correct;
    state.lives += 1;
    play_success_arpeggio();
    return;
  }
  state.screen = Screen::wrong;
  if (state.lives - 2 <= 0) {
    state.lives = 0;
    state.game_over = 1;
  } else {
    state.lives -= 2;
  }
  if (stream_has_device(Stream::effects)) {
    stop_stream(Stream::effects);
    play_failure_buzz();
  }
}
