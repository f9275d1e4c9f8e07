// The six scenes that cycle with the level.
#pragma once

#include "render/canvas.h"

struct SceneStyle {
  Color sky_top;
  Color sky_bottom;  // also mixed into clouds and unlit windows
  Color far_color;   // far mountains; structure bodies lean toward it
  Color near_color;  // near mountains, gable roofs, the ground strip, the lamp posts
  Color structure_color;
  Color ground_color;  // the field's ground band, under the catcher
  const char* name;
};

extern const SceneStyle scene_styles[6];
