#!/usr/bin/env bash
# Packs a Windows build folder: installs it into a staging folder, then makes the portable
# zip and the NSIS installer from that one folder, and a source zip for relinking (the LGPL
# libraries are linked statically). Usage: package.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
stack="$(sed -n 's/^ORBILUX_STACK_PREFIX:PATH=//p' "$build/CMakeCache.txt")"
name="orbilux-rush-$version-win64"
out="$build/packages"
stage="$out/$name"
rm -rf "$out"
mkdir -p "$out"
cmake --install "$build" --prefix "$stage" --strip >/dev/null

(cd "$out" && zip -qr "$name.zip" "$name")

# What the installer carries and removes again: the staged files, one by one.
files="$out/files.nsh" unfiles="$out/unfiles.nsh"
: >"$files"
: >"$unfiles"
(cd "$stage" && find . -type d | sort) | while read -r dir; do
  win="${dir#.}"
  echo "SetOutPath \"\$INSTDIR${win//\//\\}\"" >>"$files"
  (cd "$stage/$dir" && find . -maxdepth 1 -type f | sort) | while read -r file; do
    echo "File \"$stage/${dir#./}/${file#./}\"" >>"$files"
    echo "Delete \"\$INSTDIR${win//\//\\}\\${file#./}\"" >>"$unfiles"
  done
done
(cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
  win="${dir#.}"
  echo "RMDir \"\$INSTDIR${win//\//\\}\"" >>"$unfiles"
done
echo 'SetOutPath "$INSTDIR"' >>"$files"
makensis -V2 -DVERSION="$version" -DOUTFILE="$out/$name-setup.exe" -DICON="$build/packaging/ico/orbilux-rush.ico" \
  -DFILES="$files" -DUNFILES="$unfiles" "$here/installer.nsi"

# The relink package: the game's complete source and the LGPL libraries' sources as built.
relink="$out/$name-relink"
mkdir -p "$relink"
git -C "$here/../.." archive --format=tar.gz --prefix="orbilux-rush-$version/" \
  -o "$relink/orbilux-rush-$version-source.tar.gz" HEAD
cp "$stack"/share/sources/* "$relink/"
(cd "$out" && zip -qr "$name-relink.zip" "$name-relink")
rm -rf "$relink"
