#!/usr/bin/env python3
"""Starts and quits the real game many times in one X server, as the end-to-end tests do,
with both cores kept busy, and counts the runs that did not end with exit code 0. This is
how a rare X error that ended the game (Xlib's default handler exits with 1) was found; it
stays here to show that it is gone. Not a ctest entry: 200 starts take several minutes.

    repro_x_error.py EXECUTABLE [STARTS] [--no-load]
"""

import os
import sys

from harness import Failure, Game, busy_cores, check

SOUND_SURROUNDINGS = (
    {"SDL_AUDIODRIVER": "dummy"},
    {"SDL_AUDIODRIVER": "no-such-driver"},
    {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": "/nonexistent/folder/sound.raw"},
    {"SDL_AUDIODRIVER": "alsa", "ALSA_CARD": "99"},
)


def one_start(game, surroundings):
    game.launch(**surroundings)
    game.xdotool("windowmove", "--sync", game.window, "0", "0")
    game.focus()
    for key in ("m", "m", "space", "Left", "Right"):
        game.key(key)
        game.shot(key)
    game.key("Escape")
    code = game.wait_exit(20)
    check(code == 0, f"exit code {code}; stderr: {game.stderr_text().strip()!r}")


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    executable = os.path.abspath(args[0])
    starts = int(args[1]) if len(args) > 1 else 200
    failures = 0
    with busy_cores(0 if "--no-load" in sys.argv else os.cpu_count()), Game(executable, name="repro") as game:
        for n in range(starts):
            try:
                one_start(game, SOUND_SURROUNDINGS[n % len(SOUND_SURROUNDINGS)])
            except Failure as failure:
                failures += 1
                print(f"start {n + 1}: {failure}", flush=True)
                game.stop()
    print(f"{starts} starts, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
