"""Drives the real game in a real X server, as a player would: key presses, clicks and
window changes with xdotool, screenshots with ImageMagick's import, the sound captured by
SDL's disk audio driver, the best score in a temporary data folder, and a stand-in for
xdg-open that writes down every address the game hands to the browser.

Both the end-to-end scenarios and the hostile-surroundings ones start everything through
this one place. Every process it starts (the X server, the game, a window manager) ends
with the test: on leaving the `with` block whatever happened, and also when the test
itself is killed, because each child is told by the kernel to end with its parent.

Waits are for something the player could see (a pixel, a window, a file, an exit), with
deadlines generous enough for a machine whose cores are all busy with something else."""

import contextlib
import copy
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

FIELD_W, FIELD_H = 800, 600

# Colours as they appear on screen (RGB); the game writes them as 0x00BBGGRR.
WHITE = (0xFF, 0xFF, 0xFF)
TITLE_BUTTON = (0xDF, 0x1B, 0x33)  # 0x331BDF
PANEL = (0x19, 0x2E, 0x48)  # 0x482E19: GET READY, pause and game-over panels
BAR = (0x13, 0x22, 0x39)  # 0x392213: the HUD bars
LETTERBOX = (0x0D, 0x17, 0x2A)  # 0x2A170D
COURSE_BUTTON = (0x22, 0x6F, 0x5B)  # 0x5B6F22
BOOK_BUTTON = (0x2C, 0x4F, 0x76)  # 0x764F2C

# How long anything the game does may take on a loaded machine before it counts as broken.
SHOW_DEADLINE = 60  # a window to appear, a screen to be drawn
EXIT_DEADLINE = 20  # the process to end after Esc or a quit request


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _end_with_parent():
    # Runs in the child between fork and exec: when this test process dies, even by
    # SIGKILL from a timeout, the kernel sends the child SIGTERM.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


def spawn(command, **kwargs):
    """A background process that cannot outlive the test."""
    return subprocess.Popen(command, preexec_fn=_end_with_parent, **kwargs)


def end_process(process, grace=5):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


@contextlib.contextmanager
def busy_cores(count):
    """Keeps `count` cores busy with spinning processes, to try the game on a loaded machine."""
    spinners = [spawn([sys.executable, "-c", "while True: pass"]) for _ in range(count)]
    try:
        yield
    finally:
        for spinner in spinners:
            end_process(spinner)


def start_x_server(size="1920x1200x24"):
    """An Xvfb on a free display; returns (process, ':N') once it accepts clients."""
    read_end, write_end = os.pipe()
    # -noreset: by default the server starts afresh whenever its last client leaves, and a
    # game started again in that moment finds no display.
    xvfb = spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size, "-nolisten", "tcp", "-noreset"],
                 pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    try:
        deadline = time.monotonic() + SHOW_DEADLINE
        while not number.endswith(b"\n"):
            check(time.monotonic() < deadline, "Xvfb did not start")
            chunk = os.read(read_end, 16)
            check(chunk, "Xvfb ended before naming its display")
            number += chunk
    except BaseException:
        end_process(xvfb)
        raise
    finally:
        os.close(read_end)
    return xvfb, ":" + number.decode().strip()


class Shot:
    """One screenshot of the game's window, readable pixel by pixel."""

    def __init__(self, ppm_bytes, path=None):
        self.path = path
        # Binary PPM: "P6", width, height, maxval, then RGB bytes.
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm_bytes[pos:pos + 1].isspace():
                pos += 1
            if ppm_bytes[pos:pos + 1] == b"#":
                pos = ppm_bytes.index(b"\n", pos)
                continue
            end = pos
            while not ppm_bytes[end:end + 1].isspace():
                end += 1
            fields.append(ppm_bytes[pos:end])
            pos = end
        check(fields[0] == b"P6" and fields[3] == b"255", "unexpected screenshot format")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = ppm_bytes[pos + 1:]
        self.ppm = ppm_bytes
        self.x0 = self.y0 = 0  # where the field's corner is in the picture
        self.scale = 1

    def with_field_at(self, x0, y0, scale=1):
        """The same picture, read in field coordinates with the field's corner at (x0, y0),
        `scale` screen pixels a field unit."""
        moved = copy.copy(self)
        moved.x0, moved.y0, moved.scale = x0, y0, scale
        return moved

    def pixel(self, x, y):
        if self.scale != 1:  # the screen pixel under the field pixel's centre
            x, y = int((x + 0.5) * self.scale), int((y + 0.5) * self.scale)
        i = ((y + self.y0) * self.width + x + self.x0) * 3
        return tuple(self.data[i:i + 3])

    def find_run(self, colour, length):
        """The first (x, y), top to bottom, where `length` pixels of the colour begin in a row."""
        wanted = bytes(colour) * length
        for y in range(self.height):
            row = self.data[y * self.width * 3:(y + 1) * self.width * 3]
            at = row.find(wanted)
            while at >= 0 and at % 3:
                at = row.find(wanted, at + 1)
            if at >= 0:
                return at // 3, y
        return None

    def region(self, left, top, right, bottom):
        """The raw pixels of a rectangle, right and bottom exclusive, for comparing two shots."""
        rows = []
        for y in range(top + self.y0, bottom + self.y0):
            start = (y * self.width + left + self.x0) * 3
            rows.append(self.data[start:start + (right - left) * 3])
        return b"".join(rows)

    def is_filled(self, left, top, right, bottom, colour, step=7):
        """Every sampled pixel of the rectangle has the colour (right and bottom exclusive)."""
        for y in range(top, bottom, step):
            for x in range(left, right, step):
                if self.pixel(x, y) != colour:
                    return False
        return self.pixel(right - 1, bottom - 1) == colour

    def rows_are(self, top, bottom, colour):
        """None if every pixel of rows top..bottom-1 across the field has the colour, else the first that does not."""
        for y in range(top, bottom):
            for x in range(0, FIELD_W):
                if self.pixel(x, y) != colour:
                    return f"pixel ({x}, {y}) is {self.pixel(x, y)}"
        return None


class Game:
    """One X server and the game started in it, as often as a scenario likes; a context
    manager that always cleans up. `env` holds changes to the game's surroundings for every
    start (a value of None removes the variable); `launch` takes more for one start."""

    def __init__(self, executable, name="game", data_dir=None, screen="1920x1200x24", **env):
        self.executable = executable
        self.screen = screen
        self.work = tempfile.mkdtemp(prefix=f"orbilux-e2e-{name}-")
        self.data_dir = data_dir or os.path.join(self.work, "data")
        self.config_dir = os.path.join(self.work, "config")
        self.audio_file = os.path.join(self.work, "audio.raw")
        self.opened_file = os.path.join(self.work, "opened.txt")
        self.base_changes = env
        self.shots = 0
        self.xvfb = None
        self.display = None
        self.process = None
        self.helpers = []  # window managers and the like, ended with the display
        self.window = None
        self.launch_changes = {}
        self._make_fake_opener()

    # ---- set-up and tear-down -------------------------------------------------------

    def _make_fake_opener(self):
        self.bin_dir = os.path.join(self.work, "bin")
        os.makedirs(self.bin_dir)
        opener = os.path.join(self.bin_dir, "xdg-open")
        with open(opener, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.opened_file}"\n')
        os.chmod(opener, 0o755)

    def __enter__(self):
        self.xvfb, self.display = start_x_server(self.screen)
        return self

    def __exit__(self, kind, value, traceback):
        self.stop()
        for helper in reversed(self.helpers):
            end_process(helper)
        end_process(self.xvfb)
        if kind is None and not os.environ.get("ORBILUX_E2E_KEEP"):
            shutil.rmtree(self.work, ignore_errors=True)
        else:
            print(f"kept {self.work} for a look", file=sys.stderr)
        return False

    def env(self, **changes):
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "XDG_DATA_HOME", "SDL_VIDEODRIVER", "SDL_AUDIODRIVER")}
        env.update({
            "DISPLAY": self.display,
            "SDL_RENDER_DRIVER": "software",
            "SDL_FRAMEBUFFER_ACCELERATION": "0",
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio_file,
            "ORBILUX_RUSH_DATA_DIR": self.data_dir,
            "ORBILUX_RUSH_CONFIG_DIR": self.config_dir,
            "PATH": self.bin_dir + os.pathsep + env.get("PATH", "/usr/bin:/bin"),
        })
        for name, value in {**self.base_changes, **changes}.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    def tools_env(self):
        """For the X tools that play the player's part: always on the harness's X server."""
        return self.env(DISPLAY=self.display)

    def command(self, *args):
        """How the game is started with these arguments."""
        return [self.executable, *args]

    def launch(self, *args, find_window=True, **changes):
        """Starts the game with command-line arguments and surroundings of its own, and
        waits for its window to be on the screen."""
        self.stop()
        self.launch_changes = changes
        self.started_at = time.monotonic()
        self.stderr_path = os.path.join(self.work, f"stderr-{time.monotonic_ns()}.txt")
        with open(self.stderr_path, "w") as stderr:
            self.process = spawn(self.command(*args), env=self.env(**changes), stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=stderr)
        if find_window:
            self.window = wait_until(self._find_window, SHOW_DEADLINE, interval=0.2, what="the game's window")
        self.shown_after = time.monotonic() - self.started_at
        return self

    def _find_window(self):
        check(self.alive(), f"the game ended before showing its window: {self.stderr_text().strip()!r}")
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Orbilux Rush$"],
                                env=self.tools_env(), capture_output=True, text=True, timeout=SHOW_DEADLINE)
        return result.stdout.split()[0] if result.returncode == 0 and result.stdout.split() else None

    def place(self):
        """The window at the screen's corner (so all of it can be photographed) and focused."""
        self.xdotool("windowmove", "--sync", self.window, "0", "0")
        self.focus()
        return self

    def stop(self):
        """Ends a game still running, without asking it."""
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def start_helper(self, command, **changes):
        """A program the desktop runs beside the game (a window manager, a compositor); ended
        with the display."""
        check(shutil.which(command[0]) is not None,
              f"{command[0]} is missing (scripts/install-deps.sh test installs it)")
        helper = spawn(command, env=self.env(**changes), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.helpers.append(helper)
        return helper

    def start_window_manager(self):
        """openbox on this display, as on a desktop."""
        manager = self.start_helper(["openbox", "--sm-disable"])

        def managing():
            out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.tools_env(), capture_output=True,
                                 text=True, timeout=SHOW_DEADLINE).stdout
            return "window id" in out

        wait_until(managing, SHOW_DEADLINE, what="openbox to manage the screen")
        return manager

    # ---- the player's hands ---------------------------------------------------------

    def xdotool(self, *args, timeout=SHOW_DEADLINE):
        result = subprocess.run(["xdotool", *args], env=self.tools_env(), capture_output=True, text=True,
                                timeout=timeout)
        check(result.returncode == 0, f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def focus(self):
        self.xdotool("windowfocus", "--sync", self.window)

    def focus_elsewhere(self):
        """Hands the keyboard focus to the root window, as a click on another window would. The
        pointer leaves the game's window first: with the focus on the root, keys go to the
        window under the pointer."""
        self.xdotool("mousemove", "0", "0")
        root = subprocess.run(["xwininfo", "-root"], env=self.tools_env(), capture_output=True, text=True).stdout
        root_id = [line for line in root.splitlines() if "Window id:" in line][0].split()[3]
        self.xdotool("windowfocus", root_id)

    def key(self, *names):
        self.xdotool("key", "--delay", "60", *names)

    def key_down(self, name):
        self.xdotool("keydown", name)

    def key_up(self, name):
        self.xdotool("keyup", name)

    def click(self, x, y):
        """A left click at window coordinates."""
        self.xdotool("mousemove", "--window", self.window, str(x), str(y))
        self.xdotool("click", "1")

    def resize(self, width, height):
        # At the screen's corner, so that the whole window is on the screen for screenshots.
        self.xdotool("windowmove", "--sync", self.window, "0", "0")
        self.xdotool("windowsize", "--sync", self.window, str(width), str(height))

    def window_size(self):
        out = self.xdotool("getwindowgeometry", self.window)
        size = [line for line in out.splitlines() if "Geometry:" in line][0].split()[1]
        w, h = size.split("x")
        return int(w), int(h)

    def play_a_while(self, seconds):
        """The title left, then both arrows in turn while the field runs."""
        self.key("space")
        self.wait_for_screen(lambda s: s.pixel(5, 5) == BAR, SHOW_DEADLINE, "the play field")
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            check(self.alive(), "the game ended during play")
            for name in ("Left", "Right"):
                self.key_down(name)
                time.sleep(0.3)  # held, as a player holds an arrow
                self.key_up(name)

    def quit_cleanly(self):
        """Esc ends the game; it must be gone with exit code 0."""
        self.key("Escape")
        code = self.wait_exit()
        check(code == 0, f"the game ended with {code}; stderr: {self.stderr_text().strip()}")
        check("X error" not in self.stderr_text(), f"the game met an X error: {self.stderr_text().strip()}")

    # ---- what the player sees and hears ---------------------------------------------

    def shot(self, label="shot"):
        self.shots += 1
        path = os.path.join(self.work, f"{self.shots:02d}-{label}.png")
        ppm = subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"], env=self.tools_env(),
                             capture_output=True, timeout=SHOW_DEADLINE).stdout
        check(ppm.startswith(b"P6"), "the screenshot failed")
        if os.environ.get("ORBILUX_E2E_KEEP"):
            subprocess.run(["convert", "ppm:-", path], input=ppm)
        return Shot(ppm, path)

    def wait_for_screen(self, predicate, timeout, what):
        """The first screenshot the predicate accepts; the game must stay alive meanwhile. A
        failed screenshot counts as not yet (the window may be on its way back to the screen)."""
        holder = {}

        def seen():
            check(self.alive(), f"the game ended while waiting for {what}: {self.stderr_text().strip()!r}")
            try:
                holder["shot"] = self.shot("wait")
            except Failure:
                return False
            return predicate(holder["shot"])

        try:
            wait_until(seen, timeout, interval=0.15, what=what)
        except Failure:
            if "shot" in holder:  # the last thing seen, kept with the work folder for a look
                with open(os.path.join(self.work, "last-seen.ppm"), "wb") as f:
                    f.write(holder["shot"].ppm)
            raise
        return holder["shot"]

    def opened_addresses(self):
        if not os.path.exists(self.opened_file):
            return []
        with open(self.opened_file) as f:
            return [line.strip() for line in f if line.strip()]

    def wait_for_opened(self, count, timeout=SHOW_DEADLINE):
        return wait_until(lambda: len(self.opened_addresses()) >= count and self.opened_addresses(), timeout,
                          what=f"{count} addresses handed to xdg-open")

    def audio_samples(self):
        """The captured sound as signed 16-bit samples."""
        if not os.path.exists(self.audio_file):
            return []
        with open(self.audio_file, "rb") as f:
            raw = f.read()
        import array
        samples = array.array("h")
        samples.frombytes(raw[:len(raw) // 2 * 2])
        if sys.byteorder != "little":
            samples.byteswap()
        return samples

    def wait_exit(self, timeout=EXIT_DEADLINE):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the game was still running {timeout} s later")

    def stderr_text(self):
        with open(self.stderr_path) as f:
            return f.read()


# How the truck and a level-1 item move, for steering under a falling booster.
CATCHER_SPEED = 395  # field pixels per second
FALL_SPEED = 200  # at level 1
CATCH_LINE = 480
BED_OFFSET = 25  # the bed spans 55 px left to 4 px right of the catcher's centre


def find_red_booster(shot):
    """The lowest strongly red pixel in the sky: the falling red booster, if that is what falls."""
    found = None
    for y in range(150, 430, 3):
        for x in range(0, 800, 2):
            r, g, b = shot.pixel(x, y)
            if r > 190 and g < 90 and b < 110:
                found = (x, y)
                break
    return found


def steer_for_a_catch(game, caught, seconds, failure):
    """Steers the truck under falling red boosters, a new game after each game over, until
    caught() answers something, and returns that; Failure(failure) after `seconds`."""
    player = 400.0
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = caught()
        if result:
            return result
        shot = game.shot("scan")
        if game_over_on_screen(shot):
            game.key("r")
            player = 400.0
            game.wait_for_screen(get_ready_on_screen, SHOW_DEADLINE, "a new game's countdown")
            game.wait_for_screen(lambda s: not get_ready_on_screen(s), SHOW_DEADLINE, "the end of the countdown")
            continue
        item = find_red_booster(shot)
        if item is None:
            time.sleep(0.1)
            continue
        x, y = item
        target = min(740.0, max(60.0, x + BED_OFFSET))
        distance = target - player
        if abs(distance) > 8:
            key = "Right" if distance > 0 else "Left"
            game.key_down(key)
            time.sleep(abs(distance) / CATCHER_SPEED)
            game.key_up(key)
            player = target
        time.sleep(max(0.0, (CATCH_LINE - y) / FALL_SPEED) + 0.3)
    raise Failure(failure)


def title_letterboxed(size):
    """The title page filling a window of `size` as the letterbox places it: the bands, the
    white page and the red button, sampled well inside each so that filtering cannot blur them."""
    scale = min(size[0] / 800, size[1] / 600)
    x0, y0 = int((size[0] - 800 * scale) / 2), int((size[1] - 600 * scale) / 2)

    def at(shot, x, y):
        return shot.pixel(x0 + int(x * scale), y0 + int(y * scale))

    def seen(shot):
        return ((shot.width, shot.height) == size
                and (x0 < 8 or shot.is_filled(0, 0, x0 - 2, size[1], LETTERBOX, step=29))
                and (x0 < 8 or shot.is_filled(size[0] - x0 + 2, 0, size[0], size[1], LETTERBOX, step=29))
                and all(at(shot, x, y) == WHITE for x, y in ((5, 5), (20, 300), (790, 590)))
                and all(at(shot, x, y) == TITLE_BUTTON for x, y in ((50, 508), (50, 540), (345, 508))))
    return seen


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


def title_edge_width_in(shot, x0, y0, scale):
    """How sharp the title is, with the field at (x0, y0) at `scale` screen pixels a field unit:
    the screen pixels between page and ink per edge, along every row across the word "ORBILUX"
    (the pixels neither page nor ink, 10 % to 90 % of the way), over the number of edges."""
    ink = (0x1A, 0x28, 0x3B)  # the title's 0x3B281A
    page_lum, ink_lum = luminance(WHITE), luminance(ink)
    left, top, right, bottom = (int(v * scale) for v in (32, 36, 250, 52))  # the word, cap height, field units
    between = edges = 0
    for y in range(y0 + top, y0 + bottom):
        last = None
        for x in range(x0 + left, x0 + right):
            t = (page_lum - luminance(shot.pixel(x, y))) / (page_lum - ink_lum)
            if 0.1 <= t <= 0.9:
                between += 1
                continue
            side = t > 0.9
            edges += last is not None and side != last
            last = side
    check(edges > 100, f"only {edges} edges across the title's letters: is the title there?")
    return between / edges


def title_on_screen(shot):
    # The red button's rim around its text, and the white page.
    return (shot.is_filled(34, 505, 363, 512, TITLE_BUTTON) and shot.is_filled(34, 542, 363, 549, TITLE_BUTTON)
            and shot.is_filled(34, 505, 80, 549, TITLE_BUTTON) and shot.pixel(5, 5) == WHITE
            and shot.pixel(33, 527) == WHITE and shot.pixel(363, 527) == WHITE)


def play_field_on_screen(shot):
    return shot.pixel(5, 5) == BAR


def game_over_on_screen(shot):
    """The game-over panel with its two link buttons."""
    return (shot.is_filled(120, 137, 140, 150, PANEL) and shot.is_filled(660, 530, 680, 545, PANEL)
            and shot.is_filled(150, 340, 260, 346, COURSE_BUTTON) and shot.is_filled(150, 465, 260, 471, BOOK_BUTTON))


def get_ready_on_screen(shot):
    # The panel's corners outside the pause panel, clear of its texts.
    return shot.is_filled(270, 211, 330, 222, PANEL) and shot.is_filled(270, 341, 531, 347, PANEL)


OPTIONS_ROW = (0x1D, 0x2F, 0x46)  # 0x462F1D: a row of the options not chosen
OPTIONS_MUSIC_ROW = (34, 84, 766, 118)


def options_on_screen(shot):
    """The options: the first row chosen, the second not, on the quiz screens' brown."""
    return (shot.pixel(5, 5) == LETTERBOX and shot.is_filled(440, 88, 470, 114, COURSE_BUTTON)
            and shot.is_filled(440, 128, 470, 154, OPTIONS_ROW))


def pause_panel_on_screen(shot):
    return shot.is_filled(216, 229, 320, 244, PANEL) and shot.is_filled(216, 320, 585, 340, PANEL)


def run(scenario, *args):
    """Runs one scenario with the executable named on the command line; exit code 0 on success.
    A polite end (SIGTERM, as ctest sends on a timeout) still cleans up on the way out."""
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(f"stopped by signal {number}"))
    executable = os.path.abspath(sys.argv[1])
    try:
        scenario(executable, *args)
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
    print("passed")


def start_weston(game, socket):
    """Weston, on its X11 back end in the harness's X server, as the Wayland desktop of the
    game's next launches; returns Weston's process once its socket is there."""
    runtime = os.path.join(game.work, "runtime")
    os.makedirs(runtime, 0o700, exist_ok=True)
    game.base_changes.update(DISPLAY=None, SDL_VIDEODRIVER="wayland", WAYLAND_DISPLAY=socket,
                             XDG_RUNTIME_DIR=runtime)
    weston = game.start_helper(["weston", "--backend=x11-backend.so", f"--socket={socket}", "--width=1100",
                                "--height=900", "--idle-time=0", f"--log={game.work}/weston-{socket}.log"],
                               DISPLAY=game.display)
    wait_until(lambda: os.path.exists(os.path.join(runtime, socket)), SHOW_DEADLINE, what="Weston's socket")
    return weston
