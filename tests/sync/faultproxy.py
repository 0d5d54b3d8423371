#!/usr/bin/python3
"""An HTTP/1.1 forwarding proxy in front of a CalDAV server that misbehaves on purpose.

Listens on 127.0.0.1 (--port, or a free port) and prints "port N" as its first line on stdout.
Each request gets one fault, drawn with a seeded random generator from the probabilities given
(what is left over passes through untouched):

  pass      forwarded, the answer is sent back
  delay     forwarded, the answer is held back up to --delay-max milliseconds
  cut       forwarded, then the headers and only the start of the body are sent and the connection closed
  error500  answered 500 without forwarding
  error503  answered 503 without forwarding
  drop      forwarded (the server does the work), then the connection is closed without an answer

Control file (--control): re-read before every request and every 50 ms. It holds words:
"down" refuses connections (the listening socket is closed and open connections are cut) until
the word is gone; NAME=VALUE overrides an option for as long as it is there, e.g. "cut=1" or
"drop=0.5 delay-max=200". Write it whole (write a temporary file, then rename it).

Log (stderr, or --log): one line per request, "N METHOD PATH FAULT STATUS", where STATUS is the
server's status (or "-" when it was not asked or failed); "mode down" and "mode up" lines mark
switches. Requests to the server are sent with "Connection: close" and read to the end; answers
to the client are re-framed with Content-Length and keep the client's connection alive.
"""

import argparse
import asyncio
import random
import sys

FAULTS = ["delay", "cut", "error500", "error503", "drop"]
HOP_BY_HOP = {b"connection", b"keep-alive", b"proxy-connection", b"te", b"trailer",
              b"transfer-encoding", b"upgrade", b"expect"}
NO_BODY_STATUSES = {204, 304}


class Closed(Exception):
    pass


def parse_head(head):
    lines = head.split(b"\r\n")
    first = lines[0].split(b" ", 2)
    headers = []
    for line in lines[1:]:
        if line:
            name, _, value = line.partition(b":")
            headers.append((name.strip(), value.strip()))
    return first, headers


def header(headers, name):
    for key, value in headers:
        if key.lower() == name:
            return value
    return None


async def read_body(reader, headers, until_eof=False):
    if (header(headers, b"transfer-encoding") or b"").lower().endswith(b"chunked"):
        body = b""
        while True:
            size = int((await reader.readuntil(b"\r\n")).split(b";")[0].strip(), 16)
            if size == 0:
                while await reader.readuntil(b"\r\n") != b"\r\n":
                    pass
                return body
            body += await reader.readexactly(size)
            await reader.readexactly(2)
    length = header(headers, b"content-length")
    if length is not None:
        return await reader.readexactly(int(length))
    return await reader.read() if until_eof else b""


def message(first_line, headers, body):
    lines = [first_line] + [k + b": " + v for k, v in headers] + [b"", b""]
    return b"\r\n".join(lines) + body


class Proxy:
    def __init__(self, options):
        self.options = options
        self.settings = {}
        self.last_words = None
        self.random = random.Random(options.seed)
        self.count = 0
        self.server = None
        self.down = False
        self.writers = set()
        self.log = open(options.log, "a", buffering=1) if options.log else sys.stderr

    def setting(self, name):
        return self.settings.get(name, getattr(self.options, name.replace("-", "_")))

    def read_control(self):
        """Whether the control file says "down"; the overrides land in self.settings."""
        self.settings = {}
        if not self.options.control:
            return False
        try:
            with open(self.options.control) as control:
                words = control.read().split()
        except FileNotFoundError:
            return False
        complain = words != self.last_words
        self.last_words = words
        for word in words:
            name, equals, value = word.partition("=")
            if not equals:
                continue
            try:
                self.settings[name] = float(value)
            except ValueError:
                if complain:
                    print("control: ignored %r" % word, file=self.log)
        return "down" in words

    def choose(self):
        roll = self.random.random()
        for fault in FAULTS:
            roll -= self.setting(fault)
            if roll < 0:
                return fault
        return "pass"

    async def listen(self):
        self.server = await asyncio.start_server(self.serve, "127.0.0.1", self.options.port,
                                                 limit=1 << 20, reuse_address=True)
        return self.server.sockets[0].getsockname()[1]

    async def watch(self):
        while True:
            down = self.read_control()
            if down and not self.down:
                self.down = True
                self.server.close()
                for writer in list(self.writers):
                    writer.transport.abort()
                print("mode down", file=self.log)
            elif not down and self.down:
                self.down = False
                await self.listen()
                print("mode up", file=self.log)
            await asyncio.sleep(0.05)

    async def serve(self, reader, writer):
        self.writers.add(writer)
        try:
            while await self.one_request(reader, writer):
                pass
        except (Closed, ValueError, asyncio.IncompleteReadError, ConnectionError, asyncio.LimitOverrunError):
            pass
        finally:
            self.writers.discard(writer)
            writer.transport.abort()

    async def one_request(self, reader, writer):
        """Handles one request; False when the connection is to be closed."""
        try:
            head = await reader.readuntil(b"\r\n\r\n")
        except asyncio.IncompleteReadError:
            return False
        (method, target, version), headers = parse_head(head[:-4])
        if header(headers, b"expect") == b"100-continue":
            writer.write(b"HTTP/1.1 100 Continue\r\n\r\n")
        body = await read_body(reader, headers)
        connection = (header(headers, b"connection") or b"").lower()
        keep_alive = connection != b"close" and (version != b"HTTP/1.0" or connection == b"keep-alive")

        if self.read_control():
            raise Closed()
        self.count += 1
        fault = self.choose()
        status = "-"
        try:
            if fault in ("error500", "error503"):
                code = 500 if fault == "error500" else 503
                answer = message(b"HTTP/1.1 %d %s" % (code, b"Internal Server Error" if code == 500
                                                      else b"Service Unavailable"),
                                 [(b"Content-Type", b"text/plain"), (b"Content-Length", b"12")],
                                 b"fault proxy\n")
            else:
                answer, status = await self.forward(method, target, headers, body, keep_alive)
                if fault == "drop":
                    raise Closed()
                if fault == "delay":
                    await asyncio.sleep(self.random.uniform(0, self.setting("delay-max")) / 1000)
                if fault == "cut":
                    writer.write(self.cut(answer))
                    await writer.drain()
                    raise Closed()
        finally:
            print("%d %s %s %s %s" % (self.count, method.decode(), target.decode(), fault, status),
                  file=self.log)
        writer.write(answer)
        await writer.drain()
        return keep_alive

    def cut(self, answer):
        head_end = answer.index(b"\r\n\r\n") + 4
        if head_end == len(answer):
            return answer[:self.random.randrange(head_end - 2)]
        return answer[:self.random.randrange(head_end, len(answer))]

    async def forward(self, method, target, headers, body, keep_alive):
        """The server's answer re-framed for the client, and its status as text."""
        host, _, port = self.options.upstream.rpartition(":")
        try:
            up_reader, up_writer = await asyncio.open_connection(host, int(port), limit=1 << 20)
        except OSError:
            return message(b"HTTP/1.1 502 Bad Gateway", [(b"Content-Length", b"0")], b""), "-"
        try:
            sent = [(k, v) for k, v in headers if k.lower() not in HOP_BY_HOP and k.lower() != b"content-length"]
            sent += [(b"Content-Length", b"%d" % len(body)), (b"Connection", b"close")]
            up_writer.write(message(b"%s %s HTTP/1.1" % (method, target), sent, body))
            await up_writer.drain()
            head = await up_reader.readuntil(b"\r\n\r\n")
            (_, code, *reason), answer_headers = parse_head(head[:-4])
            status = int(code)
            if method == b"HEAD" or status in NO_BODY_STATUSES or status < 200:
                answer_body = b""
            else:
                answer_body = await read_body(up_reader, answer_headers, until_eof=True)
        except (OSError, ValueError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
            return message(b"HTTP/1.1 502 Bad Gateway", [(b"Content-Length", b"0")], b""), "-"
        finally:
            up_writer.transport.abort()
        kept = [(k, v) for k, v in answer_headers if k.lower() not in HOP_BY_HOP and k.lower() != b"content-length"]
        kept.append((b"Content-Length", b"%d" % len(answer_body)))
        kept.append((b"Connection", b"keep-alive" if keep_alive else b"close"))
        first = b"HTTP/1.1 %d %s" % (status, reason[0] if reason else b"")
        return message(first, kept, answer_body), str(status)


def probability(text):
    value = float(text)
    if not 0 <= value <= 1:
        raise argparse.ArgumentTypeError("a probability is between 0 and 1")
    return value


async def run(options):
    proxy = Proxy(options)
    port = await proxy.listen()
    options.port = port
    print("port %d" % port, flush=True)
    await proxy.watch()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--upstream", required=True, help="HOST:PORT of the server")
    parser.add_argument("--port", type=int, default=0, help="port to listen on (default: a free one)")
    parser.add_argument("--seed", type=int, default=1)
    for fault in FAULTS:
        parser.add_argument("--" + fault, type=probability, default=0.0, help="probability of " + fault)
    parser.add_argument("--delay-max", type=float, default=500, help="longest delay in milliseconds")
    parser.add_argument("--control", help="control file, see above")
    parser.add_argument("--log", help="log file instead of stderr")
    options = parser.parse_args()
    if sum(getattr(options, fault) for fault in FAULTS) > 1:
        parser.error("the probabilities add up to more than 1")
    try:
        asyncio.run(run(options))
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
