// Turns a stream of bytes into what a player and a desktop can do to the game: key presses
// and releases (auto-repeat or not), clicks anywhere in windows of any size, focus coming
// and going, and time passing in steps of any length, even backwards. Every event goes
// through the game's real handlers and tick, and afterwards the state must still make
// sense. The fuzzers, the memory check and the soak all drive the game through this.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/game_state.h"

// Reads numbers off the front of a byte string; past its end every read is 0.
struct ByteReader {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;

  bool done() const { return pos >= size; }
  uint8_t u8() { return pos < size ? data[pos++] : 0; }
  uint16_t u16() {
    const uint16_t low = u8();
    return static_cast<uint16_t>(low | (u8() << 8));
  }
  uint32_t u32() {
    const uint32_t low = u16();
    return low | (static_cast<uint32_t>(u16()) << 16);
  }
  uint64_t u64() {
    const uint64_t low = u32();
    return low | (static_cast<uint64_t>(u32()) << 32);
  }
};

// A window size the desktop could hand us: none, a pixel, 8K, the field's own and odd ones.
struct WindowSize {
  int width = 0, height = 0;
};
WindowSize read_window_size(ByteReader& in);

// Called when the bytes ask for a frame; the game state must only be read.
using FrameHook = void (*)(const GameState& state, WindowSize window, uint8_t choice, void* context);

struct Session {
  GameState state;
  int32_t stored_best = 0;  // what the game started with
  int32_t best_before = 0;  // best_score after the previous event
  int64_t saves_before = 0;
  uint64_t period = 16;  // counter counts in 16 ms
  // What happened, for reports and for seeing how deep the bytes got.
  uint64_t events = 0;
  uint64_t ticks = 0;
  uint64_t frames = 0;
  uint64_t clicks_taken = 0;
  int32_t deepest_level = 0;
  bool reached_screen[4] = {};
  bool reached_game_over = false;
  FrameHook frame_hook = nullptr;
  void* frame_context = nullptr;
};

// Program start from the first bytes: the seed, the counter's frequency, what the store
// handed over (any 64-bit number), whether there is a sound device, and whether the player
// leaves the title at once. The host must have been reset before.
void session_start(Session& session, ByteReader& in);

// Reads and runs one event. Returns null, or what no longer holds afterwards.
const char* session_event(Session& session, ByteReader& in);

// One tick after `counts` of the counter (wrapping like the hardware counter would).
void session_tick(Session& session, uint64_t counts);

// Holds the arrow keys so the catcher goes for the falling item (or away from a meander
// when `dodge`) for up to `ticks` ticks of 16 ms; stops early once the field no longer runs.
// Returns null, or what broke on the way.
const char* session_autopilot(Session& session, int ticks, int aim_offset, bool dodge);

// Everything that must hold between events, beyond the rules' own invariants: finite
// positions, timers that never grow past where they are set, a best score that only rises
// and reaches the store whenever it does.
const char* session_check(Session& session);

// The field's place in a window of this size must lie inside the window and fill it in
// one direction; a click in its middle must land in the middle of the field.
const char* check_letterbox(WindowSize window);
