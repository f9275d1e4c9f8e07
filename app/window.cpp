#include "app/window.h"

#include <algorithm>

#include "app/platform.h"
#include "game/letterbox.h"
#include "render/painters.h"

SDL_Texture* make_field_texture(SDL_Renderer* renderer, const Canvas& canvas) {
  // Cairo's RGB24 keeps each pixel as a native 32-bit word 0x00RRGGBB, which is exactly
  // SDL's RGB888: the canvas uploads without conversion.
  SDL_Texture* texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, canvas.width, canvas.height);
  // Beyond the cap, and below the floor, the renderer scales the rest.
  if (texture != nullptr) SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
  return texture;
}

bool fit_canvas_to_output(ShellWindow& shell, int output_width, int output_height) {
  static const bool stretch = [] {
    const char* value = SDL_getenv("ORBILUX_RUSH_STRETCH_FIELD");
    return value != nullptr && value[0] != '\0' && value[0] != '0';
  }();
  const double scale = stretch ? 1.0 : draw_scale_for(letterbox_for(output_width, output_height), shell.draw_scale_cap);
  bool made_anew = false;
  if (scale != shell.canvas.scale) {
    if (!canvas_set_scale(shell.canvas, scale)) return false;  // drawn at the old scale, stretched
    made_anew = true;
  }
  int texture_width = 0, texture_height = 0;
  if (shell.texture == nullptr ||
      SDL_QueryTexture(shell.texture, nullptr, nullptr, &texture_width, &texture_height) != 0 ||
      texture_width != shell.canvas.width || texture_height != shell.canvas.height) {
    SDL_Texture* texture = make_field_texture(shell.renderer, shell.canvas);
    if (texture != nullptr) {
      if (shell.texture != nullptr) SDL_DestroyTexture(shell.texture);
      shell.texture = texture;
    }
  }
  return made_anew;
}

SDL_Point opening_window_size(double desktop_scale, const SDL_Rect& usable, int border_width, int border_height) {
  const double wanted = std::max(1.0, desktop_scale);
  const double room_width = usable.w - border_width, room_height = usable.h - border_height;
  // A screen that tells nothing useful gets the field at the desktop's scale as it is.
  const double fits = room_width > 0 && room_height > 0
                          ? std::min(room_width / kFieldWidth, room_height / kFieldHeight)
                          : wanted;
  const double scale = std::min(wanted, fits);
  return {std::max(1, static_cast<int>(kFieldWidth * scale)), std::max(1, static_cast<int>(kFieldHeight * scale))};
}

SDL_Point minimum_window_size(double desktop_scale, const SDL_Rect& usable, int border_width, int border_height) {
  const int outer_width = static_cast<int>(kMinOuterWidth * desktop_scale);
  const int outer_height = static_cast<int>(kMinOuterHeight * desktop_scale);
  // A screen too small for it (a laptop panel at 200 %) gets no floor: the letterbox fits the
  // field into whatever the window is, and the compositor may tile it smaller still.
  const bool known = usable.w > 0 && usable.h > 0;
  if (known && (outer_width > usable.w || outer_height > usable.h)) return {1, 1};
  return {std::max(1, outer_width - border_width), std::max(1, outer_height - border_height)};
}

namespace {

// Where SDL cannot tell the borders (Wayland, where the compositor adds them or not), room is
// kept for a title bar and thin edges, so that a window fitted to a small screen fits on it whole.
constexpr int kUnknownBorderWidth = 16, kUnknownBorderHeight = 48;

struct Borders {
  int width = 0, height = 0;
};

Borders borders_of(SDL_Window* window, Borders if_unknown) {
  int top = 0, left = 0, bottom = 0, right = 0;
  if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0) return if_unknown;
  return {left + right, top + bottom};
}

SDL_Rect usable_bounds_of(SDL_Window* window) {
  SDL_Rect usable{};
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = {};
  return usable;
}

// The window, still hidden, sized to 800 x 600 of the desktop's units within the screen's
// work area, and centred (platform.h says where the scale comes from).
void open_at_desktop_scale(ShellWindow& shell) {
  shell.desktop_scale = desktop_scale(shell.window);
  const Borders borders = borders_of(shell.window, {kUnknownBorderWidth, kUnknownBorderHeight});
  const SDL_Point size =
      opening_window_size(shell.desktop_scale, usable_bounds_of(shell.window), borders.width, borders.height);
  int width = 0, height = 0;
  SDL_GetWindowSize(shell.window, &width, &height);
  if (size.x == width && size.y == height) return;
  const int display = std::max(SDL_GetWindowDisplayIndex(shell.window), 0);
  SDL_SetWindowSize(shell.window, size.x, size.y);
  SDL_SetWindowPosition(shell.window, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

bool is_fullscreen(SDL_Window* window) {
  return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

bool shown_pixel_for_pixel(SDL_Texture* texture, const SDL_Rect& target) {
  int width = 0, height = 0;
  return SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) == 0 && width == target.w &&
         height == target.h;
}

// Whether the renderer draws through OpenGL on a rasteriser that runs on the processor (Mesa's
// llvmpipe or softpipe, a "Software Rasterizer"): there the window's frames cost many times
// what SDL's own software renderer costs for the very same pixels.
bool opengl_without_gpu(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned int);
  constexpr unsigned int kGlRenderer = 0x1F01;
  const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (get_string == nullptr || SDL_GL_GetCurrentContext() == nullptr) return false;
  const char* name = reinterpret_cast<const char*>(get_string(kGlRenderer));
  return name != nullptr && (SDL_strstr(name, "llvmpipe") != nullptr || SDL_strstr(name, "softpipe") != nullptr ||
                             SDL_strstr(name, "Software Rasterizer") != nullptr);
}

// The renderer the player asked for (SDL_RENDER_DRIVER), or SDL's first choice; where that is
// OpenGL without a GPU, SDL's software renderer drawing straight into the window instead.
SDL_Renderer* create_software_renderer(SDL_Window* window) {
  for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(i, &info) != 0 || SDL_strcmp(info.name, "software") != 0) continue;
    // The window's own pixels, not a texture of OpenGL's standing in for them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, i, 0);
  }
  return nullptr;
}

SDL_Renderer* create_renderer(SDL_Window* window) {
  const char* asked = SDL_getenv("SDL_RENDER_DRIVER");
  const bool chosen = asked != nullptr && asked[0] != '\0';
  if (!chosen && !gpu_present()) {  // not even OpenGL's libraries loaded for nothing
    if (SDL_Renderer* software = create_software_renderer(window)) return software;
  }
  // No vsync: the 16 ms deadlines pace the game, and a present must not block past them.
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  if (renderer == nullptr || chosen || !opengl_without_gpu(renderer)) return renderer;
  SDL_DestroyRenderer(renderer);
  SDL_Renderer* software = create_software_renderer(window);
  return software != nullptr ? software : SDL_CreateRenderer(window, -1, 0);
}

}  // namespace

bool drawn_by_software(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

bool create_shell_window(ShellWindow& shell) {
  // Hidden until everything it shows exists; the loop shows it.
  shell.window = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kFieldWidth,
                                  kFieldHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN);
  if (shell.window == nullptr) return false;
  // Before the renderer: its first buffer, at the window's size then, is the one a Wayland
  // compositor takes the window's natural size from.
  open_at_desktop_scale(shell);
  shell.renderer = create_renderer(shell.window);
  if (shell.renderer == nullptr) {
    destroy_shell_window(shell);
    return false;
  }
  // Only now: making the renderer may recreate the window and forget its size limits.
  apply_minimum_size(shell);
  shell.canvas_made = canvas_create(shell.canvas);
  if (!shell.canvas_made) {
    destroy_shell_window(shell);
    SDL_SetError("cannot make the 800 x 600 drawing surface");
    return false;
  }
  shell.texture = make_field_texture(shell.renderer, shell.canvas);
  if (shell.texture == nullptr) {
    destroy_shell_window(shell);
    return false;
  }
  return true;
}

void show_shell_window(ShellWindow& shell) {
  SDL_ShowWindow(shell.window);
  if (shown_window_lost_its_toplevel(shell.window)) {
    // The compositor draws no decorations and wants ours: a kiosk's, whose one window fills
    // its screen and cannot be moved. The window goes up again without any, all of it field.
    SDL_SetWindowBordered(shell.window, SDL_FALSE);
    SDL_HideWindow(shell.window);
    SDL_ShowWindow(shell.window);
  }
  apply_minimum_size(shell);
}

void destroy_shell_window(ShellWindow& shell) {
  if (shell.canvas_made) canvas_destroy(shell.canvas);
  shell.canvas_made = false;
  if (shell.texture != nullptr) SDL_DestroyTexture(shell.texture);
  if (shell.renderer != nullptr) SDL_DestroyRenderer(shell.renderer);
  if (shell.window != nullptr) SDL_DestroyWindow(shell.window);
  shell.texture = nullptr;
  shell.renderer = nullptr;
  shell.window = nullptr;
}

void apply_minimum_size(ShellWindow& shell) {
  // Unknown borders (no window manager yet, or none at all) count as none.
  const Borders borders = borders_of(shell.window, {});
  const SDL_Point size =
      minimum_window_size(shell.desktop_scale, usable_bounds_of(shell.window), borders.width, borders.height);
  if (size.x == shell.min_width && size.y == shell.min_height) return;
  SDL_SetWindowMinimumSize(shell.window, size.x, size.y);
  shell.min_width = size.x;
  shell.min_height = size.y;
}

bool set_fullscreen(ShellWindow& shell, bool fullscreen) {
  SDL_Window* window = shell.window;
  // Asked before the switch: SDL forgets the window's own place once it is fullscreen.
  SDL_Rect before{};
  SDL_GetWindowPosition(window, &before.x, &before.y);
  SDL_GetWindowSize(window, &before.w, &before.h);
  if (SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  // SDL asks the window manager for fullscreen and takes the screen's size as the window's at
  // once. With nobody to answer, the window would keep its size and show the corner of a
  // picture drawn for the whole screen: the game places it as the window manager would have.
  if (fullscreen && !window_manager_present(window)) {
    SDL_Rect screen{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &screen) != 0) return true;
    if (!shell.placed_by_game) shell.windowed_place = before;
    shell.placed_by_game = true;
    place_unmanaged_window(window, screen);
  } else if (!fullscreen && shell.placed_by_game) {
    shell.placed_by_game = false;
    place_unmanaged_window(window, shell.windowed_place);
  }
  return true;
}

bool toggle_fullscreen(ShellWindow& shell) { return set_fullscreen(shell, !is_fullscreen(shell.window)); }

void show_canvas(SDL_Renderer* renderer, SDL_Texture* texture, const Canvas& canvas, int output_width,
                 int output_height, const SDL_Rect* changed, int changed_count) {
  cairo_surface_flush(canvas.surface);
  const unsigned char* pixels = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  if (changed == nullptr) SDL_UpdateTexture(texture, nullptr, pixels, stride);
  for (int i = 0; changed != nullptr && i < changed_count; ++i)
    SDL_UpdateTexture(texture, &changed[i], pixels + changed[i].y * stride + changed[i].x * 4, stride);
  SDL_SetRenderDrawColor(renderer, kLetterboxRed, kLetterboxGreen, kLetterboxBlue, SDL_ALPHA_OPAQUE);
  const Letterbox box = letterbox_for(output_width, output_height);
  if (box.width <= 0 || box.height <= 0) {
    SDL_RenderClear(renderer);
    return;
  }
  // Only the bars around the field are filled: the field covers the rest, and filling the
  // whole output first would cost a software renderer a second pass over every pixel.
  const SDL_Rect target{box.x, box.y, box.width, box.height};
  const SDL_Rect bars[] = {{0, 0, output_width, target.y},
                           {0, target.y + target.h, output_width, output_height - target.y - target.h},
                           {0, target.y, target.x, target.h},
                           {target.x + target.w, target.y, output_width - target.x - target.w, target.h}};
  for (const SDL_Rect& bar : bars)
    if (bar.w > 0 && bar.h > 0) SDL_RenderFillRect(renderer, &bar);
  // SDL's software renderer draws into the window's own pixels, which stay as they were from
  // one frame to the next; other renderers start each frame on a back buffer that holds
  // nothing certain.
  if (changed != nullptr && drawn_by_software(renderer) && shown_pixel_for_pixel(texture, target)) {
    for (int i = 0; i < changed_count; ++i) {
      const SDL_Rect to{target.x + changed[i].x, target.y + changed[i].y, changed[i].w, changed[i].h};
      SDL_RenderCopy(renderer, texture, &changed[i], &to);
    }
    return;
  }
  SDL_RenderCopy(renderer, texture, nullptr, &target);
}

void present_frame(ShellWindow& shell, const GameState& state) {
  if (SDL_GetWindowFlags(shell.window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) return;
  // In pixels of the drawable, which on a high-density screen can exceed the window's size.
  int width = 0, height = 0;
  if (SDL_GetRendererOutputSize(shell.renderer, &width, &height) != 0 || width <= 0 || height <= 0) return;
  fit_canvas_to_output(shell, width, height);
  compose_frame(shell.canvas, state);
  show_canvas(shell.renderer, shell.texture, shell.canvas, width, height);
  SDL_RenderPresent(shell.renderer);
}
