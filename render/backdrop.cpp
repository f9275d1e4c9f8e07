// The scene behind the play field: sky, landscape, the row of structures carrying the
// device lamps, the scene's extra machines, the foreground and the scene label. Connected
// devices send out signal waves.
//
// Everything depends only on the level (scene and layout), on how many devices are
// connected, on the level's points and on the two clocks, so each frame is recomputed
// from the state. To keep frames cheap without changing a pixel, the part that changes
// only with the level and the connections (sky, landscape, the structures without their
// waves, the label) is drawn once into a picture of its own and copied in on later
// frames; the waves, the machines and the foreground follow every frame in their order,
// replayed from their recorded coverage (coverage.h). draw_scene_backdrop_direct draws
// the same picture the plain way, shape after shape, to be measured and compared with.
#include "render/backdrop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "render/coverage.h"
#include "render/painters.h"
#include "render/scenes.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Structures stand on this line; the ground strip starts on it.
constexpr int kGroundLine = 447;

constexpr Color kStarColor = 0xC4AB91;
constexpr Color kMoonColor = 0xE1E7DB;
constexpr Color kSeaColor = 0x5B401C;
constexpr Color kGlintColor = 0x97814A;
constexpr Color kSunColor = 0x86BEF4;
constexpr Color kPaleSunColor = 0xCFE5E1;
constexpr Color kCloudTint = 0xDBDEDD;
constexpr Color kSnowColor = 0xE5DECF;
constexpr Color kFieldColor = 0x496936;
constexpr Color kPatchEvenColor = 0x417749;
constexpr Color kPatchOddColor = 0x47856C;
constexpr Color kFurrowColor = 0x56A098;
constexpr Color kBarnEvenColor = 0x5477B0;
constexpr Color kBarnOddColor = 0x446286;
constexpr Color kBarnRoofColor = 0x354075;
constexpr Color kLitWindowColor = 0x69BFEB;
constexpr Color kMastTint = 0xCCBFA0;
constexpr Color kLampLit = 0xB5F252;
constexpr Color kLampUnlit = 0x74634F;
constexpr Color kPostLampLit = 0x7FDAFF;
constexpr Color kPostLampUnlit = 0x655A4C;
constexpr Color kLabelBoxColor = 0x392213;
constexpr Color kLabelTextColor = 0xDAD2AD;
constexpr Color kWaveFaded = 0x695624;
constexpr Color kWaveBright = 0xD7FF70;

struct RowShape {
  int count;
  int pitch;
  int body_width;
  int mast_offset;
  int window_columns;
};

constexpr RowShape kNarrowRow = {12, 66, 50, 25, 2};
constexpr RowShape kWideRow = {8, 100, 84, 42, 5};
constexpr int kBarnWindowColumns = 3;

// The city, the factories and the coast stand in the narrow row, the rest in the wide one.
const RowShape& row_shape_of_scene(int scene) {
  return (scene == 0 || scene == 1 || scene == 5) ? kNarrowRow : kWideRow;
}

// Where one structure stands and what it looks like; everything follows from the scene,
// the level and its place in the row.
struct Structure {
  int anchor_x;  // X
  int left;
  int right;
  int mast_x;
  int height;  // H
  int top;
  int device;
  Color body;
};

// The level seeds the layouts; 64-bit so that no level can overflow the products.
int level_term(int64_t factor, int level, int64_t offset, int64_t modulus) {
  return static_cast<int>((factor * level + offset) % modulus);
}

int structure_height(int scene, int level, int i) {
  switch (scene) {
    case 0:
      return 80 + level_term(29, level, 47 * i, 107);
    case 1:
      return 38 + level_term(23, level, 31 * i, 32);
    case 2:
      return 26 + (17 * i) % 24;  // barns look the same on every visit
    default:
      return 38 + level_term(23, level, 31 * i, 68);
  }
}

// Pairs of structures with one extra machine after each pair: 0, 1, (2), 3, 4, (5), ...
int paired_device_index(int i) { return 3 * (i / 2) + (i % 2); }

Structure structure_at(int scene, int level, int i) {
  const SceneStyle& style = scene_styles[scene];
  const RowShape& row = row_shape_of_scene(scene);
  Structure s{};
  s.anchor_x = 20 + row.pitch * i;
  s.left = s.anchor_x - 8;
  s.right = s.left + row.body_width;
  s.mast_x = scene == 2 ? s.anchor_x + 19 : s.left + row.mast_offset;
  s.height = structure_height(scene, level, i);
  s.top = kGroundLine - s.height;
  s.device = (scene == 0 || scene == 1) ? i : paired_device_index(i);
  if (scene == 2) {
    s.body = (i % 2 == 0) ? kBarnEvenColor : kBarnOddColor;
  } else {
    s.body = mix_color(style.structure_color, style.far_color, 0.1 * (i % 3));
  }
  return s;
}

// Toward zero, as every computed position is; a clock gone wrong (not finite) must not
// turn into an undefined conversion.
int trunc_to_int(double value) { return std::isfinite(value) ? static_cast<int>(std::trunc(value)) : 0; }

bool device_lit(const GameState& state, int d) { return state.connected > d; }

int scene_of(const GameState& state) { return scene_of_level(state.level); }

// ---------------------------------------------------------------------------------------
// Signal waves

// The 17 directions of an arc, from 25 to 155 degrees.
struct ArcDirections {
  double cos_of[17];
  double sin_of[17];
};

ArcDirections make_arc_directions() {
  ArcDirections a{};
  for (int q = 0; q < 17; ++q) {
    const double theta = (25.0 + 8.125 * q) * kPi / 180.0;
    a.cos_of[q] = std::cos(theta);
    a.sin_of[q] = std::sin(theta);
  }
  return a;
}

const ArcDirections& arc_directions() {
  static const ArcDirections directions = make_arc_directions();
  return directions;
}

// Where the shapes drawn every frame go: to the canvas operations, or replayed from their
// recorded coverage, which gives the same pixels for less (coverage.h).
struct Brush {
  Canvas& canvas;
  bool replay;
};

void brush_rect(Brush& brush, int left, int top, int right, int bottom, Color color) {
  if (brush.replay) {
    replay_rect(brush.canvas, left, top, right, bottom, color);
  } else {
    fill_rect(brush.canvas, left, top, right, bottom, color);
  }
}

void brush_ellipse(Brush& brush, int left, int top, int width, int height, Color color) {
  if (brush.replay) {
    replay_ellipse(brush.canvas, left, top, width, height, color);
  } else {
    fill_ellipse(brush.canvas, left, top, width, height, color);
  }
}

void brush_line(Brush& brush, int x0, int y0, int x1, int y1, int width, Color color) {
  if (brush.replay) {
    replay_line(brush.canvas, x0, y0, x1, y1, width, color);
  } else {
    draw_line(brush.canvas, x0, y0, x1, y1, width, color);
  }
}

constexpr int kArcPoints = 17;

// One arc: a polyline through (x, y) + offsets.
void brush_arc(Brush& brush, int x, int y, const Point* offsets, int width, Color color) {
  if (brush.replay) {
    replay_polyline_around(brush.canvas, x, y, offsets, kArcPoints, width, color);
    return;
  }
  Point points[kArcPoints];
  for (int q = 0; q < kArcPoints; ++q) points[q] = {x + offsets[q].x, y + offsets[q].y};
  draw_polyline(brush.canvas, points, kArcPoints, width, color);
}

void draw_waves(Brush& brush, const GameState& state, int x, int y, int d) {
  // The device connected last pulses faster, thicker and brighter while its flash runs.
  const bool highlighted = state.connect_flash_timer > 0 && d == state.connected - 1;
  const double speed = highlighted ? 1.45 : 0.7;
  const int width = highlighted ? 2 : 1;
  const double strength = highlighted ? 0.95 : 0.48;
  const ArcDirections& dir = arc_directions();
  for (int e = 0; e < 3; ++e) {
    double phase = std::fmod(speed * state.play_clock + 0.17 * d + e / 3.0, 1.0);
    if (!(phase >= 0 && phase < 1)) phase = 0;  // a clock before zero or not finite: keep r in range
    const double r = 5 + 29 * phase;
    const Color color = mix_color(kWaveFaded, kWaveBright, (1 - phase) * strength);
    Point offsets[kArcPoints];
    for (int q = 0; q < kArcPoints; ++q) {
      offsets[q] = {trunc_to_int(r * dir.cos_of[q]), -trunc_to_int(r * dir.sin_of[q])};
    }
    brush_arc(brush, x, y, offsets, width, color);
  }
}

// ---------------------------------------------------------------------------------------
// The layers that depend only on the level

void draw_sky(Canvas& canvas, const SceneStyle& style) {
  for (int y = 0; y < kFieldHeight; y += 6) {
    fill_rect(canvas, 0, y, kFieldWidth, y + 6, mix_color(style.sky_top, style.sky_bottom, y / 600.0));
  }
}

void draw_stars(Canvas& canvas, int level) {
  for (int k = 0; k < 48; ++k) {
    const int x = level_term(19, level, 35 + 173 * k, 800);
    const int y = 155 + level_term(13, level, 71 * k, 180);
    fill_ellipse(canvas, x, y, 2, 2, kStarColor);
  }
}

void draw_moon_and_sea(Canvas& canvas, const SceneStyle& style) {
  fill_ellipse(canvas, 646, 173, 43, 43, kMoonColor);
  fill_ellipse(canvas, 656, 168, 38, 38, style.sky_top);  // bites the crescent out of the moon
  fill_rect(canvas, 0, 355, 800, 449, kSeaColor);
  for (int n = 0; n <= 12; ++n) {
    const int a = (137 * n) % 700;
    const int y = 370 + 14 * (n % 5);
    draw_line(canvas, a + 30, y, a + 76, y, 1, kGlintColor);
  }
}

void draw_sun_and_clouds(Canvas& canvas, int scene, int level, const SceneStyle& style) {
  fill_ellipse(canvas, 620 - 43 * (level % 3), 179, 53, 53, scene == 3 ? kPaleSunColor : kSunColor);
  const Color cloud = mix_color(style.sky_bottom, kCloudTint, 0.3);
  const int f = 70 + level_term(23, level, 0, 75);
  for (int n = 0; n < 3; ++n) {
    const int x = f + 190 * n;
    const int o = (31 * n) % 55;
    fill_ellipse(canvas, x, 193 + o, 64, 16, cloud);
    fill_ellipse(canvas, x + 15, 184 + o, 35, 23, cloud);
  }
}

void draw_mountains(Canvas& canvas, int scene, int level, const SceneStyle& style) {
  for (int r = 0; r < 2; ++r) {
    const Color color = r == 0 ? style.far_color : style.near_color;
    for (int n = 0; n < 7; ++n) {
      const int x = -250 + 65 * r + 190 * n;
      const int p = 233 + 45 * r + level_term(19, level, 263 + 37 * n, 80);
      const Point peak[3] = {{x, 449}, {x + 155, p}, {x + 305, 449}};
      fill_polygon(canvas, peak, 3, color);
      if (scene == 3) {
        const Point cap[4] = {{x + 155, p}, {x + 184, p + 39}, {x + 159, p + 27}, {x + 125, p + 40}};
        fill_polygon(canvas, cap, 4, kSnowColor);
      }
    }
  }
}

void draw_fields(Canvas& canvas) {
  fill_rect(canvas, 0, 362, 800, kGroundLine, kFieldColor);
  for (int n = 0; n < 5; ++n) {
    const int x = 165 * n;
    const Point patch[4] = {{x, 376}, {x + 130, 369}, {x + 160, 447}, {x - 18, 447}};
    fill_polygon(canvas, patch, 4, n % 2 == 0 ? kPatchEvenColor : kPatchOddColor);
  }
  for (int n = 0; n < 30; ++n) draw_line(canvas, 31 * n - 90, 447, 25 * n, 373, 1, kFurrowColor);
}

void draw_landscape(Canvas& canvas, int scene, int level) {
  const SceneStyle& style = scene_styles[scene];
  draw_sky(canvas, style);
  if (scene == 0 || scene == 5) draw_stars(canvas, level);
  if (scene == 5) draw_moon_and_sea(canvas, style);
  if (scene >= 1 && scene <= 4) draw_sun_and_clouds(canvas, scene, level, style);
  if (scene >= 2 && scene <= 4) draw_mountains(canvas, scene, level, style);
  if (scene == 2) draw_fields(canvas);
}

// ---------------------------------------------------------------------------------------
// The structure row

void draw_roof(Canvas& canvas, int scene, int level, int i, const Structure& s) {
  const int X = s.anchor_x;
  const int top = s.top;
  if (scene == 2) {
    const Point barn[3] = {{X - 11, top}, {X + 19, top - 17}, {X + 49, top}};
    fill_polygon(canvas, barn, 3, kBarnRoofColor);
  } else if (scene == 1) {
    const Point saw[7] = {{s.left, top},      {s.left + 16, top - 14}, {s.left + 16, top}, {s.left + 33, top - 14},
                          {s.left + 33, top}, {s.right, top - 14},     {s.right, top}};
    fill_polygon(canvas, saw, 7, s.body);
    fill_rect(canvas, X - 3, top - 33, X + 4, top - 10, s.body);  // chimney
  } else {
    switch ((i + level) % 3) {
      case 0: {
        const Point gable[3] = {{X - 11, top}, {s.mast_x, top - 17}, {s.right + 3, top}};
        fill_polygon(canvas, gable, 3, scene_styles[scene].near_color);
        break;
      }
      case 1:
        fill_rect(canvas, X - 2, top - 9, X + row_shape_of_scene(scene).pitch - 30, top, s.body);
        break;
      default:
        break;  // a flat top
    }
  }
}

void draw_windows(Canvas& canvas, int scene, const GameState& state, const Structure& s) {
  if (s.height <= 32) return;
  const int rows = (s.height - 16) / 17;
  const int columns = scene == 2 ? kBarnWindowColumns : row_shape_of_scene(scene).window_columns;
  const Color color =
      device_lit(state, s.device) ? kLitWindowColor : mix_color(s.body, scene_styles[scene].sky_bottom, 0.15);
  for (int r = 0; r < rows; ++r) {
    const int y = s.top + 13 + 17 * r;
    for (int c = 0; c < columns; ++c) {
      const int x = s.anchor_x + 13 * c;
      fill_rect(canvas, x, y, x + 7, y + 9, color);
    }
  }
}

// Body, roof, windows, mast and lamp: everything of one structure but its waves.
void draw_structure_body(Canvas& canvas, int scene, const GameState& state, int i, const Structure& s) {
  const int body_right = scene == 2 ? s.anchor_x + 46 : s.right;
  fill_rect(canvas, s.left, s.top, body_right, kGroundLine, s.body);
  draw_roof(canvas, scene, state.level, i, s);
  draw_windows(canvas, scene, state, s);
  draw_line(canvas, s.mast_x, s.top - 5, s.mast_x, s.top - 21, 2, mix_color(s.body, kMastTint, 0.35));
  fill_ellipse(canvas, s.mast_x - 3, s.top - 25, 7, 7, device_lit(state, s.device) ? kLampLit : kLampUnlit);
}

void draw_structure_waves(Brush& brush, const GameState& state, const Structure& s) {
  if (device_lit(state, s.device)) draw_waves(brush, state, s.mast_x, s.top - 24, s.device);
}

// ---------------------------------------------------------------------------------------
// The extra machines

// A lamp that, when lit, sends out the waves of its device right after it is drawn.
void draw_device_lamp(Brush& brush, const GameState& state, int left, int top, int size, Color lit, Color unlit,
                      int wave_x, int wave_y, int d) {
  if (device_lit(state, d)) {
    brush_ellipse(brush, left, top, size, size, lit);
    draw_waves(brush, state, wave_x, wave_y, d);
  } else {
    brush_ellipse(brush, left, top, size, size, unlit);
  }
}

void draw_cranes(Brush& brush, const GameState& state) {
  constexpr Color kSteel = 0x5091C0;
  constexpr Color kCable = 0xA99D88;
  for (int j = 0; j < 3; ++j) {
    const int h = 102 + 272 * j;
    const int J = 247 + (j % 2 == 1 ? 24 : 0);   // jib height
    brush_line(brush, h, J, h, 439, 5, kSteel);  // tower
    brush_line(brush, h - 13, 439, h, J, 2, kSteel);
    brush_line(brush, h + 13, 439, h, J, 2, kSteel);
    brush_line(brush, h - 39, J, h + 112, J, 6, kSteel);  // jib
    brush_line(brush, h, J - 30, h - 39, J, 2, kSteel);
    brush_line(brush, h, J - 30, h + 112, J, 2, kSteel);
    for (int y = J; y <= J + 150; y += 30) brush_line(brush, h, y, h + 12, y + 25, 1, kSteel);  // lattice
    brush_line(brush, h + 86, J, h + 86, J + 57, 2, kCable);
    brush_line(brush, h + 86, J + 57, h + 80, J + 65, 3, kSteel);  // hook
    brush_line(brush, h + 80, J + 65, h + 89, J + 65, 3, kSteel);
    draw_device_lamp(brush, state, h - 4, J - 37, 9, 0xBBF15D, 0x715C50, h, J - 33, 4 * j);
  }
}

void draw_robot_arms(Brush& brush, const GameState& state) {
  constexpr Color kGripper = 0xD7D2BF;
  constexpr Color kJoint = 0xB7AB92;
  for (int k = 0; k < 4; ++k) {
    const int m = 96 + 199 * k;
    const int sway = trunc_to_int(8 * std::sin(1.4 * state.play_clock + k));
    const int o = m + sway;
    brush_rect(brush, m - 39, 431, m - 5, 440, 0x635647);       // base
    brush_line(brush, m - 22, 429, m - 40, 395, 10, 0x3180DA);  // lower arm
    brush_line(brush, m - 40, 395, o, 365, 8, 0x47A5EE);        // upper arm
    brush_ellipse(brush, m - 28, 423, 12, 12, kJoint);
    brush_ellipse(brush, m - 46, 389, 12, 12, kJoint);
    brush_line(brush, o, 365, o + 12, 373, 5, kGripper);
    brush_line(brush, o + 12, 373, o + 8, 381, 3, kGripper);
    brush_line(brush, o + 12, 373, o + 20, 380, 3, kGripper);
    draw_device_lamp(brush, state, m - 25, 410, 7, 0xC1F568, 0x74624D, m - 22, 412, 3 * k + 1);
  }
}

void draw_turbine(Brush& brush, const GameState& state, int k, int h, int c) {
  const int t = k % 2 == 0 ? 297 : 315;  // hub height
  brush_line(brush, c, 444, c, t, 5, 0xCFCDB7);
  for (int b = 0; b < 3; ++b) {
    const double a = 2 * kPi * b / 3 + 0.55 * state.play_clock;
    const int tip_x = c + trunc_to_int(41 * std::cos(a));
    const int tip_y = t + trunc_to_int(41 * std::sin(a));
    brush_line(brush, c, t, tip_x, tip_y, 5, 0xDDE5D7);
  }
  draw_device_lamp(brush, state, h, t - 6, 12, 0xBFF964, 0xCBCBB3, c, t - 5, 3 * k + 2);
}

void draw_cabinet(Brush& brush, const GameState& state, int k, int h, int c) {
  brush_line(brush, c, 443, c, 413, 3, 0x87876A);  // post
  brush_rect(brush, h - 7, 423, h + 16, 433, 0x704B29);
  brush_line(brush, h + 4, 423, h + 4, 432, 1, 0xB5A07B);  // door
  draw_device_lamp(brush, state, h + 2, 407, 9, 0xB6F553, 0x837456, c, 410, 3 * k + 2);
}

void draw_buoy(Brush& brush, const GameState& state, int k, int h, int c) {
  brush_ellipse(brush, h - 4, 415, 21, 6, 0xA0884B);  // float
  brush_line(brush, c, 417, c, 393, 2, 0xC2BEAA);     // mast
  draw_device_lamp(brush, state, h + 2, 385, 9, 0xB6F553, 0x837456, c, 388, 3 * k + 2);
}

void draw_extras(Brush& brush, int scene, const GameState& state) {
  if (scene == 1) {
    draw_cranes(brush, state);
    draw_robot_arms(brush, state);
    return;
  }
  if (scene == 0) return;
  for (int k = 0; k < 4; ++k) {
    const int h = 80 + 191 * k;
    const int c = h + 6;
    if (scene == 2) {
      draw_turbine(brush, state, k, h, c);
    } else if (scene == 5) {
      draw_buoy(brush, state, k, h, c);
    } else {
      draw_cabinet(brush, state, k, h, c);
    }
  }
}

// ---------------------------------------------------------------------------------------
// Foreground

// The ground strip and the lamp posts, which light one by one at 1, 3, 5, 7 and 9 points.
void draw_ground_and_posts(Brush& brush, int scene, const GameState& state) {
  const SceneStyle& style = scene_styles[scene];
  brush_rect(brush, 0, kGroundLine, 800, 455, style.near_color);
  for (int n = 0; n < 5; ++n) {
    const int x = 65 + 163 * n;
    brush_line(brush, x, 492, x, 429, 3, style.near_color);
    brush_line(brush, x, 430, x + 14, 430, 3, style.near_color);
    brush_ellipse(brush, x + 8, 428, 13, 5, state.level_points > 2 * n ? kPostLampLit : kPostLampUnlit);
  }
}

void draw_scene_label(Canvas& canvas, int scene, int connected) {
  fill_rect(canvas, 18, 128, 528, 154, kLabelBoxColor);
  char label[100];
  format_text(label, sizeof label, "%s  |  Connected: %d / 12", scene_styles[scene].name, connected);
  draw_text(canvas, 28, 133, label, Font::body, kLabelTextColor);
}

// ---------------------------------------------------------------------------------------
// The picture kept between frames
//
// Sky, landscape, the structures without their waves, and the label. What is drawn on top
// every frame (waves, machines, ground strip, posts) stays below y = 179, clear of the
// label, and the waves of a structure reach at most 32 pixels to either side of its mast,
// clear of the next structure's roof; so drawing these parts first leaves the very pixels
// the drawing order of the scene leaves.

struct BackdropCache {
  cairo_surface_t* surface = nullptr;
  Canvas canvas;  // draws into `surface`; borrows the target's fonts while it is redrawn
  bool valid = false;
  int level = 0;
  int connected = 0;
  const PangoLayout* label_layout = nullptr;  // the fonts the label was written with
};

BackdropCache backdrop_cache;

bool same_raster(cairo_surface_t* a, cairo_surface_t* b) {
  return cairo_image_surface_get_format(a) == cairo_image_surface_get_format(b) &&
         cairo_image_surface_get_width(a) == cairo_image_surface_get_width(b) &&
         cairo_image_surface_get_height(a) == cairo_image_surface_get_height(b) &&
         cairo_image_surface_get_stride(a) == cairo_image_surface_get_stride(b);
}

bool ensure_cache_surface(const Canvas& target) {
  if (backdrop_cache.surface) return true;
  cairo_surface_t* surface = cairo_image_surface_create(cairo_image_surface_get_format(target.surface),
                                                        cairo_image_surface_get_width(target.surface),
                                                        cairo_image_surface_get_height(target.surface));
  cairo_t* cr = cairo_create(surface);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return false;
  }
  backdrop_cache.surface = surface;
  backdrop_cache.canvas.surface = surface;
  backdrop_cache.canvas.cr = cr;
  backdrop_cache.valid = false;
  return true;
}

void draw_kept_layers(const Canvas& target, int scene, const GameState& state) {
  Canvas& canvas = backdrop_cache.canvas;
  draw_landscape(canvas, scene, state.level);
  const int count = row_shape_of_scene(scene).count;
  for (int i = 0; i < count; ++i) draw_structure_body(canvas, scene, state, i, structure_at(scene, state.level, i));
  // The label is written with the target's own fonts.
  std::copy(std::begin(target.layouts), std::end(target.layouts), std::begin(canvas.layouts));
  std::copy(std::begin(target.faces), std::end(target.faces), std::begin(canvas.faces));
  draw_scene_label(canvas, scene, state.connected);
  std::fill(std::begin(canvas.layouts), std::end(canvas.layouts), nullptr);
}

// Brings the kept picture up to date for this level, these connections and these fonts;
// false when there is none and the frame must be drawn in full.
bool refresh_cache(const Canvas& target, int scene, const GameState& state) {
  if (!target.surface || cairo_surface_get_type(target.surface) != CAIRO_SURFACE_TYPE_IMAGE) return false;
  if (!ensure_cache_surface(target) || !same_raster(backdrop_cache.surface, target.surface)) return false;
  const PangoLayout* label_layout = target.layouts[static_cast<int>(Font::body)];
  if (backdrop_cache.valid && backdrop_cache.level == state.level && backdrop_cache.connected == state.connected &&
      backdrop_cache.label_layout == label_layout) {
    return true;
  }
  // The shapes recorded for replay stand where the old level put them.
  if (!backdrop_cache.valid || backdrop_cache.level != state.level) forget_recorded_shapes();
  draw_kept_layers(target, scene, state);
  backdrop_cache.valid = true;
  backdrop_cache.level = state.level;
  backdrop_cache.connected = state.connected;
  backdrop_cache.label_layout = label_layout;
  return true;
}

void copy_raster(cairo_surface_t* from, cairo_surface_t* to) {
  cairo_surface_flush(from);
  cairo_surface_flush(to);
  const size_t bytes = static_cast<size_t>(cairo_image_surface_get_stride(from)) *
                       static_cast<size_t>(cairo_image_surface_get_height(from));
  std::memcpy(cairo_image_surface_get_data(to), cairo_image_surface_get_data(from), bytes);
  cairo_surface_mark_dirty(to);
}

}  // namespace

void draw_signal_waves(Canvas& canvas, const GameState& state, int x, int y, int d) {
  Brush brush{canvas, !canvas.plain_drawing && coverage_replay_usable(canvas)};
  draw_waves(brush, state, x, y, d);
}

void draw_scene_backdrop_direct(Canvas& canvas, const GameState& state) {
  const int scene = scene_of(state);
  Brush brush{canvas, false};
  draw_landscape(canvas, scene, state.level);
  const int count = row_shape_of_scene(scene).count;
  for (int i = 0; i < count; ++i) {
    const Structure s = structure_at(scene, state.level, i);
    draw_structure_body(canvas, scene, state, i, s);
    draw_structure_waves(brush, state, s);
  }
  draw_extras(brush, scene, state);
  draw_ground_and_posts(brush, scene, state);
  draw_scene_label(canvas, scene, state.connected);
}

void draw_scene_backdrop(Canvas& canvas, const GameState& state) {
  const int scene = scene_of(state);
  if (canvas.plain_drawing || !refresh_cache(canvas, scene, state)) {
    draw_scene_backdrop_direct(canvas, state);
    return;
  }
  copy_raster(backdrop_cache.surface, canvas.surface);
  Brush brush{canvas, coverage_replay_usable(canvas)};
  const int count = row_shape_of_scene(scene).count;
  for (int i = 0; i < count; ++i) draw_structure_waves(brush, state, structure_at(scene, state.level, i));
  draw_extras(brush, scene, state);
  draw_ground_and_posts(brush, scene, state);
}

bool backdrop_follows_clock(const GameState& state) {
  const int scene = scene_of(state);
  return scene == 1 || scene == 2 || device_lit(state, 0);
}

void release_backdrop_cache() {
  if (backdrop_cache.canvas.cr) cairo_destroy(backdrop_cache.canvas.cr);
  if (backdrop_cache.surface) cairo_surface_destroy(backdrop_cache.surface);
  backdrop_cache = BackdropCache{};
}
