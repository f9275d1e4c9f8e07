"""On a still screen the game stops ticking and sleeps until something happens, and still shows
what it must: paused, no tick runs (the game's tick trace says so); resized and exposed while
asleep, the window shows the pause panel at once, letterboxed; Space wakes it into GET READY.
The first frame is reported when asked for."""

import os
import re
import time

from harness import LETTERBOX, PANEL, SHOW_DEADLINE, Game, check, get_ready_on_screen, pause_panel_on_screen, run


def ticks_between(path, start, stop):
    """The ticks the game ran between two CLOCK_MONOTONIC_RAW moments (SDL's counter)."""
    with open(path) as f:
        frequency = int(re.search(r"counts per second (\d+)", f.readline()).group(1))
        counts = [int(line) for line in f if line.strip()]
    return [c for c in counts if c and start <= c / frequency <= stop]


def raw_now():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def scenario(executable):
    with Game(executable, name="sleep") as game:
        ticks_path = os.path.join(game.work, "ticks.txt")
        game.launch(ORBILUX_RUSH_TRACE_TICKS=ticks_path, ORBILUX_RUSH_TRACE_STARTUP="1")
        game.focus()
        game.key("space")
        game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "GET READY")
        game.wait_for_screen(lambda s: not get_ready_on_screen(s), SHOW_DEADLINE, "the end of the countdown")
        playing_from = raw_now()
        time.sleep(1.0)  # a second of play: ticks run
        playing_to = raw_now()

        game.key("space")
        game.wait_for_screen(pause_panel_on_screen, SHOW_DEADLINE, "the pause panel")
        asleep_from = raw_now()
        time.sleep(2.0)  # two seconds of pause: no tick may run

        # Resized while asleep: shown again at the new size, without a tick to prompt it.
        game.resize(1000, 600)
        # The old frame, still in the window's left part, has the panel there too: the band
        # on the left is what shows the new frame.
        shot = game.wait_for_screen(lambda s: s.width == 1000 and s.is_filled(0, 0, 100, 600, LETTERBOX)
                                    and s.is_filled(316, 229, 420, 244, PANEL), SHOW_DEADLINE,
                                    "the pause panel in the middle of a 1000 px wide window, letterboxed")
        inside = shot.region(100, 0, 900, 600)
        # Hidden and shown again: the focus went with it, and the panel says so; the focus
        # back, the very picture from before comes back.
        game.xdotool("windowunmap", "--sync", game.window)
        game.xdotool("windowmap", "--sync", game.window)
        game.wait_for_screen(lambda s: s.is_filled(316, 229, 420, 244, PANEL)
                             and s.region(100, 0, 900, 600) != inside, SHOW_DEADLINE,
                             "the panel asking to come back to the window")
        game.focus()
        game.wait_for_screen(lambda s: s.region(100, 0, 900, 600) == inside, SHOW_DEADLINE,
                             "the very picture from before the window was hidden")
        game.resize(800, 600)
        game.wait_for_screen(lambda s: s.width == 800 and pause_panel_on_screen(s), SHOW_DEADLINE,
                             "the pause panel at 800 x 600 again")
        asleep_to = raw_now()

        game.key("space")
        game.wait_for_screen(lambda s: get_ready_on_screen(s) and not pause_panel_on_screen(s), SHOW_DEADLINE,
                             "GET READY after the pause")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc: exit code 0")

        playing = ticks_between(ticks_path, playing_from, playing_to)
        check(len(playing) >= 10, f"only {len(playing)} ticks in a second of play")
        asleep = ticks_between(ticks_path, asleep_from + 0.1, asleep_to)
        check(not asleep, f"{len(asleep)} ticks ran in {asleep_to - asleep_from:.1f} s of pause")
        check(re.search(r"first frame shown at monotonic [0-9.]+", game.stderr_text()),
              f"no first frame reported: {game.stderr_text()!r}")


if __name__ == "__main__":
    run(scenario)
