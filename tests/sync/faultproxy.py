# An HTTP/1.1 forwarding proxy in front of a CalDAV server that misbehaves on purpose, for
# harness.py, which runs it on a thread of its own (start()) on a free port of 127.0.0.1.
#
# Each request gets one fault, drawn with a seeded random generator from the probabilities in
# Proxy.settings (what is left over passes through untouched):
#   error500  answered without forwarding
#   drop      forwarded (the server does the work), then the connection closed without an answer
#
# Requests go to the server with "Connection: close"; answers go to the client with a
# Content-Length and keep its connection alive.

import asyncio
import queue
import random
import threading

FAULTS = ["error500", "drop"]
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
    def __init__(self, upstream, seed):
        self.upstream = upstream
        self.random = random.Random(seed)
        self.settings = {}  # fault: probability

    def choose(self):
        roll = self.random.random()
        for fault in FAULTS:
            roll -= self.settings.get(fault, 0)
            if roll < 0:
                return fault
        return "pass"

    async def serve(self, reader, writer):
        try:
            while await self.one_request(reader, writer):
                pass
        except (Closed, ValueError, ConnectionError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
            pass
        finally:
            writer.transport.abort()

    async def one_request(self, reader, writer):
        """Handles one request; False when the connection is to be closed."""
        (method, target, _), headers = parse_head((await reader.readuntil(b"\r\n\r\n"))[:-4])
        body = await reader.readexactly(int(header(headers, b"content-length") or 0))
        keep_alive = header(headers, b"connection").lower() != b"close"
        connection = b"keep-alive" if keep_alive else b"close"
        fault = self.choose()
        if fault == "error500":
            answer = message(b"HTTP/1.1 500 Internal Server Error", [(b"Content-Type", b"text/plain")],
                             b"fault proxy\n", connection)
        else:
            answer = await self.forward(method, target, headers, body, connection)
        if fault == "drop":
            raise Closed()
        writer.write(answer)
        await writer.drain()
        return keep_alive

    async def forward(self, method, target, headers, body, connection):
        """The server's answer framed for the client."""
        host, _, port = self.upstream.rpartition(":")
        try:
            up_reader, up_writer = await asyncio.open_connection(host, int(port), limit=1 << 20)
        except OSError:
            return BAD_GATEWAY
        try:
            up_writer.write(message(b"%s %s HTTP/1.1" % (method, target), headers, body, b"close"))
            await up_writer.drain()
            (_, code, *reason), answer_headers = parse_head((await up_reader.readuntil(b"\r\n\r\n"))[:-4])
            # The server closes the connection after its answer.
            answer_body = b"" if method == b"HEAD" else await up_reader.read()
        except (OSError, ValueError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
            return BAD_GATEWAY
        finally:
            up_writer.transport.abort()
        first = b"HTTP/1.1 %s %s" % (code, reason[0] if reason else b"")
        return message(first, answer_headers, answer_body, connection)


def start(upstream, seed):
    """A proxy to upstream ("HOST:PORT") running on a thread of its own, and its port."""
    proxy, port = Proxy(upstream, seed), queue.Queue()

    async def serve():
        server = await asyncio.start_server(proxy.serve, "127.0.0.1", 0, limit=1 << 20)
        port.put(server.sockets[0].getsockname()[1])
        await server.serve_forever()
    threading.Thread(target=asyncio.run, args=(serve(),), daemon=True).start()
    return proxy, port.get(timeout=10)
