// The game's pseudo-random source: a 32-bit linear congruential generator whose draws
// range over 0..32767. Every rule uses a draw as (value mod N).
#pragma once

#include <cstdint>

struct GameRandom {
  uint32_t state = 1;

  void seed(uint32_t value) { state = value; }

  int32_t next() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFFu);
  }

  bool operator==(const GameRandom&) const = default;
};
