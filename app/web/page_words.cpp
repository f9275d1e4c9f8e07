#include "app/web/page_words.h"

#include <SDL.h>
#include <emscripten.h>

#include "app/best_score_store.h"
#include "app/shell_host.h"
#include "game/rules.h"
#include "render/screen_words.h"

namespace {

ScreenWords told;  // what the page holds; line_count -1 until it was first told
int32_t told_best = -1;
bool told_asking = false;

EM_JS(void, page_words_begin, (const char* news), {
  if (Module.orbiluxWords) Module.orbiluxWords.begin(UTF8ToString(news));
});
EM_JS(void, page_words_line, (const char* text), {
  if (Module.orbiluxWords) Module.orbiluxWords.line(UTF8ToString(text));
});
EM_JS(void, page_words_button, (const char* label, int key), {
  if (Module.orbiluxWords) Module.orbiluxWords.button(UTF8ToString(label), key);
});
EM_JS(void, page_words_end, (), {
  if (Module.orbiluxWords) Module.orbiluxWords.end();
});
EM_JS(void, page_best, (int best), {
  if (Module.orbiluxCourse) Module.orbiluxCourse.best(best);
});
EM_JS(void, page_answer, (int question, int option, int right), {
  if (Module.orbiluxCourse) Module.orbiluxCourse.answered(question, option, Boolean(right));
});
EM_JS(int, start_course, (int questions), { return Module.orbiluxCourse ? Module.orbiluxCourse.start(questions) : 0; });
EM_JS(void, page_asked, (), {
  if (Module.orbiluxCourse) Module.orbiluxCourse.asked();
});

void tell_answer(int32_t question, int32_t option, bool right) { page_answer(question, option, right ? 1 : 0); }

}  // namespace

// A button of the page stands for a key: the same key press and release reach the game
// through SDL's queue, exactly as from the keyboard. `key` is the key's character, which is
// its SDL key code too ('a' to 'z', ' ').
extern "C" EMSCRIPTEN_KEEPALIVE void orbilux_press_key(int key) {
  const bool known = (key >= 'a' && key <= 'z') || key == ' ';
  if (!known) return;
  SDL_Event event{};
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  event.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  SDL_PushEvent(&event);
  event.type = SDL_KEYUP;
  event.key.state = SDL_RELEASED;
  SDL_PushEvent(&event);
}

void start_page_words() {
  told.line_count = -1;
  tell_answers_to(tell_answer);
}

void tell_page_words(const GameState& state, bool touch_controls) {
  if (state.best_score != told_best) page_best(told_best = state.best_score);
  const bool asking = !state.title_screen && state.screen == Screen::question;
  if (asking && !told_asking) page_asked();
  told_asking = asking;
  ScreenWords words;
  describe_screen(words, state, touch_controls);
  if (same_words(words, told)) return;
  told = words;
  page_words_begin(words.news);
  for (int i = 0; i < words.line_count; ++i) page_words_line(words.lines[i]);
  for (int i = 0; i < words.button_count; ++i) page_words_button(words.buttons[i].label, words.buttons[i].key);
  page_words_end();
}

void adopt_course_best() {
  const int best = start_course(kQuestionCount);
  if (best <= 0 || best > kMaxBestScore) return;
  const StoredBest stored = load_best_score();
  if (!stored.found || stored.value < best) save_best_score_to_data_folder(best);
}
