#!/usr/bin/env python3
"""Draws the image view's two cursors and writes them as 32 x 32 monochrome
.cur files beside this script: Move.cur, a closed hand (hot spot 7, 20), and
Crop.cur, two interlocking right-angle brackets (hot spot 5, 5).

The .cur files are kept in the repository; run this again only to change a
drawing:  python3 resources/MakeCursors.py
"""

import os
import struct

SIZE = 32
TRANSPARENT, BLACK, WHITE = 0, 1, 2


def outlined(inside):
    """White shape with a one-pixel black border: pixels of the shape that
    touch the outside (4-neighbours) are black."""
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if not inside(x, y):
                continue
            edge = any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            pixels[y][x] = BLACK if edge else WHITE
    return pixels


def in_rounded(x, y, left, top, right, bottom, radius):
    """Inside the rectangle left..right, top..bottom (inclusive) with its
    corners rounded off by `radius`."""
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius


def closed_hand():
    # Four curled fingers seen from the back (left, right, top of each
    # knuckle), the palm below them and the thumb folded in on the left.
    knuckles = [(7, 11, 10), (11, 15, 8), (15, 19, 8), (19, 23, 9)]

    def inside(x, y):
        if not (0 <= x < SIZE and 0 <= y < SIZE):
            return False
        palm = in_rounded(x, y, 7, 13, 24, 27, 4)
        fingers = any(in_rounded(x, y, l, t, r, 17, 2) for l, r, t in knuckles)
        thumb = in_rounded(x, y, 3, 15, 10, 23, 3)
        return palm or fingers or thumb

    pixels = outlined(inside)
    # The creases between the fingers and along the folded thumb.
    for l, _, t in knuckles[1:]:
        for y in range(t + 1, 16):
            pixels[y][l] = BLACK
    for x in range(7, 13):
        pixels[17][x] = BLACK
    return pixels


def crop_tool():
    black = set()

    def bar(left, top, right, bottom):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                black.add((x, y))

    # One bracket comes down at x 5 and turns right at the bottom; the other
    # comes in from the left at y 5 and turns down. They cross at (5, 5).
    bar(5, 1, 6, 23)
    bar(5, 22, 28, 23)
    bar(1, 5, 23, 6)
    bar(22, 5, 23, 28)
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if (x, y) in black:
                pixels[y][x] = BLACK
            elif any((x + dx, y + dy) in black for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                pixels[y][x] = WHITE  # a halo, so the cursor shows on dark pictures
    return pixels


def cur_bytes(pixels, hot_x, hot_y):
    """A .cur file with one 32 x 32 1-bit image: XOR mask (palette index) and
    AND mask (1 = transparent), rows bottom-up, 4 bytes a row."""
    xor_rows, and_rows = [], []
    for row in reversed(pixels):
        xor_bits = and_bits = 0
        for x, p in enumerate(row):
            bit = 1 << (31 - x)
            if p == WHITE:
                xor_bits |= bit
            if p == TRANSPARENT:
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 2 * SIZE * 4, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, pixels, hot in (("Move.cur", closed_hand(), (7, 20)), ("Crop.cur", crop_tool(), (5, 5))):
        with open(os.path.join(here, name), "wb") as f:
            f.write(cur_bytes(pixels, *hot))
        preview = "\n".join("".join(".#o"[p] for p in row) for row in pixels)
        print(f"{name} (hot spot {hot}):\n{preview}\n")


if __name__ == "__main__":
    main()
