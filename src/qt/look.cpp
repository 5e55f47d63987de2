// The game's texts, fonts, colours and icon as Qt takes them.
#include "qt/look.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>
#include <QTranslator>

namespace tori::qt {

namespace {

const QString kFontFamily = QStringLiteral("IPAGothic");

// Relative luminance of linear sRGB, as the web's accessibility guidelines measure contrast.
double luminance(QColor c) {
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

}  // namespace

void setUpJapanese(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    QFont font = QApplication::font();
    font.setFamilies({kFontFamily});
    QApplication::setFont(font);
    appIcon();  // every window's, the board's and the list's alike
}

QColor readableOn(QColor background, QColor text) {
    const double a = luminance(background), b = luminance(text);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05) >= 4.5 ? text : QColor(Qt::black);
}

// The windows were designed at 96 dots per inch, where a point is 4/3 of a pixel; sizing fonts in
// pixels keeps the text inside its twip-sized boxes on any display, and Qt scales the pixels.
QFont designFont(float points, bool bold) {
    QFont f(kFontFamily);
    f.setPixelSize(int(std::lround(points * 4 / 3)));
    f.setBold(bold);
    return f;
}

// Read once and shared by every window through the application; its format is named, so it is not
// guessed from the file's name and contents.
QPixmap iconPixmap() { return QPixmap::fromImage(QImage(QStringLiteral(":/icons/toripin.png"), "PNG")); }

QIcon appIcon() {
    if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(QIcon(iconPixmap()));
    return QApplication::windowIcon();
}

}  // namespace tori::qt
