#include "app/window_loop.h"

WindowLoop::WindowLoop(ShellWindow& shell, GameState& state, ShellInput& hands, const TouchControls* touch)
    : shell_(shell),
      state_(state),
      hands_(hands),
      touch_(touch),
      loop_(state, *this, SDL_GetPerformanceFrequency(), showing_.skip_unchanged, SDL_GetPerformanceCounter()) {}

void WindowLoop::after_event(const SDL_Event& event, const ShellEffect& effect) {
  const bool device_reset = event.type == SDL_RENDER_DEVICE_RESET;
  if (device_reset) {
    // The renderer's textures are gone with the device (on the page, the WebGL context was
    // lost and made again); the canvas is still ours.
    if (shell_.texture != nullptr) SDL_DestroyTexture(shell_.texture);
    shell_.texture = make_field_texture(shell_.renderer, shell_.canvas);
  }
  // Shown, exposed, resized, or a new texture that holds nothing yet.
  if (effect.repaint || device_reset || event.type == SDL_RENDER_TARGETS_RESET) {
    loop_.picture_lost(SDL_GetPerformanceCounter());
  }
}

void WindowLoop::repeat_holds() {
  repeat_pad_holds(hands_, state_);
  if (touch_ != nullptr) repeat_touch_holds(*touch_, state_);
}

void WindowLoop::show(bool again) { show_frame(shell_, showing_, state_, again); }
