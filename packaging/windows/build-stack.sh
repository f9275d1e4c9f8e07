#!/usr/bin/env bash
# Builds the libraries the game links on Windows (SDL2, SDL2_mixer, Cairo, Pango and what
# they need) for 64-bit MinGW-w64, static, into one prefix, and prints that prefix; the way
# every stack is built is in ../build-stack-common.sh. A fresh machine builds it from nothing
# in about a quarter of an hour on two cores.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../build-stack-common.sh
source "$here/../build-stack-common.sh"

name=win64
host=x86_64-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
export RC=$host-windres WINDRES=$host-windres
threads=ON
toolchain="$here/toolchain-mingw64.cmake"
# Meson runs some of its checks on the built programs: under Wine, in a prefix of our own.
export WINEPREFIX="$cache/wine-stack" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all

# Debian's source packages, in the order they build.
packages=(zlib libpng1.6 pixman freetype libffi pcre2 glib2.0 fribidi harfbuzz cairo pango1.0 libsdl2 libsdl2-mixer)
steps=(setup zlib libpng pixman freetype libffi pcre2 glib fribidi harfbuzz cairo pango sdl2 sdl2_mixer googletest
  licences sources)

step_libffi() {
  enter libffi
  autotools_build --disable-docs --disable-multi-os-directory
}

step_pcre2() {
  enter pcre2
  # Its own test programs must see the static declarations too.
  CPPFLAGS="$CPPFLAGS -DPCRE2_STATIC" autotools_build --disable-jit --enable-pcre2-8 --disable-pcre2-16 \
    --disable-pcre2-32 --disable-pcre2grep-libz --disable-pcre2grep-libbz2 --disable-pcre2test-libreadline
}

step_glib() {
  enter glib2.0
  build_glib
}

step_cairo() {
  enter cairo
  # Cairo's configure asks for _FORTIFY_SOURCE, which MinGW cannot honour without libssp.
  CFLAGS="-O2 -Wp,-U_FORTIFY_SOURCE" CPPFLAGS="$CPPFLAGS -DCAIRO_WIN32_STATIC_BUILD" \
    build_cairo --enable-win32 --enable-win32-font --disable-fc
  # Static users must not see dllimport declarations, and need GDI's libraries.
  sed -i -e 's/^Cflags: \(.*\)$/Cflags: \1 -DCAIRO_WIN32_STATIC_BUILD/' \
    -e 's/^Libs.private: \(.*\)$/Libs.private: \1 -lgdi32 -lmsimg32/' "$prefix"/lib/pkgconfig/cairo*.pc
}

step_pango() {
  enter pango1.0
  # Windows' own fonts, through Cairo.
  build_pango -Dfontconfig=disabled -Dfreetype=disabled
}

# The tests' framework, not shipped.
step_googletest() {
  rm -rf "$work/googletest"
  cp -r /usr/src/googletest "$work/googletest"
  cd "$work/googletest"
  cmake_build -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

# The LGPL libraries' sources as built, for the relink package (Cairo is taken under the
# MPL, which asks for no copy of unchanged sources).
step_sources() {
  mkdir -p "$prefix/share/sources"
  for package in glib2.0 pango1.0 fribidi; do cp "$(tarball_of "$package")" "$prefix/share/sources/"; done
}

build_stack "$($CXX --version | head -1); GoogleTest $(dpkg-query -W -f '${Version}' libgtest-dev)"
