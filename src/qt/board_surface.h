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
    // The keys the game answers, by their key codes (keyCode below).
    std::function<void(int16_t keyCode, int16_t shift)> onKey;
    // What stands on square (col, row), in words, for assistive technology; empty off the board.
    std::function<QString(int col, int row)> describe;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent*) override;

private:
    void fitPicture();
    void fillPixels(const QRect& r, QColor colour);

    QImage picture_;
};

// Shape1, the keyboard cursor: a frame just inside a square, standing over the pin that may be there,
// in the desktop's highlight colour between a black line and a white one, so that one of them stands
// out on any ground; the middle of the square shows through. A press of any mouse button on the board,
// on a pin or on a label, hides it, as toolkits hide their keyboard focus frame once the pointer is used.
class CursorFrame : public QWidget {
public:
    explicit CursorFrame(QWidget* board);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
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

// Qt's mouse and key state as the game counts it; keyCode is 0 for a key the game does not answer, and
// for Space and Enter held down: a held key is one press, as a held mouse button is one click.
int16_t buttonCode(Qt::MouseButton b);
int16_t shiftCode(Qt::KeyboardModifiers m);
int16_t keyCode(const QKeyEvent& e);

}  // namespace tori::qt
