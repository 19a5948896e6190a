"""Starting minimised, as a session's autostart entry does: the program goes straight into the
tray, without a window or a task bar entry, and its window comes back by itself after 50 seconds,
centred as at a first showing; without a notification area it waits minimised on the task bar.
Also the command line's help and its usage error.

A module of its own, so that its long wait runs beside the tray module's."""

import subprocess
import time
import unittest

from desktop import Desktop, Window, wait_until
from test_tray import REPROACH, picture, tray_icon, wait_for_recall
from zumzik import PROGRAM, TIMEOUT, DesktopTestCase


class StartMinimisedTest(DesktopTestCase):
    def mapped_windows(self, program):
        """Every window of the program that is on the screen, managed or not."""
        ids = self.desktop.output(["xdotool", "search", "--all", "--pid",
                                   str(program.process.pid)], check=False).split()
        return [window for window in (Window(self.desktop, int(i)) for i in ids)
                if window.is_viewable()]

    def test_starts_in_the_tray_and_comes_back_centred_after_50_seconds(self):
        started = time.monotonic()
        # Qt's own options still work beside the program's.
        program = self.start(args=("-display", self.desktop.display, "--minimized"),
                             show_main_window=False)
        icon = tray_icon(program)
        first = picture(icon)
        wait_until(lambda: picture(icon) != first, TIMEOUT, "the icon to animate")
        self.assertEqual(program.windows(), [], "a window that the task bar lists")
        self.assertEqual(self.mapped_windows(program), [icon])

        # The long wait asks twice a second rather than fifty times.
        def shown():
            return next((window for window in program.windows()
                         if window.window_type() == "NORMAL" and window.is_viewable()), None)
        window = wait_for_recall(self, shown, started, interval=0.5)
        wait_until(lambda: program.reply_line() == REPROACH, TIMEOUT, "the reproach line")
        self.assert_frame_centred(window)

    def test_help_names_the_option_and_an_unknown_option_is_a_usage_error(self):
        # Help needs no desktop.
        without_display = {key: value for key, value in self.desktop.env.items()
                           if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        shown = subprocess.run([PROGRAM, "--help"], env=without_display, capture_output=True,
                               text=True, timeout=30)
        self.assertEqual(shown.returncode, 0, shown.stderr)
        self.assertIn("--minimized", shown.stdout)

        wrong = subprocess.run([PROGRAM, "-display", self.desktop.display, "--minimised"],
                               env=self.desktop.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(wrong.returncode, 2)
        self.assertEqual(len(wrong.stderr.splitlines()), 1, wrong.stderr)
        self.assertIn("'--minimised'", wrong.stderr)


class StartMinimisedWithoutATrayTest(DesktopTestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop(tray=False)
        cls.addClassCleanup(cls.desktop.close)

    def test_it_waits_minimised_on_the_task_bar_and_is_centred_when_restored(self):
        program = self.start(args=("--minimized",), show_main_window=False)
        window = wait_until(lambda: next(iter(program.windows()), None), TIMEOUT,
                            "the window on the task bar")
        wait_until(lambda: "HIDDEN" in window.states(), TIMEOUT, "the window minimised")
        self.assertFalse(window.is_viewable())
        window.activate()
        wait_until(window.is_viewable, TIMEOUT, "the window back from the task bar")
        self.assert_frame_centred(window)


if __name__ == "__main__":
    unittest.main()
