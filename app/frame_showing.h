// Showing frames only when they change. Every tick asks for a frame, but on most screens
// most ticks change nothing that is drawn; a frame whose digest (render/frame_key.h) equals
// the one on the canvas is neither composed nor presented, unless the window lost its
// picture or changed size, when the canvas is shown again as it is.
//
// ORBILUX_RUSH_NO_FRAME_SKIP=1 turns this off (and the loop's sleeping with it): every
// tick composes and presents, the straightforward way, to compare against.
#pragma once

#include "app/window.h"
#include "game/game_state.h"
#include "render/frame_key.h"

struct FrameShowing {
  FrameMemory memory;
  bool skip_unchanged = true;
  // The texture the canvas was last shown through: another one holds nothing of it yet.
  SDL_Texture* shown_through = nullptr;
};

// Reads ORBILUX_RUSH_NO_FRAME_SKIP.
FrameShowing frame_showing_from_environment();

// Composes the state's frame where it differs from the canvas's, and presents it when it was
// composed or when `again` is set: only what changed is uploaded, the whole canvas when
// `again` is set (the picture was lost) or the texture is new. Nothing for a minimised or hidden window, or one without
// area: the canvas then keeps its frame for later. Returns true when it presented.
bool show_frame(ShellWindow& shell, FrameShowing& showing, const GameState& state, bool again);
