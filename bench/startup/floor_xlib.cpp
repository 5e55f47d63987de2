// The start-up floor: the least an X program does to map one window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return 1;
    const int screen = DefaultScreen(dpy);
    const Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, 280, 333, 0,
                                         BlackPixel(dpy, screen), WhitePixel(dpy, screen));
    XStoreName(dpy, w, "floor-xlib");
    Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dpy, w, &deleteWindow, 1);
    XMapWindow(dpy, w);
    XFlush(dpy);
    // Stay up, as a real program would, until asked to close.
    for (XEvent e;;) {
        XNextEvent(dpy, &e);
        if (e.type == ClientMessage && Atom(e.xclient.data.l[0]) == deleteWindow) break;
    }
    XCloseDisplay(dpy);
    return 0;
}
