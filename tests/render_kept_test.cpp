// What the canvas keeps between frames to draw faster must never show: every screen drawn
// with the kept work is the very picture drawn the plain way, frame after frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "render/painters.h"
#include "tests/render_test_support.h"

namespace {

std::vector<Color> compose(Canvas& canvas, const GameState& state, bool plain) {
  Canvas& drawn = plain ? plain_canvas() : canvas;
  compose_frame(drawn, state);
  return snapshot(drawn, 0, 0, 799, 599);
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

// The field drawn at twice the scale is the same picture, finer: each 2 x 2 block averaged
// comes back to the frame drawn at scale 1. Glyphs are hinted at their own size and placed
// on whole device pixels, so a glyph can sit half a field pixel off and its edges differ: up
// to 51 per channel on average over an 8 x 8 block of lettering here, 1.1 over a whole
// frame. What is drawn at another place or size differs more: ellipses left unscaled by 139
// or more in a block and 27 over a frame, every text one field pixel lower by up to 77 in
// a block. The bounds are 64 a block and 1.5 a frame. Back at scale 1 the canvas draws its
// old pixels again.
TEST(ScaledDrawing, TwiceTheScaleAveragedDownIsTheSameFrame) {
  constexpr int kBlock = 8;
  constexpr double kBlockBound = 64, kFrameBound = 1.5;
  Canvas& plain = test_canvas();
  Canvas fine;
  ASSERT_TRUE(canvas_create(fine));
  ASSERT_TRUE(canvas_set_scale(fine, 2));
  ASSERT_EQ(fine.width, 1600);
  ASSERT_EQ(fine.height, 1200);
  int n = 0;
  for (const GameState& state : every_screen()) {
    const std::vector<Color> expected = compose(plain, state, false);
    compose_frame(fine, state);
    save_frame(fine, "scale_2_" + std::to_string(n));
    const std::vector<Color> big = snapshot(fine, 0, 0, 1599, 1199);
    double worst = 0, frame = 0;
    int worst_x = 0, worst_y = 0;
    for (int by = 0; by < 600; by += kBlock) {
      for (int bx = 0; bx < 800; bx += kBlock) {
        double sum = 0;
        for (int y = by; y < by + kBlock; ++y) {
          for (int x = bx; x < bx + kBlock; ++x) {
            for (int shift = 0; shift <= 16; shift += 8) {
              int four = 0;
              for (int k = 0; k < 4; ++k) four += (big[(2 * y + k / 2) * 1600 + 2 * x + k % 2] >> shift) & 0xFF;
              sum += std::abs(four / 4.0 - ((expected[y * 800 + x] >> shift) & 0xFF));
            }
          }
        }
        const double mean = sum / (kBlock * kBlock * 3);
        frame += mean / (800 / kBlock * 600 / kBlock);
        if (mean > worst) worst = mean, worst_x = bx, worst_y = by;
      }
    }
    EXPECT_LE(worst, kBlockBound) << "state " << n << ", the block at (" << worst_x << ", " << worst_y << ")";
    EXPECT_LE(frame, kFrameBound) << "state " << n;
    ++n;
  }
  ASSERT_TRUE(canvas_set_scale(fine, 1));
  n = 0;
  for (const GameState& state : every_screen()) {
    compose_frame(fine, state);
    EXPECT_EQ(snapshot(fine, 0, 0, 799, 599), compose(plain, state, false)) << "state " << n << " back at scale 1";
    ++n;
  }
  canvas_destroy(fine);
}

TEST(KeptDrawing, ChangingNumbersNeverShowAStaleText) {
  Canvas& canvas = test_canvas();
  GameState state = busy_play_state();
  for (int score = 0; score < 80; score += 7) {
    state.score = score;
    state.lives = score % 9;
    state.play_clock += 0.016;
    const std::vector<Color> kept = compose(canvas, state, false);
    EXPECT_EQ(kept, compose(canvas, state, true)) << "score " << score;
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

}  // namespace
