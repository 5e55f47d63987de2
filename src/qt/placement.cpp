// Where the game's windows stand: positions and outer sizes in twips with the window manager's frame,
// on the pixel the game meant, and flush against the board at fractional scales.
#include "qt/placement.h"

#include <cstdlib>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "qt/twips.h"
#include "qt/x11_frames.h"

namespace tori::qt {

// A window's outer frame: the window system's margins once it is shown, else the last ones seen.
QMargins Placement::frameMargins(QWidget* w) {
    if (w->isVisible() && w->windowHandle()) {
        const QMargins m = w->windowHandle()->frameMargins();
        if (!m.isNull()) lastFrame_ = m;
        return m;
    }
    return lastFrame_;
}

// Where a window's frame stands. Qt knows the frame of a shown window only; a window not yet shown
// has not been framed, and a window hidden after being shown is reckoned with the frame it had.
QRect Placement::outerGeometry(Form f) {
    QWidget* w = window_(f);
    if (w->isVisible()) return w->frameGeometry();
    if (w->testAttribute(Qt::WA_WState_Created)) return w->geometry().marginsAdded(spot(f).shownFrame);
    return QRect(w->pos(), w->size().grownBy(frameMargins(w)));
}

// Puts the window's frame where the game placed it. Qt places a window by its frame, except one
// that was hidden after being shown, whose frame it has forgotten: that one is placed by its client
// area, inside the frame it had, so that the window manager maps it back exactly there.
void Placement::moveFrame(Form f) {
    QWidget* w = window_(f);
    const Spot& p = spot(f);
    const QRect outer = outerGeometry(f);
    const QPoint at(p.left ? toPixels(*p.left) : outer.left(), p.top ? toPixels(*p.top) : outer.top());
    if (!w->isVisible() && w->testAttribute(Qt::WA_WState_Created))
        w->setGeometry(QRect(at + QPoint(p.shownFrame.left(), p.shownFrame.top()), w->size()));
    else
        w->move(at);
}

// What was set, while the window still stands on the pixel that value means; else where it stands.
float Placement::read(Form f, std::optional<float> Spot::*set, int (QRect::*side)() const) {
    if (!window_(f)) return 0;
    const std::optional<float>& value = spot(f).*set;
    const int pixels = (outerGeometry(f).*side)();
    return value && toPixels(*value) == pixels ? *value : toTwips(pixels);
}

float Placement::top(Form f) { return read(f, &Spot::top, &QRect::top); }
float Placement::left(Form f) { return read(f, &Spot::left, &QRect::left); }
float Placement::width(Form f) { return read(f, &Spot::width, &QRect::width); }
float Placement::height(Form f) { return read(f, &Spot::height, &QRect::height); }

void Placement::setTop(Form f, float twips) {
    if (!window_(f)) return;
    spot(f).top = twips;
    spot(f).levelWithBoard = f != Form::Form1 && window_(Form::Form1) && twips == top(Form::Form1);
    placedAgainstBoard(f);
    moveFrame(f);
}
void Placement::setLeft(Form f, float twips) {
    if (!window_(f)) return;
    spot(f).left = twips;
    spot(f).besideBoard = f != Form::Form1 && window_(Form::Form1) && twips == left(Form::Form1) + width(Form::Form1);
    placedAgainstBoard(f);
    moveFrame(f);
}

void Placement::placedAgainstBoard(Form f) {
    Spot& p = spot(f);
    p.alignedAt.reset();
    if (p.besideBoard || p.levelWithBoard) p.boardAt = outerGeometry(Form::Form1).topLeft();
}

// Qt's device-independent pixels are whole, so at a fractional scale a window placed against the
// board's frame edge stands a device pixel or two off it, the more as the board's own size is rounded
// too. Where the window manager tells the frames in device pixels, a window the game put there is
// moved onto the edge once both are on the screen, and again as the board settles to its frame. Only
// small corrections are made, and only while the board stands where it stood as the window was placed:
// a list the player has moved away, or a board the player has moved since, stays where it is.
//
// Small: Qt rounds a window's position and its frame to whole device-independent pixels, each off by
// less than one, which is less than two device pixels up to a scale of 2; so a window the game put
// against the board stands less than four device pixels off it. A larger offset is a move the player
// or the window manager made, and stays.
constexpr int kMostCorrection = 4;

void Placement::alignWithBoard(Form f) {
    Spot& p = spot(f);
    QWidget *board = window_(Form::Form1), *w = window_(f);
    if ((!p.besideBoard && !p.levelWithBoard) || !board || !w || outerGeometry(Form::Form1).topLeft() != p.boardAt) return;
    const std::optional<QRect> boardFrame = x11::frame(board), own = x11::frame(w);
    if (!boardFrame || !own) return;
    QPoint at(p.besideBoard ? boardFrame->right() + 1 : own->left(), p.levelWithBoard ? boardFrame->top() : own->top());
    // The game measured the room for the list before its frame was known, so against the board it may pass
    // the screen's right edge by the frame's width: then the board moves left with it, as far as that, once
    // the board stands where Qt put it (a board still on its way would be moved back).
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen->devicePixelRatio();
    const int over = at.x() + own->width() - qRound((screen->geometry().right() + 1) * ratio);
    const QPoint boardOff = boardFrame->topLeft() - board->frameGeometry().topLeft() * ratio;
    const bool boardSettled = std::abs(boardOff.x()) <= kMostCorrection && std::abs(boardOff.y()) <= kMostCorrection;
    if (p.besideBoard && over > 0 && over <= kMostCorrection && boardSettled && boardFrame->left() >= over) {
        x11::moveFrame(board, boardFrame->topLeft() - QPoint(over, 0));
        at.rx() -= over;
    }
    // A move asked for before may not have been made yet: the window is where it was asked to be.
    const QPoint from = p.alignedAt.value_or(own->topLeft());
    const QPoint off = at - from;
    if (off.isNull() || std::abs(off.x()) > kMostCorrection || std::abs(off.y()) > kMostCorrection) return;
    x11::moveFrame(w, at);
    p.alignedAt = at;
}

void Placement::setWidth(Form f, float twips) {
    spot(f).width = twips;
    fitOuterSize(f);
}
void Placement::setHeight(Form f, float twips) {
    spot(f).height = twips;
    fitOuterSize(f);
}

// The game sets outer sizes; Qt sizes the client area, so the frame comes off first.
void Placement::fitOuterSize(Form f) {
    QWidget* w = window_(f);
    if (!w) return;
    Spot& p = spot(f);
    p.frame = frameMargins(w);
    if (p.width) w->setFixedWidth(std::max(1, toPixels(*p.width) - p.frame.left() - p.frame.right()));
    if (p.height) w->setFixedHeight(std::max(1, toPixels(*p.height) - p.frame.top() - p.frame.bottom()));
}

void Placement::loaded(Form f) { spot(f) = {}; }

void Placement::hiding(Form f) {
    QWidget* w = window_(f);
    if (w && w->isVisible()) spot(f).shownFrame = frameMargins(w);
}

// Once the window system has framed the board its real margins are known: the outer size the game
// asked for is fitted again and the frame put back where the game placed it; then the list follows.
void Placement::boardFramed() {
    QWidget* w = window_(Form::Form1);
    const Spot& p = spot(Form::Form1);
    if (w && w->isVisible() && w->windowHandle() && w->windowHandle()->frameMargins() != p.frame) {
        fitOuterSize(Form::Form1);
        if (p.left && p.top) moveFrame(Form::Form1);
    }
    alignWithBoard(Form::Form3);
}

// The window manager may tell the board's frame without moving it: by the time a window is mapped, the
// frame is known.
void Placement::mapped() { boardFramed(); }

}  // namespace tori::qt
