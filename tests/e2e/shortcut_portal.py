#!/usr/bin/python3
"""A desktop portal for the tests with only the GlobalShortcuts interface,
as KDE Plasma's portal offers it: sessions are created and shortcuts bound
at once (a desktop would let the user choose the key), the bound shortcuts
are written to a file, one line "SESSION ID DESCRIPTION" each, and the
test's own method Press(session, id) stands for the user pressing the key.

  shortcut_portal.py BOUND_FILE
"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
REQUEST = "org.freedesktop.portal.Request"
TEST = "org.tirelma.Test"


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus, bound_file):
        super().__init__(bus, PATH)
        self.bus = bus
        self.bound_file = bound_file
        self.requests = []

    def answer(self, sender, token, results):
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)
        self.requests.append(request)
        # Answered once the caller has its reply, as a portal does.
        GLib.timeout_add(50, lambda: request.Response(dbus.UInt32(0), results) and False)
        return dbus.ObjectPath(path)

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        session = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"),
                                        options["session_handle_token"])
        return self.answer(sender, options["handle_token"],
                           dbus.Dictionary({"session_handle": dbus.String(session)}, signature="sv"))

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent_window, options, sender=None):
        with open(self.bound_file, "a") as f:
            for shortcut_id, props in shortcuts:
                f.write("%s %s %s\n" % (session, shortcut_id, props.get("description", "")))
        return self.answer(sender, options["handle_token"],
                           dbus.Dictionary({"shortcuts": shortcuts}, signature="sv"))

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, options):
        pass

    @dbus.service.method(TEST, in_signature="os", out_signature="")
    def Press(self, session, shortcut_id):
        self.Activated(session, shortcut_id, dbus.UInt64(0), dbus.Dictionary({}, signature="sv"))

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return dbus.UInt32(1)


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(PORTAL, bus)  # noqa: F841 (kept while the loop runs)
    Portal(bus, sys.argv[1])
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
