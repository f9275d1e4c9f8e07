// The three streams on a real SDL_mixer device: SDL's disk driver writes everything the mixer
// plays to a file in real time (kSampleRate, mono, signed 16-bit, as opened), and each test reads it
// back after closing. Test patterns use distinct values per sample, so the captured audio shows
// exactly which sample of which buffer played where: gaps, repeats and cuts cannot hide.
//
// The tests never wait for time: a busy machine runs the mixing thread late. They count the
// samples the mixer has played and wait for as many as each step needs, so "a while later"
// always means "so many samples later", however slowly they come.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/streams.h"
#include "audio/synth.h"
#include "game/game_state.h"
#include "game/host.h"
#include "game/rules.h"

#include "tests/temp_folder.h"

#ifdef _WIN32
// Windows' C library spells these two differently; the tests need nothing more of them.
namespace {
int setenv(const char* name, const char* value, int) { return _putenv((std::string(name) + "=" + value).c_str()); }
int unsetenv(const char* name) { return _putenv((std::string(name) + "=").c_str()); }
}  // namespace
#endif

// The rules are linked in for drop_chime_audible; their calls into the shell go nowhere here.
void save_best_score(int32_t) {}
void save_options(const GameState&) {}

void open_course_link() {}
void open_book_link() {}
void note_answer(int32_t, int32_t, bool) {}
void close_window() {}
int64_t read_counter() { return 0; }

namespace {

constexpr size_t kDeviceBlock = 1024;  // samples the mixer fills per device buffer

// Samples mixed so far. The mixer counts each buffer with the device locked, so a sound started,
// held or stopped before reading this takes effect at or before the sample it names; and the disk
// driver writes every buffer it has mixed, even when the device is closed right after.
std::atomic<size_t> mixed_samples{0};
void count_mixed(void*, Uint8*, int bytes) { mixed_samples += static_cast<size_t>(bytes) / sizeof(int16_t); }

// A state with the field running: no title, no quiz, no countdown, focused, music on.
GameState running_state() {
  GameState state;
  state.title_screen = 0;
  state.screen = Screen::play;
  state.level = 0;
  state.item.y = -24;
  state.item.fall_speed = fall_speed_of_level(0);
  return state;
}

class DiskAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    file_ = folder_ / "captured.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.string().c_str(), 1);
    // The driver then keeps real time, one buffer every 46 ms: a test acting between two
    // buffers has that long to do it.
    unsetenv("SDL_DISKAUDIODELAY");
    open_audio_streams();
    ASSERT_TRUE(stream_has_device(Stream::music));
    ASSERT_TRUE(stream_has_device(Stream::effects));
    ASSERT_TRUE(stream_has_device(Stream::chime));
    Mix_SetPostMix(count_mixed, nullptr);
  }
  void TearDown() override {
    Mix_SetPostMix(nullptr, nullptr);
    close_audio_streams();
  }

  // Waits until the mixer has played `count` more samples: a sound started before this call has
  // then played at least that many of its samples, and one started after it begins later still.
  // The deadline only bounds a device that stopped playing altogether.
  static ::testing::AssertionResult play_on(size_t count) {
    const size_t until = mixed_samples.load() + count;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (mixed_samples.load() < until) {
      if (std::chrono::steady_clock::now() > deadline)
        return ::testing::AssertionFailure() << "the device stopped playing " << until - mixed_samples.load()
                                             << " samples short";
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return ::testing::AssertionSuccess();
  }

  // Closes the device (which flushes the file) and returns everything it played.
  std::vector<int16_t> captured() {
    Mix_SetPostMix(nullptr, nullptr);
    close_audio_streams();
    std::ifstream in(file_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
      const auto low = static_cast<uint8_t>(bytes[2 * i]), high = static_cast<uint8_t>(bytes[2 * i + 1]);
      samples[i] = static_cast<int16_t>(static_cast<uint16_t>(low | high << 8));  // little-endian
    }
    return samples;
  }

  TempFolder folder_;
  std::filesystem::path file_;
};

// Fills the first `count` samples of a stream's buffer with value(i).
template <typename Value>
void fill(Stream which, int32_t count, Value value) {
  AudioStream& stream = audio_stream(which);
  for (int32_t i = 0; i < count; ++i) stream.samples[i] = static_cast<int16_t>(value(i));
}

size_t first_nonzero(const std::vector<int16_t>& samples, size_t from = 0) {
  for (size_t i = from; i < samples.size(); ++i)
    if (samples[i] != 0) return i;
  return samples.size();
}

bool all_zero(const std::vector<int16_t>& samples, size_t from, size_t to) {
  return std::all_of(samples.begin() + static_cast<ptrdiff_t>(std::min(from, samples.size())),
                     samples.begin() + static_cast<ptrdiff_t>(std::min(to, samples.size())),
                     [](int16_t s) { return s == 0; });
}

// Where the first 64 samples of `sound` appear in `samples` at or after `from`; npos if nowhere.
size_t find_sound(const std::vector<int16_t>& samples, const std::vector<int16_t>& sound, size_t from = 0) {
  const size_t needle = std::min<size_t>(64, sound.size());
  for (size_t i = from; i + needle <= samples.size(); ++i)
    if (std::equal(sound.begin(), sound.begin() + static_cast<ptrdiff_t>(needle),
                   samples.begin() + static_cast<ptrdiff_t>(i)))
      return i;
  return std::string::npos;
}

// How many samples of `sound` play unchanged from `at` on.
size_t matching_run(const std::vector<int16_t>& samples, const std::vector<int16_t>& sound, size_t at) {
  size_t n = 0;
  while (n < sound.size() && at + n < samples.size() && samples[at + n] == sound[n]) ++n;
  return n;
}

// ---- plain stream behaviour, with test patterns ----

TEST_F(DiskAudio, AnEffectAtAVolumeIsTheSameEffectAtFullVolumeTimesIt) {
  constexpr int32_t kLength = 3000;
  PlayerOptions options;
  options.effects_volume = 30;
  set_volumes(options);
  fill(Stream::effects, kLength, [](int32_t i) { return 1000 + 7 * i; });
  play_once(audio_stream(Stream::effects), kLength);
  ASSERT_TRUE(play_on(2 * kLength));
  const std::vector<int16_t> out = captured();
  set_volumes(PlayerOptions{});
  const size_t start = first_nonzero(out);
  ASSERT_LE(start + kLength, out.size());
  for (int32_t i = 0; i < kLength; ++i) ASSERT_EQ(out[start + i], (1000 + 7 * i) * 30 / 100) << "sample " << i;
}

TEST_F(DiskAudio, LoopRepeatsWithoutAGapFromItsFirstSample) {
  constexpr int32_t kLength = 1500;
  fill(Stream::music, kLength, [](int32_t i) { return 1000 + i; });
  play_looping(audio_stream(Stream::music), kLength);
  ASSERT_TRUE(play_on(4 * kLength));
  const std::vector<int16_t> out = captured();

  const size_t start = first_nonzero(out);
  ASSERT_LT(start, out.size());
  ASSERT_EQ(out[start], 1000);  // from the loop's first sample
  size_t i = start;
  while (i < out.size() && out[i] == 1000 + static_cast<int32_t>((i - start) % kLength)) ++i;
  EXPECT_EQ(i, out.size()) << "the loop broke off at sample " << i - start;
  EXPECT_GE(i - start, 3u * kLength);  // several seams went by
}

TEST_F(DiskAudio, HoldStopsWhereItIsAndResumeGoesOnFromThere) {
  constexpr int32_t kLength = 20000;
  fill(Stream::music, kLength, [](int32_t i) { return 100 + i; });
  play_looping(audio_stream(Stream::music), kLength);
  constexpr size_t kHold = kSampleRate / 4;
  GameState state = running_state();
  ASSERT_TRUE(play_on(3 * kDeviceBlock));
  state.paused = 1;
  apply_audio_pause(state);
  ASSERT_TRUE(play_on(kHold));
  state.paused = 0;
  apply_audio_pause(state);
  ASSERT_TRUE(play_on(3 * kDeviceBlock));
  const std::vector<int16_t> out = captured();

  const size_t start = first_nonzero(out);
  ASSERT_LT(start, out.size());
  ASSERT_EQ(out[start], 100);
  size_t i = start;
  while (i < out.size() && out[i] == 100 + static_cast<int32_t>((i - start) % kLength)) ++i;
  const size_t played = i - start;
  ASSERT_GT(played, 0u);
  ASSERT_LT(played, static_cast<size_t>(kLength));  // held in mid-loop

  const size_t resumed = first_nonzero(out, i);
  ASSERT_LT(resumed, out.size()) << "never resumed";
  EXPECT_GE(resumed - i, kHold) << "the hold was too short to be the pause";
  for (size_t j = resumed; j < out.size(); ++j) {
    ASSERT_EQ(out[j], 100 + static_cast<int32_t>((played + j - resumed) % kLength)) << "sample " << j;
  }
  EXPECT_GT(out.size() - resumed, kDeviceBlock);
}

TEST_F(DiskAudio, HoldTakesRightAfterTheDeviceOpens) {
  // SDL's clock may still read 0 ms here; the mixer must take the hold all the same.
  constexpr int32_t kLength = 1500;
  fill(Stream::music, kLength, [](int32_t i) { return 1000 + i; });
  const size_t before_play = mixed_samples.load();
  play_looping(audio_stream(Stream::music), kLength);
  GameState state = running_state();
  state.has_focus = 0;
  apply_audio_pause(state);
  // The mixer may have played a buffer between the two calls; nothing after the hold.
  const size_t before_hold = mixed_samples.load() - before_play;
  ASSERT_TRUE(play_on(3 * kDeviceBlock));
  const std::vector<int16_t> out = captured();
  EXPECT_GT(out.size(), 2 * kDeviceBlock);
  EXPECT_LE(static_cast<size_t>(std::count_if(out.begin(), out.end(), [](int16_t s) { return s != 0; })),
            before_hold);
}

TEST_F(DiskAudio, StopCutsTheSoundAtTheNextDeviceBufferForGood) {
  constexpr int32_t kLength = 20000;
  fill(Stream::effects, kLength, [](int32_t i) { return 1000 + i; });
  const size_t before_play = mixed_samples.load();
  play_once(audio_stream(Stream::effects), kLength);
  ASSERT_TRUE(play_on(2 * kDeviceBlock));
  stop_stream(Stream::effects);
  const size_t before_stop = mixed_samples.load();
  ASSERT_TRUE(play_on(4 * kDeviceBlock));
  const std::vector<int16_t> out = captured();

  const size_t start = first_nonzero(out);
  ASSERT_LT(start, out.size());
  size_t played = 0;
  while (start + played < out.size() && out[start + played] == 1000 + static_cast<int32_t>(played)) ++played;
  EXPECT_LT(played, static_cast<size_t>(kLength));
  EXPECT_LE(played, before_stop - before_play);  // nothing after the stop
  EXPECT_EQ((start + played) % kDeviceBlock, 0u);             // no tail: the next buffer is silent
  EXPECT_TRUE(all_zero(out, start + played, out.size()));
}

// Three streams summed by the mixer stay apart in these patterns: the music in bits 0-6, the
// effects in bits 7-12, the chime in bits 13-14, each counting up so that a skip shows.
constexpr int32_t kMusicPeriod = 127, kEffectsPeriod = 63, kChimePeriod = 3;
int32_t music_part(int32_t i) { return 1 + i % kMusicPeriod; }
int32_t effects_part(int32_t i) { return (1 + i % kEffectsPeriod) << 7; }
int32_t chime_part(int32_t i) { return (1 + i % kChimePeriod) << 13; }
int32_t music_of(int16_t v) { return v & 127; }
int32_t effects_of(int16_t v) { return (v >> 7) & 63; }
int32_t chime_of(int16_t v) { return (v >> 13) & 3; }

// Checks that the decoded part counts up by one (cyclically) from `from` to `to`.
::testing::AssertionResult counts_up(const std::vector<int16_t>& out, size_t from, size_t to, int32_t (*part)(int16_t),
                                     int32_t period) {
  for (size_t i = from + 1; i < to; ++i) {
    if (part(out[i]) != part(out[i - 1]) % period + 1)
      return ::testing::AssertionFailure()
             << "skip at sample " << i << ": " << part(out[i - 1]) << " then " << part(out[i]);
  }
  return ::testing::AssertionSuccess();
}

TEST_F(DiskAudio, ChimeOverlapsTheEffectsAndTheMusicAndANewEffectCutsTheOldOne) {
  // The effect outlasts the chime, so that the second one still sounds when the chime ends.
  constexpr int32_t kMusicLength = kMusicPeriod * 40, kEffectsLength = kEffectsPeriod * 300;
  constexpr int32_t kChimeLength = kChimePeriod * 3000;
  fill(Stream::music, kMusicLength, music_part);
  fill(Stream::effects, kEffectsLength, effects_part);
  fill(Stream::chime, kChimeLength, chime_part);
  play_looping(audio_stream(Stream::music), kMusicLength);
  play_once(audio_stream(Stream::effects), kEffectsLength);
  play_once(audio_stream(Stream::chime), kChimeLength);
  ASSERT_TRUE(play_on(2 * kDeviceBlock));
  play_once(audio_stream(Stream::effects), kEffectsLength);  // the same sound again, from its start
  ASSERT_TRUE(play_on(kEffectsLength + 2 * kDeviceBlock));
  const std::vector<int16_t> out = captured();

  // Music: from its start to the end, never skipping, right through the effects and the chime.
  size_t music_start = 0;
  while (music_start < out.size() && music_of(out[music_start]) == 0) ++music_start;
  ASSERT_LT(music_start, out.size());
  EXPECT_EQ(music_of(out[music_start]), 1);
  EXPECT_TRUE(counts_up(out, music_start, out.size(), music_of, kMusicPeriod));

  // Chime: all of it, once, undisturbed by the second effect.
  size_t chime_start = 0;
  while (chime_start < out.size() && chime_of(out[chime_start]) == 0) ++chime_start;
  ASSERT_LT(chime_start + kChimeLength, out.size());
  EXPECT_TRUE(counts_up(out, chime_start, chime_start + kChimeLength, chime_of, kChimePeriod));
  for (size_t i = chime_start + kChimeLength; i < out.size(); ++i) ASSERT_EQ(chime_of(out[i]), 0) << i;

  // Effects: the first run is cut off and the second plays whole from its start.
  size_t first = 0;
  while (first < out.size() && effects_of(out[first]) == 0) ++first;
  ASSERT_LT(first, out.size());
  size_t cut = first + 1;
  while (cut < out.size() && effects_of(out[cut]) == effects_of(out[cut - 1]) % kEffectsPeriod + 1) ++cut;
  EXPECT_LT(cut - first, static_cast<size_t>(kEffectsLength)) << "the first effect was not cut off";
  size_t second = cut;
  while (second < out.size() && effects_of(out[second]) == 0) ++second;
  ASSERT_LT(second + kEffectsLength, out.size());
  EXPECT_LE(second - cut, kDeviceBlock);
  EXPECT_EQ(effects_of(out[second]), 1);
  EXPECT_TRUE(counts_up(out, second, second + kEffectsLength, effects_of, kEffectsPeriod));
  for (size_t i = second + kEffectsLength; i < out.size(); ++i) ASSERT_EQ(effects_of(out[i]), 0) << i;

  // And all three really sounded together.
  const auto together = std::count_if(
      out.begin(), out.end(), [](int16_t v) { return music_of(v) != 0 && effects_of(v) != 0 && chime_of(v) != 0; });
  EXPECT_GE(together, kChimeLength - static_cast<int32_t>(kDeviceBlock));
}

TEST_F(DiskAudio, HoldRuleFollowsFocusPauseAndMusicSwitch) {
  constexpr int32_t kMusicLength = kMusicPeriod * 40, kEffectsLength = kEffectsPeriod * 80;
  constexpr int32_t kChimeLength = kChimePeriod * 1700;
  fill(Stream::music, kMusicLength, music_part);
  fill(Stream::effects, kEffectsLength, effects_part);
  fill(Stream::chime, kChimeLength, chime_part);
  // Every stream loops here, so that each one's hold shows for as long as it lasts.
  play_looping(audio_stream(Stream::music), kMusicLength);
  play_looping(audio_stream(Stream::effects), kEffectsLength);
  play_looping(audio_stream(Stream::chime), kChimeLength);

  struct Step {
    int32_t has_focus, paused, music_muted;
  };
  const Step steps[] = {
      {1, 0, 0},  // all three
      {1, 0, 1},  // muted: effects and chime go on
      {1, 1, 1},  // paused: nothing
      {1, 1, 0},  // unmuted while paused: still nothing
      {1, 0, 0},  // all three again
      {0, 0, 0},  // focus lost: nothing
      {1, 0, 1},  // focus back, still muted: no music
  };
  GameState state = running_state();
  for (const Step& step : steps) {
    state.has_focus = step.has_focus;
    state.paused = step.paused;
    state.music_muted = step.music_muted;
    apply_audio_pause(state);
    ASSERT_TRUE(play_on(4 * kDeviceBlock));
  }
  const std::vector<int16_t> out = captured();

  // Which streams sound in each device buffer (1 music, 2 effects, 4 chime), merged into runs.
  // A buffer mixed while the three streams were being switched may show a mixture: runs of a
  // single buffer are left out.
  std::vector<std::pair<int32_t, int32_t>> runs;  // (streams, buffers)
  size_t first = first_nonzero(out) / kDeviceBlock * kDeviceBlock;
  for (size_t block = first; block + kDeviceBlock <= out.size(); block += kDeviceBlock) {
    int32_t streams = 0;
    for (size_t i = block; i < block + kDeviceBlock; ++i) {
      streams |= (music_of(out[i]) ? 1 : 0) | (effects_of(out[i]) ? 2 : 0) | (chime_of(out[i]) ? 4 : 0);
    }
    if (!runs.empty() && runs.back().first == streams) {
      ++runs.back().second;
    } else {
      runs.push_back({streams, 1});
    }
  }
  std::vector<int32_t> heard;
  for (const auto& [streams, buffers] : runs) {
    if (buffers < 2) continue;
    if (heard.empty() || heard.back() != streams) heard.push_back(streams);
  }
  EXPECT_EQ(heard, (std::vector<int32_t>{7, 6, 0, 7, 0, 6}));
  // Each stream, with its silences taken out, went on from where it was held.
  std::vector<int16_t> music_heard, effects_heard, chime_heard;
  for (int16_t v : out) {
    if (music_of(v)) music_heard.push_back(static_cast<int16_t>(music_of(v)));
    if (effects_of(v)) effects_heard.push_back(static_cast<int16_t>(effects_of(v) << 7));
    if (chime_of(v)) chime_heard.push_back(static_cast<int16_t>(chime_of(v) << 13));
  }
  EXPECT_TRUE(counts_up(music_heard, 0, music_heard.size(), music_of, kMusicPeriod));
  EXPECT_TRUE(counts_up(effects_heard, 0, effects_heard.size(), effects_of, kEffectsPeriod));
  EXPECT_TRUE(counts_up(chime_heard, 0, chime_heard.size(), chime_of, kChimePeriod));
}

// ---- the game's sounds, end to end ----

TEST_F(DiskAudio, MusicStartedWhileHeldStaysSilentUntilResumedThenPlaysFromItsStart) {
  GameState state = running_state();
  state.music_muted = 1;
  apply_audio_pause(state);
  // A short mark on the effects stream shows when the music was started.
  constexpr int32_t kMarkLength = 200;
  fill(Stream::effects, kMarkLength, [](int32_t) { return 3000; });
  play_once(audio_stream(Stream::effects), kMarkLength);
  restart_music(state);
  constexpr size_t kHeld = kSampleRate * 3 / 10;
  ASSERT_TRUE(play_on(kHeld));
  state.music_muted = 0;
  apply_audio_pause(state);
  ASSERT_TRUE(play_on(3 * kDeviceBlock));
  const std::vector<int16_t> out = captured();

  std::vector<int16_t> loop(kMusicCapacity);
  loop.resize(static_cast<size_t>(render_music_loop(0, loop)));
  const size_t mark = first_nonzero(out);
  ASSERT_LT(mark, out.size());
  ASSERT_EQ(out[mark], 3000);
  const size_t music = find_sound(out, loop, mark + kMarkLength);
  ASSERT_NE(music, std::string::npos) << "the music never played";
  // Not one buffer of it while muted: silence from the mark until the music was switched on.
  EXPECT_TRUE(all_zero(out, mark + kMarkLength, music));
  EXPECT_GE(music - mark, kHeld);
  // Then the loop from its first sample on.
  EXPECT_EQ(matching_run(out, loop, music), out.size() - music);
  EXPECT_GT(out.size() - music, 2 * kDeviceBlock);
}

TEST_F(DiskAudio, EffectsPlayAsRenderedAndTheLaterCutsTheEarlierOff) {
  std::vector<int16_t> arpeggio(kEffectsCapacity), buzz(kEffectsCapacity);
  arpeggio.resize(static_cast<size_t>(render_success_arpeggio(arpeggio)));
  buzz.resize(static_cast<size_t>(render_failure_buzz(buzz)));
  play_success_arpeggio();
  ASSERT_TRUE(play_on(arpeggio.size()));  // the whole arpeggio
  play_success_arpeggio();
  ASSERT_TRUE(play_on(kDeviceBlock));
  play_failure_buzz();  // cuts the second arpeggio short
  ASSERT_TRUE(play_on(buzz.size() + kDeviceBlock));
  const std::vector<int16_t> out = captured();

  const size_t first = find_sound(out, arpeggio);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(matching_run(out, arpeggio, first), arpeggio.size());
  const size_t second = find_sound(out, arpeggio, first + arpeggio.size());
  ASSERT_NE(second, std::string::npos);
  const size_t played = matching_run(out, arpeggio, second);
  EXPECT_LT(played, arpeggio.size());
  const size_t after = find_sound(out, buzz, second);
  ASSERT_NE(after, std::string::npos);
  EXPECT_GE(second + played, after);  // the arpeggio ends where the buzz begins ...
  EXPECT_LE(second + played, after + kDeviceBlock);
  EXPECT_TRUE(all_zero(out, second + played, after));  // ... or at most one buffer before
  EXPECT_EQ(matching_run(out, buzz, after), buzz.size());
  EXPECT_TRUE(all_zero(out, after + buzz.size(), out.size()));
}

TEST_F(DiskAudio, DropChimeSoundsOnlyWhileTheFieldRuns) {
  GameState title = running_state();
  title.title_screen = 1;
  GameState question = running_state();
  question.screen = Screen::question;
  GameState interlude = running_state();
  interlude.level_complete = 1;
  GameState countdown = running_state();
  countdown.countdown = 1.5;
  GameState landed = running_state();
  landed.item.y = 555;
  for (const GameState* silent : {&title, &question, &interlude, &countdown, &landed}) play_drop_chime(*silent);
  ASSERT_TRUE(play_on(2 * kDeviceBlock));
  std::vector<int16_t> chime(kChimeCapacity);
  chime.resize(static_cast<size_t>(render_drop_chime(-24, fall_speed_of_level(0), chime)));
  ASSERT_EQ(chime.size(), 11686u);
  GameState field = running_state();
  play_drop_chime(field);
  ASSERT_TRUE(play_on(chime.size() + kDeviceBlock));
  const std::vector<int16_t> out = captured();

  const size_t at = find_sound(out, chime);
  ASSERT_NE(at, std::string::npos);
  EXPECT_TRUE(all_zero(out, 0, at));
  EXPECT_EQ(matching_run(out, chime, at), chime.size());
  EXPECT_TRUE(all_zero(out, at + chime.size(), out.size()));
}

// ---- without a device ----

TEST(NoAudioDevice, EveryOperationIsANoOpAndNothingIsRendered) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  for (Stream which : {Stream::music, Stream::effects, Stream::chime}) {
    AudioStream& stream = audio_stream(which);
    std::fill(stream.samples, stream.samples + stream.capacity, int16_t{7});
  }
  open_audio_streams();
  EXPECT_FALSE(stream_has_device(Stream::music));
  EXPECT_FALSE(stream_has_device(Stream::effects));
  EXPECT_FALSE(stream_has_device(Stream::chime));
  EXPECT_FALSE(stream_has_device(static_cast<Stream>(7)));

  GameState state = running_state();
  restart_music(state);
  play_drop_chime(state);
  play_success_arpeggio();
  play_failure_buzz();
  play_once(audio_stream(Stream::effects), 100);
  play_looping(audio_stream(Stream::music), 100);
  for (int32_t flags = 0; flags < 8; ++flags) {
    state.has_focus = flags & 1;
    state.paused = (flags >> 1) & 1;
    state.music_muted = (flags >> 2) & 1;
    apply_audio_pause(state);
    restart_music(state);
  }
  for (Stream which : {Stream::music, Stream::effects, Stream::chime}) stop_stream(which);
  stop_stream(static_cast<Stream>(-1));
  close_audio_streams();
  close_audio_streams();

  for (Stream which : {Stream::music, Stream::effects, Stream::chime}) {
    const AudioStream& stream = audio_stream(which);
    EXPECT_TRUE(std::all_of(stream.samples, stream.samples + stream.capacity, [](int16_t s) { return s == 7; }))
        << "stream " << stream.channel << " was rendered into";
  }
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  unsetenv("SDL_AUDIODRIVER");
}

TEST(AudioSubsystem, LeftRunningWhenSomeoneElseStartedIt) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
  open_audio_streams();
  EXPECT_TRUE(stream_has_device(Stream::music));
  open_audio_streams();  // a second open changes nothing
  close_audio_streams();
  EXPECT_FALSE(stream_has_device(Stream::music));
  EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
