#!/usr/bin/env bash
# Installs the Debian packages the game needs: `play` (the default) for building and running
# it, `test` for everything the tests, benchmarks, fuzzing and packaging checks need as well,
# `windows` for cross-building the Windows version and testing it under Wine, `web` for
# building the browser version and testing it in headless Chromium.
# Safe to run again: packages already present are left alone.
set -euo pipefail

play=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-mixer-dev libx11-dev libcairo2-dev libpango1.0-dev librsvg2-bin
  fonts-open-sans fonts-dejavu-core
)
test=(
  "${play[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick python3 openbox
  weston libdecor-0-plugin-1-cairo
  clang-14 libclang-rt-14-dev valgrind
  desktop-file-utils appstream dpkg-dev
)
windows=(
  build-essential cmake ninja-build meson pkg-config git xz-utils bzip2 dpkg-dev
  g++-mingw-w64-x86-64-posix libgtest-dev nsis zip
  librsvg2-bin imagemagick fonts-open-sans
  wine64 xvfb xauth xdotool x11-utils
)
web=(
  build-essential cmake ninja-build meson pkg-config xz-utils bzip2 dpkg-dev
  emscripten binaryen nodejs node-acorn gperf
  fonts-open-sans fonts-dejavu-core librsvg2-bin fonttools
  chromium chromium-driver python3 python3-selenium imagemagick
)

case "${1:-play}" in
  play) packages=("${play[@]}") ;;
  test) packages=("${test[@]}") ;;
  windows) packages=("${windows[@]}") ;;
  web) packages=("${web[@]}") ;;
  *) echo "usage: $0 [play|test|windows|web]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
