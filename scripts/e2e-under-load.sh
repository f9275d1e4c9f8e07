#!/usr/bin/env bash
# Runs the real-window tests (label e2e) RUNS times in a row while other processes keep every
# core busy (SPINNERS of them, one a core unless told), and after each run checks that nothing
# they started is still running.
#   scripts/e2e-under-load.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-20}
cd "$(dirname "$0")/.."

spinners=()
stop_spinners() { for p in "${spinners[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap stop_spinners EXIT
for _ in $(seq "${SPINNERS:-$(nproc)}"); do
  (while :; do :; done) &
  spinners+=($!)
done

# What a test may start, still running with the test that started it gone (adopted by init).
leftovers() {
  ps -eo pid=,ppid=,stat=,args= | awk '$2 == 1 && $3 !~ /^Z/ && $4 ~ /(^|\/)(Xvfb|weston|openbox|orbilux-rush|xdotool|import)$/'
}
before=$(leftovers)

failed=0
for run in $(seq "$runs"); do
  started=$(date +%s)
  log="$build/e2e-under-load-$run.log"
  if ctest --test-dir "$build" -L e2e --output-on-failure >"$log" 2>&1; then
    verdict=passed
  else
    verdict="FAILED ($(grep -E '^\s+[0-9]+ - ' "$log" | tr -s ' ' | tr '\n' ';'))"
    failed=$((failed + 1))
  fi
  left=$(comm -13 <(echo "$before") <(leftovers))
  echo "run $run: $verdict in $(( $(date +%s) - started )) s${left:+; left running: $left}"
  [ -z "$left" ] || failed=$((failed + 1))
done
echo "$runs runs, $failed failed"
[ "$failed" -eq 0 ]
