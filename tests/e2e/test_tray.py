"""Tray residence: the icon in the notification area from start-up, the window hiding into it on
a minimise, and coming back on a click on the icon or, after 50 seconds, by itself."""

import hashlib
import subprocess
import time
import unittest

from desktop import Window, wait_until
from zumzik import TIMEOUT, DesktopTestCase

REPROACH = "Вы что же, забыли обо мне? Нехорошо как-то это!"
RECALL_SECONDS = 50


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


class TrayTest(DesktopTestCase):
    def minimise(self, program):
        """Minimises the main window through the window manager, as its title-bar button does,
        and waits until it has left the screen and the task bar."""
        window = program.main_window
        self.desktop.xdotool("windowminimize", window.id)
        wait_until(lambda: not window.is_viewable() and window not in program.windows(),
                   TIMEOUT, "the main window to leave the screen and the task bar")

    def click_minimise_button(self, program):
        """A real click on the title bar's minimise button, the one left of the close button."""
        window = program.main_window
        x, y, width, _ = window.geometry()
        _, right, top, _ = window.frame_extents()
        close_x = x + width + right - top // 2 - 1
        self.desktop.xdotool("mousemove", close_x - top - 2, y - top // 2, "click", 1)
        wait_until(lambda: not window.is_viewable() and window not in program.windows(),
                   TIMEOUT, "the main window to leave the screen and the task bar")

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
        wait_until(lambda: program.input_text() == "Вася", TIMEOUT, "typing into the input field")

    def test_icon_is_there_from_start_up_beside_the_shown_window(self):
        program = self.start()
        icon = tray_icon(program)
        self.assertLessEqual(icon.geometry()[2], 64, "an icon, not a window")
        self.assertTrue(program.main_window.is_viewable())
        self.assertIn(program.main_window, program.windows())

    def test_minimise_hides_into_the_animated_icon_and_a_left_click_brings_it_back(self):
        program = self.start()
        line = program.reply_line()
        self.minimise(program)
        # The icon animates: it shows another picture within a few frames.
        icon = tray_icon(program)
        first = picture(icon)
        wait_until(lambda: picture(icon) != first, TIMEOUT, "the icon to change its picture")

        self.click_icon(program, 1)
        self.wait_until_back(program)
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
        wait_until(lambda: program.main_window.is_viewable(), RECALL_SECONDS + 20,
                   "the window to come back by itself")
        self.assertGreaterEqual(time.monotonic() - hidden_at, RECALL_SECONDS - 2)
        self.wait_until_back(program)
        wait_until(lambda: program.reply_line() == REPROACH, TIMEOUT, "the reproach line")


if __name__ == "__main__":
    unittest.main()
