// The painters: each turns the game state into shapes on the canvas. They only read it.
#pragma once

#include "game/game_state.h"
#include "game/layout.h"
#include "render/canvas.h"
#include "render/shown_texts.h"

// The quiz screens' colours, which the options screen wears too, so the two read as one game.
inline constexpr Color kQuizScreenColor = 0x2A170D;
inline constexpr Color kQuizTitleColor = 0xC1EF70;
inline constexpr Color kQuizHintColor = 0xD8C2AA;
inline constexpr Color kQuizBoxColor = 0x462F1D;
inline constexpr Color kQuizLetterColor = 0xC3E974;
inline constexpr Color kQuizAnswerColor = 0xF8EEE4;
inline constexpr Color kQuizCourseButtonColor = 0x5B6F22;

// The whole frame for the current state: title, quiz screen or the play field with its HUD.
void compose_frame(Canvas& canvas, const GameState& state);

inline void fill_rect(Canvas& canvas, const Rect& r, Color color) {
  fill_rect(canvas, r.left, r.top, r.right, r.bottom, color);
}

void draw_title_screen(Canvas& canvas);
void draw_booster_icon(Canvas& canvas, int y, bool gold);
void draw_quiz_screen(Canvas& canvas, const GameState& state);
void draw_options_screen(Canvas& canvas, const GameState& state);

// The part that changes only with the level and the connections comes from a kept picture.
void draw_scene_backdrop(Canvas& canvas, const GameState& state);
void draw_signal_waves(Canvas& canvas, const GameState& state, int x, int y, int d);
// True when the backdrop of this state moves with play_clock: the robot arms of the
// factories, the turbines of the farms, and the waves of every connected device.
bool backdrop_follows_clock(const GameState& state);

void draw_catcher(Canvas& canvas, const GameState& state);
void draw_falling_item(Canvas& canvas, const GameState& state);
void draw_particles(Canvas& canvas, const GameState& state);
void draw_popup(Canvas& canvas, const GameState& state);
void draw_overlays(Canvas& canvas, const GameState& state);
