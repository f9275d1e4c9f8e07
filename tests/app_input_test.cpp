// The player's hands on their way to the game: fullscreen keys kept from it, pads turned
// into the keys they stand for, keyboard and pads holding a direction together. Synthetic
// SDL events go through the shell's real routing into the real rules; no window exists, so
// every sound call falls silent and a fullscreen switch is only asked for.
#include <gtest/gtest.h>

#include "app/shell_host.h"
#include "app/shell_input.h"
#include "game/quiz.h"
#include "game/rules.h"
#include "tests/sdl_keys.h"

namespace {

constexpr SDL_JoystickID kPad = 41;
constexpr SDL_JoystickID kOtherPad = 42;

SDL_Event pad_button(SDL_JoystickID pad, SDL_GameControllerButton button, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
  event.cbutton.type = event.type;
  event.cbutton.which = pad;
  event.cbutton.button = static_cast<Uint8>(button);
  event.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
  return event;
}
SDL_Event pad_axis(SDL_JoystickID pad, SDL_GameControllerAxis axis, int value) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERAXISMOTION;
  event.caxis.type = event.type;
  event.caxis.which = pad;
  event.caxis.axis = static_cast<Uint8>(axis);
  event.caxis.value = static_cast<Sint16>(value);
  return event;
}
SDL_Event pad_removed(SDL_JoystickID pad) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERDEVICEREMOVED;
  event.cdevice.type = event.type;
  event.cdevice.which = pad;
  return event;
}
SDL_Event focus_event(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.type = SDL_WINDOWEVENT;
  event.window.event = id;
  return event;
}

class Hands : public ::testing::Test {
 protected:
  void SetUp() override {
    clear_window_close_request();
    start_program(state, 7, false, 0);
  }
  void TearDown() override { clear_window_close_request(); }

  ShellEffect send(const SDL_Event& event) { return route_shell_event(input, state, event, 800, 600); }
  void start_game() {
    send(press(SDLK_SPACE));
    send(release(SDLK_SPACE));
    ASSERT_EQ(state.title_screen, 0);
  }
  // The quiz at the end of the first level, put as the interlude would put it.
  void reach_question() {
    start_game();
    start_question(state);
    ASSERT_EQ(state.screen, Screen::question);
  }
  int correct_position() const {
    for (int p = 0; p < kOptionCount; ++p) {
      if (state.option_order[p] == kQuizBank[state.current_question].correct_option) return p;
    }
    return -1;
  }
  void reach_correct_screen() {
    reach_question();
    answer_question(state, correct_position());
    ASSERT_EQ(state.screen, Screen::correct);
  }
  void listen(SDL_JoystickID pad) { ASSERT_NE(listen_to_pad(input.pads, pad), nullptr); }

  GameState state;
  ShellInput input;
};

}  // namespace

// ---- fullscreen keys ------------------------------------------------------------------

TEST_F(Hands, AltEnterOnTheRightAnswerScreenSwitchesFullscreenAndNeverContinues) {
  reach_correct_screen();
  const int level = state.level;
  EXPECT_TRUE(send(press(SDLK_LALT, KMOD_LALT)).toggle_fullscreen == false);
  EXPECT_TRUE(send(press(SDLK_RETURN, KMOD_LALT)).toggle_fullscreen);
  // Held: repeats with Alt, then Alt let go first and repeats without it, then the release.
  EXPECT_FALSE(send(repeat(SDLK_RETURN, KMOD_LALT)).toggle_fullscreen);
  send(release(SDLK_LALT));
  EXPECT_FALSE(send(repeat(SDLK_RETURN)).toggle_fullscreen);
  EXPECT_FALSE(send(repeat(SDLK_RETURN)).toggle_fullscreen);
  EXPECT_FALSE(send(release(SDLK_RETURN)).toggle_fullscreen);
  EXPECT_EQ(state.screen, Screen::correct);
  EXPECT_EQ(state.level, level);

  // The same key on its own is the game's again and goes on to the next level.
  EXPECT_FALSE(send(press(SDLK_RETURN)).toggle_fullscreen);
  EXPECT_EQ(state.screen, Screen::play);
  EXPECT_EQ(state.level, level + 1);
}

// The game happens to ignore an Enter repeat and release on every screen, so the verdicts
// themselves are what shows the whole held Enter of Alt+Enter staying with the desktop.
TEST(DesktopKeys, EveryPartOfAHeldAltEnterIsTheDesktops) {
  FullscreenKeys keys;
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_LALT, KMOD_LALT)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_RETURN, KMOD_LALT)), DesktopKey::toggle);
  EXPECT_EQ(classify_desktop_key(keys, repeat(SDLK_RETURN, KMOD_LALT)), DesktopKey::taken);
  EXPECT_EQ(classify_desktop_key(keys, release(SDLK_LALT)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, repeat(SDLK_RETURN)), DesktopKey::taken);
  EXPECT_EQ(classify_desktop_key(keys, release(SDLK_RETURN)), DesktopKey::taken);
  // Released, Enter is the game's again: press, repeat and release.
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_RETURN)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, repeat(SDLK_RETURN)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, release(SDLK_RETURN)), DesktopKey::none);
  // The two Enter keys are remembered apart.
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_KP_ENTER, KMOD_RALT)), DesktopKey::toggle);
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_RETURN)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, release(SDLK_RETURN)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, release(SDLK_KP_ENTER)), DesktopKey::taken);
  // F11 in every form; other keys and other events are never the desktop's.
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_F11, KMOD_CTRL)), DesktopKey::toggle);
  EXPECT_EQ(classify_desktop_key(keys, repeat(SDLK_F11)), DesktopKey::taken);
  EXPECT_EQ(classify_desktop_key(keys, release(SDLK_F11)), DesktopKey::taken);
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_SPACE, KMOD_LALT)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, press(SDLK_F10)), DesktopKey::none);
  EXPECT_EQ(classify_desktop_key(keys, focus_event(SDL_WINDOWEVENT_FOCUS_LOST)), DesktopKey::none);
}

TEST_F(Hands, AltWithTheKeypadEnterAndWithRightAltToo) {
  reach_correct_screen();
  EXPECT_TRUE(send(press(SDLK_KP_ENTER, KMOD_RALT)).toggle_fullscreen);
  EXPECT_FALSE(send(repeat(SDLK_KP_ENTER)).toggle_fullscreen);
  send(release(SDLK_KP_ENTER));
  EXPECT_TRUE(send(press(SDLK_RETURN, KMOD_LALT | KMOD_SHIFT)).toggle_fullscreen);
  send(release(SDLK_RETURN));
  EXPECT_EQ(state.screen, Screen::correct);
  // Both Enter keys are free again.
  send(press(SDLK_KP_ENTER));
  EXPECT_EQ(state.screen, Screen::play);
}

TEST_F(Hands, EnterHeldBeforeAltDoesNotFlickerTheScreen) {
  reach_correct_screen();
  // The press is the game's (and continues); its repeats once Alt joins switch nothing.
  EXPECT_FALSE(send(press(SDLK_RETURN)).toggle_fullscreen);
  EXPECT_EQ(state.screen, Screen::play);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(send(repeat(SDLK_RETURN, KMOD_LALT)).toggle_fullscreen);
  send(release(SDLK_RETURN, KMOD_LALT));
  // And a fresh Alt+Enter afterwards still switches.
  EXPECT_TRUE(send(press(SDLK_RETURN, KMOD_LALT)).toggle_fullscreen);
}

TEST_F(Hands, F11SwitchesOnItsPressOnlyAndTheGameNeverSeesIt) {
  reach_correct_screen();
  const GameState before = state;
  EXPECT_TRUE(send(press(SDLK_F11)).toggle_fullscreen);
  EXPECT_FALSE(send(repeat(SDLK_F11)).toggle_fullscreen);
  EXPECT_FALSE(send(release(SDLK_F11)).toggle_fullscreen);
  EXPECT_TRUE(send(press(SDLK_F11, KMOD_LALT)).toggle_fullscreen);
  send(release(SDLK_F11));
  EXPECT_EQ(state.screen, before.screen);
  EXPECT_EQ(state.level, before.level);
  EXPECT_FALSE(window_close_requested());
}

TEST_F(Hands, OrdinaryKeysStillReachTheGame) {
  start_game();
  EXPECT_FALSE(send(press(SDLK_LEFT)).toggle_fullscreen);
  EXPECT_EQ(state.left_held, 1);
  send(release(SDLK_LEFT));
  EXPECT_EQ(state.left_held, 0);
  send(press(SDLK_ESCAPE));
  EXPECT_TRUE(window_close_requested());
}

// ---- pads -----------------------------------------------------------------------------

TEST_F(Hands, TheDpadHoldsLeftAndRightUntilReleased) {
  listen(kPad);
  start_game();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  EXPECT_EQ(state.left_held, 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true));
  EXPECT_EQ(state.right_held, 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false));
  EXPECT_EQ(state.left_held, 0);
  EXPECT_EQ(state.right_held, 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false));
  EXPECT_EQ(state.right_held, 0);
}

TEST_F(Hands, TheStickHasADeadZoneAndDoesNotFlickerAtItsEdge) {
  listen(kPad);
  start_game();
  const struct {
    int x;
    int left, right;
  } path[] = {
      {3000, 0, 0},  {7999, 0, 0},   {8000, 0, 1},  {7000, 0, 1},  {6000, 0, 1},   {5999, 0, 0},
      {7000, 0, 0},  {-7999, 0, 0},  {-8000, 1, 0}, {-6500, 1, 0}, {-7500, 1, 0},  {-6000, 1, 0},
      {-5000, 0, 0}, {-32768, 1, 0}, {32767, 0, 1}, {0, 0, 0},     {-20000, 1, 0}, {20000, 0, 1},
  };
  for (const auto& step : path) {
    send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, step.x));
    EXPECT_EQ(state.left_held, step.left) << "x = " << step.x;
    EXPECT_EQ(state.right_held, step.right) << "x = " << step.x;
  }
  // The other axes steer nothing.
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 0));
  for (SDL_GameControllerAxis axis : {SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY,
                                      SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT}) {
    send(pad_axis(kPad, axis, -32768));
    send(pad_axis(kPad, axis, 32767));
    EXPECT_EQ(state.left_held + state.right_held, 0) << "axis " << axis;
  }
}

TEST_F(Hands, StickAndDpadOfOnePadHoldTogether) {
  listen(kPad);
  start_game();
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, -20000));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 0));
  EXPECT_EQ(state.left_held, 1) << "the D-pad still holds Left";
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false));
  EXPECT_EQ(state.left_held, 0);
}

TEST_F(Hands, AAndStartActAsSpaceAndYAsR) {
  listen(kPad);
  // A on the title starts the game.
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, true));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, false));
  EXPECT_EQ(state.title_screen, 0);
  // Start pauses and resumes, through a fresh GET READY.
  state.countdown = 0;
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_START, true));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_START, false));
  EXPECT_EQ(state.paused, 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, true));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, false));
  EXPECT_EQ(state.paused, 0);
  EXPECT_DOUBLE_EQ(state.countdown, kCountdownSeconds);
  // Y restarts the game.
  state.score = 12;
  state.lives = 1;
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_Y, true));
  EXPECT_EQ(state.score, 0);
  EXPECT_EQ(state.lives, 3);
  // Held, it is one press: nothing repeats a restart.
  state.score = 5;
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_Y, true));
  EXPECT_EQ(state.score, 5);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_Y, false));
}

TEST_F(Hands, AAndStartHeldTogetherAreOneSpace) {
  listen(kPad);
  start_game();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, true));
  EXPECT_EQ(state.paused, 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_START, true));
  EXPECT_EQ(state.paused, 1) << "a second button of the same key while the first is down presses nothing";
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, false));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_START, false));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_START, true));
  EXPECT_EQ(state.paused, 0);
}

TEST_F(Hands, APadStartsTheRightAnswersNextLevelAndRetriesAWrongAnswer) {
  listen(kPad);
  reach_correct_screen();
  const int level = state.level;
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, true));
  EXPECT_EQ(state.level, level + 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, false));

  start_question(state);
  answer_question(state, (correct_position() + 1) % kOptionCount);
  ASSERT_EQ(state.screen, Screen::wrong);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_Y, true));
  EXPECT_EQ(state.screen, Screen::question);
}

TEST_F(Hands, NoPadButtonQuitsAndOnTheQuestionThePadAnswersNothing) {
  listen(kPad);
  reach_question();
  const int lives = state.lives;
  const int question = state.current_question;
  for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
    const auto b = static_cast<SDL_GameControllerButton>(button);
    send(pad_button(kPad, b, true));
    send(pad_button(kPad, b, false));
    EXPECT_EQ(state.screen, Screen::question) << "button " << button;
  }
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, -32768));
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 32767));
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 0));
  EXPECT_EQ(state.screen, Screen::question);
  EXPECT_EQ(state.lives, lives);
  EXPECT_EQ(state.current_question, question);
  EXPECT_FALSE(window_close_requested());

  // The buttons without a key: nothing on the field either, not even after game over.
  start_game();
  state.game_over = 1;
  for (SDL_GameControllerButton b : {SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_BACK,
                                     SDL_CONTROLLER_BUTTON_GUIDE, SDL_CONTROLLER_BUTTON_LEFTSHOULDER}) {
    send(pad_button(kPad, b, true));
    send(pad_button(kPad, b, false));
  }
  EXPECT_EQ(state.game_over, 1);
  EXPECT_FALSE(window_close_requested());
}

TEST_F(Hands, ARemovedPadLetsGoOfWhatItHeld) {
  listen(kPad);
  start_game();
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 30000));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_A, true));
  EXPECT_EQ(state.right_held, 1);
  send(pad_removed(kPad));
  EXPECT_EQ(state.right_held, 0);
  EXPECT_FALSE(input.told.space);
  EXPECT_EQ(find_pad(input.pads, kPad), nullptr);
  // Its late events are nobody's.
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, -30000));
  EXPECT_EQ(state.left_held, 0);
}

TEST_F(Hands, EventsOfPadsNotListenedToAreIgnored) {
  start_game();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, -30000));
  EXPECT_EQ(state.left_held, 0);
  send(pad_removed(kPad));  // a pad we never knew: nothing to release, nothing breaks
}

TEST_F(Hands, TwoPadsHoldADirectionUntilBothLetGo) {
  listen(kPad);
  listen(kOtherPad);
  start_game();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  send(pad_axis(kOtherPad, SDL_CONTROLLER_AXIS_LEFTX, -30000));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false));
  EXPECT_EQ(state.left_held, 1);
  send(pad_removed(kOtherPad));
  EXPECT_EQ(state.left_held, 0);
}

TEST_F(Hands, AFullSetOfPadsLeavesTheNextOneUnheard) {
  for (int i = 0; i < kMaxPads; ++i) listen(100 + i);
  EXPECT_EQ(listen_to_pad(input.pads, 500), nullptr);
  EXPECT_NE(listen_to_pad(input.pads, 100), nullptr) << "a pad already heard keeps its place";
  forget_pad(input.pads, 103);
  EXPECT_NE(listen_to_pad(input.pads, 500), nullptr);
}

// ---- keyboard and pad together --------------------------------------------------------

TEST_F(Hands, KeyboardAndPadHoldADirectionUntilBothLetGo) {
  listen(kPad);
  start_game();
  // The key lets go first: the pad still holds.
  send(press(SDLK_LEFT));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  send(release(SDLK_LEFT));
  EXPECT_EQ(state.left_held, 1);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false));
  EXPECT_EQ(state.left_held, 0);
  // The pad lets go first: the key still holds.
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 30000));
  send(press(SDLK_RIGHT));
  send(pad_axis(kPad, SDL_CONTROLLER_AXIS_LEFTX, 0));
  EXPECT_EQ(state.right_held, 1);
  send(release(SDLK_RIGHT));
  EXPECT_EQ(state.right_held, 0);
}

TEST_F(Hands, AnArrowPressedWithAltHoldsNothingForThePad) {
  listen(kPad);
  start_game();
  send(press(SDLK_LEFT, KMOD_LALT));  // the desktop's, not the game's
  EXPECT_EQ(state.left_held, 0);
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false));
  EXPECT_EQ(state.left_held, 0);
}

TEST_F(Hands, AHeldPadDirectionTakesHoldAgainAfterAResumeAsAHeldKeyWould) {
  listen(kPad);
  start_game();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true));
  send(press(SDLK_SPACE));  // pause
  send(release(SDLK_SPACE));
  send(press(SDLK_SPACE));  // resume: the game lets go of both directions
  EXPECT_EQ(state.right_held, 0);
  repeat_pad_holds(input, state);
  EXPECT_EQ(state.right_held, 1);
  EXPECT_EQ(state.left_held, 0);

  // Without the focus nothing repeats; with it back, the next tick holds again.
  send(focus_event(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_EQ(state.right_held, 0);
  repeat_pad_holds(input, state);
  EXPECT_EQ(state.right_held, 0);
  send(focus_event(SDL_WINDOWEVENT_FOCUS_GAINED));
  repeat_pad_holds(input, state);
  EXPECT_EQ(state.right_held, 1);

  // Let go, nothing repeats.
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false));
  repeat_pad_holds(input, state);
  EXPECT_EQ(state.right_held, 0);
}

TEST_F(Hands, RepeatsChangeNothingOnTheQuizScreens) {
  listen(kPad);
  reach_question();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  for (int i = 0; i < 10; ++i) repeat_pad_holds(input, state);
  EXPECT_EQ(state.screen, Screen::question);
  EXPECT_EQ(state.left_held, 0) << "the quiz screens ignore the arrows";
}

TEST_F(Hands, ReleasingEveryPadAtTheEndLetsGoInTheGame) {
  listen(kPad);
  start_game();
  send(pad_button(kPad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true));
  release_all_pads(input, state);
  EXPECT_EQ(state.left_held, 0);
  EXPECT_EQ(find_pad(input.pads, kPad), nullptr);
}
