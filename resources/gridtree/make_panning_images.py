#!/usr/bin/env python3
"""Draws the wheel-panning pictures of the grid tree as 32x32 24-bit .bmp files.

Each picture is a small grey disc with black arrow heads for the directions that can
scroll, on a magenta (0xFF00FF) background; the tree shapes the panning window to the
pixels that are not magenta. Run from anywhere; the files are written next to this script.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from imagefiles import write_bmp24  # noqa: E402

SIZE = 32
MAGENTA = (255, 0, 255)
DISC = (224, 224, 224)
RIM = (96, 96, 96)
ARROW = (0, 0, 0)


def blank():
    return [[MAGENTA for _ in range(SIZE)] for _ in range(SIZE)]


def disc(img):
    c = (SIZE - 1) / 2
    for y in range(SIZE):
        for x in range(SIZE):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d <= 15.5:
                img[y][x] = RIM if d > 14.0 else DISC
    # centre dot
    for y in range(14, 18):
        for x in range(14, 18):
            img[y][x] = ARROW


def arrow(img, direction):
    # A filled triangle 7 pixels deep, its tip 3 pixels inside the rim.
    for i in range(7):
        for j in range(-i, i + 1):
            if direction == "up":
                x, y = 15 + j, 3 + i
            elif direction == "down":
                x, y = 15 + j, 28 - i
            elif direction == "left":
                x, y = 3 + i, 15 + j
            else:
                x, y = 28 - i, 15 + j
            if 0 <= x < SIZE and 0 <= y < SIZE:
                img[y][x] = ARROW
                # Make the arrow symmetric about the 2-pixel-wide centre line.
                if direction in ("up", "down") and 0 <= x + 1 < SIZE:
                    img[y][x + 1] = ARROW
                if direction in ("left", "right") and 0 <= y + 1 < SIZE:
                    img[y + 1][x] = ARROW


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    pictures = {
        "moveall.bmp": ("up", "down", "left", "right"),
        "moveew.bmp": ("left", "right"),
        "movens.bmp": ("up", "down"),
    }
    for name, directions in pictures.items():
        img = blank()
        disc(img)
        for d in directions:
            arrow(img, d)
        write_bmp24(os.path.join(here, name), img)


if __name__ == "__main__":
    main()
