// Offscreen set-up shared by the in-process benchmarks and the memory test.
#pragma once

#include <cstdio>
#include <cstdlib>

#include <QtGlobal>
#include <QString>

namespace tori::bench {

// The offscreen platform says for every window shown that it cannot do what a window manager would.
inline void quietOffscreen(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) std::abort();
}

// Call before the QApplication is made: offscreen unless the caller chose a platform.
inline void prepareOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
}

}  // namespace tori::bench
