#!/usr/bin/env python3
"""Draws Voldix's icons and cursors and writes them as .ico/.cur files.

Usage: python3 tools/make_resources.py OUTDIR

Everything is drawn from simple shapes, so the output is the same byte for
byte on every run. Only the Python standard library is used.
"""

import math
import os
import struct
import sys

# Pixels are sampled a hair right of and below their centre (by different
# amounts), so that an edge through pixel centres, even a 45-degree one,
# always falls to the same side and neighbouring faces share their edge
# without gaps or overlaps.
NUDGE_X, NUDGE_Y = 1e-6, 3e-7
SUPERSAMPLE = 4

OUTLINE = 0x303030
EDGE = 0x5A5A5A


# Splits 0xRRGGBB into an (r, g, b) tuple.
def rgb(value):
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


# Blends two 0xRRGGBB colours; t=0 gives a, t=1 gives b.
def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    ca, cb = rgb(a), rgb(b)
    return tuple(ca[i] + (cb[i] - ca[i]) * t for i in range(3))


# mix() as a 0xRRGGBB integer.
def mix_hex(a, b, t):
    r, g, bl = (int(round(v)) for v in mix(a, b, t))
    return (r << 16) | (g << 8) | bl


# Colour function running from `top` at y0 to `bottom` at y1.
def vgrad(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / max(1e-9, y1 - y0))


# Colour function running from `left` at x0 to `right` at x1.
def hgrad(left, right, x0, x1):
    return lambda x, y: mix(left, right, (x - x0) / max(1e-9, x1 - x0))


# Shape: the half-open rectangle [x0, x1) x [y0, y1).
def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


# Shape: a filled ellipse.
def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


# Shape: a filled polygon (even-odd rule, scanline crossing test).
def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in edges:
            if (ay <= y) != (by <= y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
        return hit
    return inside


# Shape: a straight stroke of width w with round ends.
def segment(ax, ay, bx, by, w):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-12

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= w * w / 4
    return inside


# Shape: the sector between two angles round (cx, cy); angles
# are in degrees, clockwise from twelve o'clock.
def wedge(cx, cy, a0, a1):
    def inside(x, y):
        a = math.degrees(math.atan2(x - cx, cy - y)) % 360.0
        return a0 <= a < a1
    return inside


# Shape: points inside any of the given shapes.
def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# Shape: points inside all of the given shapes.
def both(*shapes):
    return lambda x, y: all(s(x, y) for s in shapes)


# Shape: points inside `a` but not inside `b`.
def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# An RGBA picture (square unless a height is given) with straight (not
# premultiplied) alpha that shapes are painted onto back to front.
class Canvas:
    def __init__(self, size, height=None):
        self.n = size
        self.w, self.h = size, size if height is None else height
        self.k = size / 16.0
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    # Scales a length given on the 16-pixel design grid to this canvas.
    def s(self, v):
        return v * self.k

    # Per-pixel coverage of a shape: 0/1 from one sample, or a fraction
    # from SUPERSAMPLE x SUPERSAMPLE samples when smooth. Only the pixels
    # inside box (x0, y0, x1, y1) are sampled when one is given.
    def cover(self, shape, smooth=False, box=None):
        w, h = self.w, self.h
        x0, y0, x1, y1 = (0, 0, w, h) if box is None else (
            max(0, int(box[0])), max(0, int(box[1])),
            min(w, int(math.ceil(box[2]))), min(h, int(math.ceil(box[3]))))
        cov = [0.0] * (w * h)
        if not smooth:
            for y in range(y0, y1):
                for x in range(x0, x1):
                    if shape(x + 0.5 + NUDGE_X, y + 0.5 + NUDGE_Y):
                        cov[y * w + x] = 1.0
            return cov
        offs = [(i + 0.5) / SUPERSAMPLE for i in range(SUPERSAMPLE)]
        total = SUPERSAMPLE * SUPERSAMPLE
        for y in range(y0, y1):
            for x in range(x0, x1):
                cov[y * w + x] = sum(1 for sy in offs for sx in offs
                                     if shape(x + sx + NUDGE_X, y + sy + NUDGE_Y)) / total
        return cov

    # Pixels of a coverage map that touch its outside along a side: a
    # one-pixel outline lying just inside the shape.
    def border(self, cov):
        w, h = self.w, self.h
        solid = [c >= 0.5 for c in cov]

        def on(x, y):
            return 0 <= x < w and 0 <= y < h and solid[y * w + x]
        return [1.0 if solid[y * w + x] and not (on(x - 1, y) and on(x + 1, y) and
                                                 on(x, y - 1) and on(x, y + 1)) else 0.0
                for y in range(h) for x in range(w)]

    # Composites a colour (0xRRGGBB, or a function of the pixel centre
    # returning r, g, b) over the picture wherever cov is non-zero.
    def paint(self, cov, colour, opacity=1.0):
        w = self.w
        for i, c in enumerate(cov):
            a = c * opacity
            if a <= 0.0:
                continue
            x, y = i % w + 0.5, i // w + 0.5
            src = colour(x, y) if callable(colour) else rgb(colour)
            dst = self.px[i]
            out_a = a + dst[3] * (1.0 - a)
            for ch in range(3):
                dst[ch] = (src[ch] * a + dst[ch] * dst[3] * (1.0 - a)) / out_a
            dst[3] = out_a

    # Paints a shape in one go.
    def fill(self, shape, colour, smooth=False, opacity=1.0, box=None):
        self.paint(self.cover(shape, smooth, box), colour, opacity)

    # Paints a shape with `colour` inside a one-pixel `line` outline.
    def outlined(self, shape, colour, line=OUTLINE, box=None):
        cov = self.cover(shape, box=box)
        self.paint(cov, colour)
        self.paint(self.border(cov), line)

    # Paints a ring with a one-pixel outline round both of its edges.
    def ring(self, cx, cy, r, hole, colour, line=OUTLINE):
        self.outlined(minus(ellipse(cx, cy, r, r), ellipse(cx, cy, hole, hole)), colour, line)

    # The picture as rows of (b, g, r, a) byte tuples, top row first.
    def bgra_rows(self):
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                a8 = int(round(a * 255))
                if a8 == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append(tuple(int(round(min(255.0, max(0.0, v)))) for v in (b, g, r)) + (a8,))
            rows.append(row)
        return rows


# ---------------------------------------------------------------- pictures

# Paints a box-shaped drive seen slightly from above and the right: front
# face (x0, y0)-(x1, y1) and a top and side face `depth` deep, all on the
# 16-pixel design grid. Returns the front face in canvas pixels.
def drive_box(c, x0, y0, x1, y1, depth=2, top=0xE4E4E4, front=0xC4C4C4, side=0x8C8C8C):
    X0, Y0, X1, Y1, D = c.s(x0), c.s(y0), c.s(x1), c.s(y1), c.s(depth)
    top_face = polygon([(X0, Y0), (X0 + D, Y0 - D), (X1 + D, Y0 - D), (X1, Y0)])
    side_face = polygon([(X1, Y0), (X1 + D, Y0 - D), (X1 + D, Y1 - D), (X1, Y1)])
    front_face = rect(X0, Y0, X1, Y1)
    c.fill(top_face, hgrad(0xF6F6F6, top, X0, X1))
    c.fill(side_face, side)
    c.fill(front_face, vgrad(front, mix_hex(front, 0x808080, 0.45), Y0, Y1))
    c.paint(c.border(c.cover(union(top_face, side_face, front_face))), OUTLINE)
    c.fill(rect(X0 + 1, Y0, X1, Y0 + 1), EDGE)
    c.fill(rect(X1 - 1, Y0 + 1, X1, Y1 - 1), EDGE)
    return X0, Y0, X1, Y1


# Paints a small green status light centred at (x, y) canvas pixels.
def led(c, x, y):
    w = max(1, int(round(c.s(1))))
    h = max(1, int(round(c.s(1))))
    x0, y0 = int(round(x - w / 2)), int(round(y - h / 2))
    if c.n >= 32:
        c.fill(rect(x0 - 1, y0 - 1, x0 + w + 1, y0 + h + 1), 0x1E5A1E)
    c.fill(rect(x0, y0, x0 + w, y0 + h), 0x2EE82E)


# Program icon: a drive with a pie chart of used and free space above it.
def draw_app(c):
    X0, Y0, X1, Y1 = drive_box(c, 1, 11, 13, 16, depth=2)
    led(c, X1 - c.s(2.5), (Y0 + Y1) / 2 + c.s(0.5))
    cx, cy, r = c.s(8), c.s(6), c.s(6)
    used = wedge(cx, cy, 0, 250)
    disc = ellipse(cx, cy, r - 1, r - 1)
    c.fill(ellipse(cx, cy, r, r), OUTLINE, smooth=True)
    c.fill(both(disc, used), vgrad(0x5A8CFF, 0x1C3FB4, cy - r, cy + r), smooth=True)
    c.fill(minus(disc, used), vgrad(0xFF8CF0, 0xC0209C, cy - r, cy + r), smooth=True)
    # Dividers between the slices.
    for angle in (0, 250):
        t = math.radians(angle)
        c.fill(segment(cx, cy, cx + math.sin(t) * (r - 1), cy - math.cos(t) * (r - 1),
                       max(1.0, c.s(0.6))), OUTLINE, smooth=True, opacity=0.8)


# Closed yellow folder with a tab.
def draw_folder(c):
    s = c.s
    back = union(rect(s(1), s(3), s(15), s(14)),
                 polygon([(s(1), s(2)), (s(6), s(2)), (s(7), s(3)), (s(7), s(4)), (s(1), s(4))]))
    c.outlined(back, 0xE0A420, 0x9C6A00)
    front = rect(s(1), s(5), s(15), s(14))
    c.outlined(front, vgrad(0xFFE27A, 0xF2B838, s(5), s(14)), 0x9C6A00)
    c.fill(rect(s(1) + 1, s(5) + 1, s(15) - 1, s(5) + 2), 0xFFF4C4)


# A page of text with a dog-eared top right corner.
def draw_file(c):
    s = c.s
    fold = s(4)
    page = polygon([(s(3), s(1)), (s(13) - fold, s(1)), (s(13), s(1) + fold),
                    (s(13), s(15)), (s(3), s(15))])
    c.outlined(page, 0xFFFFFF, 0x707070)
    ear = polygon([(s(13) - fold, s(1)), (s(13) - fold, s(1) + fold), (s(13), s(1) + fold)])
    c.outlined(ear, 0xD8D8D8, 0x707070)
    thick = max(1, int(c.s(0.5)))
    lines = [(s(5), s(4), s(13) - fold - 1)]
    for i, end in enumerate((11, 10, 11, 9)):
        lines.append((s(5), s(7) + i * s(2), s(end)))
    for x0, y, x1 in lines:
        c.fill(rect(x0, y, x1, y + thick), 0x9A9A9A)


# A hard disk: grey box with a green light and a few vents.
def draw_fixed(c):
    X0, Y0, X1, Y1 = drive_box(c, 1, 8, 13, 14, depth=3)
    s = c.s
    led(c, X1 - s(2.5), (Y0 + Y1) / 2 + s(0.5))
    for i in range(3):
        x = X0 + s(2) + i * s(2)
        c.fill(rect(x, Y0 + s(2), x + max(1, int(s(0.5))), Y1 - s(1.5)), 0x7A7A7A)


# A CD-ROM drive: a shiny disc standing in a flat drive.
def draw_cdrom(c):
    s = c.s
    cx, cy, r = s(8), s(6), s(6)

    def sheen(x, y):
        a = math.atan2(y - cy, x - cx)
        hue = (math.degrees(a) * 2.0) % 360.0
        tint = hsv(hue)
        base = mix(0xF4F4F8, 0xB8BCC8, (y - (cy - r)) / (2 * r))
        return tuple(base[i] * 0.5 + tint[i] * 0.5 for i in range(3))
    if c.n < 32:
        c.ring(cx, cy, r, 1.5, sheen, 0x4A4A54)
    else:
        c.ring(cx, cy, r, s(2), sheen, 0x4A4A54)
        c.ring(cx, cy, s(2) + 1, s(1), 0xB4B8C0, 0x6A6A74)
    drive_box(c, 1, 11, 13, 16, depth=2)
    c.fill(rect(s(3), s(13), s(11), s(13) + max(1, int(s(0.5)))), 0x505050)
    led(c, s(11.5), s(14.5))


# Returns the fully saturated, fairly light colour of a hue in degrees.
def hsv(hue):
    h = hue / 60.0
    x = 1 - abs(h % 2 - 1)
    r, g, b = [(1, x, 0), (x, 1, 0), (0, 1, x), (0, x, 1), (x, 0, 1), (1, 0, x)][int(h) % 6]
    return tuple(90 + 165 * v for v in (r, g, b))


# A removable (floppy) drive: flat box with a disk slot and eject button.
def draw_removable(c):
    X0, Y0, X1, Y1 = drive_box(c, 1, 8, 13, 14, depth=3)
    s = c.s
    slot_h = max(1, int(s(1)))
    c.fill(rect(X0 + s(1.5), Y0 + s(2), X1 - s(1.5), Y0 + s(2) + slot_h), 0x202020)
    c.fill(rect(X0 + s(1.5), Y0 + s(2) + slot_h, X1 - s(1.5), Y0 + s(2) + slot_h + 1), 0xECECEC)
    bx, by = X1 - s(4), Y1 - s(2)
    c.outlined(rect(bx, by, bx + s(2), by + max(2, int(s(1)))), 0xA0A0A0, 0x505050)
    led(c, X0 + s(2.5), Y1 - s(1.5))


# A network drive: a drive on a cable that joins a line beneath it.
def draw_network(c):
    s = c.s
    X0, Y0, X1, Y1 = drive_box(c, 1, 4, 13, 10, depth=2)
    led(c, X1 - s(2.5), (Y0 + Y1) / 2 + s(0.5))
    w = max(2, int(s(2)))
    mid = int(s(7))
    drop = rect(mid - w // 2, Y1 - 1, mid - w // 2 + w, s(14))
    line = rect(0, s(13), c.n, s(13) + w + (1 if c.n >= 32 else 0))
    if c.n >= 32:
        c.outlined(union(drop, line), 0x3CB43C, 0x145A14)
    else:
        c.fill(union(drop, line), 0x46C846)
        c.fill(rect(mid - w // 2 + w - 1, Y1 - 1, mid - w // 2 + w, s(13)), 0x1E7A1E)
        c.fill(rect(0, s(13) + w - 1, c.n, s(13) + w), 0x1E7A1E)


# Standard arrow pointer, tip at pixel (0, 0).
def draw_arrow(c):
    # Head edges at 45 degrees, a tail sloping one pixel across per two
    # down; (3.467, 11.933) is where the head's lower edge meets the tail.
    shape = polygon([(0, 0), (1, 0), (12, 11), (7, 11), (10.5, 18), (9, 18), (9, 19),
                     (7, 19), (3.467, 11.933), (0, 15.4)])
    c.outlined(shape, 0xFFFFFF, 0x000000)


# Hourglass pointer centred on pixel (16, 17): wooden frame, glass, sand.
def draw_hourglass(c):
    cx, cy = 16.5, 17.5
    top, bottom = 7.0, 28.0

    def half_width(y):
        t = min(1.0, abs(y - cy) / (cy - top))
        return 1.2 + 4.8 * (1 - (1 - t) ** 2)

    def glass(x, y):
        return top <= y < bottom and abs(x - cx) <= half_width(y)
    c.outlined(glass, vgrad(0xF4FAFF, 0xCFE0F0, top, bottom), 0x000000)

    # Sand: what is left in the upper bulb, a trickle and a heap below.
    def upper_sand(x, y):
        return 12.0 <= y < cy and abs(x - cx) <= half_width(y) - 1.0

    def lower_sand(x, y):
        heap = 21.0 + abs(x - cx) * 0.6
        return heap <= y < bottom and abs(x - cx) <= half_width(y) - 1.0
    sand = vgrad(0xF6CC5A, 0xC8861A, 11, 27)
    c.fill(upper_sand, sand)
    c.fill(rect(16, cy, 17, 22), sand)
    c.fill(lower_sand, sand)

    for x0 in (9, 23):
        c.fill(rect(x0, 7, x0 + 1, 28), 0x6A4216)
    for y0 in (4, 27):
        c.outlined(rect(8, y0, 25, y0 + 4), vgrad(0xD8A060, 0x8A5422, y0 + 1, y0 + 3), 0x000000)


# ---------------------------------------------------------------- file formats

# One image as an icon/cursor DIB: BITMAPINFOHEADER with doubled height,
# 32-bit BGRA colour bits and the 1-bit AND mask (1 = transparent), both
# stored bottom row first.
def dib(canvas):
    n = canvas.n
    rows = canvas.bgra_rows()
    colour = b"".join(bytes(v for px in row for v in px) for row in reversed(rows))
    stride = (n + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + bytes(mask)


# A whole .ico (hotspot None) or .cur (hotspot (x, y)) file from canvases.
def icon_file(canvases, hotspot=None):
    images = [dib(cv) for cv in canvases]
    out = struct.pack("<HHH", 0, 1 if hotspot is None else 2, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        f1, f2 = (1, 32) if hotspot is None else hotspot
        out += struct.pack("<BBBBHHII", cv.n % 256, cv.n % 256, 0, 0, f1, f2, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


# Draws a picture at each size.
def render(draw, sizes):
    canvases = []
    for n in sizes:
        cv = Canvas(n)
        draw(cv)
        canvases.append(cv)
    return canvases


# The icon sizes Windows asks for: the small 16-pixel icon at 100, 125, 150, 200,
# 250 and 300 % scale (and the large one at 100 and 150 %).
ICON_SIZES = (16, 20, 24, 32, 40, 48)

# What gets written: file name, drawing, sizes, cursor hot spot.
PICTURES = [
    ("app.ico", draw_app, ICON_SIZES, None),
    ("folder.ico", draw_folder, ICON_SIZES, None),
    ("file.ico", draw_file, ICON_SIZES, None),
    ("fixed.ico", draw_fixed, ICON_SIZES, None),
    ("cdrom.ico", draw_cdrom, ICON_SIZES, None),
    ("removable.ico", draw_removable, ICON_SIZES, None),
    ("network.ico", draw_network, ICON_SIZES, None),
    ("arrow.cur", draw_arrow, (32,), (0, 0)),
    ("hourglass.cur", draw_hourglass, (32,), (16, 17)),
]


# Re-reads a written file and checks its directory and image headers
# against what was meant to be written; returns a list of problems.
def check(path, sizes, hotspot):
    with open(path, "rb") as f:
        data = f.read()
    problems = []
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind, count) != (0, 1 if hotspot is None else 2, len(sizes)):
        problems.append("directory header %r" % ((reserved, kind, count),))
    end = 6 + 16 * count
    for i, n in enumerate(sizes):
        w, h, colours, res, f1, f2, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        expect_fields = (1, 32) if hotspot is None else hotspot
        stride = (n + 31) // 32 * 4
        expect_size = 40 + n * n * 4 + stride * n
        if (w, h, colours, res, (f1, f2)) != (n, n, 0, 0, expect_fields):
            problems.append("entry %d fields %r" % (i, (w, h, colours, res, f1, f2)))
        if size != expect_size or offset != end or offset + size > len(data):
            problems.append("entry %d size/offset %d/%d" % (i, size, offset))
        end = offset + size
        hsize, bw, bh, planes, bits = struct.unpack_from("<IiiHH", data, offset)
        if (hsize, bw, bh, planes, bits) != (40, n, 2 * n, 1, 32):
            problems.append("entry %d bitmap header %r" % (i, (hsize, bw, bh, planes, bits)))
    if end != len(data):
        problems.append("%d bytes after the last image" % (len(data) - end))
    return problems


# Writes each generated file into the folder named on the command line and checks
# it as written. files yields (name, data, check), check(path) giving the problems
# found in the file; a file is made only when the one before it is checked.
def write_checked(argv, files):
    if len(argv) != 2:
        sys.stderr.write("usage: %s OUTDIR\n" % argv[0])
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    failed = False
    for name, data, check_file in files:
        path = os.path.join(outdir, name)
        with open(path, "wb") as f:
            f.write(data)
        for problem in check_file(path):
            sys.stderr.write("%s: %s\n" % (path, problem))
            failed = True
    return 1 if failed else 0


# Each picture's file, ready to be written and checked.
def picture_files():
    for name, draw, sizes, hotspot in PICTURES:
        yield (name, icon_file(render(draw, sizes), hotspot),
               lambda path, sizes=sizes, hotspot=hotspot: check(path, sizes, hotspot))


# Writes every picture into the output folder and checks each file.
def main(argv):
    return write_checked(argv, picture_files())


if __name__ == "__main__":
    sys.exit(main(sys.argv))
