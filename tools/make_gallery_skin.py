#!/usr/bin/env python3
"""Draws the gallery's images and packs its skin.

    make_gallery_skin.py <gallery.xml> <skin.zip> [<image folder>]

The zip gets gallery.xml and every image under img/: state frames for the edit and the hot key, the
progress bar's fill, the slider's thumb, the palette's thumb, an animated GIF and a sprite sheet of
equal frames side by side. With an image folder the files are also written there for a look at them.
Only the standard library is used: PNG and GIF files are written by hand (zlib, struct).
"""
import math
import os
import struct
import sys
import zipfile
import zlib


def png(width, height, pixel):
    """An RGBA PNG; pixel(x, y) gives (r, g, b, a)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(bytes(pixel(x, y)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def gif(width, height, frames, palette):
    """An animated GIF89a that loops; frames are (pixel(x, y) -> palette index, delay in 1/100 s)."""
    bits = max(1, (len(palette) - 1).bit_length())
    size = 1 << bits
    colours = list(palette) + [(0, 0, 0)] * (size - len(palette))
    min_code = max(2, bits)
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0))
    for r, g, b in colours:
        out += bytes((r, g, b))
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    clear, end = 1 << min_code, (1 << min_code) + 1
    width_bits = min_code + 1
    # A clear code before every second pixel keeps the codes at their first width: a valid stream
    # without writing the compression.
    for pixel, delay in frames:
        out += b"\x21\xF9\x04\x00" + struct.pack("<H", delay) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0) + bytes((min_code,))
        acc = count = 0
        packed = bytearray()

        def put(code):
            nonlocal acc, count
            acc |= code << count
            count += width_bits
            while count >= 8:
                packed.append(acc & 0xFF)
                acc >>= 8
                count -= 8

        n = 0
        for y in range(height):
            for x in range(width):
                if n % 2 == 0:
                    put(clear)
                put(pixel(x, y))
                n += 1
        put(end)
        if count:
            packed.append(acc & 0xFF)
        for at in range(0, len(packed), 255):
            block = packed[at:at + 255]
            out += bytes((len(block),)) + block
        out += b"\x00"
    out += b"\x3B"
    return bytes(out)


def round_rect(width, height, radius, fill, border=None):
    def pixel(x, y):
        cx = min(max(x + 0.5, radius), width - radius)
        cy = min(max(y + 0.5, radius), height - radius)
        d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) - radius
        if d > 0.5:
            return (0, 0, 0, 0)
        coverage = min(1.0, 0.5 - d)
        colour = border if border and d > -1.5 else fill
        return colour[:3] + (int(colour[3] * coverage),)
    return pixel


def disc(size, fill, ring):
    r = size / 2.0

    def pixel(x, y):
        d = math.hypot(x + 0.5 - r, y + 0.5 - r) - (r - 0.5)
        if d > 0.5:
            return (0, 0, 0, 0)
        colour = ring if d > -2 else fill
        return colour[:3] + (int(colour[3] * min(1.0, 0.5 - d)),)
    return pixel


def images():
    files = {}
    white = (255, 255, 255, 255)
    # Edit and hot-key frames, one per state: normal, hot, focused, disabled.
    for name, border, fill in [("normal", (160, 160, 160, 255), white), ("hot", (90, 140, 220, 255), white),
                               ("focused", (30, 100, 210, 255), white),
                               ("disabled", (200, 200, 200, 255), (240, 240, 240, 255))]:
        files["img/field_%s.png" % name] = png(24, 24, round_rect(24, 24, 3, fill, border))
    # The progress bar's fill: a vertical blue gradient.
    files["img/progress_fore.png"] = png(8, 14, lambda x, y: (40 + 6 * y, 120 + 5 * y, 220, 255))
    files["img/progress_back.png"] = png(24, 14, round_rect(24, 14, 4, (225, 228, 234, 255)))
    files["img/slider_thumb.png"] = png(16, 16, disc(16, white, (30, 100, 210, 255)))
    files["img/palette_thumb.png"] = png(10, 10, disc(10, (0, 0, 0, 0), white))
    # A loader that walks round: eight frames of a dot on a circle, 80 ms each.
    # The gallery's background colour first, so the frames sit on the window without a box.
    palette = [(247, 248, 250), (30, 100, 210), (200, 215, 235)]

    def frame(k):
        def pixel(x, y):
            for i in range(8):
                a = 2 * math.pi * i / 8
                if math.hypot(x - 16 - 10 * math.cos(a), y - 16 - 10 * math.sin(a)) <= 3.2:
                    return 1 if i == k else 2
            return 0
        return pixel
    files["img/busy.gif"] = gif(32, 32, [(frame(k), 8) for k in range(8)], palette)
    # A sprite sheet of six 32 x 32 frames: a bar that fills up.
    def sheet(x, y):
        k, fx = divmod(x, 32)
        if 4 <= y < 28 and 4 <= fx < 28:
            return (240, 140, 30, 255) if 28 - y <= (k + 1) * 4 else (250, 225, 190, 255)
        return (0, 0, 0, 0)
    files["img/sheet.png"] = png(32 * 6, 32, sheet)
    # The rich edit's vertical bar: a rounded grey thumb on a light rail.
    files["img/scroll_thumb.png"] = png(8, 24, round_rect(8, 24, 3, (176, 184, 196, 255)))
    files["img/scroll_rail.png"] = png(8, 24, round_rect(8, 24, 3, (233, 236, 241, 255)))
    # Check boxes of the editable list: an empty box, and a blue box with a white tick.
    files["img/check_normal.png"] = png(14, 14, round_rect(14, 14, 2, white, (150, 156, 166, 255)))

    def checked(x, y):
        on_tick = (3 <= x <= 6 and abs(y - (x + 4)) <= 1) or (6 <= x <= 11 and abs(y - (16 - x)) <= 1)
        return white if on_tick else round_rect(14, 14, 2, (46, 125, 210, 255))(x, y)
    files["img/check_checked.png"] = png(14, 14, checked)
    # Tree folders (an open one points down, a closed one right) and check boxes, 18 x 18.
    grey = (90, 96, 108, 255)

    def folder(open_):
        def pixel(x, y):
            u, v = (x - 9, y - 9) if open_ else (y - 9, x - 9)
            return grey if -3 <= v <= 2 and abs(u) <= 2 - v + 1 and v >= -2 else (0, 0, 0, 0)
        return pixel
    files["img/tree_folder_open.png"] = png(18, 18, folder(True))
    files["img/tree_folder_closed.png"] = png(18, 18, folder(False))

    def check(on):
        def pixel(x, y):
            if not (3 <= x <= 14 and 3 <= y <= 14):
                return (0, 0, 0, 0)
            if x in (3, 14) or y in (3, 14):
                return (30, 100, 210, 255) if on else (150, 156, 168, 255)
            if on and 6 <= x <= 11 and 6 <= y <= 11:
                return (30, 100, 210, 255)
            return white
        return pixel
    files["img/tree_check_off.png"] = png(18, 18, check(False))
    files["img/tree_check_on.png"] = png(18, 18, check(True))
    # Menu items: a check mark, an icon (a small page) and the expand arrow of an item with a sub-menu.
    def tick(x, y):
        on_short = 3 <= x <= 6 and abs((y - 8) - (x - 3)) <= 1
        on_long = 6 <= x <= 13 and abs((y - 11) + (x - 6)) <= 1
        return (30, 100, 210, 255) if on_short or on_long else (0, 0, 0, 0)
    files["img/menu_tick.png"] = png(16, 16, tick)
    files["img/menu_icon.png"] = png(16, 16, lambda x, y: ((90, 140, 220, 255) if x in (2, 13) or y in (1, 14)
                                                          else (235, 242, 252, 255)) if 2 <= x <= 13 and 1 <= y <= 14
                                     else (0, 0, 0, 0))
    files["img/menu_arrow.png"] = png(8, 8, lambda x, y: (80, 80, 80, 255) if 2 <= x <= 5 and abs(y - 3.5) <= 5.5 - x
                                      else (0, 0, 0, 0))
    # The fade button's normal and hot frames.
    files["img/fade_normal.png"] = png(24, 24, round_rect(24, 24, 4, (225, 228, 234, 255), (190, 196, 206, 255)))
    files["img/fade_hot.png"] = png(24, 24, round_rect(24, 24, 4, (46, 125, 210, 255), (30, 100, 190, 255)))
    # The ring: a thick circle that fades out towards its end, so that turning shows.
    def ring(x, y):
        dx, dy = x + 0.5 - 16, y + 0.5 - 16
        d = abs(math.hypot(dx, dy) - 12)
        if d > 3.5:
            return (0, 0, 0, 0)
        share = (math.atan2(dy, dx) + math.pi) / (2 * math.pi)
        return (30, 100, 210, int(255 * share * min(1.0, 3.5 - d)))
    files["img/ring.png"] = png(32, 32, ring)
    return files


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    xml, package = sys.argv[1], sys.argv[2]
    files = images()
    with open(xml, "rb") as f:
        files["gallery.xml"] = f.read()
    os.makedirs(os.path.dirname(os.path.abspath(package)), exist_ok=True)
    with zipfile.ZipFile(package + ".tmp", "w", zipfile.ZIP_DEFLATED) as z:
        for name in sorted(files):
            z.writestr(name, files[name])
    os.replace(package + ".tmp", package)
    if len(sys.argv) == 4:
        for name, data in files.items():
            path = os.path.join(sys.argv[3], name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
