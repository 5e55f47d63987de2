// The offscreen platform, quiet: for the widget tests, the memory test and the handler benchmarks.
#pragma once

#include <QString>
#include <QtGlobal>

namespace tori::qt::test {

// The offscreen platform says for every window shown that it cannot do what a window manager would;
// every other message passes on as Qt would print it.
inline void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support"))) qt_message_output(type, context, message);
}

// Call before the QApplication is made: offscreen unless the caller chose a platform.
inline void prepareOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietOffscreen);
}

}  // namespace tori::qt::test
