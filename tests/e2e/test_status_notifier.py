"""The tray over StatusNotifierItem, the protocol of the panels of KDE Plasma, GNOME's
AppIndicator extension, XFCE and waybar. The tests' own watcher and host play the panel on KWin:
the item registers once, its picture changes only while the window hides in it, a panel that
starts after the program is used from then on, and without a panel a minimise is an ordinary
one."""

import time
import unittest

from kwin import KWinTestCase
from session import wait_until
from zumzik import TIMEOUT

# Frames come every 200 ms while the window hides: a second without one means the icon is still.
STILL_SECONDS = 1.0


class StatusNotifierTest(KWinTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # The tray alone is under test here, so the program runs through XWayland as the user's
        # own choice; test_kwin covers the choice that the program makes without one.
        cls.session.env["QT_QPA_PLATFORM"] = "xcb"

    def setUp(self):
        self.tray.start()
        self.addCleanup(self.tray.stop)

    def test_one_registration_and_frames_only_while_hidden(self):
        program = self.start()
        item = self.tray.item()
        self.tray.wait_until_still(STILL_SECONDS)

        self.minimise(program)
        hidden_at = time.monotonic()
        wait_until(lambda: len(self.tray.new_icons(since=hidden_at)) >= 5, TIMEOUT,
                   "the icon to animate while the window hides in the tray")

        item.activate()
        self.wait_until_in_front(program)
        self.tray.wait_until_still(STILL_SECONDS)
        self.assertEqual(len(self.tray.events("register")), 1, self.tray.events("register"))
        self.assertEqual(self.tray.events("unregister"), [])

    def test_a_panel_that_comes_later_is_used_and_one_that_leaves_gives_an_ordinary_minimise(self):
        self.tray.stop()
        program = self.start()
        pid = program.process.pid
        self.minimise(program, hides=False)
        self.session.unminimise(pid)
        self.wait_until_in_front(program)

        self.tray.start()
        item = self.tray.item()
        self.minimise(program)
        item.activate()
        self.wait_until_in_front(program)

        self.tray.stop()
        self.minimise(program, hides=False)


if __name__ == "__main__":
    unittest.main()
