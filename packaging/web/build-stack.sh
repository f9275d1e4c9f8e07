#!/usr/bin/env bash
# Builds the libraries the game links in the browser (SDL2, SDL2_mixer, Cairo, Pango with
# fontconfig and FreeType, and what they need) for WebAssembly with Debian's Emscripten,
# static and single-threaded, into one prefix, and prints that prefix; the way every stack
# is built is in ../build-stack-common.sh.
#
# Threads are left out everywhere: a threaded WebAssembly program needs shared memory, which
# a browser grants only to pages served with special headers, and the game draws and plays
# from one thread anyway.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../build-stack-common.sh
source "$here/../build-stack-common.sh"

name=wasm32
host=wasm32-unknown-emscripten
export CC=emcc CXX=em++ AR=emar RANLIB=emranlib
# Debian's Emscripten finds its JavaScript helpers among Debian's Node.js modules, wherever
# the node on the path came from.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
threads=OFF
toolchain="$here/toolchain-emscripten.cmake"
inputs=("$here/ffi/"* "$here/pango-fontconfig-in-caller.patch")
# WebAssembly has none of the processors' own instructions that libpng and pixman know.
libpng_options=(--disable-hardware-optimizations --disable-tools)
pixman_options=(-Dloongson-mmi=disabled -Dmmx=disabled -Dsse2=disabled -Dssse3=disabled -Dvmx=disabled
  -Darm-simd=disabled -Dneon=disabled -Da64-neon=disabled -Diwmmxt=disabled -Dmips-dspr2=disabled
  -Dgnu-inline-asm=disabled)

# Debian's source packages, in the order they build.
packages=(zlib libpng1.6 pixman expat freetype pcre2 glib2.0 fontconfig fribidi harfbuzz cairo pango1.0
  libsdl2 libsdl2-mixer)
steps=(setup stand_ins zlib libpng pixman expat freetype pcre2 glib fontconfig fribidi harfbuzz cairo pango sdl2
  sdl2_mixer licences)

# What the browser has no library for, and what GLib links anyway.
step_stand_ins() {
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

step_expat() {
  enter expat
  cmake_src=expat cmake_build -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_FUZZERS=OFF
}

step_pcre2() {
  enter pcre2
  cmake_build -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
    -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DBUILD_STATIC_LIBS=ON
}

step_glib() {
  enter glib2.0
  # Declared in Emscripten's headers but missing from its libc.
  sed -i -e "s/cc.has_function('posix_spawn'/false and cc.has_function('posix_spawn'/" \
    -e "s/cc.has_header_symbol('pthread.h', 'pthread_attr_setinheritsched')/false/" meson.build
  # WebAssembly has lock-free 32-bit compare-and-swap; clang says so only with -matomics.
  extra_cross="$work/glib.ini"
  printf "[built-in options]\nc_args = ['-I' + stack / 'include', '-D__GCC_HAVE_SYNC_COMPARE_AND_SWAP_4=1']\n" >"$extra_cross"
  build_glib
  extra_cross=
  # Its .pc files leave out the libintl it linked against.
  sed -i -e 's/^Libs: \(.*\)$/Libs: \1 -lintl/' "$prefix/lib/pkgconfig/glib-2.0.pc"
}

step_fontconfig() {
  enter fontconfig
  # Its preprocessor step knows gcc and clang by name; Meson calls Emscripten's clang `emscripten`.
  sed -i -e "s/elif cc.get_id() == 'clang'/elif cc.get_id() in ['clang', 'emscripten']/" src/meson.build
  # It reads its configuration from /etc/fonts in the page's own files (the site carries
  # one). Installing writes that folder too: installed aside, so that this machine's own
  # /etc/fonts is never touched, and only what lands in the prefix is kept.
  meson_setup --sysconfdir /etc --localstatedir /var \
    -Ddoc=disabled -Dnls=disabled -Dtests=disabled -Dtools=disabled -Dcache-build=disabled
  nice ninja -C _build -j"$jobs" >build.log
  DESTDIR="$work/fontconfig-root" ninja -C _build install >install.log
  cp -a "$work/fontconfig-root$prefix/." "$prefix/"
  rm -rf "$work/fontconfig-root"
}

step_cairo() {
  enter cairo
  # Its 2018 config.sub does not know Emscripten; libpng's does.
  tar -xf "$(tarball_of libpng1.6)" -C "$work" --wildcards '*/config.sub' --strip-components=1
  cp "$work/config.sub" build/config.sub 2>/dev/null || cp "$work/config.sub" config.sub
  ax_cv_c_float_words_bigendian=no CFLAGS="-O2 -DCAIRO_NO_MUTEX=1" build_cairo --enable-fc --disable-pthread \
    --disable-win32
}

step_pango() {
  enter pango1.0
  # Pango matches fonts on threads of its own and waits for them; here the work is done in
  # the caller.
  patch -p1 -s <"$here/pango-fontconfig-in-caller.patch"
  build_pango -Dfontconfig=enabled -Dfreetype=enabled
}

build_stack "Emscripten $(dpkg-query -W -f '${Version}' emscripten)"
