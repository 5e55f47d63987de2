// The start-up floor for Qt Widgets: an application object and one empty top-level window. Given the word
// "text", the window carries a menu bar with one Japanese caption instead, which is what loading fonts costs.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool withText = argc > 1 && QByteArray(argv[1]) == "text";
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor-qt"));
    if (withText) window.menuBar()->addMenu(QStringLiteral("ﾒﾆｭｰ(&M)"));
    window.resize(280, 333);
    window.show();
    return app.exec();
}
