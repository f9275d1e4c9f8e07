#include "assets/mascot.h"

EmbeddedFile mascot_png(int times) {
  switch (times) {
    case 1:
      return mascot_png_1();
    case 2:
      return mascot_png_2();
    case 3:
      return mascot_png_3();
    default:
      return EmbeddedFile{nullptr, 0};
  }
}
