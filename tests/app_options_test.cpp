// The options in the shell: a game played with the player's own keys against the same game
// with the default keys, keys refused and taken on the options screen, and the file kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "app/events.h"
#include "app/settings_store.h"
#include "app/shell_host.h"
#include "game/rules.h"
#include "tests/sdl_keys.h"
#include "tests/temp_folder.h"

namespace {

GameState state_with(const char* settings) {
  GameState state;
  start_program(state, 7, false, 0);
  int32_t muted = 0;
  read_options(settings, canonical_key_name, state.options, muted);
  return state;
}

TEST(OwnKeys, PlayTheSameGameAsTheDefaultKeys) {
  GameState usual = state_with("");
  // Not the quiz's letters: on its screens those answer, whoever's key they are on the field.
  GameState own = state_with("key_left = q\nkey_right = e\nkey_pause = p\nkey_restart = x\nkey_music = n\n");
  ASSERT_STREQ(own.options.keys[0].text, "Q");
  const SDL_Keycode usual_keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE, SDLK_r, SDLK_m, SDLK_1, SDLK_RETURN};
  const SDL_Keycode own_keys[] = {SDLK_q, SDLK_e, SDLK_p, SDLK_x, SDLK_n, SDLK_1, SDLK_RETURN};
  std::mt19937 rng(30);
  for (int i = 0; i < 4000; ++i) {
    const size_t k = rng() % std::size(usual_keys);
    const bool down = rng() % 3 != 0;
    route_event(usual, down ? press(usual_keys[k]) : release(usual_keys[k]), 800, 600);
    route_event(own, down ? press(own_keys[k]) : release(own_keys[k]), 800, 600);
    if (i % 50 == 0) usual.screen = own.screen = static_cast<Screen>(rng() % 4);  // the quiz's screens too
    GameState seen = own;
    seen.options = usual.options;
    ASSERT_EQ(seen, usual) << "event " << i;
  }
  // The keys the player gave away do nothing on the field.
  own.screen = Screen::play;
  own.title_screen = 0;
  own.paused = own.game_over = own.left_held = 0;
  route_event(own, press(SDLK_LEFT), 800, 600);
  EXPECT_EQ(own.left_held, 0);
  // A quiz letter moves the truck on the field when it is the player's key.
  GameState with_a = state_with("key_left = a\n");
  with_a.title_screen = 0;
  route_event(with_a, press(SDLK_a), 800, 600);
  EXPECT_EQ(with_a.left_held, 1);
}

TEST(OwnKeys, TheOptionsScreenRefusesATakenKeyAndTakesAFreeOne) {
  clear_window_close_request();
  GameState state = state_with("");
  route_event(state, press(SDLK_s), 800, 600);
  ASSERT_EQ(state.options_open, 1);
  for (int i = 0; i < 4; ++i) route_event(state, press(SDLK_DOWN), 800, 600);  // the left key's row
  route_event(state, press(SDLK_RETURN), 800, 600);
  route_event(state, press(SDLK_RIGHT), 800, 600);  // the right key's own
  EXPECT_EQ(state.options_refused, 1);
  EXPECT_STREQ(state.options.keys[0].text, "Left");
  route_event(state, press(SDLK_RETURN), 800, 600);
  route_event(state, press(SDLK_j), 800, 600);
  EXPECT_STREQ(state.options.keys[0].text, "J");
  route_event(state, press(SDLK_ESCAPE), 800, 600);
  EXPECT_EQ(state.options_open, 0);
  EXPECT_FALSE(window_close_requested());
}

TEST(OptionsFile, WhatIsSavedLoadsAgainAndAFailedSaveSaysSo) {
  TempFolder folder;
  const char* given = std::getenv(kConfigDirVariable);
  const std::string kept = given != nullptr ? given : "";
  const std::string inner = folder.path() + "/config";
  setenv(kConfigDirVariable, inner.c_str(), 1);
  const std::string text = write_options(state_with("speed = 70\nkey_left = q\n").options, 1);
  ASSERT_TRUE(save_options_text(text));
  EXPECT_EQ(load_options_text(), text);
  std::ofstream(folder.path() + "/file") << "x";
  setenv(kConfigDirVariable, (folder.path() + "/file/config").c_str(), 1);
  EXPECT_FALSE(save_options_text(text));
  EXPECT_EQ(load_options_text(), "");
  if (given != nullptr) {
    setenv(kConfigDirVariable, kept.c_str(), 1);
  } else {
    unsetenv(kConfigDirVariable);
  }
}

}  // namespace
