"""The Windows game under Wine, in a fresh Wine folder and a real X server, as a player on
Windows would meet it: --help and --version, the title as on Linux, Space and Esc, the best
score in the registry (written on a catch, read back on the next start, damaged values taken
as none), the options kept as values of the same key and shown again on the next start, the
installer: a silent install with every licence readable, the installed game starting, the
uninstaller taking everything away again but the best score; and the window's size on a
high-density desktop.

Usage: wine_e2e.py WINDOWS_BUILD_DIR LINUX_GAME"""

import glob
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "package"))
from check_licences import package_faults  # noqa: E402
from harness import (OPTIONS_MUSIC_ROW, SHOW_DEADLINE, Game, check, get_ready_on_screen,  # noqa: E402
                     options_on_screen, run, steer_for_a_catch, title_letterboxed, title_on_screen, wait_until)

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "windows", "wine-run.sh")
KEY = r"HKCU\Software\Brixol\OrbiluxExpress"


class WineGame(Game):
    """The harness's game, started through Wine in a Wine folder of its own, with the best
    score in that folder's registry unless a data folder is asked for."""

    def __init__(self, executable, name, use_registry=True, screen="1920x1200x24"):
        super().__init__(executable, name=name, screen=screen)
        self.prefix = os.path.join(self.work, "wine")
        self.base_changes["WINEPREFIX"] = self.prefix
        if use_registry:
            self.base_changes["ORBILUX_RUSH_DATA_DIR"] = None

    def command(self, *args):
        return [WINE_RUN, self.executable, *args]

    def __exit__(self, kind, value, traceback):
        # Whatever happened, the Wine server of this folder goes with the game.
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=self.env(), capture_output=True)
        return super().__exit__(kind, value, traceback)


def wine(prefix, *args, timeout=120):
    env = dict(os.environ, WINEPREFIX=prefix)
    return subprocess.run([WINE_RUN, *args], env=env, capture_output=True, text=True, timeout=timeout)


def stored_best(prefix):
    """The BestScore value as `reg query` shows it: (type, data), or None."""
    out = wine(prefix, "reg", "query", KEY, "/v", "BestScore").stdout
    for line in out.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[0] == "BestScore":
            return parts[1], parts[2]
    return None


def store(prefix, kind, data):
    result = wine(prefix, "reg", "add", KEY, "/v", "BestScore", "/t", kind, "/d", data, "/f")
    check(result.returncode == 0, f"reg add {kind} {data} failed: {result.stderr.strip()}")


def catch_until_stored(game, prefix, before):
    """Steers under red boosters until the registry value changes; returns it."""
    game.focus()
    game.key("space")
    game.wait_for_screen(lambda s: not get_ready_on_screen(s), 10, "the end of the countdown")
    def changed():
        now = stored_best(prefix)
        return now if now != before else None

    return steer_for_a_catch(game, changed, 120, f"no catch changed the stored best in 120 s (still {before})")


def title_points(shot):
    """A handful of points across the title, clear of glyph edges (antialiased a little
    differently by Windows' font rasteriser): the page, the legend's boosters, the button,
    the mascot's body, face and chest plate."""
    points = [(20, 20), (400, 300), (45, 245), (45, 305), (50, 540), (340, 520), (600, 400), (620, 270), (560, 345)]
    return [shot.pixel(x, y) for x, y in points]


def close_enough(a, b, tolerance=8):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def scenario(build_dir, linux_game):
    exe = os.path.join(build_dir, "app", "orbilux-rush.exe")
    with Game(linux_game, name="linux-title") as linux:
        linux.launch()
        linux_title = linux.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the Linux title")
        linux.key("Escape")
        linux.wait_exit()

    with WineGame(exe, "wine") as game:
        prefix = game.prefix
        wine(prefix, "wineboot", "-i", timeout=180)  # the fresh folder, made once up front

        for option, expected in (("--help", "Usage: orbilux-rush"), ("--version", "orbilux-rush ")):
            result = wine(prefix, exe, option)
            check(result.returncode == 0 and expected in result.stdout,
                  f"{option}: exit {result.returncode}, printed {result.stdout!r}")

        # A value of another type counts as none: the first catch replaces it with a number.
        store(prefix, "REG_SZ", "12")
        game.launch("--seed", "7")
        wine_title = game.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title under Wine")
        differing = [(a, b) for a, b in zip(title_points(linux_title), title_points(wine_title)) if not close_enough(a, b)]
        check(not differing, f"the title differs from Linux's at {differing}")
        written = catch_until_stored(game, prefix, ("REG_SZ", "12"))
        check(written[0] == "REG_DWORD" and int(written[1], 16) >= 1, f"the first catch stored {written}")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc: exit code 0")

        # Read back on the next start: the HUD's best differs from a start with none stored.
        def hud_best(label):
            game.launch("--seed", "7")
            game.focus()
            game.key("space")
            shot = game.wait_for_screen(get_ready_on_screen, 10, "GET READY")
            game.key("Escape")
            check(game.wait_exit() == 0, f"Esc ({label}): exit code 0")
            return shot.region(560, 95, 800, 125)

        with_best = hud_best("best stored")
        # ORBILUX_RUSH_DATA_DIR still chooses the file, here holding the same number.
        os.makedirs(game.data_dir, exist_ok=True)
        with open(os.path.join(game.data_dir, "best-score"), "w") as f:
            f.write(f"{int(written[1], 16)}\n")
        game.use_registry = False
        check(hud_best("best in a file") == with_best, "the best in the data folder's file was not shown")
        game.use_registry = True
        wine(prefix, "reg", "delete", KEY, "/v", "BestScore", "/f")
        check(hud_best("none stored") != with_best, "the stored best was not shown after a restart")

        # The options: the music turned down on the options screen is a value of the same key,
        # and the next start shows it.
        def music_row(keys):
            game.launch()
            game.focus()
            game.wait_for_screen(title_on_screen, SHOW_DEADLINE, "the title")
            game.key("s")
            row = game.wait_for_screen(options_on_screen, SHOW_DEADLINE, "the options").region(*OPTIONS_MUSIC_ROW)
            if keys:
                game.key(*keys)
                row = game.wait_for_screen(lambda s: s.region(*OPTIONS_MUSIC_ROW) != row, SHOW_DEADLINE,
                                           "the music turned down").region(*OPTIONS_MUSIC_ROW)
            game.key("Escape", "Escape")
            check(game.wait_exit() == 0, "Esc from the options, Esc: exit code 0")
            return row

        turned_down = music_row(["Left"])
        volume = wine(prefix, "reg", "query", KEY, "/v", "music_volume").stdout.split()
        check(volume[-2:] == ["REG_SZ", "90"], f"the registry holds music_volume as {volume[-2:]}")
        check(music_row([]) == turned_down, "the next start did not show the music at 90 %")

        # Out of range: 1,000,000,000 counts as none too.
        store(prefix, "REG_DWORD", "1000000000")
        game.launch("--seed", "7")
        written = catch_until_stored(game, prefix, ("REG_DWORD", "0x3b9aca00"))
        check(written[0] == "REG_DWORD" and int(written[1], 16) < 1000, f"the catch after 1e9 stored {written}")
        game.key("Escape")
        check(game.wait_exit() == 0, "Esc: exit code 0")
        kept = stored_best(prefix)

        # The installer, silently; the installed game starts; the uninstaller takes it away.
        setup = glob.glob(os.path.join(build_dir, "packages", "*-setup.exe"))
        check(len(setup) == 1, f"one installer expected in {build_dir}/packages, found {setup}")
        check(wine(prefix, setup[0], "/S").returncode == 0, "the silent install failed")
        programs = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Local", "Programs"))
        check(programs, "no per-user programs folder after the install")
        installed = os.path.join(programs[0], "Orbilux Rush")
        for part in ("orbilux-rush.exe", "uninstall.exe", "fonts/OpenSans-Regular.ttf", "licences"):
            check(os.path.exists(os.path.join(installed, part)), f"the install lacks {part}")
        faults = package_faults(installed)
        check(not faults, f"the installed licences: {faults}")
        shortcut = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft",
                                          "Windows", "Start Menu", "Programs", "Orbilux Rush.lnk"))
        check(shortcut, "no Start menu shortcut")
        game.executable = os.path.join(installed, "orbilux-rush.exe")
        game.launch()
        game.focus()
        game.key("Escape")
        check(game.wait_exit() == 0, "the installed game: Esc, exit code 0")

        wine(prefix, os.path.join(installed, "uninstall.exe"), "/S")
        # The uninstaller works on from a copy of itself in the temporary folder.
        wait_until(lambda: not os.path.exists(installed), 60, what="the uninstaller to remove the game's folder")
        check(not glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft",
                                         "Windows", "Start Menu", "Programs", "Orbilux Rush.lnk")),
              "the Start menu shortcut outlived the uninstall")
        check(stored_best(prefix) == kept, "the uninstall should leave the best score in the registry")

    # A high-density desktop (Windows' scale of 150 % and 200 %): the window opens at 800 x 600
    # of the desktop's units, and the title fills it as the letterbox places it.
    with WineGame(exe, "wine-dpi", screen="2560x1600x24") as game:
        wine(game.prefix, "wineboot", "-i", timeout=180)
        for dpi, size in ((144, (1200, 900)), (192, (1600, 1200))):
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=game.env(), capture_output=True)
            wine(game.prefix, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                 "/d", str(dpi), "/f")
            game.launch()
            wait_until(lambda: game.window_size() == size, SHOW_DEADLINE,
                       what=f"a {size[0]} x {size[1]} window at {dpi} dpi (it is {game.window_size()})")
            game.wait_for_screen(title_letterboxed(size), SHOW_DEADLINE, f"the title filling the window at {dpi} dpi")
            game.focus()
            game.key("Escape")
            check(game.wait_exit() == 0, f"Esc at {dpi} dpi: exit code 0")


if __name__ == "__main__":
    build = os.path.abspath(sys.argv[1])
    linux = os.path.abspath(sys.argv[2])
    sys.argv = [sys.argv[0], build]
    run(lambda _: scenario(build, linux))
