// The board window's client area: a retained picture the game draws on, the pin buttons and labels.
#pragma once

#include <cstdint>
#include <functional>

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

namespace tori::qt {

// The surface keeps one picture of its own size; boxes and lines go into it at once and paintEvent
// shows it, so the board survives being covered without the game drawing it again.
class BoardSurface : public QWidget {
public:
    explicit BoardSurface(QWidget* parent = nullptr);

    // Pixels are device-independent; both corners and both end points are included.
    void fillBox(int x1, int y1, int x2, int y2, QColor colour);
    void line(int x1, int y1, int x2, int y2, QColor colour);

    const QImage& picture() const { return picture_; }

    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; position in twips.
    std::function<void(int16_t button, int16_t shift, float x, float y)> onPress;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent*) override;

private:
    void fitPicture();
    void fillPixels(const QRect& r, QColor colour);

    QImage picture_;
};

// A pin: the desktop style's push button without a caption, covering its square, its face in the
// window-background colour. It takes every press made on it, whatever the button, so that no press
// on a pin reaches the board surface; only the left button clicks it.
class PinButton : public QPushButton {
public:
    explicit PinButton(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void matchFaceToBase();
};

// A coordinate label; like the pins it keeps every press made on it. The column numbers stand on the
// window-background colour in the window-text colour; the row numbers on the grey surface, in the
// window-text colour where it reads on grey, else black. Both follow the desktop's colour changes.
class BoardLabel : public QLabel {
public:
    enum class Ground { base, surface };
    BoardLabel(Ground ground, QWidget* parent);
    Ground ground() const { return ground_; }

protected:
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }

private:
    void matchColours();

    Ground ground_;
};

// Qt's mouse state as the game counts it.
int16_t buttonCode(Qt::MouseButton b);
int16_t shiftCode(Qt::KeyboardModifiers m);

}  // namespace tori::qt
