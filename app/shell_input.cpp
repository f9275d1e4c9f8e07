#include "app/shell_input.h"

#include "game/input.h"

namespace {

// One key the pads stand for changed: press or release it in the game. A direction still
// held on the keyboard keeps its release to itself.
void tell_game(GameState& state, Key key, bool now_held, bool keyboard_holds) {
  if (now_held) {
    on_key_down(state, key, false);
  } else if (!keyboard_holds) {
    on_key_up(state, key);
  }
}

// Tells the game what changed between what the pads held before and what they hold now.
// Releases go first, so that a stick flung from left to right lets go of Left before
// pressing Right.
void tell_pad_changes(ShellInput& input, GameState& state) {
  const PadHolds now = pad_holds(input.pads);
  PadHolds& told = input.told;
  if (told.left && !now.left) tell_game(state, Key::left, false, input.keyboard_left);
  if (told.right && !now.right) tell_game(state, Key::right, false, input.keyboard_right);
  if (told.space && !now.space) tell_game(state, Key::space, false, false);
  if (told.r && !now.r) tell_game(state, Key::r, false, false);
  if (!told.left && now.left) tell_game(state, Key::left, true, input.keyboard_left);
  if (!told.right && now.right) tell_game(state, Key::right, true, input.keyboard_right);
  if (!told.space && now.space) tell_game(state, Key::space, true, false);
  if (!told.r && now.r) tell_game(state, Key::r, true, false);
  told = now;
}

// Keeps count of the keyboard's arrows; returns false for a release the game must not see
// because a pad still holds that direction.
bool note_keyboard_arrow(ShellInput& input, const GameState& state, const SDL_KeyboardEvent& key) {
  const bool down = key.type == SDL_KEYDOWN;
  // With Alt the press is the desktop's and never reaches the game: it holds nothing.
  if (down && (key.keysym.mod & KMOD_ALT)) return true;
  const Key meaning = key_of_event(state, key.keysym.sym);
  if (meaning == Key::left) {
    input.keyboard_left = down;
    return down || !input.told.left;
  }
  if (meaning == Key::right) {
    input.keyboard_right = down;
    return down || !input.told.right;
  }
  return true;
}

// The pad's Back opens the options; while they are open the pad walks them with presses,
// not holds: the D-pad moves and changes, A sets, B and Back leave. Releases go on as ever,
// so no button stays held once the screen closes.
bool pad_press_on_options(GameState& state, const SDL_ControllerButtonEvent& button) {
  if (button.type != SDL_CONTROLLERBUTTONDOWN) return false;
  Key key = Key::other;
  switch (button.button) {
    case SDL_CONTROLLER_BUTTON_BACK:
      key = Key::options;
      break;
    case SDL_CONTROLLER_BUTTON_B:
      key = state.options_open ? Key::options : Key::other;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      key = Key::up;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      key = Key::down;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      key = Key::left;
      break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      key = Key::right;
      break;
    case SDL_CONTROLLER_BUTTON_A:
      key = Key::enter;
      break;
    default:
      break;
  }
  if (key == Key::other || (!state.options_open && key != Key::options)) return false;
  on_key_down(state, key, false);
  return true;
}

ShellEffect from_game(const EventEffect& effect) {
  ShellEffect shell;
  shell.repaint = effect.repaint;
  shell.quit = effect.quit;
  return shell;
}

}  // namespace

ShellEffect route_shell_event(ShellInput& input, GameState& state, const SDL_Event& event, int window_width,
                              int window_height) {
  ShellEffect effect;
  switch (classify_desktop_key(input.fullscreen_keys, event)) {
    case DesktopKey::toggle:
      effect.toggle_fullscreen = true;
      return effect;
    case DesktopKey::taken:
      return effect;
    case DesktopKey::none:
      break;
  }

  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      open_pad(input.pads, event.cdevice.which);  // a device index here
      return effect;
    case SDL_CONTROLLERDEVICEREMOVED:
      forget_pad(input.pads, event.cdevice.which);  // an instance id here
      tell_pad_changes(input, state);
      return effect;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (pad_press_on_options(state, event.cbutton)) return effect;
      [[fallthrough]];
    case SDL_CONTROLLERAXISMOTION:
      if (note_pad_event(input.pads, event)) tell_pad_changes(input, state);
      return effect;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (!note_keyboard_arrow(input, state, event.key)) return effect;
      break;
    default:
      break;
  }
  return from_game(route_event(state, event, window_width, window_height));
}

void repeat_pad_holds(const ShellInput& input, GameState& state) {
  // A window without the focus hears no keys and repeats none; the focus coming back lets
  // the held direction take hold again at the next tick.
  if (!state.has_focus) return;
  if (input.told.left) on_key_down(state, Key::left, true);
  if (input.told.right) on_key_down(state, Key::right, true);
}

void release_all_pads(ShellInput& input, GameState& state) {
  close_gamepads(input.pads);
  tell_pad_changes(input, state);
}
