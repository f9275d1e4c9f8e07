#!/usr/bin/env bash
# Serves the web version of the game (build-web/site, built first when missing) on this
# machine only, and prints the address to open. Ctrl+C stops it.
# Usage: scripts/serve-web.sh [port]   (8018 unless given; 0 picks a free one)
set -euo pipefail
cd "$(dirname "$0")/.."
[ -e build-web/site/index.html ] || scripts/build-web.sh
exec python3 packaging/web/serve.py build-web/site "${1:-8018}"
