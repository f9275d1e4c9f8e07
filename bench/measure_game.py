"""Measures the real game in a real X server (Xvfb, SDL's software renderer, no sound
device) the way a player uses it, and checks each figure against its budget:

  processor time on the title, while playing, in pause, without the focus and after game
  over (from /proc/<pid>/stat, all threads), the time from launch to the first frame shown
  (the game prints the moment when ORBILUX_RUSH_TRACE_STARTUP=1), resident memory while
  playing (VmRSS sampled, VmHWM), and the spacing of the ticks while playing (the game
  writes every tick's counter at exit when ORBILUX_RUSH_TRACE_TICKS names a file).

Every run is made twice: as the game runs, and another way to compare against, and each
figure is shown with the ratio between the two. MEASURE_AGAINST names the other way:
"straightforward" (the default; ORBILUX_RUSH_NO_FRAME_SKIP=1: every tick composed and
presented, no sleeping on still screens), "stretched" (ORBILUX_RUSH_STRETCH_FIELD=1: the
field drawn at 800 x 600 and stretched to the screen by the renderer) or "software" (the game
with no SDL_* variables, choosing its renderer itself as on a machine without a GPU, against
SDL's software renderer asked for by SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION). MEASURE_BEFORE names
another build of the game to compare against instead, "the build before", run as it is.

  python3 bench/measure_game.py path/to/orbilux-rush

MEASURE_RUNS (default 3) runs of each way; MEASURE_SECONDS (default 10) per screen.
MEASURE_SCREEN=1920x1080 plays fullscreen on a screen of that size (with a window manager)
instead of in an 800 x 600 window. Medians over the runs are reported. Exits 1 when a
budget is missed."""

import ctypes
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import PANEL, Failure, Game, wait_until  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

BUDGET_BUSY_CPU = 15.0  # % of one core while playing
BUDGET_STILL_CPU = 2.0  # % of one core where nothing moves
BUDGET_STARTUP_MS = 150.0
BUDGET_RSS_MB = 36.0  # megabytes of 10^6 bytes
BUDGET_TICK_P99_MS = 18.0

FALL_SPEED = 200  # level 1, pixels per second
CATCHER_SPEED = 395
CATCH_LINE = 480
ITEM_TOP, ITEM_BOTTOM = 100, 470  # where the falling thing is looked for
BODY = (0xE8, 0x64, 0x2A)  # the catcher's body, 0x2A64E8
ITEM_COLOURS = {  # the interiors of the falling things
    (0xE6, 0x1C, 0x33): "red",  # a red booster's front face
    (0xF5, 0xB5, 0x1F): "gold",  # a gold booster's front face
    (0xFF, 0xBD, 0x45): "meander",  # a meander's bright trace
}


BEFORE = os.environ.get("MEASURE_BEFORE")  # another build of the game, run as it is
AGAINST = "the build before" if BEFORE else os.environ.get("MEASURE_AGAINST", "straightforward")
# The surroundings of each way to compare against, and of the game measured against it.
OTHER_WAY = {"straightforward": {"ORBILUX_RUSH_NO_FRAME_SKIP": "1"}, "stretched": {"ORBILUX_RUSH_STRETCH_FIELD": "1"},
             "software": {"SDL_RENDER_DRIVER": "software", "SDL_FRAMEBUFFER_ACCELERATION": "0"},
             "the build before": {}}
OWN_WAY = {name: dict.fromkeys(changes) for name, changes in OTHER_WAY.items()}  # None: left unset
SCREEN = os.environ.get("MEASURE_SCREEN")  # e.g. 1920x1080: fullscreen on that screen


class Field:
    """Where the field is on the screen the game is measured on: the letterbox's corner and
    how many screen pixels a field unit takes."""

    def __init__(self):
        if SCREEN:
            width, height = (int(v) for v in SCREEN.split("x"))
            self.scale = min(width / 800, height / 600)
            self.x0, self.y0 = (width - int(800 * self.scale)) // 2, (height - int(600 * self.scale)) // 2
        else:
            self.scale, self.x0, self.y0 = 1, 0, 0


FIELD = Field()


class MeasuredGame(Game):
    """The game as the e2e tests run it, with the tracing asked for and no sound device."""

    def __init__(self, executable, plain, name):
        super().__init__(executable, name=name, screen=f"{SCREEN}x24" if SCREEN else "1920x1200x24",
                         SDL_AUDIODRIVER="dummy", ORBILUX_RUSH_TRACE_STARTUP="1",
                         **(OTHER_WAY if plain else OWN_WAY)[AGAINST])
        self.plain = plain
        self.ticks_file = os.path.join(self.work, "ticks.txt")
        self.base_changes["ORBILUX_RUSH_TRACE_TICKS"] = self.ticks_file

    def launch(self):
        if SCREEN:
            self.start_window_manager()
        launched = time.monotonic()
        super().launch(*(["--fullscreen"] if SCREEN else []))
        line = wait_for_first_frame(self.stderr_path, 10)
        shown = float(line)
        return (shown - launched) * 1000

    # ---- the process from outside --------------------------------------------------

    def cpu_seconds(self):
        """utime + stime of all threads, in whole clock ticks (10 ms here)."""
        with open(f"/proc/{self.process.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        # utime and stime are fields 14 and 15; the text after ")" starts at field 3.
        return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS

    def cpu_seconds_exact(self):
        """Time on a processor of every thread alive, to the nanosecond (schedstat)."""
        total = 0
        task_dir = f"/proc/{self.process.pid}/task"
        for task in os.listdir(task_dir):
            try:
                with open(f"{task_dir}/{task}/schedstat") as f:
                    total += int(f.read().split()[0])
            except (FileNotFoundError, ProcessLookupError):
                pass  # a thread that just ended
        return total / 1e9

    def status(self, name):
        with open(f"/proc/{self.process.pid}/status") as f:
            for line in f:
                if line.startswith(name + ":"):
                    return int(line.split()[1]) * 1024
        return 0

    def cpu_percent_over(self, seconds, during=None):
        """Percent of one processor over `seconds`: from /proc/<pid>/stat, and to the
        nanosecond from schedstat (which tells apart figures below the clock tick)."""
        before, exact_before, started = self.cpu_seconds(), self.cpu_seconds_exact(), time.monotonic()
        deadline = started + seconds
        while time.monotonic() < deadline:
            if during:
                during(deadline)
            else:
                time.sleep(min(0.5, max(0.0, deadline - time.monotonic())))
        after, exact_after, stopped = self.cpu_seconds(), self.cpu_seconds_exact(), time.monotonic()
        elapsed = stopped - started
        return 100 * (after - before) / elapsed, 100 * (exact_after - exact_before) / elapsed


def wait_for_first_frame(stderr_path, timeout):
    pattern = re.compile(r"first frame shown at monotonic ([0-9.]+)")
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        with open(stderr_path) as f:
            found = pattern.search(f.read())
        if found:
            return found.group(1)
        time.sleep(0.02)
    raise Failure("the game did not report its first frame")


class WindowPixels:
    """Reads rows of the game's window straight from the X server through libX11: one
    request and a few scans in C, light enough not to disturb the game it measures (a
    screenshot through ImageMagick takes a tenth of a second of processor each)."""

    class XImage(ctypes.Structure):
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                    ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
                    ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                    ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                    ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]

    def __init__(self, display, window):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XGetImage.restype = ctypes.POINTER(self.XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                       ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XDestroyImage.argtypes = [ctypes.POINTER(self.XImage)]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.x11.XOpenDisplay(display.encode())
        if not self.display:
            raise Failure("cannot open the display for reading pixels")
        self.window = int(window)

    def rows(self, top, height):
        """Field rows top .. top + height - 1 as (bytes, bytes per line), pixels as B, G, R, pad,
        in screen pixels: FIELD.scale of them a field unit."""
        top, height = FIELD.y0 + int(top * FIELD.scale), max(1, int(height * FIELD.scale))
        image = self.x11.XGetImage(self.display, self.window, FIELD.x0, top, int(800 * FIELD.scale), height,
                                   0xFFFFFFFF, 2)  # ZPixmap
        if not image or image.contents.bits_per_pixel != 32:
            return None, 0
        stride = image.contents.bytes_per_line
        data = ctypes.string_at(image.contents.data, stride * height)
        self.x11.XDestroyImage(image)
        return data, stride

    def close(self):
        self.x11.XCloseDisplay(self.display)


def find_item(pixels):
    """The falling thing's kind, the x of its centre and its top, or None."""
    data, stride = pixels.rows(ITEM_TOP, ITEM_BOTTOM - ITEM_TOP)
    if data is None:
        return None
    for (r, g, b), kind in ITEM_COLOURS.items():
        at = data.find(bytes((b, g, r)))
        while at >= 0 and at % 4 != 0:  # a match across two pixels
            at = data.find(bytes((b, g, r)), at + 1)
        if at < 0:
            continue
        y = at // stride
        row = data[y * stride:(y + 1) * stride]
        xs = [x for x in range(stride // 4) if row[4 * x:4 * x + 3] == bytes((b, g, r))]
        middle = (min(xs) + max(xs)) / 2 / FIELD.scale
        # A booster's front face sits left of its centre (-18 .. +6); a meander is centred.
        return kind, (middle + 6 if kind != "meander" else middle), ITEM_TOP + y / FIELD.scale
    return None


def find_catcher(pixels):
    data, _ = pixels.rows(505, 1)
    if data is None:
        return None
    at = data.find(bytes((BODY[2], BODY[1], BODY[0])))
    while at >= 0 and at % 4 != 0:
        at = data.find(bytes((BODY[2], BODY[1], BODY[0])), at + 1)
    return at // 4 / FIELD.scale + 51 if at >= 0 else None  # the body shows from 51 pixels left of the centre


class Player:
    """Steers under boosters and away from meanders, from a screenshot per falling item."""

    def __init__(self, game):
        self.game = game
        self.pixels = WindowPixels(game.display, game.window)
        self.restarts = 0
        self.items_seen = 0

    def game_over(self):
        """The game-over panel's left part, under the HUD's second row."""
        row, _ = self.pixels.rows(140, 1)
        x = int(130 * FIELD.scale)
        return row is not None and row[4 * x:4 * x + 3] == bytes((PANEL[2], PANEL[1], PANEL[0]))

    def play_until(self, deadline):
        if self.game_over():
            self.restarts += 1
            self.game.key("r")
            time.sleep(min(3.2, max(0.0, deadline - time.monotonic())))
            return
        item, player = find_item(self.pixels), find_catcher(self.pixels)
        if item is None or player is None:
            time.sleep(0.2)
            return
        kind, x, top = item
        self.items_seen += 1
        if kind == "meander":
            target = x - 160 if x > 400 else x + 160
        else:
            target = x + 25
        target = min(740.0, max(60.0, target))
        distance = target - player
        if abs(distance) > 6:
            key = "Right" if distance > 0 else "Left"
            self.game.key_down(key)
            time.sleep(abs(distance) / CATCHER_SPEED)
            self.game.key_up(key)
        # Look again once this item has passed the line.
        wait = (CATCH_LINE - (top + 38)) / FALL_SPEED + 0.35
        time.sleep(min(max(0.1, wait), max(0.0, deadline - time.monotonic())))


def tick_intervals(path, start_raw, stop_raw):
    """Spacing in ms of consecutive ticks between two CLOCK_MONOTONIC_RAW moments."""
    with open(path) as f:
        header = f.readline()
        frequency = int(re.search(r"counts per second (\d+)", header).group(1))
        counts = [int(line) for line in f if line.strip()]
    intervals, previous = [], None
    for count in counts:
        if count == 0:  # the loop slept: the next interval is not the beat's
            previous = None
            continue
        seconds = count / frequency
        if previous is not None and start_raw <= previous and seconds <= stop_raw:
            intervals.append((seconds - previous) * 1000)
        previous = seconds
    return intervals


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, len(values) * p // 100)] if values else float("nan")


def one_run(executable, plain, seconds, index):
    if plain and BEFORE:
        executable = os.path.abspath(BEFORE)
    figures = {}
    with MeasuredGame(executable, plain, f"measure-{'plain' if plain else 'game'}-{index}") as game:
        figures["startup_ms"] = game.launch()
        time.sleep(1)
        figures["cpu_title"], figures["cpu_title_exact"] = game.cpu_percent_over(seconds)

        game.focus()
        game.key("space")
        time.sleep(3.3)  # GET READY
        player = Player(game)
        rss = []

        def play(deadline):
            rss.append(game.status("VmRSS"))
            player.play_until(deadline)

        play_start = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
        figures["cpu_playing"], figures["cpu_playing_exact"] = game.cpu_percent_over(seconds, play)
        play_stop = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
        figures["rss_playing_mb"] = max(rss) / 1e6
        figures["hwm_mb"] = game.status("VmHWM") / 1e6
        figures["restarts"] = player.restarts
        figures["items_steered_to"] = player.items_seen
        for key in ("Left", "Right"):
            game.key_up(key)

        game.key("space")
        time.sleep(1)
        figures["cpu_paused"], figures["cpu_paused_exact"] = game.cpu_percent_over(seconds)

        game.focus_elsewhere()
        time.sleep(1)
        figures["cpu_no_focus"], figures["cpu_no_focus_exact"] = game.cpu_percent_over(seconds)

        # Back, resumed, and left alone until the items have taken every life.
        game.focus()
        time.sleep(0.3)
        game.key("space")
        wait_until(player.game_over, 60, interval=0.2, what="game over")
        player.pixels.close()
        time.sleep(1)
        figures["cpu_game_over"], figures["cpu_game_over_exact"] = game.cpu_percent_over(seconds)

        game.key("Escape")
        if game.wait_exit(10) != 0:
            raise Failure("the game did not exit cleanly")
        intervals = tick_intervals(game.ticks_file, play_start, play_stop)
        figures["tick_p50_ms"] = percentile(intervals, 50)
        figures["tick_p99_ms"] = percentile(intervals, 99)
        figures["tick_max_ms"] = max(intervals) if intervals else float("nan")
        figures["ticks"] = len(intervals)
    return figures


def median_of(runs, key):
    return statistics.median(run[key] for run in runs)


def main():
    executable = os.path.abspath(sys.argv[1])
    runs = int(os.environ.get("MEASURE_RUNS", "3"))
    seconds = float(os.environ.get("MEASURE_SECONDS", "10"))

    # A first start fills the font cache; its figures are not kept.
    with MeasuredGame(executable, False, "measure-warm-up") as game:
        game.launch()
        game.key("Escape")
        game.wait_exit(10)

    results = {False: [], True: []}
    for index in range(runs):
        for plain in (False, True):  # interleaved, so both ways see the same machine
            figures = one_run(executable, plain, seconds, index)
            results[plain].append(figures)
            print(f"run {index + 1} {AGAINST if plain else 'as played'}: " +
                  ", ".join(f"{k} {v:.2f}" if isinstance(v, float) else f"{k} {v}" for k, v in figures.items()),
                  file=sys.stderr)

    game, plain = results[False], results[True]
    rows = [
        ("CPU on the title", "cpu_title", "%", BUDGET_STILL_CPU),
        ("CPU while playing", "cpu_playing", "%", BUDGET_BUSY_CPU),
        ("CPU in pause", "cpu_paused", "%", BUDGET_STILL_CPU),
        ("CPU without focus", "cpu_no_focus", "%", BUDGET_STILL_CPU),
        ("CPU after game over", "cpu_game_over", "%", BUDGET_STILL_CPU),
        ("start to first frame", "startup_ms", "ms", BUDGET_STARTUP_MS),
        ("resident memory while playing", "rss_playing_mb", "MB", BUDGET_RSS_MB),
        ("tick interval p99 while playing", "tick_p99_ms", "ms", BUDGET_TICK_P99_MS),
    ]
    where = f"fullscreen on {SCREEN}" if SCREEN else "in an 800 x 600 window"
    meaning = {"straightforward": "composes and presents every tick and never sleeps",
               "stretched": "draws the field at 800 x 600 and lets the renderer stretch it",
               "software": "presents through SDL's software renderer because both variables ask for it",
               "the build before": f"is {BEFORE}"}[AGAINST]
    print(f"{runs} runs of {seconds:g} s per screen {where}, medians; '{AGAINST}' {meaning}")
    verdicts = []
    for label, key, unit, budget in rows:
        mine, theirs = median_of(game, key), median_of(plain, key)
        text = f"{label}: {mine:.2f} {unit}"
        if key.startswith("cpu_"):
            # The ratio from the exact figures: a still screen's is far below the clock tick.
            exact, exact_theirs = median_of(game, key + "_exact"), median_of(plain, key + "_exact")
            text += f" (schedstat {exact:.3f} %)"
            mine_for_ratio, theirs_for_ratio = exact, exact_theirs
        else:
            mine_for_ratio, theirs_for_ratio = mine, theirs
        ratio = theirs_for_ratio / mine_for_ratio if mine_for_ratio > 0 else float("inf")
        print(f"{text}  budget {budget:g} {unit}  ({AGAINST} {theirs:.2f} {unit}, "
              f"{ratio:.2f} times as much)")
        verdicts.append((label, mine, unit, budget))
    print(f"tick interval while playing: p50 {median_of(game, 'tick_p50_ms'):.2f} ms, "
          f"max {median_of(game, 'tick_max_ms'):.2f} ms over {median_of(game, 'ticks'):.0f} ticks "
          f"({AGAINST} p50 {median_of(plain, 'tick_p50_ms'):.2f}, max {median_of(plain, 'tick_max_ms'):.2f})")
    print(f"peak resident memory (VmHWM) by the end of play: {median_of(game, 'hwm_mb'):.2f} MB "
          f"({AGAINST} {median_of(plain, 'hwm_mb'):.2f} MB); "
          f"games restarted during play: {sum(r['restarts'] for r in game)}")
    missed = 0
    for label, value, unit, budget in verdicts:
        verdict = "MET" if value <= budget else "MISSED"
        missed += verdict == "MISSED"
        print(f"{verdict} {label}: {value:.2f} {unit} against {budget:g} {unit}")
    return 1 if missed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(2)
