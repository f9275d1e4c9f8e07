"""Figures of the web version, each with its budget: the title against the Linux frame, the
bytes a first visit transfers (gzip, as served, the service worker's own fetches included),
navigation to the first frame in each engine, the busiest frames of the running field at
scale 1 and 2 as each engine's page measures them, processor time per Chromium process while
playing for each way of presenting, and (from scripts/bench-web.sh) the library stack's build
time. Not a test: the machine is shared, the figures are noisy.
Usage: bench_web.py SITE_FOLDER LINUX_EXECUTABLE [LOADS]"""

import gzip
import os
import re
import statistics
import sys
import time

from browser import Browser, FirefoxBrowser, Site, START_DEADLINE, WebKitBrowser
from harness import get_ready_on_screen, title_on_screen
import serve
import test_web

TRANSFER_BUDGET = 2.0e6
FIRST_FRAME_BUDGET_MS = 1000
PLAY_SECONDS = 10
ENGINES = (Browser, FirefoxBrowser, WebKitBrowser)

# Chooses SDL's renderer before the game starts: the page's Module gets an extra step.
RENDERER_SCRIPT = """
Object.defineProperty(window, "Module", {configurable: true,
  set(module) { module.preRun = [function () { ENV.SDL_RENDER_DRIVER = "%s"; }];
                Object.defineProperty(window, "Module", {value: module, writable: true}); }});
"""


def verdict(met):
    return "MET" if met else "MISSED"


def transferred(site):
    """Everything the server sends for a first visit, until the service worker has kept the site."""
    sent = []
    plain_copy = serve.SiteHandler.copyfile

    def counting_copy(handler, source, output):
        data = source.read()
        sent.append((handler.path, len(data)))
        output.write(data)
    serve.SiteHandler.copyfile = counting_copy
    try:
        with Browser() as browser:
            browser.open(site.url)
            test_web.wait_until(lambda: browser.js(test_web.KEPT) and browser.js(test_web.KEPT)[0][1] == 9,
                                60, 0.2, "the site kept by the service worker")
    finally:
        serve.SiteHandler.copyfile = plain_copy
    total = 0
    for path, size in sorted(sent):
        print(f"  {path:40} {size / 1e6:6.3f} MB")
        total += size
    folder = site.folder
    offline = sum(len(gzip.compress(open(os.path.join(folder, n), "rb").read(), 9))
                  for n in ("orbilux-rush.wasm", "orbilux-rush.js", "orbilux-rush.data"))
    print(f"transferred, gzip, with the service worker and manifest: {total / 1e6:.2f} MB in {len(sent)} answers "
          f"(wasm + js + data alone, gzip -9: {offline / 1e6:.2f} MB); budget {TRANSFER_BUDGET / 1e6} MB: "
          f"{verdict(total <= TRANSFER_BUDGET)}")


def first_frames(site, loads, engine):
    times = []
    with engine() as browser:
        browser.open(site.url)  # the browser itself started once, as a player's is
        for _ in range(loads):
            browser.goto("about:blank")
            times.append(browser.open(site.url))
    print(f"{engine.engine}: navigation to first frame: median {statistics.median(times):.0f} ms, max "
          f"{max(times):.0f} ms over {loads} loads ({', '.join(f'{t:.0f}' for t in times)}); budget "
          f"{FIRST_FRAME_BUDGET_MS} ms: {verdict(statistics.median(times) <= FIRST_FRAME_BUDGET_MS)}")


def busiest_frames(site, engine, width, height):
    """The page's own measure of its busiest frames (the ninth decile of each two seconds of
    the running field), steering back and forth through a seeded game."""
    with engine(width, height) as browser:
        browser.open(site.url + "?seed=7")
        browser.key("space")
        end = time.monotonic() + PLAY_SECONDS
        side = "Left"
        while time.monotonic() < end:
            browser.key_down(side)
            time.sleep(0.7)
            browser.key_up(side)
            side = "Right" if side == "Left" else "Left"
        return browser.js("return Module.orbiluxBusiestFrames || []")


def chromium_times():
    """Processor seconds so far of every process of the test browser (the one whose profile
    is ours, and all it started), by its kind."""
    ticks = os.sysconf("SC_CLK_TCK")
    info = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().split(b"\0")
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        info[int(pid)] = (cmd, int(fields[1]), (int(fields[11]) + int(fields[12])) / ticks)
    ours = {pid for pid, (cmd, _, _) in info.items() if any(b"orbilux-web-profile" in c for c in cmd)}
    grew = True
    while grew:
        more = {pid for pid, (_, parent, _) in info.items() if parent in ours} - ours
        ours |= more
        grew = bool(more)
    kinds = {}
    for pid in ours:
        cmd, _, seconds = info[pid]
        # Chromium rewrites its processes' command lines into one string.
        found = re.search(rb"--type=([\w-]+)", b" ".join(cmd))
        kind = found.group(1).decode() if found else "browser"
        kinds[kind] = kinds.get(kind, 0) + seconds
    return kinds


def playing_processor(site, renderer, width=800, height=600):
    with Browser(width, height) as browser:
        if renderer:
            browser.cdp("Page.addScriptToEvaluateOnNewDocument", source=RENDERER_SCRIPT % renderer)
        browser.open(site.url + "?seed=7")
        field_sized = (width, height) == (800, 600)  # the screen checks read field pixels
        if field_sized:
            browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title")
        browser.key("space")
        if field_sized:
            browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY")
        before, started = chromium_times(), time.monotonic()
        end = started + PLAY_SECONDS
        side = "Left"
        while time.monotonic() < end:  # back and forth, as a player steers
            browser.key_down(side)
            time.sleep(0.7)
            browser.key_up(side)
            side = "Right" if side == "Left" else "Left"
        after, elapsed = chromium_times(), time.monotonic() - started
    shares = {k: 100 * (after.get(k, 0) - before.get(k, 0)) / elapsed for k in after}
    return shares


def screenshots(site, folder):
    """The page as people open it, for a person to look at: a phone upright (390 x 844 CSS
    pixels at 3 device pixels each, touch) on the title and in play, the same phone turned, a
    16:9 laptop (1280 x 720 at 2), a 1920 x 1080 desktop in play, and the game in a course
    page's frame."""
    os.makedirs(folder, exist_ok=True)
    shapes = {"phone": (390, 844, 3, True), "phone-turned": (844, 390, 3, True), "laptop": (1280, 720, 2, False),
              "desktop": (1920, 1080, 1, False)}
    for name, (width, height, scale, mobile) in shapes.items():
        with Browser() as browser:
            browser.set_viewport(width, height, scale=scale, mobile=mobile, touch=mobile)
            browser.open(site.url + "?seed=7")
            time.sleep(0.5)
            with open(os.path.join(folder, f"{name}-title.png"), "wb") as f:
                f.write(browser.png())
            if mobile:
                browser.tap(width // 2, height // 2)
            else:
                browser.key("space")
            time.sleep(4)  # past GET READY, into play
            with open(os.path.join(folder, f"{name}-play.png"), "wb") as f:
                f.write(browser.png())
    course = os.path.join(folder, "course")
    os.makedirs(course, exist_ok=True)
    with open(os.path.join(course, "index.html"), "w") as f:
        f.write(test_web.COURSE_PAGE % (site.url + "?seed=7"))
    with Site(course) as page, Browser(1000, 900) as browser:
        browser.driver.get(page.url)
        browser.driver.switch_to.frame(browser.driver.find_element("tag name", "iframe"))
        browser.wait_started()
        browser.driver.switch_to.default_content()
        browser.click(450, 450)
        browser.key("space")
        time.sleep(4)
        with open(os.path.join(folder, "embedded-play.png"), "wb") as f:
            f.write(browser.png())
    print(f"screenshots in {folder}")


def main():
    site_folder, linux = sys.argv[1], os.path.abspath(sys.argv[2])
    loads = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    load = os.getloadavg()
    print(f"machine: {os.cpu_count()} cores, load average {load[0]:.1f} {load[1]:.1f} {load[2]:.1f}")
    with Site(site_folder) as site:
        if os.environ.get("BENCH_SHOTS"):
            screenshots(site, os.environ["BENCH_SHOTS"])
        try:
            test_web.title_against_linux(site, linux)
        except test_web.Failure as failure:
            print(f"title: MISSED ({failure})")
        transferred(site)
        for engine in ENGINES:
            first_frames(site, loads, engine)
        # Scale 1 and 2 alternated in each engine, so that both see the same machine.
        for engine in ENGINES:
            seen = {1: [], 2: []}
            for _ in range(2):
                for scale in seen:
                    seen[scale] += busiest_frames(site, engine, 800 * scale, 600 * scale)
            for scale, windows in seen.items():
                drawn = sorted({round(w["scale"], 2) for w in windows})
                costs = [w["ms"] for w in windows]
                print(f"{engine.engine}: busiest frames of the running field shown at scale {scale} (drawn at "
                      f"{drawn}): median {statistics.median(costs):.1f} ms, worst {max(costs):.1f} ms over "
                      f"{len(costs)} windows of two seconds" if costs else
                      f"{engine.engine}: scale {scale}: no window measured")
        # The two ways of presenting, alternated so that both see the same machine.
        ways = {f"{name}, {w} x {h}": (renderer, w, h) for w, h in ((800, 600), (1920, 1080))
                for name, renderer in (("WebGL", "opengles2"), ("software (2D canvas)", "software"))}
        runs = {name: [] for name in ways}
        for _ in range(2):
            for name, (renderer, w, h) in ways.items():
                runs[name].append(playing_processor(site, renderer, w, h))
        for name, shares in runs.items():
            kinds = sorted({k for s in shares for k in s})
            parts = ", ".join(f"{k} {statistics.mean(s.get(k, 0) for s in shares):.0f} %" for k in kinds)
            total = statistics.mean(sum(s.values()) for s in shares)
            print(f"processor while playing, {name}: {total:.0f} % of a core in all ({parts}); "
                  f"mean of {len(shares)} runs of {PLAY_SECONDS} s")


if __name__ == "__main__":
    main()
