// How the painters turn the state's doubles into what they draw: whole pixels and the
// countdown's digit.
#pragma once

#include <cmath>

// Truncation toward zero, as the game turns every position into pixels. Anything far off
// the canvas is held at a distance where it still draws nowhere, never beyond an int.
inline int pixel_of(double v) {
  if (!(v > -1e6)) return -1000000;
  if (!(v < 1e6)) return 1000000;
  return static_cast<int>(v);
}

// The countdown's digit is the count rounded up: 3.0 down to just above 2 shows 3.
inline int countdown_digit(double countdown) {
  const double up = std::ceil(countdown);
  return up < 1e9 ? static_cast<int>(up) : 1000000000;  // only ever drawn while above 0
}
