// The board window.
#include "qt/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace tori::qt {

MainWindow::MainWindow()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint),
      surface_(new BoardSurface(this)) {
    // The menu bar stays in the window on every desktop, so the client area is always below it.
    menuBar()->setNativeMenuBar(false);
    setCentralWidget(surface_);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    if (onClose) onClose();
}

void MainWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    if (onFrameChanged) onFrameChanged();
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (onFrameChanged) onFrameChanged();
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (onFrameChanged) onFrameChanged();
}

}  // namespace tori::qt
