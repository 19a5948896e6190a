"""Every way of closing the main window brings up the protest box, and OK then ends the program:
also while the About window is open, and also when the session ends."""

import unittest

from session_manager import SessionManager
from zumzik import TITLE, DesktopTestCase, descendants

PLEAS = {
    "Ты что это делаешь? А? Стой! Подожди! А-а-а-а!!!",
    "Эй! Зачем это? Подожди! Давай поговорим! Стой-й-й!",
    "Стоп! Ты не сделаешь этого! Нет! Только не это!",
    "Что? Не делай этого! Давай договоримся! Ты же умный человек! А-а-а-а!!!",
    "Нет! Не убивай меня! Мы ещё не всё обсудили! No-o-o!!!",
    "Я ещё вернусь! Ха-ха-ха!!!",
    "Стой! Стой! Убийца!!! Проклятье! Я хочу говорить!!!",
    "Опачки! Опулечки!! Опушечки!!! Не надо!!!!",
}


class ExitProtestTest(DesktopTestCase):
    def protest_then_ok(self, program):
        """Waits for the protest box, checks it, presses its OK button with the mouse and
        returns the program's exit status."""
        box = program.wait_for_window(TITLE)
        self.assertTrue(program.process.poll() is None, "the program ended before the box")
        dialog = program.accessible_window("alert", TITLE)
        texts = {node.name for node in descendants(dialog) if node.getRoleName() == "label"}
        self.assertEqual(len(texts & PLEAS), 1, f"one plea among {texts}")
        buttons = [node.name for node in descendants(dialog)
                   if node.getRoleName() == "push button"]
        self.assertEqual(buttons, ["OK"])
        # The main window stays usable while the box is open: the box has no owner.
        self.assertNotIn("MODAL", box.states())
        self.assertIsNone(program.process.poll())
        program.click_button("OK", dialog, box)
        return program.wait_for_exit()

    def test_exit_button(self):
        program = self.start()
        program.click_button("Выход")
        self.assertEqual(self.protest_then_ok(program), 0)

    def test_alt_f4(self):
        program = self.start()
        program.main_window.activate()
        self.desktop.key("alt+F4")
        self.assertEqual(self.protest_then_ok(program), 0)

    def test_window_manager_close(self):
        program = self.start()
        program.main_window.close_by_window_manager()
        self.assertEqual(self.protest_then_ok(program), 0)

    def test_title_bar_close_button(self):
        program = self.start()
        program.main_window.click_close_button()
        self.assertEqual(self.protest_then_ok(program), 0)

    def open_about_window(self, program):
        program.click_button("О программе")
        return program.wait_for_window("О программе...")

    def test_window_manager_close_while_the_about_window_is_open(self):
        program = self.start()
        self.open_about_window(program)
        program.main_window.close_by_window_manager()
        self.assertEqual(self.protest_then_ok(program), 0)

    def log_off(self, with_about_window):
        session = SessionManager(self.desktop)
        self.addCleanup(session.close)
        program = self.start(env={"SESSION_MANAGER": session.address})
        session.wait_for_client()
        if with_about_window:
            self.open_about_window(program)
        session.log_off()
        self.assertEqual(self.protest_then_ok(program), 0)
        self.assertEqual(session.wait_for_end(), 0, "the session ended")

    def test_log_off(self):
        self.log_off(with_about_window=False)

    def test_log_off_while_the_about_window_is_open(self):
        self.log_off(with_about_window=True)


if __name__ == "__main__":
    unittest.main()
