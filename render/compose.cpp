// One frame: the title page, a quiz screen, or the play field built up layer by layer with
// the heads-up display drawn here between the scene and the overlays.
#include "render/painters.h"
#include "render/scenes.h"
#include "render/screen_words.h"

namespace {

constexpr Color kBarColor = 0x392213;
constexpr Color kGroundEdgeTint = 0xBFE2AA;
constexpr double kGroundEdgeMix = 0.45;

// The bars (game/layout.h) and the ground band span the whole width.
constexpr int kGroundEdgeBottom = 539;

// The one buffer every formatted HUD text of a frame passes through.
constexpr int kFrameTextCapacity = 128;

void draw_hud_bars(Canvas& canvas, const GameState& state) {
  fill_rect(canvas, 0, 0, kFieldWidth, kTopBarBottom, kBarColor);
  draw_text(canvas, 28, 18, kGameName, Font::heading, 0xFBF4ED);
  char text[kFrameTextCapacity];
  format_text(text, kFrameTextCapacity, kHudScoreFormat, state.score);
  draw_text(canvas, 570, 18, text, Font::strong, 0xB1E24E);
  draw_text(canvas, 29, 53, "Catch boosters, connect everything!", Font::body, 0xBEDC74);

  fill_rect(canvas, 0, kBottomBarTop, kFieldWidth, kFieldHeight, kBarColor);
  format_hud_help(text, kFrameTextCapacity, state, canvas.touch_controls);
  draw_text(canvas, 25, 559, text, Font::body, 0xDECBB9);
  draw_text(canvas, 25, 580, kHudLegend, Font::body, 0xCFB69E);

  const Color ground = scene_look(state.level).ground_color;
  fill_rect(canvas, 0, kGroundLineY, kFieldWidth, kBottomBarTop, ground);
  fill_rect(canvas, 0, kGroundLineY, kFieldWidth, kGroundEdgeBottom, mix_color(ground, kGroundEdgeTint, kGroundEdgeMix));
}

// Under the top bar, drawn after the play objects so nothing that moves covers them.
void draw_hud_values(Canvas& canvas, const GameState& state) {
  char text[kFrameTextCapacity];
  format_text(text, kFrameTextCapacity, kLivesFormat, state.lives);
  draw_text(canvas, 28, 98, text, Font::strong, 0x9992FF);
  format_text(text, kFrameTextCapacity, kHudLevelFormat, state.level + 1);
  draw_text(canvas, 260, 98, text, Font::body, 0xE8D2BE);
  format_text(text, kFrameTextCapacity, kHudBestFormat, state.best_score);
  draw_text(canvas, 570, 98, text, Font::body, 0x6AD7FF);
  format_text(text, kFrameTextCapacity, "SPEED  %d%%", 100 + 20 * state.level);
  draw_text(canvas, 570, 53, text, Font::body, 0x74C3FF);
}

using Painter = void (*)(Canvas&, const GameState&);

// The play field's layers, each drawn over the ones before (the popup only while it shows).
constexpr Painter kPlayLayers[] = {draw_scene_backdrop, draw_hud_bars,  draw_catcher,    draw_falling_item,
                                   draw_particles,      draw_popup,     draw_hud_values, draw_overlays};

}  // namespace

void compose_frame(Canvas& canvas, const GameState& state) {
  if (state.options_open) {
    draw_options_screen(canvas, state);
    return;
  }
  if (state.title_screen) {
    draw_title_screen(canvas);
    return;
  }
  if (state.screen != Screen::play) {
    draw_quiz_screen(canvas, state);
    return;
  }
  for (const Painter paint : kPlayLayers) paint(canvas, state);
}
