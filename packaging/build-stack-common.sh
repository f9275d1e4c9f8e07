# The library stacks the game links on Windows and in the browser, built the one way: from
# the upstream tarballs Debian's archive carries (`apt-get source`), so nothing comes from
# anywhere but the machine's own apt sources; every library static, in one prefix, with its
# licence texts beside it. Sourced by packaging/<platform>/build-stack.sh, which sets
#   here          its own folder (with its meson-cross.ini)
#   host          the compilers' target; CC, CXX, AR and RANLIB exported
#   name          the stack's folder name in the cache (win64, wasm32)
#   packages      Debian's source packages it builds from
#   steps         what it builds, in order: a step_<step> below or one of its own
#   inputs        its own files that the libraries are built with (beside its meson-cross.ini)
#   threads       ON or OFF: whether the libraries may start threads
#   toolchain     the CMake toolchain file the game itself is built with
# and then calls build_stack, which prints the finished prefix. The prefix is kept in the
# user's cache, keyed by the source versions, the compilers and these build files, so a
# second run returns at once; an interrupted build picks up again at the step it stopped in.

packaging="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/orbilux-rush"
jobs="${ORBILUX_JOBS:-2}"
# What a builder may add: options for a library, files its steps read.
libpng_options=() pixman_options=() inputs=()

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

# Meson's `threads` dependency: a stack without threads gives every project an empty one,
# and its libc answers the pthread calls for one thread.
no_threads() { sed -i -e "s/dependency('threads'[^)]*)/dependency('', required : false)/" "$@"; }

meson_setup() {
  [ "$threads" = ON ] || no_threads meson.build
  nice meson setup _build --cross-file "$work/stack.ini" --cross-file "$packaging/stack-meson.ini" \
    --cross-file "$here/meson-cross.ini" ${extra_cross:+--cross-file "$extra_cross"} --prefix "$prefix" \
    --libdir lib --buildtype release --default-library static --wrap-mode nofallback "$@" >meson.log
}

meson_build() {
  meson_setup "$@"
  nice ninja -C _build -j"$jobs" install >build.log
}

autotools_configure() {
  nice ./configure --host="$host" --prefix="$prefix" --enable-static --disable-shared "$@" >configure.log
}

autotools_build() {
  autotools_configure "$@"
  nice make -j"$jobs" >build.log
  make install >install.log
}

cmake_build() {
  nice cmake -S "${cmake_src:-.}" -B _build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DORBILUX_STACK_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@" >cmake.log
  nice cmake --build _build -j"$jobs" >build.log
  cmake --install _build >install.log
}

# Static libraries only: every pkg-config query must name the private libraries too, and the
# prefix is taken from where the .pc files are, so that the finished folder can be moved into
# place. GLib insists on a libintl; the game shows no GLib message a player would read.
step_setup() {
  mkdir -p "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
  cat >"$prefix/bin/pkg-config" <<'EOF'
#!/bin/sh
stack="$(cd "$(dirname "$0")/.." && pwd)"
PKG_CONFIG_LIBDIR="$stack/lib/pkgconfig:$stack/share/pkgconfig" PKG_CONFIG_PATH= \
  exec pkg-config --static --define-prefix "$@"
EOF
  chmod +x "$prefix/bin/pkg-config"
  "$CC" -O2 -c "$packaging/libintl/libintl.c" -o "$work/libintl.o"
  "$AR" rcs "$prefix/lib/libintl.a" "$work/libintl.o"
  cp "$packaging/libintl/libintl.h" "$prefix/include/"
}

step_zlib() {
  enter zlib
  # Debian's tarball has no win32/ folder; the plain configure knows a cross compiler by CHOST.
  CHOST="$host" nice ./configure --static --prefix="$prefix" >configure.log
  nice make -j"$jobs" libz.a >build.log
  make install >install.log
}

step_libpng() {
  enter libpng1.6
  autotools_build --disable-unversioned-links "${libpng_options[@]}"
}

step_pixman() {
  enter pixman
  meson_build -Dgtk=disabled -Dlibpng=disabled -Dtests=disabled -Dopenmp=disabled "${pixman_options[@]}"
}

step_freetype() {
  enter freetype
  meson_build -Dbrotli=disabled -Dbzip2=disabled -Dharfbuzz=disabled -Dpng=enabled -Dzlib=system \
    -Dtests=disabled
}

# GLib without translations, manuals, tests or tracing; the builder's own step enters it.
build_glib() {
  meson_build -Dtests=false -Dinstalled_tests=false -Dnls=disabled -Dman=false -Dgtk_doc=false \
    -Dlibmount=disabled -Dselinux=disabled -Dxattr=false -Dsysprof=disabled -Dlibelf=disabled \
    -Ddtrace=false -Dsystemtap=false -Dglib_debug=disabled
}

step_fribidi() {
  enter fribidi
  # The library alone, not its command-line tool and tests.
  sed -i -e "/^subdir('\\(bin\\|test\\)')/d" meson.build
  meson_build -Ddocs=false
}

step_harfbuzz() {
  enter harfbuzz
  meson_build -Dglib=disabled -Dgobject=disabled -Dcairo=disabled -Dicu=disabled -Dfreetype=enabled \
    -Dtests=disabled -Ddocs=disabled -Dintrospection=disabled -Dbenchmark=disabled -Dchafa=disabled
}

# Cairo's library alone, drawing into memory with FreeType and PNG, plus the platform's
# options (the arguments); the builder's own step enters it.
build_cairo() {
  autotools_configure --enable-ft --enable-png \
    --disable-xlib --disable-xlib-xrender --disable-xcb --disable-quartz --disable-gobject \
    --disable-trace --disable-interpreter --disable-script --disable-ps --disable-pdf --disable-svg \
    --disable-full-testing --disable-gtk-doc --disable-valgrind --disable-symbol-lookup "$@"
  nice make -C src -j"$jobs" >build.log
  make -C src install >install.log
}

# Pango with Cairo, plus the platform's font back ends (the arguments); the builder's own
# step enters it.
build_pango() {
  # The library alone: its tools, examples and tests are not needed and take long to build.
  sed -i -e "/^subdir('\(utils\|examples\|tests\|tools\)')/d" meson.build
  meson_build -Dcairo=enabled -Dxft=disabled -Dlibthai=disabled -Dintrospection=disabled -Dgtk_doc=false \
    -Dinstall-tests=false -Dsysprof=disabled "$@"
}

step_sdl2() {
  enter libsdl2
  cmake_build -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL_THREADS="$threads"
}

step_sdl2_mixer() {
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
}

# Every library's own licence texts (top-level COPYING, LICENSE and the like), for the game
# to carry beside itself.
step_licences() {
  local name tarball
  for name in "${packages[@]}"; do
    tarball="$(tarball_of "$name")"
    mkdir -p "$prefix/share/licences/$name"
    tar -tf "$tarball" | grep -E '^[^/]+/(expat/)?(COPYING|LICENSE|LICENCE|COPYRIGHT|LICENSE\.txt|COPYING\.txt)[^/]*$' |
      xargs tar -xf "$tarball" -C "$prefix/share/licences/$name" --strip-components=1
  done
  cp "$packaging/libintl/README" "$prefix/share/licences/libintl-no-op.txt"
  find "$prefix/lib" -name '*.la' -delete
}

# A step is done when its stamp holds the digest of everything it ran with; the steps after
# a redone one are redone too.
build_steps() {
  printf "[constants]\nstack = '%s'\n" "$prefix" >"$work/stack.ini"
  export PKG_CONFIG="$prefix/bin/pkg-config"
  export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" CFLAGS="-O2"
  local step digest redo=
  for step in "${steps[@]}"; do
    digest="$({ echo "$key"; declare -f "step_$step" $(declare -F "build_$step"); } | sha256sum | cut -c1-16)"
    if [ -z "$redo" ] && [ "$(cat "$work/done-$step" 2>/dev/null)" = "$digest" ]; then continue; fi
    redo=1
    echo "build-stack: $step" >&2
    "step_$step"
    echo "$digest" >"$work/done-$step"
  done
}

# Builds the stack unless the cache holds it, and prints its folder. $1 names the compilers
# and tools the libraries are built with, so that the key changes with them.
build_stack() {
  mkdir -p "$cache/src"
  ensure_deb_src
  # The key covers what every library is built with: the sources, the compilers, the files
  # and the shared helpers. A change to one step's own commands is covered by that step's
  # stamp, so only it and the ones after it are built again.
  key="$({
    for package in "${packages[@]}"; do echo "$package $(source_versions "$package" | tr '\n' ' ')"; done
    echo "$1"
    echo "threads=$threads ${libpng_options[*]} ${pixman_options[*]}"
    cat "$packaging/stack-meson.ini" "$packaging/libintl/"* "$here/meson-cross.ini" "$toolchain" "${inputs[@]}"
    declare -f $(declare -F | sed -n 's/^declare -f //p' | grep -v -e '^step_' -e '^build_')
  } | sha256sum | cut -c1-16)"
  local final="$cache/$name-$({ echo "$key ${steps[*]}"; declare -f; } | sha256sum | cut -c1-16)"
  if [ -e "$final/.complete" ]; then
    echo "$final"
    return
  fi
  for package in "${packages[@]}"; do fetch "$package"; done
  # Built aside and moved into place once whole, so that an interrupted build is never taken
  # for a finished one.
  work="$cache/work-$name-$key"
  prefix="$work/prefix"
  local started=$SECONDS status
  mkdir -p "$work"
  # A subshell of its own, so that a failing step stops the build (errexit) and its folder
  # changes stay inside.
  set +e
  (
    set -e
    build_steps
  )
  status=$?
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
