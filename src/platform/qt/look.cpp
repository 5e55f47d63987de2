// The game's texts, fonts, colours and icon as Qt takes them.
#include "platform/qt/look.h"

#include <cmath>

#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>
#include <QTranslator>

namespace tori::qt {

namespace {
const QString kFontFamily = QStringLiteral("IPAGothic");
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
