#!/usr/bin/env python3
"""The real game in hostile surroundings: no display, no sound device or a broken one,
none of the fonts it asks for, its window hidden and shown again, a data folder that
cannot be made. Each scenario must end the way a player expects: a clear one-line error
where the game cannot run at all, otherwise a game that starts, plays and quits cleanly.

    hostile.py EXECUTABLE SCENARIO

Every run of the game is bounded by a timeout; a hang counts as a failure."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import (BAR, SHOW_DEADLINE, Failure, Game, check, play_field_on_screen,  # noqa: E402
                     title_on_screen, wait_until)


def Desktop(executable, name):
    """An X server of our own for the game, which starts on the dummy sound driver unless a
    scenario says otherwise, and picks its video driver by itself."""
    return Game(executable, name=f"hostile-{name}", SDL_AUDIODRIVER="dummy", SDL_VIDEODRIVER=None)


def start(desk, **changes):
    return desk.launch(**changes).place()


def run_without_window(executable, env, timeout=SHOW_DEADLINE):
    """Runs the game where it cannot open a window; returns (exit code, stderr lines)."""
    try:
        result = subprocess.run([executable], env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"the game did not give up within {timeout} s")
    return result.returncode, [line for line in result.stderr.splitlines() if line.strip()]


def display_nobody_serves():
    """A display number no X server on this machine has taken (none has its socket or lock)."""
    for number in range(4000, 5000):
        if not any(os.path.exists(p) for p in (f"/tmp/.X11-unix/X{number}", f"/tmp/.X{number}-lock")):
            return f":{number}"
    raise Failure("every display from :4000 to :4999 is taken")


def scenario_no_display(executable):
    base = {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "XDG_DATA_HOME")}
    work = tempfile.mkdtemp(prefix="orbilux-hostile-nodisplay-")
    try:
        base["ORBILUX_RUSH_DATA_DIR"] = os.path.join(work, "data")
        # A login session always has a runtime folder; without one, the Wayland client
        # library adds a complaint of its own when SDL looks for a compositor.
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        base["XDG_RUNTIME_DIR"] = runtime
        for what, env in (("no DISPLAY", dict(base)),
                          ("a DISPLAY where no server listens", dict(base, DISPLAY=display_nobody_serves())),
                          ("an X driver asked for with no server", dict(base, SDL_VIDEODRIVER="x11"))):
            code, lines = run_without_window(executable, env)
            check(code == 1, f"{what}: exit code {code}, expected 1")
            check(len(lines) == 1, f"{what}: expected one line on stderr, got {lines}")
            print(f"{what}: exit 1, stderr: {lines[0]}")
        check(not os.path.exists(os.path.join(work, "data")), "a game that never ran made its data folder")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def scenario_no_audio(executable):
    with Desktop(executable, "audio") as desk:
        missing_folder = os.path.join(desk.work, "no-such-folder", "sound.raw")
        for what, changes in (("the dummy driver", {"SDL_AUDIODRIVER": "dummy"}),
                              ("a driver that does not exist", {"SDL_AUDIODRIVER": "no-such-driver"}),
                              ("a driver that fails to open its device",
                               {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": missing_folder}),
                              ("ALSA without a sound card", {"SDL_AUDIODRIVER": "alsa", "ALSA_CARD": "99"})):
            start(desk, **changes)
            desk.wait_for_screen(title_on_screen, SHOW_DEADLINE, f"the title page with {what}")
            desk.key("m")  # music off and on again, on streams that have no device
            desk.key("m")
            desk.play_a_while(3)
            desk.quit_cleanly()
            check(not os.path.exists(missing_folder), "the disk driver wrote where it could not")
            print(f"{what}: started, played, quit with 0")


def font_config(folder, fonts):
    """A fontconfig setup that knows only the given font files, with its cache beside them."""
    os.makedirs(folder, exist_ok=True)
    for path in fonts:
        os.symlink(path, os.path.join(folder, os.path.basename(path)))
    config = os.path.join(folder, "fonts.conf")
    with open(config, "w") as f:
        f.write(f"""<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>{folder}</dir>
  <cachedir>{folder}/cache</cachedir>
</fontconfig>
""")
    return config


def text_stays_in_its_cells(shot, expect_text=True):
    """The rows of the HUD bars between and around the lines of text hold no glyph pixel:
    above and below the bottom bar's two lines (17 px cells at y 559 and 580), between the
    top bar's heading (27 px at y 18) and its second line (17 px at y 53), and below it.
    A glyph may overshoot its cell by one antialiased pixel (a bar or a parenthesis reaches
    below the face's descent in some faces); a face that is not scaled to the cell spills
    further. With `expect_text`, each of the four lines must also show in its own cell."""
    for top, bottom in ((46, 52), (71, 83), (551, 558), (577, 579), (598, 600)):
        problem = shot.rows_are(top, bottom, BAR)
        if problem:
            return f"rows {top}..{bottom - 1}: {problem}"
    if expect_text:
        for top, bottom in ((18, 45), (53, 70), (559, 576), (580, 597)):
            if shot.rows_are(top, bottom, BAR) is None:
                return f"no text at all in the cell at rows {top}..{bottom - 1}"
    return None


def scenario_fonts(executable):
    dejavu = "/usr/share/fonts/truetype/dejavu"
    sans = [os.path.join(dejavu, n) for n in ("DejaVuSans.ttf", "DejaVuSans-Bold.ttf")]
    mono = [os.path.join(dejavu, n) for n in ("DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf")]
    with Desktop(executable, "fonts") as desk:
        check(all(os.path.exists(p) for p in sans + mono), "DejaVu fonts missing: install fonts-dejavu-core")
        setups = [("the usual fonts", None, True),
                  ("only DejaVu Sans", font_config(os.path.join(desk.work, "sans"), sans), True),
                  ("only a monospaced fallback", font_config(os.path.join(desk.work, "mono"), mono), True),
                  ("no fonts at all", font_config(os.path.join(desk.work, "none"), []), False)]
        for what, config, has_fonts in setups:
            start(desk, FONTCONFIG_FILE=config)  # None: the machine's own setup
            desk.wait_for_screen(title_on_screen, SHOW_DEADLINE, f"the title page with {what}")
            desk.key("space")
            # During the GET READY countdown nothing moves over the bars.
            # A screenshot can catch the window between two frames; the text must be found
            # inside its cells in one of the shots, or it really leaves them.
            problems = []

            def text_in_cells(shot):
                problems.append(text_stays_in_its_cells(shot, expect_text=has_fonts) if play_field_on_screen(shot)
                                else "not the play field yet")
                return problems[-1] is None

            try:
                desk.wait_for_screen(text_in_cells, SHOW_DEADLINE, f"the play field with {what}")
            except Failure:
                raise Failure(f"{what}: text leaves its cell: {problems[-1] if problems else 'no screenshot'}")
            desk.play_a_while(2)
            desk.quit_cleanly()
            print(f"{what}: started, text within its cells, quit with 0")


def window_state(desk):
    """The ICCCM state the window manager gave the window: 'Normal', 'Iconic' or ''."""
    out = subprocess.run(["xprop", "-id", desk.window, "WM_STATE"], env=desk.env(), capture_output=True, text=True,
                         timeout=10).stdout
    for state in ("Iconic", "Normal"):
        if state in out:
            return state
    return ""


def scenario_minimise(executable):
    with Desktop(executable, "minimise") as desk:
        # A real window manager, so that a minimise request is answered as on a desktop.
        manager = desk.start_window_manager() if shutil.which("openbox") else None
        start(desk)
        desk.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title page")
        desk.key("space")
        desk.wait_for_screen(play_field_on_screen, SHOW_DEADLINE, "the play field")
        if manager:
            for _ in range(3):
                desk.xdotool("windowminimize", "--sync", desk.window)
                wait_until(lambda: window_state(desk) == "Iconic", SHOW_DEADLINE, what="the window to be minimised")
                time.sleep(1.5)  # minimised: ticks go on, nothing is drawn
                check(desk.alive(), "the game ended while minimised")
                desk.xdotool("windowactivate", "--sync", desk.window)
                wait_until(lambda: window_state(desk) == "Normal", SHOW_DEADLINE, what="the window to be restored")
                desk.wait_for_screen(play_field_on_screen, SHOW_DEADLINE, "the play field after restoring")
            print("minimised and restored three times under a window manager")
        else:
            print("no window manager here (openbox): minimising left to unmapping")
        # Unmapping is what a minimise does to the window in the end, also without a
        # window manager; quickly and repeatedly too.
        desk.xdotool("windowunmap", "--sync", desk.window)
        time.sleep(1.5)
        check(desk.alive(), "the game ended while hidden")
        for _ in range(3):
            desk.xdotool("windowmap", "--sync", desk.window)
            desk.xdotool("windowunmap", "--sync", desk.window)
        desk.xdotool("windowmap", "--sync", desk.window)
        desk.xdotool("windowactivate", "--sync", desk.window)
        desk.wait_for_screen(play_field_on_screen, SHOW_DEADLINE, "the play field after hiding and showing")
        desk.play_a_while(2)
        desk.quit_cleanly()
        print("hidden and shown again four times: still drawing, quit with 0")


def scenario_window_sizes(executable):
    """Without a window manager nothing holds the window to its minimum size: any size the
    X server allows must be drawn, letterboxed, without a crash, and the game must come back
    to a normal picture afterwards."""
    with Desktop(executable, "sizes") as desk:
        start(desk)
        desk.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title page")
        desk.key("space")
        desk.wait_for_screen(play_field_on_screen, SHOW_DEADLINE, "the play field")
        for width, height in ((1, 1), (3, 2), (1, 600), (800, 1), (799, 601), (7680, 4320), (4321, 7), (801, 599)):
            desk.xdotool("windowsize", "--sync", desk.window, str(width), str(height))
            time.sleep(0.4)  # a few ticks and repaints at this size
            check(desk.alive(), f"the game ended in a {width} x {height} window")
        desk.xdotool("windowsize", "--sync", desk.window, "800", "600")
        desk.wait_for_screen(lambda s: (s.width, s.height) == (800, 600) and s.pixel(5, 5) == BAR
                             and s.pixel(5, 595) == BAR, SHOW_DEADLINE, "the field with both bars at 800 x 600 again")
        desk.xdotool("windowsize", "--sync", desk.window, "1200", "600")  # bands left and right
        # The frame drawn before the resize also has the bar at (205, 5): wait for the band too,
        # or a screenshot taken between the resize and the next repaint fails for nothing.
        band = (0x0D, 0x17, 0x2A)
        desk.wait_for_screen(lambda s: s.width == 1200 and s.pixel(205, 5) == BAR and s.pixel(5, 300) == band, SHOW_DEADLINE,
                      "the field centred at 1200 x 600 between letterbox bands")
        desk.quit_cleanly()
        print("drawn at 1 x 1, 3 x 2, 7680 x 4320 and odd sizes; back to a whole field; quit with 0")


def scenario_data_folder(executable):
    with Desktop(executable, "data") as desk:
        blocker = os.path.join(desk.work, "a-file")
        with open(blocker, "w") as f:
            f.write("not a folder")
        long_path = os.path.join(desk.work, *(["x" * 200] * 30))
        for what, folder in (("a data folder under a file", os.path.join(blocker, "orbilux-rush")),
                             ("a data folder in /proc", "/proc/orbilux-rush/data"),
                             ("a data folder path longer than any system takes", long_path),
                             ("a best-score file that is a folder", os.path.join(desk.work, "folder-file"))):
            if what.startswith("a best-score file"):
                os.makedirs(os.path.join(folder, "best-score"), exist_ok=True)
            start(desk, ORBILUX_RUSH_DATA_DIR=folder)
            desk.wait_for_screen(title_on_screen, SHOW_DEADLINE, f"the title page with {what}")
            desk.play_a_while(4)
            desk.quit_cleanly()
            print(f"{what}: started, played, quit with 0")
        with open(blocker) as f:
            check(f.read() == "not a folder", "the file in the way was changed")


SCENARIOS = {
    "no_display": scenario_no_display,
    "no_audio": scenario_no_audio,
    "fonts": scenario_fonts,
    "minimise": scenario_minimise,
    "window_sizes": scenario_window_sizes,
    "data_folder": scenario_data_folder,
}


def main():
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(f"stopped by signal {number}"))
    if len(sys.argv) != 3 or sys.argv[2] not in SCENARIOS:
        print(f"usage: {sys.argv[0]} EXECUTABLE {{{','.join(SCENARIOS)}}}", file=sys.stderr)
        return 2
    try:
        SCENARIOS[sys.argv[2]](os.path.abspath(sys.argv[1]))
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
