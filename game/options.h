// The player's options: the volumes, the keys, the game's speed and the decorative motion,
// kept between runs as `name = value` lines, and the screen that changes them.
#pragma once

#include <cstdint>
#include <string>

#include "game/layout.h"

// The actions a player may move to another key; the quiz's A-D and 1-4 stay where they are.
enum class Action : int32_t { left, right, pause, restart, music };
inline constexpr int kActionCount = 5;

// A key by the name the platform gives it ("Left", "Space", "A"): the file holds these names,
// the screen shows them and the shell matches pressed keys against them.
inline constexpr int kKeyNameCapacity = 32;
struct KeyName {
  char text[kKeyNameCapacity] = {};
  bool operator==(const KeyName&) const = default;
};

inline constexpr int kFullSpeed = 100;
inline constexpr int32_t kSpeedSteps[] = {100, 85, 70, 50};
inline constexpr int kVolumeStep = 10;

struct PlayerOptions {
  int32_t music_volume = 100;  // percent, 0..100 in steps of 10
  int32_t effects_volume = 100;  // the effects and the chime
  int32_t speed = kFullSpeed;  // percent of the field's clock: one of kSpeedSteps
  int32_t reduced_motion = 0;  // the waves, turbines, arms and sparks held still
  KeyName keys[kActionCount] = {{"Left"}, {"Right"}, {"Space"}, {"R"}, {"M"}};

  bool operator==(const PlayerOptions&) const = default;
};

// The names of the lines of the options' file, in the order they are written; the keys' five
// follow kFirstKeyOption in the order of Action.
inline constexpr const char* kOptionNames[] = {"music_volume", "effects_volume", "key_left",
                                               "key_right",    "key_pause",      "key_restart",
                                               "key_music",    "speed",          "reduced_motion",
                                               "music_muted"};
inline constexpr int kFirstKeyOption = 2;

// The key that opens and closes the options screen, and the keys no action may take: the
// quiz's and the game-over panel's own, quitting and the window's.
inline constexpr char kOptionsKeyName[] = "S";

// Turns a name as read from a file into the platform's own spelling of that key; false for a
// name that is no key. The shell's is SDL's; the rules never need one.
using CanonicalKeyName = bool (*)(const char* name, KeyName& out);

// Reads `name = value` lines. Each line that is empty, unknown, damaged or out of range is
// skipped on its own, leaving that option as it was; nothing in the text can fail the read.
void read_options(const std::string& text, CanonicalKeyName canonical, PlayerOptions& options, int32_t& music_muted);
std::string write_options(const PlayerOptions& options, int32_t music_muted);

// True when `name` may become the key of `action`: not the options screen's or another
// action's, not one the quiz, the game-over panel or quitting keep (case as the platform
// spells it).
bool key_free_for(const PlayerOptions& options, Action action, const char* name);

// The options screen: its rows, top to bottom.
enum class OptionRow : int32_t {
  music_volume,
  effects_volume,
  speed,
  reduced_motion,
  key_left,
  key_right,
  key_pause,
  key_restart,
  key_music,
  reset_keys,
  done,
};
inline constexpr int kOptionRowCount = 11;

// Where the rows lie, for the painter and the clicks alike; the value of a row that steps
// (volume, speed) has a smaller half on the left and a larger half on the right.
inline constexpr int kOptionRowTop = 84;
inline constexpr int kOptionRowPitch = 40;
inline constexpr int kOptionRowHeight = 34;
inline constexpr Rect kOptionRows{34, kOptionRowTop, 766, kOptionRowTop + 10 * kOptionRowPitch + kOptionRowHeight};
inline constexpr int kOptionValueLeft = 470;
inline constexpr int kOptionValueMiddle = 618;
// A click or tap here opens the options from the title or a paused field.
inline constexpr Rect kOptionsCorner{700, 0, 800, 83};
