"""End-to-end tests of the real `nelvo` binary on a real X server, driven as a user drives it.

A test file calls `desktop.main()` at its end. The first run of the file makes a temporary
home with its own XDG folders and then runs the file again inside `xvfb-run` and a private
`dbus-run-session`, with that home set before the bus starts (services the bus starts
inherit it). Inside, `Nelvo` starts the binary with accessibility on, finds controls through
AT-SPI by their accessible names, and presses keys and clicks with xdotool. Everything a test
starts is ended when it finishes; the temporary home is removed.

Exit status 77 (CTest's "skipped") with a message when Xvfb, xdotool, xclip, dbus or pyatspi
is missing: a test that cannot run never passes.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import base64

SKIP = 77
INSIDE = "NELVO_E2E_INSIDE"
TOOLS = ["xvfb-run", "Xvfb", "xdotool", "xclip", "xprop", "dbus-run-session"]


def binary():
    """The nelvo binary under test: $NELVO_BINARY, else the ci build."""
    path = os.environ.get("NELVO_BINARY")
    if not path:
        here = os.path.dirname(os.path.abspath(__file__))
        path = os.path.join(here, "..", "..", "build", "ci", "cli", "nelvo")
    return os.path.abspath(path)


def missing_tools():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("python3-pyatspi")
    return missing


def main():
    """Runs the calling test file: outside, sets up the desktop; inside, runs the tests."""
    if os.environ.get(INSIDE):
        unittest.main(module="__main__", verbosity=2)
        return
    missing = missing_tools()
    if missing:
        print("skipped: the end-to-end tests need " + ", ".join(missing)
              + " (scripts/install-deps installs them)")
        sys.exit(SKIP)
    root = tempfile.mkdtemp(prefix="nelvo-e2e-")
    try:
        env = dict(os.environ)
        home = os.path.join(root, "home")
        runtime = os.path.join(root, "runtime")
        for folder in (home, runtime, os.path.join(root, "tmp")):
            os.makedirs(folder, mode=0o700)
        env.update({
            INSIDE: "1",
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
            "XDG_RUNTIME_DIR": runtime,
            "TMPDIR": os.path.join(root, "tmp"),
            "NELVO_BINARY": binary(),
            "LANG": "C.UTF-8",
        })
        for name in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "DISPLAY", "AT_SPI_BUS_ADDRESS",
                     "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME", "XAUTHORITY"):
            env.pop(name, None)
        # -noreset: the server otherwise resets when its last client leaves, between two
        # tests, and a window starting during the reset cannot connect.
        command = ["xvfb-run", "--auto-servernum",
                   "--server-args=-screen 0 1400x1000x24 -nolisten tcp -noreset",
                   "dbus-run-session", "--", sys.executable, os.path.abspath(sys.argv[0])] + sys.argv[1:]
        # Its own process group, so that whatever it leaves behind can be ended as one.
        process = subprocess.Popen(command, env=env, start_new_session=True)
        try:
            status = process.wait(timeout=float(os.environ.get("NELVO_E2E_TIMEOUT", "240")))
        except subprocess.TimeoutExpired:
            print("the end-to-end run took too long; ending it")
            status = 1
        finally:
            _end_group(process.pid)
        sys.exit(status)
    finally:
        shutil.rmtree(root, ignore_errors=True)


def _end_group(pgid):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(pgid, sig)
        except ProcessLookupError:
            return
        time.sleep(0.3)


def wait_for(predicate, timeout=10.0, interval=0.1, what="the condition"):
    """Polls until `predicate()` is truthy and returns its value; fails the test on timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


def xdotool(*arguments):
    return subprocess.run(["xdotool", *arguments], check=True, capture_output=True,
                          text=True, timeout=20).stdout.strip()


def clipboard(mime="UTF8_STRING"):
    """The clipboard's content in one type (e.g. "text/html"); None when it has none."""
    result = subprocess.run(["xclip", "-selection", "clipboard", "-t", mime, "-o"],
                            capture_output=True, timeout=10)
    return result.stdout if result.returncode == 0 else None


class Nelvo:
    """One run of the binary on this desktop. Use as a context manager; it is ended on exit."""

    def __init__(self, *arguments, env=None):
        self.arguments = list(arguments)
        self.env = dict(os.environ)
        self.env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
        })
        self.env.update(env or {})
        self.process = None
        self.window = None

    # --- Starting and ending

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.end()

    def start(self):
        self.process = subprocess.Popen([os.environ["NELVO_BINARY"], *self.arguments], env=self.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.window = wait_for(self._find_window, timeout=20, what="the window")
        self.focus()
        return self

    def _find_window(self):
        if self.process.poll() is not None:
            raise AssertionError("nelvo ended early: " + self.process.stderr.read())
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                str(self.process.pid), "--name", "^Nelvo$"],
                               capture_output=True, text=True)
        ids = found.stdout.split()
        return ids[0] if ids else None

    def focus(self):
        # There is no window manager: give the window the keyboard ourselves.
        xdotool("windowfocus", "--sync", self.window)

    def wait(self, timeout=10.0):
        """Waits for the process to end on its own; its exit status."""
        return self.process.wait(timeout=timeout)

    def end(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.process:
            for stream in (self.process.stdout, self.process.stderr):
                if stream:
                    stream.close()

    # --- Keyboard and mouse

    def key(self, *keys):
        """Presses keys as xdotool names them: "ctrl+q", "Return", "ctrl+bracketright"."""
        self.focus()
        xdotool("key", "--clearmodifiers", *keys)

    def click_at(self, x, y):
        x, y = str(int(x)), str(int(y))
        # "--sync" waits for the pointer to move, which it never does when it is there already
        # (the next page's button in the same place): xdotool then gives up after 15 s.
        where = dict(pair.split(":") for pair in xdotool("getmouselocation").split())
        if (where.get("x"), where.get("y")) == (x, y):
            xdotool("click", "1")
        else:
            xdotool("mousemove", "--sync", x, y, "click", "1")

    # --- Accessibility

    def application(self):
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            try:
                if app and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                continue
        return None

    def accessibles(self):
        """Every accessible object of the application, depth first."""
        app = wait_for(self.application, timeout=15, what="the application on the accessibility bus")
        found = []

        def walk(node, depth):
            if node is None or depth > 40:
                return
            found.append(node)
            for index in range(node.childCount):
                walk(node.getChildAtIndex(index), depth + 1)

        walk(app, 0)
        return found

    def find(self, name, role=None, timeout=10.0):
        """The first showing accessible of that name (and role name, e.g. "push button")."""
        import pyatspi

        def search():
            for node in self.accessibles():
                try:
                    if node.name != name or (role and node.getRoleName() != role):
                        continue
                    if node.getState().contains(pyatspi.STATE_SHOWING):
                        return node
                except Exception:
                    continue
            return None

        return wait_for(search, timeout=timeout, what='"%s"' % name)

    def shows(self, name):
        """Whether a showing accessible has that name (or, for labels, that text)."""
        try:
            self.find(name, timeout=0.5)
            return True
        except AssertionError:
            return False

    def click(self, name, role="push button"):
        """Clicks the middle of the named control with the mouse, as a user would."""
        import pyatspi
        node = self.find(name, role)
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.click_at(box.x + box.width / 2, box.y + box.height / 2)


# --- The user's stored state


def config_path(*parts):
    return os.path.join(os.environ["XDG_CONFIG_HOME"], "nelvo", *parts)


def read_defaults(demo=False):
    path = config_path("defaults.demo.json" if demo else "defaults.json")
    try:
        with open(path, encoding="utf-8") as file:
            return json.load(file)
    except FileNotFoundError:
        return {}


def write_defaults(values, demo=False):
    os.makedirs(config_path(), exist_ok=True)
    with open(config_path("defaults.demo.json" if demo else "defaults.json"), "w", encoding="utf-8") as file:
        json.dump(values, file, indent=2, sort_keys=True)


def stored_settings(demo=False):
    """The settings record as a dictionary; {} when none is stored."""
    value = read_defaults(demo).get("settings.v1")
    if not value:
        return {}
    return json.loads(base64.b64decode(value["base64"]))


def write_calendar(path):
    """An empty but valid calendar file; returns its path."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as file:
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//e2e//EN\r\nEND:VCALENDAR\r\n")
    return path
