"""The web version against the real site on 127.0.0.1, in one engine: Chromium (the default),
Firefox or WebKit. In each: the title as the Linux window shows it, Space to GET READY, a catch
that raises the best and survives a reload, the field letterboxed at 4:3 from the first frame
in a 16:9 and a portrait viewport, and a hidden page pausing the field. Chromium and Firefox: a
game that starts with the browser's storage blocked (WebKitWebDriver runs no script before the
page's own). Chromium alone (its DevTools reach further): the laptops', a tablet's and phones'
shapes at their pixel ratios, a phone turned, O opening the course, the options kept across a
reload, a held touch steering, the site played offline and replaced by a new build, the
manifest as the browser reads it, and the game in a course page's frame; and, once, every
licence readable in the site and the portal zip, and the relink package beside them. (A tap on
a quiz answer is checked by the touch controls' unit tests: reaching the question here would
take a robot player minutes of catching.)
Usage: test_web.py SITE_FOLDER LINUX_EXECUTABLE [chromium|firefox|webkit]"""

import json
import os
import shutil
import struct
import sys
import tempfile
import time
import zipfile

from browser import STARTED_DRIVERS, START_DEADLINE, Browser, EngineCrashed, FirefoxBrowser, Site, WebKitBrowser
from harness import (FIELD_H, FIELD_W, LETTERBOX, OPTIONS_MUSIC_ROW, Failure, Game, check, game_over_on_screen,
                     get_ready_on_screen, options_on_screen, steer_for_a_catch, title_letterboxed, title_on_screen,
                     wait_until)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "package"))
from check_licences import package_faults  # noqa: E402

ENGINES = {"chromium": Browser, "firefox": FirefoxBrowser, "webkit": WebKitBrowser}

COURSE_ADDRESS = "https://ocw.mit.edu/courses/6-661-receivers-antennas-and-signals-spring-2003/"
BODY = (0xE8, 0x64, 0x2A)  # the truck's body, 0x2A64E8: between the rear post and the cab, 54 px

# The title may differ from the Linux frame by a few text-edge pixels (the two builds' font
# rasterisers round a handful of coverage values differently), never by more than this.
TITLE_MAX_PIXELS, TITLE_MAX_LEVELS = 10, 2


def truck_x(shot):
    """The truck's centre: its body shows from 51 px left of it up to the cab."""
    found = shot.find_run(BODY, 50)
    return None if found is None else found[0] + 51


def title_against_linux(site, linux_executable, engine=Browser):
    with Game(linux_executable, name="web-title-reference") as game:
        game.launch()
        game.place()
        linux = game.wait_for_screen(title_on_screen, 60, "the Linux title")
    with engine() as browser:
        browser.open(site.url)
        web = browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title in the page")
    check((web.width, web.height) == (FIELD_W, FIELD_H), f"the page's screenshot is {web.width} x {web.height}")
    differing, worst = 0, 0
    for i in range(0, FIELD_W * FIELD_H * 3, 3):
        a, b = linux.data[i:i + 3], web.data[i:i + 3]
        if a != b:
            differing += 1
            worst = max(worst, *(abs(x - y) for x, y in zip(a, b)))
    print(f"{browser.engine}: title: {differing} pixels differ from the Linux frame, by at most {worst} levels")
    check(differing <= TITLE_MAX_PIXELS and worst <= TITLE_MAX_LEVELS,
          f"the page's title differs from the Linux frame in {differing} pixels, by up to {worst} levels")


def folder_file(browser):
    return browser.js("const path = Module.orbiluxStoredFolder + '/best-score';"
                      "return FS.analyzePath(path).exists ? FS.readFile(path, {encoding: 'utf8'}) : null")


def keys_catch_and_links(site, engine=Browser):
    """Space, a seeded catch that raises the best, the reload that shows it, and (Chromium) O."""
    with engine() as browser:
        browser.open(site.url + "?seed=7")
        browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title")
        check(folder_file(browser) is None, "a new browser profile already holds a best score")
        browser.key("space")
        get_ready = browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY after Space")
        no_best_line = get_ready.region(570, 96, 700, 118)
        browser.wait_for_screen(lambda s: not get_ready_on_screen(s), START_DEADLINE, "the end of the countdown")
        steer_for_a_catch(browser, lambda: folder_file(browser), 180, "no booster caught in 180 s")
        browser.key("space")  # paused, so that no later catch changes the best meanwhile
        time.sleep(1)
        saved = folder_file(browser)
        check(saved.rstrip("\n").isdigit() and int(saved) >= 1, f"the stored best is {saved!r}")

        # Give IndexedDB the moment it needs, then reload: the best comes back from it.
        time.sleep(2)
        browser.reload()
        browser.wait_started()
        check(folder_file(browser) == saved, "the best did not come back from IndexedDB after a reload")
        browser.key("space")
        get_ready = browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY after the reload")
        check(get_ready.region(570, 96, 700, 118) != no_best_line, "the HUD's BEST line still shows no best")

        if engine is not Browser:
            print(f"{browser.engine}: a catch raised the best to {saved.strip()}; it came back after a reload")
            return
        # Game over, the truck parked at the left edge.
        browser.key_down("Left")
        browser.wait_for_screen(game_over_on_screen, 300, "the game-over panel")
        browser.key_up("Left")

        # O: a new tab with the course.
        browser.js("window.openedAddresses = [];"
                   "const open = window.open;"
                   "window.open = function (url, target) { openedAddresses.push([url, target]);"
                   "  return open.apply(window, arguments); };")
        tabs = len(browser.driver.window_handles)
        browser.key("o")
        wait_until(lambda: len(browser.driver.window_handles) > tabs, 30, 0.1, "a new tab after O")
        opened = browser.js("return window.openedAddresses")
        check(opened == [[COURSE_ADDRESS, "_blank"]], f"O opened {opened}")
        print(f"a catch raised the best to {saved.strip()}; it came back after a reload; O opened the course")


def options_after_reload(site, engine=Browser):
    """S opens the options, Left turns the music down; after a reload both the site's storage
    and the screen still hold it."""
    def settings(browser):
        return browser.js("const path = Module.orbiluxStoredFolder + '/settings.ini';"
                          "return FS.analyzePath(path).exists ? FS.readFile(path, {encoding: 'utf8'}) : null")

    with engine() as browser:
        browser.open(site.url)
        browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title")
        browser.key("s")
        before = browser.wait_for_screen(options_on_screen, START_DEADLINE, "the options").region(*OPTIONS_MUSIC_ROW)
        browser.key("Left")
        after = browser.wait_for_screen(lambda s: options_on_screen(s) and s.region(*OPTIONS_MUSIC_ROW) != before,
                                        START_DEADLINE, "the music turned down").region(*OPTIONS_MUSIC_ROW)
        saved = settings(browser)
        check(saved is not None and "music_volume = 90\n" in saved, f"the stored options are {saved!r}")
        time.sleep(2)  # IndexedDB's moment, as for the best
        browser.reload()
        browser.wait_started()
        check(settings(browser) == saved, "the options did not come back from IndexedDB after a reload")
        browser.key("s")
        again = browser.wait_for_screen(options_on_screen, START_DEADLINE, "the options after the reload")
        check(again.region(*OPTIONS_MUSIC_ROW) == after, "the music row after the reload is not at 90 %")


def touch(site):
    with Browser() as browser:
        browser.set_viewport(800, 600, touch=True)
        browser.open(site.url + "?seed=7")
        browser.tap(400, 300)
        browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY after a tap")
        shot = browser.wait_for_screen(lambda s: not get_ready_on_screen(s) and truck_x(s) is not None,
                                       START_DEADLINE, "the end of the countdown")
        start = truck_x(shot)
        browser.touch_down(700, 300)
        moved = browser.wait_for_screen(lambda s: (truck_x(s) or 0) >= start + 100, 30, "the truck moving right")
        browser.touch_up()
        print(f"a touch held on the right moved the truck from x={start} to x={truck_x(moved)}")


def field_fits(browser, what):
    """The canvas's bitmap is its box in device pixels, and the field is letterboxed in it at
    4:3, centred, as large as it fits; drawn at the size it is shown at from 1.5 device
    pixels a field unit up (to the largest scale the game has pictures for)."""
    size = (round(browser.width * browser.ratio), round(browser.height * browser.ratio))
    def canvas_box():
        return browser.js("const c = document.getElementById('canvas');"
                          "return [c.width, c.height, c.clientWidth, c.clientHeight]")

    def bitmap_fits(box):
        return all(abs(a - b * browser.ratio) <= 1 for a, b in zip(box[:2], box[2:]))
    # A change of shape reaches the game with its next frame.
    try:
        box = wait_until(lambda: (lambda b: b if bitmap_fits(b) else None)(canvas_box()), 10, 0.05, "")
    except Failure:
        box = canvas_box()
        raise Failure(f"{what}: a {box[0]} x {box[1]} bitmap in a box of {box[2]} x {box[3]} CSS pixels "
                      f"at {browser.ratio}")
    check(box[2:] == [browser.width, browser.height], f"{what}: the canvas's box is {box[2:]}")
    shot = browser.wait_for_screen(title_letterboxed(size), START_DEADLINE, f"{what}: the title letterboxed at 4:3")
    scale = min(size[0] / FIELD_W, size[1] / FIELD_H)
    top = int((size[1] - FIELD_H * scale) / 2)
    check(top < 8 or (shot.is_filled(0, 0, size[0], top - 2, LETTERBOX, step=29)
                      and shot.is_filled(0, size[1] - top + 2, size[0], size[1], LETTERBOX, step=29)),
          f"{what}: the bands above and below the field are not the letterbox colour")
    drawn = browser.js("return Module.orbiluxDrawScale || 0")
    if scale >= 1.5:
        check(abs(drawn - min(scale, 3)) < 1e-6, f"{what}: the field is shown at {scale:.3f} but drawn at {drawn}")
    print(f"{browser.engine}: {what}: {box[0]} x {box[1]} bitmap, field drawn at {drawn:.3f} for {scale:.3f}")


def first_load_shapes(site, engine):
    """A 16:9 laptop and a portrait screen, each opened straight into its shape."""
    portrait = (390, 844, 3) if engine is not WebKitBrowser else (600, 1000, 1)
    for width, height, ratio in ((1280, 720, 1), portrait):
        with engine() as browser:
            browser.set_viewport(width, height, ratio)
            browser.open(site.url)
            field_fits(browser, f"{width} x {height} at {ratio}")


def chromium_shapes(site):
    """The shapes people open the page in: phones upright and turned, a tablet, laptops; and a
    phone turned after loading."""
    for width, height, ratio in ((390, 844, 3), (844, 390, 3), (820, 1180, 2), (1366, 768, 1), (1280, 720, 2),
                                 (1536, 864, 1.25), (1920, 1080, 1)):
        with Browser() as browser:
            browser.set_viewport(width, height, scale=ratio, mobile=ratio >= 2, touch=ratio >= 2)
            browser.open(site.url)
            field_fits(browser, f"{width} x {height} at {ratio}")
            if (width, height) == (390, 844):
                browser.set_viewport(844, 390, scale=3, mobile=True, touch=True)
                field_fits(browser, "the phone turned after loading")


def hidden_page_pauses(site, engine):
    with engine() as browser:
        browser.open(site.url + "?seed=7")
        browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title")
        browser.key("space")
        browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY after Space")
        browser.wait_for_screen(lambda s: not get_ready_on_screen(s), START_DEADLINE, "the end of the countdown")
        browser.hide_for(3)
        check(browser.js("return document.visibilityState") == "visible", "the page did not come back into view")
        browser.wait_for_screen(get_ready_on_screen, 30, "a fresh GET READY once the page is seen again")
        sound = browser.js("return window.orbiluxSoundWhenHidden || null")
        check(sound != "running", "the sound kept playing while the page was hidden")
        print(f"{browser.engine}: a hidden page paused the field; back in view, GET READY (sound while hidden: {sound})")


BLOCKED_STORAGE = """
Object.defineProperty(window, "indexedDB", {configurable: true,
  get() { throw new DOMException("The user denied permission to access the database.", "SecurityError"); }});
"""


def storage_blocked(site, engine):
    """Private windows and blocked storage make IndexedDB throw: the game plays all the same."""
    with engine() as browser:
        browser.preload(BLOCKED_STORAGE)
        browser.open(site.url + "?seed=7")
        browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title with the storage blocked")
        browser.key("space")
        browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY with the storage blocked")
        print(f"{browser.engine}: with IndexedDB blocked the game started and played")


def site_version(folder):
    with open(os.path.join(folder, "sw.js")) as f:
        return next(line.split('"')[1] for line in f if line.startswith("const VERSION"))


KEPT = ("return navigator.serviceWorker.ready.then(() => caches.keys()).then(names => Promise.all(names.map("
        "n => caches.open(n).then(c => c.keys()).then(files => [n, files.length]))))")
LOADED = ("return performance.getEntriesByType('resource').map(e => e.name.split('/').pop())"
          ".filter(n => n.startsWith('orbilux-rush.'))")


# What the service worker keeps of a build: the page, its script, module, data, words and
# course scripts, the manifest and the four icons.
KEPT_FILES = 11


def offline_and_new_build(site_folder):
    """After one visit a reload with the server gone starts the game; a new build replaces the
    old one whole at the next visit, and is the one kept from then on."""
    copy = tempfile.mkdtemp(prefix="orbilux-web-site-")
    try:
        shutil.copytree(site_folder, copy, symlinks=True, dirs_exist_ok=True)
        old, new = site_version(copy), "0123456789abcdef"
        with Browser() as browser:
            with Site(copy) as served:
                port = served.port
                browser.open(served.url)
                wait_until(lambda: browser.js(KEPT) == [["orbilux-rush-" + old, KEPT_FILES]], 60, 0.2, "the site kept")
            browser.reload()  # no server now
            browser.wait_started()
            browser.key("space")
            browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY offline")
            for name in ("index.html", "sw.js"):  # a new build: every file asked for by another version
                path = os.path.join(copy, name)
                with open(path) as f:
                    text = f.read()
                with open(path, "w") as f:
                    f.write(text.replace(old, new))
            with Site(copy, port):
                browser.reload()
                browser.wait_started()
                loaded = browser.js(LOADED)
                check(loaded and all(n.endswith("?v=" + new) for n in loaded), f"the new build's page loaded {loaded}")
                wait_until(lambda: browser.js(KEPT) == [["orbilux-rush-" + new, KEPT_FILES]], 60, 0.2, "the new build kept alone")
            browser.reload()
            browser.wait_started()
            check(browser.js(LOADED) == loaded, "offline, the page did not start the new build")
        print("after one visit the game started offline; a new build replaced the old one whole at the next visit")
    finally:
        shutil.rmtree(copy, ignore_errors=True)


def manifest_as_read(site):
    """The manifest as Chromium reads it, and the icons it names, of the sizes it says."""
    with Browser() as browser:
        browser.open(site.url)
        manifest = wait_until(lambda: browser.cdp("Page.getAppManifest"), 30, 0.2, "the manifest")
        check(not manifest.get("errors"), f"the manifest has errors: {manifest.get('errors')}")
        installable = browser.cdp("Page.getInstallabilityErrors").get("installabilityErrors")
    data = json.loads(manifest["data"])
    check(data["display"] == "standalone" and data["name"] == "Orbilux Rush", f"the manifest says {data}")
    colour = "#%02x%02x%02x" % LETTERBOX
    check(data["background_color"] == colour == data["theme_color"], "the manifest's colours are not the letterbox's")
    sizes = set()
    for icon in data["icons"]:
        if icon["type"] != "image/png":
            continue
        with open(os.path.join(site.folder, icon["src"]), "rb") as f:
            width, height = struct.unpack(">II", f.read(24)[16:24])
        check(icon["sizes"] == f"{width}x{height}", f"{icon['src']} is {width} x {height}, not {icon['sizes']}")
        sizes.add((width, icon["purpose"]))
    check({(192, "any"), (512, "any"), (512, "maskable")} <= sizes, f"the icons are {sizes}")
    print(f"the manifest reads without errors; installability errors: {installable or 'none'}")


COURSE_PAGE = """<!doctype html><html><body style="margin:0; height: 4000px">
<div style="height: 150px">A course page.</div>
<iframe src="%s" width="800" height="600" allow="fullscreen; autoplay" style="border:0; display:block;
 margin-left: 50px"></iframe></body></html>"""


def embedded(site):
    """In a course page's frame: a click gives the game the keyboard, and Space and the arrows
    never scroll the page around it."""
    folder = tempfile.mkdtemp(prefix="orbilux-web-course-")
    try:
        with Site(folder) as course, Browser(1000, 900) as browser:
            with open(os.path.join(folder, "index.html"), "w") as f:
                f.write(COURSE_PAGE % (site.url + "?seed=7"))
            browser.driver.get(course.url)
            frame = browser.driver.find_element("tag name", "iframe")
            browser.driver.switch_to.frame(frame)
            browser.wait_started()
            browser.driver.switch_to.default_content()
            field = lambda shot: shot.with_field_at(50, 150)  # noqa: E731
            browser.wait_for_screen(lambda s: title_on_screen(field(s)), START_DEADLINE, "the title in the frame")
            browser.js("document.activeElement.blur(); window.focus()")
            browser.click(450, 450)
            for name in ("space", "Down", "Up", "Left", "Right"):
                browser.key(name)
            browser.wait_for_screen(lambda s: get_ready_on_screen(field(s)), START_DEADLINE, "GET READY in the frame")
            scrolled = browser.js("return [scrollX, scrollY]")
            check(scrolled == [0, 0], f"the keys scrolled the course page to {scrolled}")
        print("in a course page's frame a click gave the game the keys; the page around it never scrolled")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def browser_processes():
    """Every browser or driver process a test browser started that is still running."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read()
            with open(f"/proc/{pid}/stat") as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if state != "Z" and (b"orbilux-web-profile" in cmd or int(pid) in STARTED_DRIVERS):
            found.append(int(pid))
    return found


def again_if_engine_crashed(step, *args):
    """A step whose browser's own page process crashed runs once more in a new browser; a
    second crash, or any other failure, fails the test."""
    try:
        step(*args)
    except EngineCrashed as crash:
        print(f"{crash}; {step.__name__} runs once more in a new browser")
        step(*args)


def shipped_licences(site_folder):
    """Every licence readable in the site and in its portal zip beside it, and the relink
    package there with the game's source and the LGPL libraries' sources."""
    build = os.path.dirname(os.path.abspath(site_folder))
    faults = package_faults(site_folder) + package_faults(os.path.join(build, "orbilux-rush-web.zip"))
    check(not faults, f"licences: {faults}")
    with zipfile.ZipFile(os.path.join(build, "orbilux-rush-web-relink.zip")) as relink:
        names = [os.path.basename(name) for name in relink.namelist()]
    for source in ("orbilux-rush-", "glib2.0_", "pango1.0_", "fribidi_"):
        check(any(n.startswith(source) and ".tar." in n for n in names), f"the relink package lacks {source}*: {names}")
    check("README.txt" in names, "the relink package does not say how to relink")


def scenario(site_folder, linux_executable, engine_name="chromium"):
    engine = ENGINES[engine_name]
    if engine is Browser:
        shipped_licences(site_folder)
    with Site(site_folder) as site:
        again_if_engine_crashed(title_against_linux, site, linux_executable, engine)
        again_if_engine_crashed(first_load_shapes, site, engine)
        again_if_engine_crashed(hidden_page_pauses, site, engine)
        if engine is not WebKitBrowser:  # WebKitWebDriver runs no script before the page's own
            storage_blocked(site, engine)
        again_if_engine_crashed(keys_catch_and_links, site, engine)
        if engine is Browser:
            chromium_shapes(site)
            options_after_reload(site)
            touch(site)
            manifest_as_read(site)
            embedded(site)
    if engine is Browser:
        offline_and_new_build(site_folder)
    try:
        wait_until(lambda: not browser_processes(), 30, 0.2, "every browser process to end")
    except Failure:
        raise Failure(f"browser processes left running: {browser_processes()}")


if __name__ == "__main__":
    try:
        scenario(sys.argv[1], os.path.abspath(sys.argv[2]), *sys.argv[3:4])
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
    print("passed")
