"""A private X desktop for the end-to-end tests and the benchmarks.

Desktop starts a virtual X server (Xvfb) on a free display, a private D-Bus session bus with the
accessibility bus beside it, and the IceWM window manager with its task bar and notification
area. Everything it starts runs in process groups of its own and is ended by close(), or at the
latest when the Python process exits. Nothing here waits a fixed time: every wait polls a
condition until it holds or a timeout expires.
"""

import atexit
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# Display numbers from this one upwards; lower numbers are left to people's own desktops.
FIRST_DISPLAY = 60
LAST_DISPLAY = 199

# Keys that a virtual keyboard does not have in practice (multimedia and launcher keys); the
# Russian letters are bound to them.
FIRST_CYRILLIC_KEYCODE = 180

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768


class WaitTimeout(AssertionError):
    """A condition did not come true in time; a test failure, not an error of the harness."""


def wait_until(condition, timeout, what, interval=0.02):
    """Polls condition() until it returns something true and returns that; fails after timeout
    seconds with a message that says what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise WaitTimeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def _ready_line(pipe, timeout):
    """The first line that a child writes to pipe, or None if it closes the pipe or stays
    silent for timeout seconds."""
    deadline = time.monotonic() + timeout
    data = b""
    while b"\n" not in data:
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            return None
        readable, _, _ = select.select([pipe], [], [], remaining)
        if not readable:
            return None
        chunk = os.read(pipe, 4096)
        if not chunk:
            return None
        data += chunk
    return data.split(b"\n", 1)[0].decode().strip()


class Desktop:
    """Xvfb, a D-Bus session with the accessibility bus, and IceWM (unless a test starts a window
    manager of its own), with or without a notification area, ready when constructed."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, window_manager=True, tray=True):
        self._children = []
        self.home = tempfile.mkdtemp(prefix="zumzik-desktop-")
        atexit.register(self.close)
        try:
            self.display = self._start_x_server(width, height)
            self.env = self._private_environment()
            self._start_session_bus()
            self._start_accessibility_bus()
            self._bind_cyrillic_keys()
            if window_manager:
                self._start_window_manager(tray)
        except BaseException:
            self.close()
            raise

    # -- starting and ending ------------------------------------------------------------------

    def _spawn(self, argv, env=None, **kwargs):
        process = subprocess.Popen(argv, env=env, start_new_session=True, **kwargs)
        self._children.append(process)
        return process

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
            announced = _ready_line(read_end, 20)
            os.close(read_end)
            if announced == str(number):
                self.width, self.height = width, height
                return f":{number}"
            self._stop(server)
        raise RuntimeError("no free X display between :%d and :%d" % (FIRST_DISPLAY, LAST_DISPLAY))

    def _private_environment(self):
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("DBUS_", "XDG_", "WAYLAND_", "QT_", "AT_SPI"))}
        runtime = os.path.join(self.home, "runtime")
        os.mkdir(runtime, 0o700)
        env.update(DISPLAY=self.display, HOME=self.home, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                   XDG_DATA_HOME=os.path.join(self.home, "data"),
                   LANG="C.UTF-8", LC_ALL="C.UTF-8")
        env.pop("XAUTHORITY", None)
        return env

    def _start_session_bus(self):
        read_end, write_end = os.pipe()
        self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                     f"--print-address={write_end}"],
                    env=self.env, pass_fds=(write_end,), stdout=subprocess.DEVNULL)
        os.close(write_end)
        address = _ready_line(read_end, 20)
        os.close(read_end)
        if not address:
            raise RuntimeError("the D-Bus session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _start_accessibility_bus(self):
        launcher = shutil.which("at-spi-bus-launcher") or "/usr/libexec/at-spi-bus-launcher"
        self._spawn([launcher, "--launch-immediately"], env=self.env,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The launcher announces the accessibility bus on the root window once it runs.
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

    @staticmethod
    def _stop(process, timeout=5):
        if process.poll() is not None:
            return
        try:
            os.killpg(process.pid, signal.SIGTERM)
        except ProcessLookupError:
            return
        try:
            process.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    def close(self):
        """Ends every process that the desktop started, the latest first."""
        while self._children:
            self._stop(self._children.pop())
        shutil.rmtree(self.home, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # -- running programs ---------------------------------------------------------------------

    def spawn(self, argv, cwd=None, env=None, **kwargs):
        """Starts a program on this desktop; close() ends it if nobody else did."""
        return self._spawn(argv, env=dict(self.env, **(env or {})), cwd=cwd, **kwargs)

    def output(self, argv, check=True):
        """The standard output of a short command run on this desktop."""
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{argv[0]} failed: {result.stderr.strip()}")
        return result.stdout

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
        return self.desktop.xdotool("getwindowname", self.id).rstrip("\n")

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
