// Measuring the running game from outside without disturbing it. Both are off unless an
// environment variable asks:
//   ORBILUX_RUSH_TRACE_STARTUP=1    one line on standard error when the first frame is shown
//   ORBILUX_RUSH_TRACE_TICKS=<file> the counter at every tick, kept in a fixed ring in
//                                   memory and written to the file at exit
// Nothing allocates or writes while the game runs; bench/measure-game.sh reads both.
#pragma once

#include <cstdint>

// Reads the environment once, before the window opens.
void trace_begin();
// The counter at a tick that ran on the beat.
void trace_tick(uint64_t counter);
// The loop goes to sleep until the next event: the next interval is not the beat's.
void trace_sleep();
// A frame reached the window; the first one is reported.
void trace_frame_shown();
// Writes the ticks, when asked for; at exit.
void trace_end();
