#include "app/gamepad.h"

int stick_direction(int before, int x) {
  // Still pushed the same way while beyond the let-go line...
  if (before < 0 && x <= -kStickLetGo) return -1;
  if (before > 0 && x >= kStickLetGo) return 1;
  // ...otherwise a fresh push needs the wider line, whichever way it goes.
  if (x <= -kStickPushed) return -1;
  if (x >= kStickPushed) return 1;
  return 0;
}

bool start_gamepads() {
  // The pads talk to us only while the window has the focus (SDL's default); releases and
  // a stick coming back to the centre still arrive without it, so nothing stays held.
  return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

PadSlot* find_pad(Gamepads& pads, SDL_JoystickID id) {
  for (PadSlot& slot : pads.slots) {
    if (slot.in_use && slot.id == id) return &slot;
  }
  return nullptr;
}

PadSlot* listen_to_pad(Gamepads& pads, SDL_JoystickID id) {
  if (PadSlot* known = find_pad(pads, id)) return known;
  for (PadSlot& slot : pads.slots) {
    if (!slot.in_use) {
      slot = PadSlot{};
      slot.in_use = true;
      slot.id = id;
      return &slot;
    }
  }
  return nullptr;
}

PadSlot* open_pad(Gamepads& pads, int device_index) {
  // SDL announces the pads present at start-up and may announce one again; open each once.
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
  if (id < 0) return nullptr;
  if (PadSlot* known = find_pad(pads, id)) return known;
  PadSlot* slot = listen_to_pad(pads, id);
  if (slot == nullptr) return nullptr;
  slot->controller = SDL_GameControllerOpen(device_index);
  if (slot->controller == nullptr) {
    *slot = PadSlot{};
    return nullptr;
  }
  return slot;
}

void forget_pad(Gamepads& pads, SDL_JoystickID id) {
  PadSlot* slot = find_pad(pads, id);
  if (slot == nullptr) return;
  if (slot->controller != nullptr) SDL_GameControllerClose(slot->controller);
  *slot = PadSlot{};
}

void close_gamepads(Gamepads& pads) {
  for (PadSlot& slot : pads.slots) {
    if (slot.in_use) forget_pad(pads, slot.id);
  }
}

namespace {

bool note_button(PadSlot& slot, Uint8 button, bool down) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      slot.dpad_left = down;
      return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      slot.dpad_right = down;
      return true;
    case SDL_CONTROLLER_BUTTON_A:
      slot.a = down;
      return true;
    case SDL_CONTROLLER_BUTTON_START:
      slot.start = down;
      return true;
    case SDL_CONTROLLER_BUTTON_Y:
      slot.y = down;
      return true;
    default:
      return false;  // B, X, Back, Guide, shoulders, sticks: not the game's
  }
}

}  // namespace

bool note_pad_event(Gamepads& pads, const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      PadSlot* slot = find_pad(pads, event.cbutton.which);
      if (slot == nullptr) return false;
      return note_button(*slot, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
    }
    case SDL_CONTROLLERAXISMOTION: {
      PadSlot* slot = find_pad(pads, event.caxis.which);
      if (slot == nullptr || event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX) return false;
      slot->stick = stick_direction(slot->stick, event.caxis.value);
      return true;
    }
    default:
      return false;
  }
}

PadHolds pad_holds(const Gamepads& pads) {
  PadHolds holds;
  for (const PadSlot& slot : pads.slots) {
    if (!slot.in_use) continue;
    holds.left = holds.left || slot.dpad_left || slot.stick < 0;
    holds.right = holds.right || slot.dpad_right || slot.stick > 0;
    holds.space = holds.space || slot.a || slot.start;
    holds.r = holds.r || slot.y;
  }
  return holds;
}
