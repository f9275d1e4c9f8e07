#include "app/best_score_store.h"

StoredBest parse_best_score(const char* bytes, size_t length) {
  if (length > 0 && bytes[length - 1] == '\n') --length;
  if (length == 0 || length > kBestScoreMaxDigits) return {};
  int64_t value = 0;
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] < '0' || bytes[i] > '9') return {};
    value = value * 10 + (bytes[i] - '0');
  }
  if (value > kMaxBestScore) return {};
  return {true, value};
}
