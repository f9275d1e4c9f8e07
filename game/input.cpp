#include "game/input.h"

#include "game/host.h"
#include "game/layout.h"
#include "game/letterbox.h"
#include "game/options_screen.h"
#include "game/quiz.h"
#include "game/rules.h"

namespace {

void key_on_title(GameState& state, Key key) {
  switch (key) {
    case Key::space:
      state.title_screen = 0;
      new_game(state);
      break;
    case Key::m:
      toggle_music(state);
      break;
    case Key::esc:
      close_window();
      break;
    case Key::options:
      open_options(state);
      break;
    default:
      break;
  }
}

void key_on_field(GameState& state, Key key, bool is_repeat) {
  // The arrows act on auto-repeat too and in every mode of the field; only the play step
  // looks at them.
  if (key == Key::left) {
    state.left_held = 1;
    return;
  }
  if (key == Key::right) {
    state.right_held = 1;
    return;
  }
  if (is_repeat) return;
  switch (key) {
    case Key::space:
      if (state.game_over) break;
      state.paused = !state.paused;
      if (!state.paused) {  // play always resumes through a fresh GET READY
        state.left_held = 0;
        state.right_held = 0;
        state.countdown = kCountdownSeconds;
      }
      apply_audio_pause(state);
      break;
    case Key::m:
      toggle_music(state);
      break;
    case Key::o:
      if (state.game_over) open_course_link();
      break;
    case Key::b:
      if (state.game_over) open_book_link();
      break;
    case Key::r:
      new_game(state);
      break;
    case Key::esc:
      close_window();
      break;
    case Key::options:
      open_options(state);
      break;
    default:
      break;
  }
}

int answer_position_of_key(Key key) {
  switch (key) {
    case Key::a:
    case Key::digit1:
      return 0;
    case Key::b:
    case Key::digit2:
      return 1;
    case Key::c:
    case Key::digit3:
      return 2;
    case Key::d:
    case Key::digit4:
      return 3;
    default:
      return -1;
  }
}

// R on the wrong screen, or a click on its bottom button.
void retry_or_new_game(GameState& state) {
  if (state.game_over) {
    new_game(state);
  } else {
    state.screen = Screen::question;  // the same question, its options where they were
  }
}

void key_on_quiz(GameState& state, Key key) {
  if (key == Key::m) {
    toggle_music(state);
    return;
  }
  if (key == Key::esc) {
    close_window();
    return;
  }
  switch (state.screen) {
    case Screen::question: {
      const int position = answer_position_of_key(key);
      if (position >= 0) answer_question(state, position);
      break;
    }
    case Screen::correct:
      if (key == Key::space || key == Key::enter) next_level(state);
      break;
    case Screen::wrong:
      if (key == Key::b) open_book_link();
      if (key == Key::o) open_course_link();
      if (key == Key::r) retry_or_new_game(state);
      break;
    case Screen::play:
      break;
  }
}

}  // namespace

void on_key_down(GameState& state, Key key, bool is_repeat) {
  if (state.options_open) {
    // Only the arrows walk the rows and the values on auto-repeat.
    const bool walks = key == Key::up || key == Key::down || key == Key::left || key == Key::right;
    if (!is_repeat || walks) key_on_options(state, key);
  } else if (state.title_screen) {
    if (!is_repeat) key_on_title(state, key);
  } else if (state.screen == Screen::play) {
    key_on_field(state, key, is_repeat);
  } else if (!is_repeat) {
    key_on_quiz(state, key);
  }
}

void on_key_up(GameState& state, Key key) {
  if (key == Key::left) state.left_held = 0;
  if (key == Key::right) state.right_held = 0;
}

bool on_click(GameState& state, int x, int y, int client_width, int client_height) {
  if (state.screen == Screen::play && !state.game_over) return false;
  const FieldPoint p = field_point_of_click(x, y, client_width, client_height);
  if (!p.inside_window) return true;

  switch (state.screen) {
    case Screen::wrong:
      if (kWrongCourseButton.takes_click(p.x, p.y)) open_course_link();
      if (kWrongBookButton.takes_click(p.x, p.y)) open_book_link();
      if (kWrongRetryButton.takes_click(p.x, p.y)) retry_or_new_game(state);
      break;
    case Screen::question:
      if (kAnswerRows.takes_click(p.x, p.y) && (p.y - kAnswerRows.top) % kAnswerRowPitch < kAnswerRowHeight) {
        answer_question(state, (p.y - kAnswerRows.top) / kAnswerRowPitch);
      }
      break;
    case Screen::correct:
      if (kCorrectContinueClickArea.takes_click(p.x, p.y)) next_level(state);
      break;
    case Screen::play:  // the game-over panel
      if (kGameOverCourseButton.takes_click(p.x, p.y)) open_course_link();
      if (kGameOverBookButton.takes_click(p.x, p.y)) open_book_link();
      break;
  }
  return true;
}

bool on_options_click(GameState& state, int x, int y, int client_width, int client_height) {
  const FieldPoint p = field_point_of_click(x, y, client_width, client_height);
  if (state.options_open) {
    if (p.inside_window) click_on_options(state, p.x, p.y);
    return true;
  }
  const bool reachable = state.title_screen || (state.screen == Screen::play && state.paused && !state.game_over);
  if (!reachable || !p.inside_window || !kOptionsCorner.takes_click(p.x, p.y)) return false;
  open_options(state);
  return true;
}

void on_focus_gained(GameState& state) {
  state.has_focus = 1;
  if (!state.title_screen && !state.paused && !state.game_over && !state.level_complete &&
      state.screen == Screen::play) {
    state.countdown = kCountdownSeconds;
  }
  apply_audio_pause(state);
}

void on_focus_lost(GameState& state) {
  state.has_focus = 0;
  state.left_held = 0;
  state.right_held = 0;
  apply_audio_pause(state);
}
