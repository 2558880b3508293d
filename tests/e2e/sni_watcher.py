#!/usr/bin/python3
"""A D-Bus notification area for the tests: a StatusNotifierWatcher with a
host registered, as KDE Plasma or GNOME's AppIndicator extension run it, on
the session bus. Every item that registers is written to a file, one line
"BUS_NAME OBJECT_PATH" each, so that the test can talk to it. With a second
file, the desktop's notification service too: each notification's summary
and body are written to it, one line "SUMMARY|BODY|TIMEOUT" each.

  sni_watcher.py ITEMS_FILE [NOTICES_FILE]
"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg type="s" direction="out"/></method>
 </interface>
</node>
"""


class Watcher(dbus.service.Object):
    def __init__(self, bus, items_file):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.items_file = items_file
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or only its object path on the sender.
        if service.startswith("/"):
            name, path = sender, service
        else:
            name, path = service, "/StatusNotifierItem"
        self.items.append(name + path)
        with open(self.items_file, "a") as f:
            f.write(f"{name} {path}\n")
        self.StatusNotifierItemRegistered(name + path)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    def props(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    # The properties too, which Qt looks for in the introspection data.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.props()[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.props()


class Notifications(dbus.service.Object):
    """org.freedesktop.Notifications as a desktop offers it, recording."""

    IFACE = "org.freedesktop.Notifications"

    def __init__(self, bus, notices_file):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.notices_file = notices_file
        self.next_id = 0

    @dbus.service.method(IFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.next_id += 1
        with open(self.notices_file, "a") as f:
            f.write(f"{summary}|{body}|{timeout}\n")
        return dbus.UInt32(self.next_id)

    @dbus.service.method(IFACE, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(IFACE, in_signature="u", out_signature="")
    def CloseNotification(self, notification):
        pass

    @dbus.service.method(IFACE, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("test", "tirelma", "1", "1.2")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus, sys.argv[1])
    # A host is there before the name appears, as on a running desktop.
    bus.request_name("org.kde.StatusNotifierHost-test")
    bus.request_name(WATCHER)
    watcher.StatusNotifierHostRegistered()
    if len(sys.argv) > 2:
        notifications = Notifications(bus, sys.argv[2])  # noqa: F841 (kept by the bus)
        bus.request_name(Notifications.IFACE)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
