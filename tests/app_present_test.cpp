// Showing the canvas in a window of any size, with SDL's software renderer drawing into
// a plain surface: where the field lands, the letterbox around it, and the colours.
#include <SDL.h>
#include <gtest/gtest.h>

#include "app/window.h"
#include "render/canvas.h"

namespace {

constexpr Uint32 kLetterbox = 0x0D172A;  // the surface's 0x00RRGGBB for the game's 0x2A170D

// The canvas in four flat quarters, the colours of the game's 0x00BBGGRR.
constexpr Color kTopLeft = 0x331BDF, kTopRight = 0x00FF00, kBottomLeft = 0xFF0000, kBottomRight = 0x808080;
constexpr Uint32 kTopLeftSurface = 0xDF1B33, kTopRightSurface = 0x00FF00, kBottomLeftSurface = 0x0000FF,
                 kBottomRightSurface = 0x808080;

class Presenter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(canvas_create(canvas_));
    paint_quarters();
  }
  void TearDown() override {
    release_output();
    canvas_destroy(canvas_);
  }

  void paint_quarters() {
    fill_rect(canvas_, 0, 0, 400, 300, kTopLeft);
    fill_rect(canvas_, 400, 0, 800, 300, kTopRight);
    fill_rect(canvas_, 0, 300, 400, 600, kBottomLeft);
    fill_rect(canvas_, 400, 300, 800, 600, kBottomRight);
  }

  void release_output() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
    texture_ = nullptr;
    renderer_ = nullptr;
    surface_ = nullptr;
  }

  // Shows the canvas in a new output of width x height (the surface is at least 1 x 1).
  void show(int width, int height) {
    release_output();
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, std::max(width, 1), std::max(height, 1), 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(surface_, nullptr) << SDL_GetError();
    SDL_FillRect(surface_, nullptr, 0xABCDEF);  // whatever was there before
    renderer_ = SDL_CreateSoftwareRenderer(surface_);
    ASSERT_NE(renderer_, nullptr) << SDL_GetError();
    texture_ = make_field_texture(renderer_, canvas_);
    ASSERT_NE(texture_, nullptr) << SDL_GetError();
    show_canvas(renderer_, texture_, canvas_, width, height);
    SDL_RenderPresent(renderer_);
  }

  Uint32 pixel(int x, int y) const {
    const auto* row = static_cast<const Uint8*>(surface_->pixels) + y * surface_->pitch;
    return reinterpret_cast<const Uint32*>(row)[x] & 0xFFFFFF;
  }

  Canvas canvas_;
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
};

// Pango's shared font map lives until released; releasing it at the end keeps the leak
// checker's report to what the presenter itself would lose.
class ReleaseFontMap : public ::testing::Environment {
 public:
  void TearDown() override { pango_cairo_font_map_set_default(nullptr); }
};
const auto* const kReleaseFontMap = ::testing::AddGlobalTestEnvironment(new ReleaseFontMap);

}  // namespace

TEST_F(Presenter, AtItsOwnSizeTheFieldLandsPixelForPixel) {
  show(800, 600);
  EXPECT_EQ(pixel(0, 0), kTopLeftSurface) << "red in the game's low byte ends up red on screen";
  EXPECT_EQ(pixel(399, 299), kTopLeftSurface);
  EXPECT_EQ(pixel(400, 0), kTopRightSurface);
  EXPECT_EQ(pixel(0, 300), kBottomLeftSurface);
  EXPECT_EQ(pixel(799, 599), kBottomRightSurface);
}

TEST_F(Presenter, AWiderWindowHasBarsLeftAndRight) {
  show(1000, 600);
  EXPECT_EQ(pixel(0, 300), kLetterbox);
  EXPECT_EQ(pixel(99, 0), kLetterbox);
  EXPECT_EQ(pixel(100, 0), kTopLeftSurface);
  EXPECT_EQ(pixel(899, 599), kBottomRightSurface);
  EXPECT_EQ(pixel(900, 599), kLetterbox);
  EXPECT_EQ(pixel(999, 0), kLetterbox);
}

TEST_F(Presenter, ATallerWindowScalesAndHasBarsAboveAndBelow) {
  show(1000, 1000);  // scale 1.25: 1000 x 750 at (0, 125)
  EXPECT_EQ(pixel(500, 0), kLetterbox);
  EXPECT_EQ(pixel(500, 124), kLetterbox);
  EXPECT_EQ(pixel(100, 200), kTopLeftSurface);
  EXPECT_EQ(pixel(900, 800), kBottomRightSurface);
  EXPECT_EQ(pixel(500, 875), kLetterbox);
  EXPECT_EQ(pixel(999, 999), kLetterbox);
}

TEST_F(Presenter, TwiceTheSizeFillsTheWindow) {
  show(1600, 1200);
  EXPECT_EQ(pixel(0, 0), kTopLeftSurface);
  EXPECT_EQ(pixel(1599, 1199), kBottomRightSurface);
  EXPECT_EQ(pixel(1000, 200), kTopRightSurface);
}

TEST_F(Presenter, HalfTheSizeShrinksTheField) {
  show(400, 300);
  EXPECT_EQ(pixel(50, 50), kTopLeftSurface);
  EXPECT_EQ(pixel(350, 250), kBottomRightSurface);
}

TEST_F(Presenter, TinyAndEmptyOutputsShowOnlyTheLetterbox) {
  show(1, 1);  // the field would be 1 x 0 pixels: nothing of it shows
  EXPECT_EQ(pixel(0, 0), kLetterbox);
}

TEST_F(Presenter, AnEmptyOutputDrawsNoField) {
  show(0, 0);
  EXPECT_NE(pixel(0, 0), kTopLeftSurface);
}

// The software renderer keeps the window's pixels between frames: shown pixel for pixel, a
// changed frame copies only its changed rectangles and leaves the rest of the window as it
// was; stretched, the whole field is copied, as on any other renderer.
TEST_F(Presenter, OnlyTheChangedRectanglesAreCopiedWhereTheFieldIsShownPixelForPixel) {
  for (const int width : {800, 1600}) {
    SCOPED_TRACE(width);
    const int k = width / 800;
    paint_quarters();
    show(width, width * 3 / 4);
    const SDL_Rect elsewhere{550 * k, 450 * k, 10, 10};
    SDL_FillRect(surface_, &elsewhere, 0x123456);  // stands for what the window already shows
    fill_rect(canvas_, 100, 100, 300, 200, kTopRight);
    const SDL_Rect changed[] = {{100, 100, 200, 100}};
    show_canvas(renderer_, texture_, canvas_, width, width * 3 / 4, changed, 1);
    SDL_RenderPresent(renderer_);
    EXPECT_EQ(pixel(150 * k, 150 * k), kTopRightSurface);
    EXPECT_EQ(pixel(550 * k, 450 * k), width == 800 ? 0x123456u : kBottomRightSurface);
    EXPECT_EQ(pixel(50 * k, 50 * k), kTopLeftSurface);
  }
}

// The window's first size against the plain rule: the field at the desktop's scale when that
// fits the work area's room, else the largest whole field that does, its shape kept.
TEST(OpeningWindowSize, TheFieldAtTheDesktopsScaleOrTheLargestThatFits) {
  for (double scale : {1.0, 1.25, 1.5, 2.0, 3.0, 0.5}) {
    for (SDL_Rect usable : {SDL_Rect{0, 0, 1920, 1080}, SDL_Rect{0, 0, 2560, 1600}, SDL_Rect{0, 0, 1366, 728},
                            SDL_Rect{0, 0, 640, 480}, SDL_Rect{0, 0, 0, 0}}) {
      const SDL_Point size = opening_window_size(scale, usable, 16, 62);
      const double wanted = std::max(1.0, scale);
      const int room_w = usable.w - 16, room_h = usable.h - 62;
      const bool fits = usable.w == 0 || (800 * wanted <= room_w && 600 * wanted <= room_h);
      SCOPED_TRACE(testing::Message() << scale << " on " << usable.w << " x " << usable.h);
      if (fits) {
        EXPECT_EQ(size.x, static_cast<int>(800 * wanted));
        EXPECT_EQ(size.y, static_cast<int>(600 * wanted));
      } else {
        EXPECT_LE(size.x, room_w);
        EXPECT_LE(size.y, room_h);
        EXPECT_TRUE(size.x >= room_w - 1 || size.y >= room_h - 1) << "not the largest that fits";
        EXPECT_NEAR(size.x * 3.0, size.y * 4.0, 4.0) << "the field's shape";
      }
    }
  }
}

// The floor against the plain rule: 580 x 460 outer at the desktop's scale less the borders
// where the work area holds it, none at all (any size the compositor gives) where it does not.
TEST(MinimumWindowSize, TheFloorOnlyWhereItFits) {
  for (double scale : {1.0, 1.5, 2.0}) {
    for (SDL_Rect usable : {SDL_Rect{0, 0, 1920, 1080}, SDL_Rect{0, 0, 640, 400}, SDL_Rect{0, 0, 1280, 800},
                            SDL_Rect{0, 0, 0, 0}}) {
      const SDL_Point size = minimum_window_size(scale, usable, 16, 62);
      const bool fits = usable.w == 0 || (580 * scale <= usable.w && 460 * scale <= usable.h);
      SCOPED_TRACE(testing::Message() << scale << " on " << usable.w << " x " << usable.h);
      EXPECT_EQ(size.x, fits ? static_cast<int>(580 * scale) - 16 : 1);
      EXPECT_EQ(size.y, fits ? static_cast<int>(460 * scale) - 62 : 1);
    }
  }
}
