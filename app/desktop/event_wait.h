// Waiting for the window's events without ever spinning a core.
#pragma once

#include <SDL.h>

// Up to `milliseconds` for one event; true with it in `event`. SDL's wait returns nothing both
// when its time is up and, at once and every time, when the display connection has failed; a
// loop going straight back to waiting would then spin. A wait that comes back empty well
// before its time therefore sleeps the rest of it.
bool wait_for_event(SDL_Event& event, int milliseconds);
