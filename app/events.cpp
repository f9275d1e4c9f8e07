#include "app/events.h"

#include <cstring>

Key key_of_keycode(SDL_Keycode code) {
  switch (code) {
    case SDLK_LEFT:
      return Key::left;
    case SDLK_RIGHT:
      return Key::right;
    case SDLK_SPACE:
      return Key::space;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return Key::enter;
    case SDLK_ESCAPE:
      return Key::esc;
    case SDLK_a:
      return Key::a;
    case SDLK_b:
      return Key::b;
    case SDLK_c:
      return Key::c;
    case SDLK_d:
      return Key::d;
    case SDLK_m:
      return Key::m;
    case SDLK_o:
      return Key::o;
    case SDLK_r:
      return Key::r;
    case SDLK_1:
      return Key::digit1;
    case SDLK_2:
      return Key::digit2;
    case SDLK_3:
      return Key::digit3;
    case SDLK_4:
      return Key::digit4;
    default:
      return Key::other;
  }
}

namespace {

Key key_of_action(int action) {
  constexpr Key kActionKeys[kActionCount] = {Key::left, Key::right, Key::space, Key::r, Key::m};
  return kActionKeys[action];
}

bool is_action_key(Key key) {
  return key == Key::left || key == Key::right || key == Key::space || key == Key::r || key == Key::m;
}

}  // namespace

Key key_of_event(const GameState& state, SDL_Keycode code) {
  const Key fixed = key_of_keycode(code);
  // Off the running field the screens keep their own keys first, as their words say them
  // ("Press Space to resume", R for a new game); the player's keys work there too.
  const bool field_runs =
      !state.options_open && !state.title_screen && state.screen == Screen::play && !state.paused && !state.game_over;
  if (!field_runs && fixed != Key::other) return fixed;
  const char* name = SDL_GetKeyName(code);
  for (int a = 0; a < kActionCount && !state.options_open; ++a) {
    if (std::strcmp(name, state.options.keys[a].text) == 0) return key_of_action(a);
  }
  if (code == SDLK_UP) return Key::up;
  if (code == SDLK_DOWN) return Key::down;
  if (std::strcmp(name, kOptionsKeyName) == 0) return Key::options;
  // A key whose action moved elsewhere is free, and does nothing.
  return is_action_key(fixed) ? Key::other : fixed;
}

namespace {

EventEffect route_window_event(GameState& state, const SDL_WindowEvent& event) {
  EventEffect effect;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      on_focus_gained(state);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      on_focus_lost(state);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      effect.repaint = true;
      break;
    default:
      break;
  }
  return effect;
}

}  // namespace

EventEffect route_event(GameState& state, const SDL_Event& event, int window_width, int window_height) {
  EventEffect effect;
  switch (event.type) {
    case SDL_QUIT:
      effect.quit = true;
      break;
    case SDL_WINDOWEVENT:
      effect = route_window_event(state, event.window);
      break;
    case SDL_KEYDOWN:
      // Alt combinations belong to the desktop (window menu, switching), not to the game.
      if (event.key.keysym.mod & KMOD_ALT) break;
      if (event.key.repeat == 0 && on_key_named(state, SDL_GetKeyName(event.key.keysym.sym))) break;
      on_key_down(state, key_of_event(state, event.key.keysym.sym), event.key.repeat != 0);
      break;
    case SDL_KEYUP:
      // Always passed on, so an arrow released with Alt held does not stay held.
      on_key_up(state, key_of_event(state, event.key.keysym.sym));
      break;
    case SDL_MOUSEBUTTONDOWN:
      // A click the game does not take (title screen, a game in progress) just ends here.
      if (event.button.button == SDL_BUTTON_LEFT &&
          !on_options_click(state, event.button.x, event.button.y, window_width, window_height)) {
        on_click(state, event.button.x, event.button.y, window_width, window_height);
      }
      break;
    default:
      break;
  }
  return effect;
}
