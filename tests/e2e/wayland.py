"""The built program as a Wayland client of a private headless Weston, with no X server to prefer and no platform chosen
for it: what the compositor sees. A step of e2e.py's wayland suite."""

import os
import re
import shutil
import signal
import subprocess

from driver import BOARD_TITLE, GREY, LIST_TITLE, SQUARE, cpu_ticks
from pictures import read_png
from sessions import Weston, XServer
from waits import check, patience, wait_for
from xclient import bare_env

APP_ID = "io.github.toripin.Toripin"
DESKTOP_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "desktop")
BOARD_FRAME = (280, 333)  # 4200 × 5000 twips, frame and title bar included

# Weston places each new window at an offset drawn from random() without ever setting its start value, so the
# layout is the same on every run: on this output the board and the move list do not overlap, whichever maps first.
OUTPUT = (1024, 768)

# What Qt prints when it cannot reach the compositor or load its Wayland plugin.
BAD_OUTPUT = (
    "Failed to create wl_display",
    "could not connect",
    "Could not load the Qt platform plugin",
    "This application failed to start",
    "The Wayland connection broke",
    "Wayland protocol error",
    "shell integration",
)


class HeadlessWeston(Weston):
    """Weston with no screen but the pictures weston-screenshooter takes of its output, logging every request its
    clients make."""

    session = "headless Weston"
    needs = ("weston", "weston-screenshooter")
    last_shot = None

    def __init__(self):
        super().__init__(*OUTPUT)

    def options(self, width, height):
        # --debug offers the screenshooter protocol; the proto scope logs every request a client makes.
        return ["--backend=headless-backend.so", "--debug", "--logger-scopes=log,proto"]

    def ready(self):
        return os.path.exists(os.path.join(self.runtime, self.SOCKET))

    def start(self, width, height):
        """Once the socket is there, waits for the desktop to be painted: the shell is there before any window."""
        super().start(width, height)

        def painted():
            check(self.process.poll() is None, f"weston ended:\n{self.log_tail()}")
            pic = self.screenshot()
            return pic and pic(0, 0) == self.DESKTOP and pic(pic.width - 1, pic.height - 1) == self.DESKTOP
        wait_for(painted, 10, lambda: f"the desktop to be painted:\n{self.log_tail()}", poll=0.2)

    def client_env(self):
        """A Wayland client's environment, with no X display or outer Wayland session to fall back on."""
        return {**bare_env(), **self.wayland_env()}

    def screenshot(self):
        """The whole output as weston-screenshooter saves it, or None when no picture came."""
        shots = os.path.join(self.runtime, "shots")
        os.makedirs(shots, exist_ok=True)
        try:
            subprocess.run(["weston-screenshooter"], cwd=shots, env=self.client_env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=patience(5), check=False)
        except subprocess.TimeoutExpired:
            return None
        files = sorted(name for name in os.listdir(shots) if name.endswith(".png"))
        if not files:
            return None
        path = os.path.join(shots, files[-1])
        self.last_shot = path + ".last"
        os.replace(path, self.last_shot)
        for name in files[:-1]:
            os.remove(os.path.join(shots, name))
        return read_png(self.last_shot)


class NestedWeston(HeadlessWeston):
    """Weston in a window on a private Xvfb, which gives it a pointer: the x11 backend moves its pointer by the X
    pointer's motion, so a point is reached exactly by leaving Weston's window (the Xvfb screen is larger) and
    entering it there."""

    session = "Weston in Xvfb"
    needs = ("weston", "Xvfb", "xdotool")
    host = None

    def options(self, width, height):
        self.host = XServer(width + 64, height + 64)
        self.host.xdotool("mousemove", width + 32, height + 32)  # outside: Weston draws no pointer yet
        return ["--backend=x11-backend.so", "--debug", "--logger-scopes=log,proto"]

    def compositor_env(self):
        return {"DISPLAY": self.host.name}

    def screenshot(self):
        return self.host.grab(0, 0, *OUTPUT)

    def click(self, x, y):
        self.host.xdotool("mousemove", OUTPUT[0] + 32, OUTPUT[1] + 32)  # out, to come in exactly at (x, y)
        self.host.xdotool("mousemove", x, y)
        self.host.xdotool("click", 1)

    def close(self):
        super().close()
        if self.host:
            self.host.close()


def toplevels(log):
    """The titles each client gave its xdg toplevels, from the protocol log: {client: [title, ...]}."""
    clients = {}
    for line in log.splitlines():
        marker = line.find("][proto] client ")
        if marker < 0 or ".set_title(" not in line or "rq xdg_toplevel@" not in line:
            continue
        client = line[marker:].split()[2]
        title = line[line.index(".set_title(") + len(".set_title("):].rstrip()[:-1].strip('"')
        clients.setdefault(client, []).append(title)
    return clients


def mapped_files(pid):
    with open(f"/proc/{pid}/maps") as maps:
        return {line.split(None, 5)[5].strip() for line in maps if len(line.split(None, 5)) == 6}


def find_board(pic):
    """The board surface: the widest run of grey on the screen, down to where its two ends stop being grey."""
    grey, best = bytes(GREY), None
    for y in range(pic.height):
        row, x = pic.row(y), 0
        while x < pic.width:
            start = x
            while x < pic.width and row[x * pic.bpp:x * pic.bpp + 3] == grey:
                x += 1
            if x - start >= 8 * SQUARE and (best is None or best[2] < x - start):
                best = (start, y, x - start)
            x += 1
    if not best:
        return None
    left, top, width = best
    height = 0
    while (top + height < pic.height and pic(left, top + height) == GREY
           and pic(left + width - 1, top + height) == GREY):
        height += 1
    return left, top, width, height


def frame_around(pic, x, y):
    """The window around the point (x, y): how far the pixels that are not desktop reach in the four directions."""
    def reach(dx, dy):
        cx, cy = x, y
        while pic.inside(cx + dx, cy + dy) and pic(cx + dx, cy + dy) != Weston.DESKTOP:
            cx, cy = cx + dx, cy + dy
        return cx, cy
    left, right = reach(-1, 0)[0], reach(1, 0)[0]
    top, bottom = reach(0, -1)[1], reach(0, 1)[1]
    return left, top, right - left + 1, bottom - top + 1


class Client:
    """The program started as a Wayland client of the compositor, its output in a file."""

    def __init__(self, weston, binary):
        self.err_path = os.path.join(weston.runtime, "toripin.err")
        with open(self.err_path, "wb") as err:
            self.process = subprocess.Popen([binary], cwd=os.path.dirname(binary), stdin=subprocess.DEVNULL,
                                            stdout=err, stderr=subprocess.STDOUT, env=weston.client_env())

    def output(self):
        with open(self.err_path, encoding="utf-8", errors="replace") as file:
            return file.read()

    def still_running(self):
        check(self.process.poll() is None, f"the program ended with {self.process.returncode}:\n{self.output()}")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def wayland_client(weston, binary):
    app = Client(weston, binary)
    program, output, still_running = app.process, app.output, app.still_running
    try:
        # Both windows reach the compositor as toplevels of one client, with their captions.
        def both_windows():
            still_running()
            return next((client for client, titles in toplevels(weston.log()).items()
                         if BOARD_TITLE in titles and LIST_TITLE in titles), None)
        client = wait_for(both_windows, 30, "the board and the move list windows on the compositor")
        print("PASS both windows are Wayland toplevels with their captions", flush=True)

        # The desktop finds the launcher of the running windows by their application id: the desktop entry's name.
        ids = set(re.findall(r'rq xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)', weston.log()))
        check(ids == {APP_ID}, f"the windows' application ids are {ids}, not {APP_ID!r}")
        check(os.path.exists(os.path.join(DESKTOP_DIR, APP_ID + ".desktop")), f"no desktop entry {APP_ID}.desktop")
        print(f"PASS the windows carry the application id {APP_ID}", flush=True)

        # Qt talks Wayland through the system's libwayland and its Wayland platform plugin, and has no X fallback.
        files = mapped_files(program.pid)
        check(any("/libwayland-client.so" in f for f in files), "libwayland-client is not mapped")
        check(any("/plugins/platforms/libqwayland" in f for f in files), "the qwayland platform plugin is not mapped")
        check(not any("/plugins/platforms/libqxcb" in f for f in files), "the xcb platform plugin is mapped")
        print("PASS the Wayland client library and platform plugin are loaded", flush=True)

        # The board comes up grey and empty, in a window of its designed size, frame included.
        # Qt settles the window size over a few configures: wait until two screenshots agree.
        last = [None]

        def settled():
            still_running()
            pic = weston.screenshot()
            board = pic and find_board(pic)
            layout = board and (board, frame_around(pic, board[0] + board[2] // 2, board[1] + board[3] // 2))
            agreed, last[0] = layout and layout == last[0], layout
            return agreed and (layout, pic)
        ((left, top, width, height), (fx, fy, fw, fh)), pic = wait_for(
            settled, 10, "a grey board surface to settle on the screen", poll=0.5)
        wrong = [(x, y) for x in range(SQUARE, 8 * SQUARE, 7) for y in range(SQUARE, 8 * SQUARE, 7)
                 if pic(left + x, top + y) != GREY]
        check(not wrong, f"the board surface at ({left},{top}) is not plain grey at {wrong[:5]}")
        check(abs(fw - BOARD_FRAME[0]) <= 1 and abs(fh - BOARD_FRAME[1]) <= 2,
              f"the board window at ({fx},{fy}) is {fw}×{fh} pixels")
        check(fx < left and fy < top and left + width <= fx + fw and top + height <= fy + fh,
              f"the grey surface {(left, top, width, height)} is not inside the board window {(fx, fy, fw, fh)}")
        print(f"PASS the board window is {fw}×{fh} with a {width}×{height} grey surface", flush=True)

        # Still running once it has gone quiet (no request to the compositor and no CPU time between two looks half
        # a second apart), having said nothing about its connection or plugin.
        last = [None]

        def quiet():
            still_running()
            now = (weston.log().count(f"][proto] client {client} rq "), cpu_ticks(program.pid))
            unchanged, last[0] = now == last[0], now
            return unchanged
        wait_for(quiet, 10, "the program to go quiet", poll=0.5)
        bad = [line for line in output().splitlines() if any(b.lower() in line.lower() for b in BAD_OUTPUT)]
        check(not bad, "the program reported:\n" + "\n".join(bad))
        check("wl_display@1.error(" not in weston.log(), "the compositor sent a protocol error")

        # No test hooks in the product: ending it is the session's SIGTERM.
        program.terminate()
        try:
            code = program.wait(patience(10))
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end on SIGTERM")
        check(code == -signal.SIGTERM, f"the program ended with {code} instead of by SIGTERM:\n{output()}")
        print("PASS the program keeps running quietly and ends on SIGTERM", flush=True)
    except AssertionError:
        shot = weston.last_shot
        if shot and os.path.exists(shot):
            shutil.copy(shot, os.path.join(os.getcwd(), "wayland-failure.png"))
            print(f"the last screenshot is {os.path.join(os.getcwd(), 'wayland-failure.png')}", flush=True)
        print(f"weston log:\n{weston.log_tail(40)}", flush=True)
        raise
    finally:
        app.kill()


def frames(pic):
    """The board window's frame and the other window's, where each is on the screen: (x, y, width, height)."""
    board = find_board(pic)
    frame = board and frame_around(pic, board[0] + board[2] // 2, board[1] + board[3] // 2)
    inside = lambda x, y: frame and frame[0] <= x < frame[0] + frame[2] and frame[1] <= y < frame[1] + frame[3]
    # A window, not the pointer that Weston draws on its output.
    others = (frame_around(pic, x, y) for y in range(0, pic.height, 8) for x in range(0, pic.width, 8)
              if not inside(x, y) and pic(x, y) != Weston.DESKTOP)
    return frame, next((other for other in others if other[2] > 100 and other[3] > 100), None)


def title_bars(weston, binary):
    """Each button of the title bars Qt draws on both windows, clicked: maximize changes nothing, a minimized list
    comes back from the menu, and the program keeps running with its board whatever is clicked."""
    client = Client(weston, binary)
    try:
        def layout(board=True, listed=True):
            client.still_running()
            check("wl_display@1.error(" not in weston.log(), f"the compositor sent a protocol error:\n{weston.log_tail()}")
            now = frames(weston.screenshot())
            return (bool(now[0]) == board and bool(now[1]) == listed) and now
        first = wait_for(layout, 10, "both windows on the screen", poll=0.3)

        # Weston gives the keyboard to the window it maps last, the list; there Alt+M opens the board's menu.
        popups = lambda: weston.log().count(".get_popup(")
        before = popups()
        weston.host.xdotool("mousemove", 1, 1)  # into Weston's window, which then takes the X keyboard
        weston.host.xdotool("key", "alt+m")
        wait_for(lambda: popups() > before, 5, "the board's menu to open on Alt+M in the list")
        weston.host.xdotool("key", "Escape")

        def press(frame, offset, request):
            """Clicks the title bar's button offset pixels left of the frame's right edge, once the request is sent."""
            count = lambda: weston.log().count(f".{request}(")
            before = count()
            weston.click(frame[0] + frame[2] - offset, frame[1] + 15)
            wait_for(lambda: count() > before, 5, f"the title bar to ask the compositor to {request}")

        maximize, minimize = 40, 63  # the buttons' middles, from the frame's right edge (close is at 17)
        for frame in first:
            press(frame, maximize, "set_maximized")
            wait_for(lambda: layout() == first, 5, lambda: f"both windows to stay as they were, {first}")
        press(first[1], minimize, "set_minimized")
        wait_for(lambda: layout(listed=False), 5, "the move list to go")
        weston.click(first[0][0] + first[0][2] // 2, first[0][1] + 15)  # the board's title bar, for the keyboard
        weston.host.xdotool("key", "alt+m")
        weston.host.xdotool("key", "l")
        # Weston puts a window shown again where it likes.
        back = lambda: layout() and layout()[0] == first[0] and layout()[1][2:] == first[1][2:]
        wait_for(back, 5, lambda: f"the move list to come back as large as it was, {first}")
        press(first[0], minimize, "set_minimized")
        wait_for(lambda: layout(board=False), 5, "the board window to go")
        client.still_running()
        print("PASS every title-bar button clicked, the program still running", flush=True)
    finally:
        client.kill()
