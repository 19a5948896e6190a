"""Talking to the bot with real key strokes: the name turn, keyword replies and empty lines."""

import os
import unittest

from desktop import wait_until
from zumzik import DATA_DIR, DesktopTestCase


def replies(reply_file):
    """The replies of one bundled reply file, as the reply line shows them."""
    with open(os.path.join(DATA_DIR, reply_file), encoding="cp1251") as text:
        return {line for line in text.read().splitlines() if line}


class ConversationTest(DesktopTestCase):
    def answer_to(self, program, line):
        """Says line and returns the reply line once it has changed and the field is empty."""
        before = program.reply_line()
        program.say(line)
        wait_until(lambda: program.input_text() == "" and program.reply_line() != before, 10,
                   f"a reply to {line!r}")
        return program.reply_line()

    def test_name_then_keyword_replies_from_the_reply_files(self):
        program = self.start()
        self.assertEqual(self.answer_to(program, "Вася"), "Привет ВАСЯ! Давай поболтаем?")
        self.assertIn(self.answer_to(program, "Мой комп опять завис"), replies("comp.zmz"))
        self.assertIn(self.answer_to(program, "Хочу в театр на балет"), replies("art.zmz"))
        self.assertIn(self.answer_to(program, "Всё идёт своим чередом"), replies("all.zmz"))

    def test_a_long_name_is_called_strange_and_an_empty_line_is_a_refusal(self):
        program = self.start()
        self.assertEqual(self.answer_to(program, "Константинопольский"),
                         "Странноватое у тебя имя!")
        self.desktop.key("Return")
        wait_until(lambda: program.reply_line() == "Ты что, не хочешь со мной разговаривать?",
                   10, "the refusal to an empty line")


if __name__ == "__main__":
    unittest.main()
