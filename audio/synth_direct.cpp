// The sounds evaluated one sample at a time, straight from their formulas. The fast renderers
// must stay within one step of these values at every sample; the tests and the benchmark use them.
#include <algorithm>
#include <cmath>

#include "audio/synth.h"
#include "audio/synth_tables.h"

using namespace synth;

int32_t render_music_loop_direct(int32_t level, std::span<int16_t> out) {
  const int32_t scene = scene_of(level);
  const int32_t key_shift = key_shift_of(level);
  const double beat = 60.0 / kTempoOfScene[scene];
  const double loop = 32 * beat;
  const int32_t count = loop_samples_of_scene(scene);
  if (out.size() < static_cast<size_t>(count)) return 0;
  const double second_harmonic = 0.12 + 0.05 * scene;

  uint32_t noise = kNoiseSeed;
  for (int32_t i = 0; i < count; ++i) {
    const double t = seconds_at(i);
    const double p = t / beat;

    const int32_t step = std::min(static_cast<int32_t>(2 * p), 63);
    const double f = pitch_of_note(melody_note(scene, key_shift, step));
    const double u = t - step * beat / 2;
    const double envelope =
        std::min(u / kMelodyAttack, 1.0) * std::exp(-kMelodyDecay * u) * std::min((beat / 2 - u) / kMelodyRelease, 1.0);
    const double melody =
        kMelodyLevel * envelope * (std::sin(kTwoPi * f * u) + second_harmonic * std::sin(2 * kTwoPi * f * u));

    const int32_t k = static_cast<int32_t>(p);
    const int32_t bar = std::min(static_cast<int32_t>(p / 8), 3);
    const double fb = pitch_of_note(bass_note(key_shift, bar, k));
    const double v = t - k * beat;
    const double bass =
        kBassLevel * std::min(v / kBassAttack, 1.0) * std::exp(-kBassDecay * v) * std::sin(kTwoPi * fb * v);

    noise = next_noise(noise);
    const double tick = kTickLevel * std::exp(-kTickDecay * u) * noise_value(noise);

    double sum = melody + bass + tick;
    if (k % 2 == 0) {
      sum += kKickLevel * std::exp(-kKickDecay * v) *
             std::sin(kTwoPi * (kKickBaseHz * v + kKickSweep * (1 - std::exp(-kKickSweepRate * v))));
    }
    const double edges = std::min(t / kLoopFadeIn, 1.0) * std::min((loop - t) / kLoopFadeOut, 1.0);
    out[i] = to_sample(edges * sum);
  }
  return count;
}

int32_t render_drop_chime_direct(double y, double fall_speed, std::span<int16_t> out) {
  const double duration = chime_duration(y, fall_speed);
  const int32_t count = chime_samples_within(duration, out.size());
  for (int32_t i = 0; i < count; ++i) {
    const double t = seconds_at(i);
    double sum = 0;
    for (int32_t j = 0; j < 6; ++j) {
      const double e = t - kChimeSpacing * j;
      if (!(e >= 0 && e < kChimeNoteLength)) continue;
      const double attack = std::min(e / kChimeAttack, 1.0);
      const double body = std::exp(-kChimeDecay * e);
      const double phase = kTwoPi * kChimeHz[j] * e;
      sum += (std::sin(phase) + 0.24 * std::sin(2 * phase) * std::exp(-kChimeSecondDecay * e) +
              0.1 * std::sin(4 * phase) * std::exp(-kChimeFourthDecay * e)) *
             attack * body * kChimeLevel;
    }
    const double fade = std::max(std::min((duration - t) / kChimeFadeOut, 1.0), 0.0);
    out[i] = to_sample(sum * fade);
  }
  return count;
}

int32_t render_success_arpeggio_direct(std::span<int16_t> out) {
  if (out.size() < static_cast<size_t>(kSuccessArpeggioLength)) return 0;
  for (int32_t i = 0; i < kSuccessArpeggioLength; ++i) {
    const double t = seconds_at(i);
    const int32_t k = std::min(static_cast<int32_t>(t / kArpeggioNoteLength), 3);
    const double u = t - kArpeggioNoteLength * k;
    const double f = kArpeggioHz[k];
    const double attack = std::min(u / kArpeggioAttack, 1.0);
    const double decay = std::exp(-kArpeggioDecay * u);
    const double tail = std::min((kArpeggioLength - t) / kArpeggioFadeOut, 1.0);
    out[i] = to_sample(attack * decay * tail * kArpeggioLevel *
                       (std::sin(kTwoPi * f * u) + 0.18 * std::sin(2 * kTwoPi * f * u)));
  }
  return kSuccessArpeggioLength;
}

int32_t render_failure_buzz_direct(std::span<int16_t> out) {
  if (out.size() < static_cast<size_t>(kFailureBuzzLength)) return 0;
  for (int32_t i = 0; i < kFailureBuzzLength; ++i) {
    const double t = seconds_at(i);
    const double u = std::fmod(t, kBuzzSegment);
    const double envelope =
        std::min(u / kBuzzAttack, 1.0) * std::max(std::min((kBuzzCutoff - u) / kBuzzRelease, 1.0), 0.0);
    const double* tones = kBuzzHz[t < 0.25 ? 0 : t < 0.5 ? 1 : 2];
    out[i] = to_sample(kBuzzLevel * envelope *
                       (std::sin(kTwoPi * tones[0] * t) + 0.25 * std::sin(kTwoPi * tones[1] * t) +
                        0.5 * std::sin(kTwoPi * tones[2] * t)));
  }
  return kFailureBuzzLength;
}
