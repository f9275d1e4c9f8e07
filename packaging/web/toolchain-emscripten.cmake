# Building for the browser with Debian's Emscripten against the library stack that
# build-stack.sh installs. Pass the stack's folder as -DORBILUX_STACK_PREFIX=...
# (scripts/build-web.sh does).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

set(ORBILUX_STACK_PREFIX "$ENV{ORBILUX_STACK_PREFIX}" CACHE PATH "The WebAssembly library stack")
# try_compile projects see the toolchain file again, but not the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORBILUX_STACK_PREFIX)
# Before the sysroot, which has a configuration for an SDL2 of its own that Debian does not ship.
list(PREPEND CMAKE_FIND_ROOT_PATH "${ORBILUX_STACK_PREFIX}")
set(PKG_CONFIG_EXECUTABLE "${ORBILUX_STACK_PREFIX}/bin/pkg-config" CACHE FILEPATH "pkg-config of the stack")

# CMake knows no way to group libraries for Emscripten's linker; it is the usual one.
set(CMAKE_CXX_LINK_GROUP_USING_RESCAN_SUPPORTED TRUE)
set(CMAKE_CXX_LINK_GROUP_USING_RESCAN "LINKER:--start-group" "LINKER:--end-group")
