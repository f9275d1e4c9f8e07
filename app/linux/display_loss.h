// Noticing that the connection to the display broke (the compositor ended, crashed or was
// restarted, or the session is over). SDL 2.26 says nothing of a dead Wayland connection: its
// wait for events returns the same nothing as in a quiet moment. The connection itself keeps
// the error that ended it, and that is what is asked here. On X11, Xlib's own handler ends the
// process with one line when its connection breaks, so nothing is watched there.
#pragma once

#include <SDL.h>

struct DisplayConnection {
  void* wayland = nullptr;  // the window's wl_display; null where there is none to watch
};

DisplayConnection display_connection_of(SDL_Window* window);

// The error that ended the connection for good (an errno value), 0 while it works. Safe to ask
// from any thread while the window lives.
int display_connection_error(const DisplayConnection& connection);

// One line on standard error saying the display is gone and why; said once however often asked.
void report_lost_display(int error);
