#!/usr/bin/python3
"""Starts what the user's XDG autostart entries ask for, as a desktop
session does at sign-in: the entries of $XDG_CONFIG_HOME/autostart, then of
each folder of $XDG_CONFIG_DIRS (an entry of the same name in an earlier
folder wins); hidden ones and ones turned off in the desktop's settings are
left out; the rest are launched by GLib, as GNOME's session launches them.
Writes each entry it started to the file named by its argument (what the
programs it starts write goes to its own output, never there).
"""
import os
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402


def folders():
    home = os.environ.get("XDG_CONFIG_HOME", "")
    if not os.path.isabs(home):
        home = os.path.join(os.environ["HOME"], ".config")
    dirs = [home] + (os.environ.get("XDG_CONFIG_DIRS") or "/etc/xdg").split(":")
    return [os.path.join(d, "autostart") for d in dirs if os.path.isabs(d)]


def value(keyfile, key):
    try:
        return keyfile.get_string("Desktop Entry", key)
    except GLib.Error:
        return ""


def main():
    started = open(sys.argv[1], "w", encoding="utf-8")
    seen = set()
    for folder in folders():
        try:
            names = sorted(os.listdir(folder))
        except OSError:
            continue
        for name in names:
            if not name.endswith(".desktop") or name in seen:
                continue
            seen.add(name)
            path = os.path.join(folder, name)
            keyfile = GLib.KeyFile()
            keyfile.load_from_file(path, GLib.KeyFileFlags.NONE)
            if value(keyfile, "Hidden") == "true":
                continue
            if value(keyfile, "X-GNOME-Autostart-enabled") == "false":
                continue
            info = Gio.DesktopAppInfo.new_from_keyfile(keyfile)
            if info is not None and info.launch([], None):
                print(path, file=started, flush=True)


main()
