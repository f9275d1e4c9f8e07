// The synthesised sounds: lengths, pitches, envelopes and levels measured from the samples, and
// the fast renderers held to the direct evaluation of their formulas at every sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "audio/synth.h"

namespace {

constexpr double kPi = 3.141592653589793;

std::vector<int16_t> music_of(int32_t level) {
  std::vector<int16_t> out(kMusicCapacity, 0);
  out.resize(static_cast<size_t>(render_music_loop(level, out)));
  return out;
}

std::vector<int16_t> direct_music_of(int32_t level) {
  std::vector<int16_t> out(kMusicCapacity, 0);
  out.resize(static_cast<size_t>(render_music_loop_direct(level, out)));
  return out;
}

struct Difference {
  int32_t differing = 0;
  int32_t largest = 0;
};

Difference compare(const std::vector<int16_t>& fast, const std::vector<int16_t>& direct) {
  Difference d;
  for (size_t i = 0; i < std::min(fast.size(), direct.size()); ++i) {
    const int32_t gap = std::abs(fast[i] - direct[i]);
    if (gap) ++d.differing;
    d.largest = std::max(d.largest, gap);
  }
  return d;
}

int32_t peak_of(const std::vector<int16_t>& samples, size_t from = 0, size_t to = SIZE_MAX) {
  int32_t peak = 0;
  for (size_t i = from; i < std::min(to, samples.size()); ++i) peak = std::max(peak, std::abs(int32_t{samples[i]}));
  return peak;
}

// Strength of the frequency `hz` in samples [from, to) (Goertzel).
double power_at(const std::vector<int16_t>& samples, size_t from, size_t to, double hz) {
  const double coefficient = 2 * std::cos(2 * kPi * hz / kSampleRate);
  double previous = 0, before = 0;
  for (size_t i = from; i < to; ++i) {
    const double now = samples[i] + coefficient * previous - before;
    before = previous;
    previous = now;
  }
  return previous * previous + before * before - coefficient * previous * before;
}

// The strongest frequency between `low_hz` and `high_hz`, searched in steps of 0.25 Hz.
double dominant_hz(const std::vector<int16_t>& samples, size_t from, size_t to, double low_hz, double high_hz) {
  double best_hz = low_hz, best_power = -1;
  for (double hz = low_hz; hz <= high_hz; hz += 0.25) {
    const double power = power_at(samples, from, to, hz);
    if (power > best_power) best_power = power, best_hz = hz;
  }
  return best_hz;
}

int32_t nearest_note(double hz) { return static_cast<int32_t>(std::lround(69 + 12 * std::log2(hz / 440))); }

size_t beat_samples(int32_t tempo) { return static_cast<size_t>(kSampleRate * 60.0 / tempo); }

// ---- music ----

TEST(MusicLoop, LengthIs32BeatsAtTheSceneTempo) {
  const int32_t expected[6] = {311294, 294000, 320727, 302400, 286054, 298140};
  for (int32_t level = 0; level < 12; ++level) {
    EXPECT_EQ(music_loop_length(level), expected[level % 6]) << "level " << level;
    EXPECT_EQ(music_of(level).size(), static_cast<size_t>(expected[level % 6])) << "level " << level;
  }
  EXPECT_LE(*std::max_element(std::begin(expected), std::end(expected)), kMusicCapacity);
}

TEST(MusicLoop, TooSmallABufferIsLeftUntouched) {
  std::vector<int16_t> out(320726, 7);  // one short of the longest loop
  EXPECT_EQ(render_music_loop(2, out), 0);
  EXPECT_EQ(render_music_loop_direct(2, out), 0);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 7; }));
  EXPECT_EQ(render_music_loop(0, out), 311294);  // a shorter loop fits
}

TEST(MusicLoop, FastRenderingStaysWithinOneOfTheFormulasAtEverySample) {
  // Every scene in every key: levels 0..29.
  int32_t differing = 0, largest = 0;
  for (int32_t level = 0; level < 30; ++level) {
    const Difference d = compare(music_of(level), direct_music_of(level));
    EXPECT_LE(d.largest, 1) << "level " << level;
    differing += d.differing;
    largest = std::max(largest, d.largest);
  }
  // Rounding may tip a truncation now and then, but never in more than a handful of samples.
  EXPECT_LT(differing, 30);
  std::printf("music, levels 0..29: %d samples differ from the direct evaluation, by at most %d\n", differing, largest);
}

TEST(MusicLoop, StartsFromSilenceAndFadesIntoTheSeam) {
  for (int32_t level = 0; level < 6; ++level) {
    const std::vector<int16_t> loop = music_of(level);
    EXPECT_EQ(loop.front(), 0) << "level " << level;
    // The last sample is within 1/22050 s of the seam: at most 0.4 % of the level.
    EXPECT_LE(std::abs(int32_t{loop.back()}), 15) << "level " << level;
    // The last 1.2 ms are at most a tenth of full level, the 8 ms start rises from nothing.
    EXPECT_LE(peak_of(loop, loop.size() - 26), 350) << "level " << level;
    EXPECT_LE(peak_of(loop, 0, 18), 350) << "level " << level;
    // ... while the loop itself is loud.
    EXPECT_GT(peak_of(loop), 2000) << "level " << level;
  }
}

TEST(MusicLoop, SameLevelRendersTheSameSamplesAndKeysCycleEvery30Levels) {
  const std::vector<int16_t> first = music_of(0);
  EXPECT_EQ(music_of(0), first);  // the noise restarts from its seed each time
  EXPECT_EQ(music_of(30), first);
  EXPECT_EQ(music_of(32), music_of(2));
  EXPECT_NE(music_of(6), first);  // one semitone up
}

TEST(MusicLoop, PeakLevelIsAbout3000) {
  int32_t peak = 0;
  for (int32_t level = 0; level < 30; ++level) peak = std::max(peak, peak_of(music_of(level)));
  EXPECT_GT(peak, 2700);
  EXPECT_LT(peak, 3300);
}

struct OpeningNotes {
  int32_t level, tempo, melody, bass, second_beat_bass;
};

TEST(MusicLoop, OpeningMelodyAndBassNotesFollowSceneAndKey) {
  // Level 0: C5 over C3, then G3 on the second beat. Level 1 plays its pattern backwards, from A5,
  // over the same bass. Level 6 is level 0 a semitone up.
  const OpeningNotes cases[] = {{0, 136, 72, 48, 55}, {1, 144, 81, 48, 55}, {6, 136, 73, 49, 56}};
  for (const OpeningNotes& c : cases) {
    const std::vector<int16_t> loop = music_of(c.level);
    const size_t beat = beat_samples(c.tempo);
    const double melody_hz = dominant_hz(loop, 0, beat / 2, 300, 2000);
    const double bass_hz = dominant_hz(loop, 0, beat, 100, 300);
    const double second_bass_hz = dominant_hz(loop, beat + 1, 2 * beat, 100, 300);
    EXPECT_EQ(nearest_note(melody_hz), c.melody) << "level " << c.level << ", " << melody_hz << " Hz";
    EXPECT_EQ(nearest_note(bass_hz), c.bass) << "level " << c.level << ", " << bass_hz << " Hz";
    EXPECT_EQ(nearest_note(second_bass_hz), c.second_beat_bass)
        << "level " << c.level << ", " << second_bass_hz << " Hz";
  }
  // The measurement itself tells 523.25 Hz from its neighbours.
  const std::vector<int16_t> loop = music_of(0);
  EXPECT_NEAR(dominant_hz(loop, 0, beat_samples(136) / 2, 300, 2000), 523.25, 4);
}

TEST(MusicLoop, KickFallsOnEvenBeatsOnly) {
  const std::vector<int16_t> loop = music_of(0);
  const size_t beat = beat_samples(136);
  // The kick glides from 107 to 72 Hz; the bass never goes below 110 Hz in level 0.
  double even = 0, odd = 0;
  for (double hz = 72; hz <= 100; hz += 4) {
    even += power_at(loop, 0, beat, hz) + power_at(loop, 2 * beat + 1, 3 * beat, hz);
    odd += power_at(loop, beat + 1, 2 * beat, hz) + power_at(loop, 3 * beat + 1, 4 * beat, hz);
  }
  EXPECT_GT(even, 20 * odd);
}

// ---- effects ----

TEST(DropChime, LastsUntilTheItemLandsAtMost053Seconds) {
  // A fresh item at y = -24 has 579 px to fall.
  EXPECT_EQ(drop_chime_length(-24, 200), 11686);
  EXPECT_EQ(drop_chime_length(-24, 1092), 11686);
  EXPECT_EQ(drop_chime_length(-24, 1093), static_cast<int32_t>(kSampleRate * (579.0 / 1093)));
  EXPECT_LT(drop_chime_length(-24, 1093), 11686);
  EXPECT_EQ(drop_chime_length(-24, 1120), 11399);  // level 23 is the first to shorten it
  EXPECT_EQ(drop_chime_length(455, 400), 5512);    // 0.25 s left to fall
  EXPECT_EQ(drop_chime_length(554.99, 200), 1);
  EXPECT_EQ(drop_chime_length(-1e300, 200), 11686);
}

TEST(DropChime, NothingForAnItemThatHasLandedOrDoesNotFall) {
  const double no_chime[][2] = {{555, 200},
                                {600, 200},
                                {1e300, 200},
                                {0, 0},
                                {0, -200},
                                {600, -200},
                                {0, std::numeric_limits<double>::quiet_NaN()},
                                {std::numeric_limits<double>::quiet_NaN(), 200},
                                {-std::numeric_limits<double>::infinity(), 0},
                                {0, std::numeric_limits<double>::infinity()}};
  std::vector<int16_t> out(kChimeCapacity, 7);
  for (const auto& c : no_chime) {
    EXPECT_EQ(drop_chime_length(c[0], c[1]), 0) << c[0] << ", " << c[1];
    EXPECT_EQ(render_drop_chime(c[0], c[1], out), 0) << c[0] << ", " << c[1];
    EXPECT_EQ(render_drop_chime_direct(c[0], c[1], out), 0) << c[0] << ", " << c[1];
  }
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 7; }));
}

TEST(DropChime, NeverWritesPastTheBuffer) {
  std::vector<int16_t> out(101, 7);
  EXPECT_EQ(render_drop_chime(-24, 200, std::span<int16_t>(out).first(100)), 100);
  EXPECT_EQ(out[100], 7);
}

TEST(DropChime, SixFallingNotesFadedAtTheEnd) {
  std::vector<int16_t> chime(kChimeCapacity);
  chime.resize(static_cast<size_t>(render_drop_chime(-24, 200, chime)));
  ASSERT_EQ(chime.size(), 11686u);
  EXPECT_EQ(chime.front(), 0);
  EXPECT_GT(peak_of(chime), 2000);
  EXPECT_LT(peak_of(chime), 2250);  // about 2130
  // The first 65 ms hold C6 alone; the last 200 ms hold C5 with the tails of the notes before.
  EXPECT_EQ(nearest_note(dominant_hz(chime, 0, 1433, 400, 1500)), 84);
  EXPECT_EQ(nearest_note(dominant_hz(chime, 7166, 11686, 400, 600)), 72);
  // The fade reaches nothing at the end of a chime cut short by a fast item.
  std::vector<int16_t> short_chime(kChimeCapacity);
  short_chime.resize(static_cast<size_t>(render_drop_chime(455, 1000, short_chime)));  // 0.1 s
  ASSERT_EQ(short_chime.size(), 2205u);
  EXPECT_LE(std::abs(int32_t{short_chime.back()}), 60);
  EXPECT_GT(peak_of(short_chime), 1000);
}

TEST(SuccessArpeggio, FourRisingNotesIn8820Samples) {
  std::vector<int16_t> out(kEffectsCapacity, 7);
  ASSERT_EQ(render_success_arpeggio(out), kSuccessArpeggioLength);
  EXPECT_EQ(out[kSuccessArpeggioLength], 7);  // nothing past the sound
  out.resize(kSuccessArpeggioLength);
  EXPECT_EQ(out.front(), 0);
  EXPECT_GT(peak_of(out), 4300);
  EXPECT_LT(peak_of(out), 4550);  // about 4420
  const int32_t notes[4] = {76, 80, 83, 88};
  for (int32_t k = 0; k < 4; ++k) {
    const size_t from = static_cast<size_t>(2205 * k);
    EXPECT_EQ(nearest_note(dominant_hz(out, from, from + 2205, 500, 1500)), notes[k]) << "note " << k;
  }
  EXPECT_LE(std::abs(int32_t{out.back()}), 15);

  std::vector<int16_t> small(kSuccessArpeggioLength - 1);
  EXPECT_EQ(render_success_arpeggio(small), 0);
}

TEST(FailureBuzz, ThreeFallingChordsWithSilentGaps) {
  std::vector<int16_t> out(kEffectsCapacity, 7);
  ASSERT_EQ(render_failure_buzz(out), kFailureBuzzLength);
  EXPECT_EQ(out[kFailureBuzzLength], 7);
  out.resize(kFailureBuzzLength);
  EXPECT_EQ(out.front(), 0);
  EXPECT_GT(peak_of(out), 8000);
  EXPECT_LT(peak_of(out), 8450);  // about 8220
  // Silent from 0.21 to 0.25 s and from 0.46 to 0.5 s, and the last segment ends in its gap.
  const auto silent = [&](double from_s, double to_s) {
    return peak_of(out, static_cast<size_t>(std::ceil(from_s * kSampleRate)),
                   static_cast<size_t>(to_s * kSampleRate)) == 0;
  };
  EXPECT_TRUE(silent(0.21, 0.25));
  EXPECT_TRUE(silent(0.46, 0.5));
  EXPECT_TRUE(silent(0.71, 0.75));
  EXPECT_EQ(out.back(), 0);
  EXPECT_GT(peak_of(out, 5513, 5520), 0);  // each chord starts right after its gap
  // Falling 220 -> 165 -> 110 Hz.
  const double roots[3] = {220, 165, 110};
  for (int32_t k = 0; k < 3; ++k) {
    const size_t from = static_cast<size_t>(5512.5 * k) + 1;
    EXPECT_NEAR(dominant_hz(out, from, from + 4500, 90, 300), roots[k], 3) << "chord " << k;
  }
}

TEST(Effects, FastRenderingStaysWithinOneOfTheFormulas) {
  std::vector<int16_t> fast(kChimeCapacity), direct(kChimeCapacity);
  int32_t differing = 0, largest = 0;
  const auto tally = [&](int32_t fast_count, int32_t direct_count) {
    ASSERT_EQ(fast_count, direct_count);
    const Difference d =
        compare({fast.begin(), fast.begin() + fast_count}, {direct.begin(), direct.begin() + fast_count});
    differing += d.differing;
    largest = std::max(largest, d.largest);
  };
  tally(render_success_arpeggio(fast), render_success_arpeggio_direct(direct));
  tally(render_failure_buzz(fast), render_failure_buzz_direct(direct));
  const double chimes[][2] = {{-24, 200}, {-24, 1120}, {-24, 2000}, {300, 500}, {520, 3000}, {554, 300}, {554.99, 200}};
  for (const auto& c : chimes) tally(render_drop_chime(c[0], c[1], fast), render_drop_chime_direct(c[0], c[1], direct));
  EXPECT_LE(largest, 1);
  EXPECT_LT(differing, 5);
  std::printf("effects: %d samples differ from the direct evaluation, by at most %d\n", differing, largest);
}

}  // namespace
