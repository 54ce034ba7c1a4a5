#!/usr/bin/env python3
"""Draws every image of the tray program's skin and packs the skin package.

    make_skin_package.py <skin folder> <package.zip> <icon.ico> [<image folder>]

The skin folder holds the three window descriptions (main_wnd.xml, pop_menu.xml, setting_wnd.xml).
The package gets them, the folder entry "img/" and every image under img/: each at its base size and,
except the tray menu's shadow, as "@150" and "@200" variants drawn at exactly 1.5 and 2 times that
size. The icon file gets the tray and window icon at 16, 24, 32 and 48 pixels. With an image folder,
the PNG files are also written there for a look at them.

Shapes are drawn from signed distances (so every scale is drawn afresh, not resampled), PNG and ICO
files are written with zlib and struct, the zip with zipfile.
Captions are drawn with WenQuanYi Micro Hei through Pillow (both installed by tools/bootstrap.sh).
"""
import math
import os
import struct
import sys
import zipfile
import zlib

XML_FILES = ["main_wnd.xml", "pop_menu.xml", "setting_wnd.xml"]
SCALES = [("", 1.0), ("@150", 1.5), ("@200", 2.0)]


# ---------------------------------------------------------------------------------------------------
# Canvas: premultiplied RGBA in floats, composited "source over".

def rgba(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


class Canvas:
    def __init__(self, width, height, scale):
        self.width = width
        self.height = height
        self.scale = scale
        self.px = [0.0] * (width * height * 4)

    def fill(self, box, coverage, colour):
        """Blends colour over the pixels of box (design units) by coverage(x, y) in device pixels."""
        r, g, b, a = colour
        s = self.scale
        x0 = max(0, int(math.floor(box[0] * s)) - 1)
        y0 = max(0, int(math.floor(box[1] * s)) - 1)
        x1 = min(self.width, int(math.ceil(box[2] * s)) + 1)
        y1 = min(self.height, int(math.ceil(box[3] * s)) + 1)
        px = self.px
        for y in range(y0, y1):
            cy = y + 0.5
            i = (y * self.width + x0) * 4
            for x in range(x0, x1):
                c = coverage(x + 0.5, cy)
                if c > 0.0:
                    sa = a * (c if c < 1.0 else 1.0)
                    keep = 1.0 - sa
                    px[i] = r * sa + px[i] * keep
                    px[i + 1] = g * sa + px[i + 1] * keep
                    px[i + 2] = b * sa + px[i + 2] * keep
                    px[i + 3] = 255.0 * sa + px[i + 3] * keep
                i += 4

    def shape(self, box, distance, colour):
        """Fills the shape whose signed distance (device pixels, negative inside) is given."""
        def coverage(x, y):
            d = 0.5 - distance(x, y)
            return 0.0 if d <= 0.0 else d
        self.fill(box, coverage, colour)

    def rows(self):
        out = []
        px = self.px
        for y in range(self.height):
            row = bytearray(self.width * 4)
            base = y * self.width * 4
            for x in range(self.width):
                i = base + x * 4
                a = px[i + 3]
                if a <= 0.0:
                    continue
                k = 255.0 / a
                row[x * 4] = min(255, int(round(px[i] * k)))
                row[x * 4 + 1] = min(255, int(round(px[i + 1] * k)))
                row[x * 4 + 2] = min(255, int(round(px[i + 2] * k)))
                row[x * 4 + 3] = min(255, int(round(a)))
            out.append(bytes(row))
        return out


# ---------------------------------------------------------------------------------------------------
# Signed distances. Shapes take design units and a scale and answer in device pixels.

def rounded_rect(left, top, right, bottom, radius, s, radii=None):
    """radii: (top-left, top-right, bottom-right, bottom-left), else radius for every corner."""
    cx, cy = (left + right) / 2 * s, (top + bottom) / 2 * s
    hw, hh = (right - left) / 2 * s, (bottom - top) / 2 * s
    corners = [r * s for r in (radii or (radius,) * 4)]

    def distance(x, y):
        dx, dy = x - cx, y - cy
        if dx < 0:
            r = corners[0] if dy < 0 else corners[3]
        else:
            r = corners[1] if dy < 0 else corners[2]
        qx, qy = abs(dx) - hw + r, abs(dy) - hh + r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return distance


def circle(cx, cy, radius, s):
    cx, cy, radius = cx * s, cy * s, radius * s
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def segment_distance(x, y, ax, ay, bx, by):
    ex, ey = bx - ax, by - ay
    length2 = ex * ex + ey * ey
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / length2))
    return math.hypot(x - ax - t * ex, y - ay - t * ey)


def strokes(segments, width, s):
    """Union of round-capped strokes; segments in design units."""
    scaled = [tuple(v * s for v in seg) for seg in segments]
    half = width * s / 2

    def distance(x, y):
        best = min(segment_distance(x, y, *seg) for seg in scaled)
        return best - half
    return distance


def polygon(points, s):
    pts = [(x * s, y * s) for x, y in points]

    def distance(x, y):
        inside = False
        best = float("inf")
        j = len(pts) - 1
        for i, (xi, yi) in enumerate(pts):
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            best = min(best, segment_distance(x, y, xj, yj, xi, yi))
            j = i
        return -best if inside else best
    return distance


def arc_points(cx, cy, rx, ry, start_deg, end_deg, steps=12):
    pts = []
    for k in range(steps + 1):
        t = math.radians(start_deg + (end_deg - start_deg) * k / steps)
        pts.append((cx + rx * math.cos(t), cy + ry * math.sin(t)))
    return pts


def polyline(points):
    return [(a[0], a[1], b[0], b[1]) for a, b in zip(points, points[1:])]


# ---------------------------------------------------------------------------------------------------
# Text, drawn from the CJK font that tools/bootstrap.sh installs: the captions are part of the images,
# so whatever fonts the machine that shows them has, they read as they were drawn here.

FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
_fonts = {}


def text_font(pixels):
    if pixels not in _fonts:
        try:
            from PIL import ImageFont
            _fonts[pixels] = ImageFont.truetype(FONT_FILE, pixels, index=0)
        except (ImportError, OSError) as error:
            sys.exit(f"make_skin_package: drawing the captions needs python3-pil and {FONT_FILE} "
                     f"(tools/bootstrap.sh installs both): {error}")
    return _fonts[pixels]


def draw_text(canvas, x, middle, text, size, colour):
    """Draws text starting at x with its line centred on middle (design units); returns the end."""
    from PIL import Image, ImageDraw
    s = canvas.scale
    font = text_font(max(1, round(size * s)))
    mask = Image.new("L", (canvas.width, canvas.height), 0)
    ImageDraw.Draw(mask).text((x * s, middle * s), text, fill=255, font=font, anchor="lm")
    box = mask.getbbox()
    if box:
        width = canvas.width
        cover = mask.tobytes()
        canvas.fill((box[0] / s, box[1] / s, box[2] / s, box[3] / s),
                    lambda px, py: cover[int(py) * width + int(px)] / 255.0, colour)
    return x + font.getlength(text) / s


# ---------------------------------------------------------------------------------------------------
# Symbols shared by several images.

BLUE = "#2F7CF6"
ARROW = [(0.0, 0.0), (14.5, 14.5), (8.6, 14.5), (12.0, 22.0), (9.0, 23.4), (5.6, 15.8), (0.0, 20.6)]


def arrow(canvas, x, y, height, fill, outline=None, outline_width=0.0):
    k = height / 23.4
    points = [(x + px * k, y + py * k) for px, py in ARROW]
    box = (x - 2, y - 2, x + 15 * k + 2, y + height + 2)
    shape = polygon(points, canvas.scale)
    if outline:
        canvas.shape(box, lambda px, py: shape(px, py) - outline_width * canvas.scale, rgba(outline))
    canvas.shape(box, shape, rgba(fill))


def gear(canvas, cx, cy, colour):
    s = canvas.scale
    body = circle(cx, cy, 5.0, s)
    teeth = strokes([(cx + 5.0 * math.cos(t), cy + 5.0 * math.sin(t), cx + 7.2 * math.cos(t),
                      cy + 7.2 * math.sin(t)) for t in (k * math.pi / 4 for k in range(8))], 2.4, s)
    hole = circle(cx, cy, 2.2, s)
    canvas.shape((cx - 9, cy - 9, cx + 9, cy + 9),
                 lambda x, y: max(min(body(x, y), teeth(x, y)), -hole(x, y)), rgba(colour))


def power(canvas, cx, cy, colour):
    ring = polyline(arc_points(cx, cy, 6.0, 6.0, -55, 235, 20))
    canvas.shape((cx - 8, cy - 9, cx + 8, cy + 8),
                 strokes(ring + [(cx, cy - 8.0, cx, cy - 1.5)], 1.7, canvas.scale), rgba(colour))


# ---------------------------------------------------------------------------------------------------
# The images. Each function draws one image at a scale onto a canvas of its scaled size.

TITLE = "设置 - Lumavex (Lumavex)"
EXPLANATION = ["当您有多个显示器或高分辨率屏幕时，可能难以找到鼠标指针；",
               "开启后，快速晃动鼠标，指针就会变大，帮您快速找到它。"]
ROW_CAPTIONS = ["开启 Lumavex 功能", "指针放大倍数", "开机启动（通过计划任务）", "游戏模式下不启用 Lumavex"]
# Rows of the content: their middles line up with the switches and the minus/plus pair the settings
# window places over them.
ROWS = [(96, 136), (144, 184), (192, 232), (238, 278)]


def setting_bkg(c):
    s = c.scale
    c.shape((0, 0, 520, 296), rounded_rect(0, 0, 520, 296, 6, s), rgba("#F4F6F9"))
    draw_text(c, 16, 16, TITLE, 13, rgba("#2E2E2E"))
    c.shape((16, 40, 44, 68), circle(30, 54, 13, s), rgba("#E3EDFE"))
    arrow(c, 25, 45, 17, "#FFFFFF", outline=BLUE, outline_width=1.4)
    for k, line in enumerate(EXPLANATION):
        draw_text(c, 56, 50 + 22 * k, line, 11, rgba("#6B7079"))
    for (top, bottom), caption in zip(ROWS, ROW_CAPTIONS):
        c.shape((16, top, 504, bottom), rounded_rect(16, top, 504, bottom, 6, s), rgba("#FFFFFF"))
        draw_text(c, 30, (top + bottom) / 2, caption, 12, rgba("#2E2E2E"))


def soft_shadow(c, canvas, body, reach, alpha):
    # Full cover inside the body, fading with the square of the distance out to reach.
    def coverage(x, y):
        d = body(x, y)
        if d <= 0.0:
            return 1.0
        if d >= reach:
            return 0.0
        f = 1.0 - d / reach
        return f * f
    c.fill(canvas, coverage, rgba("#000000", alpha))


def shadow(c):
    # The content (520 x 296 at 24, 20) casts a soft shadow a little downwards.
    s = c.scale
    soft_shadow(c, (0, 0, 568, 344), rounded_rect(24, 23, 544, 319, 8, s), 20.0 * s, 0.22)


def menu_shadow(c):
    s = c.scale
    soft_shadow(c, (0, 0, 40, 140), rounded_rect(6, 7, 34, 135, 4, s), 6.0 * s, 0.2)


def close_button(c):
    s = c.scale
    states = [(None, "#8A8F98"), ("#E81123", "#FFFFFF"), ("#B50E1C", "#FFFFFF")]
    for k, (back, cross) in enumerate(states):
        x = 48 * k
        if back:
            # The button sits in the content's top right corner, which is rounded.
            c.shape((x, 0, x + 48, 32), rounded_rect(x, 0, x + 48, 32, 0, s, radii=(0, 6, 0, 0)),
                    rgba(back))
        cx, cy, arm = x + 24, 16, 5.0
        c.shape((cx - 7, cy - 7, cx + 7, cy + 7),
                strokes([(cx - arm, cy - arm, cx + arm, cy + arm), (cx - arm, cy + arm, cx + arm, cy - arm)],
                        1.4, s), rgba(cross))


def switch(on):
    def draw(c):
        s = c.scale
        if on:
            tracks = ["#2F7CF6", "#4C8FF8", "#1F63D0", "#A9C8FA"]
        else:
            tracks = ["#C3C8D0", "#B0B6BF", "#9AA1AB", "#E4E6EA"]
        for k, track in enumerate(tracks):
            x = 32 * k
            c.shape((x, 0, x + 32, 20), rounded_rect(x + 1, 2, x + 31, 18, 8, s), rgba(track))
            knob_x = x + (23 if on else 9)
            knob = "#FFFFFF" if k < 3 else "#F7F8FA"
            c.shape((knob_x - 7, 3, knob_x + 7, 17), circle(knob_x, 10, 6, s), rgba(knob))
    return draw


def step_button(plus):
    def draw(c):
        s = c.scale
        states = [(None, "#B4B9C1", "#4A4F57"), (None, BLUE, BLUE), ("#E6EEFD", "#1F63D0", "#1F63D0"),
                  (None, "#DDE0E4", "#C6C9CE")]
        for k, (back, ring, sign) in enumerate(states):
            cx, cy = 24 * k + 12, 12
            if back:
                c.shape((cx - 11, 1, cx + 11, 23), circle(cx, cy, 10.5, s), rgba(back))
            outer, inner = circle(cx, cy, 11.0, s), circle(cx, cy, 9.8, s)
            c.shape((cx - 12, 0, cx + 12, 24), lambda x, y, o=outer, i=inner: max(o(x, y), -i(x, y)),
                    rgba(ring))
            arms = [(cx - 5, cy, cx + 5, cy)]
            if plus:
                arms.append((cx, cy - 5, cx, cy + 5))
            c.shape((cx - 7, cy - 7, cx + 7, cy + 7), strokes(arms, 1.6, s), rgba(sign))
    return draw


def menu_item(symbol, caption):
    def draw(c):
        s = c.scale
        states = [(None, "#555A62", "#2E2E2E"), ("#EEF3FE", BLUE, "#2E2E2E"),
                  ("#DCE7FD", "#1F63D0", "#1F2A3A"), (None, "#C4C7CC", "#BDBFC4")]
        for k, (back, icon, text) in enumerate(states):
            x = 120 * k
            if back:
                c.shape((x, 0, x + 120, 32), rounded_rect(x, 0, x + 120, 32, 0, s), rgba(back))
            symbol(c, x + 24, 16, icon)
            draw_text(c, x + 42, 16, caption, 14, rgba(text))
    return draw


# name, base size, drawing, has DPI variants
IMAGES = [
    ("setting_bkg", (520, 296), setting_bkg, True),
    ("shadow", (568, 344), shadow, True),
    ("btn_setting_close", (144, 32), close_button, True),
    ("opt_switch_on", (128, 20), switch(True), True),
    ("opt_switch_off", (128, 20), switch(False), True),
    ("minus_btn", (96, 24), step_button(False), True),
    ("plus_btn", (96, 24), step_button(True), True),
    ("setting_icon", (480, 32), menu_item(gear, "设置"), True),
    ("exit_icon", (480, 32), menu_item(power, "退出"), True),
    ("shadow_menu_test", (40, 140), menu_shadow, False),
]


# ---------------------------------------------------------------------------------------------------
# Files.

def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA, not interlaced
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def draw_image(size, drawing, scale):
    width, height = int(round(size[0] * scale)), int(round(size[1] * scale))
    canvas = Canvas(width, height, scale)
    drawing(canvas)
    return png(width, height, canvas.rows())


def icon_image(size):
    c = Canvas(size, size, size / 48.0)
    c.shape((0, 0, 48, 48), rounded_rect(2, 2, 46, 46, 10, c.scale), rgba(BLUE))
    arrow(c, 15, 8, 32, "#FFFFFF", outline="#123A7A", outline_width=1.6)
    return c.rows()


def ico(sizes):
    """An icon file of 32-bit DIB images (with their all-clear AND masks)."""
    images = []
    for size in sizes:
        rows = icon_image(size)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        # DIB rows run bottom-up in BGRA order; the AND mask stays clear, alpha does the work.
        pixels = b"".join(b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3]))
                                   for i in range(0, len(row), 4)) for row in reversed(rows))
        mask_stride = ((size + 31) // 32) * 4
        images.append(header + pixels + b"\x00" * (mask_stride * size))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def zip_entry(name, is_folder=False):
    info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
    info.create_system = 3  # the mode bits below are Unix ones
    if is_folder:
        info.external_attr = (0o40755 << 16) | 0x10
    else:
        info.external_attr = 0o100644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    skin_dir, zip_path, ico_path = sys.argv[1:4]
    image_dir = sys.argv[4] if len(sys.argv) == 5 else None
    images = []
    for name, size, drawing, variants in IMAGES:
        for suffix, scale in SCALES if variants else SCALES[:1]:
            images.append(("img/%s%s.png" % (name, suffix), draw_image(size, drawing, scale)))
    if image_dir:
        os.makedirs(os.path.join(image_dir, "img"), exist_ok=True)
        for entry, data in images:
            with open(os.path.join(image_dir, entry), "wb") as out:
                out.write(data)
    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w") as package:
        for name in XML_FILES:
            with open(os.path.join(skin_dir, name), "rb") as source:
                package.writestr(zip_entry(name), source.read())
        package.writestr(zip_entry("img/", is_folder=True), b"")
        for entry, data in images:
            package.writestr(zip_entry(entry), data)
    os.replace(partial, zip_path)
    with open(ico_path + ".part", "wb") as out:
        out.write(ico([16, 24, 32, 48]))
    os.replace(ico_path + ".part", ico_path)


if __name__ == "__main__":
    main()
