"""Fullscreen on a 1920 x 1080 screen shows the field at 1.8 times its size, drawn at that
size: the edges of the title's letters go from page to ink within about one screen pixel.
The same screen with the field drawn at 800 x 600 and stretched (ORBILUX_RUSH_STRETCH_FIELD=1,
the way it was shown before) has edges three pixels wide; the drawn one must have at most
1.5 and at most half of the stretched one's."""

from harness import SHOW_DEADLINE, TITLE_BUTTON, WHITE, Game, check, run

SCREEN = (1920, 1080)
SCALE = 1.8
FIELD_X = (1920 - 1440) // 2  # the letterbox's band on the left
INK = (0x1A, 0x28, 0x3B)  # the title's 0x3B281A
# The word "ORBILUX" across its cap height, in field units.
LETTERS = (32, 36, 250, 52)


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


def fullscreen_title(shot):
    def at(x, y):
        return shot.pixel(FIELD_X + int(x * SCALE), int(y * SCALE))

    return ((shot.width, shot.height) == SCREEN and at(50, 508) == TITLE_BUTTON and at(300, 546) == TITLE_BUTTON
            and at(5, 5) == WHITE and shot.pixel(FIELD_X - 1, 500) != WHITE)


def edge_width(shot):
    """Screen pixels between page and ink per edge, along every row across the letters: the
    pixels neither page nor ink (10 % to 90 % of the way), over the number of edges."""
    page, ink = luminance(WHITE), luminance(INK)
    left, top, right, bottom = (int(v * SCALE) for v in LETTERS)
    between = edges = 0
    for y in range(top, bottom):
        last = None
        for x in range(FIELD_X + left, FIELD_X + right):
            t = (page - luminance(shot.pixel(x, y))) / (page - ink)
            if 0.1 <= t <= 0.9:
                between += 1
                continue
            side = t > 0.9
            edges += last is not None and side != last
            last = side
    check(edges > 200, f"only {edges} edges across the title's letters: is the title there?")
    return between / edges


def title_edge_width(executable, **changes):
    with Game(executable, name="sharp", screen=f"{SCREEN[0]}x{SCREEN[1]}x24", **changes) as game:
        game.start_window_manager()
        game.launch("--fullscreen")
        shot = game.wait_for_screen(fullscreen_title, SHOW_DEADLINE, "the title filling the screen")
        width = edge_width(shot)
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
