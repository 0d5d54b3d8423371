#!/usr/bin/env python3
"""Small PNG reader for the desktop tests (no third-party modules).

  pngtool.py pixel FILE X Y             print the colour at X,Y as rrggbb
  pngtool.py size FILE                  print "WIDTH HEIGHT"
  pngtool.py same FILE1 FILE2 X Y W H   exit 0 when the rectangle is identical in both
  pngtool.py still FILE1 FILE2 X Y W H [OUT]
                                        exit 0 when the rectangle is identical in both but for
                                        a blinking text cursor (all differing pixels within 3
                                        columns and 40 rows); OUT gets the one without it
  pngtool.py colorbox FILE RRGGBB       print "x y width height" of the smallest rectangle
                                        holding every pixel of that colour; exit 1 if none
  pngtool.py crop FILE OUT X Y W H      write the rectangle as a new PNG
  pngtool.py diffbox FILE1 FILE2 X Y W H
                                        print "x y width height" of the smallest rectangle
                                        holding every pixel of the given one that differs;
                                        exit 1 when none does
  pngtool.py inkrows FILE X Y W H [THRESHOLD]
                                        print "first last" of every run of rows in the
                                        rectangle holding dark pixels (text, icons)
  pngtool.py inkcols FILE X Y W H [THRESHOLD [GAP]]
                                        the same for columns; runs less than GAP (default 6)
                                        apart count as one: a tool button's icon and label
"""
import shutil
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("%s: not a PNG" % path)
    pos, idat, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
    width, height, depth, ctype, _, _, interlace = header
    if depth != 8 or interlace or ctype not in (0, 2, 4, 6):
        raise SystemExit("%s: unsupported PNG (depth %d, type %d, interlace %d)"
                         % (path, depth, ctype, interlace))
    bpp = {0: 1, 2: 3, 4: 2, 6: 4}[ctype]
    raw = zlib.decompress(b"".join(idat))
    stride = width * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        ftype, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if ftype == 1:
                line[x] = (line[x] + a) & 255
            elif ftype == 2:
                line[x] = (line[x] + b) & 255
            elif ftype == 3:
                line[x] = (line[x] + ((a + b) >> 1)) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 255
        rows.append(bytes(line))
        prev = line
    # Normalise to RGB triples.
    out = []
    for line in rows:
        if ctype == 2:
            out.append(line)
        elif ctype == 6:
            out.append(b"".join(line[k:k + 3] for k in range(0, len(line), 4)))
        elif ctype == 0:
            out.append(bytes(v for g in line for v in (g, g, g)))
        else:
            out.append(bytes(v for k in range(0, len(line), 2) for v in (line[k],) * 3))
    return width, height, out


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + r for r in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def rect(rows, x, y, w, h):
    return [r[3 * x:3 * (x + w)] for r in rows[y:y + h]]


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    cmd, path = argv[1], argv[2]
    width, height, rows = read_png(path)
    nums = [int(v) for v in argv[3:] if v.lstrip("-").isdigit()]
    if cmd == "size":
        print(width, height)
    elif cmd == "pixel":
        x, y = nums[:2]
        print(rows[y][3 * x:3 * x + 3].hex())
    elif cmd == "same":
        w2, h2, rows2 = read_png(argv[3])
        x, y, w, h = [int(v) for v in argv[4:8]]
        return 0 if rect(rows, x, y, w, h) == rect(rows2, x, y, w, h) else 1
    elif cmd == "still":
        w2, h2, rows2 = read_png(argv[3])
        x, y, w, h = [int(v) for v in argv[4:8]]
        if (w2, h2) != (width, height):
            return 1
        diff = [(xx, yy) for yy in range(y, min(y + h, height))
                if rows[yy][3 * x:3 * (x + w)] != rows2[yy][3 * x:3 * (x + w)]
                for xx in range(x, min(x + w, width))
                if rows[yy][3 * xx:3 * xx + 3] != rows2[yy][3 * xx:3 * xx + 3]]
        if diff:
            xs, ys = [p[0] for p in diff], [p[1] for p in diff]
            if max(xs) - min(xs) >= 3 or max(ys) - min(ys) >= 40:
                return 1
        if len(argv) > 8:
            # The cursor is dark on a light field: the picture without it is the lighter one.
            ink = [sum(sum(r[3 * xx:3 * xx + 3]) for xx, yy in diff for r in (img[yy],))
                   for img in (rows, rows2)]
            shutil.copyfile(path if ink[0] >= ink[1] else argv[3], argv[8])
    elif cmd == "diffbox":
        w2, h2, rows2 = read_png(argv[3])
        x, y, w, h = [int(v) for v in argv[4:8]]
        if (w2, h2) != (width, height):
            raise SystemExit("%s and %s differ in size" % (path, argv[3]))
        xs, ys = [], []
        for yy in range(y, min(y + h, height)):
            a, b = rows[yy], rows2[yy]
            if a[3 * x:3 * (x + w)] == b[3 * x:3 * (x + w)]:
                continue
            cols = [xx for xx in range(x, min(x + w, width)) if a[3 * xx:3 * xx + 3] != b[3 * xx:3 * xx + 3]]
            xs += [cols[0], cols[-1]]
            ys.append(yy)
        if not ys:
            return 1
        print(min(xs), ys[0], max(xs) - min(xs) + 1, ys[-1] - ys[0] + 1)
    elif cmd == "colorbox":
        colour = bytes.fromhex(argv[3])
        xs, ys = [], []
        for yy, line in enumerate(rows):
            cols = [xx for xx in range(width) if line[3 * xx:3 * xx + 3] == colour]
            if cols:
                xs += [cols[0], cols[-1]]
                ys.append(yy)
        if not ys:
            return 1
        print(min(xs), ys[0], max(xs) - min(xs) + 1, ys[-1] - ys[0] + 1)
    elif cmd == "crop":
        x, y, w, h = [int(v) for v in argv[4:8]]
        w, h = min(w, width - x), min(h, height - y)
        write_png(argv[3], w, h, rect(rows, x, y, w, h))
    elif cmd == "inkrows":
        x, y, w, h = nums[:4]
        threshold = nums[4] if len(nums) > 4 else 400
        runs, start = [], None
        for yy in range(y, min(y + h, height)):
            line = rows[yy]
            ink = any(sum(line[3 * xx:3 * xx + 3]) < threshold
                      for xx in range(x, min(x + w, width)))
            if ink and start is None:
                start = yy
            elif not ink and start is not None:
                runs.append((start, yy - 1))
                start = None
        if start is not None:
            runs.append((start, min(y + h, height) - 1))
        for a, b in runs:
            print(a, b)
    elif cmd == "inkcols":
        x, y, w, h = nums[:4]
        threshold = nums[4] if len(nums) > 4 else 400
        gap = nums[5] if len(nums) > 5 else 6
        runs = []
        for xx in range(x, min(x + w, width)):
            if any(sum(rows[yy][3 * xx:3 * xx + 3]) < threshold for yy in range(y, min(y + h, height))):
                if runs and xx - runs[-1][1] <= gap:
                    runs[-1][1] = xx
                else:
                    runs.append([xx, xx])
        for a, b in runs:
            print(a, b)
    else:
        raise SystemExit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
