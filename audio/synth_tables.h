// Constants shared by the fast renderers and their direct yardstick, so both play the same notes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "audio/synth.h"
#include "game/game_state.h"

namespace synth {

inline constexpr double kTwoPi = 6.283185307179586;

// ---- music: one row per Scene (game/game_state.h) in each table ----

inline constexpr int32_t kKeyCount = 5;
inline constexpr int32_t kStepsPerLoop = 64;  // half-beats
inline constexpr int32_t kBeatsPerLoop = 32;

inline constexpr int32_t kTempoOfScene[kSceneCount] = {136, 144, 132, 140, 148, 142};  // beats per minute
// Roots of the four 8-beat bars C, A, F, G, as MIDI notes (69 = A 440 Hz).
inline constexpr int32_t kBarRoot[4] = {48, 45, 41, 43};
// Semitones above the bar's root, one half-beat each; odd scenes read their row backwards.
inline constexpr int32_t kMelodyPattern[kSceneCount][16] = {
    {0, 4, 7, 4, 9, 7, 4, 2, 0, 4, 7, 12, 11, 7, 4, 2},   //
    {7, 9, 12, 9, 7, 4, 2, 4, 7, 4, 2, 0, 2, 4, 7, 9},    //
    {0, 7, 4, 7, 2, 9, 5, 9, 4, 11, 7, 11, 2, 7, 4, 2},   //
    {12, 7, 9, 4, 7, 2, 4, 0, 4, 7, 12, 11, 9, 7, 4, 2},  //
    {0, 2, 4, 7, 4, 2, 0, 7, 9, 7, 4, 2, 4, 7, 9, 12},    //
    {4, 7, 11, 12, 11, 7, 4, 2, 0, 4, 7, 9, 7, 4, 2, 7},  //
};
inline constexpr int32_t kMelodyOctaves = 24;  // the melody sits two octaves above the bar's root
inline constexpr int32_t kBassFifth = 7;       // odd beats play the fifth

inline constexpr double kMelodyLevel = 1500;
inline constexpr double kMelodyAttack = 0.006;
inline constexpr double kMelodyDecay = 9;
inline constexpr double kMelodyRelease = 0.018;
inline constexpr double kBassLevel = 1000;
inline constexpr double kBassAttack = 0.008;
inline constexpr double kBassDecay = 11;
inline constexpr double kTickLevel = 260;
inline constexpr double kTickDecay = 85;
inline constexpr double kKickLevel = 650;
inline constexpr double kKickDecay = 28;
inline constexpr double kKickBaseHz = 72;
inline constexpr double kKickSweep = 35.0 / 32;  // the kick starts 35 Hz above its base
inline constexpr double kKickSweepRate = 32;
inline constexpr double kLoopFadeIn = 0.008;
inline constexpr double kLoopFadeOut = 0.012;

inline constexpr uint32_t kNoiseSeed = 12345;
inline uint32_t next_noise(uint32_t x) { return x * 1664525u + 1013904223u; }
inline double noise_value(uint32_t x) { return (x >> 16) / 32768.0 - 1; }

// Pitch of a MIDI note in Hz.
inline double pitch_of_note(int32_t note) { return 440 * std::pow(2.0, (note - 69) / 12.0); }

inline int32_t floor_mod(int32_t a, int32_t n) { return ((a % n) + n) % n; }
inline int32_t scene_of(int32_t level) { return static_cast<int32_t>(scene_of_level(level)); }
// Every sixth level moves the piece up a semitone, through five keys.
inline int32_t key_shift_of(int32_t level) { return floor_mod(level / kSceneCount, kKeyCount); }

// 32 beats of 60/tempo s each, truncated to whole samples: kSampleRate * 1920 / tempo, counted in
// integers so that no rounding can take a sample off a loop that is a whole number long.
inline int32_t loop_samples_of_scene(int32_t scene) { return kSampleRate * 32 * 60 / kTempoOfScene[scene]; }

inline int32_t melody_note(int32_t scene, int32_t key_shift, int32_t step) {
  const int32_t bar = step / 16;
  const int32_t index = scene % 2 ? 15 - step % 16 : step % 16;
  return kBarRoot[bar] + kMelodyOctaves + kMelodyPattern[scene][index] + key_shift;
}
inline int32_t bass_note(int32_t key_shift, int32_t bar, int32_t beat) {
  return kBarRoot[bar] + key_shift + (beat % 2 ? kBassFifth : 0);
}

// ---- effects ----

inline constexpr double kChimeHz[6] = {1046.502, 880.0, 783.991, 659.255, 587.33, 523.251};  // C6 A5 G5 E5 D5 C5
inline constexpr double kChimeSpacing = 0.065;
inline constexpr double kChimeNoteLength = 0.2;
inline constexpr double kChimeAttack = 0.004;
inline constexpr double kChimeDecay = 25;
inline constexpr double kChimeSecondDecay = 20;
inline constexpr double kChimeFourthDecay = 35;
inline constexpr double kChimeLevel = 2050;
inline constexpr double kChimeFadeOut = 0.055;

inline constexpr double kArpeggioHz[4] = {659.255, 830.609, 987.767, 1318.51};  // E5 G#5 B5 E6
inline constexpr double kArpeggioNoteLength = 0.1;
inline constexpr double kArpeggioAttack = 0.006;
inline constexpr double kArpeggioDecay = 22;
inline constexpr double kArpeggioLength = 0.4;
inline constexpr double kArpeggioFadeOut = 0.025;
inline constexpr double kArpeggioLevel = 4800;

// One row per 0.25 s segment: two tones 13 Hz apart that beat, and the first's third harmonic.
inline constexpr double kBuzzHz[3][3] = {{220, 233, 660}, {165, 178, 495}, {110, 123, 330}};
inline constexpr double kBuzzSegment = 0.25;
inline constexpr double kBuzzAttack = 0.006;
inline constexpr double kBuzzCutoff = 0.21;
inline constexpr double kBuzzRelease = 0.025;
inline constexpr double kBuzzLevel = 6200;

// Chime length in seconds; anything not positive means no chime.
inline double chime_duration(double y, double fall_speed) {
  if (!(fall_speed > 0)) return 0;  // also rejects NaN
  const double to_landing = (kChimeLandingY - y) / fall_speed;
  if (!(to_landing > 0)) return 0;
  return std::fmin(to_landing, kChimeLongest);
}

// Samples of a chime of `duration` seconds that fit in `room` samples.
inline int32_t chime_samples_within(double duration, size_t room) {
  const auto samples = static_cast<size_t>(kSampleRate * duration);  // duration is 0 .. 0.53 s
  return static_cast<int32_t>(std::min(samples, room));
}

// Truncation toward zero into a 16-bit sample. Every sound stays far inside the range, so
// nothing is clipped.
inline int16_t to_sample(double value) { return static_cast<int16_t>(static_cast<int32_t>(value)); }

}  // namespace synth
