"""A notification area over StatusNotifierItem that tests start and stop, and the tray item of a
program as that area sees it.

StatusNotifierTray runs status_notifier_host.py in a session and reads its log: which items
registered, when they went, and every NewIcon signal they sent. StatusNotifierItem calls an
item's methods as a panel does on a click.
"""

import json
import os
import subprocess
import time

from session import ready_line, wait_until
from zumzik import TIMEOUT

HERE = os.path.dirname(os.path.abspath(__file__))
WATCHER = "org.kde.StatusNotifierWatcher"


class StatusNotifierItem:
    """A registered item: its bus name and object path."""

    def __init__(self, session, service, path):
        self.session, self.service, self.path = session, service, path

    def __repr__(self):
        return f"StatusNotifierItem({self.service}{self.path})"

    def _call(self, method):
        self.session.output(["dbus-send", "--session", "--print-reply", f"--dest={self.service}",
                             self.path, f"org.kde.StatusNotifierItem.{method}", "int32:0",
                             "int32:0"])

    def activate(self):
        """A left click on the item, as a panel reports it."""
        self._call("Activate")

    def context_menu(self):
        """A right click on the item, on a panel that leaves the menu to the item."""
        self._call("ContextMenu")


class StatusNotifierTray:
    """The tests' watcher and host; not running until start()."""

    def __init__(self, session):
        self.session = session
        self.log = os.path.join(session.home, "status-notifier.log")
        self.process = None

    def start(self):
        """Starts the watcher and its host with a fresh log."""
        if os.path.exists(self.log):
            os.remove(self.log)
        read_end, write_end = os.pipe()
        self.process = self.session.spawn(
            ["/usr/bin/python3", os.path.join(HERE, "status_notifier_host.py"), self.log],
            stdout=write_end, stderr=subprocess.DEVNULL)
        os.close(write_end)
        ready = ready_line(read_end, 20)
        os.close(read_end)
        if ready != "ready":
            raise RuntimeError("the StatusNotifierItem watcher did not start")

    def stop(self):
        """Ends the watcher and its host, as a panel that quits does; its names leave the bus."""
        if self.process is None:
            return
        self.session.stop(self.process)
        self.process = None
        wait_until(lambda: not self.session.has_bus_name(WATCHER), TIMEOUT,
                   "the watcher to leave the bus")

    def events(self, kind=None, since=0.0):
        """What the host logged, oldest first: dicts with "t" and "event", optionally only one
        kind and only from a point in time (time.monotonic()) on."""
        if not os.path.exists(self.log):
            return []
        with open(self.log) as lines:
            events = [json.loads(line) for line in lines if line.endswith("\n")]
        return [e for e in events
                if (kind is None or e["event"] == kind) and e["t"] >= since]

    def item(self, timeout=TIMEOUT):
        """The item registered last, once some item has registered and is still there."""
        def registered():
            present = None
            for event in self.events():
                if event["event"] == "register":
                    present = event
                elif event["event"] == "unregister" and present \
                        and present["service"] == event["service"]:
                    present = None
            return present
        event = wait_until(registered, timeout, "an item to register with the watcher")
        return StatusNotifierItem(self.session, event["service"], event["path"])

    def new_icons(self, since=0.0):
        return self.events("new_icon", since)

    def wait_until_still(self, quiet_seconds, timeout=TIMEOUT):
        """Waits until no NewIcon has come for quiet_seconds; fails if frames keep coming."""
        def still():
            frames = self.new_icons()
            return not frames or time.monotonic() - frames[-1]["t"] >= quiet_seconds
        wait_until(still, timeout, f"the tray icon to stay unchanged for {quiet_seconds} s")
