#!/bin/sh
# Runs a Windows program under Wine the way the tests want it: Debian's 64-bit loader (no
# `wine` is on the PATH), no install dialogs for components the game does not use, no
# Wine debug chatter, sound into a file (there is no sound card here). WINEPREFIX, when
# set, chooses the Wine folder; the Windows build's own otherwise.
: "${WINEPREFIX:=$(cd "$(dirname "$0")/../.." && pwd)/build-windows/wine}"
export WINEPREFIX
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" WINEDEBUG="${WINEDEBUG:--all}"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-disk}"
exec /usr/lib/wine/wine64 "$@"
