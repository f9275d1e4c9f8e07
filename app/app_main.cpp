#include "app/app_main.h"

#include <SDL.h>

#include <cstdio>
#include <ctime>

#include "app/best_score_store.h"
#include "app/cli.h"
#include "app/perf_trace.h"
#include "app/platform.h"
#include "app/settings_store.h"
#include "app/shell_input.h"
#include "app/window.h"
#include "audio/audio.h"
#include "game/host.h"
#include "game/options_screen.h"
#include "game/rules.h"

namespace {

// The one game record, alive for the whole process.
GameState game;
// The keyboard's and the pads' side of the player's hands, as long as the window lives.
ShellInput input;

void report_start_failure(const char* what) { std::fprintf(stderr, "orbilux-rush: %s: %s\n", what, SDL_GetError()); }

// What the window needs to exist besides itself: the clock the first tick measures from,
// and the sound, with the title's music playing (the chime stays silent on the title).
void start_window_life(GameState& state) {
  state.tick_frequency = static_cast<int64_t>(SDL_GetPerformanceFrequency());
  state.tick_last_count = read_counter();
  open_audio_streams();
  set_volumes(state.options);
  restart_music(state);
  play_drop_chime(state);
  apply_audio_pause(state);
}

}  // namespace

int app_main(int argc, char** argv) {
  // The command line first: --help and --version need no display and touch no files.
  const CommandLine command_line = parse_command_line(argc, argv);
  switch (command_line.action) {
    case CliAction::help:
      print_usage(stdout);
      return 0;
    case CliAction::version:
      print_version(stdout);
      return 0;
    case CliAction::error:
      print_command_line_error(stderr, command_line);
      return kCliErrorExitCode;
    case CliAction::run:
      break;
  }

  // Program start: chance seeded from the calendar (or the seed asked for), the stored
  // best, a game made ready. No window and no sound exist yet, so the game's sound calls
  // do nothing here.
  const StoredBest best = load_best_score();
  const uint32_t seed = command_line.seed_given ? command_line.seed : static_cast<uint32_t>(std::time(nullptr));
  start_program(game, seed, best.found, best.value);
  PlayerOptions options;
  options.reduced_motion = system_prefers_reduced_motion();  // until the player says otherwise
  int32_t music_muted = 0;
  read_options(load_options_text(), canonical_key_name, options, music_muted);
  take_stored_options(game, options, music_muted);

  if (!open_screen()) {
    report_start_failure("cannot open a window");
    return 1;
  }
  trace_begin();
  ShellWindow shell;
  if (!create_shell_window(shell)) {
    report_start_failure("cannot open a window");
    SDL_Quit();
    return 1;
  }
  SDL_StopTextInput();  // the game reads keys, not text: no input-method popups
  // Without pad support the keyboard alone plays; the pads plugged in arrive as events.
  start_gamepads();
  start_window_life(game);
  // Asked before the window is shown, so it never flashes up at its windowed size first.
  if (command_line.fullscreen) set_fullscreen(shell, true);
  show_shell_window(shell);
  return run_window(shell, game, input);
}
