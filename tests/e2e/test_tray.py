"""Tray residence: the icon in the notification area from start-up, the window hiding into it on
a minimise, and coming back on a click on the icon or, after 50 seconds, by itself."""

import hashlib
import os
import shutil
import subprocess
import time
import unittest

from desktop import HERE, Desktop, Window, wait_until
from zumzik import TIMEOUT, DesktopTestCase, Zumzik

REPROACH = "Вы что же, забыли обо мне? Нехорошо как-то это!"
RECALL_SECONDS = 50


def wait_for_recall(test, came_back, since, **wait):
    """Waits until came_back() tells that the window came back by itself, which must be no sooner
    than the recall's 50 seconds after since (a time.monotonic()), and returns what it told."""
    back = wait_until(came_back, RECALL_SECONDS + 20, "the window to come back by itself", **wait)
    test.assertGreaterEqual(time.monotonic() - since, RECALL_SECONDS - 2)
    return back


def tray_icon(program):
    """The program's icon window inside the notification area, once it is there: a mapped
    window of the program that the window manager does not manage and that is embedded."""
    def find():
        managed = set(program.windows())
        ids = program.desktop.output(["xdotool", "search", "--all", "--pid",
                                      str(program.process.pid)], check=False).split()
        for window in (Window(program.desktop, int(i)) for i in ids):
            if window in managed or not window.is_viewable():
                continue
            embedding = program.desktop.output(["xprop", "-id", str(window.id), "_XEMBED_INFO"],
                                               check=False)
            if "_XEMBED_INFO(CARDINAL)" in embedding:
                return window
        return None
    return wait_until(find, TIMEOUT, "the tray icon")


def picture(window):
    """A digest of what the window shows on the screen right now."""
    x, y, width, height = window.geometry()
    desktop = window.desktop
    shot = subprocess.run(["import", "-display", desktop.display, "-window", "root", "-crop",
                           f"{width}x{height}+{x}+{y}", "rgb:-"],
                          env=desktop.env, capture_output=True, timeout=30, check=True)
    return hashlib.sha1(shot.stdout).hexdigest()


def keep_minimising(window, until, what):
    """Asks for a minimise until it has taken effect: a window manager that has just started,
    or a window just mapped, may not be managed yet when the first request comes."""
    def minimised():
        if until():
            return True
        window.desktop.xdotool("windowminimize", window.id)
        return False
    wait_until(minimised, TIMEOUT, what, interval=0.5)


def hidden_in_the_tray(program):
    window = program.main_window
    return not window.is_viewable() and window not in program.windows()


class TrayTest(DesktopTestCase):
    def minimise(self, program):
        """Minimises the main window through the window manager, as its title-bar button does,
        and waits until it has left the screen and the task bar."""
        keep_minimising(program.main_window, lambda: hidden_in_the_tray(program),
                        "the main window to leave the screen and the task bar")

    def click_minimise_button(self, program):
        """A real click on the title bar's minimise button, the one left of the close button."""
        window = program.main_window
        x, y, width, _ = window.geometry()
        _, right, top, _ = window.frame_extents()
        close_x = x + width + right - top // 2 - 1
        self.desktop.xdotool("mousemove", close_x - top - 2, y - top // 2, "click", 1)
        wait_until(lambda: hidden_in_the_tray(program), TIMEOUT,
                   "the main window to leave the screen and the task bar")

    def click_icon(self, program, button):
        icon = tray_icon(program)
        x, y, width, height = icon.geometry()
        self.desktop.xdotool("mousemove", x + width // 2, y + height // 2, "click", button)

    def wait_until_back(self, program):
        window = program.main_window
        wait_until(lambda: window.is_viewable() and window in program.windows(), TIMEOUT,
                   "the main window to come back")

    def assert_input_has_the_focus(self, program):
        self.desktop.type("Вася")
        wait_until(lambda: program.input_text() == "Вася", TIMEOUT,
                   "typing into the input field")

    def test_icon_is_there_from_start_up_beside_the_shown_window(self):
        program = self.start()
        icon = tray_icon(program)
        self.assertLessEqual(icon.geometry()[2], 64, "an icon, not a window")
        self.assertTrue(program.main_window.is_viewable())
        self.assertIn(program.main_window, program.windows())

    def test_minimise_hides_into_the_animated_icon_and_a_left_click_brings_it_back(self):
        program = self.start()
        line = program.reply_line()
        place = program.main_window.geometry()
        self.minimise(program)
        # The icon animates: it shows another picture within a few frames.
        icon = tray_icon(program)
        first = picture(icon)
        wait_until(lambda: picture(icon) != first, TIMEOUT, "the icon to change its picture")

        self.click_icon(program, 1)
        self.wait_until_back(program)
        self.assertEqual(program.main_window.geometry(), place, "back where it was")
        self.assertEqual(program.reply_line(), line, "no reproach after a click")
        self.assert_input_has_the_focus(program)

    def test_title_bar_button_hides_the_window_and_a_right_click_brings_it_back(self):
        program = self.start()
        self.click_minimise_button(program)
        self.click_icon(program, 3)
        self.wait_until_back(program)
        self.assert_input_has_the_focus(program)

    def test_idle_recall_after_50_seconds_with_the_reproach(self):
        program = self.start()
        line = program.reply_line()
        self.assertNotEqual(line, REPROACH)
        self.minimise(program)
        hidden_at = time.monotonic()
        wait_for_recall(self, program.main_window.is_viewable, hidden_at)
        self.wait_until_back(program)
        wait_until(lambda: program.reply_line() == REPROACH, TIMEOUT, "the reproach line")


class LateTrayTest(unittest.TestCase):
    """A desktop whose notification area appears only after the program has started."""

    def setUp(self):
        self.desktop = Desktop(window_manager=False)
        self.addCleanup(self.desktop.close)

    def start_window_manager(self, with_tray):
        """Starts IceWM, or replaces the running one, with a notification area or none, and
        waits until the new one has mapped its task bar."""
        def manager_check():
            return self.desktop.output(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                       check=False)
        before = manager_check()
        settings = os.path.join(self.desktop.home, f"icewm-tray-{int(with_tray)}")
        shutil.copytree(os.path.join(HERE, "icewm"), settings)
        with open(os.path.join(settings, "preferences"), "a") as preferences:
            preferences.write(f"TaskBarEnableSystemTray={int(with_tray)}\n"
                              f"TaskBarShowTray={int(with_tray)}\n")
        self.desktop.spawn(["icewm", "--replace"], env={"ICEWM_PRIVCFG": settings},
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: manager_check() != before and "window id" in manager_check()
                   and self.desktop.work_area()[3] < self.desktop.height, TIMEOUT,
                   "IceWM and its task bar")

    def keep_clicking_the_icon(self, program, until, what):
        """Clicks the tray icon until it has taken effect: Qt embeds its icon afresh in a
        notification area that has just appeared, so the first icon window may go away."""
        def clicked():
            if until():
                return True
            try:
                x, y, width, height = tray_icon(program).geometry()
            except RuntimeError:
                return False
            self.desktop.xdotool("mousemove", x + width // 2, y + height // 2, "click", 1)
            return False
        wait_until(clicked, TIMEOUT, what, interval=0.5)

    def test_minimise_is_ordinary_without_a_tray_and_hides_once_one_appears(self):
        self.start_window_manager(with_tray=False)
        program = Zumzik(self.desktop)
        self.addCleanup(program.close)
        window = program.main_window

        # Minimised onto the task bar, and back from there.
        keep_minimising(window,
                        lambda: "HIDDEN" in window.states() and window in program.windows(),
                        "the window minimised onto the task bar")
        window.activate()
        wait_until(window.is_viewable, TIMEOUT, "the window back from the task bar")

        # The notification area appears: the icon moves in, and a minimise now hides into it.
        self.start_window_manager(with_tray=True)
        tray_icon(program)
        keep_minimising(window, lambda: hidden_in_the_tray(program),
                        "the main window to hide in the tray")
        self.keep_clicking_the_icon(
            program, lambda: window.is_viewable() and window in program.windows(),
            "the main window to come back")


if __name__ == "__main__":
    unittest.main()
