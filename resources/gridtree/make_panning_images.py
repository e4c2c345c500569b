#!/usr/bin/env python3
"""Draws the wheel-panning pictures and cursors of the grid tree.

Each picture is a 32x32 24-bit .bmp: a small grey disc with black arrow heads for the
directions that can scroll, on a magenta (0xFF00FF) background; the tree shapes the panning
window to the pixels that are not magenta. Each cursor is a 32x32 monochrome .cur: a black
dot in a white ring with arrow heads for the directions it shows (the resting cursors) or
for the one direction the tree scrolls in (the moving cursors), hot spot in the middle.
Run from anywhere; the files are written next to this script.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from imagefiles import cursor32, write_bmp24, write_file  # noqa: E402

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


# The eight compass directions as unit steps (x right, y down).
COMPASS = {
    "n": (0, -1), "s": (0, 1), "e": (1, 0), "w": (-1, 0),
    "ne": (1, -1), "nw": (-1, -1), "se": (1, 1), "sw": (-1, 1),
}


def panning_cursor(directions):
    """A cursor: a ring around a dot, and a filled arrow head towards each direction."""
    shape = [[None] * SIZE for _ in range(SIZE)]  # None transparent, 0 black, 1 white

    def put(x, y, v):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            shape[y][x] = v

    c = 15.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d <= 4.5:
                shape[y][x] = 1 if d > 2.5 else 0

    def head(dx, dy, v, grow):
        # Tip 13 pixels out from the middle, 5 pixels deep, widening towards the middle.
        for depth in range(-grow, 6 + grow):
            reach = 13 - depth
            half = depth + grow
            for side in range(-half, half + 1):
                if dx and dy:
                    # diagonal: the side runs across the diagonal
                    bx = int(round(c + dx * reach * 0.72)) + side
                    by = int(round(c + dy * reach * 0.72)) - side * dx * dy
                    put(bx, by, v)
                else:
                    bx = int(c + dx * reach) if dx else int(c) + side
                    by = int(c + dy * reach) if dy else int(c) + side
                    put(bx, by, v)

    for name in directions:
        head(*COMPASS[name], 1, 1)
    for name in directions:
        head(*COMPASS[name], 0, 0)
    return cursor32(lambda x, y: shape[y][x] is None, lambda x, y: shape[y][x] == 1, 15, 15)


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
    cursors = {
        "moveall.cur": ("n", "s", "e", "w"),
        "moveew.cur": ("e", "w"),
        "movens.cur": ("n", "s"),
    }
    for name in COMPASS:
        cursors["move" + name + ".cur"] = (name,)
    for name, directions in cursors.items():
        write_file(os.path.join(here, name), panning_cursor(directions))


if __name__ == "__main__":
    main()
