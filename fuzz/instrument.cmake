# Included before any library is defined when ORBILUX_FUZZ is on: everything the fuzzers
# link is built with coverage feedback for libFuzzer and with both sanitizers, which turn
# any memory fault or undefined behaviour into a crash the fuzzer keeps.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ORBILUX_FUZZ needs clang (libFuzzer), e.g. -DCMAKE_CXX_COMPILER=clang++-14")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
