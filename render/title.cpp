// The title page: white, the game's name, a legend of the three falling things, the
// mission, the red play button and the key help, with the mascot on the right half.
#include "render/painters.h"

namespace {

constexpr Color kPageColor = 0xFFFFFF;
constexpr Color kInkColor = 0x3B281A;
constexpr Color kTealColor = 0x66682A;
constexpr Color kGreyTextColor = 0x6E6151;
constexpr Color kHelpColor = 0x75675B;
constexpr Color kButtonColor = 0x331BDF;

constexpr int kPictureX = 413;
constexpr int kPictureY = 73;
constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 474;

// The meander of the legend: one zigzag of width-4 segments.
constexpr Point kMeanderIcon[] = {{36, 365}, {70, 365}, {70, 374}, {36, 374},
                                  {36, 383}, {70, 383}, {70, 392}, {36, 392}};

// The booster icon's corners, relative to its vertical anchor; x is fixed in the left column.
struct IconFace {
  Point corners[4];  // y relative to the anchor
  Color red;
  Color gold;
};
constexpr IconFace kIconFaces[] = {
    {{{36, -10}, {49, -19}, {72, -13}, {60, -4}}, 0xC9DDE6, 0x95EFFF},  // top
    {{{36, -10}, {60, -4}, {60, 19}, {36, 12}}, 0x361FE8, 0x18ADF2},    // left
    {{{60, -4}, {72, -13}, {72, 10}, {60, 19}}, 0x230FA0, 0x0C73B1},    // right
};
struct IconStroke {
  Point from, to;  // y relative to the anchor
};
// A white N on the left face.
constexpr IconStroke kIconStrokes[] = {
    {{41, -1}, {41, 9}},
    {{41, -1}, {48, 11}},
    {{48, 11}, {48, 1}},
};

}  // namespace

void draw_booster_icon(Canvas& canvas, int y, bool gold) {
  for (const IconFace& face : kIconFaces) {
    Point corners[4];
    for (int k = 0; k < 4; ++k) corners[k] = {face.corners[k].x, y + face.corners[k].y};
    fill_polygon(canvas, corners, 4, gold ? face.gold : face.red);
  }
  for (const IconStroke& stroke : kIconStrokes) {
    draw_line(canvas, stroke.from.x, y + stroke.from.y, stroke.to.x, y + stroke.to.y, 2, 0xFFFFFF);
  }
}

void draw_title_screen(Canvas& canvas) {
  fill_rect(canvas, 0, 0, kFieldWidth, kFieldHeight, kPageColor);
  // Without the picture the right half simply stays white.
  if (canvas.picture) draw_image(canvas, canvas.picture, kPictureX, kPictureY, kPictureWidth, kPictureHeight);
  draw_text(canvas, 32, 27, kTitleName, Font::title, kInkColor);
  draw_text(canvas, 30, 65, kTitleRush, Font::giant, 0x3018E0);
  draw_text(canvas, 34, 134, kTitleMotto1, Font::label, kTealColor);
  draw_text(canvas, 34, 159, kTitleMotto2, Font::label, kTealColor);
  draw_line(canvas, 34, 202, 364, 202, 2, 0xEBE8E3);

  draw_booster_icon(canvas, 242, false);
  draw_text(canvas, 88, 220, kTitleRedName, Font::label, 0x3E2C1D);
  draw_text(canvas, 88, 247, kTitleRedRule, Font::body, kGreyTextColor);

  draw_booster_icon(canvas, 309, true);
  draw_text(canvas, 88, 286, kTitleGoldName, Font::label, 0x0A628E);
  draw_text(canvas, 88, 313, kTitleGoldRule, Font::body, kGreyTextColor);

  constexpr int kMeanderIconPoints = sizeof kMeanderIcon / sizeof kMeanderIcon[0];
  for (int i = 0; i + 1 < kMeanderIconPoints; ++i) {
    draw_line(canvas, kMeanderIcon[i].x, kMeanderIcon[i].y, kMeanderIcon[i + 1].x, kMeanderIcon[i + 1].y, 4, 0x2A9AE0);
  }
  draw_text(canvas, 88, 354, kTitleMeanderName, Font::label, 0x3429B2);
  draw_text(canvas, 88, 381, kTitleMeanderRule, Font::body, kGreyTextColor);

  draw_text(canvas, 34, 433, kTitleMission, Font::label, kInkColor);
  draw_text(canvas, 34, 461, kTitleMissionText, Font::body, kGreyTextColor);
  draw_text(canvas, 34, 482, kTitleQuizRule, Font::body, kTealColor);

  fill_rect(canvas, 34, 505, 363, 549, kButtonColor);
  if (canvas.touch_controls) {
    draw_text(canvas, 144, 516, kTitleTouchPlay, Font::label, 0xFFFFFF);
    draw_text(canvas, 34, 562, kTitleTouchHelp1, Font::body, kHelpColor);
    draw_text(canvas, 34, 581, kTitleTouchHelp2, Font::body, kHelpColor);
    return;
  }
  draw_text(canvas, 105, 516, kTitlePlay, Font::label, 0xFFFFFF);
  draw_text(canvas, 34, 562, kTitleHelp1, Font::body, kHelpColor);
  draw_text(canvas, 34, 581, kTitleHelp2, Font::body, kHelpColor);
}
