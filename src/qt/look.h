// The game's texts, fonts, colours and icon as Qt takes them, shared by every window.
#pragma once

#include <string_view>

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

#include "platform/toolkit.h"

class QApplication;

namespace tori::qt {

// Japanese translations of Qt's own texts and a Japanese font, whatever the system locale.
void setUpJapanese(QApplication& app);

// The game's texts are UTF-8.
inline QString text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

inline QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// The desktop's text colour where it stands out from the background by the contrast readable text
// needs (4.5 : 1), else black: a dark scheme's near-white text is unreadable on the fixed greys.
QColor readableOn(QColor background, QColor text);

// A font of the design, by its size in points.
QFont designFont(float points, bool bold);

// The program's icon: every window's, and the About box's picture.
QIcon appIcon();
QPixmap iconPixmap();

}  // namespace tori::qt
