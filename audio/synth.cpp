// The fast renderers. The music is rendered whole, on the game's only thread, when a level starts,
// so it has to fit inside a frame or two. Every note has a fixed frequency and restarts its phase
// at its onset, so within a note the sines follow from a rotation by a constant angle per sample
// and the exponential envelopes from a constant ratio per sample. Each note (and each beat) is
// seeded with the library's sine, cosine and exponential at its first sample, so rounding can only
// accumulate over one note: a few thousand steps of about 1e-16, far below one step of a sample.
#include "audio/synth.h"

#include <algorithm>
#include <cmath>

#include "audio/synth_tables.h"

using namespace synth;

namespace {

constexpr double kSampleSeconds = 1.0 / kSampleRate;
constexpr double kPerChimeAttack = 1 / kChimeAttack;

// The buzz takes its third tone as the triple angle of its first.
static_assert(kBuzzHz[0][2] == 3 * kBuzzHz[0][0] && kBuzzHz[1][2] == 3 * kBuzzHz[1][0] &&
              kBuzzHz[2][2] == 3 * kBuzzHz[2][0]);

// A sine wave advanced one sample at a time by rotating (cos, sin) through a fixed angle.
struct Oscillator {
  double sin_now = 0, cos_now = 1;
  double sin_step = 0, cos_step = 1;

  // Phase `phase` at the current sample, `phase_per_sample` more at each following one.
  void seed(double phase, double phase_per_sample) {
    sin_now = std::sin(phase);
    cos_now = std::cos(phase);
    sin_step = std::sin(phase_per_sample);
    cos_step = std::cos(phase_per_sample);
  }
  void advance() { rotate(sin_step, cos_step); }
  void rotate(double sin_angle, double cos_angle) {
    const double s = sin_now * cos_angle + cos_now * sin_angle;
    cos_now = cos_now * cos_angle - sin_now * sin_angle;
    sin_now = s;
  }
};

// exp(-rate * time), advanced one sample at a time.
struct Decay {
  double value = 1, ratio = 1;
  void seed(double rate, double time) {
    value = std::exp(-rate * time);
    ratio = std::exp(-rate * kSampleSeconds);
  }
  void advance() { value *= ratio; }
};

// Half-beat the music is in at sample i, worked out exactly as the yardstick does, so both agree
// on which note every sample belongs to.
int32_t half_beat_at(int32_t i, double beat) {
  const double t = seconds_at(i);
  const double p = t / beat;
  return static_cast<int32_t>(2 * p);
}

// First sample of every half-beat; the last half-beat runs to the end of the loop.
void find_half_beat_starts(double beat, int32_t count, int32_t (&starts)[kStepsPerLoop + 1]) {
  starts[0] = 0;
  for (int32_t step = 1; step < kStepsPerLoop; ++step) {
    int32_t i = static_cast<int32_t>(step * beat / 2 * kSampleRate);
    while (i > 0 && half_beat_at(i - 1, beat) >= step) --i;
    while (half_beat_at(i, beat) < step) ++i;
    starts[step] = i;
  }
  starts[kStepsPerLoop] = count;
}

// sin x and cos x for |x| below 0.01 rad, to within 1e-17 (the next terms are x^7/5040 and
// x^8/40320).
inline void small_angle(double x, double& sin_x, double& cos_x) {
  const double x2 = x * x;
  sin_x = x * (1 - x2 * (1.0 / 6) * (1 - x2 * (1.0 / 20)));
  cos_x = 1 - x2 * 0.5 * (1 - x2 * (1.0 / 12) * (1 - x2 * (1.0 / 30)));
}

}  // namespace

int32_t music_loop_length(int32_t level) { return loop_samples_of_scene(scene_of(level)); }

int32_t render_music_loop(int32_t level, std::span<int16_t> out) {
  const int32_t scene = scene_of(level);
  const int32_t key_shift = key_shift_of(level);
  const double beat = 60.0 / kTempoOfScene[scene];
  const double loop = 32 * beat;
  const int32_t count = loop_samples_of_scene(scene);
  if (out.size() < static_cast<size_t>(count)) return 0;
  const double twice_second_harmonic = 2 * (0.12 + 0.05 * scene);

  int32_t starts[kStepsPerLoop + 1];
  find_half_beat_starts(beat, count, starts);

  // The kick's pitch glides, so its phase step shrinks each sample: a fixed rotation for the
  // 72 Hz base plus a small one that decays with the sweep.
  const double kick_base_step = kTwoPi * kKickBaseHz * kSampleSeconds;
  const double kick_base_sin = std::sin(kick_base_step), kick_base_cos = std::cos(kick_base_step);
  const double kick_sweep_step = kTwoPi * kKickSweep * (1 - std::exp(-kKickSweepRate * kSampleSeconds));
  // The envelope ramps as multiplications: a division per sample would cost more than the sines.
  const double half_beat = beat / 2;
  const double per_melody_attack = 1 / kMelodyAttack, per_melody_release = 1 / kMelodyRelease;
  const double per_bass_attack = 1 / kBassAttack;
  // Only the first 8 ms and the last 12 ms of the loop are faded; the rest is at full level.
  const int32_t fade_in_end = static_cast<int32_t>(kLoopFadeIn * kSampleRate) + 2;
  const int32_t fade_out_start = count - static_cast<int32_t>(kLoopFadeOut * kSampleRate) - 2;

  uint32_t noise = kNoiseSeed;
  for (int32_t k = 0; k < kBeatsPerLoop; ++k) {
    const int32_t beat_start = starts[2 * k];
    const bool has_kick = k % 2 == 0;
    const double bass_hz = pitch_of_note(bass_note(key_shift, std::min(k / 8, 3), k));
    double v = seconds_at(beat_start) - k * beat;
    Oscillator bass, kick;
    Decay bass_decay, kick_decay, kick_sweep;
    bass.seed(kTwoPi * bass_hz * v, kTwoPi * bass_hz * kSampleSeconds);
    bass_decay.seed(kBassDecay, v);
    if (has_kick) {
      kick_decay.seed(kKickDecay, v);
      kick_sweep.seed(kKickSweepRate, v);
      kick.seed(kTwoPi * (kKickBaseHz * v + kKickSweep * (1 - kick_sweep.value)), 0);
    }

    for (int32_t step = 2 * k; step < 2 * k + 2; ++step) {
      const double hz = pitch_of_note(melody_note(scene, key_shift, step));
      double u = seconds_at(starts[step]) - step * beat / 2;
      Oscillator melody;
      Decay melody_decay, tick_decay;
      melody.seed(kTwoPi * hz * u, kTwoPi * hz * kSampleSeconds);
      melody_decay.seed(kMelodyDecay, u);
      tick_decay.seed(kTickDecay, u);

      for (int32_t i = starts[step]; i < starts[step + 1]; ++i) {
        const double envelope = std::min(u * per_melody_attack, 1.0) * melody_decay.value *
                                std::min((half_beat - u) * per_melody_release, 1.0);
        // sin x + h sin 2x = sin x (1 + 2h cos x)
        double sum = kMelodyLevel * envelope * melody.sin_now * (1 + twice_second_harmonic * melody.cos_now);
        sum += kBassLevel * std::min(v * per_bass_attack, 1.0) * bass_decay.value * bass.sin_now;
        noise = next_noise(noise);
        sum += kTickLevel * tick_decay.value * noise_value(noise);
        if (has_kick) {
          sum += kKickLevel * kick_decay.value * kick.sin_now;
          double sweep_sin, sweep_cos;
          small_angle(kick_sweep_step * kick_sweep.value, sweep_sin, sweep_cos);
          kick.rotate(kick_base_sin * sweep_cos + kick_base_cos * sweep_sin,
                      kick_base_cos * sweep_cos - kick_base_sin * sweep_sin);
          kick_decay.advance();
          kick_sweep.advance();
        }
        if (i < fade_in_end || i >= fade_out_start) {
          const double t = seconds_at(i);
          sum *= std::min(t / kLoopFadeIn, 1.0) * std::min((loop - t) / kLoopFadeOut, 1.0);
        }
        out[i] = to_sample(sum);

        melody.advance();
        melody_decay.advance();
        tick_decay.advance();
        bass.advance();
        bass_decay.advance();
        u += kSampleSeconds;
        v += kSampleSeconds;
      }
    }
  }
  return count;
}

int32_t drop_chime_length(double y, double fall_speed) {
  return static_cast<int32_t>(kSampleRate * chime_duration(y, fall_speed));
}

namespace {

// Time since chime note j began, at sample i, worked out as the yardstick does.
double chime_note_time(int32_t i, int32_t j) { return seconds_at(i) - kChimeSpacing * j; }

// First sample at which note j's own time has reached `time`.
int32_t first_chime_sample(int32_t j, double time) {
  int32_t i = static_cast<int32_t>((kChimeSpacing * j + time) * kSampleRate);
  while (i > 0 && chime_note_time(i - 1, j) >= time) --i;
  while (chime_note_time(i, j) < time) ++i;
  return i;
}

}  // namespace

int32_t render_drop_chime(double y, double fall_speed, std::span<int16_t> out) {
  const double duration = chime_duration(y, fall_speed);
  const int32_t count = std::min(chime_samples_within(duration, out.size()), kLongestChime);

  // The six notes are summed note by note, in the same order as per sample, so each sum
  // rounds as the yardstick's does. The game has one thread, so one static sheet serves.
  static double sums[kLongestChime];
  std::fill(sums, sums + count, 0.0);
  for (int32_t j = 0; j < 6; ++j) {
    const int32_t begin = first_chime_sample(j, 0);
    const int32_t end = std::min(first_chime_sample(j, kChimeNoteLength), count);
    if (begin >= end) continue;
    double e = chime_note_time(begin, j);
    Oscillator wave;
    Decay body, second, fourth;
    wave.seed(kTwoPi * kChimeHz[j] * e, kTwoPi * kChimeHz[j] * kSampleSeconds);
    body.seed(kChimeDecay, e);
    second.seed(kChimeSecondDecay, e);
    fourth.seed(kChimeFourthDecay, e);
    for (int32_t i = begin; i < end; ++i) {
      const double s = wave.sin_now, c = wave.cos_now;
      const double sin2 = 2 * s * c;
      const double sin4 = 2 * sin2 * (c * c - s * s);
      sums[i] += (s + 0.24 * sin2 * second.value + 0.1 * sin4 * fourth.value) * std::min(e * kPerChimeAttack, 1.0) *
                 body.value * kChimeLevel;
      wave.advance();
      body.advance();
      second.advance();
      fourth.advance();
      e += kSampleSeconds;
    }
  }
  // Only the last 55 ms fade; before them the fade is exactly 1.
  const int32_t fade_start = std::max(static_cast<int32_t>((duration - kChimeFadeOut) * kSampleRate) - 2, 0);
  for (int32_t i = 0; i < count; ++i) {
    double fade = 1;
    if (i >= fade_start) fade = std::max(std::min((duration - seconds_at(i)) / kChimeFadeOut, 1.0), 0.0);
    out[i] = to_sample(sums[i] * fade);
  }
  return count;
}

int32_t render_success_arpeggio(std::span<int16_t> out) {
  if (out.size() < static_cast<size_t>(kSuccessArpeggioLength)) return 0;
  Oscillator wave;
  Decay decay;
  int32_t note = -1;
  for (int32_t i = 0; i < kSuccessArpeggioLength; ++i) {
    const double t = seconds_at(i);
    const int32_t k = std::min(static_cast<int32_t>(t / kArpeggioNoteLength), 3);
    const double u = t - kArpeggioNoteLength * k;
    if (k != note) {  // each note restarts its phase at its onset
      note = k;
      wave.seed(kTwoPi * kArpeggioHz[k] * u, kTwoPi * kArpeggioHz[k] * kSampleSeconds);
      decay.seed(kArpeggioDecay, u);
    }
    const double attack = std::min(u / kArpeggioAttack, 1.0);
    const double tail = std::min((kArpeggioLength - t) / kArpeggioFadeOut, 1.0);
    const double harmonic = 2 * wave.sin_now * wave.cos_now;
    out[i] = to_sample(attack * decay.value * tail * kArpeggioLevel * (wave.sin_now + 0.18 * harmonic));
    wave.advance();
    decay.advance();
  }
  return kSuccessArpeggioLength;
}

int32_t render_failure_buzz(std::span<int16_t> out) {
  if (out.size() < static_cast<size_t>(kFailureBuzzLength)) return 0;
  Oscillator low, beating;
  int32_t segment = -1;
  for (int32_t i = 0; i < kFailureBuzzLength; ++i) {
    const double t = seconds_at(i);
    const int32_t row = t < 0.25 ? 0 : t < 0.5 ? 1 : 2;
    // t - 0.25 * row is exact here (the two are within a factor of two), so it equals fmod(t, 0.25).
    const double u = t - kBuzzSegment * row;
    if (row != segment) {  // the tones run on the whole sound's clock; reseed each chord at its start
      segment = row;
      low.seed(kTwoPi * kBuzzHz[row][0] * t, kTwoPi * kBuzzHz[row][0] * kSampleSeconds);
      beating.seed(kTwoPi * kBuzzHz[row][1] * t, kTwoPi * kBuzzHz[row][1] * kSampleSeconds);
    }
    const double envelope =
        std::min(u / kBuzzAttack, 1.0) * std::max(std::min((kBuzzCutoff - u) / kBuzzRelease, 1.0), 0.0);
    const double s = low.sin_now;
    const double third = s * (3 - 4 * s * s);  // sin 3x: the third tone is three times the first
    out[i] = to_sample(kBuzzLevel * envelope * (s + 0.25 * beating.sin_now + 0.5 * third));
    low.advance();
    beating.advance();
  }
  return kFailureBuzzLength;
}
