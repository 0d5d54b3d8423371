#!/usr/bin/python3
# Random rounds of edits on three clients of one CalDAV server, then checks that sync lost
# nothing, duplicated nothing and kept every conflicting edit.
#
# The clients: two Mirevo profiles (each its own HOME, synced with `mirevo --sync` through
# faultproxy.py) and a phone (phone.py, straight to Radicale). Each round makes 1-4 random edits
# on random clients, then syncs one or both profiles, one after the other or at once; the proxy
# may fail or drop answers for the round, a sync may be killed with SIGKILL 0-800 ms after it
# starts, and Radicale may be stopped and started again while one runs. Then, quietly, both
# profiles sync in turn until nothing changes, and the checks run: no task lost, none
# duplicated, every task under its own UID, all fields and list memberships alike on every
# client, and every text a client wrote, and no client that had seen it overwrote, still in the
# task's name or notes.
#
# Exit status: 0 all checks passed, 1 violations (each printed with the seed and the round of the
# task's last edit), 2 a wrong command line or a failed setup, 77 Radicale or python3-caldav is
# missing. A seed repeats the same choices, but kills and faults land wherever the processes are.

import argparse
import ctypes
import fcntl
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import uuid
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
USER, PASSWORD = "alice", "secret"
TRASH = uuid.UUID("86234c26-8e85-4c76-b80f-6046775b506a")
COMPLETED = uuid.UUID("51e5f2f1-6282-4377-8a69-e26b937a47ad")
# Mirevo names a task that came from elsewhere by this name-based UUID of its UID.
UID_NAMESPACE = uuid.UUID("6b7d2d2e-3b1f-4b8e-9f0d-2a5c7e1d9a41")
UUID_TEXT = re.compile(r"^\{?[0-9a-fA-F]{8}-(?:[0-9a-fA-F]{4}-){3}[0-9a-fA-F]{12}\}?$")
TOKEN = re.compile(r"\b(?:m1|m2|ph)-r\d+-n\d+\b")
FAULTS = {"error500": 0.08, "drop": 0.05}
EDITS = {"create": 4, "rename": 3, "notes": 3, "complete": 2, "delete": 1.5, "move": 1.5}
SYNC_TIMEOUT_S = 120

try:
    sys.path.insert(0, HERE)
    import faultproxy
    import phone as phonelib
except ImportError as missing:
    phonelib = missing

LIBC = ctypes.CDLL(None, use_errno=True)


def spawn(args, **options):
    # PR_SET_PDEATHSIG: nothing outlives a harness killed by a timeout.
    return subprocess.Popen(args, preexec_fn=lambda: LIBC.prctl(1, signal.SIGKILL), **options)


class SetupError(Exception):
    pass


def tokens(*texts):
    return set().union(*(TOKEN.findall(text or "") for text in texts))


def task_id_of_uid(uid):
    return uuid.UUID(uid.strip()) if UUID_TEXT.match(uid.strip()) else uuid.uuid5(UID_NAMESPACE, uid)


class Radicale:
    def __init__(self, folder):
        self.folder = folder
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        self.config = os.path.join(folder, "config")
        self.process = None
        with open(os.path.join(folder, "users"), "w") as users:
            users.write("%s:%s\n" % (USER, PASSWORD))
        with open(self.config, "w") as config:
            config.write("[server]\nhosts = 127.0.0.1:%d\nssl = False\n[encoding]\nrequest = utf-8\n"
                         "stock = utf-8\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s\n"
                         "htpasswd_encryption = plain\ndelay = 0\n[rights]\ntype = owner_only\n[storage]\n"
                         "filesystem_folder = %s\n[web]\ntype = none\n[logging]\nlevel = warning\n"
                         % (self.port, os.path.join(folder, "users"), os.path.join(folder, "collections")))

    def start(self):
        with open(os.path.join(self.folder, "radicale.log"), "a") as log:
            # The explicit --config and RADICALE_CONFIG keep the system's and the user's config out.
            self.process = spawn(["radicale", "--config", self.config], stdin=subprocess.DEVNULL, stdout=log,
                                 stderr=subprocess.STDOUT, env=dict(os.environ, RADICALE_CONFIG=self.config))
        deadline = time.monotonic() + 15
        while True:
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                    return
            except OSError:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    raise SetupError("radicale did not start, see %s/radicale.log" % self.folder)
                time.sleep(0.02)

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait()
            self.process = None


class Database:
    """A profile's database.xml, read and written only while no Mirevo of that profile runs."""

    def __init__(self, path, uids):
        self.path = path
        self.uids = uids
        # A kill between the two renames of a write leaves only the backup, which Mirevo then loads.
        source = path if os.path.exists(path) else path + ".bak"
        try:
            self.root = ET.parse(source).getroot()
        except ET.ParseError as failure:
            raise ET.ParseError("%s: %s" % (source, failure))
        self.tasks = {uuid.UUID(t.findtext("id")): t for t in self.root.find("todos")}
        self.groups = {uuid.UUID(g.get("id")): g for g in self.root.find("groups")}
        self.lists = [g.get("name") for i, g in self.groups.items() if i not in (TRASH, COMPLETED)]

    def named(self, name):
        return next(i for i, g in self.groups.items() if g.get("name") == name)

    def text(self, task_id, field):
        return self.tasks[task_id].findtext(field) or ""

    def uid(self, task_id):
        return self.uids.get(task_id, "(unknown) {%s}" % task_id)

    def view(self):
        """Every task by UID: its fields, the lists that hold it, and whether the Trash does."""
        view = {self.uid(t): dict(name=self.text(t, "name"), notes=self.text(t, "notes"), lists=[],
                                  trash=False, completed=self.text(t, "completed") == "yes")
                for t in self.tasks}
        for group_id, group in self.groups.items():
            for task in filter(None, (view.get(self.uid(uuid.UUID(t.text))) for t in group.findall("tid"))):
                if group_id == TRASH:
                    task["trash"] = True
                else:
                    task["lists"].append(group.get("name"))
        return view

    def set(self, task_id, field, value):
        task = self.tasks[task_id]
        # As in the store, setting the value a field already has changes nothing.
        if self.text(task_id, field) != str(value) and field != "tmod":
            self.set(task_id, "tmod", int(time.time() * 1000))
        if task.find(field) is not None:
            task.remove(task.find(field))
        if value != "":
            ET.SubElement(task, field).text = str(value)

    def place(self, task_id, group_id, rng):
        for group in self.groups.values():
            for tid in [tid for tid in group.findall("tid") if uuid.UUID(tid.text) == task_id]:
                group.remove(tid)
        tid = ET.Element("tid")
        tid.text = "{%s}" % task_id
        group = self.groups[group_id]
        group.insert(len(group.findall("icon")) + rng.randint(0, len(group.findall("tid"))), tid)

    def edit(self, kind, uid, value, rng):
        task_id = task_id_of_uid(uid)
        if kind == "create":
            self.tasks[task_id] = ET.SubElement(self.root.find("todos"), "t")
            ET.SubElement(self.tasks[task_id], "id").text = "{%s}" % task_id
            for field, text in (("name", value[0]), ("notes", value[1]), ("completed", "no"),
                                ("tcrt", int(time.time() * 1000))):
                self.set(task_id, field, text)
            self.place(task_id, self.named(value[2]), rng)
        elif kind == "completed":
            self.set(task_id, "completed", "yes" if value else "no")
            self.set(task_id, "tcmpl", int(time.time() * 1000) if value else "")
        elif kind in ("delete", "list"):
            self.place(task_id, TRASH if kind == "delete" else self.named(value), rng)
        else:
            self.set(task_id, kind, value)
        with open(self.path + ".lock", "a") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)  # raises should a Mirevo still hold it
            ET.ElementTree(self.root).write(self.path + ".harness", encoding="UTF-8", xml_declaration=True)
            os.replace(self.path + ".harness", self.path)


class Phone:
    """The server as the phone sees it, and the phone's edits."""

    def __init__(self, url):
        self.url = url
        self.dump = self.call("dump")["lists"]
        self.lists = [entry["name"] for entry in self.dump]

    def call(self, command, **options):
        args = dict(summary=None, description=None, due=None, complete=False, reopen=False, extra=False)
        args.update(options)
        phone = phonelib.Phone(self.url, USER, PASSWORD)
        return getattr(phonelib, "cmd_" + command)(phone, argparse.Namespace(**args))

    def view(self, uid_of=lambda uid: uid):
        """Every task by UID (as uid_of names the server's): its fields, its lists and its UIDs there."""
        view = {}
        for entry in self.dump:
            for todo in entry["todos"]:
                fields = dict(name=todo["summary"], notes=todo["description"], completed=todo["completed"])
                task = view.setdefault(uid_of(todo["uid"]), dict(fields, lists=[], uids=[]))
                task["lists"].append(entry["name"])
                task["uids"].append(todo["uid"])
        return view

    def edit(self, kind, uid, value, rng):
        if kind == "create":
            self.call("create", uid=uid, summary=value[0], description=value[1], list=value[2])
        elif kind == "completed":
            self.call("edit", uid=uid, complete=value, reopen=not value)
        elif kind == "delete":
            self.call("delete", uid=uid)
        else:
            self.call("edit", uid=uid, **{"summary" if kind == "name" else "description": value})


class Profile:
    def __init__(self, name, folder, mirevo):
        self.mirevo = mirevo
        home = os.path.join(folder, name)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
                        XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=home + "/runtime",
                        TMPDIR=home + "/tmp", QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
        for path in ("/.config", "/.local/share", "/.cache", "/runtime", "/tmp"):
            os.makedirs(home + path, mode=0o700)
        self.path = self.env["XDG_DATA_HOME"] + "/Velbrook/Mirevo/User Data/database.xml"
        self.log = os.path.join(folder, name + ".log")

    def start(self, args, note):
        with open(self.log, "a") as log:
            log.write("== %s: mirevo %s\n" % (note, " ".join(args)))
            log.flush()
            process = spawn([self.mirevo] + args, stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT,
                            env=self.env)
        try:
            process.stdin.write(PASSWORD.encode() + b"\n")
            process.stdin.close()
        except BrokenPipeError:
            pass
        return process

    def last_report(self):
        with open(self.log) as log:
            return log.read().rstrip("\n").rpartition("\n")[2]


class Harness:
    def __init__(self, options, folder):
        self.options = options
        self.round = 0
        self.events = []           # (round, client, UID, what, tokens seen, tokens written)
        self.created = set()       # UIDs some client made
        self.deleted = set()       # UIDs some client deleted
        self.uids = {}             # Mirevo id -> UID
        self.violations = []
        self.radicale = Radicale(folder)
        self.profiles = {n: Profile(n, folder, options.mirevo) for n in ("m1", "m2")}
        self.phone_url = "http://127.0.0.1:%d/" % self.radicale.port

    def violation(self, text, uid=None):
        if text in self.violations:
            return  # the same finding again at a later check
        history = ["  r%d %s %s" % (e[0], e[1], e[3]) for e in self.events if uid and e[2] == uid]
        last = max((event[0] for event in self.events if uid and event[2] == uid), default=self.round)
        print("\n".join(["VIOLATION (seed %d, round %d) %s" % (self.options.seed, last, text)] + history),
              flush=True)
        self.violations.append(text)

    def edit(self, rng):
        client = rng.choice(["m1", "m2", "ph"])
        kind = rng.choices(list(EDITS), list(EDITS.values()))[0]
        side = Phone(self.phone_url) if client == "ph" else Database(self.profiles[client].path, self.uids)
        live = [(uid, name, task) for uid, task in side.view().items() for name in task["lists"]]
        # Only the profiles move tasks between lists.
        if not live or (kind == "move" and (client == "ph" or len(side.lists) < 2)):
            kind = "create"
        self.round_edits += 1
        token = "%s-r%d-n%d" % (client, self.round, self.round_edits)
        uid, listname, task = rng.choice(live) if live else (None, None, None)
        seen, written = set(), set()
        if kind == "create":
            # Phones write UIDs that are no UUID, and UUIDs in capitals.
            uid = str(uuid.UUID(int=rng.getrandbits(128), version=4))
            if client == "ph":
                uid = rng.choice([uid.upper(), "phone-%016x@example.org" % rng.getrandbits(64)])
            self.uids[task_id_of_uid(uid)] = uid
            self.created.add(uid)
            value = (token, "note " + token if rng.random() < 0.5 else "", rng.choice(side.lists))
            written = tokens(*value)
        elif kind in ("rename", "notes"):
            kind, old = ("name", task["name"]) if kind == "rename" else ("notes", task["notes"])
            way = "replace" if kind == "name" else rng.choice(["replace", "append", "append", "clear"])
            value = {"replace": token, "clear": "", "append": (old + "\n" + token).strip()}[way]
            seen, written = tokens(old), tokens(value)
        elif kind == "complete":
            kind, value = "completed", not task["completed"]
        elif kind == "delete":
            self.deleted.add(uid)
            value, seen = listname, tokens(task["name"], task["notes"])
        else:
            kind, value = "list", rng.choice([n for n in side.lists if n != listname])
        self.events.append((self.round, client, uid, "%s %r" % (kind, value), seen, written))
        try:
            side.edit(kind, uid, value, rng)
        except (phonelib.Failure, phonelib.caldav.lib.error.DAVError, OSError, ValueError) as failure:
            self.violation("%s could not %s: %s: %s" % (client, kind, type(failure).__name__, failure))

    def sync(self, names, kills, restart=None):
        """Runs `mirevo --sync` on the profiles at once; their exit statuses ("killed" when ours)."""
        processes = {n: self.profiles[n].start(["--sync", "--password-stdin"], "round %d" % self.round)
                     for n in names}
        timers = [threading.Timer(kills[n], processes[n].kill) for n in names if n in kills]
        for timer in timers:
            timer.start()
        if restart:
            time.sleep(restart[0])
            self.radicale.stop()
            time.sleep(restart[1])
            self.radicale.start()
        statuses = {}
        for n, process in processes.items():
            status = process.wait(SYNC_TIMEOUT_S)  # raises on a sync that hangs
            statuses[n] = "killed" if status == -signal.SIGKILL and n in kills else status
            if statuses[n] not in (0, 1, 4, "killed"):
                self.violation("mirevo --sync on %s ended with %s, see %s" % (n, status, self.profiles[n].log))
        for timer in timers:
            timer.cancel()
        return statuses

    def play_round(self):
        rng = random.Random("%d:%d" % (self.options.seed, self.round))
        self.round_edits = 0
        for _ in range(rng.randint(1, 4)):
            self.edit(rng)
        self.proxy.settings = FAULTS if rng.random() < 0.4 else {}
        names = rng.choice([["m1"], ["m2"], ["m1", "m2"], ["m2", "m1"]])
        kills = {n: rng.uniform(0, 0.8) for n in names if rng.random() < 0.25}
        restart = (rng.uniform(0, 0.6), rng.uniform(0, 0.5)) if rng.random() < 0.15 else None
        if len(names) == 2 and rng.random() < 0.4:
            self.sync(names, kills, restart)
        else:
            for n in names:
                self.sync([n], kills, restart)
                restart = None

    def settle(self):
        """Syncs m1 and m2 in turn, faults off, until a turn changes nothing; the final views."""
        self.proxy.settings = {}
        before = None
        for _ in range(4):
            reports = []
            for n in ("m1", "m2"):
                status = self.sync([n], {})[n]
                if status != 0:
                    self.violation("a quiet sync of %s ended with %s" % (n, status))
                reports.append("%s: %s" % (n, self.profiles[n].last_report()))
            views = {n: Database(p.path, self.uids).view() for n, p in self.profiles.items()}
            views["server"] = Phone(self.phone_url).view(self.server_uid)
            if views == before and not any(re.search(r"\b[1-9]\d* (?:received|sent)", r) for r in reports):
                return views
            before = views
        self.violation("the clients still changed after 4 quiet turns:\n  " + "\n  ".join(reports))
        return views

    def server_uid(self, uid):
        # An object under another UID of the same Mirevo id is that task, sent again.
        return uid if uid in self.created else self.uids.get(task_id_of_uid(uid), "(unknown) " + uid)

    def check(self, views):
        for uid in sorted(self.created | set().union(*views.values())):
            problems = []
            if uid not in self.created:
                problems.append("a task no client made (a copy?)")
            live = {c: bool(v.get(uid) and v[uid]["lists"]) for c, v in views.items()}
            for c, v in views.items():
                held = len(v[uid]["lists"]) + v[uid].get("trash", False) if uid in v else 0
                if held > 1:
                    problems.append("%s holds it %d times" % (c, held))
            if uid in self.created and uid not in self.deleted and not all(live.values()):
                problems.append("lost on " + ", ".join(c for c in live if not live[c]))
            elif live["server"] != live["m1"] or live["server"] != live["m2"]:
                problems.append("listed on " + ", ".join(c for c in live if live[c]) + " only")
            if uid in views["server"] and set(views["server"][uid]["uids"]) != {uid}:
                problems.append("the server holds it under " + " and ".join(views["server"][uid]["uids"]))
            if all(live.values()):
                for field in ("name", "notes", "completed", "lists"):
                    if len({repr(v[uid][field]) for v in views.values()}) > 1:
                        problems.append("the %s differs" % field)
                # Every text written to the task, unless a client that had seen it replaced it.
                ours = [event for event in self.events if event[2] == uid]
                required = set().union(*(e[5] for e in ours)) - set().union(*(e[4] - e[5] for e in ours))
                for c, v in views.items():
                    missing = required - tokens(v[uid]["name"], v[uid]["notes"])
                    if missing:
                        problems.append("%s lost the edits %s" % (c, " ".join(sorted(missing))))
            if problems:
                described = ["%s: %s" % (c, v.get(uid, "absent")) for c, v in views.items()]
                self.violation("task %s: %s\n  %s" % (uid, "; ".join(problems), "\n  ".join(described)), uid)

    def run(self):
        self.radicale.start()
        self.proxy, port = faultproxy.start("127.0.0.1:%d" % self.radicale.port, self.options.seed)
        # Two lists to move tasks between, made by the phone before the profiles pair with them.
        for name in ("Inbox", "Work"):
            Phone(self.phone_url).call("mklist", name=name)
        # One profile finds the lists from the server's address, the other from the calendar home.
        for n, profile in self.profiles.items():
            url = "http://127.0.0.1:%d/%s" % (port, USER + "/" if n == "m2" else "")
            process = profile.start(["--sync-account", url, "--user", USER, "--password-stdin"], "account")
            if process.wait(SYNC_TIMEOUT_S) != 0:
                raise SetupError("mirevo --sync-account failed on %s, see %s" % (n, profile.log))
        views = {"server": {}}
        try:
            for self.round in range(1, self.options.rounds + 1):
                self.play_round()
                if self.options.check_every and self.round % self.options.check_every == 0:
                    self.check(self.settle())
            views = self.settle()
            self.check(views)
        except ET.ParseError as failure:
            self.violation("a database does not read as XML: %s" % failure)
        print("seed %d: %d rounds, %d edits, %d tasks at the end, %d violations" % (self.options.seed,
              self.options.rounds, len(self.events), len(views["server"]), len(self.violations)))
        return 1 if self.violations else 0


def main():
    parser = argparse.ArgumentParser(description="Random sync rounds on two profiles and a phone.")
    parser.add_argument("--mirevo", required=True, help="the mirevo program")
    parser.add_argument("--rounds", type=int, default=12)
    parser.add_argument("--seed", type=int, default=int(time.time()) % 100000, help="default: from the clock")
    parser.add_argument("--check-every", type=int, default=0, metavar="K",
                        help="also settle and check every K rounds")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder (printed)")
    options = parser.parse_args()
    if isinstance(phonelib, ImportError) or not shutil.which("radicale"):
        print("skipped: needs radicale and python3-caldav (%s)" % phonelib, file=sys.stderr)
        return 77
    folder = tempfile.mkdtemp(prefix="mrv-syncharness-")
    print("seed %d, folder %s" % (options.seed, folder), flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    harness = Harness(options, folder)
    try:
        return harness.run()
    except SetupError as failure:
        print("setup failed: %s" % failure, file=sys.stderr)
        return 2
    finally:
        harness.radicale.stop()
        if not options.keep:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
