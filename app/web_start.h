// The game as a web page. The browser owns the loop and the storage: the start waits for
// the stored best to come in from the browser's storage, and from then on the browser calls
// the game once per frame it shows.
#pragma once

#include "app/shell_input.h"
#include "app/window.h"
#include "game/game_state.h"

// main() in the browser: brings the player's data folder in from IndexedDB, then runs
// app_main with the same arguments (the page passes ?seed=N as --seed N). Returns at once.
int start_in_browser(int argc, char** argv);

// From here on the browser calls the game once per frame: ticks on the 16 ms beat, the
// events, and the frames they change. Never returns; the page lives until its tab closes.
void run_in_browser(ShellWindow& shell, GameState& state, ShellInput& hands);

// Whether the page is on a screen that is mainly touched (a phone, a tablet).
bool page_has_touch_screen();
