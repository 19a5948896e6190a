"""Real pointer input for a wlroots compositor (sway) through the zwlr_virtual_pointer_v1
protocol, spoken directly on the Wayland socket.

The compositor treats the virtual pointer as one more mouse of the seat: its motion moves the
cursor, and its button presses reach whatever surface lies under the cursor, a panel's tray item
included. The device lives as long as the connection, so a press and its release come from the
same mouse, as they would from a hand.

Only what that needs of the wire protocol is here: requests are written as they are laid out
on the socket (object id, size and opcode, then the arguments in 32-bit words), and events are
read only to learn the globals and to know when the compositor has dealt with the requests.
"""

import os
import socket
import struct
import time

# Requests by opcode, as the protocols number them.
DISPLAY_SYNC, DISPLAY_GET_REGISTRY = 0, 1
REGISTRY_BIND = 0
MANAGER_CREATE_VIRTUAL_POINTER = 0
POINTER_MOTION_ABSOLUTE, POINTER_BUTTON, POINTER_FRAME, POINTER_DESTROY = 1, 2, 4, 8
# Events by opcode.
DISPLAY_ERROR = 0
REGISTRY_GLOBAL = 0
CALLBACK_DONE = 0

MANAGER = "zwlr_virtual_pointer_manager_v1"
SEAT = "wl_seat"

# Linux input event codes of the mouse buttons.
BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # left, middle, right
PRESSED, RELEASED = 1, 0


def _string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class VirtualPointer:
    """One virtual mouse on the compositor's default seat."""

    def __init__(self, socket_path, width, height, timeout=10):
        self.width, self.height = width, height
        self._socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._socket.settimeout(timeout)
        self._socket.connect(socket_path)
        self._buffer = b""
        self._next_id = 2  # 1 is the display
        self._globals = {}
        registry = self._new_id()
        self._send(1, DISPLAY_GET_REGISTRY, struct.pack("<I", registry))
        self._round_trip(on_event=lambda obj, opcode, body: self._global(registry, obj,
                                                                         opcode, body))
        if MANAGER not in self._globals:
            raise RuntimeError(f"the compositor does not offer {MANAGER}")
        manager = self._bind(registry, MANAGER, 1)
        seat = self._bind(registry, SEAT, 1)
        self._pointer = self._new_id()
        self._send(manager, MANAGER_CREATE_VIRTUAL_POINTER,
                   struct.pack("<II", seat, self._pointer))
        self._round_trip()
        self._time = 0

    def close(self):
        try:
            self._send(self._pointer, POINTER_DESTROY, b"")
        except OSError:
            pass  # the compositor has gone already
        self._socket.close()

    # -- what the tests use -------------------------------------------------------------------

    def move(self, x, y):
        """Moves the cursor to (x, y) on the screen; returns once the compositor has done so."""
        self._send(self._pointer, POINTER_MOTION_ABSOLUTE,
                   struct.pack("<IIIII", self._timestamp(), x, y, self.width, self.height))
        self._send(self._pointer, POINTER_FRAME, b"")
        self._round_trip()

    def press(self, button, pressed=True):
        """Presses or releases a button (1 left, 2 middle, 3 right) where the cursor is."""
        self._send(self._pointer, POINTER_BUTTON,
                   struct.pack("<III", self._timestamp(), BUTTONS[button],
                               PRESSED if pressed else RELEASED))
        self._send(self._pointer, POINTER_FRAME, b"")
        self._round_trip()

    # -- the wire -----------------------------------------------------------------------------

    def _timestamp(self):
        self._time = max(self._time + 1, int(time.monotonic() * 1000) & 0xFFFFFFFF)
        return self._time

    def _new_id(self):
        self._next_id += 1
        return self._next_id - 1

    def _send(self, obj, opcode, arguments):
        size = 8 + len(arguments)
        self._socket.sendall(struct.pack("<II", obj, size << 16 | opcode) + arguments)

    def _bind(self, registry, interface, version):
        if interface not in self._globals:
            raise RuntimeError(f"the compositor does not offer {interface}")
        new = self._new_id()
        self._send(registry, REGISTRY_BIND, struct.pack("<I", self._globals[interface])
                   + _string(interface) + struct.pack("<II", version, new))
        return new

    def _global(self, registry, obj, opcode, body):
        if obj == registry and opcode == REGISTRY_GLOBAL:
            name, length = struct.unpack_from("<II", body)
            interface = body[8:8 + length - 1].decode()
            self._globals.setdefault(interface, name)

    def _round_trip(self, on_event=None):
        """Asks the compositor for a callback and reads events until it comes: everything sent
        before has been handled by then."""
        callback = self._new_id()
        self._send(1, DISPLAY_SYNC, struct.pack("<I", callback))
        while True:
            obj, opcode, body = self._event()
            if obj == callback and opcode == CALLBACK_DONE:
                return
            if obj == 1 and opcode == DISPLAY_ERROR:
                _, code, length = struct.unpack_from("<III", body)
                raise RuntimeError(f"Wayland protocol error {code}: "
                                   f"{body[12:12 + length - 1].decode(errors='replace')}")
            if on_event:
                on_event(obj, opcode, body)

    def _event(self):
        while True:
            if len(self._buffer) >= 8:
                obj, word = struct.unpack_from("<II", self._buffer)
                size = word >> 16
                if len(self._buffer) >= size:
                    body = self._buffer[8:size]
                    self._buffer = self._buffer[size:]
                    return obj, word & 0xFFFF, body
            chunk = self._socket.recv(65536)
            if not chunk:
                raise RuntimeError("the compositor closed the Wayland connection")
            self._buffer += chunk


def socket_path(env):
    """The Wayland socket that an environment names."""
    display = env.get("WAYLAND_DISPLAY", "wayland-0")
    return display if os.path.isabs(display) else os.path.join(env["XDG_RUNTIME_DIR"], display)
