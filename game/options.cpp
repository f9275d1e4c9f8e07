#include "game/options.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string_view>

namespace {

// Keys whose meaning never moves: the quiz's continue, the game-over panel's links, quitting,
// the window's fullscreen, and the options screen's own.
constexpr const char* kKeptKeys[] = {"Return", "Keypad Enter", "Escape", "O", "B", "F11", kOptionsKeyName};

bool is_kept_key(const char* name) {
  if (name[0] == '\0') return true;
  for (const char* kept : kKeptKeys) {
    if (std::strcmp(kept, name) == 0) return true;
  }
  return false;
}

std::string_view trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A whole decimal number from 0 to 100, nothing else; -1 otherwise.
int percent_of(std::string_view s) {
  if (s.empty() || s.size() > 3) return -1;
  int value = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= 100 ? value : -1;
}

void read_line(std::string_view line, CanonicalKeyName canonical, PlayerOptions& options, int32_t& music_muted) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view name = trimmed(line.substr(0, equals));
  const std::string_view value = trimmed(line.substr(equals + 1));
  const int number = percent_of(value);
  if (name == "music_volume" || name == "effects_volume") {
    if (number < 0 || number % kVolumeStep != 0) return;
    (name == "music_volume" ? options.music_volume : options.effects_volume) = number;
  } else if (name == "speed") {
    if (std::find(std::begin(kSpeedSteps), std::end(kSpeedSteps), number) != std::end(kSpeedSteps)) {
      options.speed = number;
    }
  } else if (name == "reduced_motion" || name == "music_muted") {
    if (number == 0 || number == 1) (name == "reduced_motion" ? options.reduced_motion : music_muted) = number;
  } else {
    for (int a = 0; a < kActionCount; ++a) {
      if (name != kOptionNames[kFirstKeyOption + a] || value.empty() || value.size() >= kKeyNameCapacity) continue;
      const std::string spelled(value);
      KeyName key;
      if (canonical(spelled.c_str(), key)) options.keys[a] = key;
    }
  }
}

}  // namespace

void read_options(const std::string& text, CanonicalKeyName canonical, PlayerOptions& options, int32_t& music_muted) {
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    read_line(rest.substr(0, end), canonical, options, music_muted);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  // Keys are judged once all are read, so that two swapped by hand both hold: a key that is
  // kept or already an earlier action's goes back to its default, and should that still
  // clash, every key does.
  const PlayerOptions defaults;
  for (int a = 0; a < kActionCount; ++a) {
    bool taken = is_kept_key(options.keys[a].text);
    for (int b = 0; b < a; ++b) taken = taken || std::strcmp(options.keys[b].text, options.keys[a].text) == 0;
    if (taken) options.keys[a] = defaults.keys[a];
  }
  bool clash = false;
  for (int a = 0; a < kActionCount; ++a) clash = clash || !key_free_for(options, static_cast<Action>(a), options.keys[a].text);
  if (clash) std::copy(std::begin(defaults.keys), std::end(defaults.keys), std::begin(options.keys));
}

std::string write_options(const PlayerOptions& options, int32_t music_muted) {
  std::ostringstream out;
  out << "music_volume = " << options.music_volume << "\neffects_volume = " << options.effects_volume << '\n';
  for (int a = 0; a < kActionCount; ++a) out << kOptionNames[kFirstKeyOption + a] << " = " << options.keys[a].text << '\n';
  out << "speed = " << options.speed << "\nreduced_motion = " << options.reduced_motion
      << "\nmusic_muted = " << music_muted << '\n';
  return out.str();
}

bool key_free_for(const PlayerOptions& options, Action action, const char* name) {
  if (is_kept_key(name)) return false;
  for (int a = 0; a < kActionCount; ++a) {
    if (a != static_cast<int>(action) && std::strcmp(options.keys[a].text, name) == 0) return false;
  }
  return true;
}
