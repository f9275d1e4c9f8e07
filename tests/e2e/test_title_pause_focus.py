"""Start-up to the countdown: the title page with its music, then Space through GET READY,
pause and back, and the pause that losing the focus brings."""

import subprocess
import time

from harness import (SHOW_DEADLINE, Game, check, get_ready_on_screen, pause_panel_on_screen, run, title_on_screen,
                     wait_until)


def scenario(executable):
    with Game(executable, name="title") as game:
        game.launch()
        check(game.window_size() == (800, 600), f"the window opened at {game.window_size()}, not 800 x 600")
        # No window manager here, so no borders: the smallest outer size is the smallest client size.
        hints = subprocess.run(["xprop", "-id", game.window, "WM_NORMAL_HINTS", "WM_NAME"], env=game.env(),
                               capture_output=True, text=True).stdout
        check("minimum size: 580 by 460" in hints, f"the window's size hints: {hints!r}")
        check('WM_NAME(STRING) = "Orbilux Rush"' in hints, f"the window's title: {hints!r}")
        shot = game.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title page")
        check(not pause_panel_on_screen(shot) and not get_ready_on_screen(shot), "panels over the title")

        # The title's music plays: the captured sound is not silence.
        def loud_enough():
            samples = game.audio_samples()
            return len(samples) > 22050 and sum(1 for s in samples[-22050:] if abs(s) > 200) > 2000

        wait_until(loud_enough, SHOW_DEADLINE, what="the title music in the captured sound")
        check(max(abs(s) for s in game.audio_samples()) < 32767, "the sound clips")

        game.focus()
        game.key("space")
        game.wait_for_screen(lambda s: get_ready_on_screen(s) and not pause_panel_on_screen(s), SHOW_DEADLINE, "GET READY")

        game.key("space")
        game.wait_for_screen(lambda s: pause_panel_on_screen(s) and not get_ready_on_screen(s), SHOW_DEADLINE,
                             "the pause panel without the countdown")
        paused_text = game.shot("paused").region(240, 288, 560, 316)
        time.sleep(1.0)
        check(pause_panel_on_screen(game.shot("still-paused")), "the pause did not hold")

        game.key("space")
        game.wait_for_screen(lambda s: get_ready_on_screen(s) and not pause_panel_on_screen(s), SHOW_DEADLINE,
                             "GET READY again after the pause")

        # Another window takes the keyboard: the pause panel asks to come back, over the countdown.
        game.focus_elsewhere()
        shot = game.wait_for_screen(pause_panel_on_screen, SHOW_DEADLINE, "the pause panel when the focus is gone")
        check(get_ready_on_screen(shot), "the countdown panel should stay visible around the pause panel")
        away_text = shot.region(240, 288, 560, 316)
        check(away_text != paused_text, "the pause panel should say to return to the window, not to press Space")
        game.key("space")  # goes to the other window, not the game
        check(pause_panel_on_screen(game.shot("away")), "the panel left without the focus coming back")

        game.focus()
        game.wait_for_screen(lambda s: get_ready_on_screen(s) and not pause_panel_on_screen(s), SHOW_DEADLINE,
                             "the countdown once the focus is back")
        check(game.process.poll() is None, "the game ended by itself")


if __name__ == "__main__":
    run(scenario)
