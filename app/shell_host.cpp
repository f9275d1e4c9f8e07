// The host functions the rules call that belong to the shell. The sound ones live in audio/.
#include "app/shell_host.h"

#include <SDL.h>

#include "app/best_score_store.h"
#include "app/links.h"
#include "app/settings_store.h"
#include "game/game_state.h"
#include "game/host.h"

namespace {
// Set by Esc, read by the loop on the same thread after the event that set it.
bool close_requested = false;
void (*answer_listener)(int32_t, int32_t, bool) = nullptr;
}  // namespace

bool window_close_requested() { return close_requested; }
void clear_window_close_request() { close_requested = false; }

// A failed save is not shown: the best stays in memory and the next new best tries again.
void save_best_score(int32_t value) { save_best_score_to_data_folder(value); }

// SDL hands the address to the desktop's opener and returns without waiting for the
// browser; a missing browser is no business of the game.
// A failed write leaves the options as they are in the game for the rest of the run.
void save_options(const GameState& state) { save_options_text(write_options(state.options, state.music_muted)); }

void open_course_link() { SDL_OpenURL(kCourseLinkAddress); }
void open_book_link() { SDL_OpenURL(kBookLinkAddress); }

void tell_answers_to(void (*listener)(int32_t, int32_t, bool)) { answer_listener = listener; }
void note_answer(int32_t question, int32_t option, bool right) {
  if (answer_listener) answer_listener(question, option, right);
}

void close_window() { close_requested = true; }

int64_t read_counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
