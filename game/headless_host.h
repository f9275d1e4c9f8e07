// The smallest world the rules can run in: a clock that the driver sets by hand and a note
// of every best score the rules asked to keep. Sound, links and the window do nothing.
// Nothing here allocates, so long runs can watch their memory stay flat.
#pragma once

#include <cstdint>

struct HeadlessHost {
  int64_t counter = 0;      // what read_counter answers
  int64_t saves = 0;        // save_best_score calls so far
  int32_t last_saved = -1;  // the value of the latest one
  bool saves_rose = true;   // every save was above the one before it
  int64_t close_requests = 0;
  int64_t link_requests = 0;
  int64_t sounds = 0;            // effects, chimes and music restarts asked for
  bool has_sound_device = true;  // without one, the rules skip the failure buzz
};

// The one host of the process; reset it before each independent session.
HeadlessHost& headless_host();
void reset_headless_host();
