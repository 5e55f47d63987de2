// Runs the widget tests inside one QApplication set up as the program sets itself up.
#include <gtest/gtest.h>

#include <QApplication>

#include "qt/look.h"
#include "qt/qt_toolkit.h"

namespace {
// The offscreen platform warns about every window operation it leaves out; keep the output readable.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    qt_message_output(type, context, message);
}
}  // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quietHandler);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tori::qt::setUpJapanese(app);
    return RUN_ALL_TESTS();
}
