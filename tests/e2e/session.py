"""What every private desktop session of the end-to-end tests shares.

A Session owns a temporary home folder that stands in for the user's, an environment that
points every desktop variable into it, a private D-Bus session bus, and the processes that it
starts: each in a process group of its own, ended by close() (the latest first), or at the
latest when the Python process exits. Nothing here waits a fixed time: every wait polls a
condition until it holds or a timeout expires.
"""

import atexit
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

ACCESSIBILITY_BUS = "org.a11y.Bus"


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


def ready_line(pipe, timeout):
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


class Session:
    """A temporary home, the private environment and the processes of one test session."""

    def __init__(self, prefix):
        self._children = []
        self.home = tempfile.mkdtemp(prefix=prefix)
        atexit.register(self.close)
        self.env = self._private_environment()

    def _private_environment(self):
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("DBUS_", "XDG_", "WAYLAND_", "QT_", "AT_SPI", "DISPLAY",
                                      "XAUTHORITY", "SWAYSOCK", "I3SOCK"))}
        runtime = os.path.join(self.home, "runtime")
        os.mkdir(runtime, 0o700)
        env.update(HOME=self.home, XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                   XDG_DATA_HOME=os.path.join(self.home, "data"),
                   LANG="C.UTF-8", LC_ALL="C.UTF-8")
        return env

    # -- starting and ending ------------------------------------------------------------------

    def _spawn(self, argv, env=None, **kwargs):
        process = subprocess.Popen(argv, env=env, start_new_session=True, **kwargs)
        self._children.append(process)
        return process

    def _start_session_bus(self, config=None):
        """A private session bus; with config, a bus configuration file of the session's own
        instead of the standard one."""
        read_end, write_end = os.pipe()
        self._spawn(["dbus-daemon", f"--config-file={config}" if config else "--session",
                     "--nofork", "--nopidfile", f"--print-address={write_end}"],
                    env=self.env, pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        os.close(write_end)
        address = ready_line(read_end, 20)
        os.close(read_end)
        if not address:
            raise RuntimeError("the D-Bus session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _start_accessibility_bus(self):
        """The accessibility bus, announced on the session bus (where the toolkits and the
        tests' AT-SPI client look for it when no X root window names it)."""
        launcher = shutil.which("at-spi-bus-launcher") or "/usr/libexec/at-spi-bus-launcher"
        self._spawn([launcher, "--launch-immediately"], env=self.env,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self.has_bus_name(ACCESSIBILITY_BUS), 20, "the accessibility bus")

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

    def stop(self, process):
        """Ends one process that the session started, before the session ends."""
        self._stop(process)
        if process in self._children:
            self._children.remove(process)

    def close(self):
        """Ends every process that the session started, the latest first."""
        while self._children:
            self._stop(self._children.pop())
        shutil.rmtree(self.home, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # -- running programs ---------------------------------------------------------------------

    def spawn(self, argv, cwd=None, env=None, **kwargs):
        """Starts a program in this session; close() ends it if nobody else did."""
        return self._spawn(argv, env=dict(self.env, **(env or {})), cwd=cwd, **kwargs)

    def output(self, argv, check=True):
        """The standard output of a short command run in this session."""
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{argv[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def has_bus_name(self, name):
        """Whether some connection owns name on the session bus."""
        reply = self.output(["dbus-send", "--session", "--print-reply",
                             "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus.NameHasOwner", f"string:{name}"], check=False)
        return "boolean true" in reply
