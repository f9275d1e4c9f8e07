"""SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal) end the game as the close
box does, from any screen: exit code 0 and nothing on standard error. On X11 from the title,
during play and in pause; and with no display at all (SDL's offscreen video, asked for by name)."""

import os
import signal

from harness import (SHOW_DEADLINE, Game, check, get_ready_on_screen, pause_panel_on_screen, play_field_on_screen,
                     run, wait_until)


def ends_cleanly(game, number, where):
    game.process.send_signal(number)
    code = game.wait_exit()
    said = game.stderr_text()
    check(code == 0, f"{signal.Signals(number).name} {where}: exit code {code}; stderr: {said.strip()!r}")
    check("orbilux-rush" not in said, f"{signal.Signals(number).name} {where} printed {said.strip()!r}")


def scenario(executable):
    with Game(executable, name="signals") as game:
        game.launch()
        game.focus()
        ends_cleanly(game, signal.SIGHUP, "on the title")

        game.launch()
        game.focus()
        game.key("space")
        game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "GET READY")
        game.wait_for_screen(lambda s: play_field_on_screen(s) and not get_ready_on_screen(s), SHOW_DEADLINE,
                             "the field running")
        ends_cleanly(game, signal.SIGINT, "during play")

        # Paused the loop sleeps until an event comes: the signal must wake it.
        game.launch()
        game.focus()
        game.key("space")
        game.wait_for_screen(lambda s: play_field_on_screen(s) and not get_ready_on_screen(s), SHOW_DEADLINE,
                             "the field running")
        game.key("space")
        game.wait_for_screen(pause_panel_on_screen, SHOW_DEADLINE, "the pause panel")
        ends_cleanly(game, signal.SIGTERM, "in pause")

    with Game(executable, name="signals-no-display", DISPLAY=None, SDL_VIDEODRIVER="offscreen") as game:
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            if os.path.exists(game.audio_file):
                os.remove(game.audio_file)  # the last start's sound
            game.launch(find_window=False)
            # The title's music plays once the window's life has begun.
            wait_until(lambda: check(game.alive(), "the game ended on its own") or len(game.audio_samples()) > 4410,
                       SHOW_DEADLINE, what="the title's music")
            ends_cleanly(game, number, "with no display")


if __name__ == "__main__":
    run(scenario)
