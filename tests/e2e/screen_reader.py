"""The Orca screen reader on a private desktop, and what it says.

Orca runs without a speech synthesiser; its debug log records every utterance all the same, as
SPEECH OUTPUT: '...'. The log goes to a pseudo-terminal rather than a file: Orca writes it through
an ordinary buffered file, which holds back the last few kilobytes until more follow, while on a
terminal every line comes out as it is written. A thread drains the terminal; the tests poll the
utterances found in what it read.
"""

import codecs
import os
import re
import subprocess
import threading
import tty

from session import WaitTimeout, wait_until

START_TIMEOUT = 30
# Orca refuses to start while another Orca of the same user runs: another run of these tests on
# the machine, which ends within seconds, or someone's own screen reader. It is waited for rather
# than replaced, since replacing would kill it.
OTHER_ORCA_TIMEOUT = 60

# One utterance: the text between the quotes, followed by an optional voice and the voice's
# settings. Lines of a text that spans several are indented by 18 blanks in the log.
UTTERANCE = re.compile(r"SPEECH OUTPUT: '((?:(?!SPEECH OUTPUT: ').)*?)'(?: voice=\w+)? ?\{",
                       re.DOTALL)
CONTINUATION = "\n" + " " * 18


def other_orcas():
    """Process ids of Orca processes of this user, as Orca itself counts them."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as comm:
                name = comm.read().strip()
            owner = os.stat(f"/proc/{entry}").st_uid
        except OSError:
            continue
        if name == "orca" and owner == os.getuid():
            found.append(int(entry))
    return found


class ScreenReader:
    """Orca, started on the desktop and listening to its accessibility bus."""

    def __init__(self, desktop):
        self.desktop = desktop
        self._lock = threading.Lock()
        self._log = ""
        self._parsed = 0
        self._utterances = []
        self._master, self._terminal = os.openpty()
        tty.setraw(self._terminal)
        threading.Thread(target=self._drain, daemon=True).start()
        self.process = None
        wait_until(self._start, OTHER_ORCA_TIMEOUT,
                   "Orca to start; another Orca of this user still runs", interval=0.5)

    def _start(self):
        """Starts Orca and waits until it has said that it is on; False if it refused to start."""
        if other_orcas():
            return False
        prefs = os.path.join(self.desktop.home, "orca")
        os.makedirs(prefs, exist_ok=True)
        output = os.path.join(self.desktop.home, "orca-output.log")
        with open(output, "wb") as file:
            self.process = self.desktop.spawn(
                ["orca", "--user-prefs", prefs, "--debug-file", os.ttyname(self._terminal),
                 "--disable", "braille"], stdout=file, stderr=subprocess.STDOUT)
        wait_until(lambda: self.process.poll() is not None or self.utterances(), START_TIMEOUT,
                   "Orca to speak")
        if self.process.poll() is None:
            return True
        if other_orcas():
            return False
        with open(output, errors="replace") as file:
            raise RuntimeError("Orca did not start: " + file.read())

    def _drain(self):
        # A character may come in two reads.
        decoder = codecs.getincrementaldecoder("utf-8")(errors="replace")
        while True:
            try:
                chunk = os.read(self._master, 65536)
            except OSError:
                return
            if not chunk:
                return
            with self._lock:
                self._log += decoder.decode(chunk)

    def utterances(self):
        """Everything Orca has said so far, one string per utterance."""
        with self._lock:
            for match in UTTERANCE.finditer(self._log, self._parsed):
                self._utterances.append(match.group(1).replace(CONTINUATION, "\n"))
                self._parsed = match.end()
            return list(self._utterances)

    def mark(self):
        """A point in what Orca says, for said_since()."""
        return len(self.utterances())

    def said_since(self, mark):
        return self.utterances()[mark:]

    def count_since(self, mark, text):
        """How many utterances since mark hold text."""
        return sum(text in utterance for utterance in self.said_since(mark))

    def wait_for(self, text, mark=0, count=1, timeout=15):
        """Waits until text has been said count times since mark; returns the utterances since."""
        try:
            wait_until(lambda: self.count_since(mark, text) >= count, timeout,
                       f"Orca to say {text!r} {count} time(s)")
        except WaitTimeout as timeout_error:
            raise WaitTimeout(f"{timeout_error}; it said {self.said_since(mark)!r}") from None
        return self.said_since(mark)
