// Text on a background the design fixes, whatever the desktop's colour scheme.
#pragma once

#include <QColor>

namespace tori::qt {

// The desktop's text colour where it stands out from the background by the contrast readable text
// needs (4.5 : 1), else black: a dark scheme's near-white text is unreadable on the fixed greys.
QColor readableOn(QColor background, QColor text);

}  // namespace tori::qt
