"""A real catch: the player steers under a falling red booster, the score beats a damaged
stored best (which counted as 0), and the file is replaced by the new best at once."""

import os
import time

from harness import SHOW_DEADLINE, Failure, Game, check, game_over_on_screen, get_ready_on_screen, run

CATCHER_SPEED = 395  # field pixels per second
FALL_SPEED = 200  # at level 1
CATCH_LINE = 480
BED_OFFSET = 25  # the bed spans 55 px left to 4 px right of the catcher's centre


def find_red_booster(shot):
    """The lowest strongly red pixel in the sky: the falling red booster, if that is what falls."""
    found = None
    for y in range(150, 430, 3):
        for x in range(0, 800, 2):
            r, g, b = shot.pixel(x, y)
            if r > 190 and g < 90 and b < 110:
                found = (x, y)
                break
    return found


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

        player = 400.0
        deadline = time.monotonic() + 90
        while time.monotonic() < deadline:
            with open(path, "rb") as f:
                content = f.read()
            if content != b"12 (not a number)\n":
                break
            shot = game.shot("scan")
            if game_over_on_screen(shot):
                game.key("r")
                player = 400.0
                game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "a new game's countdown")
                game.wait_for_screen(lambda s: not get_ready_on_screen(s), SHOW_DEADLINE, "the end of the countdown")
                continue
            item = find_red_booster(shot)
            if item is None:
                time.sleep(0.1)
                continue
            x, y = item
            target = min(740.0, max(60.0, x + BED_OFFSET))
            distance = target - player
            if abs(distance) > 8:
                key = "Right" if distance > 0 else "Left"
                game.key_down(key)
                time.sleep(abs(distance) / CATCHER_SPEED)
                game.key_up(key)
                player = target
            time.sleep(max(0.0, (CATCH_LINE - y) / FALL_SPEED) + 0.3)
        else:
            raise Failure("no booster caught in 90 s")

        check(content.endswith(b"\n") and content[:-1].isdigit() and int(content) >= 1,
              f"the first new best should replace the damaged file with a number, got {content!r}")
        leftovers = [n for n in os.listdir(game.data_dir) if n != "best-score"]
        check(not leftovers, f"files left beside the best score: {leftovers}")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc: exit code 0")


if __name__ == "__main__":
    run(scenario)
