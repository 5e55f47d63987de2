// The move list window.
#include "qt/list_window.h"

#include <cmath>

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>

#include "platform/design.h"
#include "qt/look.h"
#include "qt/twips.h"

namespace tori::qt {

namespace {

// A list box whose frame stays whole at every scale. Its lines' area is a child widget, which at a
// fractional scale covers the device pixel the frame's bottom line falls on (at 1.5 the box loses its
// bottom edge); so the box fills its inside itself before drawing the frame, and the lines' area paints
// only the lines.
class ListBox : public QListWidget {
public:
    explicit ListBox(QWidget* parent) : QListWidget(parent) { viewport()->setAutoFillBackground(false); }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Paint) QPainter(this).fillRect(contentsRect(), palette().base());
        return QListWidget::event(e);
    }
};

}  // namespace

// A dialog with a title and a close control, no minimize and no maximize, which mutter and xfwm4
// honour. openbox and KWin offer a minimize all the same, whatever the window type; a utility window,
// which might have been spared it, Weston places beside the window it belongs to, not where the game
// put it.
ListWindow::ListWindow()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      list_(new ListBox(this)),
      command1_(new QPushButton(text(design::kForm3Command1Caption), this)) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(text(design::kForm3Caption));
    setFixedSize(toPixels(design::kForm3ClientWidth), toPixels(design::kForm3ClientHeight));
    list_->setGeometry(toPixels(design::kList1));
    list_->setSortingEnabled(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    command1_->setGeometry(toPixels(design::kForm3Command1));
    command1_->setDefault(true);
    setTabOrder(list_, command1_);
    QObject::connect(command1_, &QPushButton::clicked, this, [this] {
        if (onCommand1) onCommand1();
    });
}

// From about the tenth move on the list shows its vertical scroll bar, and the lines must stay whole
// beside it. A gothic font at the designed size may be a little wider than the room (IPA Gothic's
// half-width cell is 9 pixels at 18), so the size steps down to the largest at which the longest line
// fits; of that size and the next smaller, the one with cells of whole pixels, which stay crisp as the
// fixed-pitch fonts of the design were (IPA Gothic: 8 pixels at 16 rather than 8.5 at 17).
void ListWindow::setFittingFont(QFont font, const QString& longest) {
    const QStyle* style = list_->style();
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    const int room = list_->width() - 2 * list_->frameWidth() -
                     style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_->verticalScrollBar()) -
                     2 * textMargin;
    int size = font.pixelSize();
    const auto metrics = [&](int pixels) {
        font.setPixelSize(pixels);
        return QFontMetricsF(font);
    };
    while (size > 1 && std::ceil(metrics(size).horizontalAdvance(longest)) > room) --size;
    const auto wholeCells = [&](int pixels) {
        const qreal cell = metrics(pixels).horizontalAdvance(QLatin1Char('0'));
        return cell == std::floor(cell);
    };
    if (size > 2 && !wholeCells(size) && wholeCells(size - 1)) --size;
    font.setPixelSize(size);
    list_->setFont(font);
    command1_->setFont(font);
}

// A window manager or a title bar that minimizes the list all the same: a minimized list is a hidden one,
// so the menu item that shows it is enabled again and brings it back. The window's own state is watched,
// as Qt's title bar on Wayland minimizes the window without telling the widget.
void ListWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    QObject::connect(windowHandle(), &QWindow::windowStateChanged, this, &ListWindow::stateChanged, Qt::UniqueConnection);
}

void ListWindow::stateChanged(Qt::WindowState state) {
    if (state == Qt::WindowMinimized && !closing && onCommand1) onCommand1();
}

// Shown again, a list hidden by a minimize comes back as it was, not minimized. Qt maps a window as it
// leaves the minimized state, so the state is left only here, as the window is shown.
void ListWindow::setVisible(bool visible) {
    if (visible && (windowState() & Qt::WindowMinimized)) setWindowState(windowState() & ~Qt::WindowMinimized);
    QDialog::setVisible(visible);
}

void ListWindow::closeEvent(QCloseEvent* e) {
    if (closing) return e->accept();
    e->ignore();
    if (onCommand1) onCommand1();
}

void ListWindow::reject() {
    if (onCommand1) onCommand1();
}

}  // namespace tori::qt
