#include "tests/fake_host.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "game/host.h"
#include "game/rules.h"

namespace {

FakeHost* current = nullptr;

FakeHost& host() {
  assert(current != nullptr && "a test called into the game without a FakeHost");
  return *current;
}

const char* stream_name(Stream stream) {
  switch (stream) {
    case Stream::music:
      return "music";
    case Stream::effects:
      return "effects";
    case Stream::chime:
      return "chime";
  }
  return "?";
}

void record(std::string call) { host().calls.push_back(std::move(call)); }

}  // namespace

FakeHost::FakeHost() {
  assert(current == nullptr);
  current = this;
}

FakeHost::~FakeHost() { current = nullptr; }

int FakeHost::count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

int FakeHost::find(const std::string& call, int from) const {
  for (int i = std::max(from, 0); i < static_cast<int>(calls.size()); ++i) {
    if (calls[i] == call) return i;
  }
  return -1;
}

// The options' volumes and file are the shell's business; the rules' tests do not follow them.
void set_volumes(const PlayerOptions&) {}
void save_options(const GameState&) {}

GameState started_state(FakeHost& fake, uint32_t seed) {
  GameState state;
  start_program(state, seed, false, 0);
  state.tick_frequency = 1000;
  state.tick_last_count = fake.counter;
  return state;
}

void tick_for(GameState& state, FakeHost& fake, double seconds) {
  fake.counter += static_cast<int64_t>(std::llround(seconds * 1000));
  tick(state);
}

void stop_stream(Stream stream) { record(std::string("stop_stream(") + stream_name(stream) + ")"); }
bool stream_has_device(Stream stream) { return stream != Stream::effects || host().effects_device; }
void apply_audio_pause(const GameState&) { record("apply_audio_pause"); }
void restart_music(const GameState& state) { record("restart_music(level=" + std::to_string(state.level) + ")"); }
void play_drop_chime(const GameState& state) {
  record(drop_chime_audible(state) ? "play_drop_chime(audible)" : "play_drop_chime(silent)");
}
void play_success_arpeggio() { record("play_success_arpeggio"); }
void play_failure_buzz() { record("play_failure_buzz"); }
void save_best_score(int32_t value) {
  record("save_best_score(" + std::to_string(value) + ")");
  host().saved_scores.push_back(value);
}
void open_course_link() { record("open_course_link"); }
void open_book_link() { record("open_book_link"); }
void note_answer(int32_t question, int32_t option, bool right) {
  host().answers.push_back("note_answer(" + std::to_string(question) + "," + std::to_string(option) +
                           (right ? ",right)" : ",wrong)"));
}
void close_window() {
  record("close_window");
  host().close_requests += 1;
}
int64_t read_counter() { return host().counter; }
