// Whether a frame needs composing at all, and where. The painters run once without drawing,
// and every operation they would draw, with its place, its colour and its text, is folded
// into a digest; two states with the same digest compose the very same picture, whatever the
// painters read from them. A frame whose digest equals the one on the canvas need not be
// composed again.
//
// A frame that differs is noted operation by operation, each with the box of device pixels
// it may change, and compared with the notes of the frame on the canvas. A pixel that no
// changed operation covers shows the same operations in the same order as before, so it
// already holds its new colour: only the boxes of the operations that changed are composed
// again, with every painter in its order, clipped to them, and only they need showing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "game/game_state.h"
#include "render/canvas.h"

uint64_t frame_key(Canvas& canvas, const GameState& state);

// The drawing operations as the notes tell them apart.
enum class DrawOperation : int64_t { rect = 1, ellipse, polygon, line, polyline, text, wrapped_text, image, kept };

// Where an operation may change pixels, in field units, before its edges' antialiasing.
struct FieldBox {
  double left, top, right, bottom;
};

// A rectangle of device pixels, right and bottom exclusive.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct NotedOperation {
  uint64_t digest;  // the operation with its values and text
  PixelRect box;
  int layer;  // canvas.layer when it was drawn
  DrawOperation operation;
  // A shape or text that a clip through it changes: Cairo then splits its outline or blends
  // its glyphs another way, and pixels well inside can come out a step of colour off. It is
  // composed whole or not at all.
  bool whole;
};

// The notes of one frame. Past kMostNotedOperations the frame counts as unlike any other.
inline constexpr int kMostNotedOperations = 4096;
struct FrameNotes {
  std::vector<NotedOperation> operations;
  bool complete = false;
};

// The part of the canvas a frame changed, as a few rectangles that do not overlap.
inline constexpr int kMostChangedRects = 16;
struct ChangedRegion {
  PixelRect rects[kMostChangedRects];
  int count = 0;
};

// While a frame is composed within one rectangle, the operations that its notes place
// outside it are left out; should the operations stop following the notes, all are drawn.
struct Culling {
  const FrameNotes* notes;
  size_t next;
  PixelRect within;
};

// While the canvas notes (canvas.digest or canvas.notes set), folds one drawing operation with
// its values and text into the digest, or adds it to the notes with its box, and returns true:
// the operation then draws nothing. While it culls, true for an operation that falls outside.
// False otherwise.
bool noted(Canvas& canvas, DrawOperation operation, std::initializer_list<int64_t> values, const FieldBox& box,
           const char* text = nullptr);
// The same for an operation through a chain of points, followed by its other values.
bool noted_points(Canvas& canvas, DrawOperation operation, const Point* points, int count,
                  std::initializer_list<int64_t> values, const FieldBox& box);

// The operations of the state's frame with their boxes, for the canvas as it is scaled.
void note_frame(Canvas& canvas, const GameState& state, FrameNotes& notes);

// Adds to `region` the boxes of every operation of one frame that the other frame does not
// draw at the same place in its order.
void add_changes(const FrameNotes& before, const FrameNotes& after, ChangedRegion& region);

// Grows the region until every operation to be composed whole that it touches lies inside it.
void take_in_whole_shapes(const FrameNotes& notes, ChangedRegion& region);

// Grows the region by a rectangle, merging it with the rectangles it overlaps or nearly meets.
void add_rect(ChangedRegion& region, PixelRect rect);

// Composes the frame within the region alone; every pixel outside it is left as it was. With
// the frame's notes, what falls outside a rectangle of the region is not drawn at all.
void compose_region(Canvas& canvas, const GameState& state, const ChangedRegion& region,
                    const FrameNotes* notes = nullptr);

// What the canvas holds: the key of the frame last composed on it, its notes, and what the
// last compose changed.
struct FrameMemory {
  uint64_t shown = 0;
  bool holds_frame = false;  // false until the first frame, and after forget_frame
  int screen = 0, level = 0;  // of the frame shown: another screen or level starts whole
  FrameNotes notes, next;     // of the frame on the canvas; the frame being composed
  ChangedRegion changed;      // by the last compose_changed_frame: what to show again
};

// Composes the frame for the state unless the canvas already holds that very picture: only
// where it changed, or the whole canvas after forget_frame, on another screen or at a new
// level. Returns true when it composed, false when the canvas was left as it was.
bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state);
// The same for a caller that already took the frame's key (frame_key): it is not taken twice.
bool compose_changed_frame(Canvas& canvas, FrameMemory& memory, const GameState& state, uint64_t key);

// The canvas was drawn on by someone else, or is new: the next frame is composed in full.
inline void forget_frame(FrameMemory& memory) { memory.holds_frame = false; }
