"""Under sway, a tiling desktop, on a small high-density screen: a 1280 x 800 panel at 200 %,
640 x 400 desktop units, smaller than the game's usual smallest window. Tiled, the game takes
the tile it is given; floating, the window with its title bar fits on the screen; either way
the whole title shows, letterboxed, drawn sharp at the screen's density, and the keys play.

The game starts just after a virtual keyboard has typed and gone away while another one stays:
sway then hands the new window the focus and the modifiers before any keymap, which crashed
SDL 2.26 inside the game's first wait for events."""

import json
import os

from harness import BAR, PANEL, check, run, title_edge_width_in, title_letterboxed
from wlroots import Desktop, Keyboard, crop

SCALE = 2
SCREEN_UNITS = (640, 400)
CONFIG = f"""xwayland disable
output HEADLESS-1 resolution {SCREEN_UNITS[0] * SCALE}x{SCREEN_UNITS[1] * SCALE} position 0 0 scale {SCALE}
"""


def game_window(desktop, sock):
    """The game's window in sway's tree: (the whole of it with sway's borders, below its title
    bar, and the game's surface in it), both in desktop units on the screen; None while there
    is none."""
    result = desktop.run(["swaymsg", "-s", sock, "-t", "get_tree"])
    check(result.returncode == 0, f"swaymsg failed: {result.stderr.decode(errors='replace').strip()}")
    nodes = [json.loads(result.stdout)]
    while nodes:
        node = nodes.pop()
        if node.get("name") == "Orbilux Rush" and node.get("pid"):
            outer, inner = node["rect"], node["window_rect"]
            return outer, {**inner, "x": outer["x"] + inner["x"], "y": outer["y"] + inner["y"]}
        nodes += node.get("nodes", []) + node.get("floating_nodes", [])
    return None


def whole_title_in_window(desktop, sock):
    """A check of a screenshot: sway's window whole on the screen, and the game's surface
    showing the title letterboxed in the screen's pixels; what it shows, cut out, if so."""
    def seen(shot):
        window = game_window(desktop, sock)
        if window is None:
            return False
        outer, surface = window
        if not (outer["x"] >= 0 and outer["y"] >= 0 and outer["x"] + outer["width"] <= SCREEN_UNITS[0]
                and outer["y"] + outer["height"] <= SCREEN_UNITS[1]):
            return False  # not whole on the screen, or not yet placed
        size = (surface["width"] * SCALE, surface["height"] * SCALE)
        if size[0] == 0 or size[1] == 0:
            return False
        picture = crop(shot, surface["x"] * SCALE, surface["y"] * SCALE, *size)
        return picture if title_letterboxed(size)(picture) else False
    return seen


def play_and_end(desktop, keyboard, game, sock, how):
    """The title shown whole and sharp, Space plays, Esc ends the game."""
    shown = whole_title_in_window(desktop, sock)
    seen = shown(desktop.wait_for_screen(shown, f"the whole title, {how}", alive=game))
    scale = min(seen.width / 800, seen.height / 600)
    sharpness = title_edge_width_in(seen, int((seen.width - 800 * scale) / 2), int((seen.height - 600 * scale) / 2),
                                    scale)
    check(sharpness <= 1.5, f"{how}: the title's edges are {sharpness:.2f} screen pixels wide, not drawn at 200 %")
    keyboard.key("space")
    desktop.wait_for_screen(lambda s: s.find_run(PANEL, 300) or s.find_run(BAR, 300),
                            f"GET READY or the field after Space, {how}", alive=game)
    keyboard.key("Escape")
    code = game.wait(timeout=20)
    check(code == 0, f"{how}: Esc ended the game with exit code {code}: {desktop.log('game')[-1000:]!r}")


def scenario(executable):
    with Desktop(executable, "sway") as desktop:
        config = os.path.join(desktop.work, "sway.conf")
        with open(config, "w") as f:
            f.write(CONFIG)
        sway = desktop.start(["sway", "-c", config], "compositor")
        desktop.wait_for_display(sway)
        sock = os.path.join(desktop.runtime, [n for n in os.listdir(desktop.runtime) if n.startswith("sway-ipc")][0])
        keyboard = Keyboard(desktop)
        keyboard.key("a")  # one that types and goes: the next window gets the focus before any keymap

        game = desktop.start([desktop.executable], "game", env=desktop.game_env())
        play_and_end(desktop, keyboard, game, sock, "tiled")

        result = desktop.run(["swaymsg", "-s", sock, 'for_window [title="Orbilux Rush"] floating enable'])
        check(result.returncode == 0, f"swaymsg failed: {result.stderr.decode(errors='replace').strip()}")
        game = desktop.start([desktop.executable], "game", env=desktop.game_env())
        play_and_end(desktop, keyboard, game, sock, "floating")


if __name__ == "__main__":
    run(scenario)
