#!/usr/bin/env python3
"""Runs the built program as a Wayland client of a private headless Weston, with no X server to prefer and no platform
chosen for it, and checks what the compositor sees.

Usage: wayland.py <path to toripin>   (its directory holds tori.hlp and tada.wav, as installed)
Exits 77 when Weston itself cannot run here.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from pictures import read_png
from xclient import SLOW, check, end_group, read_log, wait_for

APP_ID = "io.github.toripin.Toripin"
DESKTOP_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "desktop")
BOARD_TITLE = "トリピン"
LIST_TITLE = "指し手手順"
GREY = (128, 128, 128)
SQUARE = 30  # 450 twips at 15 twips per pixel
BOARD_FRAME = (280, 333)  # 4200 × 5000 twips, frame and title bar included

# A desktop of one colour the program and Qt's window decorations never use, so windows stand out against it.
DESKTOP = (0x20, 0x40, 0x80)
WESTON_INI = f"""[shell]
background-color=0xff{DESKTOP[0]:02x}{DESKTOP[1]:02x}{DESKTOP[2]:02x}
background-image=
panel-position=none

[input-method]
path=
"""

# Weston places each new window at an offset drawn from random() without ever setting its start value, so the
# layout is the same on every run: on this output the board and the move list do not overlap, whichever maps first.
OUTPUT = (1024, 768)

SKIP = 77

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


class Skip(Exception):
    """Weston cannot run on this machine: nothing the program can be blamed for."""


class Weston:
    """A headless Weston with its own runtime directory, rendering with pixman so that screenshots show windows."""

    SOCKET = "toripin-wayland"

    def __init__(self):
        for tool in ("weston", "weston-screenshooter"):
            if not shutil.which(tool):
                raise Skip(f"{tool} is not installed (scripts/setup.sh installs it)")
        self.runtime = tempfile.mkdtemp(prefix="toripin-wayland-")
        os.chmod(self.runtime, 0o700)  # Wayland wants a runtime directory only its owner can enter
        self.last_shot = None
        self.log_path = os.path.join(self.runtime, "weston.log")
        config = os.path.join(self.runtime, "weston.ini")
        with open(config, "w") as file:
            file.write(WESTON_INI)
        # --debug offers the screenshooter protocol; the proto scope logs every request a client makes.
        self.output = open(os.path.join(self.runtime, "weston.out"), "wb")
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={self.SOCKET}", "--idle-time=0",
             "--use-pixman", f"--width={OUTPUT[0]}", f"--height={OUTPUT[1]}", f"--config={config}",
             "--debug", f"--log={self.log_path}", "--logger-scopes=log,proto"],
            env=self.env(), cwd=self.runtime, stdin=subprocess.DEVNULL, stdout=self.output,
            stderr=subprocess.STDOUT, start_new_session=True)
        try:
            self.wait_ready()
        except BaseException:
            self.close()
            raise

    def env(self, **extra):
        """A clean environment: no X display or outer Wayland session to fall back on."""
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "XAUTHORITY")}
        env["XDG_RUNTIME_DIR"] = self.runtime
        env.update(extra)
        return env

    def client_env(self, **extra):
        return self.env(**{"WAYLAND_DISPLAY": self.SOCKET, **extra})

    def wait_ready(self, timeout=30.0):
        """Waits for the socket, then for the desktop to be painted, so that the shell is there before any window."""
        socket = os.path.join(self.runtime, self.SOCKET)
        deadline = time.monotonic() + timeout * SLOW
        while not os.path.exists(socket):
            if self.process.poll() is not None:
                raise Skip(f"weston ended with {self.process.returncode} before opening its socket:\n{self.log_tail()}")
            if time.monotonic() > deadline:
                raise Skip(f"weston opened no socket in {timeout:.0f} s:\n{self.log_tail()}")
            time.sleep(0.1)
        while True:
            pic = self.screenshot()
            if pic and pic(0, 0) == DESKTOP and pic(pic.width - 1, pic.height - 1) == DESKTOP:
                return
            check(self.process.poll() is None, f"weston ended:\n{self.log_tail()}")
            check(time.monotonic() < deadline, f"the desktop was never painted:\n{self.log_tail()}")
            time.sleep(0.2)

    def screenshot(self):
        """The whole output as weston-screenshooter saves it, or None when no picture came."""
        shots = os.path.join(self.runtime, "shots")
        os.makedirs(shots, exist_ok=True)
        try:
            subprocess.run(["weston-screenshooter"], cwd=shots, env=self.client_env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20, check=False)
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

    def log(self):
        return read_log(self.log_path)

    def log_tail(self, lines=20):
        """Weston's own messages, without the protocol traffic."""
        return "\n".join([line for line in self.log().splitlines() if "][proto] " not in line][-lines:])

    def close(self):
        end_group(self.process)
        self.output.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


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
        while pic.inside(cx + dx, cy + dy) and pic(cx + dx, cy + dy) != DESKTOP:
            cx, cy = cx + dx, cy + dy
        return cx, cy
    left, right = reach(-1, 0)[0], reach(1, 0)[0]
    top, bottom = reach(0, -1)[1], reach(0, 1)[1]
    return left, top, right - left + 1, bottom - top + 1


def run(binary):
    weston = Weston()
    program = None
    err_path = os.path.join(weston.runtime, "toripin.err")
    try:
        with open(err_path, "wb") as err:
            program = subprocess.Popen([binary], cwd=os.path.dirname(binary), stdin=subprocess.DEVNULL,
                                       stdout=err, stderr=subprocess.STDOUT,
                                       env=weston.client_env())

        def output():
            with open(err_path, encoding="utf-8", errors="replace") as file:
                return file.read()

        def still_running():
            check(program.poll() is None, f"the program ended with {program.returncode}:\n{output()}")

        # Both windows reach the compositor as toplevels of one client, with their captions.
        def both_windows():
            still_running()
            return next((titles for titles in toplevels(weston.log()).values()
                         if BOARD_TITLE in titles and LIST_TITLE in titles), None)
        wait_for(both_windows, 30, "the board and the move list windows on the compositor")
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
        deadline, seen = time.monotonic() + 30 * SLOW, None
        while True:
            still_running()
            pic = weston.screenshot()
            board = pic and find_board(pic)
            layout = board and (board, frame_around(pic, board[0] + board[2] // 2, board[1] + board[3] // 2))
            if layout and layout == seen:
                break
            seen = layout
            check(time.monotonic() < deadline, "no grey board surface settled on the screen")
            time.sleep(0.5)
        left, top, width, height = board
        fx, fy, fw, fh = layout[1]
        wrong = [(x, y) for x in range(SQUARE, 8 * SQUARE, 7) for y in range(SQUARE, 8 * SQUARE, 7)
                 if pic(left + x, top + y) != GREY]
        check(not wrong, f"the board surface at ({left},{top}) is not plain grey at {wrong[:5]}")
        check(abs(fw - BOARD_FRAME[0]) <= 1 and abs(fh - BOARD_FRAME[1]) <= 2,
              f"the board window at ({fx},{fy}) is {fw}×{fh} pixels")
        check(fx < left and fy < top and left + width <= fx + fw and top + height <= fy + fh,
              f"the grey surface {board} is not inside the board window {(fx, fy, fw, fh)}")
        print(f"PASS the board window is {fw}×{fh} with a {width}×{height} grey surface", flush=True)

        # Still running a while later, having said nothing about its connection or plugin.
        time.sleep(3)
        still_running()
        bad = [line for line in output().splitlines() if any(b.lower() in line.lower() for b in BAD_OUTPUT)]
        check(not bad, "the program reported:\n" + "\n".join(bad))
        check("wl_display@1.error(" not in weston.log(), "the compositor sent a protocol error")

        # No test hooks in the product: ending it is the session's SIGTERM.
        program.terminate()
        try:
            code = program.wait(10)
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
        if program and program.poll() is None:
            program.kill()
            program.wait()
        weston.close()


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    try:
        run(os.path.abspath(sys.argv[1]))
    except Skip as reason:
        print(f"SKIP {reason}", flush=True)
        sys.exit(SKIP)
    except AssertionError as error:
        print(f"FAIL {error}", flush=True)
        sys.exit(1)


if __name__ == "__main__":
    main()
