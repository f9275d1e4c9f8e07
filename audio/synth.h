// The game's sounds, synthesised from arithmetic alone: the music loop of each level and the
// three effects. Every sample is a double-precision value truncated toward zero to 16 bits,
// mono at kSampleRate samples per second. No device, no files, no allocation.
#pragma once

#include <cstdint>
#include <span>

inline constexpr int32_t kSampleRate = 22050;
// The time of sample `i` from the start of its sound, in seconds.
inline constexpr double seconds_at(int32_t i) { return i / static_cast<double>(kSampleRate); }

// Capacities of the three stream buffers; every sound below fits its stream's buffer.
inline constexpr int32_t kMusicCapacity = 15 * kSampleRate;
inline constexpr int32_t kEffectsCapacity = kSampleRate;
inline constexpr int32_t kChimeCapacity = 4 * kSampleRate;

inline constexpr int32_t kSuccessArpeggioLength = kSampleRate * 2 / 5;  // 0.4 s
inline constexpr int32_t kFailureBuzzLength = kSampleRate * 3 / 4;      // 0.75 s, truncated
inline constexpr double kChimeLongest = 0.53;            // seconds
inline constexpr double kChimeLandingY = 555;            // the chime ends when the item would reach it
inline constexpr int32_t kLongestChime = static_cast<int32_t>(kSampleRate * kChimeLongest);  // 11686

// Samples in the music loop of a level: 32 beats at the tempo of its scene.
int32_t music_loop_length(int32_t level);
// Writes the level's whole loop into `out` and returns its length; writes nothing and returns 0
// when `out` cannot hold it.
int32_t render_music_loop(int32_t level, std::span<int16_t> out);

// Samples in the drop chime of an item at height `y` falling at `fall_speed` px/s: the time it
// needs to reach the landing line, at most 0.53 s. 0 when it is already there, or when the speed
// is not a positive number (such an item never lands, so it gets no chime).
int32_t drop_chime_length(double y, double fall_speed);
// Renders the chime into `out` and returns its length (at most out.size()).
int32_t render_drop_chime(double y, double fall_speed, std::span<int16_t> out);
// Four rising notes; returns kSuccessArpeggioLength, or 0 when `out` is too small.
int32_t render_success_arpeggio(std::span<int16_t> out);
// Three falling beating chords; returns kFailureBuzzLength, or 0 when `out` is too small.
int32_t render_failure_buzz(std::span<int16_t> out);

// The same sounds evaluated sample by sample straight from their formulas, with a library call
// for every sine and exponential. Slow; kept as the yardstick the fast renderers are held to.
int32_t render_music_loop_direct(int32_t level, std::span<int16_t> out);
int32_t render_drop_chime_direct(double y, double fall_speed, std::span<int16_t> out);
int32_t render_success_arpeggio_direct(std::span<int16_t> out);
int32_t render_failure_buzz_direct(std::span<int16_t> out);
