// What the player's keys, clicks and focus changes do on each screen.
#pragma once

#include "game/game_state.h"

// Keys by their meaning; the shell turns the platform's key codes into these.
enum class Key {
  left,
  right,
  space,
  enter,
  esc,
  a,
  b,
  c,
  d,
  m,
  o,
  r,
  digit1,  // the digits of the main keyboard row, not the keypad
  digit2,
  digit3,
  digit4,
  other,
};

void on_key_down(GameState& state, Key key, bool is_repeat);
void on_key_up(GameState& state, Key key);
// A left click at (x, y) in window pixels. Returns whether the game took it; a click the
// game does not take (title screen, a game in progress) is the window's own.
bool on_click(GameState& state, int x, int y, int client_width, int client_height);
void on_focus_gained(GameState& state);
void on_focus_lost(GameState& state);

// Field rectangles that take clicks, bounds inclusive; the painters draw the same boxes.
struct ClickRegion {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
inline constexpr ClickRegion kWrongCourseButton{36, 225, 764, 269};
inline constexpr ClickRegion kWrongBookButton{36, 392, 764, 436};
inline constexpr ClickRegion kWrongRetryButton{36, 475, 764, 519};
inline constexpr ClickRegion kAnswerRows{34, 194, 766, 489};
inline constexpr int kAnswerRowPitch = 76;
inline constexpr int kAnswerRowHeight = 68;
inline constexpr ClickRegion kCorrectContinueButton{34, 473, 766, 534};
inline constexpr ClickRegion kGameOverCourseButton{145, 310, 655, 346};
inline constexpr ClickRegion kGameOverBookButton{145, 435, 655, 471};
