"""A real X session manager for the end-to-end tests: xsm, which speaks the X Session Management
Protocol (XSMP) to its clients, driven through its own windows as a user logging off would.

xsm starts the programs of its startup file with SESSION_MANAGER in their environment; the only
one here writes that address to a file, so that a test can start the program under test as a
client of the session. A shutdown "with checkpoint" asks every client to save itself with
shutdown set, save type Both and interaction Any: Qt turns that into the application's
commitDataRequest, and a client that wants to talk to the user (the exit protest) asks for its
turn and gets it. Once every client has answered, xsm tells them to die and ends.
"""

import os
import re
import subprocess
import tempfile

from desktop import Window, wait_until

TIMEOUT = 15


class SessionManager:
    """One session of xsm on a desktop, with a home of its own so that no saved session of an
    earlier test turns its start into a choice of sessions."""

    def __init__(self, desktop):
        self.desktop = desktop
        home = tempfile.mkdtemp(prefix="xsm-", dir=desktop.home)
        address_file = os.path.join(home, "session-manager")
        reporter = os.path.join(home, "report-address")
        with open(reporter, "w") as script:
            script.write(f'#!/bin/sh\nprintf %s "$SESSION_MANAGER" > {address_file}.new\n'
                         f"mv {address_file}.new {address_file}\n")
        os.chmod(reporter, 0o755)
        with open(os.path.join(home, ".xsmstartup"), "w") as startup:
            startup.write(reporter + "\n")
        # The verbose log tells when a client has registered and answered its first request;
        # line-buffered, so that it does so at once.
        self.log_path = os.path.join(home, "xsm.log")
        with open(self.log_path, "wb") as log:
            self.process = desktop.spawn(["stdbuf", "-oL", "xsm", "-verbose"], stdout=log,
                                         stderr=subprocess.STDOUT,
                                         env={"HOME": home, "SM_SAVE_DIR": home})
        wait_until(lambda: os.path.exists(address_file), TIMEOUT, "xsm to start its session")
        with open(address_file) as address:
            self.address = address.read()

    def log(self):
        with open(self.log_path, errors="replace") as log:
            return log.read()

    def wait_for_client(self):
        """Waits until a client has joined the session: xsm asks every new client to save
        itself once, and the client's answer ends its joining."""
        wait_until(lambda: "received SAVE YOURSELF DONE" in self.log(), TIMEOUT,
                   "the program to join the session")

    def _widgets(self, window_id):
        """The buttons and fields of one of xsm's windows, as (x, y, width, height) on the
        screen: the innermost windows of its tree."""
        tree = self.desktop.output(["xwininfo", "-tree", "-id", str(window_id)])
        found = re.findall(r"^( *)0x[0-9a-f]+ \(has no name\): \(\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+"
                           r"\s+\+(-?\d+)\+(-?\d+)", tree, re.MULTILINE)
        deepest = max(len(indent) for indent, *_ in found)
        return [(int(x), int(y), int(width), int(height))
                for indent, width, height, x, y in found if len(indent) == deepest]

    def _window(self, title):
        """One of xsm's windows, once it is on the screen. xsm does not name its process on its
        windows, so they are known by their titles."""
        def find():
            for line in self.desktop.output(["wmctrl", "-l"]).splitlines():
                fields = line.split(None, 3)
                if len(fields) == 4 and fields[3] == title \
                        and Window(self.desktop, int(fields[0], 16)).is_viewable():
                    return int(fields[0], 16)
            return None
        return wait_until(find, TIMEOUT, f"xsm's window {title!r}")

    def _popup_menu(self, known):
        """A menu that has just popped up: a mapped top-level window that was not there before."""
        for line in self.desktop.output(["xwininfo", "-root", "-children"]).splitlines():
            match = re.search(r"(0x[0-9a-f]+) \(has no name\): \(\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)",
                              line)
            if match and match.group(1) not in known and "IsViewable" in self.desktop.output(
                    ["xwininfo", "-id", match.group(1)], check=False):
                width, height, x, y = (int(n) for n in match.group(2, 3, 4, 5))
                return x, y, width, height
        return None

    def _click(self, x, y, width, height):
        self.desktop.xdotool("mousemove", x + width // 2, y + height // 2, "click", 1)

    def log_off(self):
        """Shuts the session down with a checkpoint, as a user logging off does: the Shutdown
        menu's first entry, then the dialog's Shutdown button under a session name."""
        main = self._window("xsm: Default")
        # Client List, Session Log; Checkpoint, Shutdown: the menu button is the bottom right one.
        x, y, width, height = max(self._widgets(main), key=lambda w: (w[1], w[0]))
        known = set(re.findall(r"0x[0-9a-f]+", self.desktop.output(
            ["xwininfo", "-root", "-children"])))
        self.desktop.xdotool("mousemove", x + width // 2, y + height // 2, "mousedown", 1)
        menu_x, menu_y, menu_width, menu_height = wait_until(
            lambda: self._popup_menu(known), TIMEOUT, "xsm's Shutdown menu")
        # "With Checkpoint" above "Immediately".
        self.desktop.xdotool("mousemove", menu_x + menu_width // 2, menu_y + menu_height // 4)
        self.desktop.xdotool("mouseup", 1)

        dialog = self._window("Shutdown")
        widgets = self._widgets(dialog)
        # The session name's field is the top row's right one; Shutdown the bottom row's left one.
        top = min(w[1] for w in widgets)
        self._click(*max((w for w in widgets if w[1] == top), key=lambda w: w[0]))
        self.desktop.xdotool("type", "zumzik")
        bottom = max(w[1] for w in widgets)
        self._click(*min((w for w in widgets if w[1] == bottom), key=lambda w: w[0]))

    def close(self):
        """Ends xsm if a test left its session running."""
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(TIMEOUT)

    def wait_for_end(self):
        """Waits until xsm has ended the session and returns its exit status."""
        wait_until(lambda: self.process.poll() is not None, TIMEOUT, "the session to end")
        return self.process.returncode
