#!/usr/bin/env python3
"""Draws the grid tree's pictures: check image strips, the utility strip (drop marks, sort
marks, the hot strip of the header), the shaded expand buttons and the header split cursor.

Strips are rows of 16x16 images in 24-bit .bmp files. The top-left pixel of every strip is
magenta (0xFF00FF), which the tree takes as the transparent colour. The strips the tree maps
to the system colours use only white, silver (0xC0C0C0), grey (0x808080) and black besides
magenta; the tree replaces those by the window, face, shadow and text colours.

Check strips hold 25 images: 0 empty; then four images each (normal, hot, pressed,
disabled) for: radio button unchecked (1), radio button checked (5), check box unchecked
(9), check box checked (13), mixed (17), push button (21).

Run from anywhere; the files are written next to this script.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from imagefiles import cursor32, write_bmp24, write_file  # noqa: E402

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
BLACK = (0, 0, 0)


def canvas(width, height, fill=MAGENTA):
    return [[fill for _ in range(width)] for _ in range(height)]


def put(img, x, y, colour):
    if 0 <= y < len(img) and 0 <= x < len(img[0]):
        img[y][x] = colour


def rect(img, x0, y0, x1, y1, colour):
    """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(img, x, y, colour)


def frame(img, x0, y0, x1, y1, colour):
    for x in range(x0, x1 + 1):
        put(img, x, y0, colour)
        put(img, x, y1, colour)
    for y in range(y0, y1 + 1):
        put(img, x0, y, colour)
        put(img, x1, y, colour)


# --- check images -----------------------------------------------------------------------

TICK = [(3, 7), (4, 8), (5, 9), (6, 8), (7, 7), (8, 6), (9, 5), (10, 4)]


def tick(img, ox, oy, colour, bold):
    for x, y in TICK:
        for dy in range(3 if bold else 2):
            put(img, ox + x, oy + y + dy - 1, colour)


def box(img, ox, oy, style, state):
    """A 13x13 box at (ox + 1, oy + 1). state: 0 normal, 1 hot, 2 pressed, 3 disabled."""
    light = style in ("light", "tick_light")
    border = GREY if light else BLACK
    if style == "flat":
        border = GREY
    if state == 1:
        border = BLACK
    inner = SILVER if state in (2, 3) else WHITE
    rect(img, ox + 1, oy + 1, ox + 13, oy + 13, inner)
    frame(img, ox + 1, oy + 1, ox + 13, oy + 13, border)
    if style in ("light", "dark") and state != 3:
        # a second, lighter inner frame gives the box some depth
        frame(img, ox + 2, oy + 2, ox + 12, oy + 12, SILVER if state != 2 else GREY)


def circle(img, ox, oy, style, state):
    border = GREY if style in ("light", "tick_light", "flat") else BLACK
    if state == 1:
        border = BLACK
    inner = SILVER if state in (2, 3) else WHITE
    c = 7.0
    for y in range(16):
        for x in range(16):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d <= 6.5:
                put(img, ox + x, oy + y, border if d > 5.4 else inner)


def dot(img, ox, oy, colour):
    c = 7.0
    for y in range(16):
        for x in range(16):
            if ((x - c) ** 2 + (y - c) ** 2) ** 0.5 <= 2.6:
                put(img, ox + x, oy + y, colour)


def push_button(img, ox, oy, state):
    rect(img, ox + 1, oy + 2, ox + 14, oy + 13, SILVER)
    hi, lo = (GREY, WHITE) if state == 2 else (WHITE, GREY)
    for x in range(ox + 1, ox + 15):
        put(img, x, oy + 2, hi)
        put(img, x, oy + 13, lo)
    for y in range(oy + 2, oy + 14):
        put(img, ox + 1, y, hi)
        put(img, ox + 14, y, lo)
    frame(img, ox, oy + 1, ox + 15, oy + 14, BLACK if state == 1 else GREY)


def check_strip(style):
    img = canvas(16 * 25, 16)
    tick_only = style.startswith("tick")
    for index in range(1, 25):
        ox = 16 * index
        group, state = (index - 1) // 4, (index - 1) % 4
        mark = GREY if state == 3 else BLACK
        if group in (0, 1):
            circle(img, ox, 0, style, state)
            if group == 1:
                dot(img, ox, 0, mark)
        elif group in (2, 3, 4):
            if tick_only:
                # ticks stand alone: an unchecked item shows a faint box only
                if group == 2:
                    frame(img, ox + 2, 2, ox + 12, 12, GREY if state != 1 else BLACK)
                elif group == 3:
                    tick(img, ox, 1, mark, style == "tick_dark")
                else:
                    rect(img, ox + 5, 5, ox + 9, 9, GREY if state == 3 else mark)
            else:
                box(img, ox, 0, style, state)
                if group == 3:
                    tick(img, ox, 0, mark, style == "dark")
                elif group == 4:
                    rect(img, ox + 4, 4, ox + 10, 10, GREY if style == "light" or state == 3 else BLACK)
        else:
            push_button(img, ox, 0, state)
    return img


XP_FRAME = (28, 81, 128)
XP_FACE = (244, 244, 240)
XP_HOT = (255, 240, 207)
XP_PRESSED = (201, 199, 186)
XP_DISABLED = (202, 200, 187)
XP_TICK = (33, 161, 33)


def xp_strip():
    """The XP-like set: fixed colours, not mapped."""
    img = canvas(16 * 25, 16)
    for index in range(1, 25):
        ox = 16 * index
        group, state = (index - 1) // 4, (index - 1) % 4
        face = (XP_FACE, XP_HOT, XP_PRESSED, XP_FACE)[state]
        border = XP_DISABLED if state == 3 else XP_FRAME
        mark = XP_DISABLED if state == 3 else XP_TICK
        if group in (0, 1):
            c = 7.0
            for y in range(16):
                for x in range(16):
                    d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
                    if d <= 6.5:
                        put(img, ox + x, y, border if d > 5.4 else face)
            if group == 1:
                dot(img, ox, 0, mark)
        elif group in (2, 3, 4):
            rect(img, ox + 1, 1, ox + 13, 13, face)
            frame(img, ox + 1, 1, ox + 13, 13, border)
            if group == 3:
                tick(img, ox, 0, mark, True)
            elif group == 4:
                rect(img, ox + 4, 4, ox + 10, 10, mark)
        else:
            rect(img, ox + 1, 2, ox + 14, 13, face)
            frame(img, ox, 1, ox + 15, 14, border)
    return img


# --- utility images ---------------------------------------------------------------------

HOT_STRIP = ((248, 179, 48), (229, 151, 0), (248, 169, 0))


def triangle(img, ox, oy, up, colour, size):
    """A filled triangle, pointing up or down, centred in the 16x16 cell."""
    for i in range(size):
        half = i if up else size - 1 - i
        y = oy + 8 - size // 2 + i
        for x in range(ox + 7 - half, ox + 8 + half):
            put(img, x, y, colour)


def utility_strip():
    img = canvas(16 * 9, 16)
    # 0, 1: drop marks for the left and the right edge of a header button: a bar with
    # arrow heads pointing into the button. The strip's top-left pixel stays magenta.
    for y in range(2, 14):
        put(img, 0, y, BLACK)
        put(img, 1, y, BLACK)
        put(img, 16 + 14, y, BLACK)
        put(img, 16 + 15, y, BLACK)
    for i in range(3):
        for y in (2 + i, 13 - i):
            for x in range(2, 5 - i):
                put(img, x, y, BLACK)
            for x in range(16 + 11 + i, 16 + 14):
                put(img, x, y, BLACK)
    # 2: descending, 3: ascending (mapped), 4: descending, 5: ascending (themed header)
    triangle(img, 32, 0, False, GREY, 4)
    triangle(img, 48, 0, True, GREY, 4)
    triangle(img, 64, 0, False, (96, 96, 96), 5)
    triangle(img, 80, 0, True, (96, 96, 96), 5)
    # 6, 7, 8: the hot strip under a hot header button (left end, middle, right end)
    for piece in range(3):
        ox = 96 + 16 * piece
        for row, colour in enumerate(HOT_STRIP):
            for x in range(16):
                if piece == 0 and x < 2 - min(row, 1) * 1 and row != 1:
                    continue
                if piece == 2 and x > 13 + min(row, 1) and row != 1:
                    continue
                put(img, ox + x, 13 + row, colour)
    return img


# --- shaded expand buttons --------------------------------------------------------------

def xp_button(plus):
    img = canvas(9, 9)
    edge = (122, 152, 175)
    for y in range(9):
        shade = 255 - y * 6
        for x in range(9):
            put(img, x, y, (shade, shade, min(255, shade + 2)))
    frame(img, 0, 0, 8, 8, edge)
    for corner in ((0, 0), (8, 0), (0, 8), (8, 8)):
        put(img, corner[0], corner[1], MAGENTA)
    for x in range(2, 7):
        put(img, x, 4, BLACK)
    if plus:
        for y in range(2, 7):
            put(img, 4, y, BLACK)
    return img


# --- header split cursor ----------------------------------------------------------------

def split_cursor():
    """32x32 monochrome cursor: two vertical bars with arrows left and right."""
    size = 32
    shape = canvas(size, size, None)  # None transparent, 0 black, 1 white

    def draw(x, y, v):
        if 0 <= x < size and 0 <= y < size:
            shape[y][x] = v

    # white outline first, black inside
    def bars(v, grow):
        for y in range(8 - grow, 24 + grow):
            for x in range(14 - grow, 15 + grow):
                draw(x, y, v)
            for x in range(17 - grow, 18 + grow):
                draw(x, y, v)

    def arrows(v, grow):
        for i in range(5):
            for y in range(16 - i - grow, 16 + i + grow):
                draw(7 + i, y - 1 + 1, v)
                draw(24 - i, y - 1 + 1, v)
        for x in range(7 - grow, 25 + grow):
            for y in range(15 - grow, 17 + grow):
                if not (13 <= x <= 18):
                    draw(x, y, v)

    bars(1, 1)
    arrows(1, 1)
    bars(0, 0)
    arrows(0, 0)
    # the two bars stay apart: the gap between them shows through
    for y in range(8, 24):
        for x in (15, 16):
            if shape[y][x] == 0:
                shape[y][x] = 1

    return cursor32(lambda x, y: shape[y][x] is None, lambda x, y: shape[y][x] == 1, 15, 15)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for style, name in (("light", "check_light"), ("dark", "check_dark"), ("tick_light", "tick_light"),
                        ("tick_dark", "tick_dark"), ("flat", "flat")):
        write_bmp24(os.path.join(here, name + ".bmp"), check_strip(style))
    write_bmp24(os.path.join(here, "xp.bmp"), xp_strip())
    write_bmp24(os.path.join(here, "utilities.bmp"), utility_strip())
    write_bmp24(os.path.join(here, "xpbuttonplus.bmp"), xp_button(True))
    write_bmp24(os.path.join(here, "xpbuttonminus.bmp"), xp_button(False))
    write_file(os.path.join(here, "headersplit.cur"), split_cursor())


if __name__ == "__main__":
    main()
