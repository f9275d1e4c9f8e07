// The checkpoint between levels: the question with its four shuffled answers, then the
// screen for a right answer or the one for a wrong answer.
#include "game/quiz.h"
#include "render/painters.h"

namespace {

constexpr int kQuizTextCapacity = 160;

constexpr Color kLivesColor = 0xA6AFFF;
constexpr Color kLightTextColor = 0xFCF4E9;
constexpr Color kHighlightColor = 0x74D6FF;
constexpr Color kBookButtonColor = 0x764F2C;
constexpr Color kRetryButtonColor = 0x543B27;
constexpr Color kCaptionColor = 0xFFFFFF;

// The question on screen; an out-of-range number (never set by the game) shows the first.
const QuizQuestion& current_question(const GameState& state) {
  const int n = state.current_question;
  return kQuizBank[n >= 0 && n < kQuestionCount ? n : 0];
}

void draw_question_screen(Canvas& canvas, const GameState& state) {
  const QuizQuestion& question = current_question(state);
  char text[kQuizTextCapacity];
  // The checkpoint names the level a right answer opens: the HUD shows level + 1.
  format_text(text, kQuizTextCapacity, kCheckpointFormat, state.level + 2);
  draw_text(canvas, 34, 24, text, Font::heading, kQuizTitleColor);
  format_text(text, kQuizTextCapacity, kLivesFormat, state.lives);
  draw_text(canvas, 580, 24, text, Font::strong, kLivesColor);
  draw_text_wrapped(canvas, 36, 80, 764, 180, question.text, Font::label, 0xFCF6EF);

  for (int k = 0; k < kOptionCount; ++k) {
    const int b = kAnswerRows.top + kAnswerRowPitch * k;
    fill_rect(canvas, kAnswerRows.left, b, kAnswerRows.right, b + kAnswerRowHeight, kQuizBoxColor);
    format_text(text, kQuizTextCapacity, "%c", 'A' + k);
    draw_text(canvas, 50, b + 18, text, Font::strong, kQuizLetterColor);
    const int option = state.option_order[k];
    if (option >= 0 && option < kOptionCount) {
      draw_text_wrapped(canvas, 89, b + 11, 742, b + 64, question.options[option], Font::body, kQuizAnswerColor);
    }
  }

  draw_text(canvas, 36, 535, kQuizHint, Font::body, kQuizHintColor);
  draw_text(canvas, 36, 564, kQuizRules, Font::body, kQuizHintColor);
}

void draw_correct_screen(Canvas& canvas, const GameState& state) {
  draw_text(canvas, 36, 35, kCorrectHeading, Font::heading, kQuizTitleColor);
  draw_text_wrapped(canvas, 36, 110, 764, 270, current_question(state).explanation, Font::label, kLightTextColor);
  char text[kQuizTextCapacity];
  format_text(text, kQuizTextCapacity, kCorrectReadyFormat, state.level + 2);
  draw_text_wrapped(canvas, 36, 309, 764, 399, text, Font::label, kHighlightColor);
  fill_rect(canvas, kCorrectContinueButton, kQuizCourseButtonColor);
  draw_text(canvas, 251, 491, kCorrectContinue, Font::label, kCaptionColor);
}

void draw_wrong_screen(Canvas& canvas, const GameState& state) {
  draw_text(canvas, 36, 35, state.game_over ? kWrongGameOverHeading : kWrongHeading, Font::heading, kQuizTitleColor);
  draw_text_wrapped(canvas, 36, 96, 764, 174, kWrongCourseText, Font::label, kLightTextColor);
  draw_text(canvas, 36, 186, kFreeCourse, Font::label, kHighlightColor);
  fill_rect(canvas, kWrongCourseButton, kQuizCourseButtonColor);
  draw_text(canvas, 244, 237, kWrongCourseCaption, Font::label, kCaptionColor);
  draw_text(canvas, 36, 298, kExploreBook, Font::body, 0xEBD8BF);
  draw_text_wrapped(canvas, 36, 327, 764, 383, kBookTitle, Font::label, kHighlightColor);
  fill_rect(canvas, kWrongBookButton, kBookButtonColor);
  draw_text(canvas, 265, 404, kWrongBookCaption, Font::label, kCaptionColor);
  fill_rect(canvas, kWrongRetryButton, kRetryButtonColor);
  draw_text(canvas, 256, 487, state.game_over ? kWrongNewGame : kWrongRetry, Font::label, 0xFCF3EB);
  char text[kQuizTextCapacity];
  format_text(text, kQuizTextCapacity, kWrongLivesFormat, state.lives);
  draw_text(canvas, 36, 552, text, Font::body, kLivesColor);
}

}  // namespace

void draw_quiz_screen(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 0, 0, kFieldWidth, kFieldHeight, kQuizScreenColor);
  if (state.screen == Screen::question) {
    draw_question_screen(canvas, state);
  } else if (state.screen == Screen::correct) {
    draw_correct_screen(canvas, state);
  } else {
    draw_wrong_screen(canvas, state);
  }
}
