// The start-up floor for Qt Widgets: an application object and one empty top-level window. Given the word
// "text", the window carries a menu bar with one Japanese caption, which is what loading fonts costs; given
// "latin", one caption in plain ASCII, which shows that the cost is any text at all, not Japanese text.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor-qt"));
    if (mode == "text") window.menuBar()->addMenu(QStringLiteral("ﾒﾆｭｰ(&M)"));
    if (mode == "latin") window.menuBar()->addMenu(QStringLiteral("&Menu"));
    window.resize(280, 333);
    window.show();
    return app.exec();
}
