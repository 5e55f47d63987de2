#!/usr/bin/env python3
"""Plays the installed program on a private Xvfb with the mouse, the keyboard and the clipboard.

Usage: e2e.py <path to toripin>   (its directory holds tori.hlp and tada.wav, as installed)
"""

import datetime
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
from driver import APP_TITLE, BOARD_TITLE, LIST_TITLE, Program, export_text  # noqa: E402
from xclient import XServer  # noqa: E402

STEPS = []


def step(function):
    STEPS.append(function)
    return function


def check(condition, message):
    if not condition:
        raise AssertionError(message)


@step
def start_up(xs, binary):
    """Both windows come up: the list beside the board, the board grey and empty."""
    program = Program(xs, binary, cwd=os.path.dirname(binary)).start()
    try:
        bx, by, bw, bh = program.geometry(program.board_window)
        lx, ly, _, _ = program.geometry(program.list[0])
        check(ly == by and abs(lx - (bx + bw)) <= 1,
              f"the list window at ({lx},{ly}) is not against the board window's right edge ({bx + bw},{by})")
        # 4200 × 5000 twips, centred on the screen.
        check(abs(bw - 280) <= 1 and abs(bh - 333) <= 2, f"the board window is {bw}×{bh} pixels")
        check(abs(bx - (xs.width - bw) // 2) <= 1 and abs(by - (xs.height - bh) // 2) <= 1,
              f"the board window at ({bx},{by}) is not centred")
        program.expect_empty_surface()
        check(not program.message_boxes(), "a message box came up at start")
    finally:
        close_board(program)


def close_board(program):
    """The window manager's close request on the board window: both windows go and the program ends."""
    if not program.alive():
        return
    program.xs.close_request(program.board_window)
    program.wait_exit()
    program.stop()
    check(not program.xs.titled(BOARD_TITLE) and not program.xs.titled(LIST_TITLE), "a window outlived the program")


@step
def sizes_by_keyboard_and_popup(xs, binary):
    program = Program(xs, binary, cwd=os.path.dirname(binary)).start()
    try:
        for n in (5, 6, 7):
            program.choose_size(n)
        # The pop-up from the grey background, right of the largest board, by access keys.
        for n in (5, 6):
            program.popup()
            xs.keys("s", str(n))
            program.expect_board(n, rules.start_position(n))
        # And by the mouse: the submenu's three items stand one below the other.
        program.popup()
        before = {w[0] for w in xs.top_windows()}
        xs.keys("s")
        submenu = xs.wait_for(lambda: next((w for w in xs.top_windows() if w[6] and w[0] not in before), None), 5,
                              "the size submenu")
        _, _, x, y, width, height, _ = submenu
        xs.click(x + width // 2, y + height * 5 // 6)
        program.expect_board(7, rules.start_position(7))
        # A size chosen again lays out a fresh game of that size over a game in progress.
        pins = program.move(7, rules.winning_game(7)[0], rules.start_position(7))
        check(pins != rules.start_position(7), "the move did not change the board")
        program.choose_size(7)
        check(not program.message_boxes(), "a message box came up")
    finally:
        close_board(program)


@step
def win_then_play_again_then_quit(xs, binary):
    """A won game answered はい starts afresh; moves, undo, redo, copy; a second win answered いいえ ends it."""
    program = Program(xs, binary, cwd=os.path.dirname(binary)).start()
    n = 5
    game = rules.winning_game(n)
    try:
        program.choose_size(n)
        # Refusals speak in a message box and change nothing: a square outside the triangle, and another pin
        # while one is lifted.
        program.click_square(5, 2)
        program.answer("Return")
        start = rules.start_position(n)
        program.expect_board(n, start)
        first = game[0]
        program.click_square(*rules.square(first[0], n))
        program.expect_board(n, start - {first[0]})
        other = next(p for p in sorted(start) if p != first[0])
        program.click_square(*rules.square(other, n))
        program.answer("Return")
        program.expect_board(n, start - {first[0]})
        program.click_square(*rules.square(first[1], n))
        pins = rules.play(start, first, n)
        program.expect_board(n, pins)
        pins = program.play_game(n, game[1:-1], pins)
        check(not program.message_boxes(), "a message box came up before the last pin")
        program.move(n, game[-1], pins)
        program.answer("alt+y")
        check(program.alive(), "the program ended on はい")
        program.expect_board(n, rules.start_position(n))

        # Three moves, two taken back, one played again.
        pins = program.play_game(n, game[:3])
        xs.set_clipboard("someone else's text")
        program.menu("b")
        program.menu("b")
        pins = rules.play(rules.play(rules.start_position(n), game[0], n), game[1], n)
        expected_one = rules.play(rules.start_position(n), game[0], n)
        program.expect_board(n, expected_one)
        program.menu("n")
        program.expect_board(n, pins)

        before = datetime.datetime.now()
        program.menu("c")
        text = xs.wait_for(lambda: (lambda t: t if t and t.startswith("プレイ日") else None)(xs.clipboard()), 5,
                           "the copied move list")
        after = datetime.datetime.now()
        header = text.split("\r\n", 1)[0]
        date = header[len("プレイ日: "):]
        check(header.startswith("プレイ日: ") and date.strip() == date and date, f"the date line is {header!r}")
        years = {str(before.year), str(after.year), f"{before.year % 100:02d}", f"{after.year % 100:02d}"}
        check(any(y in date for y in years), f"the date line {header!r} does not name this year")
        check(re.search(r"\d{1,2}:\d{2}", date), f"the date line {header!r} has no time")
        expected = export_text(date, n, [rules.record_line(t, m, n) for t, m in enumerate(game[:2], 1)])
        check(text == expected, f"the clipboard holds {text!r}, expected {expected!r}")

        # The game goes on from the redone position to the last pin; undo was used, and いいえ ends the program.
        pins = program.play_game(n, game[2:-1], pins)
        program.move(n, game[-1], pins)
        program.answer("alt+n")
        program.wait_exit()
        check(not xs.titled(BOARD_TITLE) and not xs.titled(LIST_TITLE) and not xs.titled(APP_TITLE),
              "a window outlived the program")
    finally:
        program.stop()


@step
def close_during_a_game_and_exit_item(xs, binary):
    program = Program(xs, binary, cwd=os.path.dirname(binary)).start()
    try:
        program.choose_size(6)
        program.move(6, rules.winning_game(6)[0], rules.start_position(6))
    finally:
        close_board(program)
    program = Program(xs, binary, cwd=os.path.dirname(binary)).start()
    try:
        program.choose_size(5)
        program.menu("x")
        program.wait_exit()
        check(not xs.titled(BOARD_TITLE) and not xs.titled(LIST_TITLE), "a window outlived the exit item")
    finally:
        program.stop()


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    binary = os.path.abspath(sys.argv[1])
    wanted = os.environ.get("E2E_ONLY")
    failures = 0
    for function in STEPS:
        if wanted and function.__name__ != wanted:
            continue
        xs = XServer()
        began = time.monotonic()
        try:
            function(xs, binary)
            print(f"PASS {function.__name__} ({time.monotonic() - began:.1f} s)", flush=True)
        except Exception as error:  # report every step, then fail
            failures += 1
            print(f"FAIL {function.__name__}: {error}", flush=True)
        finally:
            xs.close()
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
