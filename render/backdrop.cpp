// The scene behind the play field: sky, landscape (landscape.cpp), the row of structures carrying the
// device lamps, the scene's machines, the foreground and the scene label. Connected devices
// send out signal waves. What each scene shows is its row in kScenes (scenes.h).
//
// The part that changes only with the level and the connections (sky, landscape, the
// structures without their waves, the label) is drawn once into a picture the canvas keeps
// and copied in on later frames; the waves, the machines and the foreground are drawn on
// top every frame.
#include <cmath>
#include <cstdint>

#include "render/digest.h"
#include "render/painters.h"
#include "render/scenes.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

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

// Where one structure stands and what it looks like; everything follows from the scene,
// the level and its place in the row.
struct Structure {
  int anchor_x;
  int left;
  int right;
  int mast_x;
  int height;
  int top;
  int device;
  Color body;
};

Structure structure_at(const SceneLook& look, int level, int i) {
  const RowShape& row = look.row;
  Structure s{};
  s.anchor_x = 20 + row.pitch * i;
  s.left = s.anchor_x - 8;
  s.right = s.left + row.body_width;
  s.mast_x = s.left + row.mast_offset;
  const Heights& h = look.heights;
  s.height = h.base + level_term(h.level_factor, level, int64_t{h.step} * i, h.range);
  s.top = kStructureBaseY - s.height;
  s.device = look.machines_between_pairs ? 3 * (i / 2) + (i % 2) : i;
  if (look.buildings == Buildings::barns) {
    s.body = (i % 2 == 0) ? kBarnEvenColor : kBarnOddColor;
  } else {
    s.body = mix_color(look.structure_color, look.far_color, 0.1 * (i % 3));
  }
  return s;
}

// Toward zero, as every computed position is; a clock gone wrong (not finite) must not
// turn into an undefined conversion.
int trunc_to_int(double value) { return std::isfinite(value) ? static_cast<int>(std::trunc(value)) : 0; }

bool device_lit(const GameState& state, int d) { return state.connected > d; }

// ---------------------------------------------------------------------------------------
// Signal waves

constexpr int kArcPoints = 17;  // from 25 to 155 degrees

// The directions of an arc's points, worked out once: the waves are drawn on both passes over
// a frame (its digest and its compose), and the lamps are many.
struct ArcDirections {
  double cos_of[kArcPoints], sin_of[kArcPoints];
};

const ArcDirections& arc_directions() {
  static const ArcDirections directions = [] {
    ArcDirections a;
    for (int q = 0; q < kArcPoints; ++q) {
      const double theta = (25.0 + 8.125 * q) * kPi / 180.0;
      a.cos_of[q] = std::cos(theta);
      a.sin_of[q] = std::sin(theta);
    }
    return a;
  }();
  return directions;
}

void draw_waves(Canvas& canvas, const GameState& state, int x, int y, int d) {
  // The device connected last pulses faster, thicker and brighter while its flash runs.
  const bool highlighted = state.connect_flash_timer > 0 && d == state.connected - 1;
  const double speed = highlighted ? 1.45 : 0.7;
  const int width = highlighted ? 2 : 1;
  const double strength = highlighted ? 0.95 : 0.48;
  const auto& [cos_of, sin_of] = arc_directions();
  for (int e = 0; e < 3; ++e) {
    double phase = std::fmod(speed * state.play_clock + 0.17 * d + e / 3.0, 1.0);
    if (!(phase >= 0 && phase < 1)) phase = 0;  // a clock before zero or not finite: keep r in range
    const double r = 5 + 29 * phase;
    const Color color = mix_color(kWaveFaded, kWaveBright, (1 - phase) * strength);
    Point points[kArcPoints];
    for (int q = 0; q < kArcPoints; ++q) points[q] = {x + trunc_to_int(r * cos_of[q]), y - trunc_to_int(r * sin_of[q])};
    draw_polyline(canvas, points, kArcPoints, width, color);
  }
}

// ---------------------------------------------------------------------------------------
// The structure row

void draw_roof(Canvas& canvas, const SceneLook& look, int level, int i, const Structure& s) {
  const int X = s.anchor_x;
  const int top = s.top;
  switch (look.buildings) {
    case Buildings::barns: {
      const Point barn[3] = {{X - 11, top}, {X + 19, top - 17}, {X + 49, top}};
      fill_polygon(canvas, barn, 3, kBarnRoofColor);
      break;
    }
    case Buildings::factories: {
      const Point saw[7] = {{s.left, top},      {s.left + 16, top - 14}, {s.left + 16, top}, {s.left + 33, top - 14},
                            {s.left + 33, top}, {s.right, top - 14},     {s.right, top}};
      fill_polygon(canvas, saw, 7, s.body);
      fill_rect(canvas, X - 3, top - 33, X + 4, top - 10, s.body);  // chimney
      break;
    }
    case Buildings::houses:
      if ((i + level) % 3 == 0) {
        const Point gable[3] = {{X - 11, top}, {s.mast_x, top - 17}, {s.right + 3, top}};
        fill_polygon(canvas, gable, 3, look.near_color);
      } else if ((i + level) % 3 == 1) {
        fill_rect(canvas, X - 2, top - 9, X + look.row.pitch - 30, top, s.body);
      }  // else a flat top
      break;
  }
}

void draw_windows(Canvas& canvas, const SceneLook& look, const GameState& state, const Structure& s) {
  if (s.height <= 32) return;
  const int rows = (s.height - 16) / 17;
  const Color color = device_lit(state, s.device) ? kLitWindowColor : mix_color(s.body, look.sky_bottom, 0.15);
  for (int r = 0; r < rows; ++r) {
    const int y = s.top + 13 + 17 * r;
    for (int c = 0; c < look.row.window_columns; ++c) {
      const int x = s.anchor_x + 13 * c;
      fill_rect(canvas, x, y, x + 7, y + 9, color);
    }
  }
}

// Body, roof, windows, mast and lamp: everything of one structure but its waves.
void draw_structure_body(Canvas& canvas, const SceneLook& look, const GameState& state, int i, const Structure& s) {
  fill_rect(canvas, s.left, s.top, s.right, kStructureBaseY, s.body);
  draw_roof(canvas, look, state.level, i, s);
  draw_windows(canvas, look, state, s);
  draw_line(canvas, s.mast_x, s.top - 5, s.mast_x, s.top - 21, 2, mix_color(s.body, kMastTint, 0.35));
  fill_ellipse(canvas, s.mast_x - 3, s.top - 25, 7, 7, device_lit(state, s.device) ? kLampLit : kLampUnlit);
}

void draw_structure_waves(Canvas& canvas, const GameState& state, const Structure& s) {
  if (device_lit(state, s.device)) draw_waves(canvas, state, s.mast_x, s.top - 24, s.device);
}

// ---------------------------------------------------------------------------------------
// The machines

// A lamp that, when lit, sends out the waves of its device right after it is drawn.
void draw_device_lamp(Canvas& canvas, const GameState& state, int left, int top, int size, Color lit, Color unlit,
                      int wave_x, int wave_y, int d) {
  fill_ellipse(canvas, left, top, size, size, device_lit(state, d) ? lit : unlit);
  if (device_lit(state, d)) draw_waves(canvas, state, wave_x, wave_y, d);
}

void draw_cranes(Canvas& canvas, const GameState& state) {
  constexpr Color kSteel = 0x5091C0;
  constexpr Color kCable = 0xA99D88;
  for (int j = 0; j < 3; ++j) {
    const int h = 102 + 272 * j;
    const int J = 247 + (j % 2 == 1 ? 24 : 0);   // jib height
    draw_line(canvas, h, J, h, 439, 5, kSteel);  // tower
    draw_line(canvas, h - 13, 439, h, J, 2, kSteel);
    draw_line(canvas, h + 13, 439, h, J, 2, kSteel);
    draw_line(canvas, h - 39, J, h + 112, J, 6, kSteel);  // jib
    draw_line(canvas, h, J - 30, h - 39, J, 2, kSteel);
    draw_line(canvas, h, J - 30, h + 112, J, 2, kSteel);
    for (int y = J; y <= J + 150; y += 30) draw_line(canvas, h, y, h + 12, y + 25, 1, kSteel);  // lattice
    draw_line(canvas, h + 86, J, h + 86, J + 57, 2, kCable);
    draw_line(canvas, h + 86, J + 57, h + 80, J + 65, 3, kSteel);  // hook
    draw_line(canvas, h + 80, J + 65, h + 89, J + 65, 3, kSteel);
    draw_device_lamp(canvas, state, h - 4, J - 37, 9, 0xBBF15D, 0x715C50, h, J - 33, 4 * j);
  }
}

void draw_robot_arms(Canvas& canvas, const GameState& state) {
  constexpr Color kGripper = 0xD7D2BF;
  constexpr Color kJoint = 0xB7AB92;
  for (int k = 0; k < 4; ++k) {
    const int m = 96 + 199 * k;
    const int sway = trunc_to_int(8 * std::sin(1.4 * state.play_clock + k));
    const int o = m + sway;
    fill_rect(canvas, m - 39, 431, m - 5, 440, 0x635647);       // base
    draw_line(canvas, m - 22, 429, m - 40, 395, 10, 0x3180DA);  // lower arm
    draw_line(canvas, m - 40, 395, o, 365, 8, 0x47A5EE);        // upper arm
    fill_ellipse(canvas, m - 28, 423, 12, 12, kJoint);
    fill_ellipse(canvas, m - 46, 389, 12, 12, kJoint);
    draw_line(canvas, o, 365, o + 12, 373, 5, kGripper);
    draw_line(canvas, o + 12, 373, o + 8, 381, 3, kGripper);
    draw_line(canvas, o + 12, 373, o + 20, 380, 3, kGripper);
    draw_device_lamp(canvas, state, m - 25, 410, 7, 0xC1F568, 0x74624D, m - 22, 412, 3 * k + 1);
  }
}

void draw_turbine(Canvas& canvas, const GameState& state, int k, int h, int c) {
  const int t = k % 2 == 0 ? 297 : 315;  // hub height
  draw_line(canvas, c, 444, c, t, 5, 0xCFCDB7);
  for (int b = 0; b < 3; ++b) {
    const double a = 2 * kPi * b / 3 + 0.55 * state.play_clock;
    const int tip_x = c + trunc_to_int(41 * std::cos(a));
    const int tip_y = t + trunc_to_int(41 * std::sin(a));
    draw_line(canvas, c, t, tip_x, tip_y, 5, 0xDDE5D7);
  }
  draw_device_lamp(canvas, state, h, t - 6, 12, 0xBFF964, 0xCBCBB3, c, t - 5, 3 * k + 2);
}

void draw_cabinet(Canvas& canvas, const GameState& state, int k, int h, int c) {
  draw_line(canvas, c, 443, c, 413, 3, 0x87876A);  // post
  fill_rect(canvas, h - 7, 423, h + 16, 433, 0x704B29);
  draw_line(canvas, h + 4, 423, h + 4, 432, 1, 0xB5A07B);  // door
  draw_device_lamp(canvas, state, h + 2, 407, 9, 0xB6F553, 0x837456, c, 410, 3 * k + 2);
}

void draw_buoy(Canvas& canvas, const GameState& state, int k, int h, int c) {
  fill_ellipse(canvas, h - 4, 415, 21, 6, 0xA0884B);  // float
  draw_line(canvas, c, 417, c, 393, 2, 0xC2BEAA);     // mast
  draw_device_lamp(canvas, state, h + 2, 385, 9, 0xB6F553, 0x837456, c, 388, 3 * k + 2);
}

void draw_machines(Canvas& canvas, const SceneLook& look, const GameState& state) {
  if (look.machines == Machines::none) return;
  if (look.machines == Machines::cranes_and_robot_arms) {
    draw_cranes(canvas, state);
    draw_robot_arms(canvas, state);
    return;
  }
  // Four machines, one after each pair of structures.
  for (int k = 0; k < 4; ++k) {
    const int h = 80 + 191 * k;
    const int c = h + 6;
    if (look.machines == Machines::turbines) draw_turbine(canvas, state, k, h, c);
    if (look.machines == Machines::cabinets) draw_cabinet(canvas, state, k, h, c);
    if (look.machines == Machines::buoys) draw_buoy(canvas, state, k, h, c);
  }
}

// ---------------------------------------------------------------------------------------
// Foreground

// The ground strip and the lamp posts, which light one by one at 1, 3, 5, 7 and 9 points.
void draw_ground_and_posts(Canvas& canvas, const SceneLook& look, const GameState& state) {
  fill_rect(canvas, 0, kStructureBaseY, kFieldWidth, 455, look.near_color);
  for (int n = 0; n < 5; ++n) {
    const int x = 65 + 163 * n;
    draw_line(canvas, x, 492, x, 429, 3, look.near_color);
    draw_line(canvas, x, 430, x + 14, 430, 3, look.near_color);
    fill_ellipse(canvas, x + 8, 428, 13, 5, state.level_points > 2 * n ? kPostLampLit : kPostLampUnlit);
  }
}

void draw_scene_label(Canvas& canvas, const SceneLook& look, int connected) {
  fill_rect(canvas, 18, 128, 528, 154, kLabelBoxColor);
  char label[100];
  format_text(label, sizeof label, "%s  |  Connected: %d / %d", look.name, connected, kDevicesPerLevel);
  draw_text(canvas, 28, 133, label, Font::body, kLabelTextColor);
}

// ---------------------------------------------------------------------------------------
// The picture kept between frames
//
// Sky, landscape, the structures without their waves, and the label, under what moves: the
// waves, the machines, the ground strip and the posts.

void draw_still_layers(Canvas& canvas, const SceneLook& look, const GameState& state) {
  draw_landscape(canvas, look, state.level);
  for (int i = 0; i < look.row.count; ++i)
    draw_structure_body(canvas, look, state, i, structure_at(look, state.level, i));
  draw_scene_label(canvas, look, state.connected);
}

// Brings the kept picture up to date for this level and these connections; false when it
// cannot be made.
bool refresh_kept_backdrop(Canvas& canvas, const SceneLook& look, const GameState& state) {
  KeptBackdrop& kept = canvas.kept_backdrop;
  if (!kept.surface) {
    kept.surface = cairo_surface_create_similar_image(canvas.surface, CAIRO_FORMAT_RGB24, canvas.width, canvas.height);
    kept.valid = false;
  }
  if (cairo_surface_status(kept.surface) != CAIRO_STATUS_SUCCESS) return false;
  if (kept.valid && kept.level == state.level && kept.connected == state.connected) return true;
  // The painters draw through the canvas's own context and fonts, here into the kept picture.
  cairo_matrix_t field;
  cairo_get_matrix(canvas.cr, &field);
  cairo_t* canvas_cr = canvas.cr;
  canvas.cr = cairo_create(kept.surface);
  cairo_set_matrix(canvas.cr, &field);  // in field units, at the canvas's scale
  draw_still_layers(canvas, look, state);
  cairo_destroy(canvas.cr);
  canvas.cr = canvas_cr;
  kept = {kept.surface, true, state.level, state.connected};
  return true;
}

}  // namespace

void draw_signal_waves(Canvas& canvas, const GameState& state, int x, int y, int d) {
  draw_waves(canvas, state, x, y, d);
}

void draw_scene_backdrop(Canvas& canvas, const GameState& state) {
  const SceneLook& look = scene_look(state.level);
  // The digest (digest.h) takes the kept picture as one operation, which the level and the
  // connections tell apart; it draws nothing, so nothing is kept for it.
  if (!digested(canvas, DrawOperation::kept, {state.level, state.connected},
                {0, 0, double(kFieldWidth), double(kFieldHeight)})) {
    if (refresh_kept_backdrop(canvas, look, state)) {
      // Pixel for pixel: the kept picture is already at the canvas's scale.
      cairo_save(canvas.cr);
      cairo_identity_matrix(canvas.cr);
      cairo_set_source_surface(canvas.cr, canvas.kept_backdrop.surface, 0, 0);
      cairo_set_operator(canvas.cr, CAIRO_OPERATOR_SOURCE);
      cairo_paint(canvas.cr);
      cairo_restore(canvas.cr);
    } else {
      draw_still_layers(canvas, look, state);  // no memory to keep it in
    }
  }
  for (int i = 0; i < look.row.count; ++i) draw_structure_waves(canvas, state, structure_at(look, state.level, i));
  draw_machines(canvas, look, state);
  draw_ground_and_posts(canvas, look, state);
}

bool backdrop_follows_clock(const GameState& state) {
  return scene_look(state.level).machines_move || device_lit(state, 0);
}
