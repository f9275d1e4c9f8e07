"""Plays the web version of the game as a player would, in three engines: headless Chromium
(ChromeDriver and the DevTools protocol), Firefox (WebDriver BiDi through firefox.mjs) and
WebKit (WebKitWebDriver's MiniBrowser on an Xvfb of its own); the site served on 127.0.0.1,
screenshots of the page read pixel by pixel with the real-window tests' own Shot.

Site and the browsers are context managers; whatever happens, the server thread, the drivers
and every browser process they started are gone when the `with` block is left."""

import base64
import json
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

from harness import Failure, Shot, check, end_process, spawn, start_x_server, wait_until  # noqa: E402
from serve import make_server  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.actions.action_builder import ActionBuilder  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# Generous: the machine may be busy with other builds.
START_DEADLINE = 90
# Every ChromeDriver started, so that a test can check none outlived it.
STARTED_DRIVERS = set()

KEYS = {"space": Keys.SPACE, "Left": Keys.ARROW_LEFT, "Right": Keys.ARROW_RIGHT, "Up": Keys.ARROW_UP,
        "Down": Keys.ARROW_DOWN, "Escape": Keys.ESCAPE, "Return": Keys.ENTER}


class EngineCrashed(Failure):
    """The browser's own page process died under a test (an engine fault, not the game's)."""


class Site:
    """The built site, served on a free port of 127.0.0.1 from a thread of this process."""

    def __init__(self, folder, port=0):
        self.folder, self.port = folder, port

    def __enter__(self):
        self.server = make_server(self.folder, self.port)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        self.port = self.server.server_address[1]
        self.url = f"http://127.0.0.1:{self.port}/"
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join()


class PageBrowser:
    """What the tests ask of every engine; each engine's class says how."""

    engine = "?"
    width, height, ratio = 800, 600, 1

    def open(self, url):
        """Loads the page and waits for the game's first frame; returns the milliseconds from
        navigation to that frame, as the page measured them."""
        self.goto(url)
        return self.wait_started()

    def wait_started(self):
        def started():
            failed = self.js("const s = document.getElementById('status');"
                             "return s && s.classList.contains('failed') ? s.textContent : null")
            check(not failed, f"the page reported a failure: {failed}")
            return self.js("return window.orbiluxFirstFrameAt || null")
        return wait_until(started, START_DEADLINE, 0.1, "the game's first frame")

    def key(self, name):
        self.key_down(name)
        self.key_up(name)

    def shot(self, label="shot"):
        """The page as shown, in device pixels, readable pixel by pixel (field coordinates
        when the viewport is 800 x 600 at one device pixel each, the field's own size)."""
        ppm = subprocess.run(["convert", "png:-", "-depth", "8", "ppm:-"], input=self.png(),
                             stdout=subprocess.PIPE, check=True).stdout
        return Shot(ppm, label)

    def wait_for_screen(self, predicate, timeout, what):
        return wait_until(lambda: (lambda s: s if predicate(s) else None)(self.shot()), timeout, 0.05, what)


class _SeleniumBrowser(PageBrowser):
    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def goto(self, url):
        self.driver.get(url)

    def reload(self):
        self.driver.refresh()

    # Keys, by the names the real-window tests give them.
    def key_down(self, name):
        ActionChains(self.driver).key_down(KEYS.get(name, name)).perform()

    def key_up(self, name):
        ActionChains(self.driver).key_up(KEYS.get(name, name)).perform()

    def click(self, x, y):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(x, y).click()
        actions.perform()

    def png(self):
        return self.driver.get_screenshot_as_png()

    def hide_for(self, seconds):
        """Another tab in front for a while, then this page's own again."""
        mine = self.driver.current_window_handle
        self.driver.switch_to.new_window("tab")
        time.sleep(seconds)
        self.driver.close()
        self.driver.switch_to.window(mine)


class Browser(_SeleniumBrowser):
    """Headless Chromium through ChromeDriver, with a profile of its own (its IndexedDB is
    the game's storage) that is thrown away at the end."""

    engine = "Chromium"

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
        self.width, self.height, self.ratio = width, height, scale

    def preload(self, script):
        """A script run in every document before the page's own."""
        self.cdp("Page.addScriptToEvaluateOnNewDocument", source=script)

    # Touches, in CSS pixels of the page.
    def touch_down(self, x, y):
        self.cdp("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y, "id": 1}])

    def touch_up(self):
        self.cdp("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def tap(self, x, y):
        self.touch_down(x, y)
        self.touch_up()



class FirefoxBrowser(PageBrowser):
    """Debian's Firefox ESR, headless, driven over WebDriver BiDi by firefox.mjs (puppeteer-core
    from tests/web/node_modules, `npm ci` there), with a profile of its own."""

    engine = "Firefox"

    def __init__(self, width=800, height=600):
        self.width, self.height = width, height

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="orbilux-web-profile-")
        self.node = spawn(["node", os.path.join(HERE, "firefox.mjs"), self.profile],
                          stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=HERE)
        STARTED_DRIVERS.add(self.node.pid)
        self.set_viewport(self.width, self.height)
        return self

    def __exit__(self, *exc):
        try:
            self.node.stdin.close()
            self.node.wait(timeout=30)
        except (OSError, subprocess.TimeoutExpired):
            pass
        finally:
            end_process(self.node)
            shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, op, **params):
        self.node.stdin.write((json.dumps({"op": op, **params}) + "\n").encode())
        self.node.stdin.flush()
        line = self.node.stdout.readline()
        check(line, f"firefox.mjs ended (exit code {self.node.poll()})")
        answer = json.loads(line)
        check("error" not in answer, f"Firefox: {op}: {answer.get('error')}")
        return answer.get("value")

    def set_viewport(self, width, height, scale=1):
        self.call("viewport", width=width, height=height, scale=scale)
        self.width, self.height, self.ratio = width, height, scale

    def js(self, script, *args):
        return self.call("js", script=script, args=list(args))

    def goto(self, url):
        self.call("goto", url=url)

    def reload(self):
        self.call("reload")

    def preload(self, script):
        self.call("preload", script=script)

    def key_down(self, name):
        self.call("keyDown", name=name)

    def key_up(self, name):
        self.call("keyUp", name=name)

    def click(self, x, y):
        self.call("click", x=x, y=y)

    def png(self):
        return base64.b64decode(self.call("png"))

    def hide_for(self, seconds):
        self.call("hideFor", seconds=seconds)


class WebKitBrowser(_SeleniumBrowser):
    """WebKitGTK's MiniBrowser through WebKitWebDriver, on an X server of its own (it has no
    headless way). Its viewport is its window less the window's own frame, found on a blank page."""

    engine = "WebKit"
    MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

    def __init__(self, width=800, height=600):
        self.width, self.height = width, height

    def __enter__(self):
        self.xvfb, display = start_x_server("2600x1600x24")
        os.environ["DISPLAY"] = display
        # The driver's output and the MiniBrowser's, which says when its page process crashed.
        self.log = tempfile.NamedTemporaryFile(prefix="orbilux-webkit-", suffix=".log")
        try:
            options = webdriver.WebKitGTKOptions()
            options.binary_location = self.MINIBROWSER
            options.add_argument("--automation")
            # An automation session keeps its storage in memory, its own until it ends.
            self.driver = webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver", options=options,
                                              service_log_path=self.log.name)
            self.service = self.driver.service
        except BaseException:
            end_process(self.xvfb)
            self.log.close()
            raise
        STARTED_DRIVERS.add(self.service.process.pid)
        self.set_viewport(self.width, self.height)
        return self

    def __exit__(self, kind, failure, trace):
        try:
            self.driver.quit()
        finally:
            self.service.stop()
            end_process(self.xvfb)
            with open(self.log.name, errors="replace") as f:
                log = f.read()
            self.log.close()
        # WebKitGTK 2.50's JavaScriptCore now and then dies at one address of its own while the
        # page loads; the MiniBrowser says so. Told apart from the game's own faults, it is
        # reported as such; anything else the driver said goes with a failure.
        if kind is not None and "WebProcess CRASHED" in log:
            raise EngineCrashed(f"{self.engine}: the browser's page process crashed: {str(failure).strip()}") from failure
        if kind is not None:
            print("".join(line for line in log.splitlines(True) if "dbus-launch" not in line), file=sys.stderr)

    def set_viewport(self, width, height, scale=1):
        check(scale == 1, "WebKit here shows one device pixel per CSS pixel")
        self.driver.get("about:blank")
        for _ in range(3):
            inner = self.js("return [innerWidth, innerHeight]")
            outer = self.driver.get_window_size()
            if inner == [width, height]:
                break
            self.driver.set_window_size(outer["width"] + width - inner[0], outer["height"] + height - inner[1])
        self.width, self.height, self.ratio = width, height, 1

    def hide_for(self, seconds):
        """The window minimised for a while (a tab in front does not hide a WebKit page)."""
        place = self.driver.get_window_rect()
        self.driver.minimize_window()
        time.sleep(seconds)
        self.driver.set_window_rect(**place)
