// A pad as SDL itself reports it: a virtual game controller is plugged in, its buttons and
// stick are moved, and the events SDL makes of that travel through the shell's routing into
// the rules, until the pad is pulled out again. No window and no display are needed.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/shell_host.h"
#include "app/shell_input.h"
#include "game/rules.h"

namespace {

class VirtualPad : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without a window nobody has the focus; SDL would then keep the pad's news to itself.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(start_gamepads()) << SDL_GetError();
    clear_window_close_request();
    start_program(state, 11, false, 0);
  }
  void TearDown() override {
    release_all_pads(input, state);
    if (joystick != nullptr) SDL_JoystickClose(joystick);
    if (device >= 0) SDL_JoystickDetachVirtual(device);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    clear_window_close_request();
  }

  // Plugs in a pad with every standard button and axis, as the game would meet it.
  void plug_in() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Orbilux test pad";
    device = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(device)) << "SDL made no controller mapping for the virtual pad";
    // Our own handle moves the virtual buttons; the shell opens its own from the event.
    joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    pump();
  }

  // Lets SDL turn what changed into events and routes every one of them, as the loop does.
  // Returns the kinds of events seen.
  std::vector<Uint32> pump() {
    std::vector<Uint32> seen;
    SDL_GameControllerUpdate();
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      seen.push_back(event.type);
      route_shell_event(input, state, event, 800, 600);
    }
    return seen;
  }
  void button(SDL_GameControllerButton which, bool down) {
    ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, which, down ? 1 : 0), 0) << SDL_GetError();
    pump();
  }
  void stick(int x) {
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x)), 0);
    pump();
  }
  bool shell_listens() const {
    for (const PadSlot& slot : input.pads.slots) {
      if (slot.in_use && slot.controller != nullptr) return true;
    }
    return false;
  }

  GameState state;
  ShellInput input;
  int device = -1;
  SDL_Joystick* joystick = nullptr;
};

}  // namespace

TEST_F(VirtualPad, PluggedInItIsOpenedAndPlaysTheGame) {
  plug_in();
  ASSERT_TRUE(shell_listens()) << "the shell did not open the pad it was told about";

  button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(state.title_screen, 0) << "A on the title starts the game";
  button(SDL_CONTROLLER_BUTTON_A, false);

  button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  EXPECT_EQ(state.left_held, 1);
  button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  EXPECT_EQ(state.left_held, 0);

  stick(24000);
  EXPECT_EQ(state.right_held, 1);
  stick(7000);  // inside the let-go line's reach: still pushed
  EXPECT_EQ(state.right_held, 1);
  stick(1000);
  EXPECT_EQ(state.right_held, 0);

  button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(state.paused, 1);
  button(SDL_CONTROLLER_BUTTON_START, false);

  state.score = 9;
  button(SDL_CONTROLLER_BUTTON_Y, true);
  EXPECT_EQ(state.score, 0) << "Y restarts";
  button(SDL_CONTROLLER_BUTTON_Y, false);

  button(SDL_CONTROLLER_BUTTON_BACK, true);
  button(SDL_CONTROLLER_BUTTON_GUIDE, true);
  button(SDL_CONTROLLER_BUTTON_B, true);
  EXPECT_FALSE(window_close_requested());
}

TEST_F(VirtualPad, PulledOutWhileHoldingItLetsGo) {
  plug_in();
  button(SDL_CONTROLLER_BUTTON_A, true);
  button(SDL_CONTROLLER_BUTTON_A, false);
  stick(-30000);
  ASSERT_EQ(state.left_held, 1);

  SDL_JoystickClose(joystick);
  joystick = nullptr;
  ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
  device = -1;
  std::vector<Uint32> seen = pump();
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<Uint32>(SDL_CONTROLLERDEVICEREMOVED)), seen.end());
  EXPECT_EQ(state.left_held, 0);
  EXPECT_FALSE(shell_listens());
}

TEST_F(VirtualPad, AnnouncedTwiceItIsOpenedOnce) {
  plug_in();
  SDL_Event again{};
  again.type = SDL_CONTROLLERDEVICEADDED;
  again.cdevice.which = device;
  route_shell_event(input, state, again, 800, 600);
  int open = 0;
  for (const PadSlot& slot : input.pads.slots) open += slot.in_use ? 1 : 0;
  EXPECT_EQ(open, 1);
}
