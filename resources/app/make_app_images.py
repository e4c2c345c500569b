#!/usr/bin/env python3
"""Draws the main window's pictures: four strips of 16 x 16 glyphs in 24-bit .bmp files on
magenta (0xFF00FF), the colour the image lists leave out.

- toolbar.bmp: the commands' pictures (menus, toolbars, popup menus, the favorites), 44
  glyphs; the index of each is its place in TOOLBAR below.
- regobjects.bmp: the registry objects of the panes and the value list: 0 binary value,
  1 string value, 2 key, 3 value name, 4 undo record, 5 clipped key, 6 history entry.
- regtree.bmp: the nodes of the key tree, closed and open: 0/1 computer, 2/3 hive,
  4/5 key.
- tabs.bmp: 0 the lock of a locked tab.

One style throughout: a dark outline, flat fills, a light edge on the upper left; small
badges (plus, arrows, a cross) in the lower right corner. Run from anywhere; the files are
written next to this script.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from imagefiles import write_bmp24  # noqa: E402

N = 16
MAGENTA = (255, 0, 255)
OUTLINE = (60, 60, 70)
WHITE = (255, 255, 255)
PAPER = (250, 250, 245)
LINE = (150, 150, 160)
GREY = (128, 128, 128)
LIGHTGREY = (200, 200, 205)
FOLDER = (245, 200, 80)
FOLDER_DARK = (200, 150, 40)
FOLDER_LIGHT = (255, 230, 150)
HIVE = (110, 160, 230)
HIVE_DARK = (50, 100, 180)
HIVE_LIGHT = (180, 210, 250)
BLUE = (40, 90, 200)
LIGHTBLUE = (150, 190, 240)
RED = (210, 40, 40)
GREEN = (40, 150, 60)
STAR = (250, 200, 30)
STAR_DARK = (170, 110, 0)
BROWN = (150, 100, 50)
SCREEN = (70, 140, 200)
GOLD = (220, 170, 40)
GOLD_DARK = (140, 100, 10)


class Glyph:
    def __init__(self):
        self.px = [[MAGENTA] * N for _ in range(N)]

    def put(self, x, y, c):
        if 0 <= x < N and 0 <= y < N:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill=None, outline=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge and outline is not None:
                    self.put(x, y, outline)
                elif fill is not None:
                    self.put(x, y, fill)

    def line(self, x0, y0, x1, y1, c, thick=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for t in range(thick):
                if abs(x1 - x0) >= abs(y1 - y0):
                    self.put(x, y + t, c)
                else:
                    self.put(x + t, y, c)

    def cover(self, test, fill, outline=None):
        """Fills the pixels whose centre passes test(x, y); with an outline, the covered
        pixels next to uncovered ones take it."""
        inside = [[test(x + 0.5, y + 0.5) for x in range(N)] for y in range(N)]
        for y in range(N):
            for x in range(N):
                if not inside[y][x]:
                    continue
                rim = any(not (0 <= x + dx < N and 0 <= y + dy < N) or not inside[y + dy][x + dx]
                          for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                self.put(x, y, outline if rim and outline is not None else fill)

    def polygon(self, points, fill, outline=None):
        self.cover(lambda x, y: inside(points, x, y), fill, outline)

    def disc(self, cx, cy, r, fill, outline=None):
        self.cover(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, fill, outline)

    def ring(self, cx, cy, r_out, r_in, c, start=0, end=360):
        def test(x, y):
            d = math.hypot(x - cx, y - cy)
            a = math.degrees(math.atan2(cy - y, x - cx)) % 360
            in_arc = start <= a <= end if start <= end else (a >= start or a <= end)
            return r_in <= d <= r_out and in_arc
        self.cover(test, c)

    def text(self, x, y, s, c):
        for ch in s:
            rows = FONT[ch]
            for dy, row in enumerate(rows):
                for dx, bit in enumerate(row):
                    if bit == "#":
                        self.put(x + dx, y + dy, c)
            x += len(rows[0]) + 1


def inside(poly, x, y):
    result = False
    n = len(poly)
    for i in range(n):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                result = not result
    return result


# A 3 x 5 pixel font for the type marks.
FONT = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "6": ["###", "#..", "###", "#.#", "###"],
    "a": ["...", ".##", "#.#", "#.#", ".##"],
    "b": ["#..", "#..", "###", "#.#", "###"],
    "F": ["###", "#..", "##.", "#..", "#.."],
    "%": ["#.#", "..#", ".#.", "#..", "#.#"],
    "?": ["##.", "..#", ".#.", "...", ".#."],
    "i": ["#", ".", "#", "#", "#"],
}


# --- shapes ------------------------------------------------------------------------------

def page(g, x0=3, y0=1, x1=12, y1=14, lines=True):
    """A sheet of paper with a folded corner."""
    g.polygon([(x0, y0), (x1 - 3, y0), (x1 + 1, y0 + 4), (x1 + 1, y1 + 1), (x0, y1 + 1)], PAPER, OUTLINE)
    g.line(x1 - 3, y0, x1 - 3, y0 + 3, OUTLINE)
    g.line(x1 - 3, y0 + 3, x1, y0 + 3, OUTLINE)
    if lines:
        for y in range(y0 + 6, y1, 2):
            g.line(x0 + 2, y, x1 - 2, y, LINE)


def folder(g, x0=1, y0=3, x1=14, y1=13, fill=FOLDER, dark=FOLDER_DARK, light=FOLDER_LIGHT, open_=False):
    g.rect(x0, y0, x0 + 5, y0 + 2, dark, OUTLINE)  # the tab
    g.rect(x0, y0 + 2, x1, y1, fill, OUTLINE)
    g.line(x0 + 1, y0 + 3, x1 - 1, y0 + 3, light)
    if open_:
        g.polygon([(x0 + 3, y0 + 5), (x1 + 1.5, y0 + 5), (x1 - 1, y1 + 1), (x0, y1 + 1)], light, OUTLINE)


def window(g, x0=1, y0=2, x1=14, y1=13, title=BLUE):
    g.rect(x0, y0, x1, y1, WHITE, OUTLINE)
    g.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2, title)


def star(g, cx, cy, r, fill=STAR, outline=STAR_DARK):
    pts = []
    for i in range(10):
        a = math.radians(90 + i * 36)
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((cx + rr * math.cos(a), cy - rr * math.sin(a)))
    g.polygon(pts, fill, outline)


def plus(g, cx=12, cy=12, c=GREEN):
    """A plus badge with a white halo."""
    g.rect(cx - 3, cy - 1, cx + 3, cy + 1, WHITE)
    g.rect(cx - 1, cy - 3, cx + 1, cy + 3, WHITE)
    g.line(cx - 2, cy, cx + 2, cy, c)
    g.line(cx, cy - 2, cx, cy + 2, c)


def minus(g, cx=12, cy=12, c=RED):
    g.rect(cx - 3, cy - 1, cx + 3, cy + 1, WHITE)
    g.line(cx - 2, cy, cx + 2, cy, c)


def cross(g, x0, y0, size, c=RED):
    """A two-pixel-thick diagonal cross in a size x size square."""
    for i in range(size):
        for t in (0, 1):
            g.put(x0 + i + t, y0 + i, c)
            g.put(x0 + size - 1 - i - t, y0 + i, c)


def arrow_right(g, x0, y, x1, c=GREEN):
    """A right-pointing arrow on row y from x0 to its tip x1."""
    g.rect(x0, y - 1, x1 - 3, y + 1, c)
    g.polygon([(x1 - 3, y - 3.5), (x1 + 1, y + 0.5), (x1 - 3, y + 4.5)], c)


def arrow_left(g, x0, y, x1, c=GREEN):
    """A left-pointing arrow on row y from its tip x0 to x1."""
    g.rect(x0 + 3, y - 1, x1, y + 1, c)
    g.polygon([(x0 + 4, y - 3.5), (x0, y + 0.5), (x0 + 4, y + 4.5)], c)


def curved_arrow(g, c=BLUE):
    """A turning-back arrow: an arc from the right to the upper left, head at its left end."""
    g.ring(8, 9.5, 6, 3.6, c, start=330, end=130)
    g.polygon([(0.5, 5.5), (6, 1), (6, 10)], c)


def magnifier(g, cx=6.5, cy=6.5):
    g.disc(cx, cy, 5, LIGHTBLUE, OUTLINE)
    g.put(int(cx) - 2, int(cy) - 2, WHITE)
    g.put(int(cx) - 1, int(cy) - 2, WHITE)
    g.put(int(cx) - 2, int(cy) - 1, WHITE)
    g.line(10, 10, 14, 14, BROWN, thick=2)


def computer(g):
    g.rect(1, 1, 14, 10, SCREEN, OUTLINE)
    g.rect(2, 2, 13, 3, LIGHTBLUE)
    g.rect(6, 11, 9, 12, GREY)
    g.rect(3, 13, 12, 14, LIGHTGREY, OUTLINE)


def cylinder(g, x0=2, y0=2, x1=13, y1=13, fill=HIVE, light=HIVE_LIGHT):
    cx, rx, ry = (x0 + x1 + 1) / 2, (x1 - x0 + 1) / 2, 2.0

    def body(x, y):
        dx = (x - cx) / rx
        if abs(dx) > 1:
            return False
        h = ry * math.sqrt(max(0.0, 1 - dx * dx))
        return y0 + ry - h <= y <= y1 + 1 - ry + h
    g.cover(body, fill, OUTLINE)
    g.cover(lambda x, y: ((x - cx) / rx) ** 2 + ((y - y0 - ry) / ry) ** 2 <= 1, light, OUTLINE)


def key_shape(g, c=GOLD, dark=GOLD_DARK):
    """A key lying from the lower left (bit) to the upper right (bow)."""
    g.disc(11, 5, 4, c, dark)
    g.put(11, 5, MAGENTA)
    g.put(10, 5, dark)
    g.line(2, 13, 8, 7, dark, thick=2)
    g.line(3, 12, 4, 13, dark)
    g.line(5, 10, 6, 11, dark)


def lock(g):
    g.ring(8, 7.5, 4.5, 2.5, GREY, start=0, end=180)
    g.rect(2, 7, 13, 14, GOLD, GOLD_DARK)
    g.rect(7, 9, 8, 12, GOLD_DARK)


def scissors(g):
    g.ring(4.5, 11.5, 3, 1.5, RED)
    g.ring(11.5, 11.5, 3, 1.5, RED)
    g.line(5, 9, 11, 1, GREY, thick=2)
    g.line(10, 9, 4, 1, OUTLINE, thick=2)


def clipboard(g):
    g.rect(2, 2, 13, 15, BROWN, OUTLINE)
    g.rect(4, 4, 11, 14, PAPER)
    g.rect(5, 1, 10, 3, LIGHTGREY, OUTLINE)
    for y in (7, 9, 11):
        g.line(5, y, 10, y, LINE)


def gear(g):
    def test(x, y):
        d = math.hypot(x - 8, y - 8)
        a = math.atan2(y - 8, x - 8)
        tooth = 7.5 if math.cos(6 * a) > 0 else 5.5
        return 2.5 <= d <= tooth
    g.cover(test, GREY, OUTLINE)


def lines_of_text(g, x0, y0, x1, rows, c=OUTLINE):
    for i in range(rows):
        g.line(x0, y0 + 2 * i, x1 - (i % 2) * 3, y0 + 2 * i, c)


def type_mark(g, s, c, back=WHITE):
    """A value-type mark: the text s in a framed box filling the glyph."""
    g.rect(0, 3, 15, 12, back, c)
    width = sum(len(FONT[ch][0]) + 1 for ch in s) - 1
    g.text((16 - width) // 2, 5, s, c)


def small_window(g, x0, y0, x1, y1, title=BLUE):
    g.rect(x0, y0, x1, y1, WHITE, OUTLINE)
    g.line(x0 + 1, y0 + 1, x1 - 1, y0 + 1, title)


# --- the command strip -------------------------------------------------------------------

def g_open_in_window(g):  # 0: the key in another window
    window(g, 0, 1, 11, 10)
    window(g, 4, 5, 15, 14)
    g.rect(7, 9, 11, 12, FOLDER, OUTLINE)


def g_edit(g):  # 1: edit a value
    page(g, 1, 1, 10, 14)
    g.line(7, 14, 14, 7, OUTLINE, thick=2)
    g.line(8, 13, 14, 7, GOLD, thick=1)
    g.put(6, 15, OUTLINE)
    g.put(7, 15, OUTLINE)


def g_new_key(g):  # 2
    folder(g, 0, 2, 13, 12)
    plus(g)


def g_undo(g):  # 3
    curved_arrow(g)


def g_copy(g):  # 4
    page(g, 1, 0, 9, 10)
    page(g, 5, 4, 13, 14)


def g_cut(g):  # 5
    scissors(g)


def g_paste(g):  # 6
    clipboard(g)


def g_rename(g):  # 7
    g.rect(0, 4, 15, 11, WHITE, OUTLINE)
    g.text(2, 6, "ab", BLUE)
    g.line(11, 2, 11, 13, OUTLINE)
    g.line(10, 2, 12, 2, OUTLINE)
    g.line(10, 13, 12, 13, OUTLINE)


def g_delete(g):  # 8
    cross(g, 2, 2, 12)


def g_select_all(g):  # 9
    for i in range(1, 15):
        c = OUTLINE if i % 2 else MAGENTA
        for x, y in ((i, 1), (i, 14), (1, i), (14, i)):
            g.put(x, y, c)
    g.rect(4, 4, 11, 11, LIGHTBLUE, BLUE)


def g_find(g):  # 10
    magnifier(g)


def g_favorites(g):  # 11: the favorites manager
    page(g, 4, 1, 13, 14)
    star(g, 5.5, 6.5, 5.5)


def g_new_favorite(g):  # 12
    star(g, 7.5, 7.5, 7.5)
    plus(g)


def g_favorite_script(g):  # 13
    page(g, 5, 1, 14, 14)
    star(g, 5, 10, 5)


def g_web(g):  # 14: the author's site
    g.disc(8, 8, 7, LIGHTBLUE, OUTLINE)
    g.ring(8, 8, 3.2, 2.2, BLUE)
    g.line(1, 8, 14, 8, BLUE)
    g.line(8, 1, 8, 14, BLUE)


def g_string(g):  # 15
    type_mark(g, "ab", RED)


def g_dword(g):  # 16
    type_mark(g, "32", BLUE)


def g_qword(g):  # 17
    type_mark(g, "64", BLUE)


def g_binary(g):  # 18
    type_mark(g, "01", GREEN)


def g_expand_string(g):  # 19
    type_mark(g, "%a", RED)


def g_multi_string(g):  # 20
    g.rect(0, 1, 15, 14, WHITE, RED)
    g.text(2, 3, "ab", RED)
    g.text(6, 9, "ab", RED)


def g_custom_binary(g):  # 21
    type_mark(g, "0?", GREEN)


def g_hex_edit(g):  # 22
    g.rect(0, 1, 15, 14, WHITE, OUTLINE)
    g.text(2, 3, "0F", GREEN)
    g.text(6, 9, "10", GREEN)
    g.line(1, 8, 14, 8, LIGHTGREY)


def g_export(g):  # 23
    page(g, 1, 1, 10, 14)
    arrow_right(g, 6, 11, 14)


def g_import(g):  # 24
    page(g, 5, 1, 14, 14)
    arrow_right(g, 0, 11, 9)


def g_refresh(g):  # 25
    g.ring(8, 8, 6.5, 4, GREEN, start=40, end=320)
    g.polygon([(10, 1), (15, 5.5), (9.5, 7)], GREEN)


def g_option(g):  # 26
    gear(g)


def g_help(g):  # 27
    g.disc(8, 8, 7, BLUE, OUTLINE)
    g.text(6, 5, "?", WHITE)
    g.rect(6, 5, 8, 5, WHITE)


def g_exit(g):  # 28
    g.rect(2, 1, 9, 14, BROWN, OUTLINE)
    g.put(7, 8, GOLD)
    arrow_right(g, 7, 8, 15, RED)


def g_tile_vertical(g):  # 29
    small_window(g, 0, 1, 7, 14)
    small_window(g, 8, 1, 15, 14)


def g_tile_horizontal(g):  # 30
    small_window(g, 0, 0, 15, 7)
    small_window(g, 0, 8, 15, 15)


def g_favorite_key(g):  # 31
    folder(g, 0, 3, 14, 14)
    star(g, 10.5, 5.5, 5.5)


def g_favorite_folder(g):  # 32
    folder(g, 0, 2, 15, 13)


def g_favorite_script_item(g):  # 33
    page(g, 2, 1, 12, 14, lines=False)
    lines_of_text(g, 4, 6, 11, 4, GREEN)


def g_shell_open(g):  # 34
    window(g, 0, 3, 11, 14)
    arrow_right(g, 6, 4, 15, GREEN)


def g_cascade(g):  # 35
    small_window(g, 0, 0, 10, 8)
    small_window(g, 3, 4, 13, 11)
    small_window(g, 6, 8, 15, 15)


def g_new_window(g):  # 36
    window(g, 0, 1, 13, 13)
    plus(g)


def g_load_hive(g):  # 37
    cylinder(g, 1, 1, 12, 13)
    plus(g)


def g_unload_hive(g):  # 38
    cylinder(g, 1, 1, 12, 13)
    minus(g)


def g_expand_all(g):  # 39
    for y in (1, 6, 11):
        g.rect(2 if y == 1 else 6, y, 7 if y == 1 else 11, y + 3, FOLDER, OUTLINE)
    g.line(4, 5, 4, 13, GREY)
    g.line(4, 8, 5, 8, GREY)
    g.line(4, 13, 5, 13, GREY)
    g.rect(12, 4, 14, 4, GREEN)
    g.rect(13, 3, 13, 5, GREEN)


def g_version(g):  # 40
    g.disc(8, 8, 7, GREEN, OUTLINE)
    g.rect(7, 3, 8, 4, WHITE)
    g.rect(7, 6, 8, 12, WHITE)


def g_clear_history(g):  # 41
    clock(g)
    cross(g, 9, 9, 6)


def g_close_all(g):  # 42
    small_window(g, 0, 0, 10, 9)
    small_window(g, 4, 5, 15, 15)
    cross(g, 7, 8, 6)


def g_close_tab(g):  # 43
    window(g, 0, 1, 14, 14)
    cross(g, 4, 6, 7)


TOOLBAR = [
    g_open_in_window, g_edit, g_new_key, g_undo, g_copy, g_cut, g_paste, g_rename, g_delete,
    g_select_all, g_find, g_favorites, g_new_favorite, g_favorite_script, g_web, g_string,
    g_dword, g_qword, g_binary, g_expand_string, g_multi_string, g_custom_binary, g_hex_edit,
    g_export, g_import, g_refresh, g_option, g_help, g_exit, g_tile_vertical, g_tile_horizontal,
    g_favorite_key, g_favorite_folder, g_favorite_script_item, g_shell_open, g_cascade,
    g_new_window, g_load_hive, g_unload_hive, g_expand_all, g_version, g_clear_history,
    g_close_all, g_close_tab,
]


# --- registry objects --------------------------------------------------------------------

def clock(g):
    g.disc(7.5, 7.5, 7, WHITE, OUTLINE)
    g.line(7, 3, 7, 7, OUTLINE)
    g.line(7, 7, 10, 9, OUTLINE)


def o_value_name(g):  # 3: a value's name: a label
    g.polygon([(0, 4), (11, 4), (15.5, 8), (11, 12), (0, 12)], LIGHTBLUE, OUTLINE)
    g.text(2, 6, "ab", BLUE)


def o_key_clip(g):  # 5: a clipped key
    clipboard(g)
    g.rect(5, 8, 13, 14, FOLDER, OUTLINE)


REGOBJECTS = [g_binary, g_string, lambda g: folder(g), o_value_name, g_undo, o_key_clip, clock]

REGTREE = [
    computer, computer,
    lambda g: cylinder(g), lambda g: cylinder(g, fill=HIVE_LIGHT, light=WHITE),
    lambda g: folder(g), lambda g: folder(g, open_=True),
]

TABS = [lock]


def strip(drawers):
    rows = [[] for _ in range(N)]
    for draw in drawers:
        g = Glyph()
        draw(g)
        for y in range(N):
            rows[y].extend(g.px[y])
    return rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, drawers in (("toolbar.bmp", TOOLBAR), ("regobjects.bmp", REGOBJECTS),
                          ("regtree.bmp", REGTREE), ("tabs.bmp", TABS)):
        write_bmp24(os.path.join(here, name), strip(drawers))


if __name__ == "__main__":
    main()
