// The mascot picture for the title screen, 380 x 474, embedded in the program as PNG bytes.
#pragma once

#include <cstddef>

struct EmbeddedFile {
  const unsigned char* data;
  size_t size;
};

EmbeddedFile mascot_png();
