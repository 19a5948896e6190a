"""What the tray icon's animation sends per second while the program hides in the tray, over each
of the two tray protocols. bench/performance.py calls these and puts the figures in its table.

- XEmbed, in IceWM's notification area: the program's X connection runs through xtrace, which
  logs every request with its length and time. Counted: the frames drawn (image puts to the icon
  window), the bytes on the X connection in both directions, and the pixel bytes handed over
  beside the connection through shared memory.
- StatusNotifierItem, with the tests' watcher and host as the panel (tests/e2e/status_notifier.py;
  it reads the icon's pixels back after every NewIcon signal, as panels do): dbus-monitor records
  every message to and from the item's connection. Counted: NewIcon signals, messages and their
  bytes, the host's reads of the pixels included.
"""

import os
import re
import struct
import subprocess
import time

from desktop import wait_until

SETTLE_SECONDS = 2
TIMEOUT = 15

REQUEST = re.compile(r"^(\d+\.\d+) \d+:([<>]):[0-9a-f]+:\s*(\d+): (.*)$")
SHARED_PUT = re.compile(r"MIT-SHM-Request\(\d+,3\): PutImage .*src-width=(\d+) src-height=(\d+)")
PLAIN_PUT = re.compile(r"Request\(72\): PutImage")


def minimise(desktop, process, into_tray=True):
    """Minimises the program's window until it has left the screen, and, into_tray, the window
    list as well: a window manager that has just started, or a window just mapped, may miss the
    first request."""
    window = wait_until(lambda: desktop.client_windows(process.pid), 30, "the program's window")[0]

    def done():
        if not window.is_viewable() and not (
                into_tray and window in desktop.client_windows(process.pid)):
            return True
        desktop.xdotool("windowminimize", window.id)
        return False
    wait_until(done, TIMEOUT, "the window to hide", interval=0.5)


def xembed_traffic(desktop, program, seconds):
    """Frames, X connection bytes to the server and back, and shared-memory pixel bytes, each per
    second, while the program hides in the tray of the desktop."""
    number = int(desktop.display[1:]) + 100
    log = os.path.join(desktop.home, "xtrace.log")
    tracer = desktop.spawn(["xtrace", "-n", "-k", "--monotonic-timestamps", "-d", desktop.display,
                            "-D", f":{number}", "-o", log],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"), TIMEOUT, "xtrace")
    process = program.start(desktop, env={"DISPLAY": f":{number}"})
    try:
        minimise(desktop, process)
        time.sleep(SETTLE_SECONDS)
        start = time.monotonic()
        time.sleep(seconds)
        end = time.monotonic()
    finally:
        program.stop(process)
        desktop.stop(tracer)
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
    elapsed = end - start
    return frames / elapsed, sent / elapsed, received / elapsed, shared / elapsed


def status_notifier_traffic(desktop, tray, program, seconds):
    """NewIcon signals, messages and bytes, each per second, to and from the item's connection
    while the program hides in the tray of the running StatusNotifierItem host."""
    process = program.start(desktop)
    try:
        minimise(desktop, process)
        owner = next(e["owner"] for e in reversed(tray.events("register")))
        capture = os.path.join(desktop.home, "dbus.pcap")
        with open(capture, "wb") as output:
            monitor = desktop.spawn(["dbus-monitor", "--pcap", f"sender={owner}",
                                     f"destination={owner}"], stdout=output,
                                    stderr=subprocess.DEVNULL)
        time.sleep(SETTLE_SECONDS)
        start, wall_start = time.monotonic(), time.time()
        time.sleep(seconds)
        end, wall_end = time.monotonic(), time.time()
        desktop.stop(monitor)
    finally:
        program.stop(process)
    new_icons = len([e for e in tray.new_icons(since=start) if e["t"] < end])
    messages = size = 0
    with open(capture, "rb") as pcap:
        data = pcap.read()
    offset = 24  # the file's header
    while offset + 16 <= len(data):
        stamp, microseconds, length, _ = struct.unpack_from("<IIII", data, offset)
        if wall_start <= stamp + microseconds / 1e6 < wall_end:
            messages += 1
            size += length
        offset += 16 + length
    elapsed = end - start
    return new_icons / elapsed, messages / elapsed, size / elapsed
