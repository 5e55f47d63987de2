#!/usr/bin/env python3
"""Makes the screenshots of the README and the AppStream metainfo from the built program, played under openbox on a
private Xvfb: a 7 × 7 game in progress with the move list beside the board, and the question after a won 5 × 5 game.
Each picture holds the game's windows with their frames, transparent around them, as an optimised PNG.

Usage: python3 scripts/screenshots.py [PROGRAM [FOLDER]]   (defaults: build/app/toripin, docs/screenshots)
Run it again after a change of look: cmake --build build --target toripin && python3 scripts/screenshots.py
"""

import os
import struct
import subprocess
import sys
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import rules  # noqa: E402
from driver import Program  # noqa: E402
from sessions import XServer  # noqa: E402

MOVES_SHOWN = 12  # of a winning 7 × 7 game: enough to fill most of the move list


def write_png(path, width, height, rows):
    """An RGBA PNG from rows of bytes."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                   + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def shoot(xs, windows, path):
    """The windows with their frames as the screen shows them, once the screen has settled; the rest transparent."""
    xs.xdotool("mousemove", 0, 0)  # no pointer hovering over a pin
    rects = [xs.outer(w) for w in windows]
    left, top = min(r[0] for r in rects), min(r[1] for r in rects)
    width = max(r[0] + r[2] for r in rects) - left
    height = max(r[1] + r[3] for r in rects) - top
    grab = lambda: xs.grab(left, top, width, height)
    before = grab()
    def settled():
        nonlocal before
        time.sleep(0.2)
        now, previous = grab(), before
        before = now
        return now.raw == previous.raw
    xs.wait_for(settled, 10, "the screen to settle")
    inside = lambda x, y: any(r[0] <= x < r[0] + r[2] and r[1] <= y < r[1] + r[3] for r in rects)
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            colour = before(x, y) if inside(left + x, top + y) else None
            row += bytes((*colour, 255)) if colour else b"\0\0\0\0"
        rows.append(bytes(row))
    write_png(path, width, height, rows)
    subprocess.run(["optipng", "-quiet", "-o7", "-strip", "all", path], check=True)
    print(f"{path}: {width}×{height}, {os.path.getsize(path)} bytes")


def main():
    program_path = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "app", "toripin"))
    folder = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "docs", "screenshots")
    if not os.access(program_path, os.X_OK):
        sys.exit(f"no program at {program_path}; build it first (cmake --build build --target toripin)\n\n{__doc__}")
    os.makedirs(folder, exist_ok=True)
    japanese = {"LANG": "ja_JP.UTF-8", "LC_ALL": "ja_JP.UTF-8", "LANGUAGE": None}
    xs = XServer(1024, 768, wm=["openbox"])
    try:
        program = Program(xs, program_path, cwd=os.path.dirname(program_path), **japanese).start()
        try:
            program.choose_size(7)
            program.play_game(7, rules.winning_game(7)[:MOVES_SHOWN])
            shoot(xs, [program.board_window, program.list[0]], os.path.join(folder, "game-7x7.png"))
        finally:
            program.stop()

        program = Program(xs, program_path, cwd=os.path.dirname(program_path), **japanese).start()
        try:
            program.choose_size(5)
            game = rules.winning_game(5)
            pins = program.play_game(5, game[:-1])
            program.move(5, game[-1], pins)
            box = xs.wait_for(lambda: (program.message_boxes() or [None])[0], 10, "the question")
            shoot(xs, [program.board_window, program.list[0], box[0]], os.path.join(folder, "won-5x5.png"))
        finally:
            program.stop()
    finally:
        xs.close()


if __name__ == "__main__":
    main()
