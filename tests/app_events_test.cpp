// SDL's events as the game receives them: which key is which, which event reaches which
// handler, and which ones are not the game's at all. The real rules run; no window exists,
// so every sound call falls silent.
#include <gtest/gtest.h>

#include "app/events.h"
#include "app/shell_host.h"
#include "game/rules.h"
#include "tests/sdl_keys.h"

namespace {

SDL_Event click(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = button;
  event.button.state = SDL_PRESSED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  return event;
}

SDL_Event window_event(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.type = SDL_WINDOWEVENT;
  event.window.event = id;
  return event;
}

GameState fresh_state() {
  GameState state;
  start_program(state, 7, false, 0);
  return state;
}

EventEffect route(GameState& state, const SDL_Event& event, int width = 800, int height = 600) {
  return route_event(state, event, width, height);
}

}  // namespace

TEST(KeyTranslation, EveryKeyTheGameKnows) {
  const struct {
    SDL_Keycode code;
    Key key;
  } cases[] = {
      {SDLK_LEFT, Key::left},
      {SDLK_RIGHT, Key::right},
      {SDLK_SPACE, Key::space},
      {SDLK_RETURN, Key::enter},
      {SDLK_KP_ENTER, Key::enter},
      {SDLK_ESCAPE, Key::esc},
      {SDLK_a, Key::a},
      {SDLK_b, Key::b},
      {SDLK_c, Key::c},
      {SDLK_d, Key::d},
      {SDLK_m, Key::m},
      {SDLK_o, Key::o},
      {SDLK_r, Key::r},
      {SDLK_1, Key::digit1},
      {SDLK_2, Key::digit2},
      {SDLK_3, Key::digit3},
      {SDLK_4, Key::digit4},
  };
  for (const auto& c : cases) EXPECT_EQ(key_of_keycode(c.code), c.key) << SDL_GetKeyName(c.code);
}

TEST(KeyTranslation, KeysTheGameDoesNotKnowAreOther) {
  // The keypad's digits do not answer; neither do the digits beyond 4, other letters,
  // the up and down arrows, or upper-case codes that SDL never sends.
  for (SDL_Keycode code :
       std::initializer_list<SDL_Keycode>{SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4, SDLK_0, SDLK_5, SDLK_9, SDLK_e,
                                          SDLK_z, SDLK_UP, SDLK_DOWN, SDLK_TAB, SDLK_BACKSPACE, SDLK_F1, SDLK_LSHIFT,
                                          static_cast<SDL_Keycode>('A'), static_cast<SDL_Keycode>(0)}) {
    EXPECT_EQ(key_of_keycode(code), Key::other) << SDL_GetKeyName(code);
  }
}

TEST(EventRouting, KeysReachTheScreenFlow) {
  GameState state = fresh_state();
  ASSERT_EQ(state.title_screen, 1);
  route(state, repeat(SDLK_SPACE));
  EXPECT_EQ(state.title_screen, 1) << "a held Space does not leave the title";
  route(state, press(SDLK_SPACE));
  EXPECT_EQ(state.title_screen, 0);
  EXPECT_GT(state.countdown, 0);

  route(state, press(SDLK_SPACE));
  EXPECT_EQ(state.paused, 1);
  route(state, release(SDLK_SPACE));
  EXPECT_EQ(state.paused, 1) << "releasing a key changes nothing but the arrows";
  route(state, press(SDLK_SPACE));
  EXPECT_EQ(state.paused, 0);

  route(state, press(SDLK_m));
  EXPECT_EQ(state.music_muted, 1);
  route(state, repeat(SDLK_m));
  EXPECT_EQ(state.music_muted, 1) << "auto-repeat does not toggle again";
}

TEST(EventRouting, ArrowsAreHeldThroughRepeatsAndReleasedOnKeyUp) {
  GameState state = fresh_state();
  route(state, press(SDLK_SPACE));
  route(state, press(SDLK_LEFT));
  route(state, repeat(SDLK_LEFT));
  EXPECT_EQ(state.left_held, 1);
  route(state, press(SDLK_RIGHT));
  EXPECT_EQ(state.right_held, 1);
  route(state, release(SDLK_LEFT));
  EXPECT_EQ(state.left_held, 0);
  EXPECT_EQ(state.right_held, 1);
  route(state, release(SDLK_RIGHT));
  EXPECT_EQ(state.right_held, 0);
}

TEST(EventRouting, AltCombinationsAreTheDesktopsButTheirReleasesStillCount) {
  GameState state = fresh_state();
  route(state, press(SDLK_SPACE, KMOD_LALT));
  EXPECT_EQ(state.title_screen, 1);
  route(state, press(SDLK_SPACE));
  state.score = 9;
  route(state, press(SDLK_r, KMOD_RALT));
  EXPECT_EQ(state.score, 9) << "Alt+R does not restart";
  route(state, press(SDLK_LEFT));
  route(state, release(SDLK_LEFT, KMOD_LALT));
  EXPECT_EQ(state.left_held, 0);
}

TEST(EventRouting, DigitsAnswerFromTheMainRowOnly) {
  GameState state = fresh_state();
  state.title_screen = 0;
  state.screen = Screen::question;
  route(state, press(SDLK_KP_1));
  route(state, press(SDLK_KP_3));
  EXPECT_EQ(state.screen, Screen::question) << "the keypad answers nothing";
  route(state, press(SDLK_2));
  EXPECT_NE(state.screen, Screen::question) << "the main row's 2 answers";
}

TEST(EventRouting, EscAsksTheWindowToClose) {
  clear_window_close_request();
  GameState state = fresh_state();
  route(state, repeat(SDLK_ESCAPE));
  EXPECT_FALSE(window_close_requested()) << "on the title a held Esc is ignored";
  route(state, press(SDLK_ESCAPE));
  EXPECT_TRUE(window_close_requested());
  clear_window_close_request();
  EXPECT_FALSE(window_close_requested());
}

TEST(EventRouting, TheCloseBoxQuitsAndNothingElseDoes) {
  GameState state = fresh_state();
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_TRUE(route(state, quit).quit);
  EXPECT_FALSE(route(state, press(SDLK_q)).quit);
  EXPECT_FALSE(route(state, window_event(SDL_WINDOWEVENT_CLOSE)).quit) << "SDL follows it with SDL_QUIT";
}

TEST(EventRouting, FocusChangesReachTheGame) {
  GameState state = fresh_state();
  route(state, press(SDLK_SPACE));
  state.countdown = 0;  // the field is running
  route(state, press(SDLK_LEFT));
  route(state, window_event(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_EQ(state.has_focus, 0);
  EXPECT_EQ(state.left_held, 0);
  route(state, window_event(SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_EQ(state.has_focus, 1);
  EXPECT_DOUBLE_EQ(state.countdown, kCountdownSeconds) << "play resumes through GET READY";
}

TEST(EventRouting, PictureEventsAskForARepaintAndNothingElse) {
  GameState state = fresh_state();
  for (SDL_WindowEventID id : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_SIZE_CHANGED, SDL_WINDOWEVENT_SHOWN,
                               SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_MAXIMIZED}) {
    const EventEffect effect = route(state, window_event(id));
    EXPECT_TRUE(effect.repaint) << int(id);
    EXPECT_FALSE(effect.quit);
  }
  EXPECT_FALSE(route(state, window_event(SDL_WINDOWEVENT_MOVED)).repaint);
  EXPECT_FALSE(route(state, press(SDLK_SPACE)).repaint) << "the next tick shows what a key did";
}

TEST(EventRouting, ClicksOnTheTitleOrARunningGameChangeNothing) {
  GameState state = fresh_state();
  const GameState before = state;
  route(state, click(200, 527));  // on the title's button
  EXPECT_EQ(state.title_screen, before.title_screen);
  route(state, press(SDLK_SPACE));
  const double countdown = state.countdown;
  route(state, click(400, 300));
  EXPECT_EQ(state.paused, 0);
  EXPECT_DOUBLE_EQ(state.countdown, countdown);
}

TEST(EventRouting, ClicksAreMappedThroughTheLetterboxWithTheWindowSize) {
  // The right-answer screen's continue button spans field y 473..534; in a window of
  // 1600 x 1200 it sits at twice those, and in 1000 x 600 it is shifted 100 px right.
  GameState state = fresh_state();
  state.title_screen = 0;
  state.screen = Screen::correct;
  route(state, click(100, 2 * 440), 1600, 1200);  // above the button
  EXPECT_EQ(state.screen, Screen::correct);
  route(state, click(100, 2 * 500), 1600, 1200);
  EXPECT_EQ(state.screen, Screen::play);
  EXPECT_EQ(state.level, 1);

  state.screen = Screen::correct;
  route(state, click(100 + 20, 500), 1000, 600);  // field x 20: left of the button
  EXPECT_EQ(state.screen, Screen::correct);
  route(state, click(100 + 40, 500), 1000, 600);
  EXPECT_EQ(state.screen, Screen::play);
  EXPECT_EQ(state.level, 2);
}

TEST(EventRouting, OnlyTheLeftButtonClicksAndAnEmptyWindowTakesNoClick) {
  GameState state = fresh_state();
  state.title_screen = 0;
  state.screen = Screen::correct;
  route(state, click(400, 500, SDL_BUTTON_RIGHT));
  route(state, click(400, 500, SDL_BUTTON_MIDDLE));
  EXPECT_EQ(state.screen, Screen::correct);
  route(state, click(0, 0), 0, 0);
  route(state, click(400, 500), 0, 600);
  EXPECT_EQ(state.screen, Screen::correct);
  route(state, click(400, 500));
  EXPECT_EQ(state.screen, Screen::play);
}
