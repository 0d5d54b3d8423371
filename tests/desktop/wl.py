#!/usr/bin/env python3
"""Keys, clicks and windows for the desktop tests under the session's headless sway, which has
no input devices of its own: this speaks the Wayland wire protocol itself (no toolkit) to make a
virtual keyboard and a virtual pointer.

  wl.py serve            read commands from stdin, one a line, and answer each with "ok":
                           key KEY...     press and release each KEY in turn: Return, Escape,
                                          Tab, space, a, F2, ctrl+n, shift+Tab, ctrl+shift+z
                           type TEXT      type ASCII TEXT
                           move X Y       move the pointer to X,Y of the screen
                           click X Y [N]  move there, then click the left button N times
  wl.py window [TITLE]   print "x y width height" of the visible window of mirevo whose title
                         matches the regular expression TITLE (default ^Mirevo$); exit 1 if none
  wl.py windows          print "app_id<TAB>title" of every window
  wl.py states           print "app_id:title:focused:urgent" of every window, on one line

The devices live as long as "serve" runs: each new keyboard would take the focus away and give
it back, so a test starts one server and sends it every key.
"""
import array
import json
import os
import re
import socket
import struct
import subprocess
import sys
import time

KEYS = {"Escape": 1, "BackSpace": 14, "Tab": 15, "Return": 28, "space": 57, "Home": 102,
        "Up": 103, "Prior": 104, "Left": 105, "Right": 106, "End": 107, "Down": 108,
        "Next": 109, "Insert": 110, "Delete": 111, "Menu": 127}
KEYS.update({"F%d" % n: 58 + n for n in range(1, 11)})
MODIFIERS = {"shift": (42, 1), "ctrl": (29, 4), "alt": (56, 8), "super": (125, 64)}
ROWS = [("1234567890-=", "!@#$%^&*()_+", 2), ("qwertyuiop[]", "QWERTYUIOP{}", 16),
        ("asdfghjkl;'`", 'ASDFGHJKL:"~', 30), ("\\zxcvbnm,./", "|ZXCVBNM<>?", 43)]
CHARS = {" ": (57, False)}
for plain, shifted, first in ROWS:
    for n, (a, b) in enumerate(zip(plain, shifted)):
        CHARS[a], CHARS[b] = (first + n, False), (first + n, True)
for letter in "abcdefghijklmnopqrstuvwxyz0123456789":
    KEYS.setdefault(letter, CHARS[letter][0])
KEYMAP = b"""xkb_keymap {
  xkb_keycodes { include "evdev+aliases(qwerty)" };
  xkb_types { include "complete" };
  xkb_compat { include "complete" };
  xkb_symbols { include "pc+us+inet(evdev)" };
};
\0"""
BTN_LEFT = 0x110


def u32(v):
    return struct.pack("=I", v & 0xffffffff)


def string(s):
    data = s.encode() + b"\0"
    return u32(len(data)) + data + b"\0" * (-len(data) % 4)


class Connection:
    def __init__(self):
        path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"])
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.last_id, self.buffer, self.globals = 1, b"", {}
        self.registry = self.new_id()
        self.send(1, 1, u32(self.registry))
        self.roundtrip()

    def new_id(self):
        self.last_id += 1
        return self.last_id

    def send(self, obj, opcode, payload=b"", fds=()):
        message = u32(obj) + u32((8 + len(payload)) << 16 | opcode) + payload
        ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else []
        self.sock.sendmsg([message], ancillary)

    def roundtrip(self):
        callback = self.new_id()
        self.send(1, 0, u32(callback))
        while True:
            while len(self.buffer) < 8:
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise SystemExit("wl.py: the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack("=II", self.buffer[:8])
            size, opcode = word >> 16, word & 0xffff
            if len(self.buffer) < size:
                self.buffer += self.sock.recv(65536)
                continue
            body, self.buffer = self.buffer[8:size], self.buffer[size:]
            if obj == callback and opcode == 0:
                return
            if obj == 1 and opcode == 0:
                length = struct.unpack("=I", body[8:12])[0]
                raise SystemExit("wl.py: protocol error: %s" % body[12:11 + length].decode())
            if obj == self.registry and opcode == 0:
                name, length = struct.unpack("=II", body[:8])
                interface = body[8:7 + length].decode()
                self.globals[interface] = (name, struct.unpack("=I", body[-4:])[0])

    def bind(self, interface, version):
        if interface not in self.globals:
            raise SystemExit("wl.py: the compositor offers no %s" % interface)
        name, offered = self.globals[interface]
        obj = self.new_id()
        self.send(self.registry, 0, u32(name) + string(interface) + u32(min(version, offered)) + u32(obj))
        return obj


class Input:
    def __init__(self):
        self.wl = Connection()
        seat = self.wl.bind("wl_seat", 1)
        self.keyboard = self.create("zwp_virtual_keyboard_manager_v1", seat)
        fd = os.memfd_create("keymap")
        os.write(fd, KEYMAP)
        self.wl.send(self.keyboard, 0, u32(1) + u32(len(KEYMAP)), fds=[fd])
        os.close(fd)
        self.pointer = self.create("zwlr_virtual_pointer_manager_v1", seat)
        self.wl.roundtrip()
        outputs = json.loads(subprocess.check_output(["swaymsg", "-r", "-t", "get_outputs"]))
        self.extent = (max(o["rect"]["x"] + o["rect"]["width"] for o in outputs),
                       max(o["rect"]["y"] + o["rect"]["height"] for o in outputs))
        self.mods = 0
        # Clients learn of the new devices, and ask for them, only after this.
        time.sleep(0.2)
        self.wl.roundtrip()

    def create(self, manager, seat):
        # The compositor wants new ids in the order they were handed out.
        manager = self.wl.bind(manager, 1)
        device = self.wl.new_id()
        self.wl.send(manager, 0, u32(seat) + u32(device))
        return device

    @staticmethod
    def now():
        return int(time.monotonic() * 1000)

    def key_event(self, code, pressed):
        self.wl.send(self.keyboard, 1, u32(self.now()) + u32(code) + u32(1 if pressed else 0))

    def set_mods(self, mods):
        self.mods = mods
        self.wl.send(self.keyboard, 2, u32(mods) + u32(0) + u32(0) + u32(0))

    def stroke(self, code, modifiers):
        for name in modifiers:
            self.key_event(MODIFIERS[name][0], True)
            self.set_mods(self.mods | MODIFIERS[name][1])
        self.key_event(code, True)
        self.key_event(code, False)
        for name in reversed(modifiers):
            self.key_event(MODIFIERS[name][0], False)
            self.set_mods(self.mods & ~MODIFIERS[name][1])
        self.wl.roundtrip()
        time.sleep(0.03)

    def key(self, combo):
        *modifiers, name = combo.split("+")
        if name not in KEYS or any(m not in MODIFIERS for m in modifiers):
            raise ValueError("unknown key %s" % combo)
        self.stroke(KEYS[name], modifiers)

    def type(self, text):
        for ch in text:
            if ch not in CHARS:
                raise ValueError("cannot type %r" % ch)
            code, shifted = CHARS[ch]
            self.stroke(code, ["shift"] if shifted else [])

    def move(self, x, y):
        self.wl.send(self.pointer, 1, u32(self.now()) + u32(x) + u32(y) + u32(self.extent[0]) + u32(self.extent[1]))
        self.wl.send(self.pointer, 4)
        self.wl.roundtrip()

    def click(self, x, y, count=1):
        self.move(x, y)
        time.sleep(0.15)
        for n in range(count):
            for state in (1, 0):
                self.wl.send(self.pointer, 2, u32(self.now()) + u32(BTN_LEFT) + u32(state))
                self.wl.send(self.pointer, 4)
                self.wl.roundtrip()
                time.sleep(0.04)
            time.sleep(0.08)


def serve():
    device = Input()
    for line in iter(sys.stdin.readline, ""):
        command, _, rest = line.rstrip("\n").partition(" ")
        try:
            if command == "key":
                for combo in rest.split():
                    device.key(combo)
            elif command == "type":
                device.type(rest)
            elif command == "move":
                device.move(*map(int, rest.split()))
            elif command == "click":
                device.click(*map(int, rest.split()))
            else:
                raise ValueError("unknown command %r" % command)
            print("ok", flush=True)
        except ValueError as error:
            print("error %s" % error, flush=True)


def views(node):
    if node.get("app_id") is not None or node.get("window") is not None:
        yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child)


def main(argv):
    if argv[1:2] == ["serve"]:
        serve()
        return 0
    tree = json.loads(subprocess.check_output(["swaymsg", "-r", "-t", "get_tree"]))
    if argv[1:2] == ["windows"]:
        for view in views(tree):
            print("%s\t%s" % (view.get("app_id"), view.get("name")))
        return 0
    if argv[1:2] == ["states"]:
        print(" ".join("%s:%s:%s:%s" % (v.get("app_id"), v.get("name"), v.get("focused"), v.get("urgent"))
                       for v in views(tree)))
        return 0
    if argv[1:2] == ["window"]:
        title = re.compile(argv[2] if len(argv) > 2 else "^Mirevo$")
        for view in views(tree):
            if view.get("app_id") == "mirevo" and view.get("visible") and title.search(view.get("name") or ""):
                rect = view["rect"]
                print(rect["x"], rect["y"], rect["width"], rect["height"])
                return 0
        return 1
    raise SystemExit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
