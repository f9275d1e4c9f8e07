#!/usr/bin/env bash
# Measures the real game under Xvfb against its budgets: processor time on each kind of
# screen, start to first frame, resident memory and the tick spacing while playing, each
# beside the straightforward way (every tick composed and presented, no sleeping).
#
#   bench/measure-game.sh [build-dir]        (default: build)
#
# MEASURE_RUNS (default 3) runs of each way, MEASURE_SECONDS (default 10) per screen; about
# a minute per run. MEASURE_SCREEN=1920x1080 plays fullscreen on a screen of that size;
# MEASURE_AGAINST=stretched compares with the field drawn at 800 x 600 and stretched instead;
# MEASURE_AGAINST=software compares the game with no SDL_* variables (as without a GPU) with
# SDL's software renderer asked for by both variables. MEASURE_BEFORE=path/to/orbilux-rush
# compares with another build of the game (the build before) instead. Prints the medians and one line per budget, MET or MISSED; exits 1 when
# a budget is missed. Needs Xvfb, xdotool and ImageMagick, as the end-to-end tests do.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
executable="$build_dir/app/orbilux-rush"
if [[ ! -x "$executable" ]]; then
  echo "$executable is not built" >&2
  exit 2
fi
exec python3 -B bench/measure_game.py "$executable"
