// The sound controls of game/host.h on SDL_mixer, and opening and closing the device.
//
// One mixer device carries the three streams as channels 0, 1 and 2 (music, effects, chime).
// Each stream owns one static buffer, loaded once as a raw chunk when the device opens; a new
// sound halts the channel first (the mixer takes the device lock to do it, so the mixing thread
// is no longer reading the buffer), is rendered into the buffer, and then starts from its first
// sample. Nothing here allocates once the device is open.
//
// Holding: SDL_mixer has no call that starts a channel already paused, and its device lock is
// private to it, so "start, then pause" would let the mixing thread play one buffer of the new
// sound in between. Instead a sound started on a held stream is not handed to the mixer at all:
// the stream remembers it and starts it from its beginning when the hold ends, which is also
// exactly what a paused device does with a buffer queued while it was paused.
#include "audio/streams.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>

#include "audio/audio.h"
#include "audio/synth.h"
#include "game/game_state.h"
#include "game/rules.h"

namespace {

constexpr int kMixerChunkFrames = 1024;  // smaller device buffers crackle on PipeWire and PulseAudio

int16_t music_samples[kMusicCapacity];
int16_t effects_samples[kEffectsCapacity];
int16_t chime_samples[kChimeCapacity];

// Indexed by Stream, whose values are the mixer channels.
AudioStream streams[3] = {
    {0, music_samples, kMusicCapacity},
    {1, effects_samples, kEffectsCapacity},
    {2, chime_samples, kChimeCapacity},
};

bool mixer_open = false;
bool audio_subsystem_ours = false;  // we started SDL's audio, so we stop it again

AudioStream* find_stream(Stream which) {
  const int32_t index = static_cast<int32_t>(which);
  return index >= 0 && index < 3 ? &streams[index] : nullptr;
}

void start_on_channel(AudioStream& stream, int32_t count, int32_t loops) {
  if (!stream.chunk) return;
  Mix_HaltChannel(stream.channel);
  stream.start_waiting = false;
  if (count <= 0 || count > stream.capacity) return;
  stream.chunk->alen = static_cast<Uint32>(count) * sizeof(int16_t);
  if (stream.held) {
    stream.start_waiting = true;
    stream.waiting_loops = loops;
    return;
  }
  Mix_PlayChannel(stream.channel, stream.chunk, loops);
}

void set_held(AudioStream& stream, bool hold) {
  if (!stream.chunk || stream.held == hold) return;
  stream.held = hold;
  if (hold) {
    Mix_Pause(stream.channel);
  } else if (stream.start_waiting) {
    stream.start_waiting = false;
    Mix_PlayChannel(stream.channel, stream.chunk, stream.waiting_loops);
  } else {
    Mix_Resume(stream.channel);
  }
}

void close_stream(AudioStream& stream) {
  if (!stream.chunk) return;
  Mix_HaltChannel(stream.channel);
  Mix_FreeChunk(stream.chunk);  // the buffer is static: the chunk only points at it
  stream.chunk = nullptr;
  stream.held = false;
  stream.start_waiting = false;
}

// Each channel's loudness in percent, read by the mixing thread. At 100 no effect is
// registered at all: the mixer then plays the buffers exactly as it always did.
std::atomic<int32_t> channel_percent[3] = {100, 100, 100};

void scale_by_volume(int channel, void* samples, int length, void*) {
  const int32_t percent = channel_percent[channel].load(std::memory_order_relaxed);
  int16_t* sample = static_cast<int16_t*>(samples);
  for (int i = 0; i < length / 2; ++i) sample[i] = static_cast<int16_t>(sample[i] * percent / 100);
}

void set_channel_volume(Stream which, int32_t percent) {
  const int channel = static_cast<int>(which);
  const int32_t before = channel_percent[channel].exchange(percent);
  if (!mixer_open || (before == 100) == (percent == 100)) return;
  if (percent == 100) {
    Mix_UnregisterEffect(channel, scale_by_volume);
  } else {
    Mix_RegisterEffect(channel, scale_by_volume, nullptr, nullptr);
  }
}

void release_audio_subsystem() {
  if (audio_subsystem_ours) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio_subsystem_ours = false;
}

}  // namespace

AudioStream& audio_stream(Stream which) { return streams[static_cast<int32_t>(which)]; }

void play_once(AudioStream& stream, int32_t count) { start_on_channel(stream, count, 0); }

void play_looping(AudioStream& stream, int32_t count) { start_on_channel(stream, count, -1); }

void open_audio_streams() {
  if (mixer_open) return;
  if (!SDL_WasInit(SDL_INIT_AUDIO)) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;  // no driver: the game runs silent
    audio_subsystem_ours = true;
  }
  // No allowed changes: the mixer then works in our format and SDL converts for the device,
  // because raw chunks are played as they are, never converted.
  if (Mix_OpenAudioDevice(kSampleRate, AUDIO_S16LSB, 1, kMixerChunkFrames, nullptr, 0) != 0) {
    release_audio_subsystem();
    return;
  }
  if (Mix_AllocateChannels(3) != 3) {
    Mix_CloseAudio();
    release_audio_subsystem();
    return;
  }
  mixer_open = true;
  // The mixer marks a paused channel with the tick count of the moment, and 0 means "not
  // paused": a hold in SDL's first millisecond would not take.
  while (SDL_GetTicks() == 0) SDL_Delay(1);

  for (Stream which : {Stream::chime, Stream::effects, Stream::music}) {
    AudioStream& stream = audio_stream(which);
    stream.chunk =
        Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(stream.samples), static_cast<Uint32>(stream.capacity) * 2);
    stream.held = false;
    stream.start_waiting = false;
    // A device opened again keeps the loudness chosen before.
    if (channel_percent[stream.channel] != 100) Mix_RegisterEffect(stream.channel, scale_by_volume, nullptr, nullptr);
  }
}

void close_audio_streams() {
  for (Stream which : {Stream::music, Stream::chime, Stream::effects}) close_stream(audio_stream(which));
  if (mixer_open) Mix_CloseAudio();
  mixer_open = false;
  release_audio_subsystem();
}

bool stream_has_device(Stream which) {
  const AudioStream* stream = find_stream(which);
  return stream && stream->chunk;
}

void stop_stream(Stream which) {
  AudioStream* stream = find_stream(which);
  if (!stream || !stream->chunk) return;
  Mix_HaltChannel(stream->channel);
  stream->start_waiting = false;
}

void apply_audio_pause(const GameState& state) {
  const bool hold_all = state.paused || !state.has_focus;
  set_held(audio_stream(Stream::music), hold_all || state.music_muted);
  set_held(audio_stream(Stream::chime), hold_all);
  set_held(audio_stream(Stream::effects), hold_all);
}

void set_volumes(const PlayerOptions& options) {
  set_channel_volume(Stream::music, options.music_volume);
  set_channel_volume(Stream::effects, options.effects_volume);
  set_channel_volume(Stream::chime, options.effects_volume);
}

void restart_music(const GameState& state) {
  AudioStream& music = audio_stream(Stream::music);
  if (!music.chunk) return;
  // Silence the channel before its buffer is rewritten.
  Mix_HaltChannel(music.channel);
  music.start_waiting = false;
  play_looping(music, render_music_loop(state.level, music.buffer()));
}

void play_drop_chime(const GameState& state) {
  if (!drop_chime_audible(state) || !stream_has_device(Stream::chime)) return;
  AudioStream& chime = audio_stream(Stream::chime);
  stop_stream(Stream::chime);
  // An item already at the landing line, or one that does not fall, gets no chime.
  // A slower game lets the item fall more slowly, and its chime lasts as long as the fall.
  const double fall_speed = state.options.speed == kFullSpeed ? state.item.fall_speed
                                                              : state.item.fall_speed * state.options.speed / kFullSpeed;
  const int32_t count = render_drop_chime(state.item.y, fall_speed, chime.buffer());
  if (count > 0) play_once(chime, count);
}

void play_success_arpeggio() {
  if (!stream_has_device(Stream::effects)) return;
  AudioStream& effects = audio_stream(Stream::effects);
  stop_stream(Stream::effects);
  play_once(effects, render_success_arpeggio(effects.buffer()));
}

void play_failure_buzz() {
  if (!stream_has_device(Stream::effects)) return;
  AudioStream& effects = audio_stream(Stream::effects);
  stop_stream(Stream::effects);
  play_once(effects, render_failure_buzz(effects.buffer()));
}
