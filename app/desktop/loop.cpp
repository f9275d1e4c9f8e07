#include "app/desktop/loop.h"

#include <SDL.h>

#include "app/desktop/event_wait.h"
#include "app/perf_trace.h"
#include "app/shell_host.h"
#include "app/window_loop.h"
#include "audio/audio.h"

namespace {

bool may_change_borders(const SDL_Event& event) {
  return event.type == SDL_WINDOWEVENT &&
         (event.window.event == SDL_WINDOWEVENT_SHOWN || event.window.event == SDL_WINDOWEVENT_EXPOSED ||
          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || event.window.event == SDL_WINDOWEVENT_MOVED);
}

}  // namespace

void run_until_closed(ShellWindow& shell, GameState& state, ShellInput& hands) {
  // With a pad plugged in, SDL's own way of reading it makes every wait for events wake each
  // millisecond. The loop reads the pads itself instead, once each time it wakes.
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  const bool pads = SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0;
  WindowLoop window(shell, state, hands);
  FrameLoop& loop = window.loop();
  for (;;) {
    loop.run_due_tick(SDL_GetPerformanceCounter());
    const int wait = loop.milliseconds_to_wait(SDL_GetPerformanceCounter(), pads && SDL_NumJoysticks() > 0);
    if (loop.sleeping()) trace_sleep();
    SDL_Event event;
    bool have_event = wait > 0 ? wait_for_event(event, wait) : SDL_PollEvent(&event) != 0;
    loop.woke(SDL_GetPerformanceCounter());
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
      window.after_event(event, effect);
      if (may_change_borders(event)) apply_minimum_size(shell);  // told only after mapping
      have_event = SDL_PollEvent(&event) != 0;
    }
    loop.show_after_events();
  }
}

void end_window_life(ShellWindow& shell, GameState& state, ShellInput& hands) {
  trace_end();
  release_all_pads(hands, state);
  close_audio_streams();
  destroy_shell_window(shell);
  SDL_Quit();
}
