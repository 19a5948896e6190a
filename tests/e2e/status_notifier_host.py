#!/usr/bin/python3
"""A notification area over StatusNotifierItem for the end-to-end tests: the watcher and one
host in one process, as a desktop panel provides them.

    status_notifier_host.py LOG

owns org.kde.StatusNotifierWatcher on the session bus, registers its own host, and writes what
happens as one JSON object a line to LOG, each with the time of CLOCK_MONOTONIC ("t"):

- {"event": "ready"} once the watcher's name is owned (also printed on standard output);
- {"event": "register", "service": S, "path": P} for every RegisterStatusNotifierItem call;
- {"event": "unregister", "service": S} when a registered item's connection leaves the bus;
- {"event": "new_icon", "service": S} for every NewIcon signal of a registered item, after
  which the host reads the item's IconPixmap again, as panels do, and writes
  {"event": "icon", "service": S, "bytes": N} with the pixel bytes it got.

The watcher answers Introspect with its properties, since toolkits read
IsStatusNotifierHostRegistered through introspection before they trust a watcher. It runs until
it is ended by a signal; its names then leave the bus.
"""

import json
import os
import signal
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
ITEM_PATH = "/StatusNotifierItem"

INTROSPECTION = f"""<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="{WATCHER}">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/><arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="values" type="a{{sv}}" direction="out"/>
    </method>
    <signal name="PropertiesChanged">
      <arg type="s"/><arg type="a{{sv}}"/><arg type="as"/>
    </signal>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
  </interface>
</node>
"""


class Log:
    def __init__(self, path):
        self._file = open(path, "a", buffering=1)

    def write(self, event, **fields):
        self._file.write(json.dumps(dict(t=time.monotonic(), event=event, **fields)) + "\n")


class Watcher(dbus.service.Object):
    """org.kde.StatusNotifierWatcher with the host built in."""

    def __init__(self, bus, log):
        super().__init__(bus, "/StatusNotifierWatcher")
        self._bus = bus
        self._log = log
        self._items = {}  # "service/path" -> the bus name whose leaving ends the item
        self._watches = {}
        bus.add_signal_receiver(self._name_owner_changed, "NameOwnerChanged",
                                "org.freedesktop.DBus", "org.freedesktop.DBus",
                                "/org/freedesktop/DBus")
        bus.add_signal_receiver(self._new_icon, "NewIcon", ITEM, sender_keyword="sender",
                                path_keyword="path")

    # -- the watcher's interface --------------------------------------------------------------

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender):
        # Items name either a bus name (their object then lies at the usual path) or a path on
        # the caller's own connection.
        if service.startswith("/"):
            name, path = sender, service
        else:
            name, path = service, ITEM_PATH
        owner = self._bus.get_name_owner(name) if not name.startswith(":") else name
        self._log.write("register", service=str(name), path=str(path), owner=str(owner))
        key = f"{name}{path}"
        if key not in self._items:
            self._items[key] = str(owner)
        self.StatusNotifierItemRegistered(key)
        self._read_icon(name, path)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    def _properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self._items.keys(), signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self._properties()[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self._properties() if interface == WATCHER else {}

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    # -- the host -----------------------------------------------------------------------------

    def _name_owner_changed(self, name, old_owner, new_owner):
        # An item ends when its bus name is released or its connection leaves the bus.
        if new_owner:
            return
        for key, owner in list(self._items.items()):
            if name in (owner, key.split("/", 1)[0]):
                del self._items[key]
                self._log.write("unregister", service=key.split("/", 1)[0])
                self.StatusNotifierItemUnregistered(key)

    def _item_of(self, sender, path):
        for key, owner in self._items.items():
            if owner == sender and key.endswith(path):
                return key.split("/", 1)[0]
        return None

    def _new_icon(self, sender=None, path=None):
        service = self._item_of(sender, path)
        if service is None:
            return
        self._log.write("new_icon", service=service)
        self._read_icon(sender, path, service)

    def _read_icon(self, name, path, service=None):
        """Reads the icon's pixels as a panel does to show them, without waiting for them."""
        def got(pixmaps):
            self._log.write("icon", service=str(service or name),
                            bytes=sum(len(pixmap[2]) for pixmap in pixmaps))

        def failed(error):
            self._log.write("icon_error", service=str(service or name), error=str(error))
        self._bus.call_async(name, path, dbus.PROPERTIES_IFACE, "Get", "ss",
                             (ITEM, "IconPixmap"), got, failed)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    log = Log(sys.argv[1])
    watcher = Watcher(bus, log)
    # The host is there before the watcher's name appears: whoever sees the watcher arrive finds
    # a host registered at once.
    host = dbus.service.BusName(f"org.kde.StatusNotifierHost-{os.getpid()}", bus)
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    watcher.StatusNotifierHostRegistered()
    log.write("ready")
    print("ready", flush=True)
    loop = GLib.MainLoop()
    for number in (signal.SIGTERM, signal.SIGINT):
        GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, number, loop.quit)
    loop.run()
    del name, host


if __name__ == "__main__":
    main()
