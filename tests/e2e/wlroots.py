"""The game under the wlroots compositors people run, headless: sway (a tiling desktop) and
cage (a kiosk). Both refuse to run as root, so when the tests run as root (CI does) the
compositor, the game and the tools run as the user scripts/add-test-user.sh makes; otherwise
as whoever runs the tests. Screenshots come from grim, keys from wtype. Every process started
here ends with the `with` block, and by itself at the latest when its time limit is up (the
kernel's end-with-the-parent does not survive the change of user)."""

import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

from harness import SHOW_DEADLINE, Failure, Shot, check, spawn, wait_until

TEST_USER = "orbilux-test"  # scripts/add-test-user.sh
LIFETIME = 600  # seconds: no process of a test outlives this, whatever becomes of the test


def crop(shot, left, top, width, height):
    """A rectangle of the screenshot as a picture of its own."""
    rows = b"".join(shot.data[((top + y) * shot.width + left) * 3:((top + y) * shot.width + left + width) * 3]
                    for y in range(height))
    return Shot(b"P6\n%d %d\n255\n" % (width, height) + rows)


class Desktop:
    """One compositor's surroundings: a work folder the test user owns, its runtime folder,
    and the processes started in it."""

    def __init__(self, executable, name):
        self.work = tempfile.mkdtemp(prefix=f"orbilux-e2e-{name}-")
        os.chmod(self.work, 0o755)
        self.runtime = os.path.join(self.work, "runtime")
        os.mkdir(self.runtime, 0o700)
        # The build folder may be closed to the test user (a root's home): the game is copied.
        self.executable = os.path.join(self.work, "orbilux-rush")
        shutil.copy(executable, self.executable)
        self.setpriv = []
        if os.getuid() == 0:
            try:
                user = pwd.getpwnam(TEST_USER)
            except KeyError:
                raise Failure(f"no user {TEST_USER} to run the compositor as (sway and cage refuse root): "
                              "run scripts/add-test-user.sh as root first")
            self.setpriv = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--init-groups", "--"]
            for folder, _, files in os.walk(self.work):
                for entry in [folder] + [os.path.join(folder, f) for f in files]:
                    os.chown(entry, user.pw_uid, user.pw_gid)
        self.processes = []
        self.display = None
        self.shots = 0

    def __enter__(self):
        return self

    def __exit__(self, kind, value, traceback):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if kind is None and not os.environ.get("ORBILUX_E2E_KEEP"):
            shutil.rmtree(self.work, ignore_errors=True)
        else:
            print(f"kept {self.work} for a look", file=sys.stderr)
        return False

    def env(self, **changes):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.work,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_CACHE_HOME": os.path.join(self.work, "cache"),
            "WLR_BACKENDS": "headless",
            "WLR_LIBINPUT_NO_DEVICES": "1",
            "WLR_RENDERER": "pixman",
        }
        if self.display:
            env["WAYLAND_DISPLAY"] = self.display
        env.update(changes)
        return env

    def game_env(self):
        return self.env(SDL_VIDEODRIVER="wayland", SDL_AUDIODRIVER="dummy",
                        ORBILUX_RUSH_DATA_DIR=os.path.join(self.work, "data"))

    def start(self, command, name, env=None, stdin=subprocess.DEVNULL):
        check(shutil.which(command[0]) is not None,
              f"{command[0]} is missing (scripts/install-deps.sh test installs it)")
        log = open(os.path.join(self.work, f"{name}.log"), "w")
        process = spawn(self.setpriv + ["timeout", "--kill-after=5", str(LIFETIME), *command],
                        env=env or self.env(), stdin=stdin, stdout=log, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def run(self, command, **kwargs):
        return subprocess.run(self.setpriv + command, env=self.env(), capture_output=True, timeout=SHOW_DEADLINE,
                              **kwargs)

    def log(self, name):
        with open(os.path.join(self.work, f"{name}.log"), errors="replace") as f:
            return f.read()

    def wait_for_display(self, compositor):
        """The compositor's socket, once it is there; its name is taken for every later client."""
        def socket():
            check(compositor.poll() is None, f"the compositor ended: {self.log('compositor')[-2000:]!r}")
            names = [n for n in os.listdir(self.runtime) if n.startswith("wayland-") and not n.endswith(".lock")]
            return names[0] if names else None
        self.display = wait_until(socket, SHOW_DEADLINE, what="the compositor's socket")

    def shot(self):
        result = self.run(["grim", "-t", "ppm", "-"])
        check(result.returncode == 0 and result.stdout.startswith(b"P6"),
              f"grim failed: {result.stderr.decode(errors='replace').strip()}")
        self.shots += 1
        if os.environ.get("ORBILUX_E2E_KEEP"):
            subprocess.run(["convert", "ppm:-", os.path.join(self.work, f"{self.shots:02d}.png")], input=result.stdout)
        return Shot(result.stdout)

    def wait_for_screen(self, predicate, what, alive=None, timeout=SHOW_DEADLINE):
        """The first screenshot the predicate accepts, the process `alive` running meanwhile."""
        holder = {}

        def seen():
            if alive is not None:
                check(alive.poll() is None, f"the game ended ({alive.poll()}) while waiting for {what}")
            holder["shot"] = self.shot()
            return predicate(holder["shot"])

        try:
            wait_until(seen, timeout, interval=0.3, what=what)
        except Failure:
            if "shot" in holder:
                with open(os.path.join(self.work, "last-seen.ppm"), "wb") as f:
                    f.write(holder["shot"].ppm)
            raise
        return holder["shot"]


class Keyboard:
    """The keyboards of a seat without any of its own: one that stays for the compositor's
    whole life (wtype reading what to type, which it types only once told all of it), and
    for each key one that presses it and goes. Each new one takes the focus from the window
    and gives it back; on the title and for Esc that changes nothing."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.staying = desktop.start(["wtype", "-"], "wtype", stdin=subprocess.PIPE)

    def key(self, name):
        check(self.staying.poll() is None, "the staying virtual keyboard ended")
        result = self.desktop.run(["wtype", "-k", name])
        check(result.returncode == 0, f"wtype -k {name} failed: {result.stderr.decode(errors='replace').strip()}")
