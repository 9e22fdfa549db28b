#!/usr/bin/env python3
"""Draws the program's own pictures: the seven 32x32 icons of the message dialogs (one
strip bitmap), the dialogs' background textures and the program icon. Standard library
only; the background textures are written as BMP and turned into JPEG with ImageMagick.
Run from anywhere: python3 resources/make-pictures.py  (writes into resources/pictures)."""
import math
import os
import struct
import subprocess
import sys

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pictures")
SILVER = (192, 192, 192)
SS = 4  # supersampling per axis


def write_bmp(path, pixels, width, height):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixels[y * width + x]
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def render(width, height, background, shapes):
    """shapes: list of (inside(x, y) -> bool, colour); later shapes paint over earlier ones.
    Each pixel averages SS x SS samples, so the edges come out smooth."""
    out = []
    for py in range(height):
        for px in range(width):
            acc = [0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    colour = background(x, y) if callable(background) else background
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    for i in range(3):
                        acc[i] += colour[i]
            out.append(tuple(round(a / (SS * SS)) for a in acc))
    return out


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring_arc(cx, cy, r_in, r_out, start, end):
    """Angles in degrees, 0 at the right, growing clockwise on screen."""
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_in * r_in <= d <= r_out * r_out):
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def triangle(p, q, s):
    def sign(a, b, c, x, y):
        return (x - b[0]) * (a[1] - b[1]) - (a[0] - b[0]) * (y - b[1])
    def inside(x, y):
        d1, d2, d3 = sign(p, q, s, x, y), sign(q, s, p, x, y), sign(s, p, q, x, y)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


def warning_shapes():
    # Yellow triangle with a dark edge and an exclamation mark.
    return [
        (triangle((16, 1.5), (30.5, 29), (1.5, 29)), (60, 40, 0)),
        (triangle((16, 4.5), (28, 27.2), (4, 27.2)), (255, 210, 0)),
        (rounded_rect(14.4, 10, 17.6, 21, 1.5), (20, 20, 20)),
        (circle(16, 24.2, 1.8), (20, 20, 20)),
    ]


def question_shapes():
    # Blue speech bubble with a white question mark.
    bubble = lambda x, y: ((x - 16) / 14.5) ** 2 + ((y - 13.5) / 11.5) ** 2 <= 1
    bubble_edge = lambda x, y: ((x - 16) / 15.5) ** 2 + ((y - 13.5) / 12.5) ** 2 <= 1
    return [
        (triangle((7, 21), (14, 23), (4, 31)), (0, 40, 120)),
        (bubble_edge, (0, 40, 120)),
        (triangle((8, 20.5), (13.5, 22.5), (5.5, 29)), (40, 110, 220)),
        (bubble, (40, 110, 220)),
        (ring_arc(16, 10.5, 2.8, 5.6, 180, 90), (255, 255, 255)),
        (rect(14.6, 13.5, 17.4, 18.5), (255, 255, 255)),
        (circle(16, 21.3, 1.8), (255, 255, 255)),
    ]


def no_entry_shapes():
    # Red disc with a white bar: no entry.
    return [
        (circle(16, 16, 15), (110, 0, 0)),
        (circle(16, 16, 13.8), (220, 20, 20)),
        (rect(6, 13.5, 26, 18.5), (255, 255, 255)),
    ]


def info_shapes():
    # Blue disc with a white letter i.
    return [
        (circle(16, 16, 15), (0, 40, 120)),
        (circle(16, 16, 13.8), (40, 110, 220)),
        (circle(16, 9, 2.3), (255, 255, 255)),
        (rect(14.2, 13, 17.8, 24), (255, 255, 255)),
        (rect(12.5, 22.5, 19.5, 24.5), (255, 255, 255)),
    ]


def dark_tile(x, y):
    # Dark slate tile with a fine diagonal weave; the corners stay silver, so a transparent
    # picture shows the tile with rounded corners.
    if not rounded_rect(0, 0, 32, 32, 5)(x, y):
        return SILVER
    weave = 10 if (int(x) + int(y)) % 4 < 2 else 0
    shade = int(18 * y / 32)
    return (52 + weave - shade, 58 + weave - shade, 64 + weave - shade)


def shrink(shapes, k=0.78):
    """The symbol drawn smaller and centred, so the tile shows around it."""
    def wrap(inside):
        return lambda x, y: inside(16 + (x - 16) / k, 16 + (y - 16) / k)
    return [(wrap(s), c) for s, c in shapes]


def icons():
    sets = [warning_shapes(), question_shapes(), no_entry_shapes(), info_shapes()]
    cells = [render(32, 32, SILVER, s) for s in sets]
    cells += [render(32, 32, dark_tile, shrink(s)) for s in sets[:3]]
    width = 32 * len(cells)
    strip = [None] * (width * 32)
    for i, cell in enumerate(cells):
        for y in range(32):
            for x in range(32):
                strip[y * width + i * 32 + x] = cell[y * 32 + x]
    write_bmp(os.path.join(HERE, "DialogIcons.bmp"), strip, width, 32)
    return cells


def texture(path, top, bottom, width=421, height=121):
    """Horizontal stripes over a vertical gradient from top to bottom colour."""
    pixels = []
    for y in range(height):
        t = y / (height - 1)
        base = [top[i] + (bottom[i] - top[i]) * t for i in range(3)]
        stripe = 9 if (y // 3) % 2 == 0 else -3
        for x in range(width):
            grain = ((x * 7 + y * 13) % 11) - 5
            pixels.append(tuple(max(0, min(255, round(c + stripe + grain * 0.6))) for c in base))
    bmp = path[:-4] + ".bmp"
    write_bmp(bmp, pixels, width, height)
    subprocess.run(["convert", bmp, "-quality", "90", path], check=True)
    os.remove(bmp)


def write_ico(path, cell):
    rows = b""
    for y in range(31, -1, -1):
        for x in range(32):
            r, g, b = cell[y * 32 + x]
            rows += bytes((b, g, r))
    mask = b"\0" * (4 * 32)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 24, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = info + rows + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


def program_icon():
    # A green box with a downward arrow into it: a program being set up.
    shapes = [
        (rounded_rect(3, 14, 29, 30, 3), (60, 80, 30)),
        (rounded_rect(5, 16, 27, 28, 2), (157, 180, 124)),
        (rect(13, 1, 19, 14), (0, 43, 85)),
        (triangle((7, 12), (25, 12), (16, 23)), (0, 43, 85)),
    ]
    write_ico(os.path.join(HERE, "SetUp.ico"), render(32, 32, SILVER, shapes))


def main():
    os.makedirs(HERE, exist_ok=True)
    icons()
    texture(os.path.join(HERE, "DialogBackMirpan.jpg"), (150, 164, 104), (84, 98, 50))
    texture(os.path.join(HERE, "DialogBackTools.jpg"), (120, 140, 168), (62, 78, 104))
    program_icon()
    return 0


if __name__ == "__main__":
    sys.exit(main())
