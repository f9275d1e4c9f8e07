// Gamepads, plugged in before the start or while playing. A pad has no keys of its own in
// the game: its D-pad and left stick hold Left and Right, A and Start press Space, Y
// presses R; Back opens the options over the title or a paused field, where the D-pad, A,
// B and Back walk them (shell_input.cpp). Every other button, and everything on the question
// screen apart from those keys' usual meaning, does nothing; no pad button quits.
//
// This file keeps what each pad holds; the shell's routing (shell_input.h) turns changes of
// what all pads together hold into the game's key presses and releases.
#pragma once

#include <SDL.h>

// More pads than this are simply not listened to.
inline constexpr int kMaxPads = 8;

// The left stick counts as pushed once it leaves the centre by kStickPushed (of 32767), and
// as let go only when it comes back within kStickLetGo: a stick resting near the edge of
// the dead zone does not flicker between held and released.
inline constexpr int kStickPushed = 8000;
inline constexpr int kStickLetGo = 6000;

// Which way the stick points, given where it pointed before (-1 left, 0 centre, 1 right)
// and its new horizontal position.
int stick_direction(int before, int x);

struct PadSlot {
  bool in_use = false;
  SDL_JoystickID id = -1;
  SDL_GameController* controller = nullptr;  // null for a pad known only by its events (tests)
  bool dpad_left = false, dpad_right = false;
  int stick = 0;  // -1, 0, 1 as stick_direction gives it
  bool a = false, start = false, y = false;
};

// What the pads, all together, hold at one moment.
struct PadHolds {
  bool left = false, right = false, space = false, r = false;
};

struct Gamepads {
  PadSlot slots[kMaxPads];
};

// Starts SDL's game controller support; the pads already plugged in then arrive as
// SDL_CONTROLLERDEVICEADDED events like any pad plugged in later. Returns false (and the
// game runs with the keyboard alone) when the platform has no joystick support.
bool start_gamepads();
// Closes every open pad and forgets them all.
void close_gamepads(Gamepads& pads);

// Opens the pad at SDL's device index (from an SDL_CONTROLLERDEVICEADDED event) and starts
// listening to it; a pad already open is not opened twice. Returns the slot, or null.
PadSlot* open_pad(Gamepads& pads, int device_index);
// Listens to a pad by its instance id without opening anything: for tests that feed
// synthetic events. Returns the slot, or null when all slots are taken.
PadSlot* listen_to_pad(Gamepads& pads, SDL_JoystickID id);
// The pad's slot, or null when it is not one we listen to.
PadSlot* find_pad(Gamepads& pads, SDL_JoystickID id);
// Forgets the pad (closing it when we opened it); what it held is then no longer held.
void forget_pad(Gamepads& pads, SDL_JoystickID id);

// Notes a button or axis event in its pad's slot. Returns false for events of pads we do
// not listen to and for buttons and axes the game has no use for.
bool note_pad_event(Gamepads& pads, const SDL_Event& event);

PadHolds pad_holds(const Gamepads& pads);
