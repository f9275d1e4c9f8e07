#!/usr/bin/env bash
# Installs the build into temporary folders, as a distribution (DESTDIR, prefix /usr) and
# as a person would (a prefix of their own), and checks that every file is where desktops,
# software centres and man look for it, and that their validators accept them.
# Usage: check-install.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
app_id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAILED: $1 is missing (scripts/install-deps.sh test installs it)" >&2; exit 1; }; }
need desktop-file-validate
need appstreamcli
need python3

check_tree() {
  local root=$1  # the installed prefix, as seen in the file system
  local expected=(
    bin/orbilux-rush
    share/applications/$app_id.desktop
    share/metainfo/$app_id.metainfo.xml
    share/icons/hicolor/scalable/apps/$app_id.svg
    share/man/man6/orbilux-rush.6.gz
  )
  for size in 16 32 48 64 128 256 512; do expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png"); done
  for f in "${expected[@]}"; do [ -s "$root/$f" ] || fail "$root/$f is missing or empty"; done
  [ -x "$root/bin/orbilux-rush" ] || fail "the program is not executable"

  # Nothing else: every installed file is one we meant to install.
  local count
  count=$(find "$root" -type f | wc -l)
  [ "$count" -eq "${#expected[@]}" ] || { fail "$count files installed, ${#expected[@]} expected:"; find "$root" -type f >&2; }

  # Each PNG is a PNG of its folder's size.
  python3 - "$root" "$app_id" <<'PY' || fail "icon sizes"
import struct, sys
root, app_id = sys.argv[1], sys.argv[2]
bad = False
for size in (16, 32, 48, 64, 128, 256, 512):
    path = f"{root}/share/icons/hicolor/{size}x{size}/apps/{app_id}.png"
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        print(f"{path}: not a PNG", file=sys.stderr); bad = True; continue
    w, h = struct.unpack(">II", head[16:24])
    if (w, h) != (size, size):
        print(f"{path}: {w} x {h}", file=sys.stderr); bad = True
sys.exit(1 if bad else 0)
PY

  local desktop=$root/share/applications/$app_id.desktop
  local metainfo=$root/share/metainfo/$app_id.metainfo.xml
  echo "--- desktop-file-validate $desktop"
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  echo "--- appstreamcli validate --no-net $metainfo"
  appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"
  echo "--- appstreamcli validate-tree --no-net $root"
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

  # One application id everywhere: file names, the icon the menu entry asks for, the
  # metainfo's id and the menu entry it launches.
  grep -qx "Icon=$app_id" "$desktop" || fail "the menu entry asks for another icon"
  grep -qx "Exec=orbilux-rush" "$desktop" || fail "the menu entry starts something else"
  grep -qx "Categories=Game;ArcadeGame;" "$desktop" || fail "the menu entry's categories"
  grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "the metainfo's launchable"
  grep -q "<binary>orbilux-rush</binary>" "$metainfo" || fail "the metainfo's binary"

  # The manual page: section 6, the flags, the pad, the files and the environment.
  local page=$root/share/man/man6/orbilux-rush.6.gz
  local source=$work/page.6
  gzip -dc "$page" >"$source" || fail "the manual page is not gzip-compressed"
  grep -q '^\.TH ORBILUX-RUSH 6 ' "$source" || fail "the manual page's header"
  for word in -\\-fullscreen -\\-windowed -\\-seed -\\-help -\\-version GAMEPAD best-score ORBILUX_RUSH_DATA_DIR \
    XDG_DATA_HOME F11 Alt+Enter; do
    grep -qF -- "$word" "$source" || fail "the manual page does not mention $word"
  done
  if command -v man >/dev/null; then
    local warnings
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "man warns about the page: $warnings"
  fi

  "$root/bin/orbilux-rush" --version | grep -q '^orbilux-rush ' || fail "the installed program's --version"
}

echo "=== DESTDIR=$work/stage, prefix /usr"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
check_tree "$work/stage/usr"
[ -z "$(find "$work/stage" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files installed outside the prefix"

echo "=== prefix $work/home-prefix"
cmake --install "$build" --prefix "$work/home-prefix" >/dev/null
check_tree "$work/home-prefix"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo passed
