// The options screen, in the quiz screens' look: a row per option, the chosen one lit, and
// at the foot how to change them and how to leave.
#include <iterator>

#include "game/options.h"
#include "render/painters.h"
#include "render/screen_words.h"

namespace {

// A refused key is told in a light blue of its own, apart from the hints' sand colour.
constexpr Color kRefusedColor = 0xFF8A7A;

constexpr int kTextCapacity = 96;
static_assert(std::size(kOptionRowLabels) == kOptionRowCount);

}  // namespace

void draw_options_screen(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 0, 0, kFieldWidth, kFieldHeight, kQuizScreenColor);
  draw_text(canvas, 34, 24, kOptionsHeading, Font::heading, kQuizTitleColor);
  char text[kTextCapacity];
  for (int i = 0; i < kOptionRowCount; ++i) {
    const int top = kOptionRowTop + kOptionRowPitch * i;
    fill_rect(canvas, kOptionRows.left, top, kOptionRows.right, top + kOptionRowHeight,
              i == state.options_row ? kQuizCourseButtonColor : kQuizBoxColor);
    draw_text(canvas, 50, top + 7, kOptionRowLabels[i], Font::body, kQuizAnswerColor);
    format_option_value(text, kTextCapacity, state, i);
    if (i <= static_cast<int>(OptionRow::speed)) {  // a click on either half steps that way
      draw_text(canvas, kOptionValueLeft + 12, top + 7, "<", Font::body, kQuizLetterColor);
      draw_text(canvas, kOptionValueMiddle - 16, top + 7, text, Font::body, kQuizLetterColor);
      draw_text(canvas, kOptionRows.right - 24, top + 7, ">", Font::body, kQuizLetterColor);
    } else {
      draw_text(canvas, kOptionValueLeft + 12, top + 7, text, Font::body, kQuizLetterColor);
    }
  }
  const OptionsFoot foot = options_foot(state, canvas.touch_controls);
  draw_text(canvas, 36, 535, foot.hint, Font::body, state.options_refused ? kRefusedColor : kQuizHintColor);
  draw_text(canvas, 36, 564, foot.leave, Font::body, kQuizHintColor);
}
