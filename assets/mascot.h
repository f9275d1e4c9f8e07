// The mascot picture for the title screen, 380 x 474 units, embedded in the program as PNG
// bytes rendered from its drawing at 1, 2 and 3 times that size.
#pragma once

#include <cstddef>

struct EmbeddedFile {
  const unsigned char* data;
  size_t size;
};

inline constexpr int kMascotRenders = 3;

// The picture at `times` its size (1 .. kMascotRenders); nothing for other numbers.
EmbeddedFile mascot_png(int times = 1);

// One per render, made by the build.
EmbeddedFile mascot_png_1();
EmbeddedFile mascot_png_2();
EmbeddedFile mascot_png_3();
