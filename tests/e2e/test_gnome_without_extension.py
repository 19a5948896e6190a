"""GNOME Shell without the AppIndicator extension, as Debian's and Fedora's GNOME comes: there is
no notification area, so a minimise is an ordinary one (the window stays in Alt+Tab and can come
back from the overview), and 50 seconds after it the window comes back by itself, where it was,
with the reproach."""

import time
import unittest

from gnome import GnomeTestCase
from session import wait_until
from test_tray import REPROACH, wait_for_recall
from zumzik import TIMEOUT


class GnomeWithoutExtensionTest(GnomeTestCase):
    APPINDICATOR = False

    def test_ordinary_minimise_then_the_idle_recall_in_place_with_the_reproach(self):
        program = self.start()
        pid = program.process.pid
        before = self.wait_until_in_front(program)
        self.assertNotEqual(program.reply_line(), REPROACH)
        self.session.minimise(pid)
        wait_until(lambda: [w.minimized for w in self.session.windows(pid)] == [True], TIMEOUT,
                   "the main window minimised")
        minimised_at = time.monotonic()
        self.assertTrue(self.session.in_alt_tab(pid), "an ordinary minimise stays in Alt+Tab")

        wait_for_recall(self, lambda: self.shown(program), minimised_at)
        self.assert_same_place(self.wait_until_in_front(program), before)
        wait_until(lambda: program.reply_line() == REPROACH, TIMEOUT, "the reproach line")
        self.assert_input_has_the_focus(program)


if __name__ == "__main__":
    unittest.main()
