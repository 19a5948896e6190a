#!/usr/bin/python3
"""What the program costs while it hides in the tray with its icon animating.

    ZUMZIK_PROGRAM=build/ci/ui/zumzik ZUMZIK_DATA_DIR=data /usr/bin/python3 bench/tray_cpu.py

On a private desktop (Xvfb and IceWM, from tests/e2e/desktop.py) the program is minimised into
the tray and then measured for 30 seconds at a time:

- CPU: the program's user and system time over the 30 seconds, as a share of one core; the
  median of several runs, each with a fresh program. For comparison, the same while the window
  is shown and idle. Target: below 0.5 % of one core while in the tray.
- What the animation sends to the tray: the program's X connection runs through xtrace, which
  logs every request with its length and time. Counted over the 30 seconds: the frames drawn
  (image puts to the icon window), the bytes on the X connection in both directions, and the
  pixel bytes handed over beside the connection through shared memory.
"""

import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
# The program runs in a working directory of its own, so relative paths are made absolute first.
for variable in ("ZUMZIK_PROGRAM", "ZUMZIK_DATA_DIR"):
    if os.environ.get(variable):
        os.environ[variable] = os.path.abspath(os.environ[variable])

from desktop import Desktop, wait_until  # noqa: E402
from zumzik import DATA_DIR, PROGRAM, TIMEOUT, Zumzik  # noqa: E402

SECONDS = 30
RUNS = int(os.environ.get("ZUMZIK_BENCH_RUNS", "3"))
TARGET_PERCENT = 0.5
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User plus system time of the process so far, in seconds."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def minimise(desktop, program):
    window = program.main_window
    desktop.xdotool("windowminimize", window.id)
    wait_until(lambda: not window.is_viewable() and window not in program.windows(), TIMEOUT,
               "the main window to hide in the tray")


def cpu_percent(pid):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(SECONDS)
    return 100 * (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


def measure_cpu(desktop, hidden):
    program = Zumzik(desktop)
    try:
        if hidden:
            minimise(desktop, program)
        # Let start-up and the hiding settle before counting.
        time.sleep(2)
        return cpu_percent(program.process.pid)
    finally:
        program.close()


REQUEST = re.compile(r"^(\d+\.\d+) \d+:([<>]):[0-9a-f]+:\s*(\d+): (.*)$")
SHARED_PUT = re.compile(r"MIT-SHM-Request\(\d+,3\): PutImage .*src-width=(\d+) src-height=(\d+)")
PLAIN_PUT = re.compile(r"Request\(72\): PutImage")


def measure_traffic(desktop):
    """Frames, X connection bytes each way, and shared-memory pixel bytes per second."""
    number = int(desktop.display[1:]) + 100
    log = os.path.join(desktop.home, "xtrace.log")
    desktop.spawn(["xtrace", "-n", "-k", "--monotonic-timestamps", "-d", desktop.display,
                   "-D", f":{number}", "-o", log],
                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"), TIMEOUT, "xtrace")
    saved = desktop.env["DISPLAY"]
    desktop.env["DISPLAY"] = f":{number}"
    try:
        program = Zumzik(desktop)
    finally:
        desktop.env["DISPLAY"] = saved
    try:
        minimise(desktop, program)
        time.sleep(2)
        start = time.monotonic()
        time.sleep(SECONDS)
        end = time.monotonic()
    finally:
        program.close()
    frames = sent = received = shared = 0
    with open(log, errors="replace") as lines:
        for line in lines:
            match = REQUEST.match(line)
            if not match or not start <= float(match.group(1)) < end:
                continue
            length = int(match.group(3))
            if match.group(2) == "<":
                sent += length
                put = SHARED_PUT.search(match.group(4))
                if put:
                    frames += 1
                    shared += int(put.group(1)) * int(put.group(2)) * 4
                elif PLAIN_PUT.search(match.group(4)):
                    frames += 1
            else:
                received += length
    seconds = end - start
    return frames / seconds, sent / seconds, received / seconds, shared / seconds


def main():
    if not os.access(PROGRAM, os.X_OK) or not os.path.isdir(DATA_DIR):
        sys.exit("set ZUMZIK_PROGRAM and ZUMZIK_DATA_DIR to the built program and data/")
    with Desktop() as desktop:
        hidden = [measure_cpu(desktop, hidden=True) for _ in range(RUNS)]
        shown = [measure_cpu(desktop, hidden=False) for _ in range(RUNS)]
        frames, sent, received, shared = measure_traffic(desktop)
    median = statistics.median(hidden)
    print(f"CPU in the tray, animating ({SECONDS} s runs): "
          + ", ".join(f"{p:.3f} %" for p in hidden) + f"; median {median:.3f} % of one core "
          + f"(target < {TARGET_PERCENT} %: {'met' if median < TARGET_PERCENT else 'MISSED'})")
    print(f"CPU shown and idle, for comparison: "
          + ", ".join(f"{p:.3f} %" for p in shown) + f"; median {statistics.median(shown):.3f} %")
    print(f"Animation: {frames:.2f} frames/s; X connection {sent:.0f} B/s to the server and "
          f"{received:.0f} B/s back; {shared:.0f} B/s of pixels through shared memory")
    return 0 if median < TARGET_PERCENT else 1


if __name__ == "__main__":
    sys.exit(main())
