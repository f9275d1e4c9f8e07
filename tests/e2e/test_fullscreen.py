"""Fullscreen on a real desktop (an X server with the openbox window manager, which is what
grants a window the whole screen): F11 and Alt+Enter switch the window to the screen's size
and back, the field stays letterboxed in it, the game goes on underneath untouched; and
--fullscreen starts that way."""

import os
import subprocess
import time

from harness import SHOW_DEADLINE, Game, check, get_ready_on_screen, run, title_letterboxed, wait_until

SCREEN = (1920, 1200)  # the harness's Xvfb screen


def wait_for_size(game, size, what):
    wait_until(lambda: game.window_size() == size, SHOW_DEADLINE, what=f"{what} ({size[0]} x {size[1]}; "
               f"the window is {game.window_size()})")


def fullscreen_letterboxed(shot):
    # 1920 x 1200 holds the field at twice its size, 1600 x 1200, with 160-pixel bands at the sides.
    return title_letterboxed(SCREEN)(shot)


windowed_title = title_letterboxed((800, 600))


def scenario(executable):
    with Game(executable, name="fullscreen") as game:
        game.start_window_manager()
        game.launch()
        wait_for_size(game, (800, 600), "a window at first")
        # The desktop ties the window to its menu entry (and icon) by the window's class.
        entry = os.path.join(os.path.dirname(__file__), "..", "..", "assets", "orbilux-rush.desktop.in")
        with open(entry) as f:
            wm_class = [line.split("=", 1)[1].strip() for line in f if line.startswith("StartupWMClass=")][0]
        classes = subprocess.run(["xprop", "-id", game.window, "WM_CLASS"], env=game.env(), capture_output=True,
                                 text=True).stdout
        check(f'"{wm_class}"' in classes, f"the window's class {classes.strip()!r}, the menu entry's {wm_class!r}")
        game.wait_for_screen(windowed_title, SHOW_DEADLINE, "the title in the window")
        game.focus()

        for keys in (["F11"], ["alt+Return"], ["alt+KP_Enter"]):
            game.key(*keys)
            wait_for_size(game, SCREEN, f"the whole screen after {keys[0]}")
            game.wait_for_screen(fullscreen_letterboxed, SHOW_DEADLINE, f"the field letterboxed after {keys[0]}")
            game.key(*keys)
            wait_for_size(game, (800, 600), f"the window again after a second {keys[0]}")
            game.wait_for_screen(windowed_title, SHOW_DEADLINE, f"the title in the window after {keys[0]} twice")

        # Still the title page: none of these keys was the game's.
        check(game.process.poll() is None, "the game ended")

        # Alt+Enter held down: one switch, not one per repeat.
        game.xdotool("keydown", "alt+Return")
        time.sleep(1.5)  # long enough for the X server's auto-repeat to start
        game.xdotool("keyup", "alt+Return")
        wait_for_size(game, SCREEN, "the whole screen after a held Alt+Enter")
        time.sleep(0.5)
        check(game.window_size() == SCREEN, "a held Alt+Enter switched more than once")

        # The game goes on in fullscreen and ends there with Esc as anywhere.
        game.key("space")
        game.wait_for_screen(lambda s: (s.width, s.height) == SCREEN, SHOW_DEADLINE, "the field in fullscreen")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc in fullscreen: exit code 0")

    with Game(executable, name="fullscreen-start") as game:
        game.start_window_manager()
        game.launch("--fullscreen", "--seed", "12345")
        wait_for_size(game, SCREEN, "the whole screen from the start with --fullscreen")
        game.wait_for_screen(fullscreen_letterboxed, SHOW_DEADLINE, "the field letterboxed from the start")
        game.focus()
        game.key("F11")
        wait_for_size(game, (800, 600), "the 800 x 600 window after F11")
        game.key("space")
        game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "GET READY in the window")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc: exit code 0")


if __name__ == "__main__":
    run(scenario)
