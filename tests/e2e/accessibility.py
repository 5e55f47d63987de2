#!/usr/bin/env python3
"""A 7 x 7 game read through AT-SPI as a screen reader reads it: the squares of the triangle and their names, the
focus following the keyboard cursor, a name changing as a pin is lifted and as a jump lands; the move list, a
message box and the About box. Runs on a private D-Bus session, with Qt on the accessibility bus.

Usage: dbus-run-session -- python3 accessibility.py <path to toripin>   (Debian's python3, which has pyatspi)
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

import rules  # noqa: E402
from driver import Program  # noqa: E402
from xclient import XServer, check, wait_for  # noqa: E402

N = 7
focused = []  # the sources of focus events, last one last
renamed = []  # the names of the objects that name-change events came from


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def find(root, role, name=None):
    for child in root:
        if child and child.getRoleName() == "menu bar":
            continue  # read before their first opening, menus stop answering their access keys
        if child and child.getRoleName() == role and name in (None, child.name):
            return child
        found = child and find(child, role, name)
        if found:
            return found
    return None


def name(square, pins, lifted=None):
    p = rules.index(*square, N)
    return f"({square[0]},{square[1]}) " + ("持ち上げ中" if p == lifted else "ピン" if p in pins else "空き")


def main():
    binary = os.path.abspath(sys.argv[1])
    xs = XServer(wm=["openbox"])
    def heard(event):
        if event.type.startswith("focus"):
            focused.append(event.source)
        else:
            renamed.append(event.source.name)
    pyatspi.Registry.registerEventListener(heard, "focus:", "object:property-change:accessible-name")
    try:
        program = Program(xs, binary, cwd=os.path.dirname(binary), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1").start()
        app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                     if a and a.get_process_id() == program.process.pid), None), 10, "the program")
        board = wait_for(lambda: find(app, "panel", "盤面"), 10, "the board in the accessible tree")
        xs.wait_for(lambda: xs.active_window() == program.board_window, 5, "the board window to be active")
        for attempt in range(3):
            # Qt hands each key to the accessibility registry before it handles it, and a key that comes as the
            # registry starts up can be lost: an Alt+M that opened no menu is pressed again.
            before = xs.menus()
            program.focus()
            xs.xdotool("key", "alt+m")
            try:
                xs.wait_for(lambda: xs.menus() - before, 2, "the Menu menu to open on Alt+M")
                break
            except AssertionError:
                if attempt == 2:
                    raise
        xs.menu_keys("s", str(N))
        pins = rules.start_position(N)
        triangle = [(c, r) for r in range(1, N + 1) for c in range(1, N + 1) if rules.in_triangle(c, r, N)]
        names = lambda: [child.name for child in board]
        wait_for(lambda: names() == [name(q, pins) for q in triangle], 5, lambda: f"the squares' names, not {names()}")

        def key(k, square, lifted=None, rename=False):
            """A key, then the cursor's square as the focus, by its name; where the key changes what stands there, the
            new name told by a name-change event, which a screen reader speaks."""
            want = name(square, pins, lifted)
            renamed.clear()
            xs.xdotool("key", k)
            def told():
                pump()
                return (focused and focused[-1].name == want and (want in renamed or not rename)
                        and focused[-1].getState().contains(pyatspi.STATE_FOCUSED))
            wait_for(told, 5, lambda: f"the focus on {want!r} after {k}, not {focused[-1].name if focused else None!r} ({renamed})")

        cursor = (1, 1)
        key("Down", cursor)  # the first arrow key shows the cursor on (1,1)

        def walk(to, lifted=None):
            nonlocal cursor
            for k, axis, step in (("Left", 0, -1), ("Up", 1, -1), ("Right", 0, 1), ("Down", 1, 1)):
                while (to[axis] - cursor[axis]) * step > 0:
                    cursor = (cursor[0] + step, cursor[1]) if axis == 0 else (cursor[0], cursor[1] + step)
                    key(k, cursor, lifted)

        game = rules.winning_game(N)[:4]
        for move in game:
            walk(rules.square(move[0], N))
            key("space", cursor, lifted=move[0], rename=True)  # "(c,r) 持ち上げ中"
            walk(rules.square(move[1], N), lifted=move[0])
            pins = rules.play(pins, move, N)
            key("Return", cursor, rename=True)  # "(c,r) ピン" where the pin landed
        check(names() == [name(q, pins) for q in triangle], f"after {len(game)} moves the squares read {names()}")

        listed = find(app, "list", "指し手手順")
        lines = [rules.record_line(t, move, N) for t, move in enumerate(game, 1)]
        check([item.name for item in listed] == lines, f"the move list reads {[item.name for item in listed]}")

        # A refusal's message box, text and button; the About box's lines, icon and button.
        walk(rules.square(min(pins), N))
        key("space", cursor, lifted=min(pins))
        walk(rules.square(max(pins), N), lifted=min(pins))
        xs.xdotool("key", "space")
        alert = wait_for(lambda: find(app, "alert"), 5, "the message box")
        check(find(alert, "label", "そこには置けません。移動先のマス目をクリックして下さい。") and find(alert, "push button", "OK"),
              "the message box does not read its text and its OK button")
        program.answer("Return")
        program.focus()
        xs.menu_keys("alt+h", "v")
        about = wait_for(lambda: find(app, "dialog", "バージョン情報"), 5, "the About box")
        parts = [(child.getRoleName(), child.name) for child in about]
        check(any(role == "label" and text.startswith("Version ") for role, text in parts)
              and ("push button", "OK(O)") in parts and all(text for _, text in parts), f"the About box reads {parts}")
        xs.xdotool("key", "Return")
        print("PASS accessibility: 28 squares named, the focus on the cursor's square, names after lifts and jumps")
    finally:
        xs.close()


if __name__ == "__main__":
    main()
