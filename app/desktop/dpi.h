// The desktop's scale from the dots an inch it declares, on X11 and on Windows alike.
#pragma once

// 96 dots an inch is a desktop at 100 %; anything outside a sane range is a mistake, not a scale.
inline double scale_of_dpi(double dpi) { return dpi >= 96.0 && dpi <= 96.0 * 8 ? dpi / 96.0 : 1.0; }
