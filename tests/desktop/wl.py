#!/usr/bin/env python3
# Keys and windows for the desktop tests under the session's headless sway, which has no input
# devices of its own: this speaks the Wayland wire protocol itself (no toolkit) to make a virtual
# keyboard.
#   wl.py serve     reads commands from stdin, one a line, and answers each with "ok":
#                     key KEY...     press and release each KEY in turn (Return, ctrl+n, shift+Tab)
#                     type TEXT      type ASCII TEXT
#   wl.py windows   prints "app_id|title|visible|focused|urgent|x|y|width|height" of every window
# The keyboard lives as long as "serve" runs: each new keyboard would take the focus away and give
# it back, so a test starts one server and sends it every key.
import array
import json
import os
import socket
import struct
import subprocess
import sys
import time

KEYS = {"Escape": 1, "Tab": 15, "Return": 28, "space": 57, "Up": 103, "Down": 108}
MODIFIERS = {"shift": (42, 1), "ctrl": (29, 4), "alt": (56, 8)}
CHARS = {" ": (57, False)}
for plain, shifted, first in [("1234567890-=", "!@#$%^&*()_+", 2), ("qwertyuiop[]", "QWERTYUIOP{}", 16),
                              ("asdfghjkl;'`", 'ASDFGHJKL:"~', 30), ("\\zxcvbnm,./", "|ZXCVBNM<>?", 43)]:
    for n, (a, b) in enumerate(zip(plain, shifted)):
        CHARS[a], CHARS[b] = (first + n, False), (first + n, True)
        KEYS.setdefault(a, first + n)
KEYMAP = b'xkb_keymap { xkb_keycodes { include "evdev+aliases(qwerty)" }; xkb_types { include "complete" };' \
         b' xkb_compat { include "complete" }; xkb_symbols { include "pc+us+inet(evdev)" }; };\0'


def u32(*values):
    return b"".join(struct.pack("=I", v & 0xffffffff) for v in values)


def ms():
    return int(time.monotonic() * 1000)


class Input:
    def __init__(self):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
        self.last_id, self.buffer, self.globals, self.mods = 2, b"", {}, 0
        self.send(1, 1, u32(2))                                   # wl_display.get_registry
        self.roundtrip()
        seat = self.bind("wl_seat")
        self.keyboard = self.create("zwp_virtual_keyboard_manager_v1", seat)
        fd = os.memfd_create("keymap")
        os.write(fd, KEYMAP)
        self.send(self.keyboard, 0, u32(1, len(KEYMAP)), fds=[fd])
        os.close(fd)
        # Clients learn of the new keyboard, and ask for them, only after this.
        self.roundtrip()
        time.sleep(0.2)
        self.roundtrip()

    def new(self):
        self.last_id += 1
        return self.last_id

    def send(self, obj, opcode, payload=b"", fds=()):
        self.sock.sendmsg([u32(obj, (8 + len(payload)) << 16 | opcode) + payload],
                          [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else [])

    def bind(self, interface):
        if interface not in self.globals:
            raise SystemExit("wl.py: the compositor offers no %s" % interface)
        data, obj = interface.encode() + b"\0", self.new()
        self.send(2, 0, u32(self.globals[interface], len(data)) + data + b"\0" * (-len(data) % 4) + u32(1, obj))
        return obj

    def create(self, manager, seat):
        # The compositor wants new ids in the order they were handed out.
        manager = self.bind(manager)
        device = self.new()
        self.send(manager, 0, u32(seat, device))
        return device

    def roundtrip(self):
        callback = self.new()
        self.send(1, 0, u32(callback))                            # wl_display.sync
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack("=I", self.buffer[4:8])[0] >> 16:
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise SystemExit("wl.py: the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack("=II", self.buffer[:8])
            body, self.buffer = self.buffer[8:word >> 16], self.buffer[word >> 16:]
            if (obj, word & 0xffff) == (callback, 0):
                return
            if (obj, word & 0xffff) == (1, 0):
                raise SystemExit("wl.py: protocol error: %r" % body[12:])
            if (obj, word & 0xffff) == (2, 0):                   # wl_registry.global
                self.globals[body[8:7 + struct.unpack("=I", body[4:8])[0]].decode()] = struct.unpack("=I", body[:4])[0]

    def modifier(self, name, down):
        self.send(self.keyboard, 1, u32(ms(), MODIFIERS[name][0], down))
        self.mods = self.mods | MODIFIERS[name][1] if down else self.mods & ~MODIFIERS[name][1]
        self.send(self.keyboard, 2, u32(self.mods, 0, 0, 0))

    def stroke(self, code, modifiers):
        for name in modifiers:
            self.modifier(name, 1)
        self.send(self.keyboard, 1, u32(ms(), code, 1))
        self.send(self.keyboard, 1, u32(ms(), code, 0))
        for name in reversed(modifiers):
            self.modifier(name, 0)
        self.roundtrip()
        time.sleep(0.03)

    def run(self, command, args):
        if command == "key":
            for combo in args:
                *modifiers, name = combo.split("+")
                if name not in KEYS or any(m not in MODIFIERS for m in modifiers):
                    raise ValueError("unknown key %s" % combo)
                self.stroke(KEYS[name], modifiers)
        elif command == "type":
            for ch in " ".join(args):
                if ch not in CHARS:
                    raise ValueError("cannot type %r" % ch)
                self.stroke(CHARS[ch][0], ["shift"] if CHARS[ch][1] else [])
        else:
            raise ValueError("unknown command %r" % command)


def views(node):
    if node.get("app_id") is not None or node.get("window") is not None:
        yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child)


if sys.argv[1:] == ["serve"]:
    device = Input()
    for line in iter(sys.stdin.readline, ""):
        command, *args = line.rstrip("\n").split(" ")
        try:
            device.run(command, args)
            print("ok", flush=True)
        except ValueError as error:
            print("error %s" % error, flush=True)
elif sys.argv[1:] == ["windows"]:
    for v in views(json.loads(subprocess.check_output(["swaymsg", "-r", "-t", "get_tree"]))):
        print("|".join(str(v.get(k)) for k in ("app_id", "name", "visible", "focused", "urgent")) +
              "|%(x)d|%(y)d|%(width)d|%(height)d" % v["rect"])
else:
    raise SystemExit("usage: wl.py serve|windows")
