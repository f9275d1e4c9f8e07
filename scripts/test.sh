#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
scripts/add-test-user.sh  # as root, the user the Wayland tests run sway and cage as
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBILUX_BUILD_TESTS=ON -DORBILUX_BUILD_BENCH=ON \
  ${ORBILUX_CMAKE_ARGS:-}
cmake --build build
ctest --test-dir build --output-on-failure -j"$(nproc)"
