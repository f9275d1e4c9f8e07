// The mascot picture as the program carries it: decoded the way the title screen decodes it,
// checked for its size, its white surroundings and the things a player should see in it; the
// build rule that puts it there; and the application icon drawn at its smallest size.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/mascot.h"

namespace {

constexpr int picture_width = 380;
constexpr int picture_height = 474;
// Where the title screen puts the picture on its white 800 x 600 page.
constexpr int page_left = 413;
constexpr int page_top = 73;

struct Rgb {
  int r, g, b;
};

bool is_white(Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }
// The cape, the chest plate, the boots and the signal arcs share one strong red.
bool is_strong_red(Rgb c) { return c.r >= 180 && c.g <= 80 && c.b <= 90; }
// Steel: nearly neutral, neither the white page nor the dark body.
bool is_metal_grey(Rgb c) {
  const int hi = std::max({c.r, c.g, c.b});
  const int lo = std::min({c.r, c.g, c.b});
  const int mean = (c.r + c.g + c.b) / 3;
  return hi - lo <= 40 && mean >= 110 && mean <= 215;
}
bool is_dark(Rgb c) { return (c.r + c.g + c.b) / 3 < 90; }
bool is_light(Rgb c) { return (c.r + c.g + c.b) / 3 > 200; }

// Owns a decoded Cairo image.
struct Image {
  cairo_surface_t* surface = nullptr;
  Image() = default;
  explicit Image(cairo_surface_t* s) : surface(s) {}
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  ~Image() {
    if (surface) cairo_surface_destroy(surface);
  }
  bool ok() const { return surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface); }
  int height() const { return cairo_image_surface_get_height(surface); }
  Rgb at(int x, int y) const {
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t v;
    std::memcpy(&v, row + 4 * x, sizeof v);
    return Rgb{int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)};
  }
};

struct ByteReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
};

cairo_status_t read_bytes(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<ByteReader*>(closure);
  if (reader->size - reader->pos < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->pos, length);
  reader->pos += length;
  return CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* decode(const unsigned char* data, size_t size) {
  ByteReader reader{data, size, 0};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(read_bytes, &reader);
  cairo_surface_flush(s);
  return s;
}

std::vector<unsigned char> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t big_endian_u32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

class MascotPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    const EmbeddedFile file = mascot_png();
    ASSERT_NE(file.data, nullptr);
    ASSERT_GT(file.size, 0u);
    image.surface = decode(file.data, file.size);
    ASSERT_TRUE(image.ok()) << cairo_status_to_string(cairo_surface_status(image.surface));
    ASSERT_EQ(image.width(), picture_width);
    ASSERT_EQ(image.height(), picture_height);
  }
  Image image;
};

}  // namespace

// The title screen holds a 24-bit picture: plain 8-bit RGB, no alpha channel, 380 x 474.
TEST(MascotPng, IsAnRgbPngOfThePictureSize) {
  const EmbeddedFile file = mascot_png();
  ASSERT_GE(file.size, 33u);  // signature and the whole IHDR chunk
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(std::memcmp(file.data, signature, 8), 0);
  EXPECT_EQ(std::memcmp(file.data + 12, "IHDR", 4), 0);
  EXPECT_EQ(big_endian_u32(file.data + 16), uint32_t(picture_width));
  EXPECT_EQ(big_endian_u32(file.data + 20), uint32_t(picture_height));
  EXPECT_EQ(file.data[24], 8) << "bit depth";
  EXPECT_EQ(file.data[25], 2) << "colour type 2 is RGB without alpha";
}

TEST_F(MascotPicture, DecodesAsAnOpaqueRgbImage) {
  EXPECT_EQ(cairo_image_surface_get_format(image.surface), CAIRO_FORMAT_RGB24);
}

TEST(MascotPng, ATruncatedCopyDoesNotDecode) {
  const EmbeddedFile file = mascot_png();
  Image cut(decode(file.data, file.size / 2));
  EXPECT_FALSE(cut.ok());
}

// The page behind the picture is white: the corners and an 8-pixel band along every edge must be
// exactly white, or the picture's frame would show on the title screen.
TEST_F(MascotPicture, StandsOnWhiteWithAnEmptyMargin) {
  constexpr int margin = 8;
  int off_white = 0;
  for (int y = 0; y < picture_height; ++y) {
    for (int x = 0; x < picture_width; ++x) {
      const bool in_band = x < margin || y < margin || x >= picture_width - margin || y >= picture_height - margin;
      if (in_band && !is_white(image.at(x, y))) ++off_white;
    }
  }
  EXPECT_EQ(off_white, 0);
  constexpr int corner = 16;
  for (int y = 0; y < corner; ++y) {
    for (int x = 0; x < corner; ++x) {
      ASSERT_TRUE(is_white(image.at(x, y))) << x << "," << y;
      ASSERT_TRUE(is_white(image.at(picture_width - 1 - x, y))) << x << "," << y;
      ASSERT_TRUE(is_white(image.at(x, picture_height - 1 - y))) << x << "," << y;
      ASSERT_TRUE(is_white(image.at(picture_width - 1 - x, picture_height - 1 - y))) << x << "," << y;
    }
  }
}

// The mascot fills its frame: something is drawn near each edge, inside the margin.
TEST_F(MascotPicture, FillsTheFrame) {
  int left = picture_width, right = -1, top = picture_height, bottom = -1;
  for (int y = 0; y < picture_height; ++y) {
    for (int x = 0; x < picture_width; ++x) {
      if (is_white(image.at(x, y))) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_LE(left, 24);
  EXPECT_GE(right, picture_width - 1 - 24);
  EXPECT_LE(top, 24);
  EXPECT_GE(bottom, picture_height - 1 - 24);
}

// Red is the mascot's colour: cape, chest plate and the arcs around the fist; the limbs are steel.
TEST_F(MascotPicture, RedAndMetalAreProminent) {
  int red = 0, grey = 0, red_left = 0, red_top_right = 0;
  for (int y = 0; y < picture_height; ++y) {
    for (int x = 0; x < picture_width; ++x) {
      const Rgb c = image.at(x, y);
      if (is_strong_red(c)) {
        ++red;
        if (x < picture_width / 4) ++red_left;                                  // the cape, blowing out behind
        if (x >= picture_width / 2 && y < picture_height / 4) ++red_top_right;  // the arcs
      }
      if (is_metal_grey(c)) ++grey;
    }
  }
  const int all = picture_width * picture_height;
  EXPECT_GE(red, all * 7 / 100) << "strong red pixels: " << red;
  EXPECT_GE(grey, all * 3 / 100) << "metal grey pixels: " << grey;
  EXPECT_GE(red_left, 2000);
  EXPECT_GE(red_top_right, 1500);
}

// The signal arcs are concentric around the raised fist: on both sides, at the fist's height,
// red rings alternate with white gaps.
TEST_F(MascotPicture, SignalArcsRingTheRaisedFist) {
  constexpr int fist_x = 299, fist_y = 62;
  EXPECT_TRUE(is_metal_grey(image.at(fist_x, fist_y)));  // the fist itself
  for (int radius : {36, 52, 68}) {
    EXPECT_TRUE(is_strong_red(image.at(fist_x + radius, fist_y))) << "right arc " << radius;
    EXPECT_TRUE(is_strong_red(image.at(fist_x - radius, fist_y))) << "left arc " << radius;
  }
  for (int gap : {44, 60}) {
    EXPECT_TRUE(is_white(image.at(fist_x + gap, fist_y))) << "right gap " << gap;
    EXPECT_TRUE(is_white(image.at(fist_x - gap, fist_y))) << "left gap " << gap;
  }
}

// The white zigzag is drawn on the red chest plate: its top middle corner at (188, 282) is white,
// with red all around it.
TEST_F(MascotPicture, ZigzagIsWhiteOnTheRedPlate) {
  EXPECT_TRUE(is_white(image.at(188, 283)));
  EXPECT_TRUE(is_white(image.at(167, 294)));  // halfway down a stroke
  EXPECT_TRUE(is_strong_red(image.at(188, 272)));
  EXPECT_TRUE(is_strong_red(image.at(188, 298)));
  EXPECT_TRUE(is_strong_red(image.at(176, 283)));
  EXPECT_TRUE(is_strong_red(image.at(200, 283)));
}

// The face: two dark eyes on a light panel.
TEST_F(MascotPicture, FaceHasDarkEyesOnALightPanel) {
  EXPECT_TRUE(is_dark(image.at(152, 208)));
  EXPECT_TRUE(is_dark(image.at(208, 208)));
  EXPECT_TRUE(is_light(image.at(180, 205)));  // between the eyes
  EXPECT_TRUE(is_light(image.at(125, 205)));
  EXPECT_TRUE(is_light(image.at(235, 205)));
}

// Laid on the title page at (413, 73), the picture keeps to the right half and shows no frame.
// The composed page is written to the build folder for people to look at.
TEST_F(MascotPicture, SitsOnTheTitlePageWithoutAFrame) {
  Image page(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 800, 600));
  cairo_t* cr = cairo_create(page.surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, image.surface, page_left, page_top);
  cairo_rectangle(cr, page_left, page_top, picture_width, picture_height);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(page.surface);

  int left = 800, right = -1, top = 600, bottom = -1;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      if (is_white(page.at(x, y))) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  // Nothing of the picture's own edge is visible: the drawing starts inside it.
  EXPECT_GT(left, page_left);
  EXPECT_GT(top, page_top);
  EXPECT_LT(right, page_left + picture_width - 1);
  EXPECT_LT(bottom, page_top + picture_height - 1);
  EXPECT_GE(left, 400);

  const std::string path = std::string(ORBILUX_TEST_OUTPUT_DIR) + "/title_page_with_mascot.png";
  EXPECT_EQ(cairo_surface_write_to_png(page.surface, path.c_str()), CAIRO_STATUS_SUCCESS);
}

// The program carries exactly the PNG the build rendered from the current drawing.
TEST(EmbeddedMascot, IsThePngTheBuildWrote) {
  const std::vector<unsigned char> written = read_file(ORBILUX_MASCOT_PNG_FILE);
  const EmbeddedFile file = mascot_png();
  ASSERT_FALSE(written.empty()) << ORBILUX_MASCOT_PNG_FILE;
  ASSERT_EQ(file.size, written.size());
  EXPECT_EQ(std::memcmp(file.data, written.data(), written.size()), 0);
}

TEST(EmbeddedMascot, IsNotOlderThanItsDrawing) {
  namespace fs = std::filesystem;
  EXPECT_GE(fs::last_write_time(ORBILUX_MASCOT_PNG_FILE), fs::last_write_time(ORBILUX_MASCOT_SVG_FILE))
      << "the drawing changed after the picture was rendered; rebuild";
}

// The application icon must still read as the mascot's face at 16 x 16: two dark eyes on the
// light face panel, a red plate below.
TEST(AppIcon, ReadsAsAFaceAtSixteenPixels) {
  const std::string out = std::string(ORBILUX_TEST_OUTPUT_DIR) + "/icon-16.png";
  const std::string command = std::string("\"") + ORBILUX_RSVG_CONVERT + "\" -w 16 -h 16 -b white -o \"" + out +
                              "\" \"" + ORBILUX_ICON_SVG_FILE + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  Image icon(cairo_image_surface_create_from_png(out.c_str()));
  ASSERT_TRUE(icon.ok());
  ASSERT_EQ(icon.width(), 16);
  ASSERT_EQ(icon.height(), 16);
  EXPECT_TRUE(is_dark(icon.at(5, 5)));
  EXPECT_TRUE(is_dark(icon.at(9, 5)));
  EXPECT_TRUE(is_light(icon.at(4, 5)));
  EXPECT_TRUE(is_light(icon.at(7, 5)));  // between the eyes
  EXPECT_TRUE(is_light(icon.at(11, 5)));
  int red_below = 0;
  for (int x = 0; x < 16; ++x) {
    const Rgb c = icon.at(x, 11);
    if (c.r >= 180 && c.g <= 90 && c.b <= 100) ++red_below;
  }
  EXPECT_GE(red_below, 4);
}
