#!/usr/bin/env bash
# The short robustness runs for CI, a few minutes in all: a minute of fuzzing the event
# handlers, most of a minute fuzzing the frames they lead to, half a minute of SDL's raw
# events through the shell's routing (all from the kept corpus, under AddressSanitizer and
# UndefinedBehaviorSanitizer), then Valgrind's memcheck over a headless session. The
# soak's short version runs with the unit tests.
#
#   scripts/robust-short.sh [BUILD_DIR]     the ordinary build with robust_soak, default build
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
ORBILUX_FUZZ_JOBS=2 scripts/fuzz.sh "${ORBILUX_FUZZ_SECONDS:-60}" fuzz_events
ORBILUX_FUZZ_JOBS=2 scripts/fuzz.sh "${ORBILUX_FUZZ_FRAMES_SECONDS:-45}" fuzz_frames
ORBILUX_FUZZ_JOBS=2 scripts/fuzz.sh "${ORBILUX_FUZZ_SHELL_SECONDS:-30}" fuzz_shell_events
ORBILUX_FUZZ_JOBS=2 scripts/fuzz.sh "${ORBILUX_FUZZ_OPTIONS_SECONDS:-15}" fuzz_options
scripts/memcheck.sh 2000 "$build"
