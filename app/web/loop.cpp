// The browser's side of the one loop (frame_loop.h): the browser calls run_frame once per
// frame it shows, in place of the desktop's sleeping until the next deadline.
#include <emscripten.h>

#include <optional>

#include "app/platform.h"
#include "app/touch_input.h"
#include "app/web/page.h"
#include "app/web/page_words.h"
#include "app/window_loop.h"
#include "game/input.h"
#include "game/quiz.h"
#include "game/rules.h"

namespace {

EM_JS(int, touch_screen_found, (), {
  return matchMedia("(pointer: coarse)").matches ||
         (navigator.maxTouchPoints > 0 && !matchMedia("(pointer: fine)").matches);
});

// Lives as long as the page: the frame callback is all that runs once the game started,
// and app_main's stack is left behind for good.
struct Page {
  ShellWindow shell;
  GameState* state = nullptr;
  ShellInput* hands = nullptr;
  TouchControls touch;
  std::optional<WindowLoop> window;
};

Page page;

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

void handle_event(const SDL_Event& event) {
  GameState& state = *page.state;
  int width = 0, height = 0;
  SDL_GetWindowSize(page.shell.window, &width, &height);
  if (route_touch_event(page.touch, state, event, width, height)) {
    page.shell.canvas.touch_controls = true;
    return;
  }
  if (take_escape(state, event)) return;
  follow_page_visibility(state, event);
  // A tab is closed by its browser, and the page switches fullscreen itself (index.html):
  // of what the shell asks for, only the repaint is the loop's.
  const ShellEffect effect = route_shell_event(*page.hands, state, event, width, height);
  page.window->after_event(event, effect);
}

void run_frame() {
  FrameLoop& loop = page.window->loop();
  const uint64_t now = SDL_GetPerformanceCounter();
  if (follow_page_box(page.shell)) loop.picture_lost(now);
  if (loop.run_due_tick(now) && !field_stands_still(*page.state)) {
    weigh_running_frame(page.shell, SDL_GetPerformanceCounter() - now);
  }
  loop.woke(now);
  SDL_Event event;
  while (SDL_PollEvent(&event)) handle_event(event);
  loop.show_after_events();
  tell_page_words(*page.state, page.shell.canvas.touch_controls);
}

}  // namespace

// For the page's tests: the question screen at once, as the end of a level brings it, without
// a robot catching twelve boosters first.
extern "C" EMSCRIPTEN_KEEPALIVE void orbilux_show_question_for_tests() {
  GameState& state = *page.state;
  state.title_screen = 0;
  start_question(state);
  page.window->loop().picture_lost(SDL_GetPerformanceCounter());
}

bool open_screen() { return SDL_Init(SDL_INIT_VIDEO) == 0; }

bool system_prefers_reduced_motion() {
  return EM_ASM_INT({ return !!(window.matchMedia && window.matchMedia("(prefers-reduced-motion: reduce)").matches); });
}

int run_window(ShellWindow& shell, GameState& state, ShellInput& hands) {
  // Taps are the touch controls' own: SDL must not also turn them into clicks, which would
  // answer a question once on touching and again through the tap.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  page.shell = shell;
  page.state = &state;
  page.hands = &hands;
  page.shell.canvas.touch_controls = touch_screen_found() != 0;
  start_following_page(page.shell);
  follow_page_box(page.shell);  // the first frame already at the page's size
  start_page_words();
  page.window.emplace(page.shell, state, hands, &page.touch);  // the title at once
  EM_ASM({
    if (Module.orbiluxStarted) Module.orbiluxStarted();
  });  // the page takes its loading screen away
  // 0: at the browser's own frame rate; true: app_main's stack is left behind for good.
  emscripten_set_main_loop(run_frame, 0, true);
  return 0;
}

// A page has no window manager to ask, and the browser scales the canvas itself.
bool gpu_present() { return true; }  // the browser's WebGL, whatever it runs on

bool window_manager_present(SDL_Window*) { return true; }
void place_unmanaged_window(SDL_Window*, const SDL_Rect&) {}
bool shown_window_lost_its_toplevel(SDL_Window*) { return false; }
double desktop_scale(SDL_Window*) { return 1.0; }
