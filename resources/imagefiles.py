"""File writers shared by the picture generators in this folder: 24-bit bitmaps, monochrome
32x32 cursors, and whole-file replacement (a temporary file, then a rename)."""
import os
import struct


def write_file(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def bmp24(img):
    """The bytes of a 24-bit .bmp of img, a list of rows of (r, g, b) tuples, top row first."""
    height, width = len(img), len(img[0])
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for r, g, b in img[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def write_bmp24(path, img):
    write_file(path, bmp24(img))


def cursor32(clear, light, hot_x, hot_y):
    """The bytes of a 32x32 monochrome .cur; clear(x, y) and light(x, y) say which pixels are
    transparent and which are white (the others are black)."""
    size = 32
    xor_rows, and_rows = bytearray(), bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up rows, 4 bytes each
        xor_bits = and_bits = 0
        for x in range(size):
            bit = 1 << (size - 1 - x)
            if clear(x, y):
                and_bits |= bit
            elif light(x, y):
                xor_bits |= bit
        xor_rows += struct.pack(">I", xor_bits)
        and_rows += struct.pack(">I", and_bits)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor_rows) + len(and_rows),
                       0, 0, 2, 0)
    image = info + palette + bytes(xor_rows) + bytes(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return directory + entry + image
