// The faces that travel with the game. On Windows the game carries Open Sans beside the
// program and shows it to this process alone, so that a machine without Segoe UI draws the
// same text as everywhere else; elsewhere the system's font configuration finds the faces.
#pragma once

#ifdef _WIN32
// Adds every .ttf in the fonts folder beside the program, once per process, before the
// first text is laid out. A missing folder only leaves the system's own faces.
void load_shipped_fonts();
#else
inline void load_shipped_fonts() {}
#endif
