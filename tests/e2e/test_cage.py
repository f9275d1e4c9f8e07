"""Under cage, the kiosk compositor (a booth, a cabinet, a small board that starts one program
full screen): every start shows the letterboxed title over the whole output. cage asks the
game to draw its own decorations, and SDL takes the window down to do so while it is being
shown; the game must put it up again.

cage 0.1.4 without a GPU copies a window that fills its output straight to it, and what grim
reads is then the last picture cage composed itself: a window that shows a still picture
(the title) would be photographed as its first frame, before cage sized it. The game
presents every tick here, so that each screenshot shows what a player would see."""

from harness import run, title_letterboxed
from wlroots import Desktop

STARTS = 10
OUTPUT = (1280, 720)  # cage's headless output


def scenario(executable):
    for number in range(STARTS):
        with Desktop(executable, f"cage-{number}") as desktop:
            env = desktop.game_env()
            env["ORBILUX_RUSH_NO_FRAME_SKIP"] = "1"
            cage = desktop.start(["cage", "--", desktop.executable], "compositor", env=env)
            desktop.wait_for_display(cage)
            desktop.wait_for_screen(title_letterboxed(OUTPUT),
                                    f"start {number + 1} of {STARTS}: the title letterboxed over the whole output",
                                    alive=cage)


if __name__ == "__main__":
    run(scenario)
