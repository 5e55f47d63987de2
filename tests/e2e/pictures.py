"""Pictures: the pixels of a rectangle grabbed from an X server, or of a PNG file, read back by position."""

import struct
import zlib


class Picture:
    """Pixels of a grabbed rectangle or a decoded file: calling it with (x, y), relative to the rectangle asked for,
    gives that pixel's (red, green, blue), or None outside what was taken."""

    def __init__(self, raw, width, height, stride, bpp=4, bgr=True, dx=0, dy=0):
        self.raw, self.width, self.height, self.stride, self.bpp, self.bgr = raw, width, height, stride, bpp, bgr
        self.dx, self.dy = dx, dy

    def __call__(self, x, y):
        x, y = x - self.dx, y - self.dy
        if not self.inside(x, y):
            return None
        at = y * self.stride + self.bpp * x
        first, green, last = self.raw[at], self.raw[at + 1], self.raw[at + 2]
        return (last, green, first) if self.bgr else (first, green, last)

    def inside(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height

    def row(self, y):
        return self.raw[y * self.stride:y * self.stride + self.width * self.bpp]


def read_png(path):
    """Decodes a PNG file that is not interlaced, of 8-bit RGB or RGBA (as weston-screenshooter writes) or of a
    palette, into a Picture; its chunks, each (kind, body) in the file's order, are its .chunks."""
    with open(path, "rb") as file:
        data = file.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG file")
    pos, chunks = 8, []
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"{path}: bad CRC in {kind!r}")
        chunks.append((kind, body))
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if interlace or (colour_type, depth) not in {(2, 8), (6, 8), (3, 1), (3, 2), (3, 4), (3, 8)}:
        raise ValueError(f"{path}: unexpected PNG format {(width, height, depth, colour_type, interlace)}")
    bits = depth * {2: 3, 3: 1, 6: 4}[colour_type]  # per pixel
    stride, bpp = (width * bits + 7) // 8, max(bits // 8, 1)  # bytes per row, and per pixel for the filters
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, previous))
        elif kind == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + (left + previous[i]) // 2) & 255
        elif kind == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b, c = previous[i], previous[i - bpp] if i >= bpp else 0
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    if colour_type == 3:  # each index, of depth bits from the top of its byte, becomes its palette's RGB
        palette = next(body for kind, body in chunks if kind == b"PLTE")
        indices = [(row[x * depth // 8] >> (8 - depth - x * depth % 8)) & ((1 << depth) - 1)
                   for row in rows for x in range(width)]
        rows, stride, bpp = [b"".join(palette[3 * i:3 * i + 3] for i in indices)], width * 3, 3
    picture = Picture(b"".join(rows), width, height, stride, bpp, bgr=False)
    picture.chunks = chunks
    return picture
