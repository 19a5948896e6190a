"""A private sway session without a screen, with waybar's notification area, for the end-to-end
tests.

SwaySession runs sway on a headless output with XWayland, and waybar with its tray module, as a
user would: sway refuses to run as root, so when the tests run as root, sway, waybar and what
they start run as the unprivileged user "nobody", and the root-run tests and program are let
into that user's X display and session bus. Both WAYLAND_DISPLAY and DISPLAY are set for the
programs that the session starts; no QT_QPA_PLATFORM is set. Clicks are real pointer input
through the compositor (virtual_pointer.py); where waybar shows an item is read from a
screenshot of the bar (grim).
"""

import collections
import json
import os
import subprocess

from session import Session, wait_until
from status_notifier import WATCHER
from virtual_pointer import VirtualPointer, socket_path


WIDTH, HEIGHT = 1024, 768
BAR_HEIGHT = 30
UNPRIVILEGED = 65534  # nobody

SWAY_CONFIG = f"""output HEADLESS-1 mode {WIDTH}x{HEIGHT}
xwayland enable
exec echo "$WAYLAND_DISPLAY $DISPLAY $SWAYSOCK" > "{{report}}.new" && mv "{{report}}.new" "{{report}}"
"""

WAYBAR_CONFIG = {
    "layer": "top", "position": "top", "height": BAR_HEIGHT,
    "modules-left": [], "modules-center": [], "modules-right": ["tray"],
    "tray": {"icon-size": 24, "spacing": 4},
}

# A bus that the unprivileged session and the root-run tests share.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <include>/usr/share/dbus-1/session.conf</include>
  <policy context="default"><allow user="*"/></policy>
</busconfig>
"""


class SwaySession(Session):
    """sway, XWayland and waybar, ready when constructed."""

    def __init__(self):
        super().__init__("zumzik-sway-")
        self._user = UNPRIVILEGED if os.getuid() == 0 else None
        self._pointer = None
        try:
            self._hand_home_to_the_user()
            self._start_session_bus(self._write("bus.conf", BUS_CONFIG))
            self._start_sway()
            self._start_bar()
        except BaseException:
            self.close()
            raise

    def _write(self, name, text):
        path = os.path.join(self.home, name)
        with open(path, "w") as file:
            file.write(text)
        return path

    def _hand_home_to_the_user(self):
        if self._user is None:
            return
        os.chmod(self.home, 0o755)
        for folder, _, files in os.walk(self.home):
            for path in [folder] + [os.path.join(folder, name) for name in files]:
                os.chown(path, self._user, self._user)

    def spawn_as_user(self, argv, env=None, **kwargs):
        """Starts a program of the desktop itself, as the session's unprivileged user."""
        if self._user is not None:
            kwargs.update(user=self._user, group=self._user, extra_groups=[])
        return self.spawn(argv, env=env, **kwargs)

    def _start_sway(self):
        report = os.path.join(self.home, "displays")
        config = self._write("sway.conf", SWAY_CONFIG.format(report=report))
        self.log = os.path.join(self.home, "sway.log")
        with open(self.log, "wb") as log:
            self.spawn_as_user(["sway", "-c", config], stdout=log, stderr=subprocess.STDOUT,
                               env={"WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
                                    "WLR_RENDERER": "pixman"})

        def reported():
            if not os.path.exists(report):
                return None
            with open(report) as text:
                return text.read().split()
        wayland, display, sway_socket = wait_until(reported, 60, "sway and XWayland")
        self.env.update(WAYLAND_DISPLAY=wayland, DISPLAY=display, SWAYSOCK=sway_socket)
        self.width, self.height = WIDTH, HEIGHT
        if self._user is not None:
            # XWayland lets in only its own user; the tests and the program run as root.
            subprocess.run(["xhost", "+si:localuser:root"], env=self.env, user=self._user,
                           group=self._user, extra_groups=[], check=True, timeout=60,
                           stdout=subprocess.DEVNULL)

    def _start_bar(self):
        config = self._write("waybar.json", json.dumps(WAYBAR_CONFIG))
        style = self._write("waybar.css", "* { font-family: sans-serif; font-size: 12px; }\n")
        self.spawn_as_user(["waybar", "-c", config, "-s", style], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        wait_until(lambda: self.has_bus_name(WATCHER), 30, "waybar's tray")

    def close(self):
        if self._pointer is not None:
            self._pointer.close()
            self._pointer = None
        super().close()

    # -- what the compositor shows ------------------------------------------------------------

    def windows(self, pid):
        """The windows of a process that sway shows, as sway's layout tree lists them."""
        tree = json.loads(self.output(["swaymsg", "-t", "get_tree", "-r"]))
        found = []

        def walk(node):
            if node.get("pid") == pid and node.get("visible"):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(tree)
        return found

    def bar_items(self):
        """Where waybar shows tray items: the horizontal extents of the runs of pixels in the bar
        that differ from its background, from left to right."""
        # The compositor draws the cursor into the picture: out of the way with it.
        self.pointer().move(0, HEIGHT - 1)
        ppm = subprocess.run(["grim", "-t", "ppm", "-g", f"0,0 {WIDTH}x{BAR_HEIGHT}", "-"],
                             env=self.env, capture_output=True, check=True, timeout=30).stdout
        # A binary PPM: "P6", width, height and the largest value, then the pixels as RGB.
        header = ppm.split(maxsplit=4)
        width, height = int(header[1]), int(header[2])
        pixels = header[4]
        background = collections.Counter(
            pixels[i:i + 3] for i in range(0, len(pixels), 3)).most_common(1)[0][0]
        columns = [any(pixels[(row * width + x) * 3:(row * width + x) * 3 + 3] != background
                       for row in range(height)) for x in range(width)]
        items, start = [], None
        for x, marked in enumerate(columns + [False]):
            if marked and start is None:
                start = x
            elif not marked and start is not None:
                items.append((start, x))
                start = None
        return items

    def pointer(self):
        """The session's virtual mouse, made on first use."""
        if self._pointer is None:
            self._pointer = VirtualPointer(socket_path(self.env), WIDTH, HEIGHT)
        return self._pointer

    def click(self, x, y, button):
        """A real click at (x, y) on the screen. The cursor comes from beside the point, as a
        hand moves it: a client learns where the pointer is from its motion over the surface."""
        pointer = self.pointer()
        pointer.move(max(x - 3, 0), y)
        pointer.move(x, y)
        pointer.press(button)
        pointer.press(button, pressed=False)
