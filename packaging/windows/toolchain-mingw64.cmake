# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads) against the
# library stack that build-stack.sh installs. Pass the stack's folder as
# -DORBILUX_STACK_PREFIX=... (build-windows.sh does).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(ORBILUX_STACK_PREFIX "$ENV{ORBILUX_STACK_PREFIX}" CACHE PATH "The Windows library stack")
# try_compile projects see the toolchain file again, but not the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORBILUX_STACK_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${ORBILUX_STACK_PREFIX}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(PKG_CONFIG_EXECUTABLE "${ORBILUX_STACK_PREFIX}/bin/pkg-config" CACHE FILEPATH "pkg-config of the stack")

# One self-contained exe: the compiler's own runtime goes in statically too.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine (wine-run.sh says how).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# Test lists are read when the tests run, not while building: the build needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
