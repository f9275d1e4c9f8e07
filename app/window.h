// The game's one window: an SDL window, a renderer, and the canvas shown in it through a
// streaming texture, letterboxed whatever the window's size. The canvas is drawn at the size
// the field is shown at (up to a cap), so the texture lands pixel for pixel.
#pragma once

#include <SDL.h>

#include "game/game_state.h"
#include "game/letterbox.h"
#include "render/canvas.h"

inline constexpr char kWindowTitle[] = "Orbilux Rush";
// The smallest outer size the player can drag the window to, borders included.
inline constexpr int kMinOuterWidth = 580;
inline constexpr int kMinOuterHeight = 460;
// Around the field, 0x2A170D in the game's 0x00BBGGRR colours.
inline constexpr Uint8 kLetterboxRed = 0x0D, kLetterboxGreen = 0x17, kLetterboxBlue = 0x2A;

struct ShellWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;  // the canvas's pixels, at the canvas's size
  Canvas canvas;
  bool canvas_made = false;
  int min_width = 0, min_height = 0;  // the minimum client size last handed to SDL
  // Window units per field unit at the desktop's own scale: the window opens at 800 x 600 of
  // the desktop's units, and the smallest size the player can drag it to scales alike.
  double desktop_scale = 1.0;
  // The largest scale the canvas is drawn at; the web page lowers it on a slow device.
  double draw_scale_cap = kDrawScaleCap;
  // Where the window was before fullscreen, when the game itself had to place it there (no
  // window manager to remember it).
  bool placed_by_game = false;
  SDL_Rect windowed_place{};
};

// The window's first client size: the field at `desktop_scale` window units a field unit,
// shrunk as a whole (the field's shape kept) to fit the client area that the work area
// `usable` leaves inside borders of `border_width` x `border_height`.
SDL_Point opening_window_size(double desktop_scale, const SDL_Rect& usable, int border_width, int border_height);

// The smallest client size the player can drag the window to: 580 x 460 outer at the
// desktop's scale less the borders, where that fits the work area `usable`; 1 x 1 (no floor)
// on a screen too small for it.
SDL_Point minimum_window_size(double desktop_scale, const SDL_Rect& usable, int border_width, int border_height);

// Switches the window between the whole screen (the desktop's resolution, the field
// letterboxed in it) and the window. Where no window manager answers, the game places the
// window itself, so that the window's real size is always the size SDL draws for.
bool set_fullscreen(ShellWindow& shell, bool fullscreen);
bool toggle_fullscreen(ShellWindow& shell);

// Makes the window (hidden), its renderer, the texture and the canvas with its fonts and
// picture. Returns false with SDL's error set when any of them cannot be made; what was
// made is then released.
bool create_shell_window(ShellWindow& shell);
void destroy_shell_window(ShellWindow& shell);

// Puts the window on the screen, and up again where the compositor made SDL take it down.
void show_shell_window(ShellWindow& shell);

// Hands SDL the minimum client size (minimum_window_size), once the window manager has said
// how wide its borders are. Safe to call again whenever they may change.
void apply_minimum_size(ShellWindow& shell);

// A texture the canvas can be copied into, of its size; the renderer's own after a device reset.
SDL_Texture* make_field_texture(SDL_Renderer* renderer, const Canvas& canvas);

// Sets the canvas's scale for an output of this size (game/letterbox.h), with a texture to
// match. Returns true when the canvas was made anew: it holds no frame then. With
// ORBILUX_RUSH_STRETCH_FIELD=1 the canvas stays at 800 x 600 and the renderer stretches it,
// to compare against.
bool fit_canvas_to_output(ShellWindow& shell, int output_width, int output_height);

// Composes the frame for the state and shows it in the window; nothing for a window that
// is minimised or has no area.
void present_frame(ShellWindow& shell, const GameState& state);

// Whether the renderer is SDL's software one (on the page: its 2D canvas, where the browser
// gives no WebGL).
bool drawn_by_software(SDL_Renderer* renderer);

// The presenting step alone: the canvas uploaded to the texture (only the `changed_count`
// rectangles of `changed` when given, in canvas pixels), the bars around the field in the
// letterbox colour, the field copied scaled into its letterbox rectangle (only the changed
// rectangles, where the renderer keeps its picture and the field is shown pixel for pixel).
// No present.
void show_canvas(SDL_Renderer* renderer, SDL_Texture* texture, const Canvas& canvas, int output_width,
                 int output_height, const SDL_Rect* changed = nullptr, int changed_count = 0);
