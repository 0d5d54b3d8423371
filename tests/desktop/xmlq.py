#!/usr/bin/env python3
"""Queries on a Mirevo database.xml for the desktop tests.

  xmlq.py tids DB GROUP_NAME     print the task ids listed in the group, in file order
  xmlq.py groups DB              print the names of all groups, in file order
  xmlq.py task-id DB TASK_NAME   print the id of the (first) task with that name
  xmlq.py task-name DB TASK_ID   print the name of the task with that id
  xmlq.py task-field DB TASK_NAME FIELD
                                 print one element of the (first) task with that name
  xmlq.py tasks DB TASK_NAME     print "id completed due" of every task with that name
"""
import sys
import xml.etree.ElementTree as ET


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    cmd, db = argv[1], argv[2]
    root = ET.parse(db).getroot()
    groups = root.findall("./groups/g")
    tasks = root.findall("./todos/t")
    if cmd == "tids":
        found = [g for g in groups if g.get("name") == argv[3]]
        if not found:
            print("no group named %r" % argv[3], file=sys.stderr)
            return 1
        for tid in found[0].findall("tid"):
            print((tid.text or "").strip())
    elif cmd == "groups":
        for g in groups:
            print(g.get("name"))
    elif cmd == "task-id":
        for t in tasks:
            if (t.findtext("name") or "") == argv[3]:
                print((t.findtext("id") or "").strip())
                return 0
        return 1
    elif cmd == "task-field":
        for t in tasks:
            if (t.findtext("name") or "") == argv[3]:
                print(t.findtext(argv[4]) or "")
                return 0
        return 1
    elif cmd == "tasks":
        for t in tasks:
            if (t.findtext("name") or "") == argv[3]:
                print((t.findtext("id") or "").strip(), t.findtext("completed") or "no", t.findtext("due") or "-")
    elif cmd == "task-name":
        for t in tasks:
            if (t.findtext("id") or "").strip() == argv[3]:
                print(t.findtext("name") or "")
                return 0
        return 1
    else:
        raise SystemExit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
