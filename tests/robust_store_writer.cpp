// Saves ever higher best scores into one folder as fast as it can and, after each save
// that reported success, writes the value (4 bytes, native order) to standard output.
// The crash test kills it at random moments and checks what the file then holds.
//
//   robust_store_writer FOLDER FIRST_VALUE
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "app/best_score_store.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const char* folder = argv[1];
  for (int32_t value = static_cast<int32_t>(std::atol(argv[2]));; ++value) {
    if (!save_best_score_to(folder, value)) return 3;
    if (write(STDOUT_FILENO, &value, sizeof value) != static_cast<ssize_t>(sizeof value)) return 4;
  }
}
