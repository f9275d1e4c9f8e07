#!/usr/bin/env bash
# The busiest frame composed natively and as WebAssembly under Node, in the same run,
# alternating, and how many times slower the WebAssembly is at scale 1 and 2.
#
#   bench/wasm-vs-native.sh [native-build] [web-build]     (default: build build-web)
#
# Both builds need the benchmarks on: the native one as bench/run.sh wants it, the web one
# from `ORBILUX_CMAKE_ARGS=-DORBILUX_BUILD_BENCH=ON scripts/build-web.sh`. ROUNDS (default 5)
# runs of each, FRAMES (default 600) frames per scale in a run.
set -euo pipefail
cd "$(dirname "$0")/.."
native_dir=${1:-build}
web_dir=${2:-build-web}
rounds=${ROUNDS:-5}
frames=${FRAMES:-600}
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --build "$native_dir" --target compose_timing >&2
cmake --build "$web_dir" --target compose_timing >&2
native="$native_dir/bench/compose_timing"
wasm="$web_dir/bench/compose_timing.js"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for ((round = 1; round <= rounds; ++round)); do
  "$native" "$frames" | sed 's/^/native /' >>"$out"
  # Node 18's global fetch would make this Emscripten's loader fetch file paths.
  node --no-experimental-fetch "$wasm" "$frames" | sed 's/^/wasm /' >>"$out"
done
python3 - "$out" <<'PY'
import re, statistics, sys
runs = {}
for line in open(sys.argv[1]):
    m = re.match(r"(\w+) busiest_frame scale=(\d+) median_ms=([\d.]+) p99_ms=([\d.]+)", line)
    if m:
        runs.setdefault((m[1], int(m[2])), []).append((float(m[3]), float(m[4])))
for scale in sorted({s for _, s in runs}):
    n = [m for m, _ in runs.get(("native", scale), [])]
    w = [m for m, _ in runs.get(("wasm", scale), [])]
    if not n or not w:
        print(f"scale {scale}: missing runs", file=sys.stderr)
        sys.exit(1)
    native, wasm = statistics.median(n), statistics.median(w)
    print(f"busiest frame, scale {scale}: native {native:.3f} ms, wasm under Node {wasm:.3f} ms "
          f"(medians of {len(n)} runs' medians): wasm / native = {wasm / native:.2f}")
PY
