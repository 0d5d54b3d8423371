#!/usr/bin/env python3
# The windows of the session's sway, for the desktop tests on Wayland, one a line:
# "app_id|title|visible|focused|urgent|x|y|width|height".
import json
import subprocess


def views(node):
    if node.get("app_id") is not None or node.get("window") is not None:
        yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child)


for v in views(json.loads(subprocess.check_output(["swaymsg", "-r", "-t", "get_tree"]))):
    print("|".join(str(v.get(k)) for k in ("app_id", "name", "visible", "focused", "urgent")) +
          "|%(x)d|%(y)d|%(width)d|%(height)d" % v["rect"])
