"""Plays the real program as a person would: finds its windows, clicks squares, uses the menus, reads the board."""

import subprocess

import rules
from waits import check, patience

BOARD_TITLE = "トリピン"
LIST_TITLE = "指し手手順"
APP_TITLE = "トリピン For Windows 95"  # every message box of the program carries it

GREEN, GREY, BLACK, WHITE = (0, 128, 0), (128, 128, 128), (0, 0, 0), (255, 255, 255)
SQUARE = 30  # 450 twips at 15 twips per pixel


def is_button_face(colour):
    """A pin's face: a neutral light colour, neither the window's grey nor the board's green or lines."""
    return colour is not None and colour[0] == colour[1] == colour[2] and colour[0] > GREY[0]


class Program:
    """One run of the program on an X server."""

    def __init__(self, xs, binary, cwd=None, log=None, process=None, **env):
        """Starts the binary, or takes over a process already started from it."""
        self.xs = xs
        self.log = open(log, "wb") if log else subprocess.DEVNULL
        self.process = process or subprocess.Popen([binary], cwd=cwd, env=xs.env(**env), stdin=subprocess.DEVNULL,
                                                   stdout=self.log, stderr=subprocess.STDOUT)
        self.board = self.list = None
        self.surface = None  # screen position of the board surface's top-left corner
        self.own_pixels = False  # the board read from the window's own contents, not the screen's

    def start(self, timeout=20.0, offset=None, own_pixels=False):
        """Waits for both windows and finds the board surface below the menu bar, or takes its known offset
        within the board window (where the menu bar is off the screen). own_pixels reads the board window's own
        contents instead of the screen's (which Xwayland does not keep)."""
        self.board = self.xs.wait_window(BOARD_TITLE, timeout)
        self.list = self.xs.wait_window(LIST_TITLE, timeout)
        self.board_window = self.board[0]
        self.own_pixels = own_pixels
        if offset:
            x, y = self.xs.origin(self.board_window)
            self.surface = (x + offset[0], y + offset[1])
        else:
            self.find_surface(own_pixels)
        return self

    def alive(self):
        return self.process.poll() is None

    def stop(self):
        if self.alive():
            self.process.kill()
        self.process.wait()
        if self.log is not subprocess.DEVNULL:
            self.log.close()

    def close(self):
        """The window manager's close request on the board window: both windows go and the program ends."""
        if not self.alive():
            return
        self.xs.close_request(self.board_window)
        self.wait_exit()
        self.stop()
        check(not self.xs.titled(BOARD_TITLE) and not self.xs.titled(LIST_TITLE), "a window outlived the program")

    def wait_exit(self, timeout=10.0):
        try:
            return self.process.wait(patience(timeout))
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end")

    def cpu_ticks(self):
        return cpu_ticks(self.process.pid)

    # Where things are.

    def geometry(self, window):
        x, y = self.xs.origin(window)
        attrs = self.xs.attributes(window)
        return x, y, attrs.width, attrs.height

    def find_surface(self, own_pixels=False):
        """The client area starts with the menu bar; the surface is the first run of grey rows below it."""
        x, y, width, height = self.geometry(self.board_window)
        window = self.board_window if own_pixels else None
        at = (0, 0) if own_pixels else (x, y)
        top = self.xs.wait_for(lambda: self._surface_top(*at, height, window), 10, "the grey board surface")
        self.surface = (x, y + top)

    def _surface_top(self, x, y, height, window=None):
        picture = self.xs.grab(x, y, 8, height, window)
        column = [picture(3, row) for row in range(height)]
        for row in range(1, height - 20):
            if column[row - 1] != GREY and all(c == GREY for c in column[row:row + 20]):
                return row
        return None

    def square_centre(self, col, row):
        return self.surface[0] + SQUARE * col + SQUARE // 2, self.surface[1] + SQUARE * row + SQUARE // 2

    def grab_surface(self, scale=1):
        size = int(9 * SQUARE * scale)
        if self.own_pixels:
            x, y = self.xs.origin(self.board_window)
            return self.xs.grab(self.surface[0] - x, self.surface[1] - y, size, size, self.board_window)
        return self.xs.grab(self.surface[0], self.surface[1], size, size)

    # The keyboard.

    def steps(self, cursor, to):
        """The arrow keys from the cursor's square to another, each with the square it leads to: left and up first,
        then right and down, so that every step stays on the triangle."""
        (col, row), out = cursor, []
        for key, dc, dr in (("Left", -1, 0), ("Up", 0, -1), ("Right", 1, 0), ("Down", 0, 1)):
            while (to[0] - col) * dc > 0 or (to[1] - row) * dr > 0:
                col, row = col + dc, row + dr
                out.append((key, (col, row)))
        return out

    def play_by_keys(self, n, moves, pins, cursor):
        """Each move by keys alone: arrows to the pin and Space, arrows to its destination and Enter; waits until the
        board shows the jump. Returns the pins and the cursor's square."""
        for move in moves:
            keys = []
            for p, action in ((move[0], "space"), (move[1], "Return")):
                keys += [key for key, _ in self.steps(cursor, rules.square(p, n))] + [action]
                cursor = rules.square(p, n)
            self.xs.xdotool("key", "--delay", "20", *keys)
            pins = rules.play(pins, move, n)
            if len(pins) > 1:
                self.expect_board(n, pins)
        return pins, cursor

    def cursor_frame(self, col, row, scale=1):
        """Whether the cursor's frame stands just inside the square: along its middle row, in its first five pixels
        past the edge, a black line, the highlight colour, a white line."""
        pic, at = self.grab_surface(scale), lambda v: int(v * SQUARE * scale)
        line = [pic(at(col) + dx, at(row) + at(1) // 2) for dx in range(1, int(6 * scale))]
        if BLACK not in line or WHITE not in line[line.index(BLACK):]:
            return False
        first = line.index(BLACK)
        return any(c not in (BLACK, WHITE) for c in line[first + 1:line.index(WHITE, first)])

    def focus(self):
        self.xs.focus(self.board_window)

    def menu(self, *keys):
        """Opens the board window's menu with its access key and follows the access keys given."""
        self.focus()
        self.xs.menu_keys("alt+m", *keys)

    def sync(self):
        """A round trip through the program's event loop: its Menu menu opens on Alt+M and closes on Esc, so whatever
        the program had queued before has been handled."""
        self.focus()
        before = self.xs.menus()
        self.xs.open_menu()
        self.xs.xdotool("key", "Escape")
        self.xs.wait_for(lambda: not self.xs.menus() - before, 5, "the Menu menu to close")

    def choose_size(self, n):
        self.menu("s", str(n))
        self.expect_board(n, rules.start_position(n))

    def popup(self, at=None):
        """Right press on the board surface; returns the pop-up menu's window once it is shown."""
        before = {w[0] for w in self.xs.top_windows()}
        x, y = at or (self.surface[0] + 8 * SQUARE + 10, self.surface[1] + 8 * SQUARE + 5)
        self.xs.click(x, y, 3)
        return self.xs.wait_for(
            lambda: next((w for w in self.xs.top_windows() if w[0] not in before and w[6]), None), 5, "the pop-up")

    def click_square(self, col, row):
        self.xs.click(*self.square_centre(col, row))

    def move(self, n, move, pins):
        """Lifts the pin and presses its destination; waits until the board shows the jump."""
        for p in move:
            self.click_square(*rules.square(p, n))
        after = rules.play(pins, move, n)
        if len(after) > 1:
            self.expect_board(n, after)
        return after

    # What the screen shows.

    def board_errors(self, n, pins, picture=None):
        """Differences between the surface and the board of size n with the given pins; empty when it matches."""
        pic = picture or self.grab_surface()
        errors = []
        s = SQUARE
        for row in range(1, n + 1):
            for col in range(1, n + 1):
                p = rules.index(col, row, n)
                centre = pic(s * col + s // 2, s * row + s // 2)
                corner = pic(s * col + 6, s * row + 6)
                if not rules.in_triangle(col, row, n):
                    if corner != GREEN:
                        errors.append(f"({col},{row}) outside the triangle is {corner}, not green")
                    near = [pic(s * col + s // 2 + dx, s * row + s // 2 + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
                    if BLACK not in near:
                        errors.append(f"({col},{row}) outside the triangle has no diagonal")
                elif p in pins:
                    # A pin is a push button covering its square, with a neutral face.
                    if not is_button_face(centre):
                        errors.append(f"({col},{row}) should hold a pin, shows {centre}")
                elif centre != GREEN or corner != GREEN:
                    errors.append(f"({col},{row}) should be empty green, shows {centre}")
        # Square (c, r) owns the grid lines on its left and top edges; a pin on it covers them.
        def bare(col, row):
            return col > n or row > n or rules.index(col, row, n) not in pins
        for i in range(1, n + 2):
            for j in range(1, n + 1):
                if bare(i, j) and pic(s * i, s * j + 7) != BLACK:
                    errors.append(f"vertical line {i} missing at row {j}")
                if bare(j, i) and pic(s * j + 7, s * i) != BLACK:
                    errors.append(f"horizontal line {i} missing at column {j}")
        # Grey beyond the board, up to where the largest board ends, and in the label margins' corner.
        end = s * (n + 1)
        around = [(end + 3, s + 7), (s + 7, end + 3), (end + 3, end + 3), (5, 5)]
        if n < 7:
            around += [(8 * s - 3, 4 * s), (4 * s, 8 * s - 3)]  # where a larger board stood before
        for x, y in around:
            if pic(x, y) not in (GREY, None):  # None: off the screen
                errors.append(f"background at ({x},{y}) is {pic(x, y)}, not grey")
        return errors

    def expect_board(self, n, pins, timeout=5.0):
        self.xs.wait_for(lambda: not self.board_errors(n, pins), timeout, lambda: (
            f"board {n}x{n} with pins {sorted(pins)}:\n  " + "\n  ".join(self.board_errors(n, pins)[:12])))

    def expect_empty_surface(self):
        pic = self.grab_surface()
        wrong = [(x, y) for x in range(SQUARE, 8 * SQUARE, 7) for y in range(SQUARE, 8 * SQUARE, 7)
                 if pic(x, y) != GREY]
        assert not wrong, f"the surface is not plain grey at {wrong[:5]}"

    def list_scrolls_sideways(self):
        """Whether the move list shows a horizontal scroll bar: the bottom-left corner inside the list box (List1 at
        4,4 with 233 × 202 pixels) then differs from its top-left corner, which no line's text reaches."""
        x, y = self.xs.origin(self.list[0])
        pic = self.xs.grab(x + 4, y + 4, 233, 202)
        return pic(3, 3) != pic(3, 202 - 8)

    # Message boxes.

    def message_boxes(self):
        return self.xs.titled(APP_TITLE)

    def answer(self, key, timeout=10.0):
        """Waits for the program's message box, answers it with an access key, and waits until it has gone."""
        box = self.xs.wait_for(lambda: (self.message_boxes() or [None])[0], timeout, "the message box")
        self.xs.focus(box[0])
        self.xs.keys(key)
        self.xs.wait_for(lambda: not self.message_boxes() or not self.alive(), timeout, "the box to close")
        return box

    def play_game(self, n, moves, pins=None):
        pins = pins if pins is not None else rules.start_position(n)
        for move in moves:
            pins = self.move(n, move, pins)
        return pins


def cpu_ticks(pid):
    """The CPU time the process has taken, in clock ticks."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def export_text(header_date, n, lines):
    """What the clipboard must hold: two header lines, an empty line and the move list, CR LF between."""
    text = f"プレイ日: {header_date}\r\n桁数: {n}桁 \r\n"
    for line in lines:
        text += "\r\n" + line
    return text
