"""Without a window manager (a kiosk that starts the game straight into X): --fullscreen and
F11 fill the screen with the letterboxed field and F11 brings the window back where it was;
a desktop that declares its scale through Xft.dpi gets a window of 800 x 600 of its units."""

import subprocess

from harness import SHOW_DEADLINE, Game, run, title_letterboxed, wait_until

SCREEN = (1920, 1080)


def geometry(game):
    """The window's place and size on the screen, as the X server has it."""
    out = subprocess.run(["xwininfo", "-id", game.window], env=game.tools_env(), capture_output=True,
                         text=True).stdout
    value = {line.split(":")[0].strip(): int(line.split(":")[1]) for line in out.splitlines()
             if line.strip().startswith(("Absolute upper-left", "Width", "Height"))}
    return (value["Absolute upper-left X"], value["Absolute upper-left Y"], value["Width"], value["Height"])


def wait_for_geometry(game, wanted, what):
    wait_until(lambda: geometry(game) == wanted, SHOW_DEADLINE, what=f"{what} {wanted} (now {geometry(game)})")


def scenario(executable):
    with Game(executable, name="kiosk", screen="1920x1080x24") as game:
        game.launch("--fullscreen")
        wait_for_geometry(game, (0, 0, *SCREEN), "the whole screen from the start")
        game.wait_for_screen(title_letterboxed(SCREEN), SHOW_DEADLINE, "the title letterboxed on the whole screen")
        game.xdotool("mousemove", "960", "540")  # without a window manager the keys go where the pointer is
        game.key("F11")
        wait_for_geometry(game, (560, 240, 800, 600), "the window, centred, after F11")
        game.wait_for_screen(title_letterboxed((800, 600)), SHOW_DEADLINE, "the title in the window")
        game.key("F11")
        wait_for_geometry(game, (0, 0, *SCREEN), "the whole screen again after F11")
        game.wait_for_screen(title_letterboxed(SCREEN), SHOW_DEADLINE, "the title on the whole screen again")
        game.quit_cleanly()

        # A desktop at 150 %: the window opens at 1200 x 900 pixels; at 200 % 1600 x 1200 would
        # not fit on the screen, and the largest field that does, 1440 x 1080, is what opens.
        for dpi, size in ((144, (1200, 900)), (192, (1440, 1080))):
            subprocess.run(["xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                            f"Xft.dpi:\t{dpi}\n"], env=game.tools_env(), check=True)
            game.launch()
            wait_for_geometry(game, ((SCREEN[0] - size[0]) // 2, (SCREEN[1] - size[1]) // 2, *size),
                              f"the window at Xft.dpi {dpi}")
            game.wait_for_screen(title_letterboxed(size), SHOW_DEADLINE, f"the title at Xft.dpi {dpi}")
            game.xdotool("mousemove", "960", "540")
            game.quit_cleanly()


if __name__ == "__main__":
    run(scenario)
