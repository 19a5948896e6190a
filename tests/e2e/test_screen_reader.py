"""With the Orca screen reader running: every reply is spoken once as it appears, the Information
and About windows open from the keyboard and are read out, and the plea and the error box are
spoken. One Orca serves the whole module; what it says is read from its debug log."""

import os
import unittest

from desktop import HERE, wait_until
from screen_reader import ScreenReader
import test_exit_protest
from zumzik import TITLE, DesktopTestCase

REFUSAL = "Ты что, не хочешь со мной разговаривать?"
YES_REPLIES = {"Так прямо таки и да?", "Нельзя быть столь категоричным, братан!", "Да???",
               "Ну да!", "Ты согласен?", "Я рад, что ты меня поддерживаешь!"}


def information_text():
    """The Information window's text as screen readers get it: the lines that are not blank."""
    path = os.path.join(HERE, "..", "..", "resources", "texts", "information.txt")
    with open(path, encoding="utf-8") as text:
        return "\n".join(line.strip() for line in text.read().splitlines() if line.strip())


class ScreenReaderTest(DesktopTestCase):
    orca = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.orca = ScreenReader(cls.desktop)

    def start_heard(self):
        """Starts the program and waits until Orca has read out its window with the opening line,
        as it does when the window gets the focus."""
        mark = self.orca.mark()
        program = self.start()
        self.orca.wait_for(program.reply_line(), mark)
        return program

    def test_every_reply_is_spoken_once_as_it_appears_and_so_is_the_plea(self):
        program = self.start_heard()
        opening = program.reply_line()
        mark = self.orca.mark()
        program.say("Вася")
        self.orca.wait_for("Привет ВАСЯ! Давай поболтаем?", mark)
        program.say("да")
        wait_until(lambda: program.reply_line() in YES_REPLIES, 10, "the reply to «да»")
        yes = program.reply_line()
        self.orca.wait_for(yes, mark)
        # An empty line twice: the same refusal appears twice and is spoken twice.
        self.desktop.key("Return")
        self.orca.wait_for(REFUSAL, mark)
        self.desktop.key("Return")
        self.orca.wait_for(REFUSAL, mark, count=2)

        # Orca speaks in the order things happen, so once it has spoken the plea, any repetition
        # of the replies before it would have been spoken too.
        self.desktop.key("alt+F4")
        wait_until(lambda: any(plea in said for said in self.orca.said_since(mark)
                               for plea in test_exit_protest.PLEAS), 15, "Orca to speak the plea")
        for reply, times in [("Привет ВАСЯ! Давай поболтаем?", 1), (yes, 1), (REFUSAL, 2),
                             (opening, 0)]:
            self.assertEqual(self.orca.count_since(mark, reply), times,
                             f"{reply!r} in {self.orca.said_since(mark)!r}")

    def test_f1_and_shift_f1_open_information_and_about_which_are_read_out(self):
        program = self.start_heard()
        reply = program.reply_line()
        mark = self.orca.mark()
        self.desktop.key("F1")
        window = program.wait_for_window("Информация")
        text = information_text()
        dialog = program.accessible_window("dialog", "Информация")
        panel = program.control("label", window=dialog)
        self.assertEqual(panel.queryText().getText(0, -1), text)
        self.orca.wait_for(text.splitlines()[0], mark)
        self.desktop.key("alt+F4")
        program.wait_until_gone(window)

        mark = self.orca.mark()
        self.desktop.key("shift+F1")
        window = program.wait_for_window("О программе...")
        said = self.orca.wait_for("zumzik.example.org", mark)
        about = next(utterance for utterance in said if "zumzik.example.org" in utterance)
        for part in ["Zumzik", "Version 2.03", "© 2026", "zumzik@example.org"]:
            self.assertIn(part, about)
        self.desktop.key("Return")
        program.wait_until_gone(window)
        # The keys typed nothing and said nothing to the bot.
        self.assertEqual(program.input_text(), "")
        self.assertEqual(program.reply_line(), reply)

    def test_the_error_box_is_read_out(self):
        mark = self.orca.mark()
        program = self.start(leave_out=("all.zmz",), show_main_window=False)
        program.wait_for_window(TITLE)
        self.orca.wait_for("all.zmz", mark)


if __name__ == "__main__":
    unittest.main()
