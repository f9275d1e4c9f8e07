// A keyboard without a keymap must not bring the game down. A Wayland compositor can hand the
// window its keyboard focus and the modifiers' state before it has told any keymap (sway does
// so after a virtual keyboard that was typing has gone away), and SDL 2.26 hands the state it
// has not made yet, none, straight to libxkbcommon, which crashes on it. The game's own
// definitions come first for every library it loads, SDL too: these two take such a call as a
// keyboard that has nothing to say yet, and pass every other one on to libxkbcommon.
#include <dlfcn.h>
#include <xkbcommon/xkbcommon.h>

extern "C" {

enum xkb_state_component xkb_state_update_mask(struct xkb_state* state, xkb_mod_mask_t depressed_mods,
                                               xkb_mod_mask_t latched_mods, xkb_mod_mask_t locked_mods,
                                               xkb_layout_index_t depressed_layout, xkb_layout_index_t latched_layout,
                                               xkb_layout_index_t locked_layout) {
  static auto* const real =
      reinterpret_cast<decltype(&xkb_state_update_mask)>(dlsym(RTLD_NEXT, "xkb_state_update_mask"));
  if (state == nullptr || real == nullptr) return static_cast<xkb_state_component>(0);
  return real(state, depressed_mods, latched_mods, locked_mods, depressed_layout, latched_layout, locked_layout);
}

void xkb_keymap_key_for_each(struct xkb_keymap* keymap, xkb_keymap_key_iter_t iter, void* data) {
  static auto* const real =
      reinterpret_cast<decltype(&xkb_keymap_key_for_each)>(dlsym(RTLD_NEXT, "xkb_keymap_key_for_each"));
  if (keymap != nullptr && real != nullptr) real(keymap, iter, data);
}

}  // extern "C"
