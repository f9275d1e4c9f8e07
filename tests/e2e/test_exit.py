"""Ending the game: Esc and the close request end it at once with exit code 0; with no
display at all it says why on one line and ends with exit code 1."""

import os
import signal
import subprocess

from harness import SHOW_DEADLINE, Game, check, get_ready_on_screen, run, wait_until


def scenario(executable):
    # Esc from the title.
    with Game(executable, name="esc-title") as game:
        game.launch()
        game.focus()
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc on the title: exit code 0")

    # Esc in the middle of a game, with the music playing: ends within a second.
    with Game(executable, name="esc-play") as game:
        game.launch()
        game.focus()
        game.key("space")
        game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "GET READY")
        game.key("Escape")
        code = game.wait_exit()
        check(code == 0, f"Esc in a game: exit code {code}")
        check(game.stderr_text().count("orbilux-rush") == 0, "a normal end printed an error")

    # The desktop asks the program to quit (as the close box does, through SDL's quit event).
    with Game(executable, name="quit") as game:
        game.launch()
        wait_until(lambda: len(game.audio_samples()) > 4410, SHOW_DEADLINE, what="sound to start")
        game.process.send_signal(signal.SIGTERM)
        check(game.wait_exit() == 0, "a quit request: exit code 0")
        check(game.stderr_text().count("orbilux-rush") == 0, "a quit request printed an error")

    # No display: one line on standard error, exit code 1.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.pop("SDL_VIDEODRIVER", None)
    result = subprocess.run([executable], env=env, capture_output=True, text=True, timeout=SHOW_DEADLINE)
    check(result.returncode == 1, f"without a display: exit code {result.returncode}")
    lines = result.stderr.splitlines()
    check(len(lines) == 1 and lines[0].startswith("orbilux-rush: cannot open a window"),
          f"without a display: standard error said {result.stderr!r}")
    check(result.stdout == "", "without a display: something went to standard output")


if __name__ == "__main__":
    run(scenario)
