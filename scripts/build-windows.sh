#!/usr/bin/env bash
# Installs what is missing, then builds the Windows version of the game on Debian: the
# library stack (cached after the first time, see packaging/windows/build-stack.sh), the
# game and its tests, and the packages in build-windows/packages/: the installer
# orbilux-rush-<version>-win64-setup.exe, the portable orbilux-rush-<version>-win64.zip and
# the relink package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
stack="$(packaging/windows/build-stack.sh)"
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=packaging/windows/toolchain-mingw64.cmake \
  -DORBILUX_STACK_PREFIX="$stack" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBILUX_BUILD_BENCH=OFF ${ORBILUX_CMAKE_ARGS:-}
cmake --build build-windows
packaging/windows/package.sh build-windows
ls -l build-windows/packages/*.exe build-windows/packages/*.zip
