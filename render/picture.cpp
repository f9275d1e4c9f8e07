// The picture every frame is drawn on: the canvas's surface at its scale, made, rescaled and
// released with its fonts and kept backdrop; PNG bytes decoded into pictures, the
// mascot made for the scale, and the canvas read back or written out.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/game_state.h"
#include "render/canvas_parts.h"
#include "render/shipped_fonts.h"

#ifdef ORBILUX_HAS_MASCOT
#include "assets/mascot.h"
#include "game/letterbox.h"
#endif

namespace {

struct PngReader {
  const unsigned char* data;
  size_t size;
  size_t offset;
};

cairo_status_t read_png_bytes(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (length > reader->size - reader->offset) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

cairo_surface_t* load_picture(const unsigned char* data, size_t size) {
  if (!data || size == 0) return nullptr;
  PngReader reader{data, size, 0};
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(read_png_bytes, &reader);
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_width(decoded) <= 0 ||
      cairo_image_surface_get_height(decoded) <= 0) {
    cairo_surface_destroy(decoded);
    return nullptr;
  }
  const int width = cairo_image_surface_get_width(decoded);
  const int height = cairo_image_surface_get_height(decoded);
  // The title page is white: any transparency in the file settles onto white, and the
  // picture is kept opaque like the page it is drawn on.
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(picture);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, decoded, 0, 0);
  cairo_paint(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_destroy(decoded);
  if (!ok) {
    cairo_surface_destroy(picture);
    return nullptr;
  }
  return picture;
}

namespace {

#ifdef ORBILUX_HAS_MASCOT
static_assert(kMascotRenders >= kDrawScaleCap && kMascotRenders >= kDrawScaleLimit,
              "a render of the mascot for every scale the field is drawn at");
#endif

// The mascot for drawing at `scale`: the render at the smallest whole multiple of its size
// that is not smaller, reduced once (area-averaging) to the pixels the title gives it.
cairo_surface_t* make_picture([[maybe_unused]] double scale) {
#ifdef ORBILUX_HAS_MASCOT
  int times = 1;
  while (times < kMascotRenders && times < scale) ++times;
  const EmbeddedFile file = mascot_png(times);
  cairo_surface_t* render = load_picture(file.data, file.size);
  if (!render) return nullptr;
  const int render_width = cairo_image_surface_get_width(render);
  const int render_height = cairo_image_surface_get_height(render);
  const int width = std::max(1, static_cast<int>(std::lround(render_width / times * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(render_height / times * scale)));
  if (width == render_width && height == render_height) return render;
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(picture);
  cairo_scale(cr, double(width) / render_width, double(height) / render_height);
  cairo_set_source_surface(cr, render, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_destroy(render);
  if (ok) return picture;
  cairo_surface_destroy(picture);
#endif
  return nullptr;
}

// Never the same twice in a run, so a frame memory can tell a surface from its successor.
int next_surface_id() {
  static int made = 0;
  return ++made;
}

}  // namespace

CanvasSize canvas_size_for(double scale) {
  // Truncated like the letterbox, so the canvas is exactly the rectangle the field fills.
  return {std::max(1, static_cast<int>(kFieldWidth * scale)), std::max(1, static_cast<int>(kFieldHeight * scale))};
}

bool canvas_create(Canvas& canvas) {
  canvas.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kFieldWidth, kFieldHeight);
  if (cairo_surface_status(canvas.surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(canvas.surface);
    canvas.surface = nullptr;
    return false;
  }
  canvas.scale = 1;
  canvas.width = kFieldWidth;
  canvas.height = kFieldHeight;
  canvas.cr = cairo_create(canvas.surface);
  canvas.surface_id = next_surface_id();
  load_shipped_fonts();
  make_fonts(canvas);
  canvas.picture = make_picture(1);
  return true;
}

bool canvas_set_scale(Canvas& canvas, double scale) {
  if (!canvas.surface) return false;
  if (scale == canvas.scale) return true;
  // Cairo's images end at 32767 pixels a side.
  if (!(scale > 0 && kFieldWidth * scale < 32768)) return false;
  const CanvasSize size = canvas_size_for(scale);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_destroy(canvas.cr);
  cairo_surface_destroy(canvas.surface);
  canvas.surface = surface;
  canvas.cr = cairo_create(surface);
  cairo_scale(canvas.cr, scale, scale);  // painters draw in field units
  canvas.scale = scale;
  canvas.width = size.width;
  canvas.height = size.height;
  canvas.surface_id = next_surface_id();
  texts_follow_context(canvas);
  // The kept backdrop is made again at the new size on the next play frame.
  if (canvas.kept_backdrop.surface) cairo_surface_destroy(canvas.kept_backdrop.surface);
  canvas.kept_backdrop = KeptBackdrop{};
  forget_coverage(canvas);
  if (canvas.picture) cairo_surface_destroy(canvas.picture);
  canvas.picture = make_picture(scale);
  return true;
}

void canvas_destroy(Canvas& canvas) {
  if (canvas.cr) cairo_destroy(canvas.cr);
  if (canvas.surface) cairo_surface_destroy(canvas.surface);
  if (canvas.picture) cairo_surface_destroy(canvas.picture);
  free_fonts(canvas);
  if (canvas.kept_backdrop.surface) cairo_surface_destroy(canvas.kept_backdrop.surface);
  forget_coverage(canvas);
  canvas = Canvas{};
}

Color canvas_pixel(const Canvas& canvas, int x, int y) {
  if (!canvas.surface || x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return 0;
  cairo_surface_flush(canvas.surface);
  const unsigned char* data = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  uint32_t xrgb;
  std::memcpy(&xrgb, data + y * stride + x * 4, 4);
  const uint32_t r = (xrgb >> 16) & 0xFF, g = (xrgb >> 8) & 0xFF, b = xrgb & 0xFF;
  return r | (g << 8) | (b << 16);
}

bool canvas_write_png(const Canvas& canvas, const char* path) {
  if (!canvas.surface || !path) return false;
  return cairo_surface_write_to_png(canvas.surface, path) == CAIRO_STATUS_SUCCESS;
}
