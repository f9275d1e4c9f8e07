// libFuzzer entry: each input is a settings file, read as the program reads it at start with
// SDL's key names. Nothing in it may fail the read, and what comes out must be options the
// game can play with: volumes and speed among their steps, every key free for its action.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "app/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Options options;
  int32_t muted = 0;
  read_options(std::string(reinterpret_cast<const char*>(data), std::min(size, kSettingsReadLimit)),
               canonical_key_name, options, muted);
  bool sound = options.music_volume % kVolumeStep == 0 && options.music_volume >= 0 && options.music_volume <= 100 &&
               options.effects_volume % kVolumeStep == 0 && options.effects_volume >= 0 &&
               options.effects_volume <= 100 && (muted == 0 || muted == 1) &&
               (options.reduced_motion == 0 || options.reduced_motion == 1) &&
               std::find(std::begin(kSpeedSteps), std::end(kSpeedSteps), options.speed) != std::end(kSpeedSteps);
  for (int a = 0; a < kActionCount; ++a) sound = sound && key_free_for(options, static_cast<Action>(a), options.keys[a].text);
  if (!sound) {
    std::fprintf(stderr, "options out of their range after reading\n");
    std::abort();
  }
  // The file written back reads as the same options.
  Options again;
  int32_t muted_again = 0;
  read_options(write_options(options, muted), canonical_key_name, again, muted_again);
  if (!(again == options) || muted_again != muted) {
    std::fprintf(stderr, "the options written did not read back the same\n");
    std::abort();
  }
  return 0;
}
