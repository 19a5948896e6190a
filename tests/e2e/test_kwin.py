"""KWin on Wayland with XWayland, as a Plasma desktop runs it, both displays set and no platform
chosen: the window opens centred, a minimise hides it into the tray, a left or right click on
the tray item brings it back in front where it was, with the keyboard in the input field, and 50 seconds
after a minimise it comes back by itself with the reproach."""

import time
import unittest

from kwin import HEIGHT, WIDTH, KWinTestCase
from session import wait_until
from test_tray import REPROACH, wait_for_recall
from zumzik import TIMEOUT


class KWinTest(KWinTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.tray.start()

    # KWin's window manager for XWayland does not offer _NET_REQUEST_FRAME_EXTENTS, so the
    # program cannot learn the height of Breeze's title bar before the first showing: it centres
    # the client area, and the frame lies half a title bar above the middle.
    def test_window_opens_centred_at_its_size(self):
        program = self.start()
        window = self.shown(program)
        self.assertEqual(window.client_geometry[2:], (504, 178), window)
        x, _, width, _ = window.frame_geometry
        self.assertLessEqual(abs(x - (WIDTH - x - width)), 1, window)
        _, y, _, height = window.client_geometry
        self.assertLessEqual(abs(y - (HEIGHT - y - height)), 1, window)

    def test_minimise_hides_into_the_tray_and_left_or_right_click_brings_it_back(self):
        program = self.start()
        line = program.reply_line()
        item = self.tray.item()
        before = self.shown(program)
        for click in (item.activate, item.context_menu, item.activate):
            self.minimise(program)
            click()
            self.wait_until_in_front(program)
            self.assert_input_has_the_focus(program)
            after = self.shown(program)
            self.assertEqual((after.frame_geometry, after.client_geometry),
                             (before.frame_geometry, before.client_geometry), "back in place")
        self.assertEqual(program.reply_line(), line, "no reproach after a click")

    def test_idle_recall_after_50_seconds_with_the_reproach(self):
        program = self.start()
        self.assertNotEqual(program.reply_line(), REPROACH)
        self.minimise(program)
        hidden_at = time.monotonic()
        wait_for_recall(self, lambda: self.shown(program), hidden_at)
        self.wait_until_in_front(program)
        wait_until(lambda: program.reply_line() == REPROACH, TIMEOUT, "the reproach line")


if __name__ == "__main__":
    unittest.main()
