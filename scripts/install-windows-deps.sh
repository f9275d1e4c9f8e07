#!/usr/bin/env bash
# Installs the Debian packages that building the Windows version of the game and testing
# it under Wine need. Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build meson pkg-config git xz-utils bzip2 dpkg-dev
  g++-mingw-w64-x86-64-posix libgtest-dev nsis zip
  librsvg2-bin imagemagick fonts-open-sans
  wine64 xvfb xauth xdotool x11-utils
)

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
