#!/usr/bin/env bash
# Figures of the web version against their budgets (tests/web/bench_web.py says which),
# with the time the library stack takes to build, from nothing (only when asked:
# BENCH_STACK_FROM_NOTHING=1, a quarter of an hour or more) and from the cache.
# Usage: scripts/bench-web.sh   (after scripts/build-web.sh and scripts/test.sh's build)
set -euo pipefail
cd "$(dirname "$0")/.."
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ "${BENCH_STACK_FROM_NOTHING:-0}" = 1 ]; then
  export XDG_CACHE_HOME="$(mktemp -d)"
  start=$SECONDS
  packaging/web/build-stack.sh >/dev/null
  echo "library stack from nothing: $((SECONDS - start)) s"
fi
start=$EPOCHREALTIME
packaging/web/build-stack.sh >/dev/null
awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "library stack from the cache: %.2f s\n", b - a }'
if [ "${BENCH_STACK_FROM_NOTHING:-0}" = 1 ]; then rm -rf "$XDG_CACHE_HOME"; fi
/usr/bin/python3 -B tests/web/bench_web.py build-web/site build/app/orbilux-rush "${BENCH_LOADS:-5}"
