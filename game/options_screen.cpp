#include "game/options_screen.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "game/host.h"
#include "game/rules.h"

namespace {

OptionRow row_of(const GameState& state) { return static_cast<OptionRow>(state.options_row); }

bool is_key_row(OptionRow row) { return row >= OptionRow::key_left && row <= OptionRow::key_music; }

// One step of a stepping row, down (-1) or up (+1), held at its ends.
void step(GameState& state, OptionRow row, int direction) {
  PlayerOptions& o = state.options;
  switch (row) {
    case OptionRow::music_volume:
    case OptionRow::effects_volume: {
      int32_t& volume = row == OptionRow::music_volume ? o.music_volume : o.effects_volume;
      volume = std::clamp(volume + direction * kVolumeStep, 0, 100);
      break;
    }
    case OptionRow::speed: {  // the steps run from full speed down: "up" is faster
      const auto at = std::find(std::begin(kSpeedSteps), std::end(kSpeedSteps), o.speed);
      const int index = at == std::end(kSpeedSteps) ? 0 : static_cast<int>(at - std::begin(kSpeedSteps));
      o.speed = kSpeedSteps[std::clamp(index - direction, 0, static_cast<int>(std::size(kSpeedSteps)) - 1)];
      break;
    }
    case OptionRow::reduced_motion:
      o.reduced_motion = direction > 0;
      break;
    default:
      return;
  }
  options_changed(state);
}

void close_options(GameState& state) {
  state.options_open = 0;
  state.options_waiting_key = 0;
  state.options_refused = 0;
}

// Enter, Space, a click on the row or the pad's A.
void activate(GameState& state, OptionRow row) {
  state.options_refused = 0;
  if (is_key_row(row)) {
    state.options_waiting_key = 1;
  } else if (row == OptionRow::reset_keys) {
    const PlayerOptions defaults;
    std::copy(std::begin(defaults.keys), std::end(defaults.keys), std::begin(state.options.keys));
    options_changed(state);
  } else if (row == OptionRow::done) {
    close_options(state);
  } else if (row == OptionRow::reduced_motion) {
    step(state, row, state.options.reduced_motion ? -1 : 1);
  } else {
    step(state, row, 1);
  }
}

}  // namespace

void open_options(GameState& state) {
  const bool still_behind = state.title_screen || (state.screen == Screen::play && state.paused && !state.game_over);
  if (!still_behind) return;
  state.options_open = 1;
  state.options_row = 0;
  state.options_waiting_key = 0;
  state.options_refused = 0;
}

void key_on_options(GameState& state, Key key) {
  if (state.options_waiting_key) {
    // Esc, or a pad's B or Back, keeps the old key; any other key comes by its name.
    if (key == Key::esc || key == Key::options) state.options_waiting_key = 0;
    return;
  }
  const OptionRow row = row_of(state);
  switch (key) {
    case Key::up:
    case Key::down:
      state.options_row = (state.options_row + (key == Key::up ? kOptionRowCount - 1 : 1)) % kOptionRowCount;
      state.options_refused = 0;
      break;
    case Key::left:
    case Key::right:
      step(state, row, key == Key::left ? -1 : 1);
      break;
    case Key::enter:
    case Key::space:
      activate(state, row);
      break;
    case Key::esc:
    case Key::options:
      close_options(state);
      break;
    case Key::m:
      toggle_music(state);
      break;
    default:
      break;
  }
}

bool on_key_named(GameState& state, const char* name) {
  if (!state.options_open || !state.options_waiting_key) return false;
  const int action = state.options_row - static_cast<int>(OptionRow::key_left);
  if (std::string_view(name) == "Escape") return false;  // leaves the waiting, through key_on_options
  state.options_waiting_key = 0;
  state.options_refused = !key_free_for(state.options, static_cast<Action>(action), name);
  if (!state.options_refused) {
    KeyName& key = state.options.keys[action];
    key = KeyName{};
    std::copy_n(name, std::min<size_t>(std::char_traits<char>::length(name), kKeyNameCapacity - 1), key.text);
    options_changed(state);
  }
  return true;
}

void click_on_options(GameState& state, int x, int y) {
  if (!kOptionRows.takes_click(x, y) || (y - kOptionRowTop) % kOptionRowPitch >= kOptionRowHeight) return;
  state.options_row = std::min((y - kOptionRowTop) / kOptionRowPitch, kOptionRowCount - 1);
  state.options_waiting_key = 0;
  const OptionRow row = row_of(state);
  if (row <= OptionRow::speed && x >= kOptionValueLeft) {
    step(state, row, x < kOptionValueMiddle ? -1 : 1);
  } else {
    activate(state, row);
  }
}

void options_changed(GameState& state) {
  if (state.options.speed != kFullSpeed) state.assisted_game = 1;
  set_volumes(state.options);
  save_options(state);
}

void take_stored_options(GameState& state, const PlayerOptions& options, int32_t music_muted) {
  state.options = options;
  state.music_muted = music_muted;
  state.assisted_game = options.speed != kFullSpeed;
  set_volumes(options);
  apply_audio_pause(state);
}
