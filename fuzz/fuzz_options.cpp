// libFuzzer entry: each input is a settings file, read as the program reads it at start with
// SDL's key names. Nothing in it may fail the read, and what comes out must be options the
// game can play with: volumes and speed among their steps, every key free for its action.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings_store.h"
#include "tests/game_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PlayerOptions options;
  int32_t muted = 0;
  read_options(std::string(reinterpret_cast<const char*>(data), std::min(size, kSettingsReadLimit)),
               canonical_key_name, options, muted);
  if (const std::string wrong = check_options(options, muted); !wrong.empty()) {
    std::fprintf(stderr, "after reading: %s\n", wrong.c_str());
    std::abort();
  }
  // The file written back reads as the same options.
  PlayerOptions again;
  int32_t muted_again = 0;
  read_options(write_options(options, muted), canonical_key_name, again, muted_again);
  if (!(again == options) || muted_again != muted) {
    std::fprintf(stderr, "the options written did not read back the same\n");
    std::abort();
  }
  return 0;
}
