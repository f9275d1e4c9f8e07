// Everything the rules ask of the world outside the game: sound, the best-score store,
// the two web pages, closing the window and the clock. The game links one implementation
// of these free functions: the real one from audio/ and app/, or a recording fake in tests.
#pragma once

#include <cstdint>

struct GameState;
struct PlayerOptions;

enum class Stream : int32_t { music = 0, effects = 1, chime = 2 };

// The named stream falls silent at once; its buffer may then be rewritten.
void stop_stream(Stream stream);
// True when the stream has an output device (sound operations on it then take effect).
bool stream_has_device(Stream stream);
// Holds or resumes each stream to match has_focus, paused and music_muted.
void apply_audio_pause(const GameState& state);
// Renders the music loop of state.level and starts it from its beginning.
void restart_music(const GameState& state);
// The falling item's chime; silent unless drop_chime_audible(state).
void play_drop_chime(const GameState& state);
// The success sound on the effects stream (a booster caught, a right answer).
void play_success_arpeggio();
// The failure sound on the effects stream (a meander caught, a wrong answer).
void play_failure_buzz();

// Sets the music's and the effects' loudness (the chime's with the effects), in percent.
void set_volumes(const PlayerOptions& options);
// Keeps the options and the music switch for later runs; a failed write keeps them for this run.
void save_options(const GameState& state);

// Stores the best score for later runs; failures are the store's own business.
void save_best_score(int32_t value);
// Hands the online course's address to the user's browser without waiting.
void open_course_link();
// Hands the book's address to the user's browser without waiting.
void open_book_link();

// A question of the bank was answered: which one (its index in kQuizBank), with which of its
// options (unshuffled), and whether that was right. For a course the game runs in, which
// keeps a learner's answers; elsewhere nobody keeps them.
void note_answer(int32_t question, int32_t option, bool right);

// Ends the program after its orderly teardown (Esc).
void close_window();
// The monotonic high-resolution counter, in counts of state.tick_frequency per second.
int64_t read_counter();
