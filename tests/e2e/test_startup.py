"""Start-up: the main window as the desktop shows it, and the bot's first line."""

import unittest

from desktop import wait_until
from zumzik import TIMEOUT, TITLE, DesktopTestCase, descendants

OPENING_LINES = {
    "Какое твоё имя, камрад?",
    "Имя-то у тебя есть? Я - Зумзик!",
    "Давай знакомиться? Я - Zumzik.",
    "Хотелось бы узнать, как к Вам обращаться?",
    "Как зовут-то тебя, братишка?",
}


class StartUpTest(DesktopTestCase):
    def test_main_window_opens_centred_with_its_title_and_size(self):
        program = self.start()
        window = program.main_window
        self.assertEqual(window.title(), TITLE)
        self.assertEqual(window.window_type(), "NORMAL")
        self.assertEqual(window.geometry()[2:], (504, 178))
        self.assertEqual(len(program.windows()), 1, "About and Information start hidden")

        self.assert_frame_centred(window)
        # The program's icon, for the frame and the task bar, follows the first frame.
        wait_until(lambda: "Icon (48 x 48)" in self.desktop.output(
            ["xprop", "-id", str(window.id), "_NET_WM_ICON"], check=False),
            TIMEOUT, "the program's 48-pixel icon")

    def test_opening_line_asks_for_the_name_and_every_control_is_named(self):
        program = self.start()
        self.assertIn(program.reply_line(), OPENING_LINES)
        names = {(control.getRoleName(), control.name)
                 for control in program.main_accessible()}
        for expected in [("push button", "О программе"), ("push button", "Информация"),
                         ("push button", "Выход"), ("text", "Ваша реплика")]:
            self.assertIn(expected, names)
        for role, name in names:
            # The notice that announces replies to screen readers keeps its text in a label.
            if role != "notification":
                self.assertTrue(name, f"a {role} without an accessible name")

    def test_input_field_has_the_keyboard_focus_at_once(self):
        program = self.start()
        self.desktop.type("Вася")
        wait_until(lambda: program.input_text() == "Вася", 10, "the name in the input field")

    def test_sound_libraries_load_with_the_first_cue(self):
        program = self.start()

        def sound_library_loaded():
            with open(f"/proc/{program.process.pid}/maps") as maps:
                return "libQt6Multimedia" in maps.read()

        self.assertFalse(sound_library_loaded(), "sound libraries loaded before any cue")
        self.desktop.key("F1")
        program.wait_for_window("Информация")
        # The plugin lies beside the program in the build tree.
        wait_until(sound_library_loaded, TIMEOUT, "the sound plugin to load")

    def test_a_missing_reply_file_is_reported_before_the_window_opens(self):
        program = self.start(leave_out=("all.zmz",), show_main_window=False)
        box = program.wait_for_window(TITLE)
        self.assertEqual(box.window_type(), "DIALOG")
        self.assertEqual(program.windows(), [box], "the error comes before the main window")
        alert = program.accessible_window("alert", TITLE)
        texts = [node.name for node in descendants(alert) if node.getRoleName() == "label"]
        self.assertTrue(any("all.zmz" in text for text in texts), texts)
        program.click_button("OK", alert, box)

        # The window opens all the same, without an opening line, and the name turn still works.
        program.wait_for_main_window()
        self.assertEqual(program.reply_line(), "")
        program.say("Вася")
        wait_until(lambda: program.reply_line() == "Привет ВАСЯ! Давай поболтаем?", TIMEOUT,
                   "the greeting")


if __name__ == "__main__":
    unittest.main()
