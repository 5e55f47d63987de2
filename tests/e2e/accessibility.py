"""A 7 x 7 game read through AT-SPI as a screen reader reads it: the triangle's squares and their names, the focus
following the keyboard cursor, each lift and jump told by a name change, and the move list's lines. The suite
"accessibility" of e2e.py runs it on a private D-Bus session, with Qt on the accessibility bus."""

import os

import pyatspi
from gi.repository import GLib

import rules
from driver import Program
from sessions import XServer
from waits import check

N = 7


def name(square, pins, lifted=None):
    p = rules.index(*square, N)
    return f"({square[0]},{square[1]}) " + ("持ち上げ中" if p == lifted else "ピン" if p in pins else "空き")


def read_a_game(xs, binary):
    focused, renamed = [], []  # the sources of focus events; the names of those of name-change events
    pyatspi.Registry.registerEventListener(lambda e: focused.append(e.source) if e.type.startswith("focus")
                                           else renamed.append(e.source.name), "focus:",
                                           "object:property-change:accessible-name")
    program = Program(xs, binary, cwd=os.path.dirname(binary), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1").start()
    try:
        app = xs.wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                        if a and a.get_process_id() == program.process.pid), None), 10, "the program")
        board = xs.wait_for(lambda: next((c for c in app[0] if c and c.name == "盤面"), None), 10, "the board")
        program.focus()
        xs.open_menu(attempts=3)
        xs.menu_keys("s", str(N))
        pins, cursor = rules.start_position(N), (1, 1)
        triangle = [(c, r) for r in range(1, N + 1) for c in range(1, N + 1) if rules.in_triangle(c, r, N)]
        names = lambda: [child.name for child in board]
        xs.wait_for(lambda: names() == [name(q, pins) for q in triangle], 5, lambda: f"the squares read {names()}")

        def key(k, square, lifted=None, rename=False):
            """A key; then the cursor's square has the focus and the name it must have, told by an event."""
            want, renamed[:] = name(square, pins, lifted), []
            xs.xdotool("key", k)

            def told():
                while GLib.MainContext.default().pending():
                    GLib.MainContext.default().iteration(False)
                return (focused and focused[-1].name == want and focused[-1].getState().contains(pyatspi.STATE_FOCUSED)
                        and (want in renamed or not rename))
            xs.wait_for(told, 5, lambda: f"{want!r} told after {k}; the focus is on {focused[-1].name!r}")

        key("Down", cursor)  # the first arrow key shows the cursor on (1,1)
        game = rules.winning_game(N)[:4]
        for move in game:
            for target, action, lifted in ((move[0], "space", None), (move[1], "Return", move[0])):
                for k, cursor in program.steps(cursor, rules.square(target, N)):
                    key(k, cursor, lifted)
                pins = rules.play(pins, move, N) if action == "Return" else pins
                key(action, cursor, move[0] if action == "space" else None, rename=True)
        check(names() == [name(q, pins) for q in triangle], f"after {len(game)} moves the squares read {names()}")
        lines = [item.name for item in app[1][0]]  # the move list window's list
        check(lines == [rules.record_line(t, m, N) for t, m in enumerate(game, 1)], f"the move list reads {lines}")
    finally:
        program.close()


def runs():
    return [("accessibility", lambda: XServer(wm=["openbox"]), read_a_game)]
