#!/usr/bin/python3
# Another device that edits the same CalDAV task lists as Mirevo, with the system interpreter
# (python3-caldav, python3-icalendar). Every command prints JSON on stdout and exits 0; on
# failure it writes a message on stderr and exits 1.
#
# Writes are careful: a change of an existing task is sent with If-Match of the entity tag the
# phone loaded; on 412 it loads the task again and applies the same change to the newer copy.
# New tasks are sent with If-None-Match: *.

import argparse
import datetime
import json
import sys
import uuid

import caldav
import caldav.lib.error
import icalendar
import pytz

RETRIES = 5
CONTENT_TYPE = {"Content-Type": 'text/calendar; charset="utf-8"'}


class Failure(Exception):
    pass


def utcnow():
    return datetime.datetime.now(pytz.utc).replace(microsecond=0)


class Phone:
    def __init__(self, url, user, password):
        self.client = caldav.DAVClient(url=url, username=user, password=password)
        self.principal = self.client.principal()

    def lists(self):
        found = [c for c in self.principal.calendars() if "VTODO" in c.get_supported_components()]
        return sorted(found, key=lambda c: (c.name or "", str(c.url)))

    def list_named(self, name):
        for calendar in self.lists():
            if calendar.name == name:
                return calendar
        raise Failure("no task list named %r" % name)

    def todos(self, calendar):
        # A full read, not the library's pending-only default.
        found = calendar.search(comp_class=caldav.Todo, include_completed=True)
        return sorted(found, key=lambda t: str(t.icalendar_component.get("UID", "")))

    def locate(self, uid, skip=None):
        """The task's URL, or Failure(3). The first list wins should a move be half done."""
        for calendar in self.lists():
            for todo in self.todos(calendar) if calendar.url != skip else []:
                if str(todo.icalendar_component.get("UID", "")) == uid:
                    return todo.url
        raise Failure("no task with UID %r" % uid)

    def request(self, url, method, ok, body="", headers=None, lost=(404, 412)):
        """The reply when its status is in `ok`, None when it is in `lost` (another client won)."""
        reply = self.client.request(url, method, body, headers or {})
        if reply.status in ok:
            return reply
        if reply.status in lost:
            return None
        raise Failure("%s %s answered %d: %s" % (method, url, reply.status, reply.raw))

    def get(self, url):
        reply = self.request(url, "GET", (200,), lost=(404,))
        return (icalendar.Calendar.from_ical(reply.raw), reply.headers.get("ETag")) if reply else (None, None)

    def put(self, url, calendar, condition):
        """The new entity tag, or None when the condition failed."""
        reply = self.request(url, "PUT", (200, 201, 204), calendar.to_ical(), dict(CONTENT_TYPE, **condition))
        if reply is not None and "ETag" not in reply.headers:
            raise Failure("PUT %s answered no ETag" % url)
        return reply and reply.headers["ETag"]

    def delete(self, url, etag):
        return self.request(url, "DELETE", (200, 204), "", {"If-Match": etag}) is not None


def set_properties(todo, *pairs):
    """Sets each (name, value); None removes the property."""
    for name, value in pairs:
        todo.pop(name, None)
        if value is not None:
            todo.add(name, value)


def touch(todo):
    now, sequence = utcnow(), int(todo.get("SEQUENCE", 0)) + 1
    set_properties(todo, ("DTSTAMP", now), ("LAST-MODIFIED", now), ("SEQUENCE", sequence))


def apply_changes(todo, args):
    changes = [(name, value) for name, value, asked in (
        ("SUMMARY", args.summary, args.summary is not None),
        ("DESCRIPTION", args.description or None, args.description is not None),
        ("DUE", args.due, args.due is not None)) if asked]
    if args.complete or args.reopen:
        done = args.complete
        changes += [("STATUS", "COMPLETED" if done else "NEEDS-ACTION"),
                    ("COMPLETED", utcnow() if done else None), ("PERCENT-COMPLETE", 100 if done else None)]
    set_properties(todo, *changes)
    touch(todo)


def retried(uid, attempt):
    """Runs attempt() until it gives a result: another client may change the task meanwhile."""
    for _ in range(RETRIES):
        result = attempt()
        if result is not None:
            return result
    raise Failure("task %r kept changing under the phone" % uid)


def cmd_mklist(phone, args):
    calendar = phone.principal.make_calendar(name=args.name, supported_calendar_component_set=["VTODO"])
    return {"name": args.name, "url": str(calendar.url)}


def cmd_rmlist(phone, args):
    phone.list_named(args.name).delete()
    return {"name": args.name}


def cmd_create(phone, args):
    calendar = icalendar.Calendar()
    set_properties(calendar, ("PRODID", "-//Mirevo tests//phone//EN"), ("VERSION", "2.0"))
    todo = icalendar.Todo()
    set_properties(todo, ("UID", args.uid), ("CREATED", utcnow()), ("SUMMARY", args.summary),
                   ("STATUS", "NEEDS-ACTION"), ("DESCRIPTION", args.description or None), ("DUE", args.due))
    if args.extra:
        set_properties(todo, ("PRIORITY", 1), ("CATEGORIES", ["Phone"]), ("X-PHONE-COLOR", "red"))
        alarm = icalendar.Alarm()
        set_properties(alarm, ("ACTION", "DISPLAY"), ("DESCRIPTION", args.summary),
                       ("TRIGGER", datetime.timedelta(minutes=-15)))
        todo.add_component(alarm)
    touch(todo)
    calendar.add_component(todo)
    url = phone.list_named(args.list).url.join(str(uuid.uuid4()) + ".ics")
    if phone.put(url, calendar, {"If-None-Match": "*"}) is None:
        raise Failure("PUT %s answered 412" % url)
    return {"uid": args.uid, "url": str(url)}


def cmd_edit(phone, args):
    def attempt():
        url = phone.locate(args.uid)
        calendar, etag = phone.get(url)
        if calendar is None:
            return None
        apply_changes(calendar.walk("VTODO")[0], args)
        return {"uid": args.uid, "url": str(url)} if phone.put(url, calendar, {"If-Match": etag}) else None
    return retried(args.uid, attempt)


def cmd_delete(phone, args):
    def attempt():
        url = phone.locate(args.uid)
        calendar, etag = phone.get(url)
        return {"uid": args.uid} if calendar is not None and phone.delete(url, etag) else None
    return retried(args.uid, attempt)


def dumped(resource):
    todo = resource.icalendar_component
    categories, due = todo.get("CATEGORIES"), todo.get("DUE")
    categories = categories if isinstance(categories, list) else [categories] if categories else []
    # The phone's own properties (create --extra), all still there.
    extra = (any("Phone" in c.cats for c in categories) and int(todo.get("PRIORITY", 0)) == 1
             and bool(todo.walk("VALARM")) and str(todo.get("X-PHONE-COLOR", "")) == "red")
    return {"uid": str(todo.get("UID", "")), "summary": str(todo.get("SUMMARY", "")),
            "description": str(todo.get("DESCRIPTION", "")), "due": due and due.dt.isoformat(),
            "rrule": todo["RRULE"].to_ical().decode() if "RRULE" in todo else "",
            "completed": str(todo.get("STATUS", "")).upper() == "COMPLETED" or "COMPLETED" in todo,
            "extra": extra}


def cmd_dump(phone, args):
    return {"lists": [{"name": c.name, "todos": [dumped(t) for t in phone.todos(c)]} for c in phone.lists()]}


def main():
    parser = argparse.ArgumentParser(description="Another device on the CalDAV server (see the source).")
    parser.add_argument("--url", required=True, help="the server or the user's calendar home")
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("dump", help="every task list and task, ordered by list name and UID")
    commands.add_parser("mklist", help="make a task list (VTODO only)").add_argument("name")
    commands.add_parser("rmlist", help="delete a task list").add_argument("name")
    commands.add_parser("delete", help="delete a task").add_argument("uid")
    create = commands.add_parser("create", help="create a task")
    create.add_argument("list", help="the list's display name")
    create.add_argument("--uid", required=True)
    create.add_argument("--extra", action="store_true",
                        help="add PRIORITY:1, CATEGORIES:Phone, X-PHONE-COLOR:red and a VALARM")
    edit = commands.add_parser("edit", help="change only the given properties")
    edit.add_argument("uid")
    state = edit.add_mutually_exclusive_group()
    state.add_argument("--complete", action="store_true")
    state.add_argument("--reopen", action="store_true")
    for command in (create, edit):
        command.add_argument("--summary", required=command is create)
        command.add_argument("--description")
        command.add_argument("--due", type=datetime.date.fromisoformat, help="YYYY-MM-DD")
    args = parser.parse_args()
    try:
        result = globals()["cmd_" + args.command](Phone(args.url, args.user, args.password), args)
    except (Failure, caldav.lib.error.DAVError, OSError, ValueError) as failure:
        print("phone: %s: %s" % (type(failure).__name__, failure), file=sys.stderr)
        return 1
    json.dump(result, sys.stdout, indent=1, sort_keys=True)
    print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
