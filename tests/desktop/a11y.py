#!/usr/bin/python3
# What a screen reader learns of the running program through the accessibility bus (AT-SPI;
# pyatspi comes from the Debian package, so this runs with the system's python3).
#   a11y.py LIST    print "name<TAB>description" of every item of the showing list named LIST;
#                   exit 1 when the program is not on the bus within 20 s or has no such list
import sys
import time

import pyatspi


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
lists = [n for n in walk(app) if n.getRoleName() in ("list", "list box") and n.name == sys.argv[1]]
if not lists:
    sys.exit("a11y.py: no list named %r" % sys.argv[1])
for item in lists[0]:
    print("%s\t%s" % (item.name, item.description))
