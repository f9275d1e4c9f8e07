// The backdrop's bottom layers: the sky in bands, then whichever of stars, moon and sea,
// sun and clouds, mountains (with snow caps) and fields the scene's row asks for, in that
// order. The layouts move with the level (level_term), never with the clock.
#include "render/painters.h"
#include "render/scenes.h"

namespace {

constexpr Color kStarColor = 0xC4AB91;
constexpr Color kMoonColor = 0xE1E7DB;
constexpr Color kSeaColor = 0x5B401C;
constexpr Color kGlintColor = 0x97814A;
constexpr Color kCloudTint = 0xDBDEDD;
constexpr Color kSnowColor = 0xE5DECF;
constexpr Color kFieldColor = 0x496936;
constexpr Color kPatchEvenColor = 0x417749;
constexpr Color kPatchOddColor = 0x47856C;
constexpr Color kFurrowColor = 0x56A098;

void draw_sky(Canvas& canvas, const SceneLook& look) {
  for (int y = 0; y < kFieldHeight; y += 6) {
    fill_rect(canvas, 0, y, kFieldWidth, y + 6, mix_color(look.sky_top, look.sky_bottom, y / double(kFieldHeight)));
  }
}

void draw_stars(Canvas& canvas, int level) {
  for (int k = 0; k < 48; ++k) {
    const int x = level_term(19, level, 35 + 173 * k, kFieldWidth);
    const int y = 155 + level_term(13, level, 71 * k, 180);
    fill_ellipse(canvas, x, y, 2, 2, kStarColor);
  }
}

void draw_moon_and_sea(Canvas& canvas, const SceneLook& look) {
  fill_ellipse(canvas, 646, 173, 43, 43, kMoonColor);
  fill_ellipse(canvas, 656, 168, 38, 38, look.sky_top);  // bites the crescent out of the moon
  fill_rect(canvas, 0, 355, kFieldWidth, 449, kSeaColor);
  for (int n = 0; n <= 12; ++n) {
    const int a = (137 * n) % 700;
    const int y = 370 + 14 * (n % 5);
    draw_line(canvas, a + 30, y, a + 76, y, 1, kGlintColor);
  }
}

void draw_sun_and_clouds(Canvas& canvas, const SceneLook& look, int level) {
  fill_ellipse(canvas, 620 - 43 * (level % 3), 179, 53, 53, look.sun);
  const Color cloud = mix_color(look.sky_bottom, kCloudTint, 0.3);
  const int f = 70 + level_term(23, level, 0, 75);
  for (int n = 0; n < 3; ++n) {
    const int x = f + 190 * n;
    const int o = (31 * n) % 55;
    fill_ellipse(canvas, x, 193 + o, 64, 16, cloud);
    fill_ellipse(canvas, x + 15, 184 + o, 35, 23, cloud);
  }
}

void draw_mountains(Canvas& canvas, const SceneLook& look, int level) {
  for (int r = 0; r < 2; ++r) {
    const Color color = r == 0 ? look.far_color : look.near_color;
    for (int n = 0; n < 7; ++n) {
      const int x = -250 + 65 * r + 190 * n;
      const int p = 233 + 45 * r + level_term(19, level, 263 + 37 * n, 80);
      const Point peak[3] = {{x, 449}, {x + 155, p}, {x + 305, 449}};
      fill_polygon(canvas, peak, 3, color);
      if (look.landscape & kSnowCaps) {
        const Point cap[4] = {{x + 155, p}, {x + 184, p + 39}, {x + 159, p + 27}, {x + 125, p + 40}};
        fill_polygon(canvas, cap, 4, kSnowColor);
      }
    }
  }
}

void draw_fields(Canvas& canvas) {
  fill_rect(canvas, 0, 362, kFieldWidth, kStructureBaseY, kFieldColor);
  for (int n = 0; n < 5; ++n) {
    const int x = 165 * n;
    const Point patch[4] = {{x, 376}, {x + 130, 369}, {x + 160, 447}, {x - 18, 447}};
    fill_polygon(canvas, patch, 4, n % 2 == 0 ? kPatchEvenColor : kPatchOddColor);
  }
  for (int n = 0; n < 30; ++n) draw_line(canvas, 31 * n - 90, 447, 25 * n, 373, 1, kFurrowColor);
}

}  // namespace

void draw_landscape(Canvas& canvas, const SceneLook& look, int level) {
  draw_sky(canvas, look);
  if (look.landscape & kStars) draw_stars(canvas, level);
  if (look.landscape & kMoonAndSea) draw_moon_and_sea(canvas, look);
  if (look.landscape & kSunAndClouds) draw_sun_and_clouds(canvas, look, level);
  if (look.landscape & kMountains) draw_mountains(canvas, look, level);
  if (look.landscape & kFields) draw_fields(canvas);
}
