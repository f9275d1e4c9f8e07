#include "app/perf_trace.h"

#include <SDL.h>

#include <cstdio>
#include <ctime>

namespace {

// About 17 minutes of ticks; older ones are overwritten.
constexpr uint32_t kTickRing = 1u << 16;
// Marks a sleep in the ring; no counter reads 0 after the program started.
constexpr uint64_t kSleepMark = 0;

uint64_t tick_ring[kTickRing];
uint32_t ticks_written = 0;  // wraps with the ring: only the last kTickRing are kept
bool ticks_wanted = false;
const char* ticks_path = nullptr;
bool startup_wanted = false;
bool first_frame_seen = false;

bool set(const char* value) { return value != nullptr && value[0] != '\0' && value[0] != '0'; }

void note(uint64_t value) {
  tick_ring[ticks_written % kTickRing] = value;
  ++ticks_written;
}

}  // namespace

void trace_begin() {
  ticks_path = SDL_getenv("ORBILUX_RUSH_TRACE_TICKS");
  ticks_wanted = ticks_path != nullptr && ticks_path[0] != '\0';
  startup_wanted = set(SDL_getenv("ORBILUX_RUSH_TRACE_STARTUP"));
}

void trace_tick(uint64_t counter) {
  if (ticks_wanted) note(counter);
}

void trace_sleep() {
  if (ticks_wanted && ticks_written > 0 && tick_ring[(ticks_written - 1) % kTickRing] != kSleepMark) note(kSleepMark);
}

void trace_frame_shown() {
  if (!startup_wanted || first_frame_seen) return;
  first_frame_seen = true;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "orbilux-rush: first frame shown at monotonic %lld.%09ld\n", static_cast<long long>(now.tv_sec),
               now.tv_nsec);
}

void trace_end() {
  if (!ticks_wanted) return;
  std::FILE* file = std::fopen(ticks_path, "w");
  if (file == nullptr) return;
  std::fprintf(file, "# counts per second %llu; 0 marks a sleep\n",
               static_cast<unsigned long long>(SDL_GetPerformanceFrequency()));
  const uint32_t kept = ticks_written < kTickRing ? ticks_written : kTickRing;
  for (uint32_t i = ticks_written - kept; i != ticks_written; ++i) {
    std::fprintf(file, "%llu\n", static_cast<unsigned long long>(tick_ring[i % kTickRing]));
  }
  std::fclose(file);
}
