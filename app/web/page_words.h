// The page beside the canvas: what the screen says, in words a screen reader reads and
// buttons it can press, and the learner's answers for the course the page may run in
// (packaging/web/words.js and scorm.js take them). Nothing here draws on the canvas.
#pragma once

#include "game/game_state.h"

// From now on every answer reaches the page (its buttons press keys, through SDL's queue).
void start_page_words();

// Tells the page what this frame shows, when it differs from what the page already holds,
// and the best score when it changed. `touch_controls` as the canvas has it.
void tell_page_words(const GameState& state, bool touch_controls);

// Tells the course the page may run in that the game starts; a best the course kept (the
// page's last launch there) that is higher than this browser's is stored as this browser's
// best, before the game reads it.
void adopt_course_best();
