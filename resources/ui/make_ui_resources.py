#!/usr/bin/env python3
"""Draws the pictures of the themed controls: the window-button glyph strip and the two
drag cursors. Run from anywhere; the files are written next to this script.

- uiglyphs.bmp: 64 x 16, 16 colours, four black 16 x 16 glyphs on magenta (0xFF00FF, the
  colour the image list leaves out): 0 close (a diagonal cross), 1 maximize (a box with a
  thick top edge), 2 minimize (a thick bar at the bottom), 3 restore (two overlapping boxes).
- thmsysmenu.bmp: the same four glyphs on silver (0xC0C0C0), the images of the system menu
  that the menu bar shows for a maximised child window.
- thmglyphs.bmp: 64 x 16, one bit per pixel, the toolbar themes' four 16 x 16 glyphs (0 close,
  1 maximise, 2 minimise, 3 restore) in black on white. The themes load it with white as the
  image list's transparent colour and stamp the black pixels in the colour they need.
- czmove.cur: the pointer with a small box below it (an item being moved).
- czcancel.cur: the pointer with a circle and a bar across it (the drop is refused).
Both cursors are 32 x 32 monochrome with the hot spot at the pointer's tip.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from imagefiles import cursor32, write_file  # noqa: E402

# --- glyph strip --------------------------------------------------------------------------

GLYPH = 16
BLACK, SILVER, MAGENTA = 0, 7, 13  # indexes into the 16-colour palette below

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def glyph_close(img, x0, background):
    for i in range(8):
        for t in range(2):  # two pixels thick
            x = 4 + i + t
            if x <= 11:
                img[4 + i][x0 + x] = BLACK
                img[4 + i][x0 + 15 - x] = BLACK


def box(img, x0, left, top, right, bottom, clear_inside=None):
    """A one-pixel box from (left, top) to (right, bottom) inclusive, two pixels thick at
    the top; with clear_inside (the background colour) the inner part goes back to it."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, top + 1, bottom) or x in (left, right)
            if edge:
                img[y][x0 + x] = BLACK
            elif clear_inside is not None:
                img[y][x0 + x] = clear_inside


def glyph_maximize(img, x0, background):
    box(img, x0, 3, 3, 12, 12)


def glyph_minimize(img, x0, background):
    for y in (11, 12):
        for x in range(4, 11):
            img[y][x0 + x] = BLACK


def glyph_restore(img, x0, background):
    box(img, x0, 6, 2, 13, 8)
    box(img, x0, 2, 6, 9, 12, clear_inside=background)


def write_strip(path, background):
    width, height = GLYPH * 4, GLYPH
    img = [[background] * width for _ in range(height)]
    for n, draw in enumerate((glyph_close, glyph_maximize, glyph_minimize, glyph_restore)):
        draw(img, n * GLYPH, background)
    row_size = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(0, width, 2):
            row.append((img[y][x] << 4) | img[y][x + 1])
        row += b"\0" * (row_size - len(row))
        data += row
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    write_file(path, header + info + palette + data)


# --- theme glyph strip ------------------------------------------------------------------------

# The glyphs of the toolbar themes, row by row (X = glyph pixel), rows 0 to 15 of each cell.
THEME_GLYPHS = {
    0: {5: "....XX....XX....", 6: ".....XX..XX.....", 7: "......XXXX......", 8: ".......XX.......",
        9: "......XXXX......", 10: ".....XX..XX.....", 11: "....XX....XX...."},
    1: {4: "...XXXXXXXXX....", 5: "...XXXXXXXXX....", 6: "...X.......X....", 7: "...X.......X....",
        8: "...X.......X....", 9: "...X.......X....", 10: "...X.......X....", 11: "...X.......X....",
        12: "...XXXXXXXXX...."},
    2: {11: "....XXXXXX......", 12: "....XXXXXX......"},
    3: {4: ".....XXXXXXX....", 5: ".....XXXXXXX....", 6: ".....X.....X....", 7: "...XXXXXXX.X....",
        8: "...XXXXXXX.X....", 9: "...X.....XXX....", 10: "...X.....X......", 11: "...X.....X......",
        12: "...XXXXXXX......"},
}


def write_theme_glyphs(path):
    width, height = GLYPH * 4, GLYPH
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows of 8 bytes
        bits = 0
        for x in range(width):
            cell, column = divmod(x, GLYPH)
            row = THEME_GLYPHS[cell].get(y, "." * GLYPH)
            white = row[column] != "X"  # palette index 1 is white, 0 black
            bits = (bits << 1) | int(white)
        data += bits.to_bytes(width // 8, "big")
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(data), 0, 0, 2, 0)
    write_file(path, header + info + palette + data)


# --- cursors ------------------------------------------------------------------------------

SIZE = 32
CLEAR, DARK, LIGHT = 0, 1, 2

# The pointer: tip at (0, 0).
ARROW = [(0, 0), (0, 16), (4, 12), (7, 18), (10, 17), (7, 11), (12, 11)]


def inside(poly, px, py):
    """Even-odd test of the pixel centre (px + 0.5, py + 0.5)."""
    x, y = px + 0.5, py + 0.5
    result = False
    n = len(poly)
    for i in range(n):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            cross = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < cross:
                result = not result
    return result


def outlined(img, cover):
    """Fills the covered pixels light with a dark rim (covered pixels next to uncovered ones)."""
    for y in range(SIZE):
        for x in range(SIZE):
            if not cover(x, y):
                continue
            rim = any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE) or not cover(x + dx, y + dy)
                      for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            img[y][x] = DARK if rim else LIGHT


def pointer(img):
    outlined(img, lambda x, y: inside(ARROW, x, y))


def move_box(img):
    # A box 11 x 8 below and right of the pointer, with a dark frame and a light inside.
    left, top, right, bottom = 12, 19, 23, 27
    for y in range(top - 1, bottom + 2):  # a light halo keeps it visible on dark backgrounds
        for x in range(left - 1, right + 2):
            img[y][x] = LIGHT
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            img[y][x] = DARK if y in (top, bottom) or x in (left, right) else LIGHT


def refused_sign(img):
    cx, cy, outer, inner = 20.5, 22.5, 7.5, 4.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if d > outer + 1:
                continue
            # The bar runs from the top left to the bottom right of the circle.
            u = ((x + 0.5 - cx) - (y + 0.5 - cy)) / 2 ** 0.5
            if d > outer:
                img[y][x] = LIGHT
            elif d >= inner or abs(u) <= 1.5:
                img[y][x] = DARK
            else:
                img[y][x] = LIGHT


def write_cursor(path, img, hot_x, hot_y):
    write_file(path, cursor32(lambda x, y: img[y][x] == CLEAR, lambda x, y: img[y][x] == LIGHT,
                              hot_x, hot_y))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_strip(os.path.join(here, "uiglyphs.bmp"), MAGENTA)
    write_strip(os.path.join(here, "thmsysmenu.bmp"), SILVER)
    write_theme_glyphs(os.path.join(here, "thmglyphs.bmp"))

    move = [[CLEAR] * SIZE for _ in range(SIZE)]
    move_box(move)
    pointer(move)
    write_cursor(os.path.join(here, "czmove.cur"), move, 0, 0)

    cancel = [[CLEAR] * SIZE for _ in range(SIZE)]
    refused_sign(cancel)
    pointer(cancel)
    write_cursor(os.path.join(here, "czcancel.cur"), cancel, 0, 0)


if __name__ == "__main__":
    main()
