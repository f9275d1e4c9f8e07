"""On Wayland: the game in a Wayland compositor (Weston, shown in the harness's X server)
draws its title in a window with decorations of its own, takes the keys the compositor
hands it, starts with Space and ends with Esc."""

import os

from harness import (BAR, PANEL, SHOW_DEADLINE, TITLE_BUTTON, Failure, Game, check, get_ready_on_screen, run,
                     title_on_screen, wait_until)

SOCKET = "orbilux-e2e"


def found_by(colour, length, corner):
    """The picture read in field coordinates, the field found by a row of `length` pixels of
    the colour that starts at `corner` in the field; None where there is none. Weston places
    windows where it likes, and may place the game's again once it is shown."""
    def field_of(shot):
        found = shot.find_run(colour, length)
        return shot.with_field_at(found[0] - corner[0], found[1] - corner[1]) if found else None
    return field_of


title_field = found_by(TITLE_BUTTON, 300, (34, 505))  # the title button's top edge
countdown_field = found_by(PANEL, 262, (269, 210))  # the GET READY panel's top edge


def scenario(executable):
    with Game(executable, name="wayland", DISPLAY=None, SDL_VIDEODRIVER="wayland", WAYLAND_DISPLAY=SOCKET) as game:
        runtime = os.path.join(game.work, "runtime")
        os.mkdir(runtime, 0o700)
        game.base_changes["XDG_RUNTIME_DIR"] = runtime
        game.start_helper(["weston", "--backend=x11-backend.so", f"--socket={SOCKET}", "--width=1100",
                           "--height=900", "--idle-time=0", f"--log={game.work}/weston.log"], DISPLAY=game.display)
        wait_until(lambda: os.path.exists(os.path.join(runtime, SOCKET)), SHOW_DEADLINE, what="Weston's socket")

        # The pointer off Weston's window, so that Weston draws no cursor over the game.
        game.xdotool("mousemove", "1500", "1100")
        game.launch(find_window=False)
        game.window = "root"  # the game's window is inside Weston's, on the X server's screen
        shot = game.wait_for_screen(lambda s: title_field(s) and title_on_screen(title_field(s)), SHOW_DEADLINE,
                                    "the title in the compositor")
        # The decorations SDL draws through libdecor: a plain bar above the field, all across
        # it, where Weston's patterned background would show without them.
        field = title_field(shot)
        bar_colour = field.pixel(0, -3)
        check(field.y0 >= 3 and field.region(0, -3, 800, -2) == bytes(bar_colour) * 800,
              "no title bar above the field: the window has no decorations")

        # Keys go to Weston's window on the X server, and from there to the game. Weston may
        # take a moment to hand its keyboard over: Space again until the countdown shows (a
        # Space that did arrive twice would only pause it, under the same panel). On a busy
        # machine the three-second countdown may be over before a screenshot catches it: the
        # field's HUD bars say as well that Space arrived.
        def left_the_title(shot):
            countdown = countdown_field(shot)
            return (countdown and get_ready_on_screen(countdown)) or shot.find_run(BAR, 500)

        weston = game.xdotool("search", "--class", "Weston Compositor").split()[0]
        game.xdotool("windowfocus", "--sync", weston)
        for attempt in range(5):
            game.key("space")
            try:
                game.wait_for_screen(left_the_title, SHOW_DEADLINE // 5, "GET READY or the field on Wayland")
                break
            except Failure:
                if attempt == 4:
                    raise
        game.key("Escape")
        code = game.wait_exit()
        check(code == 0, f"Esc on Wayland: exit code {code}; stderr: {game.stderr_text().strip()!r}")


if __name__ == "__main__":
    run(scenario)
