#!/usr/bin/python3
# An HTTP/1.1 forwarding proxy in front of a CalDAV server that misbehaves on purpose, for
# harness.py. It listens on a free port of 127.0.0.1 and prints "port N" as its first line.
#
# Each request gets one fault, drawn with a seeded random generator from the probabilities the
# control file gives (what is left over passes through untouched):
#   delay     forwarded, the answer is held back up to delay-max milliseconds (500 unless set)
#   cut       forwarded, then the headers and only the start of the body are sent and the
#             connection closed
#   error500, error503  answered without forwarding
#   drop      forwarded (the server does the work), then the connection closed without an answer
#
# The control file is read again before every request and every 50 ms. It holds words: "down"
# refuses connections (the listening socket is closed and open connections are cut) until the
# word is gone; NAME=VALUE sets a probability or delay-max, e.g. "cut=0.1 delay-max=200". Write
# it whole (a temporary file, then a rename).
#
# The log gets one line per request, "N METHOD PATH FAULT STATUS" (STATUS is the server's, or
# "-" when it was not asked or failed), and "mode down" and "mode up" at each switch. Requests
# go to the server with "Connection: close"; answers go to the client with a Content-Length
# and keep its connection alive.

import argparse
import asyncio
import random

FAULTS = ["delay", "cut", "error500", "error503", "drop"]
# Hop-by-hop headers, and the length, which the proxy sets itself.
NOT_FORWARDED = {b"connection", b"keep-alive", b"proxy-connection", b"te", b"trailer", b"transfer-encoding",
                 b"upgrade", b"expect", b"content-length"}
BAD_GATEWAY = b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n"


class Closed(Exception):
    pass


def parse_head(head):
    """The first line's words and the headers, as (name, value) pairs."""
    lines = head.split(b"\r\n")
    pairs = (line.partition(b":") for line in lines[1:] if line)
    return lines[0].split(b" ", 2), [(name.strip(), value.strip()) for name, _, value in pairs]


def header(headers, name):
    return next((value for key, value in headers if key.lower() == name), b"")


def message(first_line, headers, body, connection):
    kept = [key + b": " + value for key, value in headers if key.lower() not in NOT_FORWARDED]
    lines = [first_line] + kept + [b"Content-Length: %d" % len(body), b"Connection: " + connection, b"", b""]
    return b"\r\n".join(lines) + body


class Proxy:
    def __init__(self, options):
        self.options = options
        self.settings = {}
        self.random = random.Random(options.seed)
        self.count = 0
        self.server = None
        self.down = False
        self.writers = set()
        self.log = open(options.log, "a", buffering=1)

    def read_control(self):
        """Whether the control file says "down"; the values it sets land in self.settings."""
        try:
            with open(self.options.control) as control:
                words = control.read().split()
        except FileNotFoundError:
            words = []
        settings = (word.partition("=") for word in words)
        self.settings = {name: float(value) for name, equals, value in settings if equals}
        return "down" in words

    def choose(self):
        roll = self.random.random()
        for fault in FAULTS:
            roll -= self.settings.get(fault, 0)
            if roll < 0:
                return fault
        return "pass"

    async def listen(self):
        self.server = await asyncio.start_server(self.serve, "127.0.0.1", self.options.port, limit=1 << 20,
                                                 reuse_address=True)
        self.options.port = self.server.sockets[0].getsockname()[1]

    async def watch(self):
        while True:
            down = self.read_control()
            if down and not self.down:
                self.server.close()
                for writer in list(self.writers):
                    writer.transport.abort()
            elif self.down and not down:
                await self.listen()
            if down != self.down:
                self.down = down
                print("mode " + ("down" if down else "up"), file=self.log)
            await asyncio.sleep(0.05)

    async def serve(self, reader, writer):
        self.writers.add(writer)
        try:
            while await self.one_request(reader, writer):
                pass
        except (Closed, ValueError, ConnectionError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
            pass
        finally:
            self.writers.discard(writer)
            writer.transport.abort()

    async def one_request(self, reader, writer):
        """Handles one request; False when the connection is to be closed."""
        (method, target, _), headers = parse_head((await reader.readuntil(b"\r\n\r\n"))[:-4])
        body = await reader.readexactly(int(header(headers, b"content-length") or 0))
        keep_alive = header(headers, b"connection").lower() != b"close"
        connection = b"keep-alive" if keep_alive else b"close"
        if self.read_control():
            raise Closed()
        self.count += 1
        fault = self.choose()
        status = "-"
        try:
            if fault in ("error500", "error503"):
                answer = message(b"HTTP/1.1 500 Internal Server Error" if fault == "error500"
                                 else b"HTTP/1.1 503 Service Unavailable",
                                 [(b"Content-Type", b"text/plain")], b"fault proxy\n", connection)
            else:
                answer, status = await self.forward(method, target, headers, body, connection)
            if fault == "drop":
                raise Closed()
            if fault == "delay":
                await asyncio.sleep(self.random.uniform(0, self.settings.get("delay-max", 500)) / 1000)
            if fault == "cut":
                head_end = answer.index(b"\r\n\r\n") + 4
                cut = self.random.randrange(head_end - 2) if head_end == len(answer) \
                    else self.random.randrange(head_end, len(answer))
                writer.write(answer[:cut])
                await writer.drain()
                raise Closed()
        finally:
            print(self.count, method.decode(), target.decode(), fault, status, file=self.log)
        writer.write(answer)
        await writer.drain()
        return keep_alive

    async def forward(self, method, target, headers, body, connection):
        """The server's answer framed for the client, and its status as text."""
        host, _, port = self.options.upstream.rpartition(":")
        try:
            up_reader, up_writer = await asyncio.open_connection(host, int(port), limit=1 << 20)
        except OSError:
            return BAD_GATEWAY, "-"
        try:
            up_writer.write(message(b"%s %s HTTP/1.1" % (method, target), headers, body, b"close"))
            await up_writer.drain()
            (_, code, *reason), answer_headers = parse_head((await up_reader.readuntil(b"\r\n\r\n"))[:-4])
            # The server closes the connection after its answer.
            answer_body = b"" if method == b"HEAD" else await up_reader.read()
        except (OSError, ValueError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
            return BAD_GATEWAY, "-"
        finally:
            up_writer.transport.abort()
        first = b"HTTP/1.1 %s %s" % (code, reason[0] if reason else b"")
        return message(first, answer_headers, answer_body, connection), code.decode()


async def run(options):
    proxy = Proxy(options)
    await proxy.listen()
    print("port %d" % options.port, flush=True)
    await proxy.watch()


def main():
    parser = argparse.ArgumentParser(description="A CalDAV proxy that misbehaves on purpose.")
    parser.add_argument("--upstream", required=True, help="HOST:PORT of the server")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--control", required=True, help="the control file")
    parser.add_argument("--log", required=True)
    options = parser.parse_args()
    options.port = 0
    try:
        asyncio.run(run(options))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
