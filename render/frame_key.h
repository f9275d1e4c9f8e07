// Frames that cost what changed. The painters first run without drawing and give the frame's
// digest (digest.h). A frame whose digest equals the one on the canvas is not composed at
// all; another is composed once, every painter in its order, under one clip over the tiles
// whose digests changed: every other pixel already holds its new colour.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "render/digest.h"

// The digest of the state's frame, for the canvas as it is scaled.
void take_digest(Canvas& canvas, const GameState& state, FrameDigest& digest);
// Its whole-frame part: equal keys, the same picture.
uint64_t frame_key(Canvas& canvas, const GameState& state);

// The part of the canvas a frame changed, as rectangles that do not overlap: the runs of
// changed tiles along each row of tiles, a run joined with the same run in the row above.
inline constexpr int kMostChangedRects = kTileRows * (kTileColumns + 1) / 2;
struct ChangedRegion {
  PixelRect rects[kMostChangedRects];
  int count = 0;
};

// What the canvas holds: the digest of the frame last composed on it, and what the last
// compose changed.
struct FrameMemory {
  FrameDigest shown, next;  // of the frame on the canvas; of the frame being composed
  bool holds_frame = false;  // false until the first frame, and after forget_frame
  int canvas_surface = 0;    // canvas.surface_id when it was composed: a new surface is blank
  ChangedRegion changed;     // by the last compose_changed_frame: what to show again
};

// Composes the frame for the state unless the canvas already holds that very picture: only
// where it changed, or the whole canvas after forget_frame or on a surface made since
// (canvas_set_scale). Returns true when it composed, false when the canvas was left as it was.
bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state);

// The canvas was drawn on by someone else: the next frame is composed in full.
inline void forget_frame(FrameMemory& memory) { memory.holds_frame = false; }
