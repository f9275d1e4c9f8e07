// The player's options between runs: `name = value` lines in settings.ini in the player's
// configuration folder (on Windows the registry, unless ORBILUX_RUSH_DATA_DIR names a folder).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "game/options.h"

inline constexpr char kSettingsFileName[] = "settings.ini";
// Overrides the folder, e.g. for tests.
inline constexpr char kConfigDirVariable[] = "ORBILUX_RUSH_CONFIG_DIR";
// Far more than every option takes; a longer file is read this far.
inline constexpr size_t kSettingsReadLimit = 4096;

// SDL's spelling of a key named in a file ("a" becomes "A"); false for a name SDL does not know.
bool canonical_key_name(const char* name, KeyName& out);

// The platform's own: the stored text of the options, empty when there is none; and the
// write of a new text, returning whether it is safely kept.
std::string load_options_text();
bool save_options_text(const std::string& text);

// What --help says of where the options are kept.
void print_options_place(std::FILE* out);
