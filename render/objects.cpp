// The moving things of the play field: the catcher truck with its load, the falling item,
// the sparks of a catch and the popup after a catch. Positions are truncated toward zero
// before any offset is added; only the catcher's x follows the state, its rows are fixed.
#include "render/painters.h"
#include "render/pixels.h"

namespace {

// The catcher: a small truck facing right, lettered "BRIXOL".
constexpr Color kShadowColor = 0x1D1008;
constexpr Color kBodyColor = 0x2A64E8;
constexpr Color kRearPostColor = 0x4392FF;
constexpr Color kCabColor = 0x2D77F5;
constexpr Color kWindowColor = 0xEED780;
constexpr Color kWindowGlintColor = 0xFFF6D1;
constexpr Color kHandleColor = 0x37384B;
constexpr Color kChassisColor = 0x1E419E;
constexpr Color kHeadlightColor = 0xA2EDFF;
constexpr Color kTailLightColor = 0x3F2EF7;
constexpr Color kWheelColor = 0x271A12;
constexpr Color kHubColor = 0xD4C2AE;
constexpr Color kStripeColor = 0x67B8FF;
constexpr Color kLetteringColor = 0xDEEFFF;

// The load: boxes of 10 x 10 on the truck's bed, four to a row, rows 11 pixels apart.
constexpr int kCargoPerRow = 4;
constexpr int kCargoBottomRowTop = 472;
constexpr Color kGoldCargoColor = 0x2DBDF8;
constexpr Color kRedCargoColor = 0x4126E2;
constexpr Color kGoldLidColor = 0x9FF2FF;
constexpr Color kRedLidColor = 0xDAEBF5;
constexpr Color kTickColor = 0xFFFFFF;

// A meander: a zigzag trace, dark outline first, bright trace on top.
constexpr Point kMeanderPoints[] = {{-16, -16}, {16, -16}, {16, -9},  {-16, -9}, {-16, -2}, {16, -2},
                                    {16, 5},    {-16, 5},  {-16, 12}, {16, 12},  {16, 17},  {10, 17}};
constexpr int kMeanderPointCount = sizeof kMeanderPoints / sizeof kMeanderPoints[0];
constexpr Color kMeanderOutlineColor = 0x195186;
constexpr Color kMeanderTraceColor = 0x45BDFF;

// A booster: an isometric box of three faces; a gold one glows.
struct BoxFace {
  Point corners[4];
  Color red;
  Color gold;
};
constexpr BoxFace kBoosterFaces[] = {
    {{{-18, -10}, {-5, -19}, {18, -13}, {6, -4}}, 0xE8F8FC, 0xA8F4FF},  // top
    {{{-18, -10}, {6, -4}, {6, 19}, {-18, 12}}, 0x331CE6, 0x1FB5F5},    // front
    {{{6, -4}, {18, -13}, {18, 10}, {6, 19}}, 0x210AAC, 0x0A78BA},      // side
};
constexpr Color kGlowColor = 0x1F3643;
constexpr Color kSparkleColor = 0x57DBFF;
constexpr Color kEdgeHighlightColor = 0x8E83FF;
constexpr Point kZigzagMark[] = {{-14, 7}, {-14, -3}, {-7, 9}, {-7, -1}, {0, 11}, {0, 1}};
constexpr Color kZigzagColor = 0xFFFFFF;

constexpr Color kGoldSparkColor = 0x64DEFF;
constexpr Color kRedSparkColor = 0xBBEB5D;

constexpr int kPopupY = 424;

void draw_cargo_box(Canvas& canvas, int bx, int oy, bool gold) {
  const int top = kCargoBottomRowTop + oy;
  fill_rect(canvas, bx, top, bx + 10, top + 10, gold ? kGoldCargoColor : kRedCargoColor);
  fill_rect(canvas, bx, top, bx + 10, top + 3, gold ? kGoldLidColor : kRedLidColor);
  draw_line(canvas, bx + 2, 476 + oy, bx + 4, 480 + oy, 1, kTickColor);
  draw_line(canvas, bx + 4, 480 + oy, bx + 6, 476 + oy, 1, kTickColor);
}

void draw_meander(Canvas& canvas, int ix, int iy) {
  for (int pass = 0; pass < 2; ++pass) {
    const int width = pass == 0 ? 5 : 3;
    const Color color = pass == 0 ? kMeanderOutlineColor : kMeanderTraceColor;
    for (int i = 0; i + 1 < kMeanderPointCount; ++i) {
      draw_line(canvas, ix + kMeanderPoints[i].x, iy + kMeanderPoints[i].y, ix + kMeanderPoints[i + 1].x,
                iy + kMeanderPoints[i + 1].y, width, color);
    }
  }
}

void draw_booster(Canvas& canvas, int ix, int iy, bool gold) {
  if (gold) {
    fill_ellipse(canvas, ix - 28, iy - 28, 56, 56, kGlowColor);
    draw_line(canvas, ix - 27, iy - 19, ix - 32, iy - 24, 2, kSparkleColor);
    draw_line(canvas, ix + 26, iy + 17, ix + 32, iy + 23, 2, kSparkleColor);
  }
  for (const BoxFace& face : kBoosterFaces) {
    Point corners[4];
    for (int k = 0; k < 4; ++k) corners[k] = {ix + face.corners[k].x, iy + face.corners[k].y};
    fill_polygon(canvas, corners, 4, gold ? face.gold : face.red);
  }
  draw_line(canvas, ix - 16, iy - 8, ix + 4, iy - 3, 1, kEdgeHighlightColor);
  constexpr int kMarkPoints = sizeof kZigzagMark / sizeof kZigzagMark[0];
  for (int i = 0; i + 1 < kMarkPoints; ++i) {
    draw_line(canvas, ix + kZigzagMark[i].x, iy + kZigzagMark[i].y, ix + kZigzagMark[i + 1].x,
              iy + kZigzagMark[i + 1].y, 2, kZigzagColor);
  }
}

}  // namespace

void draw_catcher(Canvas& canvas, const GameState& state) {
  const int px = pixel_of(state.player_x);
  fill_ellipse(canvas, px - 58, 528, 116, 10, kShadowColor);
  fill_rect(canvas, px - 58, 484, px + 12, 513, kBodyColor);
  fill_rect(canvas, px - 58, 480, px - 51, 512, kRearPostColor);
  fill_rect(canvas, px + 3, 461, px + 39, 512, kCabColor);
  const Point bonnet[] = {{px + 39, 482}, {px + 55, 487}, {px + 59, 512}, {px + 39, 512}};
  fill_polygon(canvas, bonnet, 4, kCabColor);
  fill_rect(canvas, px + 9, 467, px + 32, 484, kWindowColor);
  draw_line(canvas, px + 13, 469, px + 26, 469, 2, kWindowGlintColor);
  fill_rect(canvas, px + 9, 489, px + 18, 492, kHandleColor);
  fill_rect(canvas, px - 58, 509, px + 59, 517, kChassisColor);
  fill_rect(canvas, px + 51, 493, px + 58, 500, kHeadlightColor);
  fill_rect(canvas, px - 59, 495, px - 54, 503, kTailLightColor);
  fill_ellipse(canvas, px - 42, 508, 25, 27, kWheelColor);
  fill_ellipse(canvas, px + 27, 508, 25, 27, kWheelColor);
  fill_ellipse(canvas, px - 35, 515, 11, 12, kHubColor);
  fill_ellipse(canvas, px + 34, 515, 11, 12, kHubColor);
  draw_line(canvas, px - 48, 485, px - 3, 485, 3, kStripeColor);
  draw_text(canvas, px - 46, 489, "BRIXOL", Font::body, kLetteringColor);

  // The load never holds more boxes than the bed has slots, whatever the count says.
  const int boxes = state.cargo_count < 0 ? 0 : state.cargo_count > kCargoSlots ? kCargoSlots : state.cargo_count;
  for (int i = 0; i < boxes; ++i) {
    const int bx = px - 49 + 12 * (i % kCargoPerRow);
    const int oy = -11 * (i / kCargoPerRow);
    draw_cargo_box(canvas, bx, oy, state.cargo[i] != 0);
  }
}

void draw_falling_item(Canvas& canvas, const GameState& state) {
  const int ix = pixel_of(state.item.x);
  const int iy = pixel_of(state.item.y);
  if (state.item.is_meander) {
    draw_meander(canvas, ix, iy);
  } else {
    draw_booster(canvas, ix, iy, state.item.is_gold != 0);
  }
}

void draw_particles(Canvas& canvas, const GameState& state) {
  for (const Particle& p : state.particles) {
    if (!(p.life > 0)) continue;
    const int r = p.life > 0.25 ? 3 : 2;
    const Color color = p.is_gold ? kGoldSparkColor : kRedSparkColor;
    const int cx = pixel_of(p.x), cy = pixel_of(p.y);
    draw_line(canvas, cx - r, cy, cx + r, cy, 2, color);
    draw_line(canvas, cx, cy - r, cx, cy + r, 2, color);
  }
}

void draw_popup(Canvas& canvas, const GameState& state) {
  if (!(state.popup_timer > 0)) return;
  const int px = pixel_of(state.player_x);
  if (state.popup_kind == Popup::lost_life) {
    draw_text(canvas, px - 35, kPopupY, "-1 LIFE", Font::strong, 0x7474FF);
  } else if (state.popup_kind == Popup::gold_booster) {
    draw_text(canvas, px - 57, kPopupY, "+5  +1 LIFE", Font::strong, 0x5BDDFF);
  } else {
    draw_text(canvas, px - 13, kPopupY, "+1", Font::strong, 0xB1E24E);
  }
}
