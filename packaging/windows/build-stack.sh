#!/usr/bin/env bash
# Builds the libraries the game links on Windows (SDL2, SDL2_mixer, Cairo, Pango and what
# they need) for 64-bit MinGW-w64, static, into one prefix, and prints that prefix.
#
# The sources are the upstream tarballs Debian's archive carries (`apt-get source`), so
# nothing comes from anywhere but the machine's own apt sources. The finished prefix is
# kept in the user's cache, keyed by the source versions and these build files, so a second
# run returns at once and a fresh machine builds it from nothing (about a quarter of an
# hour on two cores).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/orbilux-rush"
jobs="${ORBILUX_JOBS:-2}"
host=x86_64-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip
export RC=$host-windres WINDRES=$host-windres

# Debian's source packages, in the order they build.
packages=(zlib libpng1.6 pixman freetype libffi pcre2 glib2.0 fribidi harfbuzz cairo pango1.0 libsdl2 libsdl2-mixer)
# Meson runs some of its checks on the built programs: under Wine, in a prefix of our own.
export WINEPREFIX="$cache/wine-stack" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# apt knows source packages only with a deb-src entry: add one that mirrors the machine's
# own binary entries (same archives, suites and components).
ensure_deb_src() {
  if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then return; fi
  local list=/etc/apt/sources.list.d/orbilux-rush-src.sources one_line=/etc/apt/sources.list.d/orbilux-rush-src.list
  local tmp
  tmp="$(mktemp)"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$list" ] || continue
    sed -e 's/^Types:.*\bdeb\b.*$/Types: deb-src/' "$f" >>"$tmp"
    echo >>"$tmp"
  done
  [ -s "$tmp" ] && "${sudo[@]}" install -m 644 "$tmp" "$list"
  : >"$tmp"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && [ "$f" != "$one_line" ] || continue
    sed -n -e 's/^deb\( \|\t\)/deb-src\1/p' "$f" >>"$tmp"
  done
  [ -s "$tmp" ] && "${sudo[@]}" install -m 644 "$tmp" "$one_line"
  rm -f "$tmp"
  for attempt in 1 2 3 4 5 6; do
    "${sudo[@]}" apt-get update -q >/dev/null && return
    sleep 20  # another apt may hold the lock
  done
  echo "build-stack: apt-get update failed" >&2
  exit 1
}

# Every version apt offers of a source package, newest first.
source_versions() { apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -urV; }

# Fetches the upstream tarball of a source package into $cache/src. A version the mirror
# no longer serves falls back to the next one apt offers.
fetch() {
  local name="$1" v
  for v in $(source_versions "$name"); do
    if (cd "$cache/src" && apt-get source --download-only --tar-only -qq "$name=$v" >/dev/null 2>&1); then
      return
    fi
  done
  echo "build-stack: could not fetch the source of $name" >&2
  exit 1
}

# The newest upstream tarball of a package fetched (not its extra components).
tarball_of() { ls -1 "$cache/src/$1_"*.orig.tar.* | grep -v -e '\.asc$' -e '\.orig-' | sort -V | tail -1; }

# Unpacks a package's upstream tarball and enters it.
enter() {
  local name="$1"
  rm -rf "$work/$name"
  mkdir -p "$work/$name"
  tar -xf "$(tarball_of "$name")" -C "$work/$name" --strip-components=1
  cd "$work/$name"
}

# Every library's own licence texts (top-level COPYING, LICENSE and the like), for the game
# to ship beside itself.
collect_licences() {
  local name tarball
  for name in "${packages[@]}"; do
    tarball="$(tarball_of "$name")"
    mkdir -p "$prefix/share/licences/$name"
    tar -tf "$tarball" | grep -E '^[^/]+/(COPYING|LICENSE|LICENCE|COPYRIGHT|LICENSE\.txt|COPYING\.txt)[^/]*$' |
      xargs tar -xf "$tarball" -C "$prefix/share/licences/$name" --strip-components=1
  done
  cp "$here/libintl/README" "$prefix/share/licences/libintl-no-op.txt"
  # The LGPL libraries' sources as built, for the relink package (Cairo is taken under the
  # MPL, which asks for no copy of unchanged sources).
  mkdir -p "$prefix/share/sources"
  for name in glib2.0 pango1.0 fribidi; do cp "$(tarball_of "$name")" "$prefix/share/sources/"; done
}

meson_build() {
  nice meson setup _build --cross-file "$work/stack.ini" --cross-file "$here/meson-cross.ini" \
    --prefix "$prefix" --libdir lib --buildtype release --default-library static \
    --wrap-mode nofallback "$@" >meson.log
  nice ninja -C _build -j"$jobs" install >build.log
}

autotools_build() {
  nice ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared "$@" >configure.log
  nice make -j"$jobs" >build.log
  make install >install.log
}

cmake_build() {
  nice cmake -S . -B _build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/toolchain-mingw64.cmake" \
    -DORBILUX_STACK_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@" >cmake.log
  nice cmake --build _build -j"$jobs" >build.log
  cmake --install _build >install.log
}

build_all() {
  mkdir -p "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
  printf "[constants]\nstack = '%s'\n" "$prefix" >"$work/stack.ini"
  # Static libraries only: every query must name the private libraries too. The prefix is
  # taken from where the .pc files are, so the finished folder can be moved into place.
  cat >"$prefix/bin/pkg-config" <<'EOF'
#!/bin/sh
stack="$(cd "$(dirname "$0")/.." && pwd)"
PKG_CONFIG_LIBDIR="$stack/lib/pkgconfig:$stack/share/pkgconfig" PKG_CONFIG_PATH= \
  exec pkg-config --static --define-prefix "$@"
EOF
  chmod +x "$prefix/bin/pkg-config"
  export PKG_CONFIG="$prefix/bin/pkg-config"
  export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" CFLAGS="-O2"

  echo "build-stack: libintl (no-op)" >&2
  $CC -O2 -c "$here/libintl/libintl.c" -o "$work/libintl.o"
  $AR rcs "$prefix/lib/libintl.a" "$work/libintl.o"
  cp "$here/libintl/libintl.h" "$prefix/include/"

  echo "build-stack: zlib" >&2
  enter zlib
  # Debian's tarball has no win32/ folder; the plain configure knows the cross compiler.
  CHOST=$host nice ./configure --static --prefix="$prefix" >configure.log
  nice make -j"$jobs" libz.a >build.log
  make install >install.log

  echo "build-stack: libpng" >&2
  enter libpng1.6
  autotools_build --disable-unversioned-links

  echo "build-stack: pixman" >&2
  enter pixman
  meson_build -Dgtk=disabled -Dlibpng=disabled -Dtests=disabled -Dopenmp=disabled

  echo "build-stack: freetype" >&2
  enter freetype
  meson_build -Dbrotli=disabled -Dbzip2=disabled -Dharfbuzz=disabled -Dpng=enabled -Dzlib=system \
    -Dtests=disabled

  echo "build-stack: libffi" >&2
  enter libffi
  autotools_build --disable-docs --disable-multi-os-directory

  echo "build-stack: pcre2" >&2
  enter pcre2
  # Its own test programs must see the static declarations too.
  CPPFLAGS="$CPPFLAGS -DPCRE2_STATIC" autotools_build --disable-jit --enable-pcre2-8 --disable-pcre2-16 --disable-pcre2-32 \
    --disable-pcre2grep-libz --disable-pcre2grep-libbz2 --disable-pcre2test-libreadline

  echo "build-stack: glib" >&2
  enter glib2.0
  meson_build -Dtests=false -Dinstalled_tests=false -Dnls=disabled -Dman=false -Dgtk_doc=false \
    -Dlibmount=disabled -Dselinux=disabled -Dxattr=false -Dsysprof=disabled -Dlibelf=disabled \
    -Ddtrace=false -Dsystemtap=false -Dglib_debug=disabled

  echo "build-stack: fribidi" >&2
  enter fribidi
  # The library alone, not its command-line tool and tests.
  sed -i -e "/^subdir('\\(bin\\|test\\)')/d" meson.build
  meson_build -Ddocs=false

  echo "build-stack: harfbuzz" >&2
  enter harfbuzz
  meson_build -Dglib=disabled -Dgobject=disabled -Dcairo=disabled -Dicu=disabled -Dfreetype=enabled \
    -Dtests=disabled -Ddocs=disabled -Dintrospection=disabled -Dbenchmark=disabled -Dchafa=disabled

  echo "build-stack: cairo" >&2
  enter cairo
  # Cairo's configure asks for _FORTIFY_SOURCE, which MinGW cannot honour without libssp.
  CFLAGS="-O2 -Wp,-U_FORTIFY_SOURCE" CPPFLAGS="$CPPFLAGS -DCAIRO_WIN32_STATIC_BUILD" \
    nice ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared \
    --enable-win32 --enable-win32-font --enable-ft --disable-fc --enable-png \
    --disable-xlib --disable-xlib-xrender --disable-xcb --disable-quartz --disable-gobject \
    --disable-trace --disable-interpreter --disable-script --disable-ps --disable-pdf --disable-svg \
    --disable-full-testing --disable-gtk-doc --disable-valgrind --disable-symbol-lookup >configure.log
  nice make -C src -j"$jobs" >build.log
  make -C src install >install.log
  # Static users must not see dllimport declarations, and need GDI's libraries.
  sed -i -e 's/^Cflags: \(.*\)$/Cflags: \1 -DCAIRO_WIN32_STATIC_BUILD/' \
    -e 's/^Libs.private: \(.*\)$/Libs.private: \1 -lgdi32 -lmsimg32/' "$prefix"/lib/pkgconfig/cairo*.pc

  echo "build-stack: pango" >&2
  enter pango1.0
  # The library alone: its tools, examples and tests are not needed and take long to build.
  sed -i -e "/^subdir('\(utils\|examples\|tests\|tools\)')/d" meson.build
  meson_build -Dfontconfig=disabled -Dfreetype=disabled -Dcairo=enabled -Dxft=disabled \
    -Dlibthai=disabled -Dintrospection=disabled -Dgtk_doc=false -Dinstall-tests=false \
    -Dsysprof=disabled

  echo "build-stack: SDL2" >&2
  enter libsdl2
  cmake_build -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF

  echo "build-stack: SDL2_mixer" >&2
  enter libsdl2-mixer
  # The game plays its own synthesised samples: no decoder is needed.
  cmake_build -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_MP3=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON
  # SDL2 names its static library SDL2::SDL2 as well; SDL2_mixer leaves that to its users.
  cat >>"$prefix/lib/cmake/SDL2_mixer/SDL2_mixerConfig.cmake" <<'EOF'

if(TARGET SDL2_mixer::SDL2_mixer-static AND NOT TARGET SDL2_mixer::SDL2_mixer)
  add_library(SDL2_mixer::SDL2_mixer INTERFACE IMPORTED)
  set_target_properties(SDL2_mixer::SDL2_mixer PROPERTIES INTERFACE_LINK_LIBRARIES SDL2_mixer::SDL2_mixer-static)
endif()
EOF

  echo "build-stack: GoogleTest (the tests' framework, not shipped)" >&2
  rm -rf "$work/googletest"
  cp -r /usr/src/googletest "$work/googletest"
  cd "$work/googletest"
  cmake_build -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

  find "$prefix/lib" -name '*.la' -delete
  collect_licences
}

main() {
  mkdir -p "$cache/src"
  ensure_deb_src
  local key
  key="$({
    for name in "${packages[@]}"; do echo "$name $(source_versions "$name" | tr '\n' ' ')"; done
    $CXX --version | head -1
    dpkg-query -W -f '${Version}\n' libgtest-dev
    cat "$here/build-stack.sh" "$here/meson-cross.ini" "$here/toolchain-mingw64.cmake" "$here"/libintl/*
  } | sha256sum | cut -c1-16)"
  prefix="$cache/win64-$key"
  if [ -e "$prefix/.complete" ]; then
    echo "$prefix"
    return
  fi
  for name in "${packages[@]}"; do fetch "$name"; done
  # Built aside and moved into place once whole, so that an interrupted build is never taken
  # for a finished one.
  work="$cache/work-$key"
  local final="$prefix"
  prefix="$work/prefix"
  rm -rf "$final" "$work"
  local started=$SECONDS
  mkdir -p "$work"
  # A subshell of its own, so that a failing step stops the build (errexit) and its folder
  # changes stay inside.
  set +e
  (
    set -e
    build_all
  )
  local status=$?
  set -e
  if [ $status -ne 0 ]; then
    echo "build-stack: failed; the logs are in $work" >&2
    exit 1
  fi
  touch "$prefix/.complete"
  mv "$prefix" "$final"
  rm -rf "$work"
  echo "build-stack: built in $((SECONDS - started)) s" >&2
  echo "$final"
}

main
