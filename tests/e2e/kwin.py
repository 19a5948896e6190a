"""A private KWin Wayland session without a screen, for the end-to-end tests.

KWinSession runs KWin on a virtual output with XWayland beside it, in a private session bus with
the accessibility bus, and with a runtime folder and a home of its own. Both WAYLAND_DISPLAY and
DISPLAY are set for the programs that it starts, as on a Plasma desktop; no QT_QPA_PLATFORM is
set. KWin's scripting, loaded over D-Bus, minimises windows and lists them as KWin sees them, with
their frames and client areas: with Breeze's decorations, which every Plasma desktop has, a
window's frame adds a title bar to its client area.
"""

import json
import os
import re
import shutil
import subprocess
import unittest

from session import Session, wait_until
from status_notifier import StatusNotifierTray
from zumzik import START_TIMEOUT, TIMEOUT, Zumzik

WIDTH, HEIGHT = 1024, 768
SOCKET = "wayland-zumzik"
# Lines that the scripts print start with this, so that KWin's own messages are told apart.
TAG = "zumzik-e2e"


class KWinWindow:
    """One window as KWin's window list describes it."""

    def __init__(self, fields, session):
        self.pid = fields["pid"]
        self.caption = fields["caption"]
        self.minimized = fields["minimized"]
        self.active = fields["active"]
        self.frame_geometry = tuple(fields["frameGeometry"])
        # KWin's scripting does not tell an X11 window's client area; XWayland does.
        self.client_geometry = None
        if fields["windowId"]:
            text = session.output(["xwininfo", "-id", str(fields["windowId"])], check=False)
            numbers = [re.search(label + r":\s+(-?\d+)", text)
                       for label in ("Absolute upper-left X", "Absolute upper-left Y",
                                     "Width", "Height")]
            if all(numbers):
                self.client_geometry = tuple(int(n.group(1)) for n in numbers)

    def __repr__(self):
        return (f"KWinWindow(pid={self.pid}, caption={self.caption!r}, "
                f"minimized={self.minimized}, active={self.active}, "
                f"frame_geometry={self.frame_geometry}, "
                f"client_geometry={self.client_geometry})")


class KWinSession(Session):
    """kwin_wayland --virtual --xwayland, ready when constructed."""

    def __init__(self):
        super().__init__("zumzik-kwin-")
        self._scripts = 0
        try:
            self._start_session_bus()
            self._start_kwin()
            self._start_accessibility_bus()
        except BaseException:
            self.close()
            raise

    def _start_kwin(self):
        # The packaged binary carries a file capability (to raise its own resource limits) that
        # an unprivileged container refuses to execute; a plain copy runs without it.
        kwin = os.path.join(self.home, "kwin_wayland")
        shutil.copy(shutil.which("kwin_wayland") or "/usr/bin/kwin_wayland", kwin)
        # KWin starts one program inside the session with both displays in its environment;
        # that program tells the tests which X display XWayland got.
        display_file = os.path.join(self.home, "display")
        reporter = os.path.join(self.home, "report-display")
        with open(reporter, "w") as script:
            script.write(f'#!/bin/sh\necho "$DISPLAY" > "{display_file}.new" && '
                         f'mv "{display_file}.new" "{display_file}"\nexec sleep infinity\n')
        os.chmod(reporter, 0o755)
        self.log = os.path.join(self.home, "kwin.log")
        with open(self.log, "wb") as log:
            self._spawn([kwin, "--virtual", "--xwayland", "--width", str(WIDTH),
                         "--height", str(HEIGHT), "--socket", SOCKET, "--no-lockscreen",
                         "--no-global-shortcuts", "--no-kactivities", reporter],
                        env=dict(self.env, QT_LOGGING_RULES="js.debug=true"),
                        stdout=log, stderr=subprocess.STDOUT)

        def display():
            if not os.path.exists(display_file):
                return None
            with open(display_file) as text:
                return text.read().strip()
        self.display = wait_until(display, 60, "KWin and XWayland")
        self.env.update(WAYLAND_DISPLAY=SOCKET, DISPLAY=self.display)
        self.width, self.height = WIDTH, HEIGHT

    # -- scripting ----------------------------------------------------------------------------

    def _kwin(self, path, method, *args):
        return self.output(["dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin",
                            path, f"org.kde.kwin.Scripting.{method}", *args])

    def run_script(self, body):
        """Runs a KWin script and returns what it printed with report(...), one JSON value a
        call. The script's output comes on KWin's standard error; it ends with a line of its
        own, so that the tests know when all of it is there."""
        self._scripts += 1
        name = f"{TAG}-{self._scripts}"
        path = os.path.join(self.home, f"{name}.js")
        with open(path, "w") as script:
            script.write(f'function report(value) {{ print("{name} " + JSON.stringify(value)); }}\n'
                         f"{body}\n"
                         f'print("{name} end");\n')
        self._kwin("/Scripting", "loadScript", f"string:{path}", f"string:{name}")
        self._kwin("/Scripting", "start")

        def output():
            with open(self.log, encoding="utf-8", errors="replace") as log:
                lines = [line for line in log if f"{name}." in line or f"{name} " in line]
            errors = [line for line in lines if f"{name}.js" in line]
            if errors:
                raise RuntimeError(f"KWin could not run the script: {errors[0].strip()}")
            lines = [line.split(f"{name} ", 1)[1].strip() for line in lines]
            return lines if lines and lines[-1] == "end" else None
        try:
            lines = wait_until(output, 20, f"KWin to run the script {name}")
        finally:
            self._kwin("/Scripting", "unloadScript", f"string:{name}")
        return [json.loads(line) for line in lines[:-1]]

    def windows(self, pid=None):
        """KWin's window list, optionally only the windows of one process."""
        fields = self.run_script("""
            workspace.clientList().forEach(function (w) {
                var g = w.frameGeometry;
                report({pid: w.pid, caption: w.caption, minimized: w.minimized,
                        active: w.active, frameGeometry: [g.x, g.y, g.width, g.height],
                        windowId: w.windowId || 0});
            });""")
        return [KWinWindow(f, self) for f in fields if pid is None or f["pid"] == pid]

    def minimise(self, pid):
        """Minimises the windows of a process as their title bar's button would."""
        self.run_script(f"""
            workspace.clientList().forEach(function (w) {{
                if (w.pid === {int(pid)}) w.minimized = true;
            }});""")

    def unminimise(self, pid):
        """Brings minimised windows of a process back, as a click on the task bar would."""
        self.run_script(f"""
            workspace.clientList().forEach(function (w) {{
                if (w.pid === {int(pid)}) {{ w.minimized = false; workspace.activeClient = w; }}
            }});""")


class KWinTestCase(unittest.TestCase):
    """Tests that share one KWin session and the tests' notification area per module, and start
    the program afresh for every test. KWin has no notification area of its own (Plasma's panel
    provides it); the tests' watcher and host stand in for it."""

    session = None
    tray = None

    @classmethod
    def setUpClass(cls):
        if KWinTestCase.session is None:
            KWinTestCase.session = KWinSession()
            KWinTestCase.tray = StatusNotifierTray(KWinTestCase.session)
            # The accessibility client connects to the buses that the environment names.
            os.environ["DISPLAY"] = KWinTestCase.session.display
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = \
                KWinTestCase.session.env["DBUS_SESSION_BUS_ADDRESS"]

    def start(self):
        """The program, once KWin shows its main window."""
        program = Zumzik(self.session, show_main_window=False)
        self.addCleanup(program.close)
        wait_until(lambda: self.shown(program), START_TIMEOUT, "the main window in KWin")
        return program

    def shown(self, program):
        """The program's window as KWin lists it while it is on the screen, or None."""
        return next((w for w in self.session.windows(program.process.pid)
                     if not w.minimized), None)

    def minimise(self, program, hides=True):
        """Minimises the main window through KWin and waits until it has left KWin's window list
        (hidden into the tray) or, with hides=False, until KWin shows it minimised there."""
        pid = program.process.pid
        self.session.minimise(pid)
        if hides:
            wait_until(lambda: not self.session.windows(pid), TIMEOUT,
                       "the main window to leave KWin's window list")
        else:
            wait_until(lambda: [w.minimized for w in self.session.windows(pid)] == [True],
                       TIMEOUT, "the main window minimised in KWin's window list")

    def wait_until_in_front(self, program):
        """Waits until the main window is back on the screen as KWin's active window."""
        def in_front():
            window = self.shown(program)
            return window is not None and window.active
        wait_until(in_front, TIMEOUT, "the main window back in front")

    def assert_input_has_the_focus(self, program, text="Vasya"):
        """Types without a click first: the letters reach the input field only if it has the
        keyboard focus."""
        self.session.output(["xdotool", "type", "--clearmodifiers", "--delay", "15", text])
        wait_until(lambda: program.input_text().endswith(text), TIMEOUT,
                   "typing into the input field")
