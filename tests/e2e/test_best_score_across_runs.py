"""The best score between runs: a stored 41 shows from the start and survives a game that
ends lower; a damaged file counts as no score. Compared through the HUD's "BEST" line."""

import os
import tempfile

from harness import SHOW_DEADLINE, Game, check, game_over_on_screen, get_ready_on_screen, run

BEST_LINE = (570, 96, 700, 118)  # the HUD's best score, drawn from (570, 98)


def best_line_in_countdown(executable, data_dir, name, play_to_the_end=False):
    """Starts the game, leaves the title, and returns the HUD's best-score line as shown."""
    with Game(executable, data_dir=data_dir, name=name) as game:
        game.launch()
        game.focus()
        game.key("space")
        shot = game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "GET READY")
        line = shot.region(*BEST_LINE)
        if play_to_the_end:
            game.key_down("Left")
            game.wait_for_screen(game_over_on_screen, 150, "the game-over panel")
            game.key_up("Left")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc should end the game with exit code 0")
        return line


def scenario(executable):
    root = tempfile.mkdtemp(prefix="orbilux-e2e-best-")
    stored, damaged, missing = (os.path.join(root, n) for n in ("stored", "damaged", "missing"))
    for folder in (stored, damaged):
        os.makedirs(folder)
    with open(os.path.join(stored, "best-score"), "w") as f:
        f.write("41\n")
    with open(os.path.join(damaged, "best-score"), "wb") as f:
        f.write(b"41 and then some\x00\xff\n")

    with_41 = best_line_in_countdown(executable, stored, "stored", play_to_the_end=True)
    with open(os.path.join(stored, "best-score")) as f:
        check(f.read() == "41\n", "a game that ended below the best changed the file")
    again_41 = best_line_in_countdown(executable, stored, "stored-again")
    none = best_line_in_countdown(executable, missing, "missing")
    from_damaged = best_line_in_countdown(executable, damaged, "damaged")

    check(with_41 == again_41, "the same stored best should show the same way in two runs")
    check(with_41 != none, "a stored 41 should not show like no score")
    check(from_damaged == none, "a damaged file should show as a best of 0")
    check(not os.path.exists(os.path.join(missing, "best-score")), "a game with no new best wrote a file")
    with open(os.path.join(damaged, "best-score"), "rb") as f:
        content = f.read()
    check(content == b"41 and then some\x00\xff\n" or content.rstrip(b"\n").isdigit(),
          f"the damaged file became {content!r}: neither left alone nor a number")
    os.system(f"rm -rf '{root}'")


if __name__ == "__main__":
    run(scenario)
