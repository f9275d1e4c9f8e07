#!/usr/bin/env bash
# Builds the libraries the game links in the browser (SDL2, SDL2_mixer, Cairo, Pango with
# fontconfig and FreeType, and what they need) for WebAssembly with Debian's Emscripten,
# static and single-threaded, into one prefix, and prints that prefix.
#
# The sources are the upstream tarballs Debian's archive carries (`apt-get source`), as for
# the Windows stack. Threads are left out everywhere: a threaded WebAssembly program needs
# shared memory, which a browser grants only to pages served with special headers, and the
# game draws and plays from one thread anyway. The finished prefix is kept in the user's
# cache, keyed by the source versions, the compiler and these build files, so a second run
# returns at once. An interrupted build picks up again at the library it stopped in.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/orbilux-rush"
jobs="${ORBILUX_JOBS:-2}"
host=wasm32-unknown-emscripten
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
export CC=emcc CXX=em++ AR=emar RANLIB=emranlib
# Debian's Emscripten finds its JavaScript helpers among Debian's Node.js modules, wherever
# the node on the path came from.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# shellcheck source=../stack-sources.sh
source "$here/../stack-sources.sh"

# Debian's source packages, in the order they build.
packages=(zlib libpng1.6 pixman expat freetype pcre2 glib2.0 fontconfig fribidi harfbuzz cairo pango1.0
  libsdl2 libsdl2-mixer)

# Meson's `threads` dependency turns into -pthread under Emscripten: every library gets an
# empty one instead, and Emscripten's libc answers the pthread calls for one thread.
no_threads() { sed -i -e "s/dependency('threads'[^)]*)/dependency('', required : false)/" "$@"; }

meson_build() {
  nice meson setup _build --cross-file "$work/stack.ini" --cross-file "$here/meson-cross.ini" \
    ${extra_cross:+--cross-file "$extra_cross"} --prefix "$prefix" --libdir lib --buildtype release \
    --default-library static --wrap-mode nofallback "$@" >meson.log
  nice ninja -C _build -j"$jobs" install >build.log
}

autotools_build() {
  nice ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared "$@" >configure.log
  nice make -j"$jobs" >build.log
  make install >install.log
}

cmake_build() {
  local src="${cmake_src:-.}"
  nice cmake -S "$src" -B _build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@" >cmake.log
  nice cmake --build _build -j"$jobs" >build.log
  cmake --install _build >install.log
}

step_setup() {
  mkdir -p "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
  # Static libraries only: every query must name the private libraries too. The prefix is
  # taken from where the .pc files are, so the finished folder can be moved into place.
  cat >"$prefix/bin/pkg-config" <<'EOF'
#!/bin/sh
stack="$(cd "$(dirname "$0")/.." && pwd)"
PKG_CONFIG_LIBDIR="$stack/lib/pkgconfig:$stack/share/pkgconfig" PKG_CONFIG_PATH= \
  exec pkg-config --static --define-prefix "$@"
EOF
  chmod +x "$prefix/bin/pkg-config"

  # GLib insists on a libintl; the game shows no GLib message a player would read.
  emcc -O2 -c "$here/../windows/libintl/libintl.c" -o "$work/libintl.o"
  emar rcs "$prefix/lib/libintl.a" "$work/libintl.o"
  cp "$here/../windows/libintl/libintl.h" "$prefix/include/"
  # libffi has no WebAssembly port: a stand-in that GObject links (see ffi/ffi.h).
  emcc -O2 -c "$here/ffi/ffi.c" -o "$work/ffi.o"
  emar rcs "$prefix/lib/libffi.a" "$work/ffi.o"
  cp "$here/ffi/ffi.h" "$prefix/include/"
  printf 'prefix=%s\nName: libffi\nDescription: stand-in\nVersion: 3.4.4\nLibs: -L${prefix}/lib -lffi\nCflags: -I${prefix}/include\n' \
    "$prefix" >"$prefix/lib/pkgconfig/libffi.pc"
  # GIO looks for a DNS resolver it never gets to use in the game: one that always fails.
  printf '#include <netinet/in.h>\nint res_query(const char *n, int c, int t, unsigned char *a, int l)\n{ (void)n; (void)c; (void)t; (void)a; (void)l; return -1; }\n' \
    >"$work/resolv.c"
  emcc -O2 -c "$work/resolv.c" -o "$work/resolv.o"
  emar rcs "$prefix/lib/libresolv.a" "$work/resolv.o"
}

step_zlib() {
  enter zlib
  nice ./configure --static --prefix="$prefix" >configure.log
  nice make -j"$jobs" libz.a >build.log
  make install >install.log
}

step_libpng() {
  enter libpng1.6
  autotools_build --disable-hardware-optimizations --disable-tools --disable-unversioned-links
}

step_pixman() {
  enter pixman
  no_threads meson.build
  meson_build -Dgtk=disabled -Dlibpng=disabled -Dtests=disabled -Dopenmp=disabled -Dloongson-mmi=disabled \
    -Dmmx=disabled -Dsse2=disabled -Dssse3=disabled -Dvmx=disabled -Darm-simd=disabled -Dneon=disabled \
    -Da64-neon=disabled -Diwmmxt=disabled -Dmips-dspr2=disabled -Dgnu-inline-asm=disabled
}

step_expat() {
  enter expat
  cmake_src=expat cmake_build -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_FUZZERS=OFF
}

step_freetype() {
  enter freetype
  meson_build -Dbrotli=disabled -Dbzip2=disabled -Dharfbuzz=disabled -Dpng=enabled -Dzlib=system \
    -Dtests=disabled
}

step_pcre2() {
  enter pcre2
  cmake_build -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
    -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DBUILD_STATIC_LIBS=ON
}

step_glib() {
  enter glib2.0
  no_threads meson.build
  # Declared in Emscripten's headers but missing from its libc.
  sed -i -e "s/cc.has_function('posix_spawn'/false and cc.has_function('posix_spawn'/" \
    -e "s/cc.has_header_symbol('pthread.h', 'pthread_attr_setinheritsched')/false/" meson.build
  # WebAssembly has lock-free 32-bit compare-and-swap; clang says so only with -matomics.
  extra_cross="$work/glib.ini"
  printf "[built-in options]\nc_args = ['-I' + stack / 'include', '-D__GCC_HAVE_SYNC_COMPARE_AND_SWAP_4=1']\n" >"$extra_cross"
  meson_build -Dtests=false -Dinstalled_tests=false -Dnls=disabled -Dman=false -Dgtk_doc=false \
    -Dlibmount=disabled -Dselinux=disabled -Dxattr=false -Dsysprof=disabled -Dlibelf=disabled \
    -Ddtrace=false -Dsystemtap=false -Dglib_debug=disabled
  extra_cross=
  # Its .pc files leave out the libintl it linked against.
  sed -i -e 's/^Libs: \(.*\)$/Libs: \1 -lintl/' "$prefix/lib/pkgconfig/glib-2.0.pc"
}

step_fontconfig() {
  enter fontconfig
  no_threads meson.build
  # Its preprocessor step knows gcc and clang by name; Meson calls Emscripten's clang `emscripten`.
  sed -i -e "s/elif cc.get_id() == 'clang'/elif cc.get_id() in ['clang', 'emscripten']/" src/meson.build
  # It reads its configuration from /etc/fonts in the page's own files (the site carries
  # one). Installing writes that folder too: installed aside, so that this machine's own
  # /etc/fonts is never touched, and only what lands in the prefix is kept.
  nice meson setup _build --cross-file "$work/stack.ini" --cross-file "$here/meson-cross.ini" \
    --prefix "$prefix" --libdir lib --buildtype release --default-library static --wrap-mode nofallback \
    --sysconfdir /etc --localstatedir /var \
    -Ddoc=disabled -Dnls=disabled -Dtests=disabled -Dtools=disabled -Dcache-build=disabled >meson.log
  nice ninja -C _build -j"$jobs" >build.log
  DESTDIR="$work/fontconfig-root" ninja -C _build install >install.log
  cp -a "$work/fontconfig-root$prefix/." "$prefix/"
  rm -rf "$work/fontconfig-root"
}

step_fribidi() {
  enter fribidi
  # The library alone, not its command-line tool and tests.
  sed -i -e "/^subdir('\\(bin\\|test\\)')/d" meson.build
  meson_build -Ddocs=false
}

step_harfbuzz() {
  enter harfbuzz
  no_threads meson.build
  meson_build -Dglib=disabled -Dgobject=disabled -Dcairo=disabled -Dicu=disabled -Dfreetype=enabled \
    -Dtests=disabled -Ddocs=disabled -Dintrospection=disabled -Dbenchmark=disabled -Dchafa=disabled
}

step_cairo() {
  enter cairo
  # Its 2018 config.sub does not know Emscripten; libpng's does.
  tar -xf "$(tarball_of libpng1.6)" -C "$work" --wildcards '*/config.sub' --strip-components=1
  cp "$work/config.sub" build/config.sub 2>/dev/null || cp "$work/config.sub" config.sub
  ax_cv_c_float_words_bigendian=no CFLAGS="-O2 -DCAIRO_NO_MUTEX=1" \
    nice ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared \
    --enable-ft --enable-fc --enable-png --disable-pthread \
    --disable-xlib --disable-xlib-xrender --disable-xcb --disable-quartz --disable-win32 --disable-gobject \
    --disable-trace --disable-interpreter --disable-script --disable-ps --disable-pdf --disable-svg \
    --disable-full-testing --disable-gtk-doc --disable-valgrind --disable-symbol-lookup >configure.log
  nice make -C src -j"$jobs" >build.log
  make -C src install >install.log
}

step_pango() {
  enter pango1.0
  no_threads meson.build
  # Pango matches fonts on threads of its own and waits for them; here the work is done in
  # the caller.
  patch -p1 -s <"$here/pango-fontconfig-in-caller.patch"
  # The library alone: its tools, examples and tests are not needed and take long to build.
  sed -i -e "/^subdir('\(utils\|examples\|tests\|tools\)')/d" meson.build
  meson_build -Dfontconfig=enabled -Dfreetype=enabled -Dcairo=enabled -Dxft=disabled \
    -Dlibthai=disabled -Dintrospection=disabled -Dgtk_doc=false -Dinstall-tests=false -Dsysprof=disabled
}

step_sdl2() {
  enter libsdl2
  # SDL2 knows the browser itself: the canvas for video, Web Audio for sound.
  cmake_build -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL_THREADS=OFF
}

step_sdl2_mixer() {
  enter libsdl2-mixer
  # The game plays its own synthesised samples: no decoder is needed.
  cmake_build -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_MP3=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON
  cat >>"$prefix/lib/cmake/SDL2_mixer/SDL2_mixerConfig.cmake" <<'EOF'

if(TARGET SDL2_mixer::SDL2_mixer-static AND NOT TARGET SDL2_mixer::SDL2_mixer)
  add_library(SDL2_mixer::SDL2_mixer INTERFACE IMPORTED)
  set_target_properties(SDL2_mixer::SDL2_mixer PROPERTIES INTERFACE_LINK_LIBRARIES SDL2_mixer::SDL2_mixer-static)
endif()
EOF
}

# Every library's own licence texts, for the site to carry beside the game.
step_licences() {
  local name tarball
  for name in "${packages[@]}"; do
    tarball="$(tarball_of "$name")"
    mkdir -p "$prefix/share/licences/$name"
    tar -tf "$tarball" | grep -E '^[^/]+/(expat/)?(COPYING|LICENSE|LICENCE|COPYRIGHT|LICENSE\.txt|COPYING\.txt)[^/]*$' |
      xargs tar -xf "$tarball" -C "$prefix/share/licences/$name" --strip-components=1
  done
  cp "$here/../windows/libintl/README" "$prefix/share/licences/libintl-no-op.txt"
  find "$prefix/lib" -name '*.la' -delete
}

steps=(setup zlib libpng pixman expat freetype pcre2 glib fontconfig fribidi harfbuzz cairo pango sdl2 sdl2_mixer licences)

# A step is done when its stamp holds the digest of everything it ran with; the steps after
# a redone one are redone too.
build_all() {
  printf "[constants]\nstack = '%s'\n" "$prefix" >"$work/stack.ini"
  export PKG_CONFIG="$prefix/bin/pkg-config"
  export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" CFLAGS="-O2"
  local step digest redo=
  for step in "${steps[@]}"; do
    digest="$({ echo "$key"; declare -f "step_$step"; } | sha256sum | cut -c1-16)"
    if [ -z "$redo" ] && [ "$(cat "$work/done-$step" 2>/dev/null)" = "$digest" ]; then continue; fi
    redo=1
    echo "build-stack: $step" >&2
    "step_$step"
    echo "$digest" >"$work/done-$step"
  done
}

main() {
  mkdir -p "$cache/src"
  ensure_deb_src
  # The key covers what every library is built with; a change to one step's own commands is
  # covered by that step's stamp, so only it and the ones after it are built again.
  key="$({
    for name in "${packages[@]}"; do echo "$name $(source_versions "$name" | tr '\n' ' ')"; done
    dpkg-query -W -f '${Version}\n' emscripten
    cat "$here/meson-cross.ini" "$here/ffi/"* "$here/pango-fontconfig-in-caller.patch" "$here/../windows/libintl/"*
    declare -f meson_build autotools_build cmake_build no_threads build_all
  } | sha256sum | cut -c1-16)"
  local final="$cache/wasm32-$({ echo "$key"; declare -f; } | sha256sum | cut -c1-16)"
  if [ -e "$final/.complete" ]; then
    echo "$final"
    return
  fi
  for name in "${packages[@]}"; do fetch "$name"; done
  # Built aside and moved into place once whole, so that an interrupted build is never taken
  # for a finished one.
  work="$cache/work-wasm32-$key"
  prefix="$work/prefix"
  local started=$SECONDS
  mkdir -p "$work"
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
  rm -rf "$final"
  mv "$prefix" "$final"
  rm -rf "$work"
  echo "build-stack: built in $((SECONDS - started)) s" >&2
  echo "$final"
}

main
