#!/usr/bin/python3
"""Reads the program's windows through the accessibility bus, as a screen
reader would.

  atspi.py texts PID        every label, text box and message text, one per line
  atspi.py text PID NAME    the contents of the text box labelled NAME
  atspi.py where PID NAME [ITEM]
                            "x y width height" on the screen of the object
                            named NAME (of its item ITEM, for a list)
  atspi.py showing PID NAME  "yes" when an object named NAME is on the
                            screen, else "no"
  atspi.py focused PID       the object that has the keyboard: its role,
                            name, text (of a text box) and description, one
                            per line; nothing when none has
  atspi.py outside PID WINDOW X Y W H
                            every control showing in the window titled
                            WINDOW that is not wholly inside the rectangle
                            (list entries and what a scrolling view holds
                            are content, not controls); nothing when all are
"""
import sys

import pyatspi


def app_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, -1)
    except NotImplementedError:
        return None


def controls(node, depth=0):
    """The showing objects below node, not entering list entries or the
    magnified picture, which scroll inside their controls."""
    if node is None or depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None or child.getRoleName() in ("list item",) or child.name == "拡大画像":
            continue
        if child.getState().contains(pyatspi.STATE_SHOWING):
            yield child
        yield from controls(child, depth + 1)


def main():
    pyatspi.Registry  # noqa: B018 (starts the registry)
    what, pid = sys.argv[1], int(sys.argv[2])
    app = app_of(pid)
    if app is None:
        # Said, so that a check of what is missing does not pass for want of a program.
        print("no program", pid, "on the accessibility bus", file=sys.stderr)
        sys.exit(2)
    if what == "outside":
        title, box = sys.argv[3], [int(v) for v in sys.argv[4:8]]
        frame = next((n for n in walk(app) if n.getRoleName() in ("frame", "dialog") and n.name == title), None)
        if frame is None:
            print("no window", title)
            return
        for node in controls(frame):
            e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if e.width <= 0 or e.height <= 0:
                continue
            if e.x < box[0] or e.y < box[1] or e.x + e.width > box[0] + box[2] or e.y + e.height > box[1] + box[3]:
                print(node.getRoleName(), node.name or "-", e.x, e.y, e.width, e.height)
        return
    if what == "focused":
        # What a screen reader says when the focus arrives.
        node = next((n for n in walk(app) if n.getState().contains(pyatspi.STATE_FOCUSED)), None)
        if node is not None:
            print(node.getRoleName())
            print(node.name)
            print(text_of(node) or "")
            print(node.description.replace("\n", " "))
        return
    if what == "showing":
        shown = any(n.name == sys.argv[3] and n.getState().contains(pyatspi.STATE_SHOWING) for n in walk(app))
        print("yes" if shown else "no")
        return
    for node in walk(app):
        role = node.getRoleName()
        if what == "texts":
            if role in ("label", "alert", "text", "dialog") and node.name:
                print(node.name)
            elif role == "text":
                print(text_of(node) or "")
        elif what == "text" and role == "text" and node.name == sys.argv[3]:
            print(text_of(node) or "")
            return
        elif what == "press" and node.name == sys.argv[3] and role in ("push button", "menu item"):
            # A press that opens a modal window returns only when it closes.
            pyatspi.setTimeout(300, 300)
            try:
                node.queryAction().doAction(0)
            except Exception:  # noqa: BLE001 (the timeout of a modal press)
                pass
            return
        elif what == "where" and node.name == sys.argv[3] and role not in ("label",):
            target = node
            if len(sys.argv) > 4:
                target = next((n for n in walk(node) if n is not node and n.name == sys.argv[4]), None)
                if target is None:
                    continue
            e = target.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(e.x, e.y, e.width, e.height)
            return


if __name__ == "__main__":
    main()
