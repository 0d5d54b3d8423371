#!/usr/bin/python3
"""What a screen reader learns of the running program, through the accessibility bus (AT-SPI,
pyatspi). Run with the system's python3: pyatspi comes from the Debian package.

  a11y.py wait                   wait until the program is on the bus
  a11y.py unnamed                print every control the keyboard can reach that has no name, or
                                 whose name is markup; exit 1 if there is one
  a11y.py items LIST             print "name<TAB>description<TAB>states" of every item of the
                                 showing list named LIST ("Tasks", "Groups")
  a11y.py focus KEY...           press each KEY (xdotool names) in turn, and print the name of
                                 every object that got the focus meanwhile, one a line
  a11y.py roles                  print "role<TAB>name" of every showing object

Exit status 1 when the program is not found within 20 s.
"""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APP = "Mirevo"


def application():
    deadline = time.time() + 20
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == APP:
                return app
        time.sleep(0.2)
    raise SystemExit("a11y.py: %s is not on the accessibility bus" % APP)


def has(node, state):
    return node.getState().contains(state)


def walk(node, showing_only=True):
    """Every object below node, depth first; only showing ones (and their children) by default."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if showing_only and not has(child, pyatspi.STATE_SHOWING):
            continue
        yield child
        yield from walk(child, showing_only)


def markup(text):
    return re.search(r"</?(b|strong|i|em|p|br|span|a|font|h\d)\b[^>]*>", text or "", re.I) is not None


def states(node):
    wanted = (pyatspi.STATE_SELECTED, pyatspi.STATE_FOCUSED, pyatspi.STATE_CHECKED)
    return ",".join(pyatspi.stateToString(s) for s in wanted if has(node, s))


def main(argv):
    if len(argv) < 2:
        raise SystemExit(__doc__)
    app = application()
    command = argv[1]
    if command == "wait":
        return 0
    if command == "roles":
        for node in walk(app):
            print("%s\t%s" % (node.getRoleName(), node.name))
        return 0
    if command == "unnamed":
        bad = [node for node in walk(app)
               if (has(node, pyatspi.STATE_FOCUSABLE) and not node.name) or markup(node.name)]
        for node in bad:
            print("%s %r (parent: %s %r)" % (node.getRoleName(), node.name, node.parent.getRoleName(), node.parent.name))
        return 1 if bad else 0
    if command == "items":
        for node in walk(app):
            if node.getRoleName() in ("list", "list box") and node.name == argv[2]:
                for i in range(node.childCount):
                    item = node.getChildAtIndex(i)
                    print("%s\t%s\t%s" % (item.name, item.description, states(item)))
                return 0
        raise SystemExit("a11y.py: no list named %r" % argv[2])
    if command == "focus":
        focused = []

        def on_focus(event):
            if event.detail1 == 1 and event.source is not None:
                focused.append(event.source.name)

        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
        keys = argv[2:]
        loop = GLib.MainLoop()

        def press():
            if keys:
                subprocess.run(["xdotool", "key", keys.pop(0)], check=False)
                return True
            GLib.timeout_add(1500, loop.quit)
            return False

        GLib.timeout_add(700, press)
        loop.run()
        pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
        for name in focused:
            print(name)
        return 0
    raise SystemExit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
