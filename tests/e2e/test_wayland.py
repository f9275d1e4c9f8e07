"""On Wayland: the game in a Wayland compositor (Weston, shown in the harness's X server)
draws its title in a window with decorations of its own, takes the keys the compositor
hands it, starts with Space and ends with Esc."""

import os

from harness import (SHOW_DEADLINE, TITLE_BUTTON, Failure, Game, check, get_ready_on_screen, run, title_on_screen,
                     wait_until)

SOCKET = "orbilux-e2e"


def field_of(shot):
    """The picture read in field coordinates, found by the title button's top edge, which starts
    at (34, 505) in the field."""
    found = shot.find_run(TITLE_BUTTON, 300)
    return shot.with_field_at(found[0] - 34, found[1] - 505) if found else None


def scenario(executable):
    with Game(executable, name="wayland", DISPLAY=None, SDL_VIDEODRIVER="wayland", WAYLAND_DISPLAY=SOCKET) as game:
        runtime = os.path.join(game.work, "runtime")
        os.mkdir(runtime, 0o700)
        game.base_changes["XDG_RUNTIME_DIR"] = runtime
        game.start_helper(["weston", "--backend=x11-backend.so", f"--socket={SOCKET}", "--width=1100",
                           "--height=900", "--idle-time=0"], DISPLAY=game.display)
        wait_until(lambda: os.path.exists(os.path.join(runtime, SOCKET)), SHOW_DEADLINE, what="Weston's socket")

        game.launch(find_window=False)
        game.window = "root"  # the game's window is inside Weston's, on the X server's screen
        title = game.wait_for_screen(lambda s: (field_of(s) is not None and title_on_screen(field_of(s))),
                                     SHOW_DEADLINE, "the title in the compositor")
        field = field_of(title)
        # The decorations SDL draws through libdecor: a plain bar above the field, all across
        # it, where Weston's patterned background would show without them.
        bar_colour = field.pixel(0, -3)
        check(field.y0 >= 3 and field.region(0, -3, 800, -2) == bytes(bar_colour) * 800,
              "no title bar above the field: the window has no decorations")

        # Keys go to Weston's window on the X server, and from there to the game.
        weston = game.xdotool("search", "--class", "Weston Compositor").split()[0]
        game.xdotool("windowfocus", "--sync", weston)
        # Weston may hand its keyboard to the game's surface a moment after the X focus moves:
        # Space again until the countdown shows (a second Space would only pause it).
        for attempt in range(5):
            game.key("space")
            try:
                game.wait_for_screen(lambda s: get_ready_on_screen(s.with_field_at(field.x0, field.y0)),
                                     SHOW_DEADLINE // 5, "GET READY on Wayland")
                break
            except Failure:
                if attempt == 4:
                    raise
        game.key("Escape")
        code = game.wait_exit()
        check(code == 0, f"Esc on Wayland: exit code {code}; stderr: {game.stderr_text().strip()!r}")


if __name__ == "__main__":
    run(scenario)
