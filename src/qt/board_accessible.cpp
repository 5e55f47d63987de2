// The board surface's accessible interface: a child per square of the triangle, in rows from the top,
// its name the game's words for what stands there; the keyboard cursor's square is the focus.
#include "qt/board_accessible.h"

#include <map>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include "qt/board_surface.h"

namespace tori::qt {

namespace {

constexpr int kLargest = 7, kPixels = 30;  // squares of the largest board; pixels of a square

struct Square {
    int col, row;
    friend bool operator==(Square, Square) = default;
};

class BoardAccessible;

class SquareAccessible : public QAccessibleInterface {
public:
    SquareAccessible(BoardSurface* surface, Square q) : surface_(surface), q_(q) {}
    bool isValid() const override { return surface_ && !surface_->describe(q_.col, q_.row).isEmpty(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return surface_ ? surface_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(surface_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && surface_ ? surface_->describe(q_.col, q_.row) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Button; }
    QRect rect() const override {
        if (!surface_) return {};
        return {surface_->mapToGlobal(QPoint(q_.col * kPixels, q_.row * kPixels)), QSize(kPixels, kPixels)};
    }
    QAccessible::State state() const override;

private:
    QPointer<BoardSurface> surface_;
    Square q_;
};

class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(BoardSurface* surface) : QAccessibleWidget(surface, QAccessible::Pane) {}
    ~BoardAccessible() override {
        for (const auto& [key, id] : children_) QAccessible::deleteAccessibleInterface(id);
    }

    BoardSurface* surface() const { return static_cast<BoardSurface*>(widget()); }

    // The squares of the board as it stands, in rows from the top.
    std::vector<Square> squares() const {
        std::vector<Square> out;
        for (int row = 1; row <= kLargest; ++row)
            for (int col = 1; col <= kLargest; ++col)
                if (!surface()->describe(col, row).isEmpty()) out.push_back({col, row});
        return out;
    }

    // The cursor's square while the cursor is shown.
    std::optional<Square> cursor() const {
        for (const QObject* child : surface()->children())
            if (const auto* frame = dynamic_cast<const CursorFrame*>(child); frame && !frame->isHidden())
                return Square{frame->x() / kPixels, frame->y() / kPixels};
        return std::nullopt;
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? QStringLiteral("盤面") : QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(squares().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto all = squares();
        if (index < 0 || index >= int(all.size())) return nullptr;
        const Square q = all[size_t(index)];
        auto& id = children_[q.row * 8 + q.col];
        if (!id) id = QAccessible::registerAccessibleInterface(new SquareAccessible(surface(), q));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0, n = childCount(); i < n; ++i)
            if (this->child(i) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = surface()->mapFromGlobal(QPoint(x, y));
        return indexedChild(Square{at.x() / kPixels, at.y() / kPixels});
    }
    QAccessibleInterface* focusChild() const override {
        const auto q = cursor();
        return q ? indexedChild(*q) : nullptr;
    }
    int indexOf(Square q) const {
        const auto all = squares();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == q) return int(i);
        return -1;
    }
    QAccessibleInterface* indexedChild(Square q) const { return child(indexOf(q)); }

    void announce();

private:
    mutable std::map<int, QAccessible::Id> children_;
    std::map<int, QString> told_;  // the names last told, by square
    std::optional<Square> toldFocus_;
};

QAccessible::State SquareAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    if (!surface_ || !surface_->isVisible()) s.invisible = true;
    if (auto* board = static_cast<BoardAccessible*>(parent()); board && surface_ && surface_->hasFocus())
        s.focused = board->cursor() == std::optional(q_);
    return s;
}

void BoardAccessible::announce() {
    BoardSurface* s = surface();
    const auto all = squares();
    std::map<int, QString> now;
    for (const Square& q : all) now[q.row * 8 + q.col] = s->describe(q.col, q.row);
    bool reordered = now.size() != told_.size();
    for (auto i = now.begin(), j = told_.begin(); !reordered && i != now.end(); ++i, ++j) reordered = i->first != j->first;
    if (reordered) {
        QAccessibleEvent e(s, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&e);
    } else {
        for (int i = 0; i < int(all.size()); ++i) {
            const int key = all[size_t(i)].row * 8 + all[size_t(i)].col;
            if (now[key] == told_[key]) continue;
            QAccessibleEvent e(s, QAccessible::NameChanged);
            e.setChild(i);
            QAccessible::updateAccessibility(&e);
        }
    }
    told_ = std::move(now);
    const auto focus = s->hasFocus() ? cursor() : std::nullopt;
    if (focus != toldFocus_ || (reordered && focus)) {
        QAccessibleEvent e(s, QAccessible::Focus);
        if (focus) e.setChild(indexOf(*focus));
        QAccessible::updateAccessibility(&e);
    }
    toldFocus_ = focus;
}

QAccessibleInterface* boardFactory(const QString&, QObject* object) {
    auto* surface = dynamic_cast<BoardSurface*>(object);
    return surface ? new BoardAccessible(surface) : nullptr;
}

}  // namespace

void installBoardAccessibility() { QAccessible::installFactory(boardFactory); }

void announceBoard(BoardSurface* surface) {
    if (!QAccessible::isActive() || !surface) return;
    if (auto* board = dynamic_cast<BoardAccessible*>(QAccessible::queryAccessibleInterface(surface))) board->announce();
}

}  // namespace tori::qt
