// The full screens and the overlays: composed from chosen states, read back where their
// shapes and texts must land, and written out for people to look at.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/input.h"
#include "game/layout.h"
#include "game/quiz.h"
#include "render/painters.h"
#include "tests/render_test_support.h"

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kQuizBackground = 0x2A170D;
constexpr Color kPanel = 0x482E19;
constexpr Color kSmudge = 0xFF00FF;  // what an earlier frame left behind

// Draws `text` as draw_text would on a plain `background` at (x, y) and says whether the
// canvas area of the given size holds those very pixels. The canvas is restored.
::testing::AssertionResult shows_text(Canvas& canvas, int x, int y, int width, int height, const char* text, Font font,
                                      Color color, Color background) {
  const std::vector<Color> shown = snapshot(canvas, x, y, x + width - 1, y + height - 1);
  cairo_surface_t* saved = cairo_surface_create_similar_image(canvas.surface, CAIRO_FORMAT_RGB24, 800, 600);
  cairo_t* cr = cairo_create(saved);
  cairo_set_source_surface(cr, canvas.surface, 0, 0);
  cairo_paint(cr);
  fill_rect(canvas, x, y, x + width, y + height, background);
  draw_text(canvas, x, y, text, font, color);
  const std::vector<Color> expected = snapshot(canvas, x, y, x + width - 1, y + height - 1);
  cairo_t* back = cairo_create(canvas.surface);
  cairo_set_source_surface(back, saved, 0, 0);
  cairo_set_operator(back, CAIRO_OPERATOR_SOURCE);
  cairo_paint(back);
  cairo_destroy(back);
  cairo_destroy(cr);
  cairo_surface_destroy(saved);
  if (shown == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" is not what shows at (" << x << ", " << y << ")";
}

GameState quiz_state(Screen screen) {
  GameState state = play_state();
  state.screen = screen;
  state.current_question = 0;
  return state;
}

// ---- title ----

TEST(TitleScreen, CoversTheWholeCanvasWithTheMascotOnTheRight) {
  Canvas& canvas = test_canvas();
  fill_rect(canvas, 0, 0, 800, 600, kSmudge);
  GameState state;  // as the program starts: the title is up
  state.screen = Screen::wrong;
  state.game_over = 1;
  compose_frame(canvas, state);
  save_frame(canvas, "title");
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, kSmudge), 0);
  // The play button, left of its caption, and the page around it.
  EXPECT_TRUE(area_is(canvas, 34, 505, 100, 548, 0x331BDF));
  EXPECT_EQ(canvas_pixel(canvas, 362, 548), 0x331BDFu);
  EXPECT_EQ(canvas_pixel(canvas, 363, 548), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 362, 549), kWhite);
  EXPECT_EQ(canvas_pixel(canvas, 33, 505), kWhite);
  EXPECT_TRUE(shows_text(canvas, 105, 516, 250, 20, "PRESS SPACE TO PLAY", Font::label, kWhite, 0x331BDF));
  EXPECT_TRUE(shows_text(canvas, 32, 27, 300, 34, "ORBILUX", Font::title, 0x3B281A, kWhite));
  EXPECT_TRUE(shows_text(canvas, 30, 65, 300, 63, "RUSH", Font::giant, 0x3018E0, kWhite));
  EXPECT_TRUE(shows_text(canvas, 34, 581, 370, 17, "R: restart   Esc: exit   Start with 3 lives", Font::body, 0x75675B,
                         kWhite));
  // The rule under the slogan, two pixels thick.
  EXPECT_TRUE(area_is(canvas, 36, 201, 362, 202, 0xEBE8E3));
  if (canvas.picture) {
    const unsigned char* data = cairo_image_surface_get_data(canvas.picture);
    const int stride = cairo_image_surface_get_stride(canvas.picture);
    for (const auto& [x, y] : {std::pair{0, 0}, {190, 237}, {379, 473}, {100, 400}, {300, 120}}) {
      uint32_t xrgb;
      std::memcpy(&xrgb, data + y * stride + x * 4, 4);
      const Color expected = ((xrgb >> 16) & 0xFF) | (xrgb & 0xFF00) | ((xrgb & 0xFF) << 16);
      EXPECT_EQ(canvas_pixel(canvas, 413 + x, 73 + y), expected) << x << "," << y;
    }
    // The mascot is not just white paper.
    EXPECT_GT(changed_pixels(canvas, 413, 73, 792, 546, kWhite).count, 5000);
  }
}

TEST(TitleScreen, WithoutThePictureTheRightHalfStaysWhite) {
  Canvas& canvas = test_canvas();
  cairo_surface_t* picture = canvas.picture;
  canvas.picture = nullptr;
  fill_rect(canvas, 0, 0, 800, 600, kSmudge);
  draw_title_screen(canvas);
  save_frame(canvas, "title_without_picture");
  canvas.picture = picture;
  EXPECT_TRUE(area_is(canvas, 413, 0, 799, 599, kWhite));
  EXPECT_GT(changed_pixels(canvas, 0, 0, 412, 599, kWhite).count, 1000);  // the left column is all there
  EXPECT_TRUE(area_is(canvas, 34, 505, 100, 548, 0x331BDF));
}

TEST(TitleScreen, GoldIconDiffersFromRedOnlyInItsFaces) {
  Canvas& canvas = test_canvas();
  struct Probe {
    int x, dy;
    Color red, gold;
  };
  // One point inside each face, clear of the strokes, and one on the white N.
  const Probe probes[] = {{54, -12, 0xC9DDE6, 0x95EFFF},
                          {56, 10, 0x361FE8, 0x18ADF2},
                          {66, 3, 0x230FA0, 0x0C73B1},
                          {40, 4, kWhite, kWhite}};
  for (const bool gold : {false, true}) {
    fill_rect(canvas, 0, 0, 800, 600, kQuizBackground);
    draw_booster_icon(canvas, 242, gold);
    for (const Probe& p : probes) EXPECT_EQ(canvas_pixel(canvas, p.x, 242 + p.dy), gold ? p.gold : p.red) << p.x;
    // The icon keeps to its column, x 36 to 72, whatever the anchor.
    const PixelBox box = changed_pixels(canvas, 0, 200, 120, 290, kQuizBackground);
    EXPECT_GE(box.left, 35);
    EXPECT_LE(box.right, 72);
    EXPECT_GE(box.top, 242 - 20);
    EXPECT_LE(box.bottom, 242 + 20);
  }
}

// ---- quiz screens ----

TEST(QuestionScreen, ShowsTheCheckpointOfTheNextLevelAndTheLivesBeforeTheAnswer) {
  Canvas& canvas = test_canvas();
  GameState state = quiz_state(Screen::question);
  state.lives = 4;
  fill_rect(canvas, 0, 0, 800, 600, kSmudge);
  compose_frame(canvas, state);
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, kSmudge), 0);
  EXPECT_TRUE(shows_text(canvas, 34, 24, 400, 27, "LEVEL 2 CHECKPOINT", Font::heading, 0xC1EF70, kQuizBackground));
  EXPECT_TRUE(shows_text(canvas, 580, 24, 200, 25, "LIVES  4", Font::strong, 0xA6AFFF, kQuizBackground));
  EXPECT_TRUE(shows_text(canvas, 36, 535, 700, 17, "Choose A, B, C or D (or 1-4). You can also click an answer.",
                         Font::body, 0xD8C2AA, kQuizBackground));
  // No HUD on the quiz screens: the top rows are the screen's own dark.
  EXPECT_TRUE(area_is(canvas, 0, 0, 799, 23, kQuizBackground));
  state.level = 4;
  compose_frame(canvas, state);
  EXPECT_TRUE(shows_text(canvas, 34, 24, 400, 27, "LEVEL 6 CHECKPOINT", Font::heading, 0xC1EF70, kQuizBackground));
}

TEST(QuestionScreen, AnswerRowsShowTheShuffledOptionsUnderFixedLetters) {
  Canvas& canvas = test_canvas();
  GameState state = quiz_state(Screen::question);
  state.current_question = 3;
  const int order[kOptionCount] = {2, 0, 3, 1};
  for (int k = 0; k < kOptionCount; ++k) state.option_order[k] = order[k];
  compose_frame(canvas, state);
  save_frame(canvas, "question");
  for (int k = 0; k < kOptionCount; ++k) {
    const int b = 194 + 76 * k;
    // The box around the letter and the text, and the gap under it.
    EXPECT_TRUE(area_is(canvas, 34, b, 45, b + 67, 0x462F1D)) << k;
    EXPECT_TRUE(area_is(canvas, 34, b + 64, 765, b + 67, 0x462F1D)) << k;
    EXPECT_EQ(canvas_pixel(canvas, 766, b + 30), kQuizBackground) << k;
    if (k < 3) {
      EXPECT_TRUE(area_is(canvas, 34, b + 68, 765, b + 75, kQuizBackground)) << k;
    }
    const char letter[2] = {static_cast<char>('A' + k), 0};
    EXPECT_TRUE(shows_text(canvas, 50, b + 18, 30, 25, letter, Font::strong, 0xC3E974, 0x462F1D)) << k;

    // The answer text is the option that option_order names, wrapped in its box.
    const std::vector<Color> shown = snapshot(canvas, 89, b + 11, 741, b + 63);
    fill_rect(canvas, 89, b + 11, 742, b + 64, 0x462F1D);
    draw_text_wrapped(canvas, 89, b + 11, 742, b + 64, kQuizBank[3].options[order[k]], Font::body, 0xF8EEE4);
    EXPECT_EQ(shown, snapshot(canvas, 89, b + 11, 741, b + 63)) << "row " << k;
    compose_frame(canvas, state);
  }
}

TEST(QuestionScreen, TheAnswerRowsAreTheClickTargets) {
  Canvas& canvas = test_canvas();
  compose_frame(canvas, quiz_state(Screen::question));
  for (int k = 0; k < kOptionCount; ++k) {
    const int top = kAnswerRows.top + kAnswerRowPitch * k;
    EXPECT_EQ(canvas_pixel(canvas, kAnswerRows.left, top), 0x462F1Du);
    EXPECT_EQ(canvas_pixel(canvas, kAnswerRows.right - 1, top + kAnswerRowHeight - 1), 0x462F1Du);
  }
}

TEST(QuestionScreen, ALongQuestionWrapsInsideItsBox) {
  Canvas& canvas = test_canvas();
  GameState state = quiz_state(Screen::question);
  state.current_question = 2;  // the longest question, over two lines
  compose_frame(canvas, state);
  save_frame(canvas, "question_long");
  const PixelBox box = changed_pixels(canvas, 0, 60, 799, 193, kQuizBackground);
  ASSERT_GT(box.count, 0);
  EXPECT_GE(box.left, 36);
  EXPECT_LE(box.right, 763);
  EXPECT_GE(box.top, 80);
  EXPECT_GE(box.bottom, 80 + 20);  // a second line, one label cell lower
  EXPECT_LE(box.bottom, 179);
}

TEST(CorrectScreen, ShowsTheExplanationTheNextLevelAndTheContinueButton) {
  Canvas& canvas = test_canvas();
  GameState state = quiz_state(Screen::correct);
  state.current_question = 5;
  fill_rect(canvas, 0, 0, 800, 600, kSmudge);
  compose_frame(canvas, state);
  save_frame(canvas, "correct");
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, kSmudge), 0);
  EXPECT_TRUE(shows_text(canvas, 36, 35, 500, 27, "CORRECT!  +1 EXTRA LIFE", Font::heading, 0xC1EF70, kQuizBackground));
  EXPECT_TRUE(shows_text(canvas, 36, 309, 720, 20, "Level 2 is ready. Let's connect more devices!", Font::label,
                         0x74D6FF, kQuizBackground));
  EXPECT_TRUE(area_is(canvas, 36, 473, 240, 533, 0x5B6F22));
  EXPECT_TRUE(area_is(canvas, 600, 473, 763, 533, 0x5B6F22));
  EXPECT_EQ(canvas_pixel(canvas, 35, 500), kQuizBackground);
  EXPECT_EQ(canvas_pixel(canvas, 764, 500), kQuizBackground);
  EXPECT_EQ(canvas_pixel(canvas, 400, 534), kQuizBackground);
  EXPECT_TRUE(shows_text(canvas, 251, 491, 300, 20, "PRESS SPACE TO CONTINUE", Font::label, kWhite, 0x5B6F22));
  // The explanation stands in its own box.
  const PixelBox text = changed_pixels(canvas, 0, 100, 799, 300, kQuizBackground);
  EXPECT_GE(text.top, 110);
  EXPECT_GE(text.left, 36);
}

TEST(WrongScreen, WithLivesLeftOffersARetry) {
  Canvas& canvas = test_canvas();
  GameState state = quiz_state(Screen::wrong);
  state.lives = 1;  // three before the answer
  compose_frame(canvas, state);
  save_frame(canvas, "wrong_retry");
  EXPECT_TRUE(
      shows_text(canvas, 36, 35, 500, 27, "KEEP LEARNING!  -2 LIVES", Font::heading, 0xC1EF70, kQuizBackground));
  EXPECT_TRUE(shows_text(canvas, 256, 487, 300, 20, "PRESS R TO TRY AGAIN", Font::label, 0xFCF3EB, 0x543B27));
  EXPECT_TRUE(shows_text(canvas, 36, 552, 700, 17, "-2 lives. Lives remaining: 1. Keep learning at your own pace!",
                         Font::body, 0xA6AFFF, kQuizBackground));
}

TEST(WrongScreen, AfterTheLastLivesOffersANewGame) {
  Canvas& canvas = test_canvas();
  GameState state = quiz_state(Screen::wrong);
  state.lives = 0;
  state.game_over = 1;
  compose_frame(canvas, state);
  save_frame(canvas, "wrong_game_over");
  EXPECT_TRUE(
      shows_text(canvas, 36, 35, 500, 27, "GAME OVER - KEEP LEARNING!", Font::heading, 0xC1EF70, kQuizBackground));
  EXPECT_TRUE(shows_text(canvas, 256, 487, 300, 20, "PRESS R FOR A NEW GAME", Font::label, 0xFCF3EB, 0x543B27));
  EXPECT_TRUE(shows_text(canvas, 36, 552, 700, 17, "-2 lives. Lives remaining: 0. Keep learning at your own pace!",
                         Font::body, 0xA6AFFF, kQuizBackground));
  // Even with the game over, no play field and no game-over panel: the quiz screen alone.
  EXPECT_TRUE(area_is(canvas, 0, 0, 799, 34, kQuizBackground));
}

TEST(WrongScreen, ButtonsAreWhereTheClicksGo) {
  Canvas& canvas = test_canvas();
  compose_frame(canvas, quiz_state(Screen::wrong));
  struct Button {
    Rect region;
    Color color;
    const char* caption;
    int caption_x, caption_y;
  };
  const Button buttons[] = {{kWrongCourseButton, 0x5B6F22, "PRESS O TO OPEN THE MOOC", 244, 237},
                            {kWrongBookButton, 0x764F2C, "PRESS B TO VIEW THE BOOK", 265, 404},
                            {kWrongRetryButton, 0x543B27, "PRESS R TO TRY AGAIN", 256, 487}};
  for (const Button& b : buttons) {
    EXPECT_TRUE(area_is(canvas, b.region.left, b.region.top, b.region.left + 150, b.region.bottom - 1, b.color));
    EXPECT_TRUE(area_is(canvas, b.region.right - 150, b.region.top, b.region.right - 1, b.region.bottom - 1, b.color));
    EXPECT_EQ(canvas_pixel(canvas, b.region.left - 1, b.region.top + 5), kQuizBackground);
    EXPECT_EQ(canvas_pixel(canvas, 400, b.region.top - 1), kQuizBackground);
    EXPECT_EQ(canvas_pixel(canvas, 400, b.region.bottom), kQuizBackground);
    EXPECT_TRUE(shows_text(canvas, b.caption_x, b.caption_y, 320, 20, b.caption, Font::label,
                           b.caption == buttons[2].caption ? 0xFCF3EB : kWhite, b.color));
  }
}

// ---- overlays ----

GameState over_state() {
  GameState state = play_state();
  state.game_over = 1;
  state.lives = 0;
  state.score = 12;
  state.best_score = 40;
  return state;
}

TEST(Overlays, GameOverPanelHidesEveryOtherOverlay) {
  Canvas& canvas = test_canvas();
  GameState plain = over_state();
  compose_frame(canvas, plain);
  save_frame(canvas, "game_over");
  const std::vector<Color> expected = snapshot(canvas, 0, 0, 799, 599);

  GameState busy = plain;
  busy.paused = 1;
  busy.has_focus = 0;
  busy.countdown = 2.5;
  busy.level_up_timer = 1.0;
  busy.level_complete = 1;
  busy.popup_timer = 0.5;
  busy.popup_kind = Popup::lost_life;
  compose_frame(canvas, busy);
  EXPECT_EQ(snapshot(canvas, 0, 0, 799, 599), expected);
}

TEST(Overlays, GameOverPanelShowsScoreLinksAndKeys) {
  Canvas& canvas = test_canvas();
  compose_frame(canvas, over_state());
  // The play field and the HUD stay under the panel.
  EXPECT_TRUE(area_is(canvas, 0, 0, 799, 17, 0x392213));
  EXPECT_TRUE(area_is(canvas, 120, 137, 300, 153, kPanel));
  EXPECT_TRUE(area_is(canvas, 600, 500, 679, 544, kPanel));
  EXPECT_NE(canvas_pixel(canvas, 119, 300), kPanel);
  EXPECT_NE(canvas_pixel(canvas, 680, 300), kPanel);
  EXPECT_TRUE(shows_text(canvas, 307, 154, 200, 27, "GAME OVER", Font::heading, 0x899DFF, kPanel));
  EXPECT_TRUE(shows_text(canvas, 258, 193, 300, 25, "Score: 12     Best: 40", Font::strong, 0x80DEFF, kPanel));
  EXPECT_TRUE(
      shows_text(canvas, 145, 281, 400, 17, "Free course. Learn at your own pace.", Font::body, 0xC1EE7F, kPanel));
  EXPECT_TRUE(shows_text(canvas, 225, 500, 300, 17, "R: play again    Esc: exit", Font::body, 0xF1E1D1, kPanel));
  EXPECT_TRUE(shows_text(canvas, 270, 318, 300, 20, "O: OPEN THE MOOC", Font::label, kWhite, 0x5B6F22));
  EXPECT_TRUE(shows_text(canvas, 276, 443, 300, 20, "B: VIEW THE BOOK", Font::label, kWhite, 0x764F2C));
  // The buttons are the click targets of the two links.
  for (const auto& [region, color] :
       {std::pair{kGameOverCourseButton, Color{0x5B6F22}}, {kGameOverBookButton, 0x764F2C}}) {
    EXPECT_TRUE(area_is(canvas, region.left, region.top, region.left + 100, region.bottom - 1, color));
    EXPECT_TRUE(area_is(canvas, region.right - 100, region.top, region.right - 1, region.bottom - 1, color));
    EXPECT_EQ(canvas_pixel(canvas, region.right, region.top + 3), kPanel);
    EXPECT_EQ(canvas_pixel(canvas, region.left + 3, region.bottom), kPanel);
  }
  // The wrapped lines keep inside their boxes (145..654).
  const PixelBox wrapped = changed_pixels(canvas, 121, 235, 679, 275, kPanel);
  EXPECT_GE(wrapped.left, 145);
  EXPECT_LE(wrapped.right, 654);
}

TEST(Overlays, FocusLostShowsThePausePanelWithTheReturnHint) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.has_focus = 0;
  compose_frame(canvas, state);
  save_frame(canvas, "pause_focus_lost");
  EXPECT_TRUE(area_is(canvas, 215, 228, 320, 245, kPanel));
  EXPECT_TRUE(area_is(canvas, 500, 310, 584, 339, kPanel));
  EXPECT_TRUE(shows_text(canvas, 329, 246, 200, 27, "PAUSED", Font::heading, 0xFCF7F2, kPanel));
  EXPECT_TRUE(shows_text(canvas, 245, 292, 330, 17, "Return to this window to resume", Font::body, 0xDECBB9, kPanel));
  state.has_focus = 1;
  state.paused = 1;
  compose_frame(canvas, state);
  save_frame(canvas, "pause");
  EXPECT_TRUE(shows_text(canvas, 245, 292, 330, 17, "Press Space to resume", Font::body, 0xDECBB9, kPanel));
}

TEST(Overlays, PausedHidesTheCountdown) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.paused = 1;
  compose_frame(canvas, state);
  const std::vector<Color> pause_only = snapshot(canvas, 0, 0, 799, 599);
  state.countdown = 2.5;
  compose_frame(canvas, state);
  EXPECT_EQ(snapshot(canvas, 0, 0, 799, 599), pause_only);
}

TEST(Overlays, FocusLostDuringTheCountdownStacksThePauseOverTheCountdown) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.has_focus = 0;
  compose_frame(canvas, state);
  const std::vector<Color> pause_only = snapshot(canvas, 215, 228, 584, 339);
  state.countdown = 2.5;
  compose_frame(canvas, state);
  save_frame(canvas, "pause_over_countdown");
  // Inside the pause panel nothing of the countdown shows ...
  EXPECT_EQ(snapshot(canvas, 215, 228, 584, 339), pause_only);
  // ... and the countdown panel peeks out only above and below it.
  EXPECT_TRUE(area_is(canvas, 269, 210, 530, 222, kPanel));
  EXPECT_TRUE(area_is(canvas, 269, 340, 530, 346, kPanel));
  EXPECT_NE(canvas_pixel(canvas, 269, 347), kPanel);
  EXPECT_NE(canvas_pixel(canvas, 268, 215), kPanel);
}

TEST(Overlays, CountdownShowsTheCountRoundedUpAndGoesAtZero) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  const std::pair<double, const char*> counts[] = {{3.0, "3"}, {2.5, "3"}, {2.0, "2"}, {1.01, "2"}, {0.01, "1"}};
  for (const auto& [countdown, digit] : counts) {
    state.countdown = countdown;
    compose_frame(canvas, state);
    if (countdown == 3.0) save_frame(canvas, "countdown");
    EXPECT_TRUE(shows_text(canvas, 379, 255, 100, 63, digit, Font::giant, 0xC2F674, kPanel)) << countdown;
    EXPECT_TRUE(shows_text(canvas, 341, 223, 180, 20, "GET READY", Font::label, 0xDEE8BC, kPanel));
    EXPECT_TRUE(area_is(canvas, 269, 210, 340, 346, kPanel));
  }
  state.countdown = 0;
  compose_frame(canvas, state);
  EXPECT_LT(count_color(canvas, 269, 210, 530, 346, kPanel), 100);
}

TEST(Overlays, MeanderWarningShowsOnlyWithTheLostLifePopup) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.popup_timer = 0.8;
  for (const Popup kind : {Popup::red_booster, Popup::gold_booster}) {
    state.popup_kind = kind;
    compose_frame(canvas, state);
    EXPECT_NE(canvas_pixel(canvas, 225, 195), 0x2E1F58u) << static_cast<int>(kind);
  }
  state.popup_kind = Popup::lost_life;
  compose_frame(canvas, state);
  save_frame(canvas, "meander_warning");
  EXPECT_TRUE(area_is(canvas, 221, 190, 578, 200, 0x2E1F58));
  EXPECT_TRUE(shows_text(canvas, 240, 201, 330, 25, "AVOID MEANDERS!  -1 LIFE", Font::strong, 0xAFBCFF, 0x2E1F58));
  state.popup_timer = 0;
  compose_frame(canvas, state);
  EXPECT_NE(canvas_pixel(canvas, 225, 195), 0x2E1F58u);
}

TEST(Overlays, BothBannersTogetherWithTheConnectedBannerOnTop) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.level = 3;
  state.level_up_timer = 1.2;
  compose_frame(canvas, state);
  save_frame(canvas, "level_up");
  EXPECT_TRUE(shows_text(canvas, 284, 171, 250, 25, "LEVEL UP!  Level 4", Font::strong, 0xBCF064, 0x4B421E));
  state.level_complete = 1;
  compose_frame(canvas, state);
  save_frame(canvas, "both_banners");
  EXPECT_TRUE(area_is(canvas, 260, 157, 539, 169, 0x4B421E));  // the level-up banner above ...
  EXPECT_TRUE(area_is(canvas, 171, 170, 215, 270, 0x404116));  // ... the connected banner over it
  EXPECT_TRUE(area_is(canvas, 260, 170, 300, 187, 0x404116));
  EXPECT_TRUE(shows_text(canvas, 220, 188, 380, 27, "EVERYTHING CONNECTED!", Font::heading, 0xCFFF7E, 0x404116));
  EXPECT_TRUE(shows_text(canvas, 217, 233, 400, 17, "Great job! A question unlocks the next level.", Font::body,
                         0xEFF5DE, 0x404116));
  state.level_up_timer = 0;
  compose_frame(canvas, state);
  save_frame(canvas, "connected");
  EXPECT_NE(canvas_pixel(canvas, 300, 160), 0x4B421Eu);
}

}  // namespace
