// The best score between runs: one small text file in the player's data folder.
//
// The file holds the decimal number and a newline. It is read once at start and written
// on every new best; a write goes through a temporary file that is renamed over the old
// one, so a crash at any moment leaves either the old or the new value, never half of one.
// Nothing here allocates: saving happens in the middle of a tick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "game/rules.h"  // kMaxBestScore: the largest best kept, wherever it is kept

inline constexpr char kBestScoreFileName[] = "best-score";
// Overrides the folder, e.g. for tests or a portable install.
inline constexpr char kDataDirVariable[] = "ORBILUX_RUSH_DATA_DIR";
inline constexpr char kAppFolderName[] = "orbilux-rush";
// Where Windows keeps it, under HKEY_CURRENT_USER: a REG_DWORD.
inline constexpr char kBestScoreRegistryKey[] = "Software\\Brixol\\OrbiluxExpress";
inline constexpr char kBestScoreRegistryValue[] = "BestScore";

// Room for any folder path we build; longer paths make the store unusable, not unsafe.
inline constexpr size_t kStorePathCapacity = 4096;

// Ten digits and a newline is the longest text we could ever accept; reading one byte
// more than that is enough to tell a longer file from a valid one.
inline constexpr size_t kBestScoreMaxDigits = 10;
inline constexpr size_t kBestScoreReadLimit = kBestScoreMaxDigits + 2;

struct StoredBest {
  bool found = false;  // a valid number was read
  int64_t value = 0;   // 0..kMaxBestScore when found, else 0
};

// The folder that holds the file: $ORBILUX_RUSH_DATA_DIR when set and not empty, else
// $XDG_DATA_HOME/orbilux-rush when that is an absolute path, else
// $HOME/.local/share/orbilux-rush. Returns false when no folder can be named (no home, or
// a path that does not fit in `capacity`), and then `out` is an empty string. On Windows
// only $ORBILUX_RUSH_DATA_DIR names a folder: without it the best lives in the registry.
bool best_score_folder(char* out, size_t capacity);

// The file's functions are the platform's own: app/posix/ (Linux, and the browser's files)
// and app/windows/.

// Decides whether the first bytes of the file are a stored best: one to ten ASCII digits
// worth at most 999,999,999, optionally followed by a single newline, nothing else.
StoredBest parse_best_score(const char* bytes, size_t length);

// Reads `folder`/best-score. Missing, unreadable, not a regular file, too long or not a
// valid number: not found. Reads only the first few bytes of whatever is there.
StoredBest load_best_score_from(const char* folder);

// Writes `value` to `folder`/best-score, creating the folder and its parents when they are
// missing. Returns whether the new value is safely on disk; on failure the old file is
// untouched and no temporary file is left behind.
bool save_best_score_to(const char* folder, int32_t value);

// A save that was cut short (the game killed mid-save) leaves its temporary file behind.
// Removes the leftovers of saves of `folder`/`name` once they are older than
// `older_than_seconds`; younger ones may belong to another copy of the game saving right now.
inline constexpr int64_t kStaleLeftoverSeconds = 60;
void remove_stale_save_leftovers(const char* folder, const char* name, int64_t older_than_seconds);

// What --help says of where the player's best is kept, for the program named `program`.
void print_best_score_place(std::FILE* out, const char* program);

// The same two operations on the player's own store: the folder of best_score_folder, whose
// stale leftovers of interrupted saves loading clears first. On Windows the player's best
// lives in the registry instead, unless ORBILUX_RUSH_DATA_DIR names a folder.
StoredBest load_best_score();
bool save_best_score_to_data_folder(int32_t value);
