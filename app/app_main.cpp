#include "app/app_main.h"

#include <SDL.h>

#include <cstdio>
#include <ctime>

#include "app/best_score_store.h"
#include "app/cli.h"
#include "app/linux/display_loss.h"
#include "app/desktop/event_wait.h"
#include "app/events.h"
#include "app/frame_showing.h"
#include "app/idle_pacing.h"
#include "app/pacing.h"
#include "app/perf_trace.h"
#include "app/shell_host.h"
#include "app/shell_input.h"
#include "app/linux/signals.h"
#ifdef __EMSCRIPTEN__
#include "app/web_start.h"
#endif
#include "app/window.h"
#include "app/windows_start.h"
#include "app/linux/x_errors.h"
#include "audio/audio.h"
#include "game/host.h"
#include "game/rules.h"

namespace {

// The one game record, alive for the whole process.
GameState game;
// The keyboard's and the pads' side of the player's hands, as long as the window lives.
ShellInput input;

void report_start_failure(const char* what) { std::fprintf(stderr, "orbilux-rush: %s: %s\n", what, SDL_GetError()); }

[[maybe_unused]] bool is_set(const char* name) {  // Windows needs no display variables
  const char* value = SDL_getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Without a display SDL would still start, on a video driver that draws nowhere, and the
// game would run unseen until killed. Such a driver is fine only when asked for by name.
bool find_a_screen() {
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
  // Windows always has its one screen, and a page its canvas.
  return SDL_Init(SDL_INIT_VIDEO) == 0;
#else
  if (!is_set("SDL_VIDEODRIVER") && !is_set("DISPLAY") && !is_set("WAYLAND_DISPLAY")) {
    SDL_SetError("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    return false;
  }
  // Without a Wayland socket named, X11 is the only way to a screen; trying Wayland anyway
  // would only add the Wayland library's own complaint to ours when X11 fails too.
  if (!is_set("SDL_VIDEODRIVER") && !is_set("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  survive_stray_x_errors();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  const bool draws_nowhere =
      driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
  if (draws_nowhere && (driver == nullptr || requested == nullptr || SDL_strstr(requested, driver) == nullptr)) {
    SDL_Quit();
    SDL_SetError("no display to show the game on");
    return false;
  }
  return true;
#endif
}

// What the window needs to exist besides itself: the clock the first tick measures from,
// and the sound, with the title's music playing (the chime stays silent on the title).
void start_window_life(GameState& state) {
  state.tick_frequency = static_cast<int64_t>(SDL_GetPerformanceFrequency());
  state.tick_last_count = read_counter();
  open_audio_streams();
  restart_music(state);
  play_drop_chime(state);
  apply_audio_pause(state);
}

void handle_window_only_event(ShellWindow& shell, const SDL_Event& event) {
  if (event.type == SDL_RENDER_DEVICE_RESET) {
    // The renderer's textures are gone with the device; the canvas is still ours.
    if (shell.texture != nullptr) SDL_DestroyTexture(shell.texture);
    shell.texture = make_field_texture(shell.renderer, shell.canvas);
  }
  if (event.type == SDL_WINDOWEVENT &&
      (event.window.event == SDL_WINDOWEVENT_SHOWN || event.window.event == SDL_WINDOWEVENT_EXPOSED ||
       event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || event.window.event == SDL_WINDOWEVENT_MOVED)) {
    apply_minimum_size(shell);  // the window manager tells its border sizes only after mapping
  }
}

// One thread: ticks at 16 ms deadlines, every tick followed by a frame, and the window's
// events handled one at a time in between. A frame that would show what the window already
// shows is skipped, and while the field stands still the loop sleeps until an event comes
// (idle_pacing.h). Returns once the window is to close.
void run_until_closed(ShellWindow& shell, GameState& state, ShellInput& hands) {
  const uint64_t frequency = SDL_GetPerformanceFrequency();
  const uint64_t period = tick_period_counts(frequency);
  FrameShowing showing = frame_showing_from_environment();
  const bool sleep_when_still = showing.skip_unchanged;
  uint64_t deadline = SDL_GetPerformanceCounter() + period;
  bool repaint = false;
  // With a pad plugged in, SDL's own way of reading it makes every wait for events wake each
  // millisecond. The loop reads the pads itself instead, once each time it wakes.
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  const bool pads = SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0;
  show_frame(shell, showing, state, true);  // the title at once, not a beat later
  const uint64_t settle_counts = frequency * kSettleMilliseconds / 1000;
  uint64_t settled_at = SDL_GetPerformanceCounter() + settle_counts;
  for (;;) {
    const uint64_t now = SDL_GetPerformanceCounter();
    const bool still = sleep_when_still && field_stands_still(state);
    // While still, the ticks that fall due are accounted for on waking (idle_pacing.h).
    if (now >= deadline && !still) {
      repeat_pad_holds(hands, state);
      tick(state);
      trace_tick(now);
      show_frame(shell, showing, state, repaint);
      repaint = false;
      deadline = next_tick_deadline(deadline, now, period);
    }

    SDL_Event event;
    bool have_event = false;
    if (sleep_when_still && field_stands_still(state)) {
      trace_sleep();
      const bool pad_plugged = pads && SDL_NumJoysticks() > 0;
      const bool settling = SDL_GetPerformanceCounter() < settled_at;
      const int wait = settling       ? kSettleWaitMilliseconds
                       : pad_plugged ? kStillWaitWithPadsMilliseconds
                                     : kStillWaitMilliseconds;
      have_event = wait_for_event(event, wait);
      repaint = repaint || (settling && !have_event);
      // The ticks we slept through would only have stored the counter, before any event.
      deadline = wake_from_sleep(state, deadline, SDL_GetPerformanceCounter(), period,
                                 [&] { repeat_pad_holds(hands, state); });
    } else {
      const int wait = wait_milliseconds(SDL_GetPerformanceCounter(), deadline, frequency);
      have_event = wait > 0 ? wait_for_event(event, wait) : SDL_PollEvent(&event) != 0;
    }
    if (pads) {
      SDL_GameControllerUpdate();  // what the pads did meanwhile, queued as events
      if (!have_event) have_event = SDL_PollEvent(&event) != 0;
    }
    while (have_event) {
      int width = 0, height = 0;
      SDL_GetWindowSize(shell.window, &width, &height);
      const ShellEffect effect = route_shell_event(hands, state, event, width, height);
      if (effect.quit || window_close_requested()) return;
      if (effect.toggle_fullscreen) toggle_fullscreen(shell);
      handle_window_only_event(shell, event);
      // Shown, exposed, resized, or a new texture that holds nothing yet.
      const bool picture_lost =
          effect.repaint || event.type == SDL_RENDER_DEVICE_RESET || event.type == SDL_RENDER_TARGETS_RESET;
      if (picture_lost) settled_at = SDL_GetPerformanceCounter() + settle_counts;
      repaint = repaint || picture_lost;
      have_event = SDL_PollEvent(&event) != 0;
    }
    if (showing.skip_unchanged) {
      // What the events changed shows at once: a still screen has no tick to show it.
      show_frame(shell, showing, state, repaint);
      repaint = false;
    } else if (repaint && shell.texture != nullptr) {
      present_frame(shell, state);
      repaint = false;
    }
  }
}

}  // namespace

int app_main(int argc, char** argv) {
#ifdef _WIN32
  prepare_windows_start();
#endif
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

  catch_end_signals();

  // On Wayland the desktop finds our menu entry and icon by the window's application id.
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", program_app_id(), 0);

  if (!find_a_screen()) {
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
  SDL_ShowWindow(shell.window);
  apply_minimum_size(shell);
#ifdef __EMSCRIPTEN__
  run_in_browser(shell, game, input);  // the browser's frames from here on; never returns
  return 0;
#endif

  start_end_watch(display_connection_of(shell.window));
  run_until_closed(shell, game, input);
  const int exit_code = finish_end_watch();
  trace_end();

  // Teardown: no more ticks (the loop is over), the pads let go, the sound stopped, then
  // the drawing.
  release_all_pads(input, game);
  close_audio_streams();
  destroy_shell_window(shell);
  SDL_Quit();
  return exit_code;
}
