// The board window: menu bar above, board surface as the client area, fixed size.
#pragma once

#include <functional>

#include <QMainWindow>

#include "qt/board_surface.h"

namespace tori::qt {

class MainWindow : public QMainWindow {
public:
    MainWindow();

    BoardSurface* surface() const { return surface_; }

    std::function<void()> onClose;         // the player closes the window
    std::function<void()> onFrameChanged;  // moved, resized or shown: the frame may be known now

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    BoardSurface* surface_;
};

}  // namespace tori::qt
