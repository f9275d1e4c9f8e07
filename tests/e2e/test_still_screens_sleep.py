"""On a still screen the game stops ticking and sleeps until something happens, and still shows
what it must: paused, no tick runs (the game's tick trace says so); resized and exposed while
asleep, the window shows the pause panel at once, letterboxed; Space wakes it into GET READY.
The first frame is reported when asked for."""

import os
import re
import time

from harness import LETTERBOX, PANEL, Game, check, get_ready_on_screen, pause_panel_on_screen, run


class TracedGame(Game):
    def env(self):
        env = super().env()
        env["ORBILUX_RUSH_TRACE_TICKS"] = os.path.join(self.work, "ticks.txt")
        env["ORBILUX_RUSH_TRACE_STARTUP"] = "1"
        return env


def ticks_between(path, start, stop):
    """The ticks the game ran between two CLOCK_MONOTONIC_RAW moments (SDL's counter)."""
    with open(path) as f:
        frequency = int(re.search(r"counts per second (\d+)", f.readline()).group(1))
        counts = [int(line) for line in f if line.strip()]
    return [c for c in counts if c and start <= c / frequency <= stop]


def raw_now():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def scenario(executable):
    with TracedGame(executable, name="sleep") as game:
        game.start_display()
        game.launch()
        game.focus()
        game.key("space")
        game.wait_for_screen(get_ready_on_screen, 5, "GET READY")
        time.sleep(3.5)  # into play: ticks run
        playing_from = raw_now()
        time.sleep(1.0)
        playing_to = raw_now()

        game.key("space")
        game.wait_for_screen(pause_panel_on_screen, 5, "the pause panel")
        asleep_from = raw_now()
        time.sleep(2.0)

        # Resized while asleep: shown again at the new size, without a tick to prompt it.
        game.resize(1000, 600)
        shot = game.shot("resized")
        check(shot.width == 1000, f"the window is {shot.width} wide")
        check(shot.is_filled(0, 0, 100, 600, LETTERBOX), "no letterbox on the left after the resize")
        inside = shot.region(100, 0, 900, 600)
        check(shot.is_filled(316, 229, 420, 244, PANEL), "the pause panel did not move with the field")
        # Hidden and shown again: the focus went with it, and the panel says so; the focus
        # back, the very picture from before comes back.
        game.xdotool("windowunmap", "--sync", game.window)
        game.xdotool("windowmap", "--sync", game.window)
        time.sleep(0.3)
        check(game.shot("mapped again").region(100, 0, 900, 600) != inside, "the panel should ask to come back")
        game.focus()
        time.sleep(0.3)
        check(game.shot("focused again").region(100, 0, 900, 600) == inside, "the picture changed while asleep")
        game.resize(800, 600)
        check(pause_panel_on_screen(game.shot("whole again")), "the pause panel at 800 x 600 again")
        asleep_to = raw_now()

        game.key("space")
        game.wait_for_screen(lambda s: get_ready_on_screen(s) and not pause_panel_on_screen(s), 5,
                             "GET READY after the pause")
        game.key("Escape")
        check(game.wait_exit(5) == 0, "Esc: exit code 0")

        ticks_path = os.path.join(game.work, "ticks.txt")
        playing = ticks_between(ticks_path, playing_from, playing_to)
        check(len(playing) >= 40, f"only {len(playing)} ticks in a second of play")
        asleep = ticks_between(ticks_path, asleep_from + 0.1, asleep_to)
        check(not asleep, f"{len(asleep)} ticks ran in {asleep_to - asleep_from:.1f} s of pause")
        check(re.search(r"first frame shown at monotonic [0-9.]+", game.stderr_text()),
              f"no first frame reported: {game.stderr_text()!r}")


if __name__ == "__main__":
    run(scenario)
