// The scene backdrop has two ways of being drawn that must give the very same pixels:
// draw_scene_backdrop (painters.h), which reuses what it can between frames, and the one
// below, which draws every shape one after the other and keeps nothing. Tests hold the
// quick one to the plain one, pixel for pixel.
#pragma once

#include "game/game_state.h"
#include "render/canvas.h"

void draw_scene_backdrop_direct(Canvas& canvas, const GameState& state);

// Forgets the picture kept between frames and frees it; the next frame draws it afresh.
void release_backdrop_cache();

// True when the backdrop of this state moves with play_clock: the robot arms of the
// factories, the turbines of the farms, and the waves of every connected device.
bool backdrop_follows_clock(const GameState& state);
