"""Drives the real game in a real X server, as a player would: key presses, clicks and
window changes with xdotool, screenshots with ImageMagick's import, the sound captured by
SDL's disk audio driver, the best score in a temporary data folder, and a stand-in for
xdg-open that writes down every address the game hands to the browser."""

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
LETTERBOX = (0x0D, 0x17, 0x2A)  # 0x2A170D
COURSE_BUTTON = (0x22, 0x6F, 0x5B)  # 0x5B6F22
BOOK_BUTTON = (0x2C, 0x4F, 0x76)  # 0x764F2C


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

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, left, top, right, bottom):
        """The raw pixels of a rectangle, right and bottom exclusive, for comparing two shots."""
        rows = []
        for y in range(top, bottom):
            start = (y * self.width + left) * 3
            rows.append(self.data[start:start + (right - left) * 3])
        return b"".join(rows)

    def is_filled(self, left, top, right, bottom, colour, step=7):
        """Every sampled pixel of the rectangle has the colour (right and bottom exclusive)."""
        for y in range(top, bottom, step):
            for x in range(left, right, step):
                if self.pixel(x, y) != colour:
                    return False
        return self.pixel(right - 1, bottom - 1) == colour


class Game:
    """One X server and one run of the game in it; a context manager that always cleans up."""

    def __init__(self, executable, data_dir=None, name="game"):
        self.executable = executable
        self.work = tempfile.mkdtemp(prefix=f"orbilux-e2e-{name}-")
        self.data_dir = data_dir or os.path.join(self.work, "data")
        self.audio_file = os.path.join(self.work, "audio.raw")
        self.opened_file = os.path.join(self.work, "opened.txt")
        self.shots = 0
        self.xvfb = None
        self.process = None
        self.window = None
        self.display = None
        self._make_fake_opener()

    # ---- set-up and tear-down -------------------------------------------------------

    def _make_fake_opener(self):
        bin_dir = os.path.join(self.work, "bin")
        os.makedirs(bin_dir)
        opener = os.path.join(bin_dir, "xdg-open")
        with open(opener, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.opened_file}"\n')
        os.chmod(opener, 0o755)
        self.bin_dir = bin_dir

    def start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1200x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            check(time.monotonic() < deadline, "Xvfb did not start")
            chunk = os.read(read_end, 16)
            check(chunk, "Xvfb ended before naming its display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        return self

    def env(self):
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "XDG_DATA_HOME")}
        env.update({
            "DISPLAY": self.display,
            "SDL_VIDEODRIVER": "x11",
            "SDL_RENDER_DRIVER": "software",
            "SDL_FRAMEBUFFER_ACCELERATION": "0",
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio_file,
            "ORBILUX_RUSH_DATA_DIR": self.data_dir,
            "PATH": self.bin_dir + os.pathsep + env.get("PATH", "/usr/bin:/bin"),
        })
        return env

    def launch(self):
        self.started_at = time.monotonic()
        self.stderr_path = os.path.join(self.work, "stderr.txt")
        self.process = subprocess.Popen([self.executable], env=self.env(), stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=open(self.stderr_path, "w"))
        out = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^Orbilux Rush$", timeout=20)
        self.window = out.split()[0]
        self.shown_after = time.monotonic() - self.started_at
        return self

    def __enter__(self):
        self.start_display()
        return self

    def __exit__(self, kind, value, traceback):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if kind is None and not os.environ.get("ORBILUX_E2E_KEEP"):
            shutil.rmtree(self.work, ignore_errors=True)
        else:
            print(f"kept {self.work} for a look", file=sys.stderr)
        return False

    # ---- the player's hands ---------------------------------------------------------

    def xdotool(self, *args, timeout=10):
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True,
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
        root = subprocess.run(["xwininfo", "-root"], env=self.env(), capture_output=True, text=True).stdout
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
        # The game repaints on the size change; give it a tick or two to show the new size.
        time.sleep(0.3)

    def window_size(self):
        out = self.xdotool("getwindowgeometry", self.window)
        size = [line for line in out.splitlines() if "Geometry:" in line][0].split()[1]
        w, h = size.split("x")
        return int(w), int(h)

    # ---- what the player sees and hears ---------------------------------------------

    def shot(self, label="shot"):
        self.shots += 1
        path = os.path.join(self.work, f"{self.shots:02d}-{label}.png")
        ppm = subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"], env=self.env(), capture_output=True,
                             timeout=20).stdout
        check(ppm.startswith(b"P6"), "the screenshot failed")
        if os.environ.get("ORBILUX_E2E_KEEP"):
            subprocess.run(["convert", "ppm:-", path], input=ppm)
        return Shot(ppm, path)

    def wait_for_screen(self, predicate, timeout, what):
        holder = {}

        def seen():
            shot = self.shot("wait")
            holder["shot"] = shot
            return predicate(shot)

        wait_until(seen, timeout, interval=0.15, what=what)
        return holder["shot"]

    def opened_addresses(self):
        if not os.path.exists(self.opened_file):
            return []
        with open(self.opened_file) as f:
            return [line.strip() for line in f if line.strip()]

    def wait_for_opened(self, count, timeout=5):
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

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the game was still running {timeout} s later")

    def stderr_text(self):
        with open(self.stderr_path) as f:
            return f.read()


def game_over_on_screen(shot):
    """The game-over panel with its two link buttons."""
    return (shot.is_filled(120, 137, 140, 150, PANEL) and shot.is_filled(660, 530, 680, 545, PANEL)
            and shot.is_filled(150, 340, 260, 346, COURSE_BUTTON) and shot.is_filled(150, 465, 260, 471, BOOK_BUTTON))


def get_ready_on_screen(shot):
    # The panel's corners outside the pause panel, clear of its texts.
    return shot.is_filled(270, 211, 330, 222, PANEL) and shot.is_filled(270, 341, 531, 347, PANEL)


def pause_panel_on_screen(shot):
    return shot.is_filled(216, 229, 320, 244, PANEL) and shot.is_filled(216, 320, 585, 340, PANEL)


def run(scenario):
    """Runs one scenario with the executable named on the command line; exit code 0 on success."""
    executable = os.path.abspath(sys.argv[1])
    try:
        scenario(executable)
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
    print("passed")
