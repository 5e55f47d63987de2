"""The X client the tests drive the program with: Xlib through ctypes, and a connection to a display that finds
windows and reads their properties and pixels, sends input through xdotool and uses the clipboard through xclip."""

import ctypes
import ctypes.util
import os
import select
import subprocess
import time

from pictures import Picture
from waits import patience, wait_for

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

Window = ctypes.c_ulong
Atom = ctypes.c_ulong


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
        ("root", Window), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


class XImage(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
        ("data", ctypes.POINTER(ctypes.c_ubyte)), ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
        ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
    ]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom), ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class XMapEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("event", Window), ("window", Window), ("override_redirect", ctypes.c_int),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", XClientMessageEvent), ("xmap", XMapEvent),
                ("pad", ctypes.c_long * 24)]


_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDefaultRootWindow.restype = Window
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XInternAtom.restype = Atom
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                            ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
_x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(XWindowAttributes)]
_x11.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, Atom, ctypes.POINTER(Atom),
    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                       ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                       ctypes.POINTER(Window)]
_x11.XGetImage.restype = ctypes.POINTER(XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                           ctypes.c_ulong, ctypes.c_int]
_x11.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
_x11.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XSelectInput.argtypes = [ctypes.c_void_p, Window, ctypes.c_long]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
_x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
_x11.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(Window), ctypes.POINTER(ctypes.c_int)]
_x11.XGetAtomName.restype = ctypes.c_void_p
_x11.XGetAtomName.argtypes = [ctypes.c_void_p, Atom]
_x11.XCreateSimpleWindow.restype = Window
_x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                     ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
_x11.XMapWindow.argtypes = [ctypes.c_void_p, Window]
_x11.XUnmapWindow.argtypes = [ctypes.c_void_p, Window]
_x11.XDestroyWindow.argtypes = [ctypes.c_void_p, Window]

# Windows come and go while they are looked at; a request about a window that has just gone fails
# harmlessly instead of ending this process, as Xlib's default handler would.
_ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_ignore_errors = _ErrorHandler(lambda display, error: 0)
_x11.XSetErrorHandler.argtypes = [_ErrorHandler]
_x11.XSetErrorHandler.restype = ctypes.c_void_p
_x11.XSetErrorHandler(_ignore_errors)

IS_VIEWABLE = 2
MAP_NOTIFY = 19
CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
Z_PIXMAP = 2
ALL_PLANES = 0xFFFFFFFF


def bare_env():
    """The environment of this process without the display, the session or the platform it names."""
    return {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XAUTHORITY", "QT_QPA_PLATFORM",
                         "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP")}


class XClient:
    """A connection to an X display. A session (sessions.py) makes the display and connects."""

    dpy = None

    def connect(self, name):
        """Opens the display as soon as it takes connections."""
        self.name = name
        self.dpy = wait_for(lambda: _x11.XOpenDisplay(name.encode()), 5, f"the display {name} to take connections",
                            poll=0.1)
        self.root = _x11.XDefaultRootWindow(self.dpy)
        self._atoms = {}

    def disconnect(self):
        if self.dpy:
            _x11.XCloseDisplay(self.dpy)
            self.dpy = None

    def env(self, **extra):
        """The environment for a client of this display; the test suite's offscreen setting does not apply. A value of
        None removes that variable."""
        env = {**bare_env(), "DISPLAY": self.name, "QT_QPA_PLATFORM": "xcb", **self.session_env(), **extra}
        return {k: v for k, v in env.items() if v is not None}

    def session_env(self):
        return {}

    def window_manager(self):
        """The window manager's check window, once one manages the screen."""
        raw = self.property_bytes(self.root, "_NET_SUPPORTING_WM_CHECK")
        return int.from_bytes(raw[:ctypes.sizeof(ctypes.c_long)], "little") if raw else None

    def wait_for_window_manager(self, name, timeout=30.0):
        """Waits until the window manager frames new windows. Its check window comes early in its start, and a
        window mapped before it is ready may be left unmapped for ever (openbox drops such map requests): a probe
        window is mapped, again after each second without an answer, until the window manager takes it."""
        wait_for(self.window_manager, timeout, name + " to manage the screen")
        probe = _x11.XCreateSimpleWindow(self.dpy, self.root, 0, 0, 1, 1, 0, 0, 0)
        mapped = [0.0]

        def taken():
            if self.property_bytes(probe, "WM_STATE"):
                return True
            if time.monotonic() > mapped[0] + 1:
                _x11.XUnmapWindow(self.dpy, probe)
                _x11.XMapWindow(self.dpy, probe)
                _x11.XFlush(self.dpy)
                mapped[0] = time.monotonic()
            return False
        try:
            wait_for(taken, timeout, f"{name} to take a new window")
        finally:
            _x11.XDestroyWindow(self.dpy, probe)
            _x11.XSync(self.dpy, 0)

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = _x11.XInternAtom(self.dpy, name.encode(), 0)
        return self._atoms[name]

    # Windows.

    def _tree(self, window):
        """The window's parent and children; None and none for a window that has gone."""
        root_ret, parent_ret = Window(), Window()
        kids = ctypes.POINTER(Window)()
        count = ctypes.c_uint()
        if not _x11.XQueryTree(self.dpy, window, ctypes.byref(root_ret), ctypes.byref(parent_ret),
                               ctypes.byref(kids), ctypes.byref(count)):
            return None, []
        result = [kids[i] for i in range(count.value)]
        if kids:
            _x11.XFree(kids)
        return parent_ret.value, result

    def children(self, window=None):
        return self._tree(window or self.root)[1]

    def parent(self, window):
        return self._tree(window)[0]

    def attributes(self, window):
        attrs = XWindowAttributes()
        if not _x11.XGetWindowAttributes(self.dpy, window, ctypes.byref(attrs)):
            return None
        return attrs

    def property_bytes(self, window, name, kind=0):
        actual_type, actual_format = Atom(), ctypes.c_int()
        items, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        status = _x11.XGetWindowProperty(self.dpy, window, self.atom(name), 0, 1 << 16, 0, kind,
                                         ctypes.byref(actual_type), ctypes.byref(actual_format),
                                         ctypes.byref(items), ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data:
            return None
        size = items.value * {8: 1, 16: 2, 32: ctypes.sizeof(ctypes.c_long)}.get(actual_format.value, 1)
        result = ctypes.string_at(data, size)
        _x11.XFree(data)
        return result

    def atom_names(self, window, name):
        """The names of the atoms a property of type ATOM holds, such as _NET_WM_ALLOWED_ACTIONS."""
        raw = self.property_bytes(window, name) or b""
        size = ctypes.sizeof(ctypes.c_long)
        names = []
        for i in range(0, len(raw), size):
            text = _x11.XGetAtomName(self.dpy, int.from_bytes(raw[i:i + size], "little"))
            if text:
                names.append(ctypes.string_at(text).decode())
                _x11.XFree(text)
        return names

    def title(self, window):
        raw = self.property_bytes(window, "_NET_WM_NAME") or self.property_bytes(window, "WM_NAME") or b""
        return raw.decode("utf-8", "replace")

    def pid(self, window):
        raw = self.property_bytes(window, "_NET_WM_PID")
        return int.from_bytes(raw[:4], "little") if raw else None

    def top_windows(self):
        """Viewable top-level windows, as (window, title, x, y, width, height, override_redirect): the children of the
        root, or where a window manager has put a frame around one, the client window inside it."""
        found = []
        for w in self.children():
            attrs = self.attributes(w)
            if attrs is None or attrs.map_state != IS_VIEWABLE:
                continue
            client = self._client(w)
            if client != w:
                attrs = self.attributes(client)
                if attrs is None or attrs.map_state != IS_VIEWABLE:
                    continue
                x, y = self.origin(client)
            else:
                x, y = attrs.x, attrs.y
            found.append((client, self.title(client), x, y, attrs.width, attrs.height, bool(attrs.override_redirect)))
        return found

    def _client(self, window, depth=0):
        """The window itself when it is a client (titled, or given WM_STATE by the window manager), else the client
        inside a frame, or the window where there is none."""
        if self.title(window) or self.property_bytes(window, "WM_STATE") or depth == 3:
            return window
        for child in self.children(window):
            client = self._client(child, depth + 1)
            if client != child or self.title(child) or self.property_bytes(child, "WM_STATE"):
                return client
        return window

    def titled(self, title):
        return [w for w in self.top_windows() if w[1] == title]

    @staticmethod
    def wait_for(predicate, timeout=10.0, what="condition"):
        return wait_for(predicate, timeout, what)

    def wait_window(self, title, timeout=10.0):
        return self.wait_for(lambda: (self.titled(title) or [None])[0], timeout, "window " + repr(title))

    def active_window(self):
        """The window the window manager calls active, or without one the window holding the input focus."""
        if self.window_manager():
            raw = self.property_bytes(self.root, "_NET_ACTIVE_WINDOW")
            return int.from_bytes(raw[:ctypes.sizeof(ctypes.c_long)], "little") if raw else None
        focus, revert = Window(), ctypes.c_int()
        _x11.XGetInputFocus(self.dpy, ctypes.byref(focus), ctypes.byref(revert))
        return focus.value

    def frame_extents(self, window):
        """Left, right, top and bottom of the frame the window manager put around the window."""
        raw = self.property_bytes(window, "_NET_FRAME_EXTENTS")
        if not raw:
            return 0, 0, 0, 0
        size = ctypes.sizeof(ctypes.c_long)
        return tuple(int.from_bytes(raw[i * size:(i + 1) * size], "little") for i in range(4))

    def outer(self, window):
        """The window with its frame, as the player sees it on the screen: x, y, width, height."""
        x, y = self.origin(window)
        attrs = self.attributes(window)
        left, right, top, bottom = self.frame_extents(window)
        return x - left, y - top, attrs.width + left + right, attrs.height + top + bottom

    def origin(self, window):
        x, y = ctypes.c_int(), ctypes.c_int()
        child = Window()
        _x11.XTranslateCoordinates(self.dpy, window, self.root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                                   ctypes.byref(child))
        return x.value, y.value

    def close_request(self, window):
        """What a window manager's close button sends: WM_DELETE_WINDOW in a WM_PROTOCOLS message."""
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.data[0] = self.atom("WM_DELETE_WINDOW")
        event.xclient.data[1] = 0  # CurrentTime
        _x11.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event))
        _x11.XFlush(self.dpy)

    # Mapping, as a start-up timer sees it.

    def watch_maps(self):
        """From now on the connection hears of every top-level window being mapped."""
        _x11.XSelectInput(self.dpy, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        _x11.XSync(self.dpy, 1)  # and forget what came before

    def wait_map(self, title, pid, timeout=10.0):
        """The monotonic time at which a window with the title (or, untitled yet, of the process) was mapped."""
        event = XEvent()
        fd = _x11.XConnectionNumber(self.dpy)
        deadline = time.monotonic() + patience(timeout)
        while True:
            while _x11.XPending(self.dpy):
                _x11.XNextEvent(self.dpy, ctypes.byref(event))
                if event.type != MAP_NOTIFY:
                    continue
                seen = time.perf_counter()
                window = event.xmap.window
                name = self.title(window)
                if name == title or (not name and self.pid(window) == pid):
                    return seen
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"no window {title!r} was mapped")
            select.select([fd], [], [], remaining)

    # Pixels.

    def grab(self, x, y, width, height, window=None):
        """The rectangle of the screen, or of the window's own contents, as a Picture of RGB triples; parts off the
        screen or the window are clipped away. A window that goes, or shrinks, or is unmapped as it is read gives an
        empty picture, as if it had not been there."""
        bounds = (self.width, self.height)
        if window:
            attrs = self.attributes(window)
            bounds = (attrs.width, attrs.height) if attrs and attrs.map_state == IS_VIEWABLE else (0, 0)
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + width, bounds[0]), min(y + height, bounds[1])
        image = None
        if x1 > x0 and y1 > y0:
            image = _x11.XGetImage(self.dpy, window or self.root, x0, y0, x1 - x0, y1 - y0, ALL_PLANES, Z_PIXMAP)
        if not image:
            return Picture(b"", 0, 0, 0)
        img = image.contents
        if img.bits_per_pixel != 32:
            raise RuntimeError("unexpected pixel format")
        raw = ctypes.string_at(img.data, img.bytes_per_line * img.height)
        picture = Picture(raw, img.width, img.height, img.bytes_per_line, dx=x0 - x, dy=y0 - y)
        _x11.XDestroyImage(image)
        return picture

    # Input, through xdotool; every call waits for the server to have taken the events.

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, stdout=subprocess.DEVNULL)

    def click(self, x, y, button=1):
        # No --sync: this xdotool waits for ever when the pointer is already there. The server takes the
        # motion and the click in order, so the click lands where the pointer went.
        self.xdotool("mousemove", x, y, "click", button)

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window)

    def menus(self):
        """The menus open on the screen: override-redirect top-level windows."""
        return {w[0] for w in self.top_windows() if w[6]}

    def open_menu(self, key="alt+m", attempts=2):
        """Types a menu's access key and returns the menus it opened. Qt drops a key that comes while it is still
        taking the window's activation, or handing keys to the accessibility registry, as a player may find once
        in a while: the key is typed again when no menu came within a second."""
        before = self.menus()
        for attempt in range(1, attempts + 1):
            self.xdotool("key", key)
            try:
                return wait_for(lambda: self.menus() - before, 1 if attempt < attempts else 5, f"a menu to open on {key}")
            except AssertionError:
                if attempt == attempts:
                    raise

    def menu_keys(self, *keys):
        """Access keys in menus: each key but the last opens a menu, and the next is typed once that menu is up (typed
        sooner, it would go to the window below)."""
        for key in keys[:-1]:
            self.open_menu(key)
        self.xdotool("key", keys[-1])

    def keys(self, *keys, pause=0.08):
        for key in keys:
            self.xdotool("key", key)
            time.sleep(pause)

    # Clipboard, through xclip.

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"], env=self.env(),
                                capture_output=True, timeout=patience(3))
        return result.stdout.decode("utf-8") if result.returncode == 0 else None

    def set_clipboard(self, text):
        """Another client takes the clipboard; xclip stays in the background as its owner."""
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text.encode(), env=self.env(),
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

