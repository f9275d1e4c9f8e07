// A stand-in for the world outside the rules: records every call the game makes, answers
// the clock and the device query as the test says. One is alive per test; it installs
// itself on construction and removes itself on destruction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"

class FakeHost {
 public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  // Calls in the order they came, e.g. "stop_stream(effects)", "restart_music(level=1)",
  // "play_drop_chime(audible)", "save_best_score(5)".
  std::vector<std::string> calls;
  std::vector<int32_t> saved_scores;
  // The answers noted for a course, apart from `calls`: "note_answer(2,3,right)".
  std::vector<std::string> answers;
  int64_t counter = 0;  // what read_counter answers
  bool effects_device = true;
  int close_requests = 0;

  int count(const std::string& call) const;
  bool called(const std::string& call) const { return count(call) > 0; }
  // Index of the first call equal to `call` at or after `from`, or -1.
  int find(const std::string& call, int from = 0) const;
  void clear() { calls.clear(); }
};

// A state as the program leaves it at start, with the clock at 0 and 1000 counts per second.
GameState started_state(FakeHost& host, uint32_t seed = 1);
// Advances the fake clock by `seconds` and runs one tick.
void tick_for(GameState& state, FakeHost& host, double seconds);
