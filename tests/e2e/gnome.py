"""A private GNOME Shell session without a screen, for the end-to-end tests.

GnomeSession runs gnome-shell --headless --wayland on a virtual monitor, with XWayland beside it,
as Ubuntu's desktop runs it: with the AppIndicator extension, whose top bar shows
StatusNotifierItems, or without it, as Debian's and Fedora's GNOME comes. Both WAYLAND_DISPLAY and
DISPLAY are set for the programs that it starts; no QT_QPA_PLATFORM is set.

The shell wants a system bus with an owner of org.freedesktop.login1 on it: the session starts a
bus of its own for that (named to the shell by DBUS_SYSTEM_BUS_ADDRESS, so the machine's system
bus is left alone) and a process that owns the name. A small extension of the tests' own turns
on the shell's unsafe mode, in which org.gnome.Shell.Eval and the screenshot interface answer:
the tests read windows and the top bar through Eval, minimise windows, and click with a virtual
pointer made there, real pointer input that reaches the top bar as a hand's would.
"""

import ast
import hashlib
import json
import os
import subprocess
import textwrap
import unittest

from session import Session, ready_line, wait_until
from zumzik import START_TIMEOUT, TIMEOUT, Zumzik

WIDTH, HEIGHT = 1280, 800
APPINDICATOR = "ubuntu-appindicators@ubuntu.com"
UNSAFE_MODE = "zumzik-e2e-unsafe-mode@zumzik.example"

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
"""

LOGIN_MANAGER = """
import sys
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib
DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(sys.argv[1])
name = dbus.service.BusName("org.freedesktop.login1", bus)
print("ready", flush=True)
GLib.MainLoop().run()
"""

UNSAFE_MODE_EXTENSION = """
function init() {}
function enable() { global.context.unsafe_mode = true; }
function disable() { global.context.unsafe_mode = false; }
"""

# Shell-side helpers that every Eval call can use: the windows of a process, and one pointer
# device that lives as long as the shell.
PRELUDE = """
const { Clutter, Meta } = imports.gi;
const Main = imports.ui.main;
function windowsOf(pid) {
    return global.get_window_actors().map(a => a.meta_window)
        .filter(w => w.get_pid() === pid && w.get_window_type() === Meta.WindowType.NORMAL);
}
function describe(w) {
    const f = w.get_frame_rect(), b = w.get_buffer_rect();
    return {title: w.get_title(), minimized: w.minimized, focus: w.has_focus(),
            shown: w.showing_on_its_workspace() && !w.minimized,
            frame: [f.x, f.y, f.width, f.height],
            client: (() => { const c = w.frame_rect_to_client_rect(f);
                             return [c.x, c.y, c.width, c.height]; })(),
            buffer: [b.x, b.y, b.width, b.height]};
}
function pointer() {
    if (!global._zumzikPointer)
        global._zumzikPointer = Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
    return global._zumzikPointer;
}
"""


class GnomeWindow:
    """One window as the shell describes it."""

    def __init__(self, fields):
        self.title = fields["title"]
        self.minimized = fields["minimized"]
        self.focus = fields["focus"]
        self.shown = fields["shown"]
        self.frame = tuple(fields["frame"])
        self.client = tuple(fields["client"])

    def __repr__(self):
        return (f"GnomeWindow(title={self.title!r}, minimized={self.minimized}, "
                f"focus={self.focus}, shown={self.shown}, frame={self.frame}, "
                f"client={self.client})")


class GnomeSession(Session):
    """gnome-shell --headless with XWayland, ready when constructed; with the AppIndicator
    extension when appindicator is true."""

    def __init__(self, appindicator):
        super().__init__("zumzik-gnome-")
        try:
            self._start_system_bus()
            self._start_session_bus()
            self._configure(appindicator)
            self._start_shell()
            self._start_accessibility_bus()
        except BaseException:
            self.close()
            raise

    def _start_system_bus(self):
        config = os.path.join(self.home, "system-bus.conf")
        socket = os.path.join(self.home, "system_bus_socket")
        with open(config, "w") as file:
            file.write(BUS_CONFIG.format(socket=socket))
        self._spawn(["dbus-daemon", f"--config-file={config}", "--nofork", "--nopidfile"],
                    env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(socket), 20, "the session's system bus")
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = f"unix:path={socket}"
        read_end, write_end = os.pipe()
        self._spawn(["/usr/bin/python3", "-c", LOGIN_MANAGER, self.env["DBUS_SYSTEM_BUS_ADDRESS"]],
                    env=self.env, stdout=write_end, stderr=subprocess.DEVNULL)
        os.close(write_end)
        ready = ready_line(read_end, 20)
        os.close(read_end)
        if ready != "ready":
            raise RuntimeError("nothing took org.freedesktop.login1 on the session's system bus")

    def _configure(self, appindicator):
        folder = os.path.join(self.env["XDG_DATA_HOME"], "gnome-shell", "extensions", UNSAFE_MODE)
        os.makedirs(folder)
        with open(os.path.join(folder, "metadata.json"), "w") as metadata:
            json.dump({"uuid": UNSAFE_MODE, "name": "Unsafe mode for the tests",
                       "description": "Lets the end-to-end tests use Eval.",
                       "shell-version": ["43"]}, metadata)
        with open(os.path.join(folder, "extension.js"), "w") as script:
            script.write(UNSAFE_MODE_EXTENSION)
        extensions = [UNSAFE_MODE] + ([APPINDICATOR] if appindicator else [])
        for schema, key, value in [
                ("org.gnome.shell", "disable-user-extensions", "false"),
                ("org.gnome.shell", "enabled-extensions", repr(extensions)),
                ("org.gnome.shell", "welcome-dialog-last-shown-version", "'99'"),
                ("org.gnome.desktop.session", "idle-delay", "uint32 0"),
                ("org.gnome.desktop.screensaver", "lock-enabled", "false"),
                ("org.gnome.desktop.interface", "enable-animations", "false")]:
            self.output(["gsettings", "set", schema, key, value])

    def _start_shell(self):
        self.log = os.path.join(self.home, "gnome-shell.log")
        env = dict(self.env, XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP="GNOME")
        with open(self.log, "wb") as log:
            self._spawn(["gnome-shell", "--headless", "--wayland", "--virtual-monitor",
                         f"{WIDTH}x{HEIGHT}"], env=env, stdout=log, stderr=subprocess.STDOUT)

        def unsafe():
            return self.eval_raw("global.context.unsafe_mode", check=False) == "true"
        wait_until(unsafe, 90, "GNOME Shell in unsafe mode")
        # The shell starts in the overview, where no window takes the keyboard; a user leaves it
        # by the first key or click.
        wait_until(lambda: self.eval("Main.layoutManager._startingUp ? false : "
                                     "(Main.overview.hide(), !Main.overview.visible)"),
                   30, "the shell to leave the overview")
        display = wait_until(lambda: self.eval("imports.gi.GLib.getenv('DISPLAY') || ''"), 30,
                             "XWayland")
        runtime = self.env["XDG_RUNTIME_DIR"]
        authority = wait_until(
            lambda: next((os.path.join(runtime, name) for name in os.listdir(runtime)
                          if name.startswith(".mutter-Xwaylandauth")), None),
            30, "XWayland's authority file")
        self.env.update(XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP="GNOME",
                        WAYLAND_DISPLAY=self.eval("imports.gi.GLib.getenv('WAYLAND_DISPLAY')"),
                        DISPLAY=display, XAUTHORITY=authority)
        self.display = display
        self.width, self.height = WIDTH, HEIGHT

    # -- the shell's own view -----------------------------------------------------------------

    def eval_raw(self, code, check=True):
        """What the shell's Eval gives for code: its result as a string, or None when it
        failed (raises instead when check is true)."""
        result = subprocess.run(
            ["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
             "/org/gnome/Shell", "--method", "org.gnome.Shell.Eval", PRELUDE + code],
            env=self.env, capture_output=True, text=True, timeout=30)
        # gdbus prints (true, 'result') with the result quoted as a GVariant string.
        output = result.stdout.strip()
        ok = result.returncode == 0 and output.startswith("(true, ")
        if not ok:
            if check:
                raise RuntimeError(f"Eval failed: {output or result.stderr.strip()}")
            return None
        return ast.literal_eval(output[len("(true, "):-1])

    def eval(self, code):
        """The value that code (an expression) gives in the shell, through JSON; None for
        undefined."""
        result = self.eval_raw(code)
        return json.loads(result) if result else None

    def windows(self, pid):
        """The normal windows of a process that the shell manages, shown or minimised."""
        return [GnomeWindow(f) for f in self.eval(f"windowsOf({int(pid)}).map(describe)")]

    def in_alt_tab(self, pid):
        """Whether a window of the process is among those that Alt+Tab offers."""
        return self.eval(f"global.display.get_tab_list(Meta.TabList.NORMAL, null)"
                         f".some(w => w.get_pid() === {int(pid)})")

    def minimise(self, pid):
        """Minimises the windows of a process, as their title bar's button does."""
        self.eval(f"windowsOf({int(pid)}).forEach(w => w.minimize())")

    def unminimise(self, pid):
        """Brings them back as a click in the overview or the dash does."""
        self.eval(f"windowsOf({int(pid)}).forEach(w => w.activate(global.get_current_time()))")

    def tray_items(self):
        """Where the AppIndicator extension shows items in the top bar: (x, y, width, height) of
        each, from left to right."""
        return self.eval("""Object.keys(Main.panel.statusArea)
            .filter(k => k.startsWith('appindicator-') && Main.panel.statusArea[k])
            .map(k => Main.panel.statusArea[k])
            .filter(a => a.visible && a.get_stage())
            .map(a => { const [x, y] = a.get_transformed_position();
                        const [w, h] = a.get_transformed_size();
                        return [Math.round(x), Math.round(y), Math.round(w), Math.round(h)]; })
            .sort((p, q) => p[0] - q[0])""")

    def menu_open(self):
        """Whether a menu of the top bar is open."""
        return self.eval("!!Main.panel.menuManager.activeMenu")

    def picture(self, area):
        """A digest of what the screen shows in area (x, y, width, height) right now."""
        path = os.path.join(self.home, "area.png")
        x, y, width, height = area
        self.output(["gdbus", "call", "--session", "--dest", "org.gnome.Shell.Screenshot",
                     "--object-path", "/org/gnome/Shell/Screenshot", "--method",
                     "org.gnome.Shell.Screenshot.ScreenshotArea", str(x), str(y), str(width),
                     str(height), "false", path])
        with open(path, "rb") as png:
            return hashlib.sha1(png.read()).hexdigest()

    def click(self, x, y, button):
        """A real click at (x, y) on the screen through the shell's virtual pointer; the
        pointer comes from beside the point, as a hand moves it."""
        self.eval(textwrap.dedent(f"""(() => {{
            const p = pointer(), t = imports.gi.GLib.get_monotonic_time();
            p.notify_absolute_motion(t, {x - 3}, {y});
            p.notify_absolute_motion(t + 1000, {x}, {y});
            p.notify_button(t + 2000, {int(button)}, Clutter.ButtonState.PRESSED);
            p.notify_button(t + 3000, {int(button)}, Clutter.ButtonState.RELEASED);
            return true; }})()"""))

    def key(self, keyval):
        """A key stroke of the shell's virtual keyboard, such as Escape for an open menu."""
        self.eval(textwrap.dedent(f"""(() => {{
            if (!global._zumzikKeyboard)
                global._zumzikKeyboard = Clutter.get_default_backend().get_default_seat()
                    .create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
            const k = global._zumzikKeyboard, t = imports.gi.GLib.get_monotonic_time();
            k.notify_keyval(t, Clutter.KEY_{keyval}, Clutter.KeyState.PRESSED);
            k.notify_keyval(t + 1000, Clutter.KEY_{keyval}, Clutter.KeyState.RELEASED);
            return true; }})()"""))

    def errors(self):
        """The JavaScript errors and the extension's warnings in the shell's log."""
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return [line.strip() for line in log
                    if "JS ERROR" in line or "While initalizing proxy" in line
                    or "UnknownProperty" in line]


class GnomeTestCase(unittest.TestCase):
    """Tests that share one GNOME Shell per module, with the AppIndicator extension or without
    it as APPINDICATOR says, and start the program afresh for every test."""

    APPINDICATOR = True
    session = None

    @classmethod
    def setUpClass(cls):
        cls.session = GnomeSession(appindicator=cls.APPINDICATOR)
        # The accessibility client connects to the buses that the environment names.
        for variable in ("DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS"):
            os.environ[variable] = cls.session.env[variable]

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def start(self):
        """The program, once the shell shows its main window."""
        # The top bar drops an item a moment after its program has gone; the next test starts
        # with none.
        self.addCleanup(lambda: wait_until(lambda: not self.session.tray_items(), TIMEOUT,
                                           "the item to leave with its program"))
        program = Zumzik(self.session, show_main_window=False)
        self.addCleanup(program.close)
        wait_until(lambda: self.shown(program), START_TIMEOUT, "the main window in GNOME Shell")
        return program

    def shown(self, program):
        """The program's main window while it is on the screen, or None."""
        return next((w for w in self.session.windows(program.process.pid) if w.shown), None)

    def wait_until_in_front(self, program):
        """The main window, once it is back on the screen with the keyboard focus."""
        def in_front():
            window = self.shown(program)
            return window if window is not None and window.focus else None
        return wait_until(in_front, TIMEOUT, "the main window back in front with the focus")

    def assert_input_has_the_focus(self, program, text="Vasya"):
        """Types without a click first: the letters reach the input field only if it has the
        keyboard focus."""
        field = program.control("text", "Ваша реплика")
        field.queryEditableText().setTextContents("")
        self.session.output(["xdotool", "type", "--clearmodifiers", "--delay", "15", text])
        wait_until(lambda: program.input_text() == text, TIMEOUT, "typing into the input field")

    def assert_same_place(self, window, before):
        """The window lies where it lay before, frame and client area, within a pixel."""
        for now, then in ((window.frame, before.frame), (window.client, before.client)):
            self.assertLessEqual(max(abs(a - b) for a, b in zip(now, then)), 1,
                                 f"now {window}, before {before}")
