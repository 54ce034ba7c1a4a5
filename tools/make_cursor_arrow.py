#!/usr/bin/env python3
"""Draws the enlarged cursor's source image: a 512x512 RGBA PNG of a white arrow with a black outline
on a transparent background, its tip at pixel (0, 0).

    make_cursor_arrow.py [--rgb] <output.png>

--rgb writes the same arrow without an alpha channel (on black), for tests of the image checks.

Only the standard library is used: the outline is found from the distance to the arrow's edges and the
PNG is written with zlib and struct.
"""
import math
import struct
import sys
import zlib

SIZE = 512
# The arrow on a 24-unit grid, tip first, clockwise in image coordinates (y grows downwards).
SHAPE = [(0.0, 0.0), (14.5, 14.5), (8.6, 14.5), (12.0, 22.0), (9.0, 23.4), (5.6, 15.8), (0.0, 20.6)]
SCALE = 21.0
OUTLINE = 22.0  # black border width, in pixels, measured inwards from the edge


def polygon():
    return [(x * SCALE, y * SCALE) for x, y in SHAPE]


def inside(px, py, points):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def edge_distance(px, py, points):
    best = float("inf")
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        ex, ey = xi - xj, yi - yj
        length2 = ex * ex + ey * ey
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - xj) * ex + (py - yj) * ey) / length2))
        dx, dy = px - (xj + t * ex), py - (yj + t * ey)
        best = min(best, dx * dx + dy * dy)
        j = i
    return math.sqrt(best)


def clamp01(value):
    return 0.0 if value < 0.0 else 1.0 if value > 1.0 else value


def render():
    points = polygon()
    max_x = int(max(x for x, _ in points)) + 2
    max_y = int(max(y for _, y in points)) + 2
    rows = []
    for y in range(SIZE):
        row = bytearray(SIZE * 4)
        if y <= max_y:
            for x in range(min(SIZE, max_x)):
                cx, cy = x + 0.5, y + 0.5
                d = edge_distance(cx, cy, points)
                signed = d if inside(cx, cy, points) else -d
                alpha = clamp01(signed + 0.5)
                # The pixel at the tip itself is always inked, so the hotspot lands on the arrow.
                if x == 0 and y == 0:
                    alpha = 1.0
                if alpha <= 0.0:
                    continue
                white = clamp01(signed - OUTLINE + 0.5)
                grey = int(round(255 * white))
                row[x * 4:x * 4 + 4] = bytes((grey, grey, grey, int(round(255 * alpha))))
        rows.append(bytes(row))
    return rows


def drop_alpha(rows):
    return [bytes(b for i, b in enumerate(row) if i % 4 != 3) for row in rows]


def png(rows, colour_type=6):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, colour_type, 0, 0, 0)  # 8 bits, no interlace
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    args = sys.argv[1:]
    rgb = args[:1] == ["--rgb"]
    if rgb:
        args = args[1:]
    if len(args) != 1:
        sys.exit(__doc__)
    rows = render()
    data = png(drop_alpha(rows), colour_type=2) if rgb else png(rows)
    with open(args[0], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
