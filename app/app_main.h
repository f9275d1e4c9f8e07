// The program: game state, window, the 16 ms loop and the orderly end.
#pragma once

// Returns the process's exit code: 0 after the window closed, 1 when no window could be
// opened (with one line on standard error saying why).
int app_main(int argc, char** argv);
