// The three output streams behind the sound controls of game/host.h: one SDL_mixer channel
// each, each with one static buffer that every sound on it is rendered into.
#pragma once

#include <cstdint>
#include <span>

#include "game/host.h"

struct Mix_Chunk;

struct AudioStream {
  int32_t channel;   // the mixer channel: 0 music, 1 effects, 2 chime
  int16_t* samples;  // the stream's static buffer
  int32_t capacity;  // its length in samples
  // The buffer as the mixer sees it, made once when the device opens; null without a device,
  // and then every operation on the stream does nothing.
  Mix_Chunk* chunk = nullptr;
  // Held by the pause rule. A sound started while held must not be heard until the stream is
  // resumed, so it is not handed to the mixer yet: it waits here and starts on resume.
  bool held = false;
  bool start_waiting = false;
  int32_t waiting_loops = 0;  // 0 once, -1 without end

  std::span<int16_t> buffer() const { return {samples, static_cast<size_t>(capacity)}; }
};

AudioStream& audio_stream(Stream which);

// Plays the first `count` samples of the stream's buffer once, cutting off what it played.
void play_once(AudioStream& stream, int32_t count);
// Plays the first `count` samples of the stream's buffer over and over without a gap.
void play_looping(AudioStream& stream, int32_t count);
