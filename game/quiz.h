// The checkpoint quiz: six questions about orbilux radio technology, asked at the end of
// every level.
#pragma once

#include "game/game_state.h"

struct QuizQuestion {
  const char* text;  // UTF-8
  const char* options[kOptionCount];
  int correct_option;  // index into options
  const char* explanation;
};

extern const QuizQuestion kQuizBank[kQuestionCount];

// Called when the everything-connected interlude is over: picks the question, shuffles
// its options and shows the question screen.
void start_question(GameState& state);

// Judges the answer at screen position 0..3 (A..D) and shows the correct or wrong screen.
void answer_question(GameState& state, int position);
