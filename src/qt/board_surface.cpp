// The board surface, its retained picture, and the pin and label controls that stand on it.
#include "qt/board_surface.h"

#include <cstdlib>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "moves/moves.h"
#include "platform/design.h"
#include "qt/board_accessible.h"
#include "qt/look.h"
#include "qt/twips.h"

namespace tori::qt {

int16_t buttonCode(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

int16_t shiftCode(Qt::KeyboardModifiers m) {
    int16_t code = 0;
    if (m & Qt::ShiftModifier) code |= 1;
    if (m & Qt::ControlModifier) code |= 2;
    if (m & Qt::AltModifier) code |= 4;
    return code;
}

int16_t keyCode(const QKeyEvent& e) {
    switch (e.key()) {
        case Qt::Key_Left: return vbKeyLeft;
        case Qt::Key_Up: return vbKeyUp;
        case Qt::Key_Right: return vbKeyRight;
        case Qt::Key_Down: return vbKeyDown;
        case Qt::Key_Space: return e.isAutoRepeat() ? 0 : vbKeySpace;
        case Qt::Key_Return:
        case Qt::Key_Enter: return e.isAutoRepeat() ? 0 : vbKeyReturn;
        default: return 0;
    }
}

BoardSurface::BoardSurface(QWidget* parent) : QWidget(parent) {
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(design::kBoardWindowBack));
    setPalette(p);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The window's one place in the focus chain: the keys go to the board, and Tab stays there.
    setFocusPolicy(Qt::StrongFocus);
    fitPicture();
}

void BoardSurface::fitPicture() {
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = size() * ratio;
    if (!picture_.isNull() && picture_.size() == wanted && picture_.devicePixelRatio() == ratio) return;
    QImage next(wanted.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    next.fill(toQColor(design::kBoardWindowBack));
    if (!picture_.isNull()) {
        // Keep what was drawn: the same logical pixels at the new ratio, without smoothing.
        QPainter painter(&next);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(picture_.size()) / picture_.devicePixelRatio()), picture_);
    }
    picture_ = std::move(next);
}

void BoardSurface::fillPixels(const QRect& r, QColor colour) {
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(r, colour);
}

void BoardSurface::fillBox(int x1, int y1, int x2, int y2, QColor colour) {
    const QRect r = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
    fillPixels(r, colour);
    update(r);
}

void BoardSurface::line(int x1, int y1, int x2, int y2, QColor colour) {
    // Bresenham on logical pixels: every pixel of the line is a whole pixel block, so lines stay
    // crisp at any device pixel ratio.
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy, x = x1, y = y1;
    for (;;) {
        painter.fillRect(QRect(x, y, 1, 1), colour);
        if (x == x2 && y == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
    painter.end();
    update(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))));
}

void BoardSurface::paintEvent(QPaintEvent* e) {
    fitPicture();  // the window may have moved to a screen of another pixel ratio
    QPainter painter(this);
    const QRect r = e->rect();
    const qreal ratio = picture_.devicePixelRatio();
    painter.drawImage(r, picture_, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}

void BoardSurface::resizeEvent(QResizeEvent*) { fitPicture(); }

// On a screen of another pixel ratio the picture is made again at once, so that what is drawn next is
// drawn at the new ratio.
void BoardSurface::showEvent(QShowEvent*) {
    if (QWindow* w = window()->windowHandle())
        QObject::connect(w, &QWindow::screenChanged, this, &BoardSurface::fitPicture, Qt::UniqueConnection);
}

void BoardSurface::mousePressEvent(QMouseEvent* e) {
    const int16_t button = buttonCode(e->button());
    e->accept();
    if (button == 0 || !onPress) return;
    const QPointF at = e->position();
    onPress(button, shiftCode(e->modifiers()), toTwips(at.x()), toTwips(at.y()));
}

void BoardSurface::keyPressEvent(QKeyEvent* e) {
    const int16_t code = keyCode(*e);
    if (code == 0 || !onKey) return QWidget::keyPressEvent(e);
    e->accept();
    onKey(code, shiftCode(e->modifiers()));
}

// The window has just become active: assistive technology hears of the cursor's square again.
void BoardSurface::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    announceBoard(this);
}

CursorFrame::CursorFrame(QWidget* board) : QWidget(board) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    board->installEventFilter(this);
    for (QObject* child : board->children())
        if (child != this) child->installEventFilter(this);
}

bool CursorFrame::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
        hide();
    } else if (e->type() == QEvent::ChildAdded && watched == parent()) {
        // Controls made later (the pins) also tell of presses, and stand below the frame.
        static_cast<QChildEvent*>(e)->child()->installEventFilter(this);
        raise();
    }
    return false;
}

void CursorFrame::resizeEvent(QResizeEvent*) {
    const QRect r = rect();
    setMask(QRegion(r.adjusted(1, 1, -1, -1)).subtracted(QRegion(r.adjusted(5, 5, -5, -5))));
}

void CursorFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    const auto ring = [&](int inset, int width, QColor colour) {
        const QRegion band = QRegion(r.adjusted(inset, inset, -inset, -inset))
                                 .subtracted(QRegion(r.adjusted(inset + width, inset + width, -inset - width, -inset - width)));
        for (const QRect& part : band) painter.fillRect(part, colour);
    };
    ring(1, 1, Qt::black);
    ring(2, 2, palette().color(QPalette::Highlight));
    ring(4, 1, Qt::white);
}

PinButton::PinButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    matchFaceToBase();
}

bool PinButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void PinButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) QPushButton::mousePressEvent(e);
    e->accept();
}

void PinButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) QPushButton::mouseReleaseEvent(e);
    e->accept();
}

// The face takes the window-background colour (the colour text views are filled with), again
// whenever the desktop's colours change. It is part of the widget's palette, not set at each
// paint: a palette changed while painting is a new palette, and the style caches a picture of
// the button for each palette it sees.
void PinButton::matchFaceToBase() {
    QPalette p = palette();
    if (p.color(QPalette::Button) == p.color(QPalette::Base)) return;
    p.setColor(QPalette::Button, p.color(QPalette::Base));
    setPalette(p);
}

void PinButton::changeEvent(QEvent* e) {
    if (e->type() == QEvent::PaletteChange) matchFaceToBase();
    QPushButton::changeEvent(e);
}

BoardLabel::BoardLabel(Ground ground, QWidget* parent) : QLabel(parent), ground_(ground) {
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(ground == Ground::base);
    matchColours();
}

// The desktop's colours are read from the application, not from the label's own palette, which
// holds what was set here before.
void BoardLabel::matchColours() {
    const QPalette desktop = QApplication::palette(this);
    QPalette p = palette();
    if (ground_ == Ground::base) {
        p.setColor(QPalette::Window, desktop.color(QPalette::Base));
        p.setColor(QPalette::WindowText, desktop.color(QPalette::WindowText));
    } else {
        p.setColor(QPalette::WindowText, readableOn(toQColor(design::kBoardWindowBack), desktop.color(QPalette::WindowText)));
    }
    if (p != palette()) setPalette(p);
}

bool BoardLabel::event(QEvent* e) {
    const bool handled = QLabel::event(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::ApplicationPaletteChange) matchColours();
    return handled;
}

}  // namespace tori::qt
