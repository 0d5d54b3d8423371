#!/usr/bin/python3
# What a screen reader learns of the running program through the accessibility bus (AT-SPI;
# pyatspi comes from the Debian package, so this runs with the system's python3). Exit status 1
# when the program is not on the bus within 20 s.
#   a11y.py wait          wait until the program is on the bus
#   a11y.py unnamed       print every control the keyboard reaches that has no name, or a name in
#                         markup; exit 1 when there is one
#   a11y.py items LIST    print "name<TAB>description<TAB>states" of every item of the showing
#                         list named LIST
#   a11y.py focus KEY...  press each KEY (xdotool names) in turn; print the name of every object
#                         that got the focus meanwhile, one a line
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def walk(node):
    """Every showing object below node, depth first."""
    for child in node:
        if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
            yield child
            yield from walk(child)


deadline = time.time() + 20
while not [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == "Mirevo"]:
    if time.time() > deadline:
        sys.exit("a11y.py: Mirevo is not on the accessibility bus")
    time.sleep(0.2)
app = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == "Mirevo"][0]
command, args = sys.argv[1], sys.argv[2:]
if command == "unnamed":
    bad = [n for n in walk(app) if (n.getState().contains(pyatspi.STATE_FOCUSABLE) and not n.name)
           or re.search(r"</?(b|strong|i|em|p|br|span|a|font|h\d)\b[^>]*>", n.name or "", re.I)]
    for n in bad:
        print("%s %r (parent: %s %r)" % (n.getRoleName(), n.name, n.parent.getRoleName(), n.parent.name))
    sys.exit(1 if bad else 0)
elif command == "items":
    lists = [n for n in walk(app) if n.getRoleName() in ("list", "list box") and n.name == args[0]]
    if not lists:
        sys.exit("a11y.py: no list named %r" % args[0])
    wanted = (pyatspi.STATE_SELECTED, pyatspi.STATE_FOCUSED, pyatspi.STATE_CHECKED)
    for item in lists[0]:
        states = ",".join(pyatspi.stateToString(s) for s in wanted if item.getState().contains(s))
        print("%s\t%s\t%s" % (item.name, item.description, states))
elif command == "focus":
    focused, loop = [], GLib.MainLoop()

    def on_focus(event):
        if event.detail1 == 1 and event.source is not None:
            focused.append(event.source.name)

    def press():
        if args:
            subprocess.run(["xdotool", "key", args.pop(0)], check=False)
            return True
        GLib.timeout_add(1500, loop.quit)
        return False

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    GLib.timeout_add(700, press)
    loop.run()
    print("\n".join(focused))
