#!/usr/bin/env bash
# Fuzzes the game's event handlers under AddressSanitizer and UndefinedBehaviorSanitizer
# with libFuzzer; fuzz_frames also draws the states they reach, fuzz_shell_events feeds
# SDL's raw events through the shell's routing.
#
#   scripts/fuzz.sh [SECONDS] [fuzz_events|fuzz_frames|fuzz_shell_events|fuzz_options]   default: 60 s of fuzz_events
#
# Starts from the corpus kept in fuzz/corpus/<target> and from generated whole-game seeds;
# new inputs go to build-fuzz/work/<target>. With ORBILUX_FUZZ_KEEP=1 the kept corpus is
# afterwards replaced by the minimised union of both (review the change before committing).
# Any crash or broken rule fails the script and leaves the input in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
target=${2:-fuzz_events}
build=${ORBILUX_FUZZ_BUILD:-build-fuzz}
cxx=${ORBILUX_FUZZ_CXX:-$(command -v clang++-14 || command -v clang++ || true)}
cc=${ORBILUX_FUZZ_CC:-$(command -v clang-14 || command -v clang || true)}
if [ -z "$cxx" ] || [ -z "$cc" ]; then
  echo "fuzz.sh: clang is needed for libFuzzer (apt-get install clang-14 libclang-rt-14-dev)" >&2
  exit 1
fi

# Warnings are the ordinary build's business (gcc, -Werror); here only crashes count.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_CXX_COMPILER="$cxx" -DORBILUX_FUZZ=ON -DORBILUX_BUILD_TESTS=OFF -DORBILUX_BUILD_BENCH=OFF \
  -DORBILUX_WERROR=OFF >/dev/null
cmake --build "$build" --target "$target" -j"${ORBILUX_FUZZ_JOBS:-2}"

kept=fuzz/corpus/$target
work=$build/work/$target
seeds=$build/seeds
mkdir -p "$kept" "$work" "$build/artifacts"
python3 fuzz/make_seeds.py "$seeds"

options=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 -print_pcs=0
         -artifact_prefix="$build/artifacts/$target-")
# Pango and fontconfig keep their caches for the life of the process, out of reach of the
# per-input leak check; leaks are the memory check's and the soak's business instead.
[ "$target" = fuzz_frames ] && options+=(-detect_leaks=0)

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
status=0
"$build/fuzz/$target" "${options[@]}" "$work" "$kept" "$seeds" || status=$?

if [ "$status" -eq 0 ] && [ "${ORBILUX_FUZZ_KEEP:-0}" = 1 ]; then
  merged=$build/merged/$target
  rm -rf "$merged" && mkdir -p "$merged"
  # Edges only, not hit counts: a few hundred inputs that reach every edge reached so far.
  "$build/fuzz/$target" -merge=1 -use_counters=0 "${options[@]/-max_total_time=*/-max_total_time=3600}" \
    "$merged" "$seeds" "$kept" "$work"
  rm -rf "$kept" && mv "$merged" "$kept"
  echo "fuzz.sh: $kept now holds $(ls "$kept" | wc -l) inputs, $(du -sh "$kept" | cut -f1)"
fi
exit "$status"
