// The title page without its picture, and picture bytes that are damaged: the page must
// still be drawn, and no bytes may crash the decoder or hand back a broken picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "assets/mascot.h"
#include "game/game_state.h"
#include "render/canvas.h"
#include "render/painters.h"

namespace {

// Where the title page shows the picture.
constexpr int kPictureLeft = 413, kPictureTop = 73, kPictureRight = 793, kPictureBottom = 547;
constexpr Color kWhite = 0xFFFFFF;

int white_samples_in_picture_area(const Canvas& canvas, int* samples) {
  int white = 0;
  *samples = 0;
  for (int y = kPictureTop; y < kPictureBottom; y += 5) {
    for (int x = kPictureLeft; x < kPictureRight; x += 5) {
      *samples += 1;
      if (canvas_pixel(canvas, x, y) == kWhite) white += 1;
    }
  }
  return white;
}

class TitleCanvas : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(canvas_create(canvas_)); }
  void TearDown() override { canvas_destroy(canvas_); }
  Canvas canvas_;
  GameState title_;  // a fresh record shows the title page
};

TEST_F(TitleCanvas, WithoutThePictureThePageIsDrawnAndItsPlaceStaysWhite) {
  ASSERT_NE(canvas_.picture, nullptr) << "the embedded picture did not load";
  compose_frame(canvas_, title_);
  int samples = 0;
  const int white_with_picture = white_samples_in_picture_area(canvas_, &samples);
  ASSERT_LT(white_with_picture, samples) << "the picture should show in its place";

  cairo_surface_destroy(canvas_.picture);
  canvas_.picture = nullptr;  // as if it had failed to load at start
  fill_rect(canvas_, 0, 0, 800, 600, 0x000000);
  compose_frame(canvas_, title_);
  EXPECT_EQ(white_samples_in_picture_area(canvas_, &samples), samples);
  EXPECT_EQ(canvas_pixel(canvas_, 5, 5), kWhite) << "the rest of the page is drawn too";
}

// Bytes of a PNG whose header claims the given size; nothing follows that could fill it.
std::vector<unsigned char> png_claiming(uint32_t width, uint32_t height) {
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<unsigned char>(v >> shift));
  }
  for (unsigned char b : {8, 2, 0, 0, 0}) png.push_back(b);  // 8-bit RGB
  for (int i = 0; i < 4; ++i) png.push_back(0);              // a checksum that does not match
  return png;
}

// Null, or a picture of a sane size that can be drawn.
void expect_null_or_sane(cairo_surface_t* picture, const char* what, Canvas& canvas) {
  if (picture == nullptr) return;
  EXPECT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS) << what;
  EXPECT_GT(cairo_image_surface_get_width(picture), 0) << what;
  EXPECT_GT(cairo_image_surface_get_height(picture), 0) << what;
  draw_image(canvas, picture, 10, 10, 38, 47);
  cairo_surface_destroy(picture);
}

TEST_F(TitleCanvas, DamagedPictureBytesGiveNoPictureOrAWholeOne) {
  const EmbeddedFile mascot = mascot_png();
  ASSERT_GT(mascot.size, 100u);
  EXPECT_EQ(load_picture(nullptr, 0), nullptr);
  EXPECT_EQ(load_picture(mascot.data, 0), nullptr);

  // Cut short anywhere: inside the signature, the header, the data, before the end.
  for (size_t length : {size_t{1}, size_t{8}, size_t{20}, size_t{33}, size_t{60}, mascot.size / 3, mascot.size / 2,
                        mascot.size - 13, mascot.size - 1}) {
    expect_null_or_sane(load_picture(mascot.data, length), "cut short", canvas_);
  }
  // One byte flipped in the middle of the compressed data.
  std::vector<unsigned char> flipped(mascot.data, mascot.data + mascot.size);
  flipped[flipped.size() / 2] ^= 0xFF;
  expect_null_or_sane(load_picture(flipped.data(), flipped.size()), "a flipped byte", canvas_);
  // Not a picture at all.
  const std::vector<unsigned char> text(4096, 'x');
  EXPECT_EQ(load_picture(text.data(), text.size()), nullptr);
  // Headers that claim far more than there is, or nothing at all.
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{65535, 65535}, {0x7FFFFFFF, 1}, {0, 0}, {1, 0x7FFFFFFF}}) {
    const std::vector<unsigned char> png = png_claiming(w, h);
    EXPECT_EQ(load_picture(png.data(), png.size()), nullptr) << w << " x " << h;
  }
  // The intact bytes still give the whole picture.
  cairo_surface_t* whole = load_picture(mascot.data, mascot.size);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(whole), 380);
  EXPECT_EQ(cairo_image_surface_get_height(whole), 474);
  cairo_surface_destroy(whole);
}

}  // namespace
