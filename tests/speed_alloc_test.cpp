// The tick and the frame run 60 times a second for as long as the game is played. The
// game's own work on that path, the tick with everything it calls and the frame key that
// decides whether a frame is composed, never asks the allocator for memory; the drawing
// libraries may borrow some while composing a frame but must give it all back. Every call
// to malloc and its family in this program is counted, whoever makes it. The program links
// the real sound and shell, with no device open, as the game runs without one.
#include <SDL.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <cstdlib>

#include "game/host.h"
#include "game/input.h"
#include "game/rules.h"
#include "render/frame_key.h"
#include "render/painters.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORBILUX_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define ORBILUX_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef ORBILUX_COUNT_ALLOCATIONS
#define ORBILUX_COUNT_ALLOCATIONS 1
#endif

namespace {
// Only this thread's: the sound and font libraries' own threads may allocate meanwhile.
thread_local bool counting = false;
long allocations = 0;
}  // namespace

#if ORBILUX_COUNT_ALLOCATIONS
// glibc's own allocator under its internal names; ours count and pass the call on.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);

void* malloc(size_t size) {
  allocations += counting;
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  allocations += counting;
  return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) {
  allocations += counting;
  return __libc_realloc(block, size);
}
void* memalign(size_t alignment, size_t size) {
  allocations += counting;
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
  allocations += counting;
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
  allocations += counting;
  void* block = __libc_memalign(alignment, size);
  if (block == nullptr) return 12;  // ENOMEM
  *out = block;
  return 0;
}
}
#endif

namespace {

// Counts the allocations `run` makes.
template <typename Run>
long allocations_during(Run run) {
  allocations = 0;
  counting = true;
  run();
  counting = false;
  return allocations;
}

class NoAllocation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ORBILUX_COUNT_ALLOCATIONS) GTEST_SKIP() << "the sanitizer owns malloc here";
  }
};

// A game under way in the factories: arms, cranes and six devices' waves move with the
// clock. The best score is out of reach, so no catch writes the best-score file.
GameState game_under_way() {
  GameState s;
  start_program(s, 5, true, 999'999'999);
  s.tick_frequency = static_cast<int64_t>(SDL_GetPerformanceFrequency());
  s.tick_last_count = read_counter();
  on_key_down(s, Key::space, false);
  s.level = 1;
  s.connected = 6;
  s.level_points = 6;
  return s;
}

// One tick of 16 ms of real time, whatever the counter reads, and the steering before it:
// under the boosters and away from the meanders, so that catches come with their bursts.
void play_one_tick(GameState& s) {
  const double aim = s.item.is_meander ? (s.item.x > 400 ? s.item.x - 200 : s.item.x + 200) : s.item.x + 25;
  on_key_up(s, Key::left);
  on_key_up(s, Key::right);
  if (s.player_x < aim - 6) on_key_down(s, Key::right, true);
  if (s.player_x > aim + 6) on_key_down(s, Key::left, true);
  s.tick_last_count = read_counter() - s.tick_frequency * 16 / 1000;
  tick(s);
  // Never game over, never the checkpoint: the field runs on.
  if (s.lives < 2) s.lives = 3;
  if (s.connected > 10) s.connected = s.level_points = 6;
}

TEST_F(NoAllocation, TheCounterSeesAllocations) {
  const long seen = allocations_during([] {
    void* volatile block = std::malloc(64);
    std::free(block);
  });
  EXPECT_EQ(seen, 1);
}

TEST_F(NoAllocation, TicksOfPlayWithTheirFrameKeysAllocateNothing) {
  Canvas canvas;
  ASSERT_TRUE(canvas_create(canvas));
  GameState s = game_under_way();
  long ticks_run = 0, keys_new = 0;
  uint64_t last = frame_key(canvas, s);
  const long seen = allocations_during([&] {
    for (int n = 0; n < 3000; ++n) {
      play_one_tick(s);
      ticks_run += !field_stands_still(s);
      const uint64_t key = frame_key(canvas, s);
      keys_new += key != last;
      last = key;
    }
  });
  EXPECT_EQ(seen, 0) << "in 3000 ticks with their frame keys";
  // The play went on: catches, misses, sparks, a new frame nearly every tick.
  EXPECT_GT(s.score, 0);
  EXPECT_GT(ticks_run, 2500);
  EXPECT_GT(keys_new, 2500);
  canvas_destroy(canvas);
}

TEST_F(NoAllocation, FramesOfAStillScreenAreNotComposedAndAllocateNothing) {
  Canvas canvas;
  ASSERT_TRUE(canvas_create(canvas));
  GameState s = game_under_way();
  s.paused = 1;
  FrameMemory memory;
  ASSERT_TRUE(compose_changed_frame(canvas, memory, s));
  bool composed = false;
  const long seen = allocations_during([&] {
    for (int n = 0; n < 600; ++n) {
      tick(s);
      composed = composed || compose_changed_frame(canvas, memory, s);
    }
  });
  EXPECT_EQ(seen, 0);
  EXPECT_FALSE(composed);
  canvas_destroy(canvas);
}

// Composing borrows from the allocator inside Cairo and pixman (a pixman image for a fill
// colour, the edges of a polygon, the glyphs of a text) and gives it back before the frame
// ends: after an hour's worth of frames the heap holds what it held after the first minute.
TEST_F(NoAllocation, ComposedFramesGiveBackWhatTheDrawingLibrariesBorrow) {
  Canvas canvas;
  ASSERT_TRUE(canvas_create(canvas));
  GameState s = game_under_way();
  FrameMemory memory;
  for (int n = 0; n < 3600; ++n) {  // under way: texts shaped, the backdrop kept
    play_one_tick(s);
    compose_changed_frame(canvas, memory, s);
  }
  const size_t in_use_before = mallinfo2().uordblks;
  long frames = 0;
  const long seen = allocations_during([&] {
    for (int n = 0; n < 6000; ++n) {
      play_one_tick(s);
      frames += compose_changed_frame(canvas, memory, s);
    }
  });
  const size_t in_use_after = mallinfo2().uordblks;
  EXPECT_GT(frames, 5000);
  EXPECT_LT(in_use_after, in_use_before + 64 * 1024)
      << "the heap grew by " << (in_use_after - in_use_before) << " bytes over " << frames << " frames";
  RecordProperty("allocations_per_composed_frame", static_cast<int>(seen / std::max(frames, 1L)));
  canvas_destroy(canvas);
}

}  // namespace
