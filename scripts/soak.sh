#!/usr/bin/env bash
# An hour of simulated play (225,000 ticks of 16 ms, random input, a frame every 4th tick)
# at full speed on a fake counter; fails if a rule breaks or memory grows after warm-up.
#
#   scripts/soak.sh [TICKS] [BUILD_DIR]          default: 225000 ticks, build-robust
set -euo pipefail
cd "$(dirname "$0")/.."
ticks=${1:-225000}
build=${2:-build-robust}
if [ ! -x "$build/tests/robust_soak" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBILUX_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target robust_soak
fi
exec "$build/tests/robust_soak" --ticks "$ticks" --compose-every 4
