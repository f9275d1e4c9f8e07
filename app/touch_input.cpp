#include "app/touch_input.h"

#include "game/input.h"
#include "game/layout.h"
#include "game/letterbox.h"

namespace {

bool in_top_bar(const FieldPoint& p) { return p.x >= 0 && p.x < kFieldWidth && p.y >= 0 && p.y < kTopBarBottom; }
bool in_bottom_bar(const FieldPoint& p) {
  return p.x >= 0 && p.x < kFieldWidth && p.y >= kBottomBarTop && p.y < kFieldHeight;
}
bool on_right_half(const FieldPoint& p) { return p.x >= kFieldWidth / 2; }

FieldPoint field_point_of(const SDL_TouchFingerEvent& finger, int window_width, int window_height) {
  return field_point_of_click(static_cast<int>(finger.x * window_width), static_cast<int>(finger.y * window_height),
                              window_width, window_height);
}

TrackedFinger* find_finger(TouchControls& touch, SDL_FingerID id) {
  for (TrackedFinger& f : touch.fingers)
    if (f.used && f.id == id) return &f;
  return nullptr;
}

// Tells the game what the steering fingers together hold now, releases first.
void tell_holds(TouchControls& touch, GameState& state) {
  bool left = false, right = false;
  for (const TrackedFinger& f : touch.fingers) {
    if (!f.used || !f.steering) continue;
    (f.right ? right : left) = true;
  }
  if (touch.told_left && !left) on_key_up(state, Key::left);
  if (touch.told_right && !right) on_key_up(state, Key::right);
  if (!touch.told_left && left) on_key_down(state, Key::left, false);
  if (!touch.told_right && right) on_key_down(state, Key::right, false);
  touch.told_left = left;
  touch.told_right = right;
}

void finger_down(TouchControls& touch, GameState& state, SDL_FingerID id, const FieldPoint& p) {
  TrackedFinger* finger = find_finger(touch, id);
  for (TrackedFinger& f : touch.fingers) {
    if (finger == nullptr && !f.used) finger = &f;
  }
  if (finger == nullptr) return;  // more fingers than anyone plays with
  *finger = TrackedFinger{};
  finger->id = id;
  finger->used = true;
  finger->began_on = touch_screen_of(state);
  finger->steering = finger->began_on == TouchScreen::running && !in_top_bar(p) && !in_bottom_bar(p);
  finger->right = on_right_half(p);
  if (finger->steering) tell_holds(touch, state);
}

void tap(GameState& state, const FieldPoint& p) {
  // The options screen, and the corner that opens it, take taps as clicks.
  if (on_options_click(state, p.x, p.y, kFieldWidth, kFieldHeight)) return;
  switch (touch_screen_of(state)) {
    case TouchScreen::title:
      on_key_down(state, Key::space, false);
      break;
    case TouchScreen::running:
      if (in_top_bar(p)) on_key_down(state, Key::space, false);
      if (in_bottom_bar(p)) on_key_down(state, Key::m, false);
      break;
    case TouchScreen::paused:
      on_key_down(state, in_top_bar(p) ? Key::r : in_bottom_bar(p) ? Key::m : Key::space, false);
      break;
    case TouchScreen::game_over:
      if (kGameOverCourseButton.takes_click(p.x, p.y) || kGameOverBookButton.takes_click(p.x, p.y)) {
        on_click(state, p.x, p.y, kFieldWidth, kFieldHeight);  // field points, a field-sized window
      } else {
        on_key_down(state, Key::r, false);
      }
      break;
    case TouchScreen::quiz:
      on_click(state, p.x, p.y, kFieldWidth, kFieldHeight);
      break;
  }
}

void finger_up(TouchControls& touch, GameState& state, SDL_FingerID id, const FieldPoint& p) {
  TrackedFinger* finger = find_finger(touch, id);
  if (finger == nullptr) return;
  const TrackedFinger was = *finger;
  finger->used = false;
  if (was.steering) {
    tell_holds(touch, state);
  } else if (was.began_on == touch_screen_of(state)) {
    tap(state, p);
  }
}

}  // namespace

TouchScreen touch_screen_of(const GameState& state) {
  if (state.title_screen) return TouchScreen::title;
  if (state.screen != Screen::play) return TouchScreen::quiz;
  if (state.game_over) return TouchScreen::game_over;
  return state.paused ? TouchScreen::paused : TouchScreen::running;
}

bool route_touch_event(TouchControls& touch, GameState& state, const SDL_Event& event, int window_width,
                       int window_height) {
  if (event.type != SDL_FINGERDOWN && event.type != SDL_FINGERMOTION && event.type != SDL_FINGERUP) return false;
  touch.seen = true;
  const SDL_TouchFingerEvent& f = event.tfinger;
  const FieldPoint p = field_point_of(f, window_width, window_height);
  if (!p.inside_window) return true;
  if (event.type == SDL_FINGERDOWN) {
    finger_down(touch, state, f.fingerId, p);
  } else if (event.type == SDL_FINGERUP) {
    finger_up(touch, state, f.fingerId, p);
  } else if (TrackedFinger* finger = find_finger(touch, f.fingerId); finger != nullptr && finger->steering) {
    finger->right = on_right_half(p);  // slid across the middle: the other way now
    tell_holds(touch, state);
  }
  return true;
}

void repeat_touch_holds(const TouchControls& touch, GameState& state) {
  if (!state.has_focus) return;
  if (touch.told_left) on_key_down(state, Key::left, true);
  if (touch.told_right) on_key_down(state, Key::right, true);
}
