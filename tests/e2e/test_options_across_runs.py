"""The options screen in the real window: S opens it over the title, Left turns the music
down a step, and the next run finds the change in settings.ini and on the screen."""

import os

from harness import OPTIONS_MUSIC_ROW as MUSIC_ROW
from harness import SHOW_DEADLINE, Game, check, options_on_screen, run, title_on_screen


def music_row_after(game, keys):
    game.launch()
    game.focus()
    game.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title")
    game.key("s")
    before = game.wait_for_screen(options_on_screen, SHOW_DEADLINE, "the options").region(*MUSIC_ROW)
    row = before
    if keys:
        game.key(*keys)
        row = game.wait_for_screen(lambda s: options_on_screen(s) and s.region(*MUSIC_ROW) != before,
                                   SHOW_DEADLINE, "the music row changed").region(*MUSIC_ROW)
    game.key("Escape")
    game.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title again")
    game.key("Escape")
    check(game.wait_exit() == 0, "Esc should end the game with exit code 0")
    return before, row


def scenario(executable):
    with Game(executable, name="options") as game:
        at_100, at_90 = music_row_after(game, ["Left"])
        check(at_100 != at_90, "Left on the music row changed nothing on the screen")
        with open(os.path.join(game.config_dir, "settings.ini")) as f:
            text = f.read()
        check("music_volume = 90\n" in text, f"settings.ini holds {text!r}")
        again, _ = music_row_after(game, [])
        check(again == at_90, "the next run did not show the music at 90 %")


if __name__ == "__main__":
    run(scenario)
