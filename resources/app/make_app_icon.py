#!/usr/bin/env python3
"""Draws the program's icon, wendlar.ico: a blue hive drum with a gold key across it, at 16, 32
and 48 pixels, 32-bit with alpha (edges smoothed by drawing each pixel from 4 x 4 samples).
Run from anywhere; the file is written next to this script."""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from imagefiles import write_file  # noqa: E402

OUTLINE = (40, 50, 90)
DRUM = (70, 120, 200)
DRUM_LIGHT = (150, 190, 240)
TOP = (120, 165, 230)
GOLD = (230, 180, 40)
GOLD_DARK = (150, 105, 20)


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def colour_at(x, y):
    """The colour at a point of the unit square (0..1 both ways), or None for nothing."""
    # The key: a ring at the upper right and a shaft with two teeth down to the lower left.
    kx, ky = x - 0.70, y - 0.34
    d = math.hypot(kx, ky)
    if 0.085 <= d <= 0.19:
        return GOLD_DARK if d > 0.165 or d < 0.105 else GOLD
    # The shaft along the diagonal from the ring.
    u = ((x - 0.70) * -0.7071 + (y - 0.34) * 0.7071)  # along the shaft
    v = ((x - 0.70) * 0.7071 + (y - 0.34) * 0.7071)   # across it
    if 0.17 <= u <= 0.78 and abs(v) <= 0.045:
        return GOLD_DARK if abs(v) > 0.03 else GOLD
    for tooth in (0.62, 0.72):
        if tooth <= u <= tooth + 0.06 and 0.0 <= v <= 0.13:
            return GOLD_DARK if v > 0.11 or u < tooth + 0.012 or u > tooth + 0.048 else GOLD
    # The drum: a body between two ellipses.
    cx, rx, ry, top, bottom = 0.42, 0.34, 0.11, 0.26, 0.80
    if in_ellipse(x, y, cx, top, rx, ry):
        return OUTLINE if not in_ellipse(x, y, cx, top, rx - 0.035, ry - 0.03) else TOP
    if abs(x - cx) <= rx and top <= y <= bottom or in_ellipse(x, y, cx, bottom, rx, ry):
        edge = abs(x - cx) > rx - 0.035 or not (y <= bottom or in_ellipse(x, y, cx, bottom, rx - 0.035, ry - 0.03))
        if edge:
            return OUTLINE
        for band in (0.45, 0.63):  # the drum's rings
            if abs(y - band - ry * math.sqrt(max(0.0, 1 - ((x - cx) / rx) ** 2))) < 0.018:
                return OUTLINE
        return DRUM_LIGHT if x < cx - rx * 0.45 else DRUM
    return None


def image(n, samples=4):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    for py in range(n):
        row = []
        for px in range(n):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / n, (py + (sy + 0.5) / samples) / n)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row.append((r // a, g // a, b // a, 255 * a // (samples * samples)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(rows):
    n = len(rows)
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        for r, g, b, a in rows[y]:
            xor += bytes((b, g, r, a))
    mask_row = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(rows[y]):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def main():
    sizes = (16, 32, 48)
    images = [icon_image(image(n)) for n in sizes]
    data = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        data += img
    write_file(os.path.join(os.path.dirname(os.path.abspath(__file__)), "wendlar.ico"), bytes(data))


if __name__ == "__main__":
    main()
