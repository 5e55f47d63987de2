// Window frames in device pixels, read from the X server through Qt's own connection.
#include "qt/x11_frames.h"

#include <cstdlib>
#include <cstring>
#include <memory>

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

// The window's id where it has one and is mapped.
xcb_window_t mapped(xcb_connection_t* c, QWidget* w) {
    if (!c || !w || !w->isVisible() || !w->testAttribute(Qt::WA_WState_Created)) return XCB_WINDOW_NONE;
    const auto id = xcb_window_t(w->winId());
    const auto attributes = reply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE ? id : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto a = reply(xcb_intern_atom_reply(c, xcb_intern_atom(c, true, uint16_t(strlen(name)), name), nullptr));
    return a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window manager's frame around the window: its left, right, top and bottom widths.
std::optional<QMargins> extents(xcb_connection_t* c, xcb_window_t id) {
    const xcb_atom_t name = atom(c, "_NET_FRAME_EXTENTS");
    if (name == XCB_ATOM_NONE) return std::nullopt;
    const auto value = reply(
        xcb_get_property_reply(c, xcb_get_property(c, false, id, name, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!value || value->format != 32 || xcb_get_property_value_length(value.get()) != 16) return std::nullopt;
    const auto* e = static_cast<const uint32_t*>(xcb_get_property_value(value.get()));
    return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
}

// Whether the window manager places the window by its own area (static gravity) rather than by its frame;
// Qt says which in the size hints, by how the window was last placed.
bool placedByOwnArea(xcb_connection_t* c, xcb_window_t id) {
    constexpr uint32_t kWinGravityFlag = 1 << 9, kStaticGravity = 10;
    const auto hints = reply(xcb_get_property_reply(
        c, xcb_get_property(c, false, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, 18), nullptr));
    if (!hints || hints->format != 32 || xcb_get_property_value_length(hints.get()) != 18 * 4) return false;
    const auto* h = static_cast<const uint32_t*>(xcb_get_property_value(hints.get()));
    return (h[0] & kWinGravityFlag) && h[17] == kStaticGravity;
}

}  // namespace

std::optional<QRect> frame(QWidget* w) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = mapped(c, w);
    if (id == XCB_WINDOW_NONE) return std::nullopt;
    const std::optional<QMargins> margins = extents(c, id);
    const auto geometry = reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!margins || !geometry) return std::nullopt;
    const auto origin = reply(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr));
    if (!origin) return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height).marginsAdded(*margins);
}

void moveFrame(QWidget* w, QPoint topLeft) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = mapped(c, w);
    const std::optional<QMargins> margins = id == XCB_WINDOW_NONE ? std::nullopt : extents(c, id);
    if (!margins) return;
    const QPoint at = placedByOwnArea(c, id) ? topLeft + QPoint(margins->left(), margins->top()) : topLeft;
    const uint32_t values[] = {uint32_t(at.x()), uint32_t(at.y())};
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(c);
}

}  // namespace tori::qt::x11
