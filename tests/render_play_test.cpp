// The play field: which screen a frame shows, the HUD and ground by scene, the catcher
// and its load, the falling items, the sparks and the popups.
#include <gtest/gtest.h>

#include "render/painters.h"
#include "render/scenes.h"
#include "tests/render_test_support.h"

namespace {

constexpr Color kBar = 0x392213;

// The backdrop of this state with one text drawn over it: what a HUD value standing on
// the backdrop must look like.
std::vector<Color> backdrop_with_text(Canvas& canvas, const GameState& state, int x, int y, int width, int height,
                                      const char* text, Font font, Color color) {
  draw_scene_backdrop(canvas, state);
  draw_text(canvas, x, y, text, font, color);
  return snapshot(canvas, x, y, x + width - 1, y + height - 1);
}

// The same with a plain bar colour under the text.
std::vector<Color> bar_with_text(Canvas& canvas, int x, int y, int width, int height, const char* text, Font font,
                                 Color color) {
  fill_rect(canvas, x, y, x + width, y + height, kBar);
  draw_text(canvas, x, y, text, font, color);
  return snapshot(canvas, x, y, x + width - 1, y + height - 1);
}

TEST(ComposeFrame, TheTitleScreenAloneWhateverElseTheStateHolds) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.title_screen = 1;
  state.game_over = 1;
  state.paused = 1;
  state.countdown = 2;
  state.screen = Screen::question;
  draw_title_screen(canvas);
  const std::vector<Color> title = snapshot(canvas, 0, 0, 799, 599);
  fill_rect(canvas, 0, 0, 800, 600, 0);
  compose_frame(canvas, state);
  EXPECT_EQ(snapshot(canvas, 0, 0, 799, 599), title);
}

TEST(ComposeFrame, AQuizScreenAloneEvenAfterGameOver) {
  Canvas& canvas = test_canvas();
  for (const Screen screen : {Screen::question, Screen::correct, Screen::wrong}) {
    GameState state = play_state();
    state.screen = screen;
    state.game_over = 1;
    state.paused = 1;
    draw_quiz_screen(canvas, state);
    const std::vector<Color> alone = snapshot(canvas, 0, 0, 799, 599);
    fill_rect(canvas, 0, 0, 800, 600, 0);
    compose_frame(canvas, state);
    EXPECT_EQ(snapshot(canvas, 0, 0, 799, 599), alone) << static_cast<int>(screen);
  }
}

TEST(Hud, BarsAndFixedTextsOverTheBackdrop) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.score = 0;
  state.best_score = 1234;
  fill_rect(canvas, 0, 0, 800, 600, 0xFF00FF);
  compose_frame(canvas, state);
  save_frame(canvas, "play_hud");
  const std::vector<Color> frame = snapshot(canvas, 0, 0, 799, 599);
  EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, 0xFF00FF), 0);
  EXPECT_TRUE(area_is(canvas, 0, 0, 799, 17, kBar));
  EXPECT_TRUE(area_is(canvas, 0, 0, 27, 82, kBar));
  EXPECT_TRUE(area_is(canvas, 0, 551, 799, 558, kBar));
  EXPECT_TRUE(area_is(canvas, 0, 551, 24, 599, kBar));
  EXPECT_NE(canvas_pixel(canvas, 10, 83), kBar);

  struct Text {
    int x, y, width, height;
    const char* text;
    Font font;
    Color color;
  };
  const Text on_bars[] = {
      {28, 18, 260, 27, "ORBILUX RUSH", Font::heading, 0xFBF4ED},
      {570, 18, 200, 25, "SCORE  0", Font::strong, 0xB1E24E},
      {29, 53, 400, 17, "Catch boosters, connect everything!", Font::body, 0xBEDC74},
      {570, 53, 200, 17, "SPEED  100%", Font::body, 0x74C3FF},
      {25, 559, 700, 17, "Arrows: move   Space: pause   R: restart   M: music   Esc: exit", Font::body, 0xDECBB9},
      {25, 580, 700, 17, "Red: +1  |  Gold: +5 and +1 life  |  Avoid meanders: -1 life", Font::body, 0xCFB69E},
  };
  for (const Text& t : on_bars) {
    const std::vector<Color> shown = snapshot(canvas, t.x, t.y, t.x + t.width - 1, t.y + t.height - 1);
    EXPECT_EQ(shown, bar_with_text(canvas, t.x, t.y, t.width, t.height, t.text, t.font, t.color)) << t.text;
  }
  const Text on_backdrop[] = {
      {28, 98, 200, 25, "LIVES  3", Font::strong, 0x9992FF},
      {260, 98, 200, 17, "LEVEL  1", Font::body, 0xE8D2BE},
      {570, 98, 200, 17, "BEST  1234", Font::body, 0x6AD7FF},
  };
  for (const Text& t : on_backdrop) {
    std::vector<Color> shown;
    for (int y = t.y; y < t.y + t.height; ++y)
      for (int x = t.x; x < t.x + t.width; ++x) shown.push_back(frame[y * 800 + x]);
    EXPECT_EQ(shown, backdrop_with_text(canvas, state, t.x, t.y, t.width, t.height, t.text, t.font, t.color)) << t.text;
  }
}

TEST(Hud, NumbersFollowScoreLevelAndLives) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.level = 5;
  state.score = 987654;
  state.lives = 7;
  compose_frame(canvas, state);
  const std::vector<Color> score = snapshot(canvas, 570, 18, 799, 42);
  const std::vector<Color> speed = snapshot(canvas, 570, 53, 769, 69);
  const std::vector<Color> level = snapshot(canvas, 260, 98, 459, 114);
  const std::vector<Color> lives = snapshot(canvas, 28, 98, 227, 122);
  EXPECT_EQ(score, bar_with_text(canvas, 570, 18, 230, 25, "SCORE  987654", Font::strong, 0xB1E24E));
  EXPECT_EQ(speed, bar_with_text(canvas, 570, 53, 200, 17, "SPEED  200%", Font::body, 0x74C3FF));
  EXPECT_EQ(level, backdrop_with_text(canvas, state, 260, 98, 200, 17, "LEVEL  6", Font::body, 0xE8D2BE));
  EXPECT_EQ(lives, backdrop_with_text(canvas, state, 28, 98, 200, 25, "LIVES  7", Font::strong, 0x9992FF));
}

TEST(Hud, GroundBandFollowsTheScene) {
  Canvas& canvas = test_canvas();
  struct Case {
    int level;
    Color ground, edge;
  };
  const Case cases[] = {{0, 0x5B672A, 0x889E63}, {7, 0x5D4E67, 0x899085}, {6, 0x5B672A, 0x889E63}};
  for (const Case& c : cases) {
    GameState state = play_state();
    state.level = c.level;
    compose_frame(canvas, state);
    if (c.level == 7) save_frame(canvas, "play_level_7");
    EXPECT_EQ(mix_color(scene_look(c.level).ground_color, 0xBFE2AA, 0.45), c.edge);
    // Left and right of the catcher, which stands in the middle.
    for (const auto& [left, right] : {std::pair{0, 330}, {470, 799}}) {
      EXPECT_TRUE(area_is(canvas, left, 536, right, 538, c.edge)) << c.level;
      EXPECT_TRUE(area_is(canvas, left, 539, right, 550, c.ground)) << c.level;
    }
  }
}

TEST(Catcher, StandsAtTheTruncatedPositionOnFixedRows) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.player_x = 399.9;
  compose_frame(canvas, state);
  save_frame(canvas, "catcher");
  const int px = 399;
  // Body then cab: the cab starts at px + 3, which tells 399 from 400.
  EXPECT_TRUE(area_is(canvas, px - 50, 487, px + 2, 488, 0x2A64E8));
  EXPECT_TRUE(area_is(canvas, px + 3, 462, px + 8, 488, 0x2D77F5));
  EXPECT_TRUE(area_is(canvas, px + 9, 471, px + 31, 483, 0xEED780));   // window under its glint
  EXPECT_TRUE(area_is(canvas, px + 51, 493, px + 57, 499, 0xA2EDFF));  // headlight
  EXPECT_TRUE(area_is(canvas, px - 59, 495, px - 55, 502, 0x3F2EF7));  // tail light
  EXPECT_TRUE(area_is(canvas, px + 9, 489, px + 17, 491, 0x37384B));   // door handle
  EXPECT_TRUE(area_is(canvas, px - 16, 509, px + 25, 516, 0x1E419E));  // chassis between the wheels
  EXPECT_EQ(canvas_pixel(canvas, px - 30, 521), 0xD4C2AEu);            // rear hub
  EXPECT_EQ(canvas_pixel(canvas, px + 39, 521), 0xD4C2AEu);            // front hub
  EXPECT_EQ(canvas_pixel(canvas, px - 29, 533), 0x271A12u);            // rear tyre
  EXPECT_EQ(canvas_pixel(canvas, px, 535), 0x1D1008u);                 // shadow under the truck
  EXPECT_TRUE(area_is(canvas, px - 46, 484, px - 4, 486, 0x67B8FF));   // stripe
  // The truck keeps to px - 59 .. px + 59 and rows 461 .. 537.
  GameState empty = state;
  empty.player_x = 150;
  compose_frame(canvas, empty);
  const std::vector<Color> without = snapshot(canvas, 300, 440, 499, 550);
  compose_frame(canvas, state);
  const std::vector<Color> with = snapshot(canvas, 300, 440, 499, 550);
  int left = 999, right = -1, top = 999, bottom = -1;
  for (int y = 440; y <= 550; ++y) {
    for (int x = 300; x <= 499; ++x) {
      const size_t i = (y - 440) * 200 + (x - 300);
      if (with[i] == without[i]) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_GE(left, px - 60);
  EXPECT_LE(right, px + 60);
  EXPECT_GE(top, 460);
  EXPECT_LE(bottom, 537);
}

TEST(Catcher, TheLoadFillsRowsOfFourFromTheLeft) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  const int px = 400;
  compose_frame(canvas, state);
  const std::vector<Color> empty_bed = snapshot(canvas, px - 49, 450, px - 2, 481);
  state.cargo_count = 11;
  for (int i = 0; i < kCargoSlots; ++i) state.cargo[i] = (i % 3 == 1);
  compose_frame(canvas, state);
  save_frame(canvas, "catcher_load");
  for (int i = 0; i < kCargoSlots; ++i) {
    const int bx = px - 49 + 12 * (i % 4);
    const int top = 472 - 11 * (i / 4);
    if (i >= 11) {
      // The twelfth slot stays empty: what was behind the truck shows.
      EXPECT_EQ(canvas_pixel(canvas, bx + 8, top + 6), empty_bed[(top + 6 - 450) * 48 + (bx + 8 - (px - 49))]);
      continue;
    }
    const bool gold = state.cargo[i];
    EXPECT_TRUE(area_is(canvas, bx, top, bx + 9, top + 2, gold ? 0x9FF2FF : 0xDAEBF5)) << i;
    EXPECT_TRUE(area_is(canvas, bx + 7, top + 3, bx + 9, top + 9, gold ? 0x2DBDF8 : 0x4126E2)) << i;
    EXPECT_NE(canvas_pixel(canvas, bx + 3, top + 6), gold ? 0x2DBDF8u : 0x4126E2u) << i;  // the white tick
  }
  // The third row stands at y 450.
  EXPECT_EQ(canvas_pixel(canvas, px - 49, 450), 0xDAEBF5u);
  state.cargo_count = 0;
  compose_frame(canvas, state);
  EXPECT_EQ(snapshot(canvas, px - 49, 450, px - 2, 481), empty_bed);
}

TEST(FallingItem, BoostersAreThreeFacedBoxesAndOnlyGoldGlows) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.item.x = 600.7;
  state.item.y = 300.9;
  const int ix = 600, iy = 300;
  draw_scene_backdrop(canvas, state);
  const Color behind = canvas_pixel(canvas, ix - 25, iy);
  for (const bool gold : {false, true}) {
    state.item.is_gold = gold;
    compose_frame(canvas, state);
    save_frame(canvas, gold ? "item_gold" : "item_red");
    EXPECT_EQ(canvas_pixel(canvas, ix, iy - 12), gold ? 0xA8F4FFu : 0xE8F8FCu);      // top
    EXPECT_EQ(canvas_pixel(canvas, ix + 3, iy + 14), gold ? 0x1FB5F5u : 0x331CE6u);  // front
    EXPECT_EQ(canvas_pixel(canvas, ix + 12, iy + 3), gold ? 0x0A78BAu : 0x210AACu);  // side
    EXPECT_EQ(canvas_pixel(canvas, ix - 25, iy), gold ? 0x1F3643u : behind);         // glow or nothing
    EXPECT_EQ(canvas_pixel(canvas, ix - 8, iy + 4), 0xFFFFFFu);                      // on the zigzag mark
  }
}

TEST(FallingItem, AMeanderIsABrightTraceWithADarkOutline) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.item.x = 600;
  state.item.y = 300;
  state.item.is_meander = 1;
  compose_frame(canvas, state);
  save_frame(canvas, "item_meander");
  EXPECT_TRUE(area_is(canvas, 590, 283, 610, 285, 0x45BDFF));  // first leg, 3 wide around row 284
  EXPECT_EQ(canvas_pixel(canvas, 600, 282), 0x195186u);        // outline above it
  EXPECT_EQ(canvas_pixel(canvas, 600, 286), 0x195186u);        // and below
  EXPECT_TRUE(area_is(canvas, 615, 287, 617, 289, 0x45BDFF));  // the right-hand bend going down
}

TEST(FallingItem, AnItemAboveTheFieldShowsOnlyItsLowerPart) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  state.item.x = 400;
  state.item.y = -24;
  compose_frame(canvas, state);
  EXPECT_TRUE(area_is(canvas, 0, 0, 799, 17, kBar));  // the whole box is still above row 0
  state.item.y = 5;
  compose_frame(canvas, state);
  save_frame(canvas, "item_entering");
  EXPECT_EQ(canvas_pixel(canvas, 403, 19), 0x331CE6u);  // its front face over the top bar
}

TEST(Particles, ArmsOfThreeWhileYoungAndTwoWhenFadingDeadOnesSkipped) {
  Canvas& canvas = test_canvas();
  GameState state = play_state();
  compose_frame(canvas, state);
  const std::vector<Color> none = snapshot(canvas, 0, 0, 799, 599);
  state.particles[0] = {100.7, 300.2, 0, 0, 0.3, 0};
  state.particles[1] = {200.2, 300.9, 0, 0, 0.2, 1};
  state.particles[2] = {300, 300, 0, 0, 0.0, 0};
  compose_frame(canvas, state);
  save_frame(canvas, "particles");
  // Young red spark at (100, 300): arms reach 3 pixels.
  EXPECT_TRUE(area_is(canvas, 97, 299, 102, 300, 0xBBEB5D));
  EXPECT_TRUE(area_is(canvas, 99, 297, 100, 302, 0xBBEB5D));
  EXPECT_NE(canvas_pixel(canvas, 104, 299), 0xBBEB5Du);
  // Fading gold spark at (200, 300): arms reach 2.
  EXPECT_TRUE(area_is(canvas, 198, 299, 201, 300, 0x64DEFF));
  EXPECT_NE(canvas_pixel(canvas, 202, 299), 0x64DEFFu);
  EXPECT_NE(canvas_pixel(canvas, 199, 302), 0x64DEFFu);
  // A dead spark draws nothing.
  state.particles[0].life = 0;
  state.particles[1].life = -0.1;
  compose_frame(canvas, state);
  EXPECT_EQ(snapshot(canvas, 0, 0, 799, 599), none);
}

TEST(Popup, TextFollowsTheKindAndTheCatcher) {
  Canvas& canvas = test_canvas();
  struct Case {
    Popup kind;
    const char* text;
    int dx;
    Color color;
  };
  const Case cases[] = {{Popup::lost_life, "-1 LIFE", -35, 0x7474FF},
                        {Popup::gold_booster, "+5  +1 LIFE", -57, 0x5BDDFF},
                        {Popup::red_booster, "+1", -13, 0xB1E24E}};
  for (const Case& c : cases) {
    GameState state = play_state();
    state.player_x = 250.6;
    state.popup_timer = 0.4;
    state.popup_kind = c.kind;
    compose_frame(canvas, state);
    if (c.kind == Popup::gold_booster) save_frame(canvas, "popup_gold");
    const int x = 250 + c.dx;
    const std::vector<Color> shown = snapshot(canvas, x, 424, x + 159, 448);
    EXPECT_EQ(shown, backdrop_with_text(canvas, state, x, 424, 160, 25, c.text, Font::strong, c.color)) << c.text;
  }
  // Gone the frame the timer runs out.
  GameState state = play_state();
  compose_frame(canvas, state);
  const std::vector<Color> without = snapshot(canvas, 0, 400, 799, 460);
  state.popup_kind = Popup::gold_booster;
  state.popup_timer = 0;
  compose_frame(canvas, state);
  EXPECT_EQ(snapshot(canvas, 0, 400, 799, 460), without);
}

}  // namespace
