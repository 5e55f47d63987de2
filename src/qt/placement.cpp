// Where the game's windows stand: positions and outer sizes in twips, the window manager's frame
// included, on the pixel the game meant.
#include <optional>

#include <QWindow>

#include "qt/qt_toolkit.h"
#include "qt/twips.h"
#include "qt/x11_frames.h"

namespace tori::qt {

// A window's outer frame: the window system's margins once it is shown, else the last ones seen.
QMargins QtToolkit::frameMargins(QWidget* w) {
    if (w->isVisible() && w->windowHandle()) {
        const QMargins m = w->windowHandle()->frameMargins();
        if (!m.isNull()) lastFrame_ = m;
        return m;
    }
    return lastFrame_;
}

// Where a window's frame stands. Qt knows the frame of a shown window only; a window not yet shown
// has not been framed, and a window hidden after being shown is reckoned with the frame it had.
QRect QtToolkit::outerGeometry(Form f) {
    QWidget* w = window(f);
    if (w->isVisible()) return w->frameGeometry();
    if (w->testAttribute(Qt::WA_WState_Created)) return w->geometry().marginsAdded(placement_[formIndex(f)].shownFrame);
    return QRect(w->pos(), w->size().grownBy(frameMargins(w)));
}

// Puts the window's frame where the game placed it. Qt places a window by its frame, except one
// that was hidden after being shown, whose frame it has forgotten: that one is placed by its client
// area, inside the frame it had, so that the window manager maps it back exactly there.
void QtToolkit::moveFrame(Form f) {
    QWidget* w = window(f);
    const Placement& p = placement_[formIndex(f)];
    const QRect outer = outerGeometry(f);
    const QPoint at(p.left ? toPixels(*p.left) : outer.left(), p.top ? toPixels(*p.top) : outer.top());
    if (!w->isVisible() && w->testAttribute(Qt::WA_WState_Created))
        w->setGeometry(QRect(at + QPoint(p.shownFrame.left(), p.shownFrame.top()), w->size()));
    else
        w->move(at);
}

// What was set, while the window still stands on the pixel that value means; else where it stands.
float QtToolkit::readTwips(Form f, std::optional<float> Placement::*set, int (QRect::*side)() const) {
    ensureLoaded(f);
    if (!window(f)) return 0;
    const std::optional<float>& value = placement_[formIndex(f)].*set;
    const int pixels = (outerGeometry(f).*side)();
    return value && toPixels(*value) == pixels ? *value : toTwips(pixels);
}

float QtToolkit::top(Form f) { return readTwips(f, &Placement::top, &QRect::top); }
float QtToolkit::left(Form f) { return readTwips(f, &Placement::left, &QRect::left); }
float QtToolkit::width(Form f) { return readTwips(f, &Placement::width, &QRect::width); }
float QtToolkit::height(Form f) { return readTwips(f, &Placement::height, &QRect::height); }

void QtToolkit::setTop(Form f, float twips) {
    ensureLoaded(f);
    if (!window(f)) return;
    placement_[formIndex(f)].top = twips;
    placement_[formIndex(f)].levelWithBoard = f != Form::Form1 && loaded_[0] && twips == top(Form::Form1);
    placedAgainstBoard(f);
    moveFrame(f);
}
void QtToolkit::setLeft(Form f, float twips) {
    ensureLoaded(f);
    if (!window(f)) return;
    placement_[formIndex(f)].left = twips;
    placement_[formIndex(f)].besideBoard =
        f != Form::Form1 && loaded_[0] && twips == left(Form::Form1) + width(Form::Form1);
    placedAgainstBoard(f);
    moveFrame(f);
}

void QtToolkit::placedAgainstBoard(Form f) {
    Placement& p = placement_[formIndex(f)];
    p.alignedAt.reset();
    if (p.besideBoard || p.levelWithBoard) p.boardAt = outerGeometry(Form::Form1).topLeft();
}

// Qt's device-independent pixels are whole, so at a fractional scale a window placed against the
// board's frame edge stands a device pixel or two off it, the more as the board's own size is rounded
// too. Where the window manager tells the frames in device pixels, a window the game put there is
// moved onto the edge once both are on the screen, and again as the board settles to its frame. Only
// small corrections are made, and only while the board stands where it stood as the window was placed:
// a list the player has moved away, or a board the player has moved since, stays where it is.
void QtToolkit::alignWithBoard(Form f) {
    Placement& p = placement_[formIndex(f)];
    if ((!p.besideBoard && !p.levelWithBoard) || !board_ || outerGeometry(Form::Form1).topLeft() != p.boardAt) return;
    const std::optional<QRect> board = x11::frame(board_), own = x11::frame(window(f));
    if (!board || !own) return;
    const QPoint at(p.besideBoard ? board->right() + 1 : own->left(), p.levelWithBoard ? board->top() : own->top());
    // A move asked for before may not have been made yet: the window is where it was asked to be.
    const QPoint from = p.alignedAt.value_or(own->topLeft());
    const QPoint off = at - from;
    if (off.isNull() || std::abs(off.x()) > 4 || std::abs(off.y()) > 4) return;
    x11::moveFrame(window(f), at);
    p.alignedAt = at;
}

void QtToolkit::setWidth(Form f, float twips) {
    ensureLoaded(f);
    placement_[formIndex(f)].width = twips;
    fitOuterSize(f);
}
void QtToolkit::setHeight(Form f, float twips) {
    ensureLoaded(f);
    placement_[formIndex(f)].height = twips;
    fitOuterSize(f);
}

// The game sets outer sizes; Qt sizes the client area, so the frame comes off first.
void QtToolkit::fitOuterSize(Form f) {
    QWidget* w = window(f);
    if (!w) return;
    Placement& p = placement_[formIndex(f)];
    p.frame = frameMargins(w);
    if (p.width) w->setFixedWidth(std::max(1, toPixels(*p.width) - p.frame.left() - p.frame.right()));
    if (p.height) w->setFixedHeight(std::max(1, toPixels(*p.height) - p.frame.top() - p.frame.bottom()));
}

// Once the window system has framed the window its real margins are known: the outer size the
// game asked for is fitted again, and the frame put back where the game placed it.
void QtToolkit::frameChanged(Form f) {
    QWidget* w = window(f);
    if (!w || !w->isVisible() || !w->windowHandle()) return;
    Placement& p = placement_[formIndex(f)];
    if (w->windowHandle()->frameMargins() == p.frame) return;
    fitOuterSize(f);
    if (p.left && p.top) moveFrame(f);
}

}  // namespace tori::qt
