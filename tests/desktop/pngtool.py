#!/usr/bin/env python3
# A small PNG reader for the desktop tests (8-bit, not interlaced; no third-party modules).
#   pngtool.py pixel FILE X Y                 the colour at X,Y as rrggbb
#   pngtool.py inkrows FILE X Y W H THRESHOLD "first last" of each run of rows of the rectangle
#                                             holding pixels darker than THRESHOLD (sum of r, g, b)
import struct
import sys
import zlib


def read_png(path):
    """The rows of the picture, each as bytes r, g, b per pixel."""
    data, pos, idat = open(path, "rb").read(), 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            width, height, _, ctype = struct.unpack(">IIBB", data[pos + 8:pos + 18])
        elif kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    n = {0: 1, 2: 3, 4: 2, 6: 4}[ctype]
    raw, stride, prev, rows = zlib.decompress(idat), width * n, bytearray(width * n), []
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, prev))
        elif kind:
            for x in range(stride):
                a, b, c = (line[x - n], prev[x], prev[x - n]) if x >= n else (0, prev[x], 0)
                if kind == 4:
                    p = a + b - c
                    a = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
                elif kind == 3:
                    a = (a + b) >> 1
                line[x] = (line[x] + a) & 255
        prev = line
        rows.append(bytes(line) if n == 3 else bytes(v for i in range(0, stride, n)
                                                    for v in (line[i:i + 3] if n > 2 else line[i:i + 1] * 3)))
    return rows


def dark(rows, x, y, threshold):
    return sum(rows[y][3 * x:3 * x + 3]) < threshold


cmd, path, *args = sys.argv[1:]
rows = read_png(path)
if cmd == "pixel":
    x, y = map(int, args)
    print(rows[y][3 * x:3 * x + 3].hex())
elif cmd == "inkrows":
    x, y, w, h, threshold = map(int, args)
    w, h = min(w, len(rows[0]) // 3 - x), min(h, len(rows) - y)
    runs = []
    for j in [j for j in range(y, y + h) if any(dark(rows, i, j, threshold) for i in range(x, x + w))]:
        if runs and j - runs[-1][1] <= 1:
            runs[-1][1] = j
        else:
            runs.append([j, j])
    for run in runs:
        print(*run)
