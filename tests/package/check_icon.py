#!/usr/bin/env python3
"""Checks that the PNG, ICO and SVG icons all draw the program's icon pixel for pixel."""

import os
import struct
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

import pictures  # noqa: E402

BLACK, GREEN, GREY = (0, 0, 0), (0, 128, 0), (192, 192, 192)
SIZE = 32


def expected(x, y):
    # Black lines on rows and columns 0, 8, 16, 24; 7x7 squares between them. Green: second row,
    # third and fourth squares; fourth row, second square (counted from 1).
    if x % 8 == 0 or y % 8 == 0:
        return BLACK
    row, col = y // 8 + 1, x // 8 + 1
    return GREEN if (row, col) in {(2, 3), (2, 4), (4, 2)} else GREY


def check_picture(name, pixel_at):
    wrong = [(x, y, pixel_at(x, y), expected(x, y)) for y in range(SIZE) for x in range(SIZE)
             if pixel_at(x, y) != expected(x, y)]
    if wrong:
        raise AssertionError("%s: %d wrong pixels, first %r" % (name, len(wrong), wrong[:3]))


def read_png(path):
    picture = pictures.read_png(path)
    kinds = [k for k, _ in picture.chunks]
    assert kinds[0] == b"IHDR" and kinds[-1] == b"IEND", kinds
    assert b"tRNS" not in kinds, "the icon must be fully opaque"
    width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", picture.chunks[0][1])
    assert (width, height) == (SIZE, SIZE), (width, height)
    assert (depth, colour_type, interlace) == (4, 3, 0), "expected 4-bit indexed, not interlaced"
    plte = next(b for k, b in picture.chunks if k == b"PLTE")
    assert len(plte) == 16 * 3, "expected 16 palette entries, got %d" % (len(plte) // 3)
    return picture


def read_ico(path):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind, count) == (0, 1, 1), "expected one icon image"
    width, height, colours, _, _, bits, size, offset = struct.unpack("<BBBBHHII", data[6:22])
    assert (width, height, colours, bits) == (SIZE, SIZE, 16, 4), (width, height, colours, bits)
    dib = data[offset:offset + size]
    header_size, w, h, _, bit_count = struct.unpack("<IiiHH", dib[:16])
    assert (w, h, bit_count) == (SIZE, 2 * SIZE, 4)
    palette = [(dib[header_size + 4 * i + 2], dib[header_size + 4 * i + 1], dib[header_size + 4 * i])
               for i in range(16)]
    xor_start = header_size + 64
    and_start = xor_start + SIZE * SIZE // 2
    assert not any(dib[and_start:and_start + SIZE * 4]), "the mask must leave every pixel opaque"

    def pixel_at(x, y):
        byte = dib[xor_start + (SIZE - 1 - y) * (SIZE // 2) + x // 2]
        return palette[byte >> 4 if x % 2 == 0 else byte & 0x0F]
    return pixel_at


def read_svg(path):
    root = ET.parse(path).getroot()
    assert root.get("viewBox") == "0 0 32 32", root.get("viewBox")
    assert root.get("shape-rendering") == "crispEdges"
    canvas = [[None] * SIZE for _ in range(SIZE)]
    for rect in root.iter("{http://www.w3.org/2000/svg}rect"):
        x, y, w, h = (int(rect.get(a)) for a in ("x", "y", "width", "height"))
        fill = rect.get("fill")
        colour = tuple(int(fill[i:i + 2], 16) for i in (1, 3, 5))
        for py in range(y, y + h):
            for px in range(x, x + w):
                canvas[py][px] = colour
    return lambda x, y: canvas[y][x]


def main():
    png, ico, svg = sys.argv[1:4]
    check_picture(png, read_png(png))
    check_picture(ico, read_ico(ico))
    check_picture(svg, read_svg(svg))
    print("icons match")


if __name__ == "__main__":
    main()
