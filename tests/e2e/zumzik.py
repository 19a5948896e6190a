"""The built program, run on a private desktop, and what the tests see of it.

The program runs in a temporary working directory that holds copies of the reply files and the
wave files from data/. Its windows are found through the window manager and its controls
through the accessibility bus (AT-SPI), where every control appears under its accessible name.
"""

import os
import shutil
import tempfile
import unittest
import warnings

from desktop import Desktop, wait_until

PROGRAM = os.environ.get("ZUMZIK_PROGRAM", "")
DATA_DIR = os.environ.get("ZUMZIK_DATA_DIR", "")

TITLE = "Зумзик"
START_TIMEOUT = 30
TIMEOUT = 15

_atspi = None


def atspi():
    """The AT-SPI client library, loaded once the desktop's buses are in the environment (it
    connects to the accessibility bus of whatever desktop the environment names)."""
    global _atspi
    if _atspi is None:
        # The bindings warn about their own use of deprecated calls; that is not the tests' news.
        warnings.filterwarnings("ignore", category=DeprecationWarning)
        warnings.filterwarnings("ignore", category=ImportWarning)
        import pyatspi
        _atspi = pyatspi
    return _atspi


def refreshed(accessible):
    """The accessible with its cached properties dropped, so that reads ask the program."""
    accessible.clearCache()
    return accessible


def descendants(accessible):
    for child in refreshed(accessible):
        if child is not None:
            yield child
            yield from descendants(child)


class Zumzik:
    """One run of the program on a desktop."""

    def __init__(self, desktop, leave_out=(), show_main_window=True, args=(), env=None):
        if not os.access(PROGRAM, os.X_OK) or not os.path.isdir(DATA_DIR):
            raise RuntimeError("ZUMZIK_PROGRAM and ZUMZIK_DATA_DIR must name the built program "
                               "and the data folder")
        self.desktop = desktop
        self.workdir = tempfile.mkdtemp(prefix="zumzik-run-")
        for name in os.listdir(DATA_DIR):
            if name not in leave_out:
                shutil.copy(os.path.join(DATA_DIR, name), self.workdir)
        # What the program says on the terminal (a missing sound device, say) goes to a log in
        # its working directory rather than into the test report.
        with open(os.path.join(self.workdir, "output.log"), "wb") as log:
            self.process = desktop.spawn([PROGRAM, *args], cwd=self.workdir, stdout=log,
                                         stderr=log,
                                         env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                                              **(env or {})})
        self.main_window = None
        if show_main_window:
            self.wait_for_main_window()

    def wait_for_main_window(self):
        """The main window, once it is mapped: the program's only window with the window
        manager's normal frame (message boxes are dialogs)."""
        def shown():
            for window in self.windows():
                if window.window_type() == "NORMAL" and window.is_viewable():
                    return window
            return None
        self.main_window = wait_until(shown, START_TIMEOUT, "the main window")
        return self.main_window

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.workdir, ignore_errors=True)

    # -- the process and its windows ----------------------------------------------------------

    def windows(self):
        return self.desktop.client_windows(self.process.pid)

    def wait_for_exit(self, timeout=TIMEOUT):
        wait_until(lambda: self.process.poll() is not None, timeout, "the program to end")
        return self.process.returncode

    def wait_for_window(self, title, timeout=TIMEOUT):
        """A window of the program other than the main window, once it shows with this title."""
        def shown():
            for window in self.windows():
                if window != self.main_window and window.title() == title \
                        and window.is_viewable():
                    return window
            return None
        return wait_until(shown, timeout, f"a window titled {title!r}")

    def wait_until_gone(self, window, timeout=TIMEOUT):
        wait_until(lambda: window not in self.windows() or not window.is_viewable(), timeout,
                   f"{window!r} to close")

    # -- controls, through the accessibility bus ----------------------------------------------

    def application(self):
        """The program's root accessible."""
        def find():
            for app in atspi().Registry.getDesktop(0):
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            return None
        return wait_until(find, TIMEOUT, "the program on the accessibility bus")

    def accessible_windows(self):
        return [w for w in refreshed(self.application()) if w is not None]

    def accessible_window(self, role, name):
        """A window of the program on the accessibility bus, once it is there."""
        return wait_until(lambda: next((w for w in self.accessible_windows()
                                         if w.getRoleName() == role and w.name == name), None),
                          TIMEOUT, f"a {role} named {name!r} on the accessibility bus")

    def main_accessible(self):
        """The main window on the accessibility bus (message boxes share its title)."""
        return wait_until(lambda: next((w for w in self.accessible_windows()
                                         if w.name == TITLE and w.getRoleName() != "alert"),
                                        None),
                          TIMEOUT, "the main window on the accessibility bus")

    def control(self, role, name=None, window=None, description=None):
        """The first control of the given role (and name and description) in window, the main
        window if none."""
        root = window if window is not None else self.main_accessible()

        def find():
            for node in descendants(root):
                if node.getRoleName() == role and (name is None or node.name == name) \
                        and (description is None or node.description == description):
                    return node
            return None
        return wait_until(find, TIMEOUT, f"a {role} named {name!r}")

    def reply_line(self):
        # The aphorisms are a label as well; the reply line is the one described as Zumzik's answer.
        return refreshed(self.control("label", description="Ответ Зумзика")).name

    def input_text(self):
        field = refreshed(self.control("text", "Ваша реплика"))
        return field.queryText().getText(0, -1)

    def click_button(self, name, accessible_window=None, window=None):
        """A real mouse click in the middle of a push button of a window: the main window unless
        another is given, both as the accessibility bus and as the window manager see it."""
        top = accessible_window if accessible_window is not None else self.main_accessible()
        button = self.control("push button", name, top)
        # The program knows where its controls lie within its window, but not always where the
        # window manager has just put the window; the window manager knows that.
        origin = top.queryComponent().getExtents(atspi().DESKTOP_COORDS)
        extents = button.queryComponent().getExtents(atspi().DESKTOP_COORDS)
        (window or self.main_window).click(extents.x - origin.x + extents.width // 2,
                                           extents.y - origin.y + extents.height // 2)

    def say(self, line):
        """Types a line into whatever has the keyboard focus and presses Enter."""
        self.desktop.type(line)
        self.desktop.key("Return")


class DesktopTestCase(unittest.TestCase):
    """Tests that share one desktop per module and start the program afresh for every test."""

    desktop = None

    @classmethod
    def setUpClass(cls):
        if DesktopTestCase.desktop is None:
            DesktopTestCase.desktop = Desktop()
            # The accessibility client connects to the buses that the environment names.
            os.environ["DISPLAY"] = DesktopTestCase.desktop.display
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = \
                DesktopTestCase.desktop.env["DBUS_SESSION_BUS_ADDRESS"]

    def start(self, **kwargs):
        program = Zumzik(self.desktop, **kwargs)
        self.addCleanup(program.close)
        return program

    def assert_frame_centred(self, window):
        """The window with its frame lies centred on the part of the screen that the task bar
        leaves free, to the pixel: its margins to opposite edges are equal, or the right and the
        bottom one a pixel wider where the space left over is odd."""
        area_x, area_y, area_width, area_height = self.desktop.work_area()
        x, y, width, height = window.frame_geometry()
        margins = (x - area_x, area_x + area_width - x - width,
                   y - area_y, area_y + area_height - y - height)
        left, right, top, bottom = margins
        self.assertIn(right - left, (0, 1), f"margins left, right, top, bottom: {margins}")
        self.assertIn(bottom - top, (0, 1), f"margins left, right, top, bottom: {margins}")
