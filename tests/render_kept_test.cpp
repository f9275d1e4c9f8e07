// What the canvas keeps between frames to draw faster must never show: every screen drawn
// with the kept work is the very picture drawn the plain way, frame after frame, also
// after the kept texts have been pushed out by many others.
#include <gtest/gtest.h>

#include <string>

#include "render/painters.h"
#include "tests/render_test_support.h"

namespace {

std::vector<Color> compose(Canvas& canvas, const GameState& state, bool plain) {
  canvas.plain_drawing = plain;
  compose_frame(canvas, state);
  canvas.plain_drawing = false;
  return snapshot(canvas, 0, 0, 799, 599);
}

GameState busy_play_state() {
  GameState s = play_state();
  s.level = 1;
  s.score = 77;
  s.best_score = 90;
  s.connected = 12;
  s.connect_flash_timer = 1.0;
  s.play_clock = 3.7;
  s.level_up_timer = 1.0;
  s.level_complete = 1;
  s.popup_timer = 0.5;
  s.popup_kind = Popup::gold_booster;
  s.item = {300, 250, 240, 0, 1};
  s.cargo_count = 12;
  for (int i = 0; i < kParticleCount; ++i)
    s.particles[i] = {400 + 2.5 * i, 440 - 1.5 * i, 0, 0, 0.15 + 0.02 * i, i % 2};
  return s;
}

std::vector<GameState> every_screen() {
  std::vector<GameState> states;
  states.push_back(GameState{});  // title
  for (const Screen screen : {Screen::question, Screen::correct, Screen::wrong}) {
    GameState s = play_state();
    s.screen = screen;
    s.current_question = 2;
    s.option_order[0] = 3;
    s.option_order[3] = 0;
    states.push_back(s);
  }
  states.push_back(busy_play_state());
  GameState over = busy_play_state();
  over.game_over = 1;
  states.push_back(over);
  GameState waiting = play_state();
  waiting.countdown = 2.2;
  waiting.has_focus = 0;
  states.push_back(waiting);
  return states;
}

TEST(KeptDrawing, EveryScreenLooksTheSameAsDrawnPlainly) {
  Canvas& canvas = test_canvas();
  int n = 0;
  for (const GameState& state : every_screen()) {
    const std::vector<Color> plain = compose(canvas, state, true);
    EXPECT_EQ(compose(canvas, state, false), plain) << "state " << n << ", first kept frame";
    EXPECT_EQ(compose(canvas, state, false), plain) << "state " << n << ", from kept work";
    save_frame(canvas, "kept_" + std::to_string(n));
    ++n;
  }
}

TEST(KeptDrawing, ChangingNumbersAndManyTextsNeverShowAStaleText) {
  Canvas& canvas = test_canvas();
  GameState state = busy_play_state();
  for (int score = 0; score < 80; score += 7) {
    state.score = score;
    state.lives = score % 9;
    state.play_clock += 0.016;
    const std::vector<Color> kept = compose(canvas, state, false);
    EXPECT_EQ(kept, compose(canvas, state, true)) << "score " << score;
  }
  // Far more texts in one font than are kept: the oldest make room, and come back right.
  fill_rect(canvas, 0, 0, 800, 600, 0x2A170D);
  for (int i = 0; i < 200; ++i) {
    const std::string text = "text " + std::to_string(i);
    draw_text(canvas, 10, 10, text.c_str(), Font::body, 0xFFFFFF);
  }
  for (const char* text : {"text 0", "text 199", "Press Space to resume"}) {
    fill_rect(canvas, 0, 0, 300, 40, 0x2A170D);
    canvas.plain_drawing = true;
    draw_text(canvas, 10, 10, text, Font::body, 0xFFFFFF);
    canvas.plain_drawing = false;
    const std::vector<Color> plain = snapshot(canvas, 0, 0, 299, 39);
    fill_rect(canvas, 0, 0, 300, 40, 0x2A170D);
    draw_text(canvas, 10, 10, text, Font::body, 0xFFFFFF);
    EXPECT_EQ(snapshot(canvas, 0, 0, 299, 39), plain) << text;
  }
}

TEST(KeptDrawing, TheSameTextWrappedAtAnotherWidthIsShapedAgain) {
  Canvas& canvas = test_canvas();
  const char* text = "Orbilux Technology for Wireless Communications";
  fill_rect(canvas, 0, 0, 800, 600, 0x2A170D);
  draw_text_wrapped(canvas, 10, 10, 700, 200, text, Font::body, 0xFFFFFF);
  const PixelBox wide = changed_pixels(canvas, 0, 0, 799, 299, 0x2A170D);
  fill_rect(canvas, 0, 0, 800, 600, 0x2A170D);
  draw_text_wrapped(canvas, 10, 10, 120, 200, text, Font::body, 0xFFFFFF);
  const PixelBox narrow = changed_pixels(canvas, 0, 0, 799, 299, 0x2A170D);
  EXPECT_LE(wide.bottom, 10 + 17);        // one line
  EXPECT_GT(narrow.bottom, 10 + 2 * 17);  // several
  EXPECT_LE(narrow.right, 119);
  // A one-line text and a wrapped text of the same words are kept apart too.
  fill_rect(canvas, 0, 0, 800, 600, 0x2A170D);
  draw_text(canvas, 10, 10, text, Font::body, 0xFFFFFF);
  EXPECT_LE(changed_pixels(canvas, 0, 0, 799, 299, 0x2A170D).bottom, 10 + 17);
}

TEST(KeptDrawing, ACanvasWithoutKeptTextsStillDrawsText) {
  Canvas& canvas = test_canvas();
  TextCache* cache = canvas.text_cache;
  fill_rect(canvas, 0, 0, 800, 600, 0x2A170D);
  draw_text(canvas, 10, 10, "LIVES  3", Font::strong, 0xFFFFFF);
  const std::vector<Color> kept = snapshot(canvas, 0, 0, 200, 40);
  canvas.text_cache = nullptr;
  fill_rect(canvas, 0, 0, 800, 600, 0x2A170D);
  draw_text(canvas, 10, 10, "LIVES  3", Font::strong, 0xFFFFFF);
  canvas.text_cache = cache;
  EXPECT_EQ(snapshot(canvas, 0, 0, 200, 40), kept);
}

}  // namespace
