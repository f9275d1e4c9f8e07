// What the backdrop of each scene shows, one row per scene. The painter draws what a row
// says; a new scene is a new row here (and in the music tables), plus a painter for any
// building or machine that is new.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "render/canvas.h"

// The row of structures carrying the device lamps, from the left edge.
struct RowShape {
  int count;
  int pitch;
  int body_width;
  int mast_offset;  // from the body's left edge
  int window_columns;
};
inline constexpr RowShape kNarrowRow = {12, 66, 50, 25, 2};
inline constexpr RowShape kWideRow = {8, 100, 84, 42, 5};
inline constexpr RowShape kBarnRow = {8, 100, 54, 27, 3};

// Height of structure i: base + (level_factor * level + step * i) % range.
struct Heights {
  int base, level_factor, step, range;
};

enum class Buildings { houses, factories, barns };
enum class Machines { none, cranes_and_robot_arms, turbines, cabinets, buoys };

// Landscape layers, drawn in this order over the sky.
enum Landscape : unsigned {
  kStars = 1,
  kMoonAndSea = 2,
  kSunAndClouds = 4,
  kMountains = 8,
  kSnowCaps = 16,
  kFields = 32,
};

struct SceneLook {
  const char* name;  // on the label
  Color sky_top;
  Color sky_bottom;  // also mixed into clouds and unlit windows
  Color far_color;   // far mountains; structure bodies lean toward it
  Color near_color;  // near mountains, gable roofs, the ground strip, the lamp posts
  Color structure_color;
  Color ground_color;  // the field's ground band, under the catcher
  unsigned landscape;  // Landscape bits
  Color sun;           // with kSunAndClouds
  Buildings buildings;
  RowShape row;
  Heights heights;
  // Machines take every third device (0, 1, (2), 3, 4, (5), ...), or every structure has its own.
  bool machines_between_pairs;
  Machines machines;
  bool machines_move;  // they turn or sway with the play clock
};

extern const SceneLook kScenes[kSceneCount];

inline const SceneLook& scene_look(int level) { return kScenes[static_cast<int>(scene_of_level(level))]; }

// Structures stand on this line; the ground strip starts on it.
inline constexpr int kStructureBaseY = 447;

// The level seeds the layouts; 64-bit so that no level can overflow the products.
inline int level_term(int64_t factor, int level, int64_t offset, int64_t modulus) {
  return static_cast<int>((factor * level + offset) % modulus);
}

// Sky and landscape of a scene at a level: the backdrop's bottom layers (landscape.cpp).
void draw_landscape(Canvas& canvas, const SceneLook& look, int level);
