// The thumb's controls: SDL's finger events, at fractions of a letterboxed window, reaching
// the same keys and clicks the keyboard and mouse give. The real rules run; no window
// exists, so every sound call falls silent.
#include <gtest/gtest.h>

#include "app/touch_input.h"
#include "game/layout.h"
#include "game/rules.h"

namespace {

// A wide window: the field fills its height and sits in the middle third of its width.
constexpr int kWidth = 2400, kHeight = 600, kFieldLeft = 800;

struct Thumbs {
  TouchControls touch;
  GameState state;
  Thumbs() { start_program(state, 7, false, 0); }

  void send(Uint32 type, SDL_FingerID id, int field_x, int field_y) {
    SDL_Event event{};
    event.type = type;
    event.tfinger.type = type;
    event.tfinger.fingerId = id;
    event.tfinger.x = (kFieldLeft + field_x + 0.5f) / kWidth;
    event.tfinger.y = (field_y + 0.5f) / kHeight;
    EXPECT_TRUE(route_touch_event(touch, state, event, kWidth, kHeight));
  }
  void down(SDL_FingerID id, int x, int y) { send(SDL_FINGERDOWN, id, x, y); }
  void slide(SDL_FingerID id, int x, int y) { send(SDL_FINGERMOTION, id, x, y); }
  void up(SDL_FingerID id, int x, int y) { send(SDL_FINGERUP, id, x, y); }
  void tap(int x, int y) {
    down(99, x, y);
    up(99, x, y);
  }
};

constexpr int kMiddleY = 300, kTopBarY = kTopBarBottom / 2, kBottomBarY = (kBottomBarTop + 600) / 2;

}  // namespace

TEST(Touch, OtherEventsAreNotTouches) {
  Thumbs t;
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  EXPECT_FALSE(route_touch_event(t.touch, t.state, key, kWidth, kHeight));
  EXPECT_FALSE(t.touch.seen);
}

TEST(Touch, ATapStartsPausesAndResumesAndTheBarsTakeTaps) {
  Thumbs t;
  t.down(1, 400, kMiddleY);
  EXPECT_EQ(t.state.title_screen, 1) << "the title waits for the finger to lift";
  t.up(1, 400, kMiddleY);
  EXPECT_EQ(t.state.title_screen, 0);
  EXPECT_TRUE(t.touch.seen);

  t.tap(400, kBottomBarY);
  EXPECT_EQ(t.state.music_muted, 1);
  EXPECT_EQ(t.state.paused, 0);
  t.tap(400, kTopBarY);
  EXPECT_EQ(t.state.paused, 1);
  t.tap(400, kBottomBarY);
  EXPECT_EQ(t.state.music_muted, 0) << "the music still answers while paused";
  EXPECT_EQ(t.state.paused, 1);
  t.tap(100, kMiddleY);
  EXPECT_EQ(t.state.paused, 0);
  EXPECT_GT(t.state.countdown, 0) << "resuming goes through GET READY, as Space does";

  t.state.score = 5;
  t.tap(400, kTopBarY);
  t.tap(400, kTopBarY);
  EXPECT_EQ(t.state.paused, 0);
  EXPECT_EQ(t.state.score, 0) << "the top bar while paused starts a new game";
}

TEST(Touch, HeldFingersSteerByTheHalfTheyAreOver) {
  Thumbs t;
  t.tap(400, kMiddleY);
  t.down(1, 600, kMiddleY);
  EXPECT_EQ(t.state.right_held, 1);
  EXPECT_EQ(t.state.left_held, 0);
  t.slide(1, 399, kMiddleY);
  EXPECT_EQ(t.state.right_held, 0) << "slid across the middle";
  EXPECT_EQ(t.state.left_held, 1);
  t.down(2, 799, 599 - 50);  // the second thumb, low on the right
  EXPECT_EQ(t.state.right_held, 1);
  t.up(1, 399, kMiddleY);
  EXPECT_EQ(t.state.left_held, 0);
  EXPECT_EQ(t.state.right_held, 1);
  EXPECT_EQ(t.state.paused, 0) << "lifting a steering finger is no tap";

  // A pause drops the held direction, as it does for keys; the finger still held takes
  // hold again at the first tick after resuming.
  t.tap(400, kTopBarY);
  t.tap(100, kMiddleY);
  EXPECT_EQ(t.state.right_held, 0);
  repeat_touch_holds(t.touch, t.state);
  EXPECT_EQ(t.state.right_held, 1);
  t.up(2, 799, 549);
  EXPECT_EQ(t.state.right_held, 0);
  repeat_touch_holds(t.touch, t.state);
  EXPECT_EQ(t.state.right_held, 0);
}

TEST(Touch, AfterGameOverOnlyAFreshTapPlaysAgain) {
  Thumbs t;
  t.tap(400, kMiddleY);
  t.down(1, 700, kMiddleY);
  t.state.game_over = 1;  // the last life went while the thumb was steering
  t.up(1, 700, kMiddleY);
  EXPECT_EQ(t.state.game_over, 1) << "the steering thumb lifting starts nothing";
  t.down(2, 400, kMiddleY);
  t.state.game_over = 0;
  t.state.paused = 1;
  t.up(2, 400, kMiddleY);
  EXPECT_EQ(t.state.paused, 1) << "a tap acts only on the screen it began on";
  t.state.paused = 0;
  t.state.game_over = 1;
  t.tap(400, 600 - 2);  // below the panel, clear of its two link buttons
  EXPECT_EQ(t.state.game_over, 0) << "a fresh tap outside the buttons plays again";
}

TEST(Touch, ATapOnAQuizScreenIsAClick) {
  Thumbs t;
  t.tap(400, kMiddleY);
  t.state.screen = Screen::question;
  EXPECT_EQ(touch_screen_of(t.state), TouchScreen::quiz);
  t.tap(400, kAnswerRows.top + kAnswerRowHeight + 3);  // the gap between two rows answers nothing
  EXPECT_EQ(t.state.screen, Screen::question);
  t.tap(400, kAnswerRows.top + 10);
  EXPECT_NE(t.state.screen, Screen::question);
}
