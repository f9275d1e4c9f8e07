#!/usr/bin/env bash
# Installs what is missing, then builds the game for web browsers: the library stack for
# WebAssembly (cached after the first time, see packaging/web/build-stack.sh), the game, and
# the site in build-web/site/ (index.html, orbilux-rush.js, .wasm, .data, the icon and the
# licences): static files that any web server can serve. scripts/serve-web.sh serves them.
# build-web/orbilux-rush-web.zip is the same site for game portals: index.html at its root,
# every path in it relative. build-web/orbilux-rush-web-relink.zip lets anyone relink the game
# with changed copies of the LGPL libraries in it (the site's licences/README.txt says how).
# build-web/orbilux-rush-scorm12.zip carries the site into a course.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
# Debian's Emscripten finds its JavaScript helpers among Debian's Node.js modules, wherever
# the node on the path came from.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
stack="$(packaging/web/build-stack.sh)"
cmake -S . -B build-web -G Ninja -DCMAKE_TOOLCHAIN_FILE=packaging/web/toolchain-emscripten.cmake \
  -DORBILUX_STACK_PREFIX="$stack" -DCMAKE_BUILD_TYPE=Release -DORBILUX_BUILD_TESTS=OFF -DORBILUX_BUILD_BENCH=OFF \
  ${ORBILUX_CMAKE_ARGS:-}
cmake --build build-web
rm -rf build-web/site
cmake --install build-web --prefix build-web/site >/dev/null
rm -f build-web/orbilux-rush-web.zip
(cd build-web/site && zip -qrX9 ../orbilux-rush-web.zip .)
packaging/web/relink.sh build-web "$stack"
# The same site as a SCORM 1.2 package for course platforms (README: "In a course").
python3 packaging/web/scorm_package.py build-web/site build-web/orbilux-rush-scorm12.zip
ls -l build-web/site build-web/orbilux-rush-web.zip build-web/orbilux-rush-web-relink.zip build-web/orbilux-rush-scorm12.zip
