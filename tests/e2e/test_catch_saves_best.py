"""A real catch: the player steers under a falling red booster, the score beats a damaged
stored best (which counted as 0), and the file is replaced by the new best at once."""

import os

from harness import SHOW_DEADLINE, Game, check, get_ready_on_screen, run, steer_for_a_catch

def scenario(executable):
    with Game(executable, name="catch") as game:
        os.makedirs(game.data_dir)
        path = os.path.join(game.data_dir, "best-score")
        with open(path, "wb") as f:
            f.write(b"12 (not a number)\n")
        game.launch()
        game.focus()
        game.key("space")
        game.wait_for_screen(lambda s: not get_ready_on_screen(s), SHOW_DEADLINE, "the end of the countdown")

        def replaced():
            with open(path, "rb") as f:
                content = f.read()
            return content if content != b"12 (not a number)\n" else None

        content = steer_for_a_catch(game, replaced, 90, "no booster caught in 90 s")

        check(content.endswith(b"\n") and content[:-1].isdigit() and int(content) >= 1,
              f"the first new best should replace the damaged file with a number, got {content!r}")
        leftovers = [n for n in os.listdir(game.data_dir) if n != "best-score"]
        check(not leftovers, f"files left beside the best score: {leftovers}")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc: exit code 0")


if __name__ == "__main__":
    run(scenario)
