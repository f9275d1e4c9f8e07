// Banners and panels over the play field. Which ones show follows from the state alone;
// game over hides all the others, and the rest stack in a fixed order.
#include "render/painters.h"
#include "render/pixels.h"

namespace {

constexpr int kFrameTextCapacity = 128;
constexpr Color kPanelColor = 0x482E19;  // countdown, pause and game-over panels

void draw_meander_warning(Canvas& canvas) {
  fill_rect(canvas, 221, 190, 579, 233, 0x2E1F58);
  draw_text(canvas, 240, 201, kMeanderWarning, Font::strong, 0xAFBCFF);
}

void draw_level_up_banner(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 260, 157, 540, 211, 0x4B421E);
  char text[kFrameTextCapacity];
  format_text(text, kFrameTextCapacity, kLevelUpFormat, state.level + 1);
  draw_text(canvas, 284, 171, text, Font::strong, 0xBCF064);
}

void draw_connected_banner(Canvas& canvas) {
  fill_rect(canvas, 171, 170, 629, 271, 0x404116);
  draw_text(canvas, 220, 188, kConnectedHeading, Font::heading, 0xCFFF7E);
  draw_text(canvas, 217, 233, kConnectedText, Font::body, 0xEFF5DE);
}

void draw_countdown(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 269, 210, 531, 347, kPanelColor);
  draw_text(canvas, 341, 223, kGetReady, Font::label, 0xDEE8BC);
  char text[kFrameTextCapacity];
  format_text(text, kFrameTextCapacity, "%d", countdown_digit(state.countdown));
  draw_text(canvas, 379, 255, text, Font::giant, 0xC2F674);
}

void draw_pause_panel(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 215, 228, 585, 340, kPanelColor);
  draw_text(canvas, 329, 246, kPaused, Font::heading, 0xFCF7F2);
  const char* resume = !state.has_focus ? kResumeWithoutFocus : canvas.touch_controls ? kResumeByTouch : kResumeByKey;
  draw_text(canvas, 245, 292, resume, Font::body, 0xDECBB9);
}

void draw_game_over_panel(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 120, 137, 680, 545, kPanelColor);
  draw_text(canvas, 307, 154, kGameOver, Font::heading, 0x899DFF);
  char text[kFrameTextCapacity];
  format_text(text, kFrameTextCapacity, kGameOverScoreFormat, state.score, state.best_score);
  draw_text(canvas, 258, 193, text, Font::strong, 0x80DEFF);
  draw_text_wrapped(canvas, 145, 235, 655, 276, kGameOverCourseText, Font::body, 0xF7EDDD);
  draw_text(canvas, 145, 281, kFreeCourse, Font::body, 0xC1EE7F);
  fill_rect(canvas, kGameOverCourseButton, 0x5B6F22);
  draw_text(canvas, 270, 318, kGameOverCourseCaption, Font::label, 0xFFFFFF);
  draw_text(canvas, 145, 362, kExploreBook, Font::body, 0xEBD8BF);
  draw_text_wrapped(canvas, 145, 385, 655, 429, kBookTitle, Font::body, 0x80DEFF);
  fill_rect(canvas, kGameOverBookButton, 0x764F2C);
  draw_text(canvas, 276, 443, kGameOverBookCaption, Font::label, 0xFFFFFF);
  if (canvas.touch_controls) {
    draw_text(canvas, 262, 500, kGameOverAgainByTouch, Font::body, 0xF1E1D1);
  } else {
    draw_text(canvas, 225, 500, kGameOverAgainByKey, Font::body, 0xF1E1D1);
  }
}

}  // namespace

void draw_overlays(Canvas& canvas, const GameState& state) {
  if (state.game_over) {
    draw_game_over_panel(canvas, state);
    return;
  }
  if (state.popup_timer > 0 && state.popup_kind == Popup::lost_life) draw_meander_warning(canvas);
  if (state.level_up_timer > 0) draw_level_up_banner(canvas, state);
  if (state.level_complete) draw_connected_banner(canvas);
  if (state.countdown > 0 && !state.paused) draw_countdown(canvas, state);
  if (state.paused || !state.has_focus) draw_pause_panel(canvas, state);
}
