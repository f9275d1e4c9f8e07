// What the screen says, as words: the same texts the painters draw, in reading order, for a
// page that gives them to assistive technology beside the canvas. Built from the game state
// alone, like a frame; fixed buffers, so it can run every frame without allocating.
#pragma once

#include "game/game_state.h"

inline constexpr int kWordsLineCapacity = 192;
inline constexpr int kWordsMaxLines = 16;
inline constexpr int kWordsMaxButtons = kOptionCount;

// An action the screen offers, as a button: its name, and the key that does the same thing
// (as the key's character: 'a' to 'd', 'o', 'b', 'r' or ' ').
struct WordsButton {
  char label[kWordsLineCapacity];
  char key;
};

struct ScreenWords {
  char lines[kWordsMaxLines][kWordsLineCapacity];
  int line_count = 0;
  WordsButton buttons[kWordsMaxButtons];
  int button_count = 0;
  // The few words worth saying aloud when they change: the screen or the overlay shown,
  // lives and level while playing. A catch (the score) does not change them, so a listener
  // hears a lost life, a new level, the quiz and game over, not every booster.
  char news[kWordsLineCapacity * 2];
};

// Fills `words` for what a frame of `state` shows; `touch_controls` as the canvas has it (the
// help texts differ for touch screens).
void describe_screen(ScreenWords& words, const GameState& state, bool touch_controls);

// The bottom bar's help line: the player's own keys where they chose others, else the game's
// own words for keyboards or touch screens.
void format_hud_help(char* out, int capacity, const GameState& state, bool touch_controls);

// The value an options row shows ("50 %", "On", a key's name, "press a key..."); empty for
// the rows that only act.
void format_option_value(char* out, int capacity, const GameState& state, int row);

// The options screen's foot: how to change the rows (or the key just refused) and how to
// leave, in the words of keys and pads or of touch.
struct OptionsFoot {
  const char* hint;
  const char* leave;
};
OptionsFoot options_foot(const GameState& state, bool touch_controls);

// True when the two say the same: the page is only told of a change.
bool same_words(const ScreenWords& a, const ScreenWords& b);
