// Window frames in device pixels, read from the X server through Qt's own connection.
#include "qt/x11_frames.h"

#include <cstdlib>
#include <memory>
#include <string_view>

#include <QGuiApplication>
#include <QMargins>
#include <QWidget>
#include <xcb/xcb.h>

namespace tori::qt::x11 {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> reply(T* r) {
    return Reply<T>(r, &std::free);
}

xcb_connection_t* connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The window's id where it has one; whether it is mapped is asked with the other requests.
xcb_window_t created(xcb_connection_t* c, QWidget* w) {
    if (!c || !w || !w->isVisible() || !w->testAttribute(Qt::WA_WState_Created)) return XCB_WINDOW_NONE;
    return xcb_window_t(w->winId());
}

bool viewable(xcb_connection_t* c, xcb_get_window_attributes_cookie_t cookie) {
    const auto attributes = reply(xcb_get_window_attributes_reply(c, cookie, nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// _NET_FRAME_EXTENTS, interned once for the connection it was asked on: a frame is read on every expose
// and move.
xcb_atom_t frameExtentsAtom(xcb_connection_t* c) {
    static xcb_connection_t* askedOn = nullptr;
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (c != askedOn) {
        constexpr std::string_view name = "_NET_FRAME_EXTENTS";
        const auto a = reply(xcb_intern_atom_reply(c, xcb_intern_atom(c, false, uint16_t(name.size()), name.data()), nullptr));
        atom = a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
        askedOn = c;
    }
    return atom;
}

xcb_get_property_cookie_t askExtents(xcb_connection_t* c, xcb_window_t id) {
    return xcb_get_property(c, false, id, frameExtentsAtom(c), XCB_ATOM_CARDINAL, 0, 4);
}

// The window manager's frame around the window: its left, right, top and bottom widths.
std::optional<QMargins> extents(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    const auto value = reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!value || value->format != 32 || xcb_get_property_value_length(value.get()) != 16) return std::nullopt;
    const auto* e = static_cast<const uint32_t*>(xcb_get_property_value(value.get()));
    return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
}

// Whether the window manager places the window by its own area (static gravity) rather than by its frame;
// Qt says which in the size hints, by how the window was last placed.
bool placedByOwnArea(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    constexpr uint32_t kWinGravityFlag = 1 << 9, kStaticGravity = 10;
    const auto hints = reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!hints || hints->format != 32 || xcb_get_property_value_length(hints.get()) != 18 * 4) return false;
    const auto* h = static_cast<const uint32_t*>(xcb_get_property_value(hints.get()));
    return (h[0] & kWinGravityFlag) && h[17] == kStaticGravity;
}

}  // namespace

// The requests go out together and their replies are read after: two round trips to the server.
std::optional<QRect> frame(QWidget* w) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = created(c, w);
    if (id == XCB_WINDOW_NONE) return std::nullopt;
    const auto attributes = xcb_get_window_attributes(c, id);
    const auto margins = askExtents(c, id);
    const auto geometryAsked = xcb_get_geometry(c, id);
    const bool shown = viewable(c, attributes);
    const std::optional<QMargins> frameMargins = extents(c, margins);
    const auto geometry = reply(xcb_get_geometry_reply(c, geometryAsked, nullptr));
    if (!shown || !frameMargins || !geometry) return std::nullopt;
    const auto origin = reply(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr));
    if (!origin) return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height).marginsAdded(*frameMargins);
}

void moveFrame(QWidget* w, QPoint topLeft) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = created(c, w);
    if (id == XCB_WINDOW_NONE) return;
    const auto attributes = xcb_get_window_attributes(c, id);
    const auto margins = askExtents(c, id);
    const auto hints = xcb_get_property(c, false, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, 18);
    const bool shown = viewable(c, attributes);
    const std::optional<QMargins> frameMargins = extents(c, margins);
    const bool byOwnArea = placedByOwnArea(c, hints);
    if (!shown || !frameMargins) return;
    const QPoint at = byOwnArea ? topLeft + QPoint(frameMargins->left(), frameMargins->top()) : topLeft;
    const uint32_t values[] = {uint32_t(at.x()), uint32_t(at.y())};
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(c);
}

}  // namespace tori::qt::x11
