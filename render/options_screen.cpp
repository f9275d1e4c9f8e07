// The options screen, in the quiz screens' look: a row per option, the chosen one lit, and
// at the foot how to change them and how to leave.
#include "game/options.h"
#include "render/painters.h"

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
constexpr const char* kRowLabels[kOptionRowCount] = {
    "Music volume", "Effects volume", "Game speed", "Reduced motion", "Key: move left", "Key: move right",
    "Key: start, pause, continue", "Key: restart", "Key: music on or off", "Reset keys", "Back"};

void format_value(char* text, const GameState& state, OptionRow row) {
  const PlayerOptions& o = state.options;
  const bool waiting = state.options_waiting_key && row == static_cast<OptionRow>(state.options_row);
  switch (row) {
    case OptionRow::music_volume:
      format_text(text, kTextCapacity, "%d %%", o.music_volume);
      break;
    case OptionRow::effects_volume:
      format_text(text, kTextCapacity, "%d %%", o.effects_volume);
      break;
    case OptionRow::speed:
      format_text(text, kTextCapacity, "%d %%", o.speed);
      break;
    case OptionRow::reduced_motion:
      format_text(text, kTextCapacity, "%s", o.reduced_motion ? "On" : "Off");
      break;
    case OptionRow::reset_keys:
    case OptionRow::done:
      text[0] = '\0';
      break;
    default:
      format_text(text, kTextCapacity, "%s",
                  waiting ? "press a key..." : o.keys[static_cast<int>(row) - static_cast<int>(OptionRow::key_left)].text);
      break;
  }
}

}  // namespace

void draw_options_screen(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 0, 0, kFieldWidth, kFieldHeight, kScreenColor);
  draw_text(canvas, 34, 24, "OPTIONS", Font::heading, kTitleColor);
  char text[kTextCapacity];
  for (int i = 0; i < kOptionRowCount; ++i) {
    const int top = kOptionRowTop + kOptionRowPitch * i;
    fill_rect(canvas, kOptionRows.left, top, kOptionRows.right, top + kOptionRowHeight,
              i == state.options_row ? kChosenRowColor : kRowColor);
    draw_text(canvas, 50, top + 7, kRowLabels[i], Font::body, kLabelColor);
    format_value(text, state, static_cast<OptionRow>(i));
    if (i <= static_cast<int>(OptionRow::speed)) {  // a click on either half steps that way
      draw_text(canvas, kOptionValueLeft + 12, top + 7, "<", Font::body, kValueColor);
      draw_text(canvas, kOptionValueMiddle - 16, top + 7, text, Font::body, kValueColor);
      draw_text(canvas, kOptionRows.right - 24, top + 7, ">", Font::body, kValueColor);
    } else {
      draw_text(canvas, kOptionValueLeft + 12, top + 7, text, Font::body, kValueColor);
    }
  }
  if (state.options_refused) {
    draw_text(canvas, 36, 535, "Taken: that key already has a use. Choose another.", Font::body, kRefusedColor);
  } else if (state.options_waiting_key) {
    draw_text(canvas, 36, 535, "Press the new key. Esc keeps the old one.", Font::body, kHintColor);
  } else {
    draw_text(canvas, 36, 535, "Up/Down: choose   Left/Right or click < >: change   Enter or click: set", Font::body,
              kHintColor);
  }
  draw_text(canvas, 36, 564, "S, Esc or Back: leave the options   Pad: D-pad, A to set, B to leave", Font::body,
            kHintColor);
}
