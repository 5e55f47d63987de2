"""The sessions the program runs in: a private Xvfb, alone or with a window manager; the Xwayland of a Wayland
compositor (headless GNOME, sway, or Weston); and Weston itself, for a Wayland client."""

import ctypes
import glob
import os
import pwd
import re
import select
import shutil
import signal
import stat
import subprocess
import tempfile
import time

from waits import patience, wait_for
from xclient import XClient, bare_env


class Unavailable(RuntimeError):
    """A session cannot start on this machine: a program it needs is missing, or it ends or never opens."""


def _die_with_parent():
    """Run in the child: the server ends when this script does, however it ends."""
    ctypes.CDLL(None).prctl(1, 15)  # PR_SET_PDEATHSIG, SIGTERM


def end_group(process, timeout=3.0):
    """Ends a process started in a session of its own and all it started there: SIGTERM, then SIGKILL."""
    if process is None:
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            pass
        try:
            process.wait(patience(timeout))
            return
        except subprocess.TimeoutExpired:
            continue


def read_log(path):
    """A server's log as far as it has been written, empty before it exists."""
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            return file.read()
    except FileNotFoundError:
        return ""


class XServer(XClient):
    """A private Xvfb on a display number it picks itself, and a connection to it; with a window manager's command
    (["openbox"], or ["dbus-run-session", "--", "mutter", "--x11"]), that window manager runs on it."""

    session = "Xvfb"
    wm = None
    # What a window manager does with every client's windows whatever they ask; the compositors that overrule the
    # program say so (README, "On the desktop").
    centres_windows = False  # puts every new window in the middle of the screen
    moves_windows = True  # moves a window where its client asks once it is mapped
    activates_on_request = True  # activates the window its client asks for
    publishes_frames = True  # tells a client the frame it draws around its window
    reports_positions = True  # tells a client where it put its window

    def overrules(self):
        """What this window manager does to every client's windows whatever they ask, in words."""
        return [words for flag, words in ((self.centres_windows, "centres every window"),
                                          (not self.moves_windows, "ignores moves"),
                                          (not self.activates_on_request, "refuses activation"),
                                          (not self.publishes_frames, "publishes no frame")) if flag]

    def __init__(self, width=1280, height=1024, wm=None):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
             "-noreset"], pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True, preexec_fn=_die_with_parent)
        os.close(write_end)
        number, deadline = b"", time.monotonic() + patience(5)
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(deadline - time.monotonic(), 0))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                end_group(self.process)
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.connect(":" + number.decode().strip())
        self.width, self.height = width, height
        if wm:
            name = next(word for word in wm if word in ("openbox", "mutter"))
            self.session = f"{name} on Xvfb"
            self.wm = subprocess.Popen([*wm, "--sm-disable"], env=self.env(GSETTINGS_BACKEND="memory"),
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, start_new_session=True,
                                       preexec_fn=_die_with_parent)
            self.wait_for_window_manager(name)

    def close(self):
        self.disconnect()
        end_group(self.wm)  # with the session bus it may have started
        end_group(self.process)


class Compositor:
    """A Wayland compositor in a runtime directory of its own, its output in a log there. A subclass gives its
    command(width, height) and ready(), true once its clients may come."""

    SOCKET = "toripin-wayland"  # the Wayland display's name in the runtime directory
    user = None  # the account the compositor runs as, for one that refuses root; its clients stay ours
    needs = ()  # the programs it takes, which scripts/setup.sh installs
    process = None

    def __init__(self, width=1280, height=1024):
        self.runtime = tempfile.mkdtemp(prefix="toripin-wayland-")
        os.chmod(self.runtime, 0o700)  # Wayland wants a runtime directory only its owner can enter
        self.log_path = os.path.join(self.runtime, "compositor.log")
        try:
            self.start(width, height)
        except BaseException:
            self.close()
            raise

    def start(self, width, height):
        missing = [program for program in self.needs if not shutil.which(program)]
        if missing:
            raise Unavailable(f"{' and '.join(missing)} not installed (scripts/setup.sh installs them)")
        command = self.command(width, height)
        env = {**bare_env(), "XDG_RUNTIME_DIR": self.runtime, "XDG_SESSION_TYPE": "wayland", **self.compositor_env()}
        if self.user and os.getuid() == 0:
            pw = pwd.getpwnam(self.user)
            for path in (self.runtime, *glob.glob(os.path.join(self.runtime, "*"))):
                os.chown(path, pw.pw_uid, pw.pw_gid)
            command = ["setpriv", f"--reuid={pw.pw_uid}", f"--regid={pw.pw_gid}", "--clear-groups",
                       "--inh-caps=-all", "--pdeathsig=TERM", *command]
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(command, env=env, cwd=self.runtime, stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=subprocess.STDOUT, start_new_session=True,
                                            preexec_fn=_die_with_parent)

        def ready():
            if self.process.poll() is not None:
                raise Unavailable(f"{self.session} ended with {self.process.returncode}:\n{self.log_tail()}")
            return self.ready()
        try:
            wait_for(ready, 15, f"{self.session} to start", poll=0.1)
        except AssertionError as error:
            raise Unavailable(f"{error}:\n{self.log_tail()}") from None

    def compositor_env(self):
        return {}

    def wayland_env(self):
        """What a client needs to find the compositor."""
        return {"WAYLAND_DISPLAY": self.SOCKET, "XDG_RUNTIME_DIR": self.runtime, "XDG_SESSION_TYPE": "wayland"}

    def log(self):
        return read_log(self.log_path)

    def log_tail(self, lines=20):
        """The compositor's last messages, without the protocol traffic it may log."""
        return "\n".join([line for line in self.log().splitlines() if "][proto] " not in line][-lines:])

    def close(self):
        end_group(self.process)
        shutil.rmtree(self.runtime, ignore_errors=True)


class WaylandSession(Compositor, XServer):
    """A headless Wayland compositor with its Xwayland, and a connection to that Xwayland. A subclass gives the
    compositor's command and x_display(), the X display's name once the compositor has named it."""

    xauthority = None

    def start(self, width, height):
        _x11_socket_directory()
        super().start(width, height)
        old = os.environ.get("XAUTHORITY")
        if self.xauthority:
            os.environ["XAUTHORITY"] = self.xauthority  # read by XOpenDisplay
        try:
            self.connect(self.display)
        finally:
            if old is None:
                os.environ.pop("XAUTHORITY", None)
            else:
                os.environ["XAUTHORITY"] = old
        attrs = self.attributes(self.root)
        self.width, self.height = attrs.width, attrs.height
        self.wait_for_window_manager(self.session)

    def ready(self):
        self.display = self.x_display()
        return self.display

    def session_env(self):
        return {**self.wayland_env(), "XAUTHORITY": self.xauthority} if self.xauthority else self.wayland_env()

    def close(self):
        self.disconnect()
        Compositor.close(self)


class Weston(Compositor):
    """Weston's desktop shell on a desktop of one colour, drawn with pixman; a subclass gives its backend's options."""

    session = "Weston"
    SOCKET = "toripin-weston"
    needs = ("weston",)
    # A desktop of one colour the program and Qt's window decorations never use, so windows stand out against it.
    DESKTOP = (0x20, 0x40, 0x80)

    def command(self, width, height):
        config = os.path.join(self.runtime, "weston.ini")
        with open(config, "w") as file:
            file.write("[shell]\nbackground-color=0xff%02x%02x%02x\nbackground-image=\npanel-position=none\n\n"
                       "[input-method]\npath=\n" % self.DESKTOP)
        return ["weston", f"--socket={self.SOCKET}", "--idle-time=0", "--use-pixman", f"--width={width}",
                f"--height={height}", f"--config={config}", *self.options(width, height)]


class GnomeSession(WaylandSession):
    """GNOME's compositor, mutter, on a D-Bus session of its own."""

    session = "GNOME (mutter on Wayland, Xwayland)"
    SOCKET = "toripin-gnome"
    needs = ("dbus-run-session", "mutter", "Xwayland")

    def command(self, width, height):
        return ["dbus-run-session", "--", "mutter", "--wayland", "--headless", f"--virtual-monitor={width}x{height}",
                f"--wayland-display={self.SOCKET}"]

    def compositor_env(self):
        return {"XDG_CURRENT_DESKTOP": "GNOME", "GSETTINGS_BACKEND": "memory",
                "XDG_CONFIG_HOME": os.path.join(self.runtime, "config")}

    def x_display(self):
        """mutter names its Xwayland display in its log and writes the display's key beside its socket."""
        found = re.search(r"Using public X11 display (:\d+)", self.log())
        keys = glob.glob(os.path.join(self.runtime, ".mutter-Xwaylandauth.*"))
        if not (found and keys and os.path.exists(os.path.join(self.runtime, self.SOCKET))):
            return None
        self.xauthority = keys[0]
        return found.group(1)

    def session_env(self):
        return {**super().session_env(), "XDG_CURRENT_DESKTOP": "GNOME"}


class SwaySession(WaylandSession):
    """sway, which refuses to run as root: as root, the compositor runs as nobody and lets our clients on its
    Xwayland. sway draws title bars and borders itself, outside the X windows, and tells no client of them."""

    session = "sway (Xwayland)"
    user = "nobody"
    needs = ("sway", "Xwayland", "xhost", "setpriv")
    # sway puts every floating window (and every fixed-size one floats) in the middle of the screen, and puts it
    # back there whenever its client moves it; it gives the focus to the window it maps last and turns a client's
    # request for the activation of another into an urgency hint (focus_on_window_activation urgent).
    centres_windows = True
    moves_windows = False
    activates_on_request = False
    publishes_frames = False

    def command(self, width, height):
        me = pwd.getpwuid(os.getuid()).pw_name
        with open(os.path.join(self.runtime, "config"), "w") as config:
            config.write(f"output HEADLESS-1 mode {width}x{height}\n"
                         f"exec sh -c 'xhost +si:localuser:{me} >/dev/null && "
                         f"echo \"$DISPLAY $WAYLAND_DISPLAY\" > displays.tmp && mv displays.tmp displays'\n")
        return ["sway", "--config", os.path.join(self.runtime, "config")]

    def compositor_env(self):
        return {"WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
                "HOME": self.runtime}

    def x_display(self):
        """The display sway started Xwayland on, once the configuration's first command has let us on it; with
        the name sway gave its Wayland display."""
        names = read_log(os.path.join(self.runtime, "displays")).split()
        if len(names) != 2:
            return None
        self.SOCKET = names[1]
        return names[0]


class WestonSession(Weston, WaylandSession):
    """Weston's desktop shell with its Xwayland, in a window on a private Xvfb, which gives Weston a keyboard and a
    pointer (a headless Weston has none: its Xwayland then ends on the first input a test sends, and its frame
    windows lag where it shows the windows). Weston frames X windows with a title bar and borders it tells no client
    of (no _NET_FRAME_EXTENTS), in frame windows that also hold a transparent shadow."""

    session = "Weston (Xwayland)"
    needs = ("weston", "Xwayland", "Xvfb")
    SHADOW = 32  # the transparent margin of Weston's frame windows round the frame it draws
    # Weston puts a window where its client placed it when it was mapped and ignores the client's later moves; it
    # gives the focus to the window it maps last and ignores a client's activation requests. It sends no
    # ConfigureNotify: Qt believes a window's client area stands where the window's frame does.
    moves_windows = False
    activates_on_request = False
    publishes_frames = False
    reports_positions = False
    host = None

    def options(self, width, height):
        self.host = XServer(width, height)
        return ["--backend=x11-backend.so", "--xwayland"]

    def compositor_env(self):
        return {"DISPLAY": self.host.name}

    def x_display(self):
        found = re.search(r"xserver listening on display (:\d+)", self.log())
        if found:
            # Weston's own pointer, which Xwayland's follows whenever it enters a window, waits in a corner.
            self.host.xdotool("mousemove", self.host.width - 1, self.host.height - 1)
        return found and found.group(1)

    def frame_extents(self, window):
        """The frame Weston draws round a window it has framed: its frame window, less the shadow."""
        frame = self.parent(window)
        if frame in (None, self.root):
            return 0, 0, 0, 0
        (fx, fy), outside = self.origin(frame), self.attributes(frame)
        (x, y), inside = self.origin(window), self.attributes(window)
        right, bottom = fx + outside.width - x - inside.width, fy + outside.height - y - inside.height
        return tuple(margin - self.SHADOW for margin in (x - fx, right, y - fy, bottom))

    def close(self):
        super().close()
        if self.host:
            self.host.close()


def _x11_socket_directory():
    """Xwayland puts its socket in /tmp/.X11-unix, and mutter refuses to start it unless that directory has its usual
    mode, sticky and writable by all; Xvfb, or mutter itself under a umask, may have made it without."""
    path = "/tmp/.X11-unix"
    if not os.path.isdir(path):
        os.makedirs(path, exist_ok=True)
    mode = stat.S_IMODE(os.stat(path).st_mode)
    if mode != 0o1777:
        try:
            os.chmod(path, 0o1777)
        except PermissionError:
            raise RuntimeError(f"{path} has mode {mode:o}; Xwayland needs 1777 (run as root or fix it once)")
