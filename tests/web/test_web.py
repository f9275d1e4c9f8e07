"""The web version in headless Chromium against the real site on 127.0.0.1: the title as the
Linux window shows it, Space to GET READY, a catch that raises the best and survives a
reload, O opening the course in a new tab, a held touch steering. (A tap on a quiz answer is
checked by the touch controls' unit tests: reaching the question here would take a robot
player minutes of catching.)
Usage: test_web.py SITE_FOLDER LINUX_EXECUTABLE"""

import os
import sys
import time

from browser import STARTED_DRIVERS, START_DEADLINE, Browser, Site
from harness import (FIELD_H, FIELD_W, Failure, Game, check, game_over_on_screen, get_ready_on_screen,
                     steer_for_a_catch, title_on_screen, wait_until)

COURSE_ADDRESS = "https://ocw.mit.edu/courses/6-661-receivers-antennas-and-signals-spring-2003/"
BODY = (0xE8, 0x64, 0x2A)  # the truck's body, 0x2A64E8: between the rear post and the cab, 54 px

# The title may differ from the Linux frame by a few text-edge pixels (the two builds' font
# rasterisers round a handful of coverage values differently), never by more than this.
TITLE_MAX_PIXELS, TITLE_MAX_LEVELS = 10, 2


def truck_x(shot):
    """The truck's centre: its body shows from 51 px left of it up to the cab."""
    found = shot.find_run(BODY, 50)
    return None if found is None else found[0] + 51


def title_against_linux(site, linux_executable):
    with Game(linux_executable, name="web-title-reference") as game:
        game.launch()
        game.place()
        linux = game.wait_for_screen(title_on_screen, 60, "the Linux title")
    with Browser() as browser:
        browser.open(site.url)
        web = browser.wait_for_screen(title_on_screen, START_DEADLINE, "the title in the page")
    check((web.width, web.height) == (FIELD_W, FIELD_H), f"the page's screenshot is {web.width} x {web.height}")
    differing, worst = 0, 0
    for i in range(0, FIELD_W * FIELD_H * 3, 3):
        a, b = linux.data[i:i + 3], web.data[i:i + 3]
        if a != b:
            differing += 1
            worst = max(worst, *(abs(x - y) for x, y in zip(a, b)))
    print(f"title: {differing} pixels differ from the Linux frame, by at most {worst} levels")
    check(differing <= TITLE_MAX_PIXELS and worst <= TITLE_MAX_LEVELS,
          f"the page's title differs from the Linux frame in {differing} pixels, by up to {worst} levels")


def folder_file(browser):
    return browser.js("const path = Module.orbiluxStoredFolder + '/best-score';"
                      "return FS.analyzePath(path).exists ? FS.readFile(path, {encoding: 'utf8'}) : null")


def keys_catch_and_links(site):
    """Space, a seeded catch that raises the best, the reload that shows it, and O."""
    with Browser() as browser:
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
        browser.driver.refresh()
        browser.wait_started()
        check(folder_file(browser) == saved, "the best did not come back from IndexedDB after a reload")
        browser.key("space")
        get_ready = browser.wait_for_screen(get_ready_on_screen, START_DEADLINE, "GET READY after the reload")
        check(get_ready.region(570, 96, 700, 118) != no_best_line, "the HUD's BEST line still shows no best")

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


def browser_processes():
    """Every Chromium or ChromeDriver process a test browser started that is still running."""
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


def scenario(site_folder, linux_executable):
    with Site(site_folder) as site:
        title_against_linux(site, linux_executable)
        keys_catch_and_links(site)
        touch(site)
    try:
        wait_until(lambda: not browser_processes(), 30, 0.2, "every browser process to end")
    except Failure:
        raise Failure(f"browser processes left running: {browser_processes()}")


if __name__ == "__main__":
    try:
        scenario(sys.argv[1], os.path.abspath(sys.argv[2]))
    except Failure as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
    print("passed")
