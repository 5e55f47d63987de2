// The board window's menus on Qt, built from the game's menu table.
#include <stdexcept>

#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QShortcut>

#include "qt/qt_toolkit.h"
#include "qt/look.h"
#include "shell/shell.h"

namespace tori::qt {

namespace {

// A menu whose items are chosen with the left button alone: Qt's menus take a release of any button.
class LeftButtonMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            QMenu::mouseReleaseEvent(e);
        else
            e->accept();
    }
};

}  // namespace

void QtToolkit::buildMenus() {
    QMenuBar* bar = board_->menuBar();
    const auto tree = menuTree();
    QMenu* barMenu = nullptr;
    QMenu* subMenu = nullptr;
    for (size_t k = 0; k < tree.size(); ++k) {
        const MenuItem& item = tree[k];
        const bool hasItems = k + 1 < tree.size() && tree[k + 1].depth > item.depth;
        QMenu* parent = item.depth == 1 ? barMenu : subMenu;
        QAction* a = nullptr;
        if (item.depth == 0 || hasItems) {
            QMenu* m = new LeftButtonMenu(text(item.caption), item.depth == 0 ? static_cast<QWidget*>(bar) : parent);
            if (item.depth == 0)
                bar->addMenu(m);
            else
                parent->addMenu(m);
            (item.depth == 0 ? barMenu : subMenu) = m;
            menus_[item.id] = m;
            a = m->menuAction();
            // The menu's about-to-open notification, from the bar and the pop-up alike.
            if (item.onClick)
                QObject::connect(m, &QMenu::aboutToShow, m, [this, id = item.id, i = item.index] {
                    menuTriggered(id, i);
                });
        } else if (item.caption == "-") {
            a = parent->addSeparator();
        } else {
            a = parent->addAction(text(item.caption));
            // The size items carry check marks, which their handler sets itself.
            a->setCheckable(item.id == Menu::ketasu);
            QObject::connect(a, &QAction::triggered, a, [this, id = item.id, i = item.index] { menuTriggered(id, i); });
        }
        a->setEnabled(item.enabled);
        actions_[{item.id, item.index}] = a;
    }
}

// The access keys of the board's menu bar (Alt+M, Alt+H) typed in another window open that menu of the
// board: where a compositor keeps the focus on the move list and refuses it to the board, the player
// still starts from the keyboard.
void QtToolkit::reachMenusFrom(QWidget* w) {
    if (!board_) return;
    QMenuBar* bar = board_->menuBar();
    for (QAction* a : bar->actions()) {
        auto* key = new QShortcut(QKeySequence::mnemonic(a->text()), w);
        QObject::connect(key, &QShortcut::activated, bar, [bar, a] { bar->setActiveAction(a); });
    }
}

void QtToolkit::setEnabled(Menu m, int16_t index, bool enabled) {
    ensureLoaded(Form::Form1);
    QAction* a = action(m, index);
    if (!a) throw std::out_of_range("メニュー項目がありません。");
    a->setEnabled(enabled);
}

void QtToolkit::setChecked(Menu m, int16_t index, bool checked) {
    ensureLoaded(Form::Form1);
    QAction* a = action(m, index);
    if (!a) throw std::out_of_range("メニュー項目がありません。");
    a->setChecked(checked);
}

void QtToolkit::popupMenu(Menu m) {
    ensureLoaded(Form::Form1);
    QMenu* popup = menu(m);
    if (ended_ || !popup) return;
    // exec returns only after the chosen item's triggered handler has run.
    popup->exec(QCursor::pos());
}

}  // namespace tori::qt
