#!/usr/bin/python3
"""Another device that edits the same CalDAV task lists as Mirevo.

Runs with the system interpreter (python3-caldav, python3-icalendar). Every command prints JSON
on stdout and exits 0; on failure it writes a message on stderr and exits 1 (3 when the task or
list is not there, 4 when another client kept changing the task while it retried).

Writes are careful: every change of an existing task is sent with If-Match of the entity tag the
phone loaded; on 412 it loads the task again and applies the same change to the newer copy.
New tasks are sent with If-None-Match: *.
"""

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
EXTRA_NAMES = ["CATEGORIES", "PRIORITY", "VALARM", "X-PHONE-COLOR"]


class Failure(Exception):
    def __init__(self, message, code=1):
        super().__init__(message)
        self.code = code


def utcnow():
    return datetime.datetime.now(pytz.utc).replace(microsecond=0)


def parse_due(text):
    try:
        if "T" in text:
            if not text.endswith("Z"):
                raise ValueError
            moment = datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%SZ")
            return pytz.utc.localize(moment)
        return datetime.date.fromisoformat(text)
    except ValueError:
        raise argparse.ArgumentTypeError("due must be YYYY-MM-DD or YYYY-MM-DDTHH:MM:SSZ")


def due_text(value):
    if value is None:
        return None
    value = value.dt
    if isinstance(value, datetime.datetime):
        if value.tzinfo is None:
            return value.strftime("%Y-%m-%dT%H:%M:%S")
        return value.astimezone(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")
    return value.isoformat()


class Phone:
    def __init__(self, url, user, password):
        self.client = caldav.DAVClient(url=url, username=user, password=password)
        self.principal = self.client.principal()

    def lists(self):
        found = []
        for calendar in self.principal.calendars():
            if "VTODO" in calendar.get_supported_components():
                found.append(calendar)
        return sorted(found, key=lambda c: (c.name or "", str(c.url)))

    def list_named(self, name):
        for calendar in self.lists():
            if calendar.name == name:
                return calendar
        raise Failure("no task list named %r" % name, 3)

    def todos(self, calendar):
        # A full read, not the library's pending-only default.
        found = calendar.search(comp_class=caldav.Todo, include_completed=True)
        return sorted(found, key=lambda t: str(t.icalendar_component.get("UID", "")))

    def locate(self, uid, skip=None):
        """The task's URL, or Failure(3). The first list wins should a move be half done."""
        hits = [
            todo.url
            for calendar in self.lists()
            if calendar.url != skip
            for todo in self.todos(calendar)
            if str(todo.icalendar_component.get("UID", "")) == uid
        ]
        if not hits:
            raise Failure("no task with UID %r" % uid, 3)
        if len(hits) > 1:
            print("phone: UID %r is in %d lists; using %s" % (uid, len(hits), hits[0]), file=sys.stderr)
        return hits[0]

    def get(self, url):
        reply = self.client.request(url)
        if reply.status == 404:
            return None, None
        if reply.status != 200:
            raise Failure("GET %s answered %d" % (url, reply.status))
        return icalendar.Calendar.from_ical(reply.raw), reply.headers.get("ETag")

    def put(self, url, calendar, condition):
        """The new entity tag, or None when the condition failed (412)."""
        reply = self.client.request(url, "PUT", calendar.to_ical(), dict(CONTENT_TYPE, **condition))
        if reply.status in (200, 201, 204):
            if "ETag" not in reply.headers:
                raise Failure("PUT %s answered no ETag" % url)
            return reply.headers["ETag"]
        if reply.status == 412:
            return None
        raise Failure("PUT %s answered %d: %s" % (url, reply.status, reply.raw))

    def delete(self, url, etag):
        reply = self.client.request(url, "DELETE", "", {"If-Match": etag})
        if reply.status in (200, 204):
            return True
        if reply.status in (404, 412):
            return False
        raise Failure("DELETE %s answered %d" % (url, reply.status))


def vtodo_of(calendar):
    for component in calendar.walk("VTODO"):
        return component
    raise Failure("the object holds no VTODO")


def touch(todo):
    now = utcnow()
    for name in ("DTSTAMP", "LAST-MODIFIED"):
        todo.pop(name, None)
        todo.add(name, now)
    sequence = int(todo.pop("SEQUENCE", 0))
    todo.add("SEQUENCE", sequence + 1)


def set_property(todo, name, value):
    todo.pop(name, None)
    if value is not None:
        todo.add(name, value)


def apply_changes(todo, args):
    if args.summary is not None:
        set_property(todo, "SUMMARY", args.summary)
    if args.description is not None:
        set_property(todo, "DESCRIPTION", args.description or None)
    if args.due is not None or args.no_due:
        set_property(todo, "DUE", args.due)
    if args.sort is not None:
        set_property(todo, "X-APPLE-SORT-ORDER", str(args.sort))
    if args.complete:
        set_property(todo, "STATUS", "COMPLETED")
        set_property(todo, "COMPLETED", utcnow())
        set_property(todo, "PERCENT-COMPLETE", 100)
    if args.reopen:
        set_property(todo, "STATUS", "NEEDS-ACTION")
        set_property(todo, "COMPLETED", None)
        set_property(todo, "PERCENT-COMPLETE", None)
    touch(todo)


def describe(url, todo, etag=None):
    return {"uid": str(todo.get("UID")), "url": str(url), "etag": etag}


def cmd_lists(phone, args):
    return [{"name": c.name, "url": str(c.url)} for c in phone.lists()]


def cmd_mklist(phone, args):
    calendar = phone.principal.make_calendar(name=args.name, supported_calendar_component_set=["VTODO"])
    return {"name": args.name, "url": str(calendar.url)}


def cmd_create(phone, args):
    target = phone.list_named(args.list)
    calendar = icalendar.Calendar()
    calendar.add("PRODID", "-//Mirevo tests//phone//EN")
    calendar.add("VERSION", "2.0")
    todo = icalendar.Todo()
    todo.add("UID", args.uid)
    todo.add("CREATED", utcnow())
    todo.add("SUMMARY", args.summary)
    todo.add("STATUS", "NEEDS-ACTION")
    if args.description:
        todo.add("DESCRIPTION", args.description)
    if args.due is not None:
        todo.add("DUE", args.due)
    if args.sort is not None:
        todo.add("X-APPLE-SORT-ORDER", str(args.sort))
    if args.extra:
        todo.add("PRIORITY", 1)
        todo.add("CATEGORIES", ["Phone"])
        todo.add("X-PHONE-COLOR", "red")
        alarm = icalendar.Alarm()
        alarm.add("ACTION", "DISPLAY")
        alarm.add("DESCRIPTION", args.summary)
        alarm.add("TRIGGER", datetime.timedelta(minutes=-15))
        todo.add_component(alarm)
    touch(todo)
    calendar.add_component(todo)
    url = target.url.join(str(uuid.uuid4()) + ".ics")
    etag = phone.put(url, calendar, {"If-None-Match": "*"})
    if etag is None:
        raise Failure("PUT %s answered 412" % url)
    return describe(url, todo, etag)


def cmd_edit(phone, args):
    for _ in range(RETRIES):
        url = phone.locate(args.uid)
        calendar, etag = phone.get(url)
        if calendar is None:
            continue
        todo = vtodo_of(calendar)
        apply_changes(todo, args)
        etag = phone.put(url, calendar, {"If-Match": etag})
        if etag is not None:
            return describe(url, todo, etag)
    raise Failure("task %r kept changing under the phone" % args.uid, 4)


def cmd_delete(phone, args):
    for _ in range(RETRIES):
        url = phone.locate(args.uid)
        calendar, etag = phone.get(url)
        if calendar is not None and phone.delete(url, etag):
            return {"uid": args.uid, "url": str(url)}
    raise Failure("task %r kept changing under the phone" % args.uid, 4)


def cmd_move(phone, args):
    target = phone.list_named(args.list)
    new_url = target.url.join(str(uuid.uuid4()) + ".ics")
    condition = {"If-None-Match": "*"}
    for _ in range(RETRIES):
        url = phone.locate(args.uid, skip=target.url)
        calendar, etag = phone.get(url)
        if calendar is None:
            continue
        new_etag = phone.put(new_url, calendar, condition)
        if new_etag is None:
            raise Failure("PUT %s answered 412" % new_url)
        condition = {"If-Match": new_etag}
        if phone.delete(url, etag):
            return describe(new_url, vtodo_of(calendar), new_etag)
    raise Failure("task %r kept changing under the phone" % args.uid, 4)


def cmd_dump(phone, args):
    lists = []
    for calendar in phone.lists():
        todos = []
        for resource in phone.todos(calendar):
            todo = resource.icalendar_component
            sort = todo.get("X-APPLE-SORT-ORDER")
            categories = todo.get("CATEGORIES")
            categories = categories if isinstance(categories, list) else [categories] if categories else []
            present = {
                "CATEGORIES": any("Phone" in c.cats for c in categories),
                "PRIORITY": int(todo.get("PRIORITY", 0)) == 1,
                "VALARM": bool(todo.walk("VALARM")),
                "X-PHONE-COLOR": str(todo.get("X-PHONE-COLOR", "")) == "red",
            }
            todos.append({
                "uid": str(todo.get("UID", "")),
                "url": str(resource.url),
                "summary": str(todo.get("SUMMARY", "")),
                "description": str(todo.get("DESCRIPTION", "")),
                "due": due_text(todo.get("DUE")),
                "rrule": todo["RRULE"].to_ical().decode() if "RRULE" in todo else "",
                "completed": str(todo.get("STATUS", "")).upper() == "COMPLETED" or "COMPLETED" in todo,
                "sort": int(str(sort)) if sort is not None else None,
                "extra": all(present.values()),
                "extraPresent": [name for name in EXTRA_NAMES if present[name]],
            })
        lists.append({"name": calendar.name, "url": str(calendar.url), "todos": todos})
    return {"lists": lists}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--url", required=True, help="the server or the user's calendar home")
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    commands = parser.add_subparsers(dest="command", required=True)

    commands.add_parser("lists", help="the task lists")
    mklist = commands.add_parser("mklist", help="make a task list (VTODO only)")
    mklist.add_argument("name")

    def task_options(command, creating):
        command.add_argument("--summary", required=creating)
        command.add_argument("--description")
        command.add_argument("--due", type=parse_due, help="YYYY-MM-DD or YYYY-MM-DDTHH:MM:SSZ")
        command.add_argument("--sort", type=int, help="X-APPLE-SORT-ORDER")

    create = commands.add_parser("create", help="create a task")
    create.add_argument("list", help="the list's display name")
    create.add_argument("--uid", required=True)
    task_options(create, True)
    create.add_argument("--extra", action="store_true",
                        help="add PRIORITY:1, CATEGORIES:Phone, X-PHONE-COLOR:red and a VALARM")

    edit = commands.add_parser("edit", help="change only the given properties")
    edit.add_argument("uid")
    task_options(edit, False)
    edit.add_argument("--no-due", action="store_true")
    state = edit.add_mutually_exclusive_group()
    state.add_argument("--complete", action="store_true")
    state.add_argument("--reopen", action="store_true")

    delete = commands.add_parser("delete", help="delete a task")
    delete.add_argument("uid")
    move = commands.add_parser("move", help="move a task to another list, keeping its UID")
    move.add_argument("uid")
    move.add_argument("list", help="the target list's display name")
    commands.add_parser("dump", help="every task list and task, ordered by list name and UID")

    args = parser.parse_args()
    if args.command == "edit" and args.due is not None and args.no_due:
        parser.error("--due and --no-due exclude each other")
    try:
        phone = Phone(args.url, args.user, args.password)
        result = globals()["cmd_" + args.command](phone, args)
    except Failure as failure:
        print("phone: %s" % failure, file=sys.stderr)
        return failure.code
    except (caldav.lib.error.DAVError, OSError, ValueError) as failure:
        print("phone: %s: %s" % (type(failure).__name__, failure), file=sys.stderr)
        return 1
    json.dump(result, sys.stdout, indent=1, sort_keys=True)
    print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
