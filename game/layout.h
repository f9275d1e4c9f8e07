// The rectangles of the quiz screens and the game-over panel that take clicks: the painters
// fill them and on_click judges clicks against them, so the two cannot drift apart.
#pragma once

// Field pixels. Painted from left up to but not including right, and from top up to but not
// including bottom, as every rectangle of the canvas; a click on the right or bottom edge
// still counts.
struct Rect {
  int left, top, right, bottom;
  bool takes_click(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// The play field's heads-up bars span the whole width: the top one down to here, the bottom
// one from here to the field's foot. Touches on them are taps, not steering.
inline constexpr int kTopBarBottom = 83;
inline constexpr int kBottomBarTop = 551;

inline constexpr Rect kWrongCourseButton{36, 225, 764, 269};
inline constexpr Rect kWrongBookButton{36, 392, 764, 436};
inline constexpr Rect kWrongRetryButton{36, 475, 764, 519};
inline constexpr Rect kGameOverCourseButton{145, 310, 655, 346};
inline constexpr Rect kGameOverBookButton{145, 435, 655, 471};

// The continue button is painted as wide as the screen's texts, but clicks reach out to
// the width of the answer rows.
inline constexpr Rect kCorrectContinueButton{36, 473, 764, 534};
inline constexpr Rect kCorrectContinueClickArea{34, 473, 766, 534};

// The four answer rows, 68 high and 76 apart; a click in the 8-pixel gap between two rows
// answers nothing.
inline constexpr int kAnswerRowHeight = 68;
inline constexpr int kAnswerRowPitch = 76;
inline constexpr Rect kAnswerRows{34, 194, 766, 194 + 3 * kAnswerRowPitch + kAnswerRowHeight};
