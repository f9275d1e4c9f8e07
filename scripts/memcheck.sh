#!/usr/bin/env bash
# Valgrind's memcheck over a headless session: the title page, then a few thousand 16 ms
# ticks of play with random input and a frame composed every few ticks, the canvas made
# and released as the window would. Fails on any memory error or leak that is not one of
# the font libraries' once-per-process allocations listed in fuzz/valgrind.supp.
#
#   scripts/memcheck.sh [TICKS] [BUILD_DIR]      default: 6000 ticks, build-robust
set -euo pipefail
cd "$(dirname "$0")/.."
ticks=${1:-6000}
build=${2:-build-robust}
if [ ! -x "$build/tests/robust_soak" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBILUX_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target robust_soak
fi
exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
  --errors-for-leak-kinds=definite,indirect,possible --num-callers=30 --error-exitcode=99 \
  --suppressions=fuzz/valgrind.supp \
  "$build/tests/robust_soak" --ticks "$ticks" --compose-every 4 --warm-up "$((ticks / 2))" --max-growth-kib 100000
