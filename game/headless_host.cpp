#include "game/headless_host.h"

#include "game/host.h"

namespace {
HeadlessHost host;
}  // namespace

HeadlessHost& headless_host() { return host; }
void reset_headless_host() { host = HeadlessHost{}; }

void stop_stream(Stream) {}
bool stream_has_device(Stream) { return host.has_sound_device; }
void apply_audio_pause(const GameState&) {}
void restart_music(const GameState&) { host.sounds += 1; }
void play_drop_chime(const GameState&) { host.sounds += 1; }
void play_success_arpeggio() { host.sounds += 1; }
void play_failure_buzz() { host.sounds += 1; }

void set_volumes(const PlayerOptions&) {}
void save_options(const GameState&) {}

void save_best_score(int32_t value) {
  if (host.saves > 0 && value <= host.last_saved) host.saves_rose = false;
  host.saves += 1;
  host.last_saved = value;
}

void open_course_link() { host.link_requests += 1; }
void open_book_link() { host.link_requests += 1; }
void note_answer(int32_t, int32_t, bool) {}
void close_window() { host.close_requests += 1; }
int64_t read_counter() { return host.counter; }
