"""The installed menu entry, run as a desktop runs it, on a private desktop.

Without a reply folder of the user's own, the menu entry's command starts Zumzik in the bundled
folder. A user makes that folder with `zumzik-phrases --copy`, writes a phrase of their own into
all.zmz with an editor that speaks UTF-8, and starts Zumzik from the menu again: it answers with
that phrase. Once the folder lacks a reply file, the menu entry starts Zumzik in the bundled
folder again and says why.

usage: menu_entry.py WORK-DIR EXEC-ARGUMENT...
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from desktop import Desktop, wait_until  # noqa: E402
from zumzik import TIMEOUT, Zumzik  # noqa: E402

# An emoji, which code page 1251 lacks, is shown as "?".
PHRASE = "Это моя собственная фраза, ёжик 🦔"
SHOWN = "Это моя собственная фраза, ёжик ?"
GREETING = "Привет ВАСЯ! Давай поболтаем?"
SOUND_PLUGIN = "/usr/lib/zumzik/libzumzik_sound.so"
BUNDLED = "/usr/share/zumzik"


class MenuStartedZumzik(Zumzik):
    """Zumzik started by the menu entry's command, in the folder that the command chooses,
    instead of in a copy of the data folder."""

    def __init__(self, desktop, command, env):
        self.desktop = desktop
        self.workdir = tempfile.mkdtemp(prefix="zumzik-menu-")
        with open(os.path.join(self.workdir, "output.log"), "wb") as log:
            self.process = desktop.spawn(command, cwd=desktop.home, stdout=log, stderr=log,
                                         env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        self.main_window = None


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def sound_plugin_loaded(program):
    with open(f"/proc/{program.process.pid}/maps") as maps:
        return SOUND_PLUGIN in maps.read()


def main():
    work, command = sys.argv[1], sys.argv[2:]
    data_home = os.path.join(work, "data home")
    own = os.path.join(data_home, "zumzik")
    env = {"XDG_DATA_HOME": data_home}
    with Desktop() as desktop:
        # The accessibility client connects to the buses that the environment names.
        os.environ["DISPLAY"] = desktop.display
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = desktop.env["DBUS_SESSION_BUS_ADDRESS"]

        program = MenuStartedZumzik(desktop, command, env)
        program.wait_for_main_window()
        # An opening line comes only once all twelve reply files have loaded.
        check(program.reply_line() != "", "no opening line from the bundled folder")
        # The first sound cue loads the installed sound plugin.
        desktop.key("F1")
        program.wait_for_window("Информация")
        wait_until(lambda: sound_plugin_loaded(program), TIMEOUT, "the installed sound plugin")
        program.close()
        print("menu entry: started in the bundled folder, with sound")

        copy = ["zumzik-phrases", "--copy"]
        run = dict(env=dict(desktop.env, **env), capture_output=True, text=True, timeout=60,
                   check=True)
        print(subprocess.run(copy, **run).stdout.splitlines()[0])
        copies = [name for name in os.listdir(own) if not name.startswith(".")]
        check(len(copies) == 14, f"the own folder holds {sorted(copies)}")
        # The user's editor reads the copy as UTF-8 and writes it back with a phrase of its own
        # instead of the bundled replies; copying again keeps it.
        all_zmz = os.path.join(own, "all.zmz")
        with open(all_zmz, encoding="utf-8") as reply_file:
            check(any("а" <= ch <= "я" for ch in reply_file.read()),
                  "all.zmz was not copied as UTF-8 Russian text")
        with open(all_zmz, "w", encoding="utf-8") as reply_file:
            reply_file.write(PHRASE + "\n")
        print(subprocess.run(copy, **run).stdout.splitlines()[0])
        with open(all_zmz, encoding="utf-8") as reply_file:
            check(reply_file.read() == PHRASE + "\n", "zumzik-phrases --copy overwrote all.zmz")

        program = MenuStartedZumzik(desktop, command, env)
        program.wait_for_main_window()
        program.say("Вася")
        wait_until(lambda: program.reply_line() == GREETING, TIMEOUT, "the greeting")
        # Nothing that a keyword rule knows, so the answer comes from all.zmz.
        program.say("qwerty")
        wait_until(lambda: program.reply_line() == SHOWN, TIMEOUT, f"the own phrase {SHOWN!r}")
        program.close()
        print(f"menu entry: answered {SHOWN!r} from {own}")

        os.remove(os.path.join(own, "art.zmz"))
        program = MenuStartedZumzik(desktop, command, env)
        program.wait_for_main_window()
        folder = os.readlink(f"/proc/{program.process.pid}/cwd")
        check(folder == BUNDLED, f"without art.zmz the program runs in {folder}")
        with open(os.path.join(program.workdir, "output.log"), encoding="utf-8") as log:
            why = log.read()
        check("lacks art.zmz" in why, f"the menu entry does not say why it left {own}: {why}")
        program.close()
        print(f"menu entry: without art.zmz started in {BUNDLED}, saying why")


if __name__ == "__main__":
    main()
