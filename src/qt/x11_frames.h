// Window frames in the X server's own pixels.
#pragma once

#include <optional>

#include <QPoint>
#include <QRect>

class QWidget;

namespace tori::qt::x11 {

// The frame of a window mapped on an X server, in device pixels, as the window manager publishes it
// (_NET_FRAME_EXTENTS); nothing elsewhere. Qt rounds frames to whole device-independent pixels, which
// at a fractional scale puts a window placed by them a device pixel or two off.
std::optional<QRect> frame(QWidget* w);

// Asks for the mapped window's frame to stand with its top-left corner on a device pixel.
void moveFrame(QWidget* w, QPoint topLeft);

}  // namespace tori::qt::x11
