#!/usr/bin/env python3
"""Draws Voldix's animations and writes them as RLE8-compressed AVI clips.

Usage: python3 tools/make_animations.py OUTDIR

The frames are drawn with the shapes and colours of the icons
(make_resources.py), reduced to a 256-colour palette and written as AVI files
of one video stream of Microsoft RLE8 frames, the form an animation control
plays. Every file is decoded again after writing and compared with the drawn
frames. The output is the same byte for byte on every run; only the Python
standard library is used.
"""

import math
import struct
import sys

from make_resources import (EDGE, OUTLINE, Canvas, both, ellipse, hgrad, minus, mix,
                            mix_hex, polygon, rect, segment, union, vgrad, wedge,
                            write_checked)

# The ground of every clip: the classic dialog face. The control shows the
# dialog's own background wherever a frame has the colour of its top left pixel.
GROUND = 0xC0C0C0

BI_RLE8 = 1
AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10


# ---------------------------------------------------------------- drawing aids

# A canvas of width x height filled with the ground colour.
def ground_canvas(width, height, colour=GROUND):
    c = Canvas(width, height)
    c.fill(lambda x, y: True, colour)
    return c


# A frame made from a finished picture that only changes inside box
# (x0, y0, x1, y1): it shares the picture's pixels outside the box, and all
# its painting is kept inside the box.
class Frame(Canvas):
    def __init__(self, base, box):
        Canvas.__init__(self, base.w, base.h)
        self.base = base
        self.box = tuple(int(v) for v in box)
        x0, y0, x1, y1 = self.box
        self.px = base.px[:]
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.px[y * self.w + x] = base.px[y * self.w + x][:]

    def cover(self, shape, smooth=False, box=None):
        x0, y0, x1, y1 = self.box
        if box is not None:
            x0, y0 = max(x0, box[0]), max(y0, box[1])
            x1, y1 = min(x1, box[2]), min(y1, box[3])
        return Canvas.cover(self, shape, smooth, (x0, y0, max(x0, x1), max(y0, y1)))


# The picture as rows of (r, g, b) integers, top row first; it is opaque. A
# frame converts only its box and takes the rest from its picture's rows.
def rgb_rows(c):
    def convert(p):
        return tuple(int(v + 0.5) if v < 255.0 else 255 for v in p[:3])
    if isinstance(c, Frame):
        if not hasattr(c.base, "rows"):
            c.base.rows = rgb_rows(c.base)
        rows = [row[:] for row in c.base.rows]
        x0, y0, x1, y1 = c.box
        for y in range(y0, y1):
            for x in range(x0, x1):
                rows[y][x] = convert(c.px[y * c.w + x])
        return rows
    return [[convert(c.px[y * c.w + x]) for x in range(c.w)] for y in range(c.h)]


# ---------------------------------------------------------------- clip 152: signal lamp

# A round red signal lamp in a bevelled grey rim, dark or lit, n pixels square;
# drawn on a 28-pixel design grid.
def draw_lamp(lit, n=28):
    k = n / 28.0
    c = ground_canvas(n, n)
    cx, cy = 14.0 * k, 14.0 * k
    # The rim is lit from the top left: light there, dark at the bottom right.
    def bevel(light, dark):
        return lambda x, y: mix(light, dark, ((x - cx) + (y - cy)) / (26.0 * k) + 0.5)
    c.outlined(ellipse(cx, cy, 12.5 * k, 12.5 * k), bevel(0xF4F4F4, 0x5C5C5C))
    c.fill(ellipse(cx, cy, 10.0 * k, 10.0 * k), bevel(0x6A6A6A, 0xE8E8E8))
    glass = ellipse(cx, cy, 8.5 * k, 8.5 * k)
    if lit:
        def glow(x, y):
            d = math.hypot(x - cx + 1.5 * k, y - cy + 1.5 * k) / (9.5 * k)
            return mix(0xFF6A5A, 0xC80000, d * d)
        c.fill(glass, glow, smooth=True)
        c.fill(ellipse(cx - 3.0 * k, cy - 3.5 * k, 2.8 * k, 2.0 * k), 0xFFFFFF, smooth=True,
               opacity=0.85)
    else:
        def dull(x, y):
            d = math.hypot(x - cx + 1.5 * k, y - cy + 1.5 * k) / (9.5 * k)
            return mix(0x8A1810, 0x3C0604, d)
        c.fill(glass, dull, smooth=True)
        c.fill(ellipse(cx - 3.0 * k, cy - 3.5 * k, 2.4 * k, 1.6 * k), 0xC08078, smooth=True,
               opacity=0.5)
    c.fill(minus(ellipse(cx, cy, 9.0 * k, 9.0 * k), glass), 0x303030, smooth=True, opacity=0.6)
    return c


# The lamp at 100 % and, for screens of 150 and 200 % scale, at 42 and 56 pixels.
def clip_lamp(n=28):
    return [draw_lamp(False, n), draw_lamp(True, n)]


# ---------------------------------------------------------------- clip 129: mini help

# An open manual seen from the front: two pages of text over a blue cover.
def draw_book(c, x0, y0, x1, y1):
    mid = (x0 + x1) / 2.0
    cover = polygon([(x0, y0 + 3), (mid, y0 + 6), (x1, y0 + 3), (x1, y1), (mid, y1 + 2),
                     (x0, y1)])
    c.outlined(cover, vgrad(0x4A78E8, 0x1C3FB4, y0, y1))
    left = polygon([(x0 + 2, y0), (mid, y0 + 3), (mid, y1 - 1), (x0 + 2, y1 - 4)])
    right = polygon([(mid, y0 + 3), (x1 - 2, y0), (x1 - 2, y1 - 4), (mid, y1 - 1)])
    c.outlined(left, hgrad(0xFFFFFF, 0xDCDCDC, x0, mid), 0x707070)
    c.outlined(right, hgrad(0xDCDCDC, 0xFFFFFF, mid, x1), 0x707070)
    # Lines of text follow the slope of the pages.
    for i in range(4):
        y = y0 + 6 + i * 4
        for a, b, lean in ((x0 + 5, mid - 3, 3.0), (mid + 3, x1 - 5, -3.0)):
            length = b - a - (6 if i == 3 else 0)
            c.fill(segment(a, y + (0 if lean > 0 else -lean), a + length,
                           y + (lean if lean > 0 else 0), 1.2), 0x9A9A9A)


# A question mark whose top is at y0, centred on x.
def question_mark(x, y0):
    hook = both(minus(ellipse(x, y0 + 17, 17, 17), ellipse(x, y0 + 17, 8, 8)),
                lambda px, py: not wedge(x, y0 + 17, 180, 245)(px, py))
    stem = rect(x - 5, y0 + 28, x + 5, y0 + 46)
    dot = ellipse(x, y0 + 57, 6.5, 6.5)
    return union(hook, stem), dot


# The question mark hops above the manual; its shadow shrinks as it rises.
def clip_help():
    base = ground_canvas(65, 128)
    draw_book(base, 3, 96, 62, 122)
    frames = []
    for lift in (0, 5, 9, 11, 9, 5):
        c = Frame(base, (0, 0, 65, 104))
        shadow = 11 - lift * 0.5
        c.fill(ellipse(32.5, 99.5, shadow, 2.2), 0x5A6A8A, box=(10, 95, 56, 103))
        body, dot = question_mark(32.5, 22 - lift)
        blue = vgrad(0x7AA4FF, 0x1C3FB4, 5 - lift, 88 - lift)
        c.outlined(body, blue, box=(10, 0, 56, 96))
        c.outlined(dot, blue, box=(20, 60, 46, 96))
        # A glint on the hook.
        c.fill(ellipse(22.0, 28.0 - lift, 2.5, 4.0), 0xE8F0FF, smooth=True,
               box=(18, 20 - lift, 26, 34 - lift))
        frames.append(c)
    return frames


# ---------------------------------------------------------------- clip 131: About box

# A drive seen slightly from above, in canvas pixels, with its status light.
def draw_big_drive(c, x0, y0, x1, y1, depth):
    top_face = polygon([(x0, y0), (x0 + depth, y0 - depth), (x1 + depth, y0 - depth), (x1, y0)])
    side_face = polygon([(x1, y0), (x1 + depth, y0 - depth), (x1 + depth, y1 - depth), (x1, y1)])
    front_face = rect(x0, y0, x1, y1)
    c.fill(top_face, hgrad(0xF6F6F6, 0xE4E4E4, x0, x1))
    c.fill(side_face, 0x8C8C8C)
    c.fill(front_face, vgrad(0xC4C4C4, mix_hex(0xC4C4C4, 0x808080, 0.45), y0, y1))
    c.paint(c.border(c.cover(union(top_face, side_face, front_face))), OUTLINE)
    c.fill(rect(x0 + 1, y0, x1, y0 + 1), EDGE)
    c.fill(rect(x1 - 1, y0 + 1, x1, y1 - 1), EDGE)
    for i in range(5):
        x = x0 + 8 + i * 6
        c.fill(rect(x, y0 + 6, x + 2, y1 - 5), 0x7A7A7A)


# The status light of the drive, on or off.
def drive_light(c, x, y, on):
    c.fill(rect(x - 4, y - 3, x + 4, y + 3), 0x1E5A1E)
    c.fill(rect(x - 3, y - 2, x + 3, y + 2), 0x2EE82E if on else 0x2E6A2E)


# The program icon at large: the used share of the pie sweeps round while the
# drive's light flickers, then the chart rests for a moment.
def clip_about():
    cx, cy, r = 64.0, 50.0, 36.0
    base = ground_canvas(128, 128)
    draw_big_drive(base, 22, 96, 100, 120, 6)
    base.fill(ellipse(cx, cy, r, r), OUTLINE, smooth=True)
    disc = ellipse(cx, cy, r - 2, r - 2)
    base.fill(disc, vgrad(0xFF8CF0, 0xC0209C, cy - r, cy + r), smooth=True)
    box = (cx - r, cy - r, cx + r, cy + r)
    frames = []
    for i in range(25):
        c = Frame(base, (26, 12, 102, 116))
        sweep = 250.0 * (1.0 - (1.0 - min(1.0, i / 19.0)) ** 2)
        if sweep > 0:
            c.fill(both(disc, wedge(cx, cy, 0, sweep)),
                   vgrad(0x5A8CFF, 0x1C3FB4, cy - r, cy + r), box=box)
            for angle in (0.0, sweep):
                t = math.radians(angle)
                c.fill(segment(cx, cy, cx + math.sin(t) * (r - 2), cy - math.cos(t) * (r - 2),
                               2.0), OUTLINE, box=box)
        drive_light(c, 92, 110, i < 20 and i % 2 == 0)
        frames.append(c)
    return frames


# ---------------------------------------------------------------- clip 132: dedication

# Flame shape: a drop of the given height and half width standing on (x, base),
# its tip swayed sideways by sway.
def flame(x, base, height, half, sway):
    round_part = ellipse(x, base - half, half, half)
    tip = polygon([(x - half, base - half), (x + sway, base - height), (x + half, base - half)])
    return union(round_part, tip)


# How far the flame flickers at frame i of n: a sum of waves whose periods
# divide n, so that the clip loops without a jump.
def flicker(i, n, waves):
    return sum(a * math.sin(2 * math.pi * (k * i / n + phase)) for a, k, phase in waves)


# A candle burning in the dark: its flame flickers and sways, the glow stays.
def clip_dedication():
    w, h, n = 91, 131, 224
    x, wick_top, base_y = 45.5, 50.0, 57.0
    base = ground_canvas(w, h)
    panel = rect(2, 2, w - 2, h - 2)
    night = vgrad(0x1A2040, 0x06081A, 2, h - 2)

    # The candle's light fades into the night around the flame.
    def sky(px, py):
        d = min(1.0, math.hypot(px - x, (py - 44) * 0.8) / 50.0)
        r, g, b = (int(round(v)) for v in night(px, py))
        return mix(0x8A6A3A, (r << 16) | (g << 8) | b, d ** 0.6)
    base.outlined(panel, sky, 0x505050)
    body_top, body_bottom = 62.0, 114.0
    base.fill(rect(30, body_top, 61, body_bottom), hgrad(0xFFF6DC, 0xC8B48A, 30, 61))
    base.fill(ellipse(x, body_top, 15.5, 4.0), 0xFFF8E8)
    base.fill(ellipse(x, body_top, 10.0, 2.2), 0xE8DCC0)
    base.fill(ellipse(x - 3, body_top + 4, 2.0, 8.0), 0xFFF8E8)
    base.fill(ellipse(x, 118, 30, 6.5), vgrad(0xF0D070, 0x9A7020, 112, 125))
    base.fill(ellipse(x, 116, 30, 5.5), 0xE8C058)
    base.fill(rect(30, 108, 61, body_bottom), hgrad(0xFFF6DC, 0xC8B48A, 30, 61))
    base.fill(ellipse(x, body_bottom, 15.5, 3.0), hgrad(0xFFF6DC, 0xC8B48A, 30, 61))
    base.fill(rect(44.5, wick_top + 3, 46.5, body_top), 0x2A2018)

    box = (28, 10, 64, 61)
    frames = []
    for i in range(n):
        c = Frame(base, box)
        # The flame changes every other frame, 50 times a second.
        t = i // 2
        height = 26 + flicker(t, n // 2, ((3.0, 1, 0.1), (1.6, 7, 0.4), (1.0, 16, 0.7)))
        sway = flicker(t, n // 2, ((2.2, 2, 0.0), (1.2, 9, 0.3), (0.6, 28, 0.6)))
        half = 5.6 + flicker(t, n // 2, ((0.4, 4, 0.2), (0.3, 14, 0.5)))
        c.fill(flame(x, base_y, height, half, sway), 0xFF8A1A, box=box)
        c.fill(flame(x, base_y - 1, height * 0.72, half * 0.66, sway * 0.8), 0xFFD84A, box=box)
        c.fill(flame(x, base_y - 2, height * 0.42, half * 0.36, sway * 0.5), 0xFFFAD8, box=box)
        c.fill(ellipse(x, base_y - 1.5, half * 0.35, 1.6), 0x5A78D8, box=box)
        c.fill(rect(44.5, wick_top + 3, 46.5, base_y), 0x2A2018, box=box)
        frames.append(c)
    return frames


# ---------------------------------------------------------------- palette

# Reduces the frames' colours to at most 256 palette entries; the ground keeps
# index 0 and its exact colour, which no other pixel may take.
def make_palette(frames):
    colours = {}
    for rows in frames:
        for row in rows:
            for px in row:
                colours[px] = colours.get(px, 0) + 1
    ground = frames[0][0][0]
    step = 1
    while True:
        def snap(px):
            if px == ground:
                return px
            q = tuple(min(255, int(round(v / step)) * step) for v in px)
            if q == ground:
                q = (q[0], q[1], q[2] - 1 if q[2] > 0 else 1)
            return q
        mapped = {px: snap(px) for px in colours}
        used = sorted(set(mapped.values()) - {ground})
        if len(used) < 256:
            break
        step += 1
    palette = [ground] + used
    index = {colour: i for i, colour in enumerate(palette)}
    return palette, {px: index[q] for px, q in mapped.items()}


# ---------------------------------------------------------------- RLE8

# Encodes the pixels of one row span (palette indices) in RLE8: runs of equal
# pixels as count + index, other stretches of three or more in absolute mode.
def encode_span(pixels):
    out = bytearray()
    i, n = 0, len(pixels)
    while i < n:
        run = 1
        while i + run < n and run < 255 and pixels[i + run] == pixels[i]:
            run += 1
        if run >= 2:
            out += bytes((run, pixels[i]))
            i += run
            continue
        # A literal stretch ends where a run of three begins.
        j = i
        while j < n and j - i < 255:
            if j + 2 < n and pixels[j] == pixels[j + 1] == pixels[j + 2]:
                break
            j += 1
        literal = pixels[i:j]
        if len(literal) >= 3:
            out += bytes((0, len(literal))) + bytes(literal)
            if len(literal) % 2:
                out.append(0)
        else:
            for p in literal:
                out += bytes((1, p))
        i = j
    return out


# Moves the decoder's pen from (px, py) to (x, y), rows counted from the
# bottom, with end-of-line and delta escapes; returns the bytes and the pen.
def move_pen(px, py, x, y):
    out = bytearray()
    if py < y and x < px:
        out += b"\x00\x00"
        px, py = 0, py + 1
    while (px, py) != (x, y):
        dx, dy = min(255, x - px), min(255, y - py)
        out += bytes((0, 2, dx, dy))
        px, py = px + dx, py + dy
    return out, px, py


# One frame in RLE8 (rows bottom first). With a previous frame, only the
# stretches that differ from it are written and the rest is skipped over;
# nearby stretches are joined where a skip would cost more than the pixels.
def encode_frame(rows, previous=None):
    height, width = len(rows), len(rows[0])
    out = bytearray()
    px = py = 0
    for y in range(height):
        row = rows[height - 1 - y]
        if previous is None:
            spans = [(0, width)]
        else:
            old = previous[height - 1 - y]
            spans = []
            x = 0
            while x < width:
                if row[x] == old[x]:
                    x += 1
                    continue
                start = x
                while x < width and row[x] != old[x]:
                    x += 1
                if spans and start - spans[-1][1] <= 4:
                    spans[-1] = (spans[-1][0], x)
                else:
                    spans.append((start, x))
        for a, b in spans:
            moves, px, py = move_pen(px, py, a, y)
            out += moves
            out += encode_span(row[a:b])
            px = b
    out += b"\x00\x01"
    return bytes(out)


# Decodes an RLE8 frame onto a copy of the previous picture (rows bottom
# first); raises ValueError on a malformed stream.
def decode_frame(data, width, height, previous):
    pic = [list(r) for r in previous]
    x = y = i = 0
    while True:
        if i + 1 >= len(data):
            raise ValueError("frame ends without end-of-bitmap")
        a, b = data[i], data[i + 1]
        i += 2
        if a > 0:
            if y >= height or x + a > width:
                raise ValueError("run outside the picture")
            pic[y][x:x + a] = [b] * a
            x += a
        elif b == 0:
            x, y = 0, y + 1
        elif b == 1:
            return pic
        elif b == 2:
            x, y = x + data[i], y + data[i + 1]
            i += 2
        else:
            if y >= height or x + b > width:
                raise ValueError("literal outside the picture")
            pic[y][x:x + b] = list(data[i:i + b])
            x += b
            i += b + (b & 1)


# ---------------------------------------------------------------- AVI

def chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + (b"\x00" if len(data) % 2 else b"")


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", 4 + len(body)) + fourcc + body


# Writes an AVI clip: one video stream of RLE8 frames (each picture a list of
# rows of palette indices, top row first), frame_us microseconds apart. The
# first frame is whole; each later one is written as the change from the one
# before when that is smaller. Returns the file's bytes.
def avi_bytes(pictures, palette, frame_us):
    height, width = len(pictures[0]), len(pictures[0][0])
    frames, keys = [], []
    previous = None
    for pic in pictures:
        whole = encode_frame(pic)
        if previous is None:
            frames.append(whole)
            keys.append(True)
        else:
            change = encode_frame(pic, previous)
            frames.append(change if len(change) < len(whole) else whole)
            keys.append(len(change) >= len(whole))
        previous = pic
    largest = max(len(f) for f in frames)
    rate = 1000000 // math.gcd(1000000, frame_us)
    scale = frame_us // math.gcd(1000000, frame_us)
    avih = struct.pack("<10I4I", frame_us, (largest * 1000000 + frame_us - 1) // frame_us, 0,
                       AVIF_HASINDEX, len(frames), 0, 1, largest, width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIII4h", b"vids", b"mrle", 0, 0, 0, 0, scale, rate, 0,
                       len(frames), largest, 0xFFFFFFFF, 0, 0, 0, width, height)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    colours += b"\x00" * (1024 - len(colours))
    strf = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, BI_RLE8, largest, 0, 0, 256,
                       0) + colours
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body = b""
    index = b""
    for data, key in zip(frames, keys):
        # Index offsets count from the 'movi' identifier.
        index += struct.pack("<4sIII", b"00dc", AVIIF_KEYFRAME if key else 0,
                             4 + len(movi_body), len(data))
        movi_body += chunk(b"00dc", data)
    body = hdrl + riff_list(b"LIST", b"movi", movi_body) + chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", 4 + len(body)) + b"AVI " + body


# Reads an AVI clip back: (width, height, frame_us, palette, frames), where
# each frame is (data, keyframe). Checks the headers against each other and
# the index against the frames; raises ValueError on any mismatch.
def read_avi(data):
    def fail(why):
        raise ValueError(why)

    if data[:4] != b"RIFF" or data[8:12] != b"AVI ":
        fail("no RIFF AVI header")
    if struct.unpack_from("<I", data, 4)[0] + 8 != len(data):
        fail("RIFF size")
    chunks = {}
    pos = 12
    movi_at = None
    while pos < len(data):
        fourcc, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        if fourcc == b"LIST":
            kind = data[pos + 8:pos + 12]
            if kind == b"movi":
                movi_at = pos + 8
            chunks[kind] = (pos + 12, size - 4)
            if kind == b"hdrl":
                pos += 12
                continue
            if kind == b"strl":
                pos += 12
                continue
        else:
            chunks[fourcc] = (pos + 8, size)
        pos += 8 + size + (size & 1)
    for need in (b"avih", b"strh", b"strf", b"movi", b"idx1"):
        if need not in chunks:
            fail("no %s" % need.decode())
    a = struct.unpack_from("<10I", data, chunks[b"avih"][0])
    frame_us, total, buffer_size, width, height = a[0], a[4], a[7], a[8], a[9]
    if a[3] & AVIF_HASINDEX == 0 or a[6] != 1:
        fail("avih flags or stream count")
    h = struct.unpack_from("<4s4sIHHIIIIIIII4h", data, chunks[b"strh"][0])
    if h[0] != b"vids" or h[1] != b"mrle" or h[9] != total or h[13:17] != (0, 0, width, height):
        fail("strh")
    if h[6] * 1000000 != h[7] * frame_us:
        fail("strh rate")
    b = struct.unpack_from("<IiiHHIIiiII", data, chunks[b"strf"][0])
    if b[:6] != (40, width, height, 1, 8, BI_RLE8) or b[9] != 256:
        fail("strf")
    pal_at = chunks[b"strf"][0] + 40
    palette = [(data[pal_at + 4 * i + 2], data[pal_at + 4 * i + 1], data[pal_at + 4 * i])
               for i in range(256)]
    frames = []
    idx_at, idx_size = chunks[b"idx1"]
    if idx_size != 16 * total:
        fail("idx1 size")
    for i in range(total):
        ckid, flags, offset, size = struct.unpack_from("<4sIII", data, idx_at + 16 * i)
        at = movi_at + offset
        if ckid != b"00dc" or data[at:at + 4] != b"00dc" or \
                struct.unpack_from("<I", data, at + 4)[0] != size:
            fail("index entry %d" % i)
        frames.append((data[at + 8:at + 8 + size], bool(flags & AVIIF_KEYFRAME)))
    largest = max(len(f) for f, _ in frames)
    if b[6] != largest or buffer_size != largest or h[10] != largest:
        fail("biSizeImage or buffer sizes are not the largest frame")
    if not frames[0][1]:
        fail("first frame is no keyframe")
    return width, height, frame_us, palette, frames


# ---------------------------------------------------------------- output

# File name, drawing, frame size, frame count, microseconds per frame.
CLIPS = [
    ("lamp.avi", clip_lamp, (28, 28), 2, 500000),
    ("lamp42.avi", lambda: clip_lamp(42), (42, 42), 2, 500000),
    ("lamp56.avi", lambda: clip_lamp(56), (56, 56), 2, 500000),
    ("help.avi", clip_help, (65, 128), 6, 100000),
    ("about.avi", clip_about, (128, 128), 25, 100000),
    ("dedication.avi", clip_dedication, (91, 131), 224, 10000),
]


# Draws one clip and returns the AVI bytes, the pictures as palette indices
# (rows top first) and the palette, for the check.
def build(draw, frame_us):
    pictures = [rgb_rows(c) for c in draw()]
    palette, index = make_palette(pictures)
    indexed = [[[index[px] for px in row] for row in pic] for pic in pictures]
    return avi_bytes(indexed, palette, frame_us), indexed, palette


# Re-reads a written clip, decodes every frame and compares it with what was
# drawn; returns a list of problems.
def check(path, size, count, frame_us, indexed, palette):
    with open(path, "rb") as f:
        data = f.read()
    try:
        width, height, us, pal, frames = read_avi(data)
    except ValueError as e:
        return [str(e)]
    problems = []
    if (width, height) != size or len(frames) != count or us != frame_us:
        problems.append("header says %dx%d, %d frames, %d us" % (width, height, len(frames), us))
    if pal[:len(palette)] != palette:
        problems.append("palette differs")
    picture = [[0] * width for _ in range(height)]
    for i, (frame, key) in enumerate(frames):
        try:
            picture = decode_frame(frame, width, height, [[0] * width] * height if key else picture)
        except ValueError as e:
            problems.append("frame %d: %s" % (i, e))
            break
        if picture != indexed[i][::-1]:
            problems.append("frame %d decodes to another picture" % i)
            break
    return problems


# Each clip's file, ready to be written and checked against the frames drawn.
def clip_files():
    for name, draw, size, count, frame_us in CLIPS:
        data, indexed, palette = build(draw, frame_us)
        yield (name, data,
               lambda path, size=size, count=count, frame_us=frame_us, indexed=indexed,
               palette=palette: check(path, size, count, frame_us, indexed, palette))


# Writes every clip into the output folder and checks each file.
def main(argv):
    return write_checked(argv, clip_files())


if __name__ == "__main__":
    sys.exit(main(sys.argv))
