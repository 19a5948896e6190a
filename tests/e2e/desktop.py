"""A private X desktop for the end-to-end tests and the benchmarks.

Desktop starts a virtual X server (Xvfb) on a free display, a private D-Bus session bus with the
accessibility bus beside it, and the IceWM window manager with its task bar and notification
area. Everything it starts runs in process groups of its own and is ended by close(), or at the
latest when the Python process exits. Nothing here waits a fixed time: every wait polls a
condition until it holds or a timeout expires.
"""

import os
import re
import shutil
import subprocess

from session import Session, ready_line, wait_until

HERE = os.path.dirname(os.path.abspath(__file__))

# Display numbers from this one upwards; lower numbers are left to people's own desktops.
FIRST_DISPLAY = 60
LAST_DISPLAY = 199

# Keys that a virtual keyboard does not have in practice (multimedia and launcher keys); the
# Russian letters are bound to them.
FIRST_CYRILLIC_KEYCODE = 180

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768


class Desktop(Session):
    """Xvfb, a D-Bus session with the accessibility bus, and IceWM (unless a test starts a window
    manager of its own), with or without a notification area, ready when constructed."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, window_manager=True, tray=True):
        super().__init__("zumzik-desktop-")
        try:
            self.display = self._start_x_server(width, height)
            self.env["DISPLAY"] = self.display
            self._start_session_bus()
            self._start_accessibility_bus()
            self._bind_cyrillic_keys()
            if window_manager:
                self._start_window_manager(tray)
        except BaseException:
            self.close()
            raise

    # -- starting and ending ------------------------------------------------------------------

    def _start_x_server(self, width, height):
        # Xvfb writes its display number to the pipe once it accepts connections; if the number
        # is taken (another test got there first), it exits and closes the pipe instead.
        for number in range(FIRST_DISPLAY, LAST_DISPLAY + 1):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            read_end, write_end = os.pipe()
            server = self._spawn(
                ["Xvfb", f":{number}", "-screen", "0", f"{width}x{height}x24", "-dpi", "96",
                 "-nolisten", "tcp", "-br", "-noreset", "-displayfd", str(write_end)],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            announced = ready_line(read_end, 20)
            os.close(read_end)
            if announced == str(number):
                self.width, self.height = width, height
                return f":{number}"
            self._stop(server)
        raise RuntimeError("no free X display between :%d and :%d" % (FIRST_DISPLAY, LAST_DISPLAY))

    def _start_accessibility_bus(self):
        super()._start_accessibility_bus()
        # The launcher announces the accessibility bus on the root window too.
        wait_until(lambda: "= \"unix:" in self.output(["xprop", "-root", "AT_SPI_BUS"],
                                                       check=False),
                   20, "the accessibility bus")

    def _bind_cyrillic_keys(self):
        # xdotool types a character missing from the keyboard map by binding it to a spare key
        # for a moment; a busy program that reads the key after the binding has changed again
        # sees another letter. With the Russian letters on keys of their own, nothing changes.
        lines = []
        for offset, small in enumerate("абвгдеёжзийклмнопрстуфхцчшщъыьэюя"):
            lines.append(f"keycode {FIRST_CYRILLIC_KEYCODE + offset} = "
                         f"U{ord(small):04X} U{ord(small.upper()):04X}")
        subprocess.run(["xmodmap", "-"], input="\n".join(lines), text=True, env=self.env,
                       check=True, timeout=30)

    def _start_window_manager(self, tray):
        settings = os.path.join(self.home, "icewm")
        shutil.copytree(os.path.join(HERE, "icewm"), settings)
        if not tray:
            with open(os.path.join(settings, "preferences"), "a") as preferences:
                preferences.write("TaskBarEnableSystemTray=0\nTaskBarShowTray=0\n")
        env = dict(self.env, ICEWM_PRIVCFG=settings)
        self._spawn(["icewm", "--replace"], env=env,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # IceWM is ready when it names itself on the root window and has mapped its task bar.
        wait_until(lambda: (self.window_manager_name() or "").startswith("IceWM") and self.work_area()[3]
                   < self.height, 20, "IceWM and its task bar")

    # -- running programs ---------------------------------------------------------------------

    def xdotool(self, *args):
        return self.output(["xdotool", *[str(a) for a in args]])

    def key(self, *keys):
        """Key strokes to whatever window has the keyboard focus."""
        self.xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        """Types text, Cyrillic included, into whatever window has the keyboard focus."""
        self.xdotool("type", "--clearmodifiers", "--delay", 15, text)

    def screenshot(self, path):
        """Saves the whole screen as a PNG file."""
        self.output(["import", "-display", self.display, "-window", "root", path])

    # -- the window manager's view ------------------------------------------------------------

    def window_manager_name(self):
        text = self.output(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
        match = re.search(r"window id # (0x[0-9a-f]+)", text)
        if not match:
            return None
        name = self.output(["xprop", "-id", match.group(1), "_NET_WM_NAME"], check=False)
        match = re.search(r'= "(.*)"', name)
        return match.group(1) if match else None

    def work_area(self):
        """The part of the screen that windows may cover: (x, y, width, height)."""
        text = self.output(["xprop", "-root", "_NET_WORKAREA"], check=False)
        numbers = [int(n) for n in re.findall(r"\d+", text.split("=", 1)[-1])][:4]
        return tuple(numbers) if len(numbers) == 4 else (0, 0, self.width, self.height)

    def client_windows(self, pid=None):
        """The managed top-level windows, optionally only those of one process, as
        Window objects in the window manager's stacking order."""
        # wmctrl fails with BadWindow when a window goes away while it reads the list; the next
        # reading finds the list without it.
        listing = wait_until(self._window_list, 10, "the window manager's window list")[0]
        windows = []
        for line in listing.splitlines():
            fields = line.split(None, 8)
            if len(fields) < 8:
                continue
            if pid is not None and int(fields[2]) != pid:
                continue
            windows.append(Window(self, int(fields[0], 16)))
        return windows

    def _window_list(self):
        """wmctrl's list of managed windows in a one-element list, or None when it failed."""
        result = subprocess.run(["wmctrl", "-lpG"], env=self.env, capture_output=True,
                                text=True, timeout=30)
        return [result.stdout] if result.returncode == 0 else None


class Window:
    """One top-level client window, inspected through the window manager's properties."""

    def __init__(self, desktop, window_id):
        self.desktop = desktop
        self.id = window_id

    def __eq__(self, other):
        return isinstance(other, Window) and other.id == self.id

    def __hash__(self):
        return self.id

    def __repr__(self):
        return f"Window(0x{self.id:x})"

    def _property(self, name):
        return self.desktop.output(["xprop", "-id", str(self.id), name], check=False)

    def title(self):
        """The window's title; empty once the window has gone, as a window listed a moment ago
        may have."""
        return self.desktop.output(["xdotool", "getwindowname", str(self.id)],
                                   check=False).rstrip("\n")

    def states(self):
        """The _NET_WM_STATE atoms, without their prefix (MODAL, HIDDEN, ...)."""
        text = self._property("_NET_WM_STATE")
        return {atom.strip().replace("_NET_WM_STATE_", "")
                for atom in text.split("=", 1)[-1].split(",")} if "=" in text else set()

    def window_type(self):
        """The window's preferred type (NORMAL, DIALOG, ...): the first one it names."""
        text = self._property("_NET_WM_WINDOW_TYPE")
        if "=" not in text:
            return None
        return text.split("=", 1)[1].split(",")[0].strip().replace("_NET_WM_WINDOW_TYPE_", "")

    def is_viewable(self):
        text = self.desktop.output(["xwininfo", "-id", str(self.id)], check=False)
        return "Map State: IsViewable" in text

    def geometry(self):
        """The client area on the screen: (x, y, width, height)."""
        text = self.desktop.output(["xwininfo", "-id", str(self.id)])

        def field(label):
            return int(re.search(label + r":\s+(-?\d+)", text).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def frame_extents(self):
        """The window manager's frame around the client area: (left, right, top, bottom)."""
        numbers = re.findall(r"\d+", self._property("_NET_FRAME_EXTENTS").split("=", 1)[-1])
        return tuple(int(n) for n in numbers[:4]) if len(numbers) >= 4 else (0, 0, 0, 0)

    def frame_geometry(self):
        x, y, width, height = self.geometry()
        left, right, top, bottom = self.frame_extents()
        return (x - left, y - top, width + left + right, height + top + bottom)

    def click(self, x, y, button=1):
        """A real mouse click at (x, y) in the client area."""
        left, top, _, _ = self.geometry()
        self.desktop.xdotool("mousemove", left + x, top + y, "click", button)

    def click_close_button(self):
        """A real click on the close button at the right end of the title bar."""
        x, y, width, _ = self.geometry()
        _, right, top, _ = self.frame_extents()
        self.desktop.xdotool("mousemove", x + width + right - top // 2 - 1,
                             y - top // 2, "click", 1)

    def drag_title_bar(self, dx, dy):
        """Drags the window by its title bar as a user would, by (dx, dy) pixels."""
        x, y, width, _ = self.geometry()
        _, _, top, _ = self.frame_extents()
        grab_x, grab_y = x + width // 3, y - top // 2
        self.desktop.xdotool("mousemove", grab_x, grab_y, "mousedown", 1)
        # Several steps, so that the window manager sees a drag rather than a click.
        for step in range(1, 6):
            self.desktop.xdotool("mousemove", grab_x + dx * step // 5,
                                 grab_y + dy * step // 5)
        self.desktop.xdotool("mouseup", 1)

    def activate(self):
        self.desktop.xdotool("windowactivate", "--sync", self.id)

    def close_by_window_manager(self):
        """Asks the window manager to close the window, as its close button or menu does."""
        self.desktop.output(["wmctrl", "-i", "-c", hex(self.id)])
