// Conversion between the game's twips and Qt's device-independent pixels.
#pragma once

#include <cmath>

#include <QMargins>
#include <QRect>

#include "platform/design.h"

namespace tori::qt {

// A twip coordinate t lies on pixel floor(t / 15): pixel p holds twips 15p to 15p + 14, so the
// grid line at 450c is pixel 30c and square (c, r) covers pixels 30c..30c+29. The small allowance
// keeps values computed in single precision (449.99998) on the pixel they mean.
inline int toPixels(double twips) { return int(std::floor(twips / design::kTwipsPerPixel + 1e-4)); }

inline float toTwips(double pixels) { return float(pixels * design::kTwipsPerPixel); }

inline QRect toPixels(const design::Rect& r) {
    return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}

}  // namespace tori::qt
