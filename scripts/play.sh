#!/usr/bin/env bash
# Installs what building and running the game needs, builds the game alone and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBILUX_BUILD_TESTS=OFF -DORBILUX_BUILD_BENCH=OFF
cmake --build build --target orbilux-rush
exec build/app/orbilux-rush "$@"
