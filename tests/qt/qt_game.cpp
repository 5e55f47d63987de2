// The player's side of the widget tests.
#include "qt_game.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/shell.h"

namespace tori::qt::test {

BoxAnswerer::BoxAnswerer() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        SeenBox s{box->windowTitle(), box->text(), box->icon(), {}, {}};
        for (QAbstractButton* b : box->buttons()) s.buttons << b->text();
        if (box->defaultButton()) s.defaultButton = box->defaultButton()->text();
        seen.push_back(s);
        if (inspect) inspect(box);
        if (!box->isVisible()) return;  // the inspection answered it already
        QAbstractButton* target = box->buttons().value(0);
        if (!answers.empty()) {
            for (QAbstractButton* b : box->buttons())
                if (b->text() == answers.front()) target = b;
            answers.pop_front();
        }
        // The buttons come back in layout order; click by caption, not by position.
        if (target) target->click();
    });
    timer_.start();
}

QtGame::QtGame() = default;

QtGame::~QtGame() {
    while (QWidget* p = QApplication::activePopupWidget()) p->close();
}

void QtGame::start() {
    Main(state, tk);
    QApplication::processEvents();
}

void QtGame::press(QPoint at, Qt::MouseButton b, Qt::KeyboardModifiers m) {
    const QPoint inWindow = surface()->mapTo(board(), at);
    QTest::mousePress(board()->windowHandle(), b, m, inWindow);
    QTest::mouseRelease(board()->windowHandle(), b, m, inWindow);
}

void QtGame::click(QPoint at, Qt::MouseButton b, Qt::KeyboardModifiers m) {
    press(at, b, m);
    QApplication::processEvents();
}

void QtGame::play(int fromCol, int fromRow, int toCol, int toRow) {
    clickSquare(fromCol, fromRow);
    clickSquare(toCol, toRow);
}

void clickMenuItem(QMenu* menu, QAction* item, Qt::MouseButton b) {
    const QPoint at = menu->actionGeometry(item).center();
    QTest::mouseMove(menu->windowHandle(), at);
    QTest::mousePress(menu->windowHandle(), b, {}, at);
    QTest::mouseRelease(menu->windowHandle(), b, {}, at);
}

namespace {
// Walks an open menu down a path, opening submenus on the way.
void walk(QtToolkit& tk, QMenu* open, const std::vector<std::pair<Menu, int16_t>>& path) {
    for (const auto& [id, index] : path) {
        QAction* item = tk.action(id, index);
        clickMenuItem(open, item);
        if (item->menu()) {
            QMenu* sub = item->menu();
            ASSERT_TRUE(QTest::qWaitFor([&] { return sub->isVisible(); }, 2000));
            open = sub;
        }
    }
}

std::vector<std::pair<Menu, int16_t>> pathTo(Menu m, int16_t index, Menu& barMenu) {
    std::vector<std::pair<Menu, int16_t>> path;
    for (const MenuItem& item : menuTree()) {
        if (item.depth == 0) {
            barMenu = item.id;
            path.clear();
        } else if (item.depth == 1) {
            path = {{item.id, item.index}};
        } else {
            path.resize(1);
            path.push_back({item.id, item.index});
        }
        if (item.id == m && item.index == index) return path;
    }
    return {};
}
}  // namespace

void chooseInPopup(QtToolkit& tk, std::vector<std::pair<Menu, int16_t>> path) {
    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(open, nullptr) << "no pop-up menu is open";
    walk(tk, open, path);
}

void QtGame::choose(Menu m, int16_t index) {
    Menu top = Menu::menumenu;
    const auto path = pathTo(m, index, top);
    ASSERT_FALSE(path.empty());
    walk(tk, openMenu(top), path);
    QApplication::processEvents();
}

QMenu* QtGame::openMenu(Menu top) {
    QMenuBar* bar = board()->menuBar();
    QMenu* barMenu = tk.menu(top);
    const QPoint title = bar->mapTo(board(), bar->actionGeometry(barMenu->menuAction()).center());
    QTest::mouseClick(board()->windowHandle(), Qt::LeftButton, {}, title);
    EXPECT_TRUE(QTest::qWaitFor([&] { return barMenu->isVisible(); }, 2000));
    return barMenu;
}

void QtGame::openAndCloseMenu() {
    openMenu()->close();
    QApplication::processEvents();
}

std::vector<int16_t> QtGame::visiblePins() const {
    std::vector<int16_t> out;
    for (int16_t i = 0; i <= 49; ++i)
        if (QWidget* p = pin(i); p && !p->isHidden()) out.push_back(i);
    return out;
}

void later(int ms, std::function<void()> f) { QTimer::singleShot(ms, qApp, std::move(f)); }

QColor logicalPixel(const QImage& image, int x, int y) {
    const int ratio = int(image.devicePixelRatio());
    const QRgb first = image.pixel(x * ratio, y * ratio);
    for (int dy = 0; dy < ratio; ++dy)
        for (int dx = 0; dx < ratio; ++dx)
            if (image.pixel(x * ratio + dx, y * ratio + dy) != first) return {};
    return QColor(first);
}

}  // namespace tori::qt::test
