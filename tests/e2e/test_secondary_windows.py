"""The About and Information windows: opened by real clicks, modal over the main window, closed
by their OK button, the title bar's close button and Alt+F4 but not by Esc, and reopened where
they were last left. Afterwards the keyboard belongs to the main window's input field again."""

import unittest

from desktop import wait_until
from zumzik import TIMEOUT, DesktopTestCase, atspi, descendants, refreshed


class SecondaryWindowTests:
    """Cases shared by both windows; a subclass names the window and its button."""

    BUTTON = None
    TITLE = None
    ROLE = "dialog"

    def open(self, program):
        program.click_button(self.BUTTON)
        window = program.wait_for_window(self.TITLE)
        wait_until(lambda: window.geometry()[2:] == self.CLIENT_SIZE, TIMEOUT,
                   f"the {self.TITLE!r} window at its size")
        return window

    def accessible(self, program):
        return program.accessible_window(self.ROLE, self.TITLE)

    def assert_keyboard_back_in_input_field(self, program):
        self.desktop.type("снова")
        wait_until(lambda: program.input_text() == "снова", TIMEOUT,
                   "typing to reach the main window's input field")

    def test_opens_centred_and_modal_and_the_main_window_ignores_clicks_meanwhile(self):
        program = self.start()
        window = self.open(program)
        self.assert_frame_centred(window)
        self.assertIn("MODAL", window.states())
        self.assertEqual(len(program.windows()), 2)
        # A click on the main window's Exit button would bring up the protest box if it got
        # through; the window closes afterwards, so the click has been dealt with by then.
        program.click_button("Выход")
        self.close_by_alt_f4(program, window)
        self.assertIsNone(program.process.poll())
        self.assertEqual(program.windows(), [program.main_window])
        self.assert_keyboard_back_in_input_field(program)

    def close_by_alt_f4(self, program, window):
        window.activate()
        self.desktop.key("alt+F4")
        program.wait_until_gone(window)

    # The controls that the window must show under these roles and accessible names.
    EXPECTED_CONTROLS = set()

    def test_every_control_has_an_accessible_name(self):
        program = self.start()
        self.open(program)
        controls = {(control.getRoleName(), control.name)
                    for control in descendants(self.accessible(program))}
        for role, name in controls:
            self.assertTrue(name, f"a {role} without a name")
        self.assertLessEqual(self.EXPECTED_CONTROLS, controls)

    def test_alt_f4_closes_it(self):
        program = self.start()
        self.close_by_alt_f4(program, self.open(program))
        self.assert_keyboard_back_in_input_field(program)

    def test_title_bar_close_button_closes_it(self):
        program = self.start()
        window = self.open(program)
        window.click_close_button()
        program.wait_until_gone(window)
        self.assert_keyboard_back_in_input_field(program)

    def test_esc_leaves_it_open_and_it_reopens_where_it_was_moved(self):
        program = self.start()
        window = self.open(program)
        first = window.geometry()
        self.desktop.key("Escape")
        # The window manager's move reaches the program after the key, so once the program
        # reports the window at its new place it has dealt with Esc as well.
        window.drag_title_bar(-120, -90)
        moved = wait_until(lambda: window.geometry()[:2] != first[:2] and window.geometry(),
                           TIMEOUT, "the window to move")
        self.assertLess(moved[0], first[0])
        self.assertLess(moved[1], first[1])
        dialog = self.accessible(program)

        def reported_at_new_place():
            extents = refreshed(dialog).queryComponent().getExtents(atspi().DESKTOP_COORDS)
            return abs(extents.y - first[1]) >= 45
        wait_until(reported_at_new_place, TIMEOUT, "the program to see the move")
        self.assertTrue(window.is_viewable(), "Esc closed the window")
        self.assertIn(atspi().STATE_VISIBLE, refreshed(dialog).getState().getStates())

        self.close_by_alt_f4(program, window)
        self.assert_keyboard_back_in_input_field(program)
        reopened = self.open(program)
        self.assertEqual(reopened.geometry(), moved)


class AboutWindowTest(SecondaryWindowTests, DesktopTestCase):
    BUTTON = "О программе"
    TITLE = "О программе..."
    # Read out whole as it opens, as the toolkit's own About boxes are.
    ROLE = "alert"
    CLIENT_SIZE = (277, 201)
    EXPECTED_CONTROLS = {("label", "Zumzik "), ("label", "Version 2.03"), ("push button", "OK"),
                         ("image", "Рукопожатие")}

    def test_ok_button_closes_it(self):
        program = self.start()
        window = self.open(program)
        program.click_button("OK", self.accessible(program), window)
        program.wait_until_gone(window)
        self.assert_keyboard_back_in_input_field(program)


class InformationWindowTest(SecondaryWindowTests, DesktopTestCase):
    BUTTON = "Информация"
    TITLE = "Информация"
    CLIENT_SIZE = (272, 248)


if __name__ == "__main__":
    unittest.main()
