// Ending the game when the system asks rather than the player. SIGTERM (a logout, a service
// manager), SIGINT (Ctrl+C) and SIGHUP (the terminal closed) end it as the close box does, with
// exit code 0; a display connection that broke ends it with exit code 1 and one line on standard
// error. A thread of its own watches for both and asks the loop to close the usual way
// (SDL_QUIT). The loop may never get there: on a dead Wayland connection a library call can go
// round for ever without returning. So once asked, the game has a moment to close in order, and
// then the watch ends the process itself with the same exit code. Nothing is lost either way:
// the best score is saved at each new best, not on the way out.
#pragma once

#include "app/linux/display_loss.h"

// Before SDL starts, so that SDL leaves these signals to the game. A signal the game was
// started with ignored (nohup, a background job) stays ignored.
void catch_end_signals();

// Once the window exists and until finish_end_watch: the loop may be asked to close, and the
// window's display connection is watched.
void start_end_watch(const DisplayConnection& connection);

// Once the loop is over, before the window and SDL go: the exit code to end with, 1 (with its
// line on standard error) for a display connection that broke, else 0. After a signal or a lost
// connection the rest of the way out is still bounded by the watch.
int finish_end_watch();
