// The one loop (frame_loop.h) on the game's window, as the desktop and the browser both run
// it: frames shown through frame_showing.h, the holds of the pads (and of the page's
// fingers) repeated before each tick, and what the window's own events do to its picture.
#pragma once

#include <SDL.h>

#include "app/frame_loop.h"
#include "app/frame_showing.h"
#include "app/shell_input.h"
#include "app/touch_input.h"
#include "app/window.h"
#include "game/game_state.h"

class WindowLoop final : public FrameLoop::Window {
 public:
  // Starts at the counter's present moment and shows the first frame at once. `touch`:
  // the fingers on a touch screen, where the game has touch controls.
  WindowLoop(ShellWindow& shell, GameState& state, ShellInput& hands, const TouchControls* touch = nullptr);

  FrameLoop& loop() { return loop_; }

  // After every event the game has seen: the renderer's textures made anew after its device
  // was reset, and the picture shown again after whatever lost it.
  void after_event(const SDL_Event& event, const ShellEffect& effect);

  void repeat_holds() override;
  void show(bool again) override;

 private:
  ShellWindow& shell_;
  GameState& state_;
  ShellInput& hands_;
  const TouchControls* touch_;
  FrameShowing showing_ = frame_showing_from_environment();
  FrameLoop loop_;  // last: starting it shows the first frame
};
