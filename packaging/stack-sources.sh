# Fetching the upstream sources of a library stack from Debian's archive: sourced by the
# stack builders, which set $cache (the user's cache folder for the game) and $work.

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# apt knows source packages only with a deb-src entry: add one that mirrors the machine's
# own binary entries (same archives, suites and components).
ensure_deb_src() {
  if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then return; fi
  local list=/etc/apt/sources.list.d/orbilux-rush-src.sources one_line=/etc/apt/sources.list.d/orbilux-rush-src.list
  local tmp
  tmp="$(mktemp)"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$list" ] || continue
    sed -e 's/^Types:.*\bdeb\b.*$/Types: deb-src/' "$f" >>"$tmp"
    echo >>"$tmp"
  done
  [ -s "$tmp" ] && "${sudo[@]}" install -m 644 "$tmp" "$list"
  : >"$tmp"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && [ "$f" != "$one_line" ] || continue
    sed -n -e 's/^deb\( \|\t\)/deb-src\1/p' "$f" >>"$tmp"
  done
  [ -s "$tmp" ] && "${sudo[@]}" install -m 644 "$tmp" "$one_line"
  rm -f "$tmp"
  for attempt in 1 2 3 4 5 6; do
    "${sudo[@]}" apt-get update -q >/dev/null && return
    sleep 20  # another apt may hold the lock
  done
  echo "build-stack: apt-get update failed" >&2
  exit 1
}

# Every version apt offers of a source package, newest first.
source_versions() { apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -urV; }

# Fetches the upstream tarball of a source package into $cache/src. A version the mirror
# no longer serves falls back to the next one apt offers.
fetch() {
  local name="$1" v
  for v in $(source_versions "$name"); do
    if (cd "$cache/src" && apt-get source --download-only --tar-only -qq "$name=$v" >/dev/null 2>&1); then
      return
    fi
  done
  echo "build-stack: could not fetch the source of $name" >&2
  exit 1
}

# The newest upstream tarball of a package fetched (not its extra components).
tarball_of() { ls -1 "$cache/src/$1_"*.orig.tar.* | grep -v -e '\.asc$' -e '\.orig-' | sort -V | tail -1; }

# Unpacks a package's upstream tarball and enters it.
enter() {
  local name="$1"
  rm -rf "$work/$name"
  mkdir -p "$work/$name"
  tar -xf "$(tarball_of "$name")" -C "$work/$name" --strip-components=1
  cd "$work/$name"
}
