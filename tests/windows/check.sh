#!/usr/bin/env bash
# The Windows build's tests under Wine: the unit tests of the rules, the sound and the
# drawing through CTest, then the game, its registry best score and its installer
# (wine_e2e.py), and every licence in the portable zip and the installed game readable.
# Everything runs in a fresh Wine folder that goes away afterwards, with its
# Wine server. Usage: check.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"

WINEPREFIX="$(mktemp -d /tmp/orbilux-wine-tests.XXXXXX)"
export WINEPREFIX
finish() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap finish EXIT
packaging/windows/wine-run.sh wineboot -i >/dev/null 2>&1  # the fresh folder, once, up front

python3 -B tests/package/check_licences.py "$build"/packages/*-win64.zip  # the portable zip
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
python3 -B tests/windows/wine_e2e.py "$build" "$linux/app/orbilux-rush"
