#!/usr/bin/env python3
"""Draws the program's own pictures and writes them beside this script:

  CommandGlyphs.bmp  twelve 16 x 16 command glyphs in one 192 x 16 strip
  TreeIcons.bmp      the tree's three 16 x 16 icons in one 48 x 16 strip
  FolderGlyph.bmp    the 16 x 16 glyph of the folder buttons
  Snapwell.ico       the program icon: 16, 24, 32, 48 (32-bit with alpha)
                     and 256 (PNG) pixels

The strips are 24-bit with magenta (255, 0, 255) where a glyph is
transparent, so the image lists build their masks from that colour. Every
glyph is crisp pixel art: shapes sampled at pixel centres, each with a
one-pixel dark outline drawn on its own edge, never blended with the
transparent colour.

The pictures are kept in the repository; run this again only to change a
drawing:  python3 resources/MakePictures.py
"""

import math
import os
import struct
import zlib

SIDE = 16
MAGENTA = (255, 0, 255)

INK = (38, 42, 56)
WHITE = (255, 255, 255)
PAPER = (236, 240, 246)
GREY = (164, 172, 186)
GREY_LIGHT = (206, 212, 222)
BLUE = (52, 124, 222)
BLUE_LIGHT = (122, 178, 246)
GREEN = (56, 164, 86)
GREEN_LIGHT = (120, 210, 136)
RED = (214, 62, 54)
FOLDER = (246, 196, 72)
FOLDER_LIGHT = (254, 226, 134)
FOLDER_DARK = (214, 152, 40)
SKY = (118, 188, 244)
SKY_PALE = (190, 226, 252)
HILL = (70, 160, 76)
HILL_FAR = (126, 196, 112)
SUN = (255, 206, 58)
HANDLE = (120, 84, 56)


# Shapes are predicates over continuous coordinates: (0, 0) is the top-left
# corner of the canvas, pixel (i, j) has its centre at (i + 0.5, j + 0.5).


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def disk(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1, a0, a1):
    """The ring between radii r0 and r1 from angle a0 to a1 in degrees,
    counted clockwise on screen from the positive x axis."""

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(y - cy, x - cx))
        return r0 <= d <= r1 and (a - a0) % 360 <= (a1 - a0) % 360

    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit

    return inside


def capsule(x0, y0, x1, y1, r):
    """A thick line with round ends."""

    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= r

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


def arrow_head(cx, cy, radius, angle, half_width, length):
    """A triangle across a circle of `radius` at `angle`, pointing clockwise
    along it."""
    a = math.radians(angle)
    ux, uy = math.cos(a), math.sin(a)  # outwards
    tx, ty = -uy, ux  # clockwise tangent
    bx, by = cx + radius * ux, cy + radius * uy
    return polygon(
        [
            (bx - half_width * ux, by - half_width * uy),
            (bx + half_width * ux, by + half_width * uy),
            (bx + length * tx, by + length * ty),
        ]
    )


def covered(shape, x, y):
    """Whether the shape covers at least half of pixel (x, y), judged on a
    4 x 4 grid of samples: fewer one-pixel spikes than the centre alone."""
    hits = sum(shape(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
    return hits >= 8


class Glyph:
    """A 16 x 16 pixel-art picture; None is transparent."""

    def __init__(self):
        self.pixels = [[None] * SIDE for _ in range(SIDE)]

    def paint(self, shape, fill, ink=INK):
        """Fills the shape and draws its edge (its pixels next to the
        outside, 4-neighbours) in ink; no ink, no edge."""
        mask = [[covered(shape, x, y) for x in range(SIDE)] for y in range(SIDE)]

        def outside(x, y):
            return not (0 <= x < SIDE and 0 <= y < SIDE and mask[y][x])

        for y in range(SIDE):
            for x in range(SIDE):
                if not mask[y][x]:
                    continue
                edge = ink is not None and any(
                    outside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
                )
                self.pixels[y][x] = ink if edge else fill
        return self

    def dots(self, rows, left, top, colours):
        """Sets single pixels from rows of characters; '.' leaves a pixel."""
        for j, row in enumerate(rows):
            for i, c in enumerate(row):
                if c != ".":
                    self.pixels[top + j][left + i] = colours[c]
        return self

    def flipped(self):
        g = Glyph()
        g.pixels = [list(reversed(row)) for row in self.pixels]
        return g


def landscape(left, top, right, bottom):
    """The colour of each pixel of a small photo: sky, the sun top right,
    two hills."""
    w, h = right - left, bottom - top
    # Centred on a pixel corner, so the sun comes out even and round.
    sun_shape = disk(round(left + 0.72 * w), round(top + 0.3 * h), max(1.1, 0.2 * min(w, h)))

    def colour(x, y):
        u, v = (x - left + 0.5) / w, (y - top + 0.5) / h
        if v > 0.8 - 0.25 * u:
            return HILL
        if v > 0.55 + 0.5 * (u - 0.3) ** 2:
            return HILL_FAR
        if covered(sun_shape, x, y):
            return SUN
        return SKY

    return colour


def photo(g, left, top, right, bottom, frame=WHITE):
    """A framed photo over pixels left..right-1, top..bottom-1: outline,
    a one-pixel frame and a landscape inside."""
    g.paint(rect(left, top, right, bottom), frame)
    scene = landscape(left + 2, top + 2, right - 2, bottom - 2)
    for y in range(top + 2, bottom - 2):
        for x in range(left + 2, right - 2):
            g.pixels[y][x] = scene(x, y)
    return g


# The command glyphs, in image list order.


def rotate_right():
    # Three quarters of a circle, clockwise from three o'clock to the head
    # at twelve, which points back at the gap.
    cx, cy = 7.5, 9.5
    arc = ring(cx, cy, 3.4, 6.4, 10, 265)
    head = arrow_head(cx, cy, 4.9, 265, 4.6, 6)
    return Glyph().paint(union(arc, head), BLUE)


def rotate_left():
    return rotate_right().flipped()


def rotate_180():
    # A half turn: up the left, over the top, down the right to the head.
    cx, cy = 7.5, 8.5
    arc = ring(cx, cy, 3.3, 6.5, 180, 360)
    tail = rect(1, 8.5, 4.2, 15)
    head = polygon([(7.6, 8.5), (16.4, 8.5), (12, 14.9)])
    return Glyph().paint(union(arc, tail, head), BLUE)


def copy_image():
    # A photo in front of the sheet it was copied from.
    g = Glyph().paint(rect(0, 0, 11, 10), PAPER)
    return photo(g, 5, 5, 16, 15)


def properties():
    # A gear: a wheel with eight square teeth and a hole.
    def gear(x, y):
        dx, dy = x - 8, y - 8
        d = math.hypot(dx, dy)
        teeth = any(
            abs(dx * math.sin(a) - dy * math.cos(a)) <= 1.6
            for a in (math.radians(t) for t in (0, 45, 90, 135))
        )
        return 2 <= d <= (7.5 if teeth else 5)

    return Glyph().paint(gear, GREY)


def max_size():
    # A photo held inside the corners of the display's frame.
    g = Glyph()
    for left in (0, 10):
        for top in (0, 10):
            arm_x = 0 if left == 0 else 3
            arm_y = 0 if top == 0 else 3
            g.paint(union(rect(left, top + arm_y, left + 6, top + arm_y + 3),
                          rect(left + arm_x, top, left + arm_x + 3, top + 6)), RED)
    return photo(g, 4, 4, 12, 12)


def snap_ratio():
    # A horseshoe magnet, legs down, with bright tips.
    body = union(ring(8, 7.5, 2.2, 7, 180, 360), rect(1, 7, 5.8, 12), rect(10.2, 7, 15, 12))
    g = Glyph().paint(body, RED)
    g.paint(union(rect(1, 11, 5.8, 16), rect(10.2, 11, 15, 16)), GREY_LIGHT)
    return g


def previous_image():
    return next_image().flipped()


def next_image():
    shape = polygon([(1, 5.5), (8, 5.5), (8, 1.5), (15.5, 8), (8, 14.5), (8, 10.5), (1, 10.5)])
    return Glyph().paint(shape, GREEN)


def enlargement():
    # A magnifying glass with a plus.
    g = Glyph()
    g.paint(capsule(10.5, 10.5, 14, 14, 2.1), HANDLE)
    g.paint(disk(6.5, 6.5, 6.2), SKY_PALE)
    g.paint(union(rect(3, 6, 10, 7), rect(6, 3, 7, 10)), INK, ink=None)
    return g


def help_mark():
    g = Glyph().paint(disk(8, 8, 7.9), BLUE)
    return g.dots(
        [
            ".wwww.",
            "ww..ww",
            "....ww",
            "...ww.",
            "..ww..",
            "..ww..",
            "......",
            "..ww..",
            "..ww..",
        ],
        5,
        3,
        {"w": WHITE},
    )


def invert_ratio():
    # A portrait frame turning into a landscape one; the bent arrow is
    # drawn by hand, as a curve this small comes out as a blob.
    g = Glyph()
    g.paint(rect(0, 0, 6, 13), BLUE_LIGHT)
    g.paint(rect(3, 10, 16, 16), PAPER)
    arrow = [
        "kkkkk......",
        "kggggkk....",
        "kggggggk...",
        "kkkkkgggk..",
        "....kkggk..",
        "..kkkkggkkk",
        "..kgggggggk",
        "...kgggggk.",
        "....kgggk..",
        ".....kgk...",
        "......k....",
    ]
    return g.dots(arrow, 5, 0, {"k": INK, "g": GREEN})


COMMAND_GLYPHS = [
    rotate_right,
    rotate_left,
    rotate_180,
    copy_image,
    properties,
    max_size,
    snap_ratio,
    previous_image,
    next_image,
    enlargement,
    help_mark,
    invert_ratio,
]


# The tree's icons and the folder buttons' glyph.


def folder_closed():
    g = Glyph().paint(union(rect(0, 2, 7, 5), rect(0, 4, 16, 15)), FOLDER)
    for x in range(1, 15):
        g.pixels[5][x] = FOLDER_LIGHT
    return g


def folder_open():
    g = Glyph().paint(union(rect(0, 2, 7, 5), rect(0, 4, 14, 15)), FOLDER_DARK)
    g.paint(polygon([(0, 15), (3.5, 7), (16, 7), (12.5, 15)]), FOLDER)
    return g


def image_selected():
    return photo(Glyph(), 0, 1, 16, 15, frame=BLUE)


def image_unselected():
    return photo(Glyph(), 0, 1, 16, 15, frame=WHITE)


TREE_ICONS = [folder_open, image_selected, image_unselected]


# The program icon: a landscape photo framed by the two brackets of a crop
# tool; from 32 pixels up the photo also reaches beyond the crop, dimmed.
# Each size has its own layout, so every edge lands on a whole pixel; only
# the sun and the hills are smoothed (with alpha), and only from 32 up.

SKY_TOP = (58, 132, 222)

# size: (photo box, crop box, bracket thickness, reach past the crop, halo)
ICON_LAYOUTS = {
    16: ((4, 4, 12, 12), (4, 4, 12, 12), 2, 3, 1),
    24: ((6, 6, 18, 18), (6, 6, 18, 18), 3, 5, 1),
    32: ((1, 5, 31, 27), (8, 10, 24, 22), 3, 6, 1),
    48: ((2, 8, 46, 40), (12, 14, 36, 34), 4, 9, 1),
    256: ((12, 44, 244, 212), (64, 76, 196, 180), 18, 44, 5),
}
ICON_SIZES = tuple(ICON_LAYOUTS)


class Canvas:
    """An RGBA picture; shapes are filled with their coverage of each pixel
    (from samples), so their edges are smooth over what lies beneath."""

    def __init__(self, size, samples):
        self.size = size
        self.samples = samples
        self.pixels = [[(0, 0, 0, 0.0)] * size for _ in range(size)]

    def coverage(self, shape, x, y):
        n = self.samples
        if n == 1:
            return 1.0 if shape(x + 0.5, y + 0.5) else 0.0
        # In the large picture every feature is many pixels wide: a pixel
        # whose corners and centre agree lies wholly inside or outside.
        if self.size >= 64:
            probes = [shape(x + dx, y + dy) for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1), (0.5, 0.5))]
            if all(probes) or not any(probes):
                return 1.0 if probes[0] else 0.0
        hits = sum(shape(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n))
        return hits / (n * n)

    def fill(self, shape, colour, opacity=1.0):
        """Paints `colour`, or colour(x, y) at the pixel's centre, over the
        shape."""
        for y in range(self.size):
            for x in range(self.size):
                a = self.coverage(shape, x, y) * opacity
                if a <= 0:
                    continue
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                r0, g0, b0, a0 = self.pixels[y][x]
                out = a + a0 * (1 - a)
                mix = [(ci * a + di * a0 * (1 - a)) / out for ci, di in zip(c, (r0, g0, b0))]
                self.pixels[y][x] = tuple(round(v) for v in mix) + (out,)

    def rgba(self):
        return [[(r, g, b, round(a * 255)) for r, g, b, a in row] for row in self.pixels]


def blend(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a + (b - a) * t) for a, b in zip(c0, c1))


def main_icon(size):
    photo, crop, thick, reach, halo = ICON_LAYOUTS[size]
    canvas = Canvas(size, 1 if size < 32 else 4)
    pl, pt, pr, pb = photo
    cl, ct, cr, cb = crop
    line = max(1, size // 48)  # the photo's outline

    # The scene is laid out on the crop, so it reads at every size.
    horizon = ct + 0.6 * (cb - ct)

    def sky(x, y):
        return blend(SKY_TOP, SKY_PALE, (y - pt) / (horizon - pt))

    def far_hill(x, y):
        return y > horizon - 0.2 * (cb - ct) * math.cos((x - cl) / (cr - cl) * 2.2 - 0.4)

    def near_hill(x, y):
        return y > cb - 0.3 * (cb - ct) + 0.25 * (cb - ct) * (x - cl) / (cr - cl)

    sun_x, sun_y = cl + 0.72 * (cr - cl), ct + 0.3 * (cb - ct)
    if size < 32:  # on a pixel corner, so the sun comes out even and round
        sun_x, sun_y = round(sun_x), round(sun_y)
    sun = disk(sun_x, sun_y, max(1.2, 0.14 * (cb - ct)))
    beyond = photo != crop  # the photo reaches past the crop, with an outline
    inner = rect(pl + line, pt + line, pr - line, pb - line) if beyond else rect(*photo)
    if beyond:
        canvas.fill(rect(*photo), INK)
    canvas.fill(inner, sky)
    canvas.fill(lambda x, y: inner(x, y) and sun(x, y), SUN)
    canvas.fill(lambda x, y: inner(x, y) and far_hill(x, y), HILL_FAR)
    canvas.fill(lambda x, y: inner(x, y) and near_hill(x, y), HILL)
    if beyond:
        canvas.fill(minus(inner, rect(*crop)), WHITE, opacity=0.5)

    # The two brackets of the crop tool: one down the left side and along
    # the bottom, one along the top and down the right side, each running
    # on past the corners where they cross. A light halo keeps them clear
    # of a dark background.
    bars = [
        (cl - thick, ct - reach, cl, cb + thick),
        (cl - thick, cb, cr + reach, cb + thick),
        (cl - reach, ct - thick, cr + thick, ct),
        (cr, ct - thick, cr + thick, cb + reach),
    ]
    canvas.fill(union(*(rect(l - halo, t - halo, r + halo, b + halo) for l, t, r, b in bars)), WHITE)
    canvas.fill(union(*(rect(*bar) for bar in bars)), INK)
    return canvas.rgba()


# File writers.


def bmp_bytes(glyphs):
    """A 24-bit bottom-up BMP with the glyphs side by side."""
    width = SIDE * len(glyphs)
    rows = []
    for y in reversed(range(SIDE)):
        row = bytearray()
        for g in glyphs:
            for p in g.pixels[y]:
                r, gr, b = p or MAGENTA
                row += bytes((b, gr, r))
        row += b"\0" * (-len(row) % 4)
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIDE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def icon_image_bytes(pixels):
    """One icon image as a 32-bit DIB: BGRA rows bottom-up and the AND mask
    (1 where fully transparent), rows padded to 4 bytes."""
    size = len(pixels)
    colour = b"".join(bytes(c for r, g, b, a in row for c in (b, g, r, a)) for row in reversed(pixels))
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + bytes(mask)


def png_bytes(pixels):
    """An 8-bit RGBA PNG, no filtering, one zlib stream."""
    size = len(pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    idat = zlib.compress(raw, 9)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", idat) + chunk(b"IEND", b"")


def ico_bytes(images):
    """An .ico with one entry per picture: DIBs below 256 pixels, PNG at
    256 (as Windows itself stores its large icons)."""
    blobs = [png_bytes(p) if len(p) >= 256 else icon_image_bytes(p) for p in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for pixels, blob in zip(images, blobs):
        side = len(pixels) % 256  # 0 stands for 256
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return directory + b"".join(blobs)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outputs = {
        "CommandGlyphs.bmp": bmp_bytes([draw() for draw in COMMAND_GLYPHS]),
        "TreeIcons.bmp": bmp_bytes([draw() for draw in TREE_ICONS]),
        "FolderGlyph.bmp": bmp_bytes([folder_closed()]),
        "Snapwell.ico": ico_bytes([main_icon(size) for size in ICON_SIZES]),
    }
    for name, data in outputs.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
