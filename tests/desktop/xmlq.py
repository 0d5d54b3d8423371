#!/usr/bin/env python3
# Queries on a Mirevo database.xml for the desktop tests; fields of a task are joined by "|".
#   xmlq.py DB list GROUP [FIELD...]  the tasks the group lists, in its order (default: name)
#   xmlq.py DB task NAME FIELD...     every task of that name; exit 1 when there is none
import sys
import xml.etree.ElementTree as ET

db, cmd, *args = sys.argv[1:]
root = ET.parse(db).getroot()
tasks = root.findall("./todos/t")
fields = lambda t, names: "|".join(t.findtext(f) or "" for f in names or ["name"])
if cmd == "list":
    group = [g for g in root.findall("./groups/g") if g.get("name") == args[0]]
    by_id = {(t.findtext("id") or "").strip(): t for t in tasks}
    if not group:
        sys.exit(1)
    for tid in group[0].findall("tid"):
        print(fields(by_id[(tid.text or "").strip()], args[1:]))
else:
    found = [t for t in tasks if t.findtext("name") == args[0]]
    for t in found:
        print(fields(t, args[1:]))
    sys.exit(0 if found else 1)
