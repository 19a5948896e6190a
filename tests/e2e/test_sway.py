"""sway with waybar's notification area, both displays set and no platform chosen: a window
hidden into waybar's tray comes back on a real left click on its item, and on a real right
click, where it was."""

import subprocess
import unittest

from session import wait_until
from sway import BAR_HEIGHT, SwaySession
from zumzik import START_TIMEOUT, TIMEOUT, Zumzik


class SwayTest(unittest.TestCase):
    session = None

    @classmethod
    def setUpClass(cls):
        cls.session = SwaySession()
        # sway has no minimise of its own and refuses one to the window that has the focus; this
        # window takes the focus whenever the program's window is to be minimised.
        cls.other = cls.session.spawn(["xmessage", "-name", "zumzik-e2e-other", "other"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: cls.session.windows(cls.other.pid), START_TIMEOUT,
                   "another window to take the focus")

    def start(self):
        program = Zumzik(self.session, show_main_window=False)
        self.addCleanup(program.close)
        wait_until(lambda: self.session.windows(program.process.pid), START_TIMEOUT,
                   "the main window on sway")
        return program

    def minimise(self, program):
        """Minimises the main window as an X11 window asks for it, with the focus elsewhere, and
        waits until it has left sway's layout (hidden into the tray)."""
        pid = program.process.pid
        window = self.session.windows(pid)[0].get("window")
        self.assertIsNotNone(window, "the main window is no X11 window: the program runs "
                             "natively on Wayland, where it is never told of a minimise")

        def hidden():
            if not self.session.windows(pid):
                return True
            self.session.output(["swaymsg", f"[pid={self.other.pid}] focus"])
            self.session.output(["xdotool", "windowminimize", str(window)])
            return False
        wait_until(hidden, TIMEOUT, "the main window to leave the screen", interval=0.5)

    def tray_item(self):
        """The middle of the program's item in waybar, once waybar shows it and no other item
        comes or goes."""
        seen = []

        def settled():
            seen.append(self.session.bar_items())
            return seen[-1] and len(seen) > 1 and len(seen[-1]) == len(seen[-2])
        wait_until(settled, TIMEOUT, "the program's item in waybar's tray", interval=0.2)
        left, right = seen[-1][-1]
        return (left + right) // 2, BAR_HEIGHT // 2

    def test_left_and_right_clicks_on_the_item_bring_the_window_back_in_place(self):
        program = self.start()
        place = self.session.windows(program.process.pid)[0]["rect"]
        for button in (1, 3):
            self.minimise(program)
            x, y = self.tray_item()
            self.session.click(x, y, button)
            wait_until(lambda: self.session.windows(program.process.pid), TIMEOUT,
                       f"the main window back after a click with button {button}")
            self.assertEqual(self.session.windows(program.process.pid)[0]["rect"], place,
                             f"back in place after a click with button {button}")


if __name__ == "__main__":
    unittest.main()
