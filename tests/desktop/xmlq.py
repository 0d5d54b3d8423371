#!/usr/bin/env python3
# Queries on a Mirevo database.xml for the desktop tests; fields of a task are joined by "|".
#   xmlq.py DB list GROUP             the names of the tasks the group lists, in its order
#   xmlq.py DB task NAME FIELD...     every task of that name; exit 1 when there is none
import sys
import xml.etree.ElementTree as ET

db, cmd, *args = sys.argv[1:]
root = ET.parse(db).getroot()
tasks = root.findall("./todos/t")
if cmd == "list":
    group = [g for g in root.findall("./groups/g") if g.get("name") == args[0]]
    by_id = {(t.findtext("id") or "").strip(): t for t in tasks}
    if not group:
        sys.exit(1)
    for tid in group[0].findall("tid"):
        print(by_id[(tid.text or "").strip()].findtext("name") or "")
else:
    found = [t for t in tasks if t.findtext("name") == args[0]]
    for t in found:
        print("|".join(t.findtext(f) or "" for f in args[1:]))
    sys.exit(0 if found else 1)
