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
  up,       // the options screen's rows
  down,
  options,  // opens and closes the options screen
  other,
};

void on_key_down(GameState& state, Key key, bool is_repeat);
void on_key_up(GameState& state, Key key);
// A left click at (x, y) in window pixels. Returns whether the game took it; a click the
// game does not take (title screen, a game in progress) is the window's own.
bool on_click(GameState& state, int x, int y, int client_width, int client_height);
// While a key row of the options screen waits, the next key pressed, by the platform's name.
// Returns whether it was taken by the options screen (then it means nothing else).
bool on_key_named(GameState& state, const char* name);
// A left click on the options screen, or on the corner that opens it over the title or a
// paused field: returns whether it was the options'; any other goes on to on_click.
bool on_options_click(GameState& state, int x, int y, int client_width, int client_height);
void on_focus_gained(GameState& state);
void on_focus_lost(GameState& state);
