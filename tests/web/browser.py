"""Plays the web version of the game in headless Chromium, as a player would: the site served
on 127.0.0.1, key presses and touches delivered through ChromeDriver and the DevTools
protocol, screenshots of the page read pixel by pixel with the real-window tests' own Shot.

Site and Browser are context managers; whatever happens, the server thread, ChromeDriver
and every Chromium process they started are gone when the `with` block is left."""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "packaging", "web"))

from harness import Shot, check, wait_until  # noqa: E402
from serve import make_server  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# Generous: the machine may be busy with other builds.
START_DEADLINE = 90
# Every ChromeDriver started, so that a test can check none outlived it.
STARTED_DRIVERS = set()

KEYS = {"space": Keys.SPACE, "Left": Keys.ARROW_LEFT, "Right": Keys.ARROW_RIGHT, "Escape": Keys.ESCAPE,
        "Return": Keys.ENTER}


class Site:
    """The built site, served on a free port of 127.0.0.1 from a thread of this process."""

    def __init__(self, folder):
        self.folder = folder

    def __enter__(self):
        self.server = make_server(self.folder, 0)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join()


class Browser:
    """Headless Chromium through ChromeDriver, with a profile of its own (its IndexedDB is
    the game's storage) that is thrown away at the end."""

    def __init__(self, width=800, height=600):
        self.width, self.height = width, height

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="orbilux-web-profile-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--autoplay-policy=user-gesture-required", "--hide-scrollbars",
                     f"--user-data-dir={self.profile}", f"--window-size={self.width},{self.height}"):
            options.add_argument(flag)
        self.service = Service("/usr/bin/chromedriver")
        self.driver = webdriver.Chrome(service=self.service, options=options)
        STARTED_DRIVERS.add(self.service.process.pid)
        self.set_viewport(self.width, self.height)
        return self

    def __exit__(self, *exc):
        try:
            self.driver.quit()
        finally:
            self.service.stop()
            shutil.rmtree(self.profile, ignore_errors=True)

    def cdp(self, command, **params):
        return self.driver.execute_cdp_cmd(command, params)

    def set_viewport(self, width, height, scale=1, mobile=False, touch=False):
        self.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=scale,
                 mobile=mobile)
        self.cdp("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=5 if touch else 1)
        self.width, self.height = width, height

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def open(self, url):
        """Loads the page and waits for the game's first frame; returns the milliseconds from
        navigation to that frame, as the page measured them."""
        self.driver.get(url)
        return self.wait_started()

    def wait_started(self):
        def started():
            failed = self.js("const s = document.getElementById('status');"
                             "return s && s.classList.contains('failed') ? s.textContent : null")
            check(not failed, f"the page reported a failure: {failed}")
            return self.js("return window.orbiluxFirstFrameAt || null")
        return wait_until(started, START_DEADLINE, 0.1, "the game's first frame")

    # Keys, by the names the real-window tests give them.
    def key_down(self, name):
        ActionChains(self.driver).key_down(KEYS.get(name, name)).perform()

    def key_up(self, name):
        ActionChains(self.driver).key_up(KEYS.get(name, name)).perform()

    def key(self, name):
        self.key_down(name)
        self.key_up(name)

    # Touches, in CSS pixels of the page.
    def touch_down(self, x, y):
        self.cdp("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y, "id": 1}])

    def touch_up(self):
        self.cdp("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def tap(self, x, y):
        self.touch_down(x, y)
        self.touch_up()

    def png(self):
        return self.driver.get_screenshot_as_png()

    def shot(self, label="shot"):
        """The page as shown, readable pixel by pixel (field coordinates when the viewport is
        800 x 600, the field's own size)."""
        ppm = subprocess.run(["convert", "png:-", "-depth", "8", "ppm:-"], input=self.png(),
                             stdout=subprocess.PIPE, check=True).stdout
        return Shot(ppm, label)

    def wait_for_screen(self, predicate, timeout, what):
        return wait_until(lambda: (lambda s: s if predicate(s) else None)(self.shot()), timeout, 0.05, what)
