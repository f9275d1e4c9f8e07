// Built for the browser only (app/CMakeLists.txt). The browser calls run_frame once per
// frame it shows: the same 16 ms beat and the same frame skipping as the desktop's loop,
// with the browser's frame callback in place of sleeping until the next deadline.
#include <emscripten.h>

#include "app/frame_showing.h"
#include "app/idle_pacing.h"
#include "app/pacing.h"
#include "app/touch_input.h"
#include "app/web_start.h"
#include "game/input.h"
#include "game/rules.h"

namespace {

struct BrowserLoop {
  ShellWindow shell;
  GameState* state = nullptr;
  ShellInput* hands = nullptr;
  TouchControls touch;
  FrameShowing showing;
  uint64_t period = 1, deadline = 0;
  bool repaint = false;
};

// Lives as long as the page: the frame callback is all that runs from now on.
BrowserLoop loop;

// Esc cannot close a tab, and ending the game would leave a dead page. The browser already
// takes Esc to leave fullscreen; the game takes it to pause a running field, so a player
// reaching for Esc always finds the game stopped, and Space resumes it as usual.
bool take_escape(GameState& state, const SDL_Event& event) {
  if ((event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) || event.key.keysym.sym != SDLK_ESCAPE) return false;
  if (event.type == SDL_KEYDOWN && !event.key.repeat && touch_screen_of(state) == TouchScreen::running) {
    on_key_down(state, Key::space, false);
  }
  return true;
}

void before_tick() {
  repeat_pad_holds(*loop.hands, *loop.state);
  repeat_touch_holds(loop.touch, *loop.state);
}

void handle_event(const SDL_Event& event) {
  GameState& state = *loop.state;
  int width = 0, height = 0;
  SDL_GetWindowSize(loop.shell.window, &width, &height);
  if (route_touch_event(loop.touch, state, event, width, height)) {
    loop.shell.canvas.touch_controls = true;
    return;
  }
  if (take_escape(state, event)) return;
  // A tab is closed by its browser, and the page switches fullscreen itself (index.html):
  // of what the shell asks for, only the repaint is the loop's.
  const ShellEffect effect = route_shell_event(*loop.hands, state, event, width, height);
  if (event.type == SDL_RENDER_DEVICE_RESET) {
    // The page's WebGL context was lost and made again: the texture went with it.
    if (loop.shell.texture != nullptr) SDL_DestroyTexture(loop.shell.texture);
    loop.shell.texture = make_field_texture(loop.shell.renderer, loop.shell.canvas);
  }
  loop.repaint = loop.repaint || effect.repaint || event.type == SDL_RENDER_DEVICE_RESET ||
                 event.type == SDL_RENDER_TARGETS_RESET;
}

void run_frame() {
  GameState& state = *loop.state;
  const uint64_t now = SDL_GetPerformanceCounter();
  if (loop.showing.skip_unchanged && field_stands_still(state)) {
    loop.deadline = wake_from_sleep(state, loop.deadline, now, loop.period, before_tick);
  } else if (now >= loop.deadline) {
    before_tick();
    tick(state);
    show_frame(loop.shell, loop.showing, state, loop.repaint);
    loop.repaint = false;
    loop.deadline = next_tick_deadline(loop.deadline, now, loop.period);
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) handle_event(event);
  // What the events changed shows at once: a still screen has no tick to show it.
  show_frame(loop.shell, loop.showing, state, loop.repaint);
  loop.repaint = false;
}

}  // namespace

void run_in_browser(ShellWindow& shell, GameState& state, ShellInput& hands) {
  // Taps are the touch controls' own: SDL must not also turn them into clicks, which would
  // answer a question once on touching and again through the tap.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  loop.shell = shell;
  loop.state = &state;
  loop.hands = &hands;
  loop.showing = frame_showing_from_environment();
  loop.shell.canvas.touch_controls = page_has_touch_screen();
  const uint64_t frequency = SDL_GetPerformanceFrequency();
  loop.period = tick_period_counts(frequency);
  loop.deadline = SDL_GetPerformanceCounter() + loop.period;
  show_frame(loop.shell, loop.showing, state, true);  // the title at once
  EM_ASM({ if (Module.orbiluxStarted) Module.orbiluxStarted(); });  // the page takes its loading screen away
  // 0: at the browser's own frame rate; true: main's stack is left behind for good.
  emscripten_set_main_loop(run_frame, 0, true);
}
