"""Fullscreen on a 1920 x 1080 screen shows the field at 1.8 times its size, drawn at that
size: the edges of the title's letters go from page to ink within about one screen pixel.
The same screen with the field drawn at 800 x 600 and stretched (ORBILUX_RUSH_STRETCH_FIELD=1,
the way it was shown before) has edges three pixels wide; the drawn one must have at most
1.5 and at most half of the stretched one's."""

from harness import SHOW_DEADLINE, TITLE_BUTTON, WHITE, Game, check, run, title_edge_width_in

SCREEN = (1920, 1080)
SCALE = 1.8
FIELD_X = (1920 - 1440) // 2  # the letterbox's band on the left


def fullscreen_title(shot):
    def at(x, y):
        return shot.pixel(FIELD_X + int(x * SCALE), int(y * SCALE))

    return ((shot.width, shot.height) == SCREEN and at(50, 508) == TITLE_BUTTON and at(300, 546) == TITLE_BUTTON
            and at(5, 5) == WHITE and shot.pixel(FIELD_X - 1, 500) != WHITE)


def title_edge_width(executable, **changes):
    with Game(executable, name="sharp", screen=f"{SCREEN[0]}x{SCREEN[1]}x24", **changes) as game:
        game.start_window_manager()
        game.launch("--fullscreen")
        shot = game.wait_for_screen(fullscreen_title, SHOW_DEADLINE, "the title filling the screen")
        width = title_edge_width_in(shot, FIELD_X, 0, SCALE)
        game.quit_cleanly()
        return width


def scenario(executable):
    drawn = title_edge_width(executable)
    stretched = title_edge_width(executable, ORBILUX_RUSH_STRETCH_FIELD="1")
    print(f"edges of the title's letters: {drawn:.2f} screen pixels drawn at the size shown, "
          f"{stretched:.2f} stretched")
    check(drawn <= 1.5, f"the title's edges are {drawn:.2f} screen pixels wide")
    check(drawn <= stretched / 2, f"the title's edges are {drawn:.2f} pixels wide, stretched {stretched:.2f}")


if __name__ == "__main__":
    run(scenario)
