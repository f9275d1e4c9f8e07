#!/usr/bin/env bash
# Installs the Debian packages the game needs: `play` (the default) for building and running
# it, `test` for everything the tests, benchmarks, fuzzing and packaging checks need as well,
# `windows` for cross-building the Windows version and testing it under Wine, `web` for
# building the browser version and testing it in Chromium, Firefox and WebKit.
# Safe to run again: packages already present are left alone.
set -euo pipefail

play=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-mixer-dev libx11-dev libwayland-dev libcairo2-dev libpango1.0-dev librsvg2-bin
  fonts-open-sans fonts-dejavu-core
)
test=(
  "${play[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick python3 openbox
  weston libdecor-0-plugin-1-cairo
  sway cage xwayland grim wtype
  clang-14 libclang-rt-14-dev valgrind
  desktop-file-utils appstream dpkg-dev lintian
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
  chromium chromium-driver python3 python3-selenium imagemagick zip
  firefox-esr npm webkit2gtk-driver xvfb xauth
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
  # A Node.js from elsewhere (NodeSource's) brings its own npm and conflicts with Debian's.
  [ "$p" = npm ] && command -v npm >/dev/null && continue
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

# Another package manager may be at work: a fresh desktop runs its automatic updates just after
# boot. Wait up to ten minutes for it rather than fail. apt waits for dpkg's and the download
# cache's locks itself when given a timeout, but not for the package lists' lock that
# `apt-get update` takes, so an update that could not get a lock is tried again.
lock_wait=600
apt_get() { "${sudo[@]}" env LC_ALL=C apt-get -o DPkg::Lock::Timeout="$lock_wait" "$@"; }

update_lists() {
  local errors deadline=$((SECONDS + lock_wait))
  errors=$(mktemp)
  until apt_get update 2>"$errors"; do
    cat "$errors" >&2
    if ! grep -q "Could not get lock" "$errors" || ((SECONDS >= deadline)); then
      rm -f "$errors"
      return 1
    fi
    echo "Waiting for another package manager to finish..." >&2
    sleep 5
  done
  cat "$errors" >&2
  rm -f "$errors"
}

update_lists
apt_get install -y --no-install-recommends "${missing[@]}"
