#!/usr/bin/env python3
"""Draws the program's icon as a 32x32 16-colour PNG, a Windows .ico and the same picture as an SVG."""

import os
import struct
import sys
import zlib

SIZE = 32
CELL = 8  # one black line plus a 7-pixel square
GRID = 4

# The classic 16-colour palette; the icon uses black, dark green and light grey from it.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, GREY = 0, 2, 7

# (row, column) of the green squares, counted from 0 at the top left.
GREEN_SQUARES = {(1, 2), (1, 3), (3, 1)}


def square_colour(row, col):
    return GREEN if (row, col) in GREEN_SQUARES else GREY


def pixel(x, y):
    """Palette index of pixel (x, y): lines on every eighth row and column, squares between."""
    if x % CELL == 0 or y % CELL == 0:
        return BLACK
    return square_colour(y // CELL, x // CELL)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes():
    rows = bytearray()
    for y in range(SIZE):
        rows.append(0)  # filter type None
        for x in range(0, SIZE, 2):
            rows.append(pixel(x, y) << 4 | pixel(x + 1, y))  # two 4-bit pixels per byte
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 4, 3, 0, 0, 0)  # 4-bit indexed colour
    palette = b"".join(struct.pack("BBB", *rgb) for rgb in PALETTE)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def ico_bytes():
    """A classic 4-bit icon: header, one directory entry, then a DIB with its colour and mask bitmaps."""
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor_rows = bytearray()
    for y in reversed(range(SIZE)):  # DIB rows run bottom-up
        for x in range(0, SIZE, 2):
            xor_rows.append(pixel(x, y) << 4 | pixel(x + 1, y))
    and_mask = bytes(SIZE * SIZE // 8)  # all zero: every pixel opaque
    # The DIB's height counts both the colour bitmap and the mask.
    dib_header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                             len(xor_rows) + len(and_mask), 0, 0, len(PALETTE), 0)
    image = dib_header + colours + bytes(xor_rows) + and_mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, len(PALETTE), 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


def svg_text():
    def hexrgb(index):
        return "#%02x%02x%02x" % PALETTE[index]

    parts = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
        'shape-rendering="crispEdges">' % (SIZE, SIZE, SIZE, SIZE),
        '  <rect x="0" y="0" width="%d" height="%d" fill="%s"/>' % (SIZE, SIZE, hexrgb(BLACK)),
    ]
    for row in range(GRID):
        for col in range(GRID):
            parts.append('  <rect x="%d" y="%d" width="7" height="7" fill="%s"/>'
                         % (col * CELL + 1, row * CELL + 1, hexrgb(square_colour(row, col))))
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "icons")
    with open(os.path.join(out, "toripin.png"), "wb") as f:
        f.write(png_bytes())
    with open(os.path.join(out, "toripin.ico"), "wb") as f:
        f.write(ico_bytes())
    with open(os.path.join(out, "toripin.svg"), "w", encoding="utf-8") as f:
        f.write(svg_text())


if __name__ == "__main__":
    main()
