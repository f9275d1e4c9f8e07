"""On Wayland, the compositor ends under a running game (a logout, a crash, a restart): the
game ends by itself with exit code 1 and one line on standard error, every time; and a game
whose compositor is gone still ends on SIGTERM."""

import signal
import time

from harness import (BAR, EXIT_DEADLINE, SHOW_DEADLINE, Failure, Game, check, end_process, run, start_weston,
                     wait_until)

RUNS = 20
GONE_DEADLINE = 5  # the compositor gone, the game must have ended by itself this soon


def playing_in_weston(game, socket):
    """Weston started, the game launched in it and its field running. The title is not looked
    for: its one frame may not reach the screen; the field's frames keep coming."""
    weston = start_weston(game, socket)
    game.xdotool("mousemove", "1500", "1100")  # the pointer off Weston's window
    # The renderer a player gets (OpenGL through EGL here), not the harness's software one:
    # the connection dies differently under each.
    game.launch(find_window=False, ORBILUX_RUSH_TRACE_STARTUP="1", SDL_RENDER_DRIVER=None,
                SDL_FRAMEBUFFER_ACCELERATION=None)
    game.window = "root"  # the game's window is inside Weston's, on the X server's screen
    wait_until(lambda: check(game.alive(), "the game ended on its own") or "first frame shown" in game.stderr_text(),
               SHOW_DEADLINE, what="the game's first frame in the compositor")
    game.xdotool("windowfocus", "--sync", game.xdotool("search", "--class", "Weston Compositor").split()[0])
    for attempt in range(5):  # Weston may take a moment to hand its keyboard over
        game.key("space")
        try:
            shot = game.wait_for_screen(lambda s: s.find_run(BAR, 700), SHOW_DEADLINE // 5, "the field in the compositor")
            break
        except Failure:
            if attempt == 4:
                raise
    # The pointer over the field, as a player's is: the compositor's last words then include
    # the pointer leaving, which is what could leave the game going round for ever.
    left, top = shot.find_run(BAR, 700)
    game.xdotool("mousemove", str(left + 400), str(top + 300))
    time.sleep(3)  # past the countdown, the field running
    return weston


def said_by_game(game):
    """The game's own lines on standard error, without what it was asked to trace."""
    return [line for line in game.stderr_text().splitlines()
            if line.startswith("orbilux-rush:") and "first frame shown" not in line]


def scenario(executable):
    with Game(executable, name="compositor-gone") as game:
        outcomes = []
        for number in range(RUNS):
            weston = playing_in_weston(game, f"orbilux-gone-{number}")
            end_process(weston)
            try:
                code = game.wait_exit(GONE_DEADLINE)
            except Failure:
                code = "still running"
            said = said_by_game(game)
            if code != 1 or len(said) != 1 or not said[0].startswith("orbilux-rush: lost the connection to the display"):
                outcomes.append(f"run {number + 1}: {code}, said {said!r}")
        check(not outcomes, f"{len(outcomes)} of {RUNS} runs did not end by themselves {GONE_DEADLINE} s after "
              f"the compositor with exit code 1 and one line: " + "; ".join(outcomes))

        # SIGTERM reaches a game whose connection is already dead: the game is held still while
        # its compositor ends and the signal comes, and ends once it runs again.
        weston = playing_in_weston(game, "orbilux-gone-term")
        game.process.send_signal(signal.SIGSTOP)
        end_process(weston)
        game.process.send_signal(signal.SIGTERM)
        game.process.send_signal(signal.SIGCONT)
        code = game.wait_exit(EXIT_DEADLINE)
        # The signal and the broken connection meet in the same moment: either end is right.
        check(code in (0, 1), f"SIGTERM with the compositor gone: exit code {code}; "
              f"stderr: {said_by_game(game)!r}")


if __name__ == "__main__":
    run(scenario)
