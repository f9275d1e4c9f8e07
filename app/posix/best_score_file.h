// The best score's file on POSIX calls (best_score_store.h), shared by Linux and the browser.
#pragma once

#include <cstddef>

// After each save that reached the player's folder, `keep` is called: the browser sends the
// folder on to its lasting storage. Files on a disk need nothing more, and nothing is called.
void keep_each_save_with(void (*keep)());
// Hands every save so far to `keep`, when one was given.
void keep_saved_files();

// The same careful file, for any small file of the player's: written to a temporary file,
// synced and renamed over `folder`/`name` (the folder made when missing). Returns whether the
// new bytes are safely on disk; on failure the old file is untouched.
bool replace_file_atomically(const char* folder, const char* name, const char* bytes, size_t length);
// Reads at most `capacity` bytes from the start of `folder`/`name`; -1 when it is missing,
// unreadable or not a regular file.
long read_file_start(const char* folder, const char* name, char* bytes, size_t capacity);
// The player's home folder: $HOME when absolute, else the account's.
bool home_folder(char* out, size_t capacity);
