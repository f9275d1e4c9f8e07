#!/usr/bin/env bash
# The Debian package as a user meets it: made with CPack from a finished build, accepted by
# lintian without an error or a warning, installed with apt (which pulls in what it depends
# on), started as its menu entry starts it from a user's PATH, shown under Xvfb and closed
# with Esc, then removed again so that nothing of it stays on the machine.
# Usage: check-deb.sh [BUILD_DIR]   (default: build). Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
work=$(mktemp -d)
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt_get=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 -y)

xvfb_pid=
installed_by_us=0
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ "$installed_by_us" -eq 1 ]; then
    "${apt_get[@]}" purge orbilux-rush >/dev/null || echo "could not remove orbilux-rush again" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

if dpkg-query -W -f='${Status}' orbilux-rush 2>/dev/null | grep -q "install ok installed"; then
  fail "orbilux-rush is already installed here; remove it first (apt-get purge orbilux-rush)"
fi

echo "=== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/orbilux-rush_*.deb)
version=$(grep -m1 '^CMAKE_PROJECT_VERSION:' "$build/CMakeCache.txt" | cut -d= -f2)
dpkg-deb --field "$deb"
depends=$(dpkg-deb --field "$deb" Depends)
for wanted in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libcairo2 libpangocairo-1.0-0 "fonts-open-sans | fonts-dejavu-core"; do
  grep -qF "$wanted" <<<"$depends" || fail "the package does not depend on $wanted"
done
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "the package's version is not $version"

echo "=== lintian"
command -v lintian >/dev/null || fail "lintian is missing (scripts/install-deps.sh test installs it)"
# Informational tags are not failures; any error or warning is.
lintian --fail-on error,warning "$deb" || fail "lintian does not accept the package"

echo "=== apt-get install $deb"
installed_by_us=1
"${apt_get[@]}" install "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get install"; }
dpkg-query -W -f='${Status}\n' orbilux-rush | grep -q "install ok installed" || fail "not installed"
for f in /usr/games/orbilux-rush /usr/share/doc/orbilux-rush/copyright /usr/share/man/man6/orbilux-rush.6.gz /usr/share/icons/hicolor/scalable/apps/ \
  /usr/share/applications/ /usr/share/metainfo/; do
  [ -e "$f" ] || fail "$f is missing after installing"
done
dpkg -L orbilux-rush | grep -q '/usr/share/applications/.*\.desktop$' || fail "no menu entry installed"
dpkg -L orbilux-rush | grep -q '/usr/share/icons/hicolor/512x512/apps/.*\.png$' || fail "no 512 x 512 icon installed"

echo "=== the menu entry's command, from a Debian user's PATH"
# The PATH Debian gives every user's login and desktop session; root's lacks /usr/games.
user_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
desktop=$(dpkg -L orbilux-rush | grep '/usr/share/applications/.*\.desktop$')
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ "$(PATH=$user_path command -v "$command")" = /usr/games/orbilux-rush ] ||
  fail "the menu entry's '$command' is not /usr/games/orbilux-rush on a user's PATH"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY PATH="$user_path" "$command" --version)
echo "$out"
[ "$out" = "orbilux-rush $version" ] || fail "--version said '$out'"

echo "=== a short start under Xvfb, ended with Esc"
# Xvfb picks a free display and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  grep -q . "$work/display" 2>/dev/null && break
  sleep 0.1
done
display=$(tr -d '[:space:]' <"$work/display")
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=":$display" SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 \
  SDL_AUDIODRIVER=dummy ORBILUX_RUSH_DATA_DIR="$work/data"
unset WAYLAND_DISPLAY
/usr/games/orbilux-rush 2>"$work/stderr.txt" &
game=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orbilux Rush$' | head -1) || true
[ -n "$window" ] || { cat "$work/stderr.txt" >&2; fail "no window showed"; }
sleep 1
kill -0 "$game" 2>/dev/null || fail "the game ended by itself"
xdotool windowfocus --sync "$window"
xdotool key Escape
code=0
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && { kill "$game"; fail "the game was still running 5 s after Esc"; }
wait "$game" || code=$?
[ "$code" -eq 0 ] || { cat "$work/stderr.txt" >&2; fail "exit code $code after Esc"; }
echo "window shown, closed with Esc, exit code 0"

echo "=== apt-get purge orbilux-rush"
"${apt_get[@]}" purge orbilux-rush >/dev/null
installed_by_us=0
[ ! -e /usr/games/orbilux-rush ] || fail "/usr/games/orbilux-rush is still there after removing the package"
echo passed
