// Contrast as the web's accessibility guidelines measure it: relative luminance of linear sRGB.
#include "platform/qt/contrast.h"

#include <cmath>

namespace tori::qt {

namespace {

double luminance(QColor c) {
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

QColor readableOn(QColor background, QColor text) {
    return contrast(background, text) >= 4.5 ? text : QColor(Qt::black);
}

}  // namespace tori::qt
