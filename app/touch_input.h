// Playing with a thumb: the touches on a phone's or tablet's screen, turned into the keys
// and clicks the game already knows.
//
//   title                  a tap starts
//   field, running         hold the left or right part to steer (a finger may slide
//                          across); a tap on the top bar pauses, on the bottom bar turns
//                          the music on or off
//   field, paused          a tap resumes; on the top bar it starts a new game, on the
//                          bottom bar it turns the music on or off
//   game over              a tap on a link button opens its page, anywhere else plays again
//   quiz screens           a tap is a click: answers and buttons
//
// Taps act when the finger lifts, and only on the screen they began on: a thumb still
// steering when the game ends does not start the next one, and a page opened by a tap
// counts as the player's own doing (browsers let a page open one only then).
#pragma once

#include <SDL.h>

#include "game/game_state.h"

inline constexpr int kMaxTrackedFingers = 10;

enum class TouchScreen { title, running, paused, game_over, quiz };

struct TrackedFinger {
  SDL_FingerID id = 0;
  bool used = false;
  bool steering = false;  // held on the running field: steers by which half it is over
  bool right = false;     // the half a steering finger is over
  TouchScreen began_on = TouchScreen::title;
};

struct TouchControls {
  TrackedFinger fingers[kMaxTrackedFingers];
  bool told_left = false, told_right = false;  // what the fingers last told the game they hold
  bool seen = false;                            // a finger has touched the game
};

// The screen as a touch sees it.
TouchScreen touch_screen_of(const GameState& state);

// Hands a finger event (SDL_FINGERDOWN, SDL_FINGERMOTION, SDL_FINGERUP) to the game. The
// event's position is a fraction of the window; window_width and window_height are the
// window's size in the units the letterbox is worked out in. Returns false for any other
// event.
bool route_touch_event(TouchControls& touch, GameState& state, const SDL_Event& event, int window_width,
                       int window_height);

// Once per tick, before it: the directions fingers hold, pressed again as auto-repeats, so
// a finger held through a pause or a new level steers again as soon as the game listens.
void repeat_touch_holds(const TouchControls& touch, GameState& state);
