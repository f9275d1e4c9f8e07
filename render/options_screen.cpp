// The options screen, in the quiz screens' look: a row per option, the chosen one lit, and
// at the foot how to change them and how to leave.
#include <iterator>

#include "game/options.h"
#include "render/painters.h"
#include "render/screen_words.h"

namespace {

// The quiz screens' colours (render/quiz_screen.cpp), so the two read as one game.
constexpr Color kScreenColor = 0x2A170D;
constexpr Color kTitleColor = 0xC1EF70;
constexpr Color kHintColor = 0xD8C2AA;
constexpr Color kRowColor = 0x462F1D;
constexpr Color kChosenRowColor = 0x5B6F22;
constexpr Color kLabelColor = 0xF8EEE4;
constexpr Color kValueColor = 0xC3E974;
constexpr Color kRefusedColor = 0xFF8A7A;

constexpr int kTextCapacity = 96;
static_assert(std::size(kOptionRowLabels) == kOptionRowCount);

}  // namespace

void draw_options_screen(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 0, 0, kFieldWidth, kFieldHeight, kScreenColor);
  draw_text(canvas, 34, 24, kOptionsHeading, Font::heading, kTitleColor);
  char text[kTextCapacity];
  for (int i = 0; i < kOptionRowCount; ++i) {
    const int top = kOptionRowTop + kOptionRowPitch * i;
    fill_rect(canvas, kOptionRows.left, top, kOptionRows.right, top + kOptionRowHeight,
              i == state.options_row ? kChosenRowColor : kRowColor);
    draw_text(canvas, 50, top + 7, kOptionRowLabels[i], Font::body, kLabelColor);
    format_option_value(text, kTextCapacity, state, i);
    if (i <= static_cast<int>(OptionRow::speed)) {  // a click on either half steps that way
      draw_text(canvas, kOptionValueLeft + 12, top + 7, "<", Font::body, kValueColor);
      draw_text(canvas, kOptionValueMiddle - 16, top + 7, text, Font::body, kValueColor);
      draw_text(canvas, kOptionRows.right - 24, top + 7, ">", Font::body, kValueColor);
    } else {
      draw_text(canvas, kOptionValueLeft + 12, top + 7, text, Font::body, kValueColor);
    }
  }
  if (state.options_refused) {
    draw_text(canvas, 36, 535, kOptionsRefused, Font::body, kRefusedColor);
  } else if (state.options_waiting_key) {
    draw_text(canvas, 36, 535, kOptionsWaiting, Font::body, kHintColor);
  } else {
    draw_text(canvas, 36, 535, kOptionsHint, Font::body, kHintColor);
  }
  draw_text(canvas, 36, 564, kOptionsLeave, Font::body, kHintColor);
}
