// The program, the same on every platform: the command line, the game state, the window,
// then the platform's loop (platform.h). Each platform's own main() calls it.
#pragma once

// Returns the process's exit code: 0 after the window closed (also when SIGTERM, SIGINT or
// SIGHUP asked it to), 1 when no window could be opened or the connection to the display broke
// (with one line on standard error saying why).
int app_main(int argc, char** argv);
