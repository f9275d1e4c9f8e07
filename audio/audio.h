// The three output streams: music, effects and the drop chime. The sound controls the rules
// use are declared in game/host.h; this header adds what only the shell calls.
#pragma once

// Opens the chime, effects and music streams on the default output device. A stream that
// cannot be opened stays silent for the whole run; the game runs the same.
void open_audio_streams();
// Stops and releases all three streams.
void close_audio_streams();
