// The scene backdrop read back pixel by pixel: the sky, the six scenes and their layouts by
// level, the device lamps with their windows and waves, the machines, the lamp posts and
// the label; and the quick drawing held to the plain one, pixel for pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/painters.h"
#include "render/scenes.h"
#include "tests/render_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr Color kLampLit = 0xB5F252;
constexpr Color kLampUnlit = 0x74634F;
constexpr Color kLitWindow = 0x69BFEB;

GameState scene_state(int level, int connected, double clock = 0.0) {
  GameState state = play_state();
  state.level = level;
  state.connected = connected;
  state.play_clock = clock;
  state.connect_flash_timer = 0;
  state.level_points = 0;
  return state;
}

Canvas& canvas_with_backdrop(const GameState& state) {
  Canvas& canvas = test_canvas();
  draw_scene_backdrop(canvas, state);
  return canvas;
}

// Where structure i of a scene stands, worked out from the scene's rules.
struct Place {
  int anchor_x, left, right, mast_x, height, top, device;
  Color body;
};

Place place_of(int level, int i) {
  const SceneLook& look = scene_look(level);
  Place p{};
  p.anchor_x = 20 + look.row.pitch * i;
  p.left = p.anchor_x - 8;
  p.right = p.left + look.row.body_width;
  p.mast_x = p.left + look.row.mast_offset;
  p.height = look.heights.base + (look.heights.level_factor * level + look.heights.step * i) % look.heights.range;
  p.top = 447 - p.height;
  p.device = look.machines_between_pairs ? 3 * (i / 2) + i % 2 : i;
  p.body = look.buildings == Buildings::barns ? (i % 2 == 0 ? 0x5477B0 : 0x446286)
                                              : mix_color(look.structure_color, look.far_color, 0.1 * (i % 3));
  return p;
}

int structure_count(int level) { return scene_look(level).row.count; }

// The middle of a structure's lamp, which nothing drawn later covers.
Color lamp_of(const Canvas& canvas, const Place& p) { return canvas_pixel(canvas, p.mast_x, p.top - 22); }

// True where something drawn after the structure row may cover the pixel: the lamp posts,
// and the scene's machines with their waves (boxes a little larger than they are).
bool hidden_by_later_layers(int level, int x, int y) {
  auto inside = [x, y](int left, int top, int right, int bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
  };
  for (int n = 0; n < 5; ++n) {
    if (inside(65 + 163 * n - 3, 425, 65 + 163 * n + 22, 494)) return true;
  }
  const int scene = level % 6;
  for (int k = 0; k < 4; ++k) {
    const int c = 80 + 191 * k + 6;
    if (scene == 2 && inside(c - 45, (k % 2 == 0 ? 297 : 315) - 45, c + 45, 446)) return true;
    if ((scene == 3 || scene == 4) && inside(c - 34, 372, c + 34, 446)) return true;
    if (scene == 5 && inside(c - 34, 350, c + 34, 423)) return true;
    if (scene == 1 && inside(96 + 199 * k - 56, 355, 96 + 199 * k + 40, 442)) return true;
  }
  for (int j = 0; j < 3 && scene == 1; ++j) {
    const int h = 102 + 272 * j, J = 247 + (j % 2 ? 24 : 0);
    if (inside(h - 42, J - 73, h + 115, 441)) return true;
  }
  return false;
}

// True when some pixel of the box (inclusive) has exactly this colour.
bool shows(const Canvas& canvas, int left, int top, int right, int bottom, Color color) {
  return count_color(canvas, left, top, right, bottom, color) > 0;
}

Color raw_pixel(const Canvas& canvas, int x, int y) {
  uint32_t word;
  std::memcpy(&word,
              cairo_image_surface_get_data(canvas.surface) + y * cairo_image_surface_get_stride(canvas.surface) + 4 * x,
              4);
  return word;
}

// The whole raster, every byte of every pixel.
std::vector<uint32_t> raster_of(const Canvas& canvas) {
  cairo_surface_flush(canvas.surface);
  const int height = cairo_image_surface_get_height(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  std::vector<uint32_t> words(static_cast<size_t>(stride / 4) * height);
  std::memcpy(words.data(), cairo_image_surface_get_data(canvas.surface), words.size() * 4);
  return words;
}

// Fills the raster with noise, so that nothing of an earlier frame can pass for a result.
void scribble(Canvas& canvas, uint32_t seed) {
  cairo_surface_flush(canvas.surface);
  unsigned char* data = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  for (int y = 0; y < cairo_image_surface_get_height(canvas.surface); ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < cairo_image_surface_get_width(canvas.surface); ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = seed;
    }
  }
  cairo_surface_mark_dirty(canvas.surface);
}

std::string first_difference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int stride_words) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) {
      char text[96];
      std::snprintf(text, sizeof text, "first difference at (%zu, %zu): %08x vs %08x", i % stride_words,
                    i / stride_words, a[i], b[i]);
      return text;
    }
  }
  return a.size() == b.size() ? "none" : "sizes differ";
}


// ---------------------------------------------------------------------------------------

TEST(BackdropSky, HundredBandsMixedFromTopToBottom) {
  for (int level = 0; level < 6; ++level) {
    const SceneLook& style = kScenes[level];
    const Canvas& canvas = canvas_with_backdrop(scene_state(level, 0));
    // Above the label and right of the clouds and suns nothing covers the sky.
    for (int y = 0; y < 126; y += 6) {
      const Color band = mix_color(style.sky_top, style.sky_bottom, y / 600.0);
      EXPECT_EQ(canvas_pixel(canvas, 790, y), band) << "level " << level << " y " << y;
      EXPECT_EQ(canvas_pixel(canvas, 790, y + 5), band) << "level " << level << " y " << y + 5;
      EXPECT_TRUE(area_is(canvas, 0, y, 799, y + 5, band)) << "level " << level << " band at " << y;
    }
    // The last band, below the posts.
    EXPECT_TRUE(area_is(canvas, 0, 594, 799, 599, mix_color(style.sky_top, style.sky_bottom, 0.99))) << level;
  }
  // Worked by hand for the city: 0x2A170D toward 0x523D23 at 0.2, truncated.
  EXPECT_EQ(canvas_pixel(canvas_with_backdrop(scene_state(0, 0)), 400, 122), 0x321E11u);
}

TEST(BackdropSky, StarsWhereTheLevelPutsThemWrappingAtTheRightEdge) {
  for (int level : {0, 5, 6, 11}) {
    const GameState state = scene_state(level, 0);
    const Canvas& canvas = canvas_with_backdrop(state);
    const SceneLook& style = kScenes[level % 6];
    int checked = 0;
    for (int k = 0; k < 48; ++k) {
      const int x = (19 * level + 35 + 173 * k) % 800;
      const int y = 155 + (13 * level + 71 * k) % 180;
      if (y > 225) continue;                                 // lower ones may stand behind buildings
      if (level % 6 == 5 && x >= 640 && y >= 165) continue;  // behind the moon
      const Color sky = mix_color(style.sky_top, style.sky_bottom, (y / 6 * 6) / 600.0);
      EXPECT_NE(canvas_pixel(canvas, x, y), sky) << "level " << level << " star " << k << " at " << x << "," << y;
      ++checked;
    }
    EXPECT_GT(checked, 10);
  }
  // Scenes with a sun have no stars: the same places show plain sky there.
  const Canvas& sunny = canvas_with_backdrop(scene_state(1, 0));
  const SceneLook& style = kScenes[1];
  EXPECT_EQ(canvas_pixel(sunny, 35 + 19, 155 + 13 + 1), mix_color(style.sky_top, style.sky_bottom, 168 / 600.0));
}

TEST(BackdropSky, SunCloudsAndThePaleSunOfTheSnowyPeaks) {
  for (int level = 1; level <= 4; ++level) {
    const Canvas& canvas = canvas_with_backdrop(scene_state(level, 0));
    const int sun_left = 620 - 43 * (level % 3);
    EXPECT_EQ(canvas_pixel(canvas, sun_left + 26, 205), level == 3 ? 0xCFE5E1u : 0x86BEF4u) << level;
    const Color cloud = mix_color(kScenes[level].sky_bottom, 0xDBDEDD, 0.3);
    const int f = 70 + (23 * level) % 75;
    for (int n = 0; n < 3; ++n) {
      const int o = (31 * n) % 55;
      EXPECT_EQ(canvas_pixel(canvas, f + 190 * n + 32, 193 + o + 8), cloud) << level << " cloud " << n;
      EXPECT_EQ(canvas_pixel(canvas, f + 190 * n + 32, 184 + o + 4), cloud) << level << " cloud top " << n;
    }
  }
  const Canvas& coast = canvas_with_backdrop(scene_state(5, 0));
  EXPECT_EQ(canvas_pixel(coast, 650, 200), 0xE1E7DBu);  // the crescent's lit edge
  EXPECT_EQ(canvas_pixel(coast, 675, 187), 0x4E2613u);  // bitten out in the top sky colour
  EXPECT_EQ(canvas_pixel(coast, 20, 360), 0x5B401Cu);   // the sea
}

TEST(BackdropLandscape, SnowCapsOnlyOnTheSnowyPeaks) {
  // Far peak n = 3 of level 3 rises to 233 + (19*3 + 263 + 37*3) mod 80 = 264 at x = 475.
  const Canvas& snowy = canvas_with_backdrop(scene_state(3, 0));
  EXPECT_EQ(canvas_pixel(snowy, 475, 274), 0xE5DECFu);
  EXPECT_GT(count_color(snowy, 0, 230, 799, 446, 0xE5DECF), 500);
  save_frame(snowy, "backdrop_level3_snowy_peaks");
  for (int level : {2, 4, 8, 10}) {
    const Canvas& canvas = canvas_with_backdrop(scene_state(level, 0));
    EXPECT_EQ(count_color(canvas, 0, 0, 799, 599, 0xE5DECF), 0) << level;
  }
  // Without its cap the same peak is the far colour.
  const Canvas& desert = canvas_with_backdrop(scene_state(4, 0));
  const int p = 233 + (19 * 4 + 263 + 37 * 3) % 80;
  EXPECT_EQ(canvas_pixel(desert, 475, p + 12), kScenes[4].far_color);
}

TEST(BackdropLandscape, FieldsPatchesAndFurrowsOfTheCountryside) {
  const Canvas& canvas = canvas_with_backdrop(scene_state(2, 0));
  EXPECT_EQ(canvas_pixel(canvas, 150, 366), 0x496936u);  // between the patches, above them
  EXPECT_EQ(canvas_pixel(canvas, 100, 380), 0x417749u);  // patch 0
  EXPECT_EQ(canvas_pixel(canvas, 230, 380), 0x47856Cu);  // patch 1
  // Furrow 3 runs from (3, 447) to (75, 373): at y = 380 it passes x = 68.
  EXPECT_NE(canvas_pixel(canvas, 68, 380), 0x417749u);
  EXPECT_EQ(canvas_pixel(canvas, 58, 380), 0x417749u);
  EXPECT_EQ(canvas_pixel(canvas, 78, 380), 0x417749u);
  EXPECT_NE(canvas_pixel(canvas, 49, 400), 0x417749u);
}

TEST(BackdropStructures, LampsAndWindowsLightWithTheirDevices) {
  int windows_checked = 0, lamps_checked = 0;
  for (int level : {0, 3, 4, 5, 6, 9}) {
    for (int connected : {0, 5, 12}) {
      const Canvas& canvas = canvas_with_backdrop(scene_state(level, connected));
      const SceneLook& style = kScenes[level % 6];
      const int columns = level % 6 == 5 || level % 6 == 0 ? 2 : 5;
      for (int i = 0; i < structure_count(level); ++i) {
        const Place p = place_of(level, i);
        const bool lit = connected > p.device;
        if (!hidden_by_later_layers(level, p.mast_x, p.top - 22)) {
          EXPECT_EQ(lamp_of(canvas, p), lit ? kLampLit : kLampUnlit) << level << " " << connected << " " << i;
          ++lamps_checked;
        }
        if (p.height <= 32) continue;
        const Color window = lit ? kLitWindow : mix_color(p.body, style.sky_bottom, 0.15);
        const int rows = (p.height - 16) / 17;
        for (int r = 0; r <= rows; ++r) {
          for (int c = 0; c <= columns; ++c) {
            const int x = p.anchor_x + 13 * c, y = p.top + 13 + 17 * r;
            // Window middles show the window; the gaps right of and below them the body.
            const bool is_window = r < rows && c < columns;
            if (y + 4 < 447 && !hidden_by_later_layers(level, x + 3, y + 4)) {
              EXPECT_EQ(canvas_pixel(canvas, x + 3, y + 4), is_window ? window : p.body)
                  << level << " " << connected << " " << i << " row " << r << " column " << c;
              windows_checked += is_window;
            }
            if (is_window && !hidden_by_later_layers(level, x + 9, y + 4)) {
              EXPECT_EQ(canvas_pixel(canvas, x + 9, y + 4), p.body) << level << " " << i;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(windows_checked, 300);
  EXPECT_GT(lamps_checked, 100);
}

TEST(BackdropStructures, TheCoastsLastFourBuildingsStayDarkEvenWithEverythingConnected) {
  const GameState state = scene_state(5, 12);
  const Canvas& canvas = canvas_with_backdrop(state);
  save_frame(canvas, "backdrop_level5_all_connected");
  for (int i = 8; i < 12; ++i) {
    const Place p = place_of(5, i);
    EXPECT_GE(p.device, 12);
    EXPECT_EQ(lamp_of(canvas, p), kLampUnlit) << i;
    EXPECT_EQ(canvas_pixel(canvas, p.anchor_x + 3, p.top + 17), mix_color(p.body, kScenes[5].sky_bottom, 0.15));
  }
  // The four buoys carry 2, 5, 8 and 11 and are all lit.
  for (int k = 0; k < 4; ++k) EXPECT_EQ(canvas_pixel(canvas, 80 + 191 * k + 6, 389), 0xB6F553u) << k;
}

TEST(BackdropStructures, BarnsWindowsOnlyAboveThirtyTwoAndLitOneByOne) {
  const int heights[8] = {26, 43, 36, 29, 46, 39, 32, 49};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(place_of(2, i).height, heights[i]);
  for (int connected = 0; connected <= 3; ++connected) {
    const Canvas& canvas = canvas_with_backdrop(scene_state(2, connected));
    save_frame(canvas, "backdrop_level2_connected" + std::to_string(connected));
    // Barns 0, 3 and 6 are plain walls from their top to the ground.
    for (int i : {0, 3, 6}) {
      const Place p = place_of(2, i);
      int checked = 0;
      for (int y = p.top + 1; y < 447; ++y) {
        for (int x = p.left + 1; x < p.anchor_x + 45; ++x) {
          if (hidden_by_later_layers(2, x, y)) continue;
          ASSERT_EQ(canvas_pixel(canvas, x, y), p.body) << connected << " barn " << i << " at " << x << "," << y;
          ++checked;
        }
      }
      EXPECT_GT(checked, 25) << i;  // barn 6 stands mostly behind a turbine
    }
    // Barn 1 (device 1) has one row of three windows.
    const Place barn1 = place_of(2, 1);
    const Color window = connected >= 2 ? kLitWindow : mix_color(barn1.body, kScenes[2].sky_bottom, 0.15);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(canvas_pixel(canvas, barn1.anchor_x + 13 * c + 3, barn1.top + 17), window);
    EXPECT_EQ(canvas_pixel(canvas, barn1.anchor_x + 13 * 3 + 3, barn1.top + 17), barn1.body);  // no fourth
    EXPECT_EQ(lamp_of(canvas, place_of(2, 0)), connected >= 1 ? kLampLit : kLampUnlit);
    EXPECT_EQ(lamp_of(canvas, barn1), connected >= 2 ? kLampLit : kLampUnlit);
    // The first turbine's hub lamp carries device 2.
    EXPECT_EQ(canvas_pixel(canvas, 86, 297), connected >= 3 ? 0xBFF964u : 0xCBCBB3u);
  }
}

TEST(BackdropStructures, AnotherLayoutOnEachReturnToAScene) {
  const GameState first = scene_state(0, 4);
  const GameState again = scene_state(6, 4);
  const std::vector<Color> first_frame = snapshot(canvas_with_backdrop(first), 0, 0, 799, 599);
  const Canvas& canvas = canvas_with_backdrop(again);
  save_frame(canvas, "backdrop_level6_city_again");
  // Same sky and label, other buildings: building 0 is 80 high at level 0 and 147 at level 6.
  EXPECT_EQ(snapshot(canvas, 0, 0, 799, 125), std::vector<Color>(first_frame.begin(), first_frame.begin() + 800 * 126));
  EXPECT_EQ(place_of(0, 0).height, 80);
  EXPECT_EQ(place_of(6, 0).height, 147);
  EXPECT_EQ(canvas_pixel(canvas, 13, 310), kScenes[0].structure_color);
  EXPECT_NE(first_frame[310 * 800 + 13], kScenes[0].structure_color);
  EXPECT_NE(snapshot(canvas, 0, 155, 799, 446),
            std::vector<Color>(first_frame.begin() + 800 * 155, first_frame.begin() + 800 * 447));
}

TEST(BackdropStructures, RoofsByLevel) {
  // City level 0: v = i mod 3; building 0 has a gable, 1 a roof box, 2 nothing.
  const Canvas& canvas = canvas_with_backdrop(scene_state(0, 0));
  const Place gable = place_of(0, 0), box = place_of(0, 1), flat = place_of(0, 2);
  EXPECT_EQ(canvas_pixel(canvas, gable.mast_x + 8, gable.top - 3), kScenes[0].near_color);
  EXPECT_EQ(canvas_pixel(canvas, box.anchor_x + 10, box.top - 4), box.body);
  const Color sky_at = mix_color(kScenes[0].sky_top, kScenes[0].sky_bottom, ((flat.top - 4) / 6 * 6) / 600.0);
  EXPECT_EQ(canvas_pixel(canvas, flat.anchor_x + 10, flat.top - 4), sky_at);
  // Factories: the saw-tooth and the chimney, in the body colour.
  const Canvas& factories = canvas_with_backdrop(scene_state(1, 0));
  const Place f = place_of(1, 3);
  EXPECT_EQ(canvas_pixel(factories, f.left + 14, f.top - 3), f.body);
  EXPECT_EQ(canvas_pixel(factories, f.anchor_x, f.top - 30), f.body);
}

// ---------------------------------------------------------------------------------------

TEST(BackdropMachines, NineteenLampsOfTheSmartIndustryAtTwelve) {
  // Cranes and swaying arms stand in front of some factory lamps: over a few moments every
  // lamp shows some of its middle, always in its right colour.
  for (int connected : {0, 1, 5, 12}) {
    bool factory_seen[12] = {};
    for (double clock : {0.0, 1.3, 2.65, 4.0}) {
      const Canvas& canvas = canvas_with_backdrop(scene_state(1, connected, clock));
      if (connected == 12 && clock == 0.0) save_frame(canvas, "backdrop_level1_all_connected");
      for (int i = 0; i < 12; ++i) {
        const Place p = place_of(1, i);
        const bool on = connected > i;
        factory_seen[i] |=
            shows(canvas, p.mast_x - 1, p.top - 24, p.mast_x + 2, p.top - 21, on ? kLampLit : kLampUnlit);
        EXPECT_FALSE(shows(canvas, p.mast_x - 1, p.top - 24, p.mast_x + 2, p.top - 21, on ? kLampUnlit : kLampLit))
            << i;
      }
    }
    const Canvas& canvas = canvas_with_backdrop(scene_state(1, connected));
    int lit = 0;
    for (int i = 0; i < 12; ++i) {
      EXPECT_TRUE(factory_seen[i]) << connected << " factory " << i;
      lit += connected > i && factory_seen[i];
    }
    for (int j = 0; j < 3; ++j) {
      const int h = 102 + 272 * j, J = 247 + (j % 2 ? 24 : 0);
      const Color lamp = canvas_pixel(canvas, h, J - 33);
      EXPECT_EQ(lamp, connected > 4 * j ? 0xBBF15Du : 0x715C50u) << "crane " << j;
      lit += lamp == 0xBBF15D;
    }
    for (int k = 0; k < 4; ++k) {
      const Color lamp = canvas_pixel(canvas, 96 + 199 * k - 22, 413);
      EXPECT_EQ(lamp, connected > 3 * k + 1 ? 0xC1F568u : 0x74624Du) << "arm " << k;
      lit += lamp == 0xC1F568;
    }
    if (connected == 12) {
      EXPECT_EQ(lit, 19);
    }
    if (connected == 5) {
      EXPECT_EQ(lit, 5 + 2 + 2);
    }
  }
}

TEST(BackdropMachines, CranesAndRobotArmsInTheirColours) {
  const Canvas& canvas = canvas_with_backdrop(scene_state(1, 0, 0.0));
  for (int j = 0; j < 3; ++j) {
    const int h = 102 + 272 * j, J = 247 + (j % 2 ? 24 : 0);
    EXPECT_EQ(canvas_pixel(canvas, h + 50, J), 0x5091C0u) << "jib " << j;
    EXPECT_EQ(canvas_pixel(canvas, h, J + 100), 0x5091C0u) << "tower " << j;
    EXPECT_EQ(canvas_pixel(canvas, h + 86, J + 30), 0xA99D88u) << "cable " << j;
  }
  // At clock 0 the sway of arm k is trunc(8 sin k): 0, 6, 7, 1.
  const int sway[4] = {0, 6, 7, 1};
  for (int k = 0; k < 4; ++k) {
    const int m = 96 + 199 * k, o = m + sway[k];
    EXPECT_EQ(canvas_pixel(canvas, m - 20, 435), 0x635647u) << "base " << k;
    EXPECT_EQ(canvas_pixel(canvas, m - 33, 405), 0x3180DAu) << "lower arm " << k;
    EXPECT_EQ(canvas_pixel(canvas, (m - 40 + o) / 2, 380), 0x47A5EEu) << "upper arm " << k;
    EXPECT_EQ(canvas_pixel(canvas, o + 6, 369), 0xD7D2BFu) << "gripper " << k;
    EXPECT_EQ(canvas_pixel(canvas, m - 22, 425), 0xB7AB92u) << "joint " << k;  // above the post arm
  }
  // Later the arms have moved.
  const std::vector<Color> still = snapshot(canvas, 0, 355, 799, 390);
  const Canvas& later = canvas_with_backdrop(scene_state(1, 0, 1.0));
  EXPECT_NE(snapshot(later, 0, 355, 799, 390), still);
}

TEST(BackdropMachines, TurbineBladesTurnWithTheClock) {
  // At clock 0 blade 0 points right from the hub (c, t).
  const Canvas& canvas = canvas_with_backdrop(scene_state(2, 0, 0.0));
  for (int k = 0; k < 4; ++k) {
    const int c = 80 + 191 * k + 6, t = k % 2 == 0 ? 297 : 315;
    EXPECT_EQ(canvas_pixel(canvas, c + 25, t), 0xDDE5D7u) << k;
    EXPECT_EQ(canvas_pixel(canvas, c, t + 60), 0xCFCDB7u) << "tower " << k;
  }
  // A quarter turn later (0.55 rad/s) it points down.
  const double quarter = (kPi / 2) / 0.55;
  const Canvas& turned = canvas_with_backdrop(scene_state(2, 0, quarter));
  EXPECT_NE(canvas_pixel(turned, 86 + 25, 297), 0xDDE5D7u);
  EXPECT_EQ(canvas_pixel(turned, 86, 297 + 25), 0xDDE5D7u);
}

TEST(BackdropMachines, CabinetsOfTheSnowAndTheDesert) {
  for (int level : {3, 4}) {
    const Canvas& canvas = canvas_with_backdrop(scene_state(level, 5));
    for (int k = 1; k < 4; ++k) {
      const int h = 80 + 191 * k;
      EXPECT_EQ(canvas_pixel(canvas, h - 4, 428), 0x704B29u) << level << " box " << k;
      EXPECT_EQ(canvas_pixel(canvas, h + 4, 427), 0xB5A07Bu) << level << " door " << k;
      EXPECT_EQ(canvas_pixel(canvas, h + 6, 418), 0x87876Au) << level << " post " << k;
      EXPECT_EQ(canvas_pixel(canvas, h + 6, 411), 5 > 3 * k + 2 ? 0xB6F553u : 0x837456u) << level << " lamp " << k;
    }
  }
}

// ---------------------------------------------------------------------------------------

TEST(BackdropForeground, LampPostsLightAtOneThreeFiveSevenNinePoints) {
  for (int points = 0; points <= 11; ++points) {
    GameState state = scene_state(0, 0);
    state.level_points = points;
    const Canvas& canvas = canvas_with_backdrop(state);
    int lit = 0;
    for (int n = 0; n < 5; ++n) {
      const int x = 65 + 163 * n;
      const Color lamp = canvas_pixel(canvas, x + 14, 430);
      EXPECT_EQ(lamp, points > 2 * n ? 0x7FDAFFu : 0x655A4Cu) << points << " post " << n;
      lit += lamp == 0x7FDAFF;
      EXPECT_EQ(canvas_pixel(canvas, x, 470), kScenes[0].near_color) << "pole " << n;
    }
    EXPECT_EQ(lit, std::min(5, (points + 1) / 2)) << points;
  }
  const Canvas& canvas = canvas_with_backdrop(scene_state(4, 0));
  EXPECT_TRUE(area_is(canvas, 0, 447, 60, 454, kScenes[4].near_color));
}

TEST(BackdropForeground, TheLabelNamesTheSceneAndCountsTheConnections) {
  Canvas& expected = plain_canvas();
  for (int level = 0; level < 6; ++level) {
    for (int connected : {0, 7, 12}) {
      const Canvas& canvas = canvas_with_backdrop(scene_state(level, connected));
      EXPECT_TRUE(area_is(canvas, 18, 128, 27, 153, 0x392213)) << level;
      EXPECT_TRUE(area_is(canvas, 18, 128, 527, 132, 0x392213)) << level;
      const SceneLook& style = kScenes[level];
      EXPECT_EQ(canvas_pixel(canvas, 17, 140), mix_color(style.sky_top, style.sky_bottom, 138 / 600.0))
          << "box from 18";
      EXPECT_NE(canvas_pixel(canvas, 528, 140), 0x392213u) << "the box ends before 528";
      // The very text, two spaces either side of the bar, drawn alone on the box.
      fill_rect(expected, 18, 128, 528, 154, 0x392213);
      const std::string text =
          std::string(kScenes[level].name) + "  |  Connected: " + std::to_string(connected) + " / 12";
      draw_text(expected, 28, 133, text.c_str(), Font::body, 0xDAD2AD);
      EXPECT_TRUE(areas_equal(canvas, 18, 128, expected, 18, 128, 510, 26)) << text;
      EXPECT_GT(changed_pixels(canvas, 28, 133, 527, 153, 0x392213).count, 200) << text;
    }
  }
}

// ---------------------------------------------------------------------------------------

// The three arcs of device d as they must be: worked out here from the rules, drawn with
// draw_polyline.
void expected_waves(Canvas& canvas, const GameState& state, int x, int y, int d) {
  const bool highlighted = state.connect_flash_timer > 0 && d == state.connected - 1;
  const double speed = highlighted ? 1.45 : 0.7, strength = highlighted ? 0.95 : 0.48;
  for (int e = 0; e < 3; ++e) {
    const double phase = std::fmod(speed * state.play_clock + 0.17 * d + e / 3.0, 1.0);
    const double r = 5 + 29 * phase;
    Point points[17];
    for (int q = 0; q < 17; ++q) {
      const double theta = (25 + 8.125 * q) * kPi / 180;
      points[q] = {x + static_cast<int>(std::trunc(r * std::cos(theta))),
                   y - static_cast<int>(std::trunc(r * std::sin(theta)))};
    }
    draw_polyline(canvas, points, 17, highlighted ? 2 : 1, mix_color(0x695624, 0xD7FF70, (1 - phase) * strength));
  }
}

TEST(SignalWaves, ThreeArcsGrowingFadingAndSpacedByDevice) {
  Canvas& canvas = test_canvas();
  Canvas& expected = plain_canvas();
  for (double clock : {0.0, 0.37, 5.5, 123.456, 7777.7}) {
    for (int d : {0, 3, 11}) {
      for (bool flash : {false, true}) {
        GameState state = scene_state(0, 4, clock);
        state.connect_flash_timer = flash ? 1.0 : 0.0;
        fill_rect(canvas, 300, 200, 500, 320, 0x203040);
        fill_rect(expected, 300, 200, 500, 320, 0x203040);
        draw_signal_waves(canvas, state, 400, 300, d);
        expected_waves(expected, state, 400, 300, d);
        EXPECT_TRUE(areas_equal(canvas, 300, 200, expected, 300, 200, 200, 120)) << clock << " " << d << " " << flash;
        // The arcs open upward: nothing at or below the centre row.
        EXPECT_TRUE(area_is(canvas, 300, 300, 499, 319, 0x203040)) << clock << " " << d;
        const PixelBox box = changed_pixels(canvas, 300, 200, 499, 319, 0x203040);
        EXPECT_GE(box.top, 300 - 36);
        EXPECT_LE(box.right - box.left, 2 * 31 + 2);
      }
    }
  }
}

TEST(SignalWaves, TheLastConnectedDevicePulsesWiderWhileItsFlashRuns) {
  Canvas& canvas = test_canvas();
  // At clock 0 both pulses have the same phases, so the arcs have the same radii.
  GameState calm = scene_state(0, 4, 0.0);
  GameState flashing = calm;
  flashing.connect_flash_timer = 2.2;
  fill_rect(canvas, 300, 200, 500, 320, 0x203040);
  draw_signal_waves(canvas, calm, 400, 300, 3);
  const int calm_pixels = changed_pixels(canvas, 300, 200, 499, 319, 0x203040).count;
  fill_rect(canvas, 300, 200, 500, 320, 0x203040);
  draw_signal_waves(canvas, flashing, 400, 300, 3);
  const int flashing_pixels = changed_pixels(canvas, 300, 200, 499, 319, 0x203040).count;
  EXPECT_GT(flashing_pixels, calm_pixels * 3 / 2);
  // Any other device keeps its calm pulse during the flash.
  fill_rect(canvas, 300, 200, 500, 320, 0x203040);
  draw_signal_waves(canvas, flashing, 400, 300, 2);
  EXPECT_EQ(changed_pixels(canvas, 300, 200, 499, 319, 0x203040).count, [&] {
    Canvas& other = plain_canvas();
    fill_rect(other, 300, 200, 500, 320, 0x203040);
    draw_signal_waves(other, calm, 400, 300, 2);
    return changed_pixels(other, 300, 200, 499, 319, 0x203040).count;
  }());
  // A flash that ran out is calm again.
  flashing.connect_flash_timer = 0;
  fill_rect(canvas, 300, 200, 500, 320, 0x203040);
  draw_signal_waves(canvas, flashing, 400, 300, 3);
  EXPECT_EQ(changed_pixels(canvas, 300, 200, 499, 319, 0x203040).count, calm_pixels);
}

TEST(SignalWaves, OnlyAboveLitLampsAndTheFlashingOneInTheFrame) {
  // City level 0 with three devices: the space above lamps 0..2 changes with the clock,
  // above the others it never does.
  const GameState early = scene_state(0, 3, 1.0);
  const GameState later = scene_state(0, 3, 1.3);
  const Canvas& a = canvas_with_backdrop(early);
  std::vector<std::vector<Color>> before;
  for (int i = 0; i < 12; ++i) {
    const Place p = place_of(0, i);
    before.push_back(snapshot(a, p.mast_x - 31, p.top - 60, p.mast_x + 31, p.top - 27));
  }
  const Canvas& b = canvas_with_backdrop(later);
  for (int i = 0; i < 12; ++i) {
    const Place p = place_of(0, i);
    const bool same = snapshot(b, p.mast_x - 31, p.top - 60, p.mast_x + 31, p.top - 27) == before[i];
    EXPECT_EQ(same, i >= 3) << i;
  }
  // With its flash running, device 2's waves are the highlighted ones in the frame too.
  GameState flashing = later;
  flashing.connect_flash_timer = 1.0;
  Canvas& canvas = test_canvas();
  draw_scene_backdrop(canvas, flashing);
  save_frame(canvas, "backdrop_level0_flash_device2");
  Canvas& expected = plain_canvas();
  draw_scene_backdrop(expected, later);  // the calm frame ...
  const Place p2 = place_of(0, 2);
  const int area_top = p2.top - 60, area_bottom = p2.top - 26;
  const std::vector<Color> calm_area = snapshot(expected, p2.mast_x - 33, area_top, p2.mast_x + 33, area_bottom);
  EXPECT_NE(snapshot(canvas, p2.mast_x - 33, area_top, p2.mast_x + 33, area_bottom), calm_area);
  for (int i : {0, 1, 3}) {
    const Place p = place_of(0, i);
    EXPECT_TRUE(areas_equal(canvas, p.mast_x - 31, p.top - 60, expected, p.mast_x - 31, p.top - 60, 63, 34)) << i;
  }
}

// ---------------------------------------------------------------------------------------
// The quick drawing against the plain one

void expect_same_as_plain(const GameState& state, uint32_t seed, const std::string& what) {
  Canvas& quick = test_canvas();
  Canvas& plain = plain_canvas();
  scribble(quick, seed);
  scribble(plain, seed * 7 + 1);
  draw_scene_backdrop(quick, state);
  draw_scene_backdrop(plain, state);
  const std::vector<uint32_t> a = raster_of(quick), b = raster_of(plain);
  ASSERT_EQ(a, b) << what << ": " << first_difference(a, b, cairo_image_surface_get_stride(quick.surface) / 4);
}

TEST(BackdropQuick, EveryScenePixelForPixelAsDrawnPlainly) {
  uint32_t seed = 1;
  for (int level = 0; level < 14; ++level) {
    for (int connected : {0, 1, 3, 6, 11, 12}) {
      for (double clock : {0.016 * level, 61.9 + level}) {
        GameState state = scene_state(level, connected, clock);
        state.level_points = (level + connected) % 12;
        state.connect_flash_timer = connected % 2 ? 1.7 : 0.0;
        expect_same_as_plain(state, seed++,
                             "level " + std::to_string(level) + " connected " + std::to_string(connected) + " clock " +
                                 std::to_string(clock));
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(BackdropQuick, AMinuteOfPlayFrameByFrame) {
  // As a level is played: the clock moves on, devices connect with their flash, points
  // come; the still picture kept on earlier frames is used on later ones.
  for (int level : {1, 2}) {
    GameState state = scene_state(level, 0, 0.0);
    for (int frame = 0; frame < 3750; ++frame) {
      state.play_clock += 0.016;
      if (state.connect_flash_timer > 0) state.connect_flash_timer -= 0.016;
      if (frame % 300 == 299 && state.connected < 12) {
        ++state.connected;
        ++state.level_points;
        state.connect_flash_timer = 2.2;
      }
      if (frame % 75 != 0) {
        draw_scene_backdrop(test_canvas(), state);  // kept picture reused, unchecked
        continue;
      }
      expect_same_as_plain(state, static_cast<uint32_t>(frame + 1),
                           "level " + std::to_string(level) + " frame " + std::to_string(frame));
      if (HasFatalFailure()) return;
    }
  }
}

TEST(BackdropQuick, ClocksThatCannotHappenStillDrawSafely) {
  // The clock only grows from 0 in a game; a broken one must not make the drawing misbehave
  // (the sanitizer build checks the conversions).
  for (double clock :
       {-3.7, 1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    for (int level : {1, 2, 5}) {
      GameState state = scene_state(level, 12, clock);
      state.connect_flash_timer = 1.0;
      expect_same_as_plain(state, 31, "clock " + std::to_string(clock) + " level " + std::to_string(level));
    }
  }
}

// ---------------------------------------------------------------------------------------

TEST(BackdropFrames, AllSixScenesForPeopleToLookAt) {
  const int connected[6] = {4, 12, 7, 2, 9, 12};
  for (int level = 0; level < 6; ++level) {
    GameState state = scene_state(level, connected[level], 3.7 + level);
    state.level_points = 2 * level;
    state.connect_flash_timer = 1.2;
    const Canvas& canvas = canvas_with_backdrop(state);
    save_frame(canvas, "backdrop_scene" + std::to_string(level));
    EXPECT_EQ(raw_pixel(canvas, 0, 0) & 0xFFFFFF, [&] {
      const Color top = kScenes[level].sky_top;
      return ((top & 0xFF) << 16) | (top & 0xFF00) | ((top >> 16) & 0xFF);
    }());
  }
}

}  // namespace
