"""A game left to itself until it is lost; the game-over panel's keys and buttons hand the
two addresses to the browser, also through the letterbox of a resized window; R plays again."""

from harness import (LETTERBOX, PANEL, SHOW_DEADLINE, Game, check, game_over_on_screen, get_ready_on_screen, run)

COURSE_BUTTON_CENTRE = (400, 328)  # field coordinates, inside (145, 310)-(655, 346)
BOOK_BUTTON_CENTRE = (400, 453)  # inside (145, 435)-(655, 471)


def scenario(executable):
    with Game(executable, name="gameover") as game:
        game.launch()
        game.focus()
        game.key("space")
        game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "GET READY")
        # The catcher waits at the left edge, where few items land: the boosters fall past
        # it and the three lives go.
        game.key_down("Left")
        game.wait_for_screen(game_over_on_screen, 150, "the game-over panel")
        game.key_up("Left")

        game.key("o")
        course = game.wait_for_opened(1)[0]
        game.key("b")
        book = game.wait_for_opened(2)[1]
        check(course.startswith("https://") and book.startswith("https://") and course != book,
              f"two different web addresses expected, got {course!r} and {book!r}")

        # One address at a time, so that the browsers started cannot overtake each other;
        # a click that must open nothing comes before one that opens something.
        game.click(*COURSE_BUTTON_CENTRE)
        game.wait_for_opened(3)
        game.click(400, 390)  # between the buttons: nothing
        game.click(*BOOK_BUTTON_CENTRE)
        game.wait_for_opened(4)
        check(game.opened_addresses() == [course, book, course, book],
              f"the buttons opened {game.opened_addresses()[2:]}")

        # Wider than the field: bars of 100 px left and right, the panel shifted with them.
        game.resize(1000, 600)
        game.wait_for_screen(lambda s: (s.width, s.height) == (1000, 600) and s.is_filled(220, 137, 240, 150, PANEL)
                             and s.is_filled(0, 0, 100, 600, LETTERBOX) and s.is_filled(900, 0, 1000, 600, LETTERBOX),
                             SHOW_DEADLINE, "the panel between letterbox bars left and right")
        game.click(100 + 140, 340)  # field (140, 340): just left of the course button
        game.click(50, 453)  # on the bar: field x -50
        game.click(100 + 150, 340)  # field (150, 340): the course button's left end
        game.wait_for_opened(5)
        check(game.opened_addresses()[4:] == [course], f"clicks through the bars opened {game.opened_addresses()[4:]}")

        # Taller than wide: bars above and below.
        game.resize(1000, 1000)
        game.wait_for_screen(lambda s: s.width == 1000 and s.is_filled(0, 0, 1000, 125, LETTERBOX)
                             and s.is_filled(0, 875, 1000, 1000, LETTERBOX), SHOW_DEADLINE,
                             "letterbox bars above and below")
        # Twice the field: no bars, everything at double size.
        game.resize(1600, 1200)
        shot = game.wait_for_screen(lambda s: (s.width, s.height) == (1600, 1200) and s.is_filled(242, 276, 280, 298, PANEL)
                                    and s.is_filled(1322, 1062, 1358, 1088, PANEL), SHOW_DEADLINE,
                                    "the game-over panel at twice its size")
        check(shot.pixel(0, 0) != LETTERBOX and shot.pixel(1599, 1199) != LETTERBOX, "no bars at twice the size")
        game.click(2 * BOOK_BUTTON_CENTRE[0], 2 * BOOK_BUTTON_CENTRE[1])
        game.wait_for_opened(6)
        check(game.opened_addresses()[5] == book, "a click at twice the size opens the book")

        # A window squeezed to almost nothing still runs and comes back.
        game.resize(1, 1)
        check(game.alive(), "the game ended in a 1 x 1 window")
        game.resize(800, 600)
        game.wait_for_screen(lambda s: s.width == 800 and game_over_on_screen(s), SHOW_DEADLINE,
                             "the panel back at 800 x 600")

        game.focus()
        game.key("r")
        game.wait_for_screen(lambda s: get_ready_on_screen(s) and not game_over_on_screen(s), SHOW_DEADLINE,
                             "a new game's countdown after R")
        check(len(game.opened_addresses()) == 6, "R opened something")


if __name__ == "__main__":
    run(scenario)
