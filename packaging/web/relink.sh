#!/usr/bin/env bash
# Makes the web build's relink package, BUILD_DIR/orbilux-rush-web-relink.zip: the game's
# complete source, the sources of the LGPL libraries linked into its module as the stack was
# built from them, and the licences' note that says how to relink.
# Usage: relink.sh BUILD_DIR STACK_PREFIX
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
stack="$2"
# The stack builder's own way of finding a package's source, in the cache the stack is in.
# shellcheck source=../build-stack-common.sh
source "$here/../build-stack-common.sh"
cache="$(dirname "$stack")"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
name=orbilux-rush-web-relink
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/$name"
git -C "$here/../.." archive --format=tar.gz --prefix="orbilux-rush-$version/" \
  -o "$work/$name/orbilux-rush-$version-source.tar.gz" HEAD
for package in glib2.0 pango1.0 fribidi; do
  tarball="$(tarball_of "$package")"
  [ -n "$tarball" ] || { echo "relink.sh: no source of $package in $cache/src" >&2; exit 1; }
  cp "$tarball" "$work/$name/"
done
cp "$here/LICENCES.txt" "$work/$name/README.txt"
rm -f "$build/$name.zip"
(cd "$work" && zip -qrX "$build/$name.zip" "$name")
