// The shell's side of the game's host boundary (save, links, closing, clock), plus what
// the window loop needs to see of it.
#pragma once

#include <cstdint>

// True once the game asked to close the window (Esc); the loop then tears down and ends.
bool window_close_requested();
// Forgets an earlier request, for a loop that starts afresh (tests).
void clear_window_close_request();

// Where the learner's answers go (the page's course, in the browser); nowhere until set.
void tell_answers_to(void (*listener)(int32_t question, int32_t option, bool right));
