// The menu bar and the pop-up menu as the player sees and uses them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTest>

#include "qt_game.h"

using namespace tori;
using namespace tori::qt;
using namespace tori::qt::test;

namespace {

struct Shown {
    QString caption;  // "-" for a separator
    bool enabled;
    bool checked;
};

std::vector<Shown> items(QMenu* m) {
    std::vector<Shown> out;
    for (QAction* a : m->actions())
        out.push_back({a->isSeparator() ? QStringLiteral("-") : a->text(), a->isEnabled(), a->isChecked()});
    return out;
}

std::vector<QString> captions(QMenu* m) {
    std::vector<QString> out;
    for (const Shown& s : items(m)) out.push_back(s.caption);
    return out;
}

QAction* find(QMenu* m, const QString& caption) {
    for (QAction* a : m->actions())
        if (a->text() == caption) return a;
    return nullptr;
}

}  // namespace

TEST(QtMenus, TheTreeAsThePlayerSeesItAtStart) {
    QtGame g;
    g.start();
    QMenuBar* bar = g.board()->menuBar();
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), "ﾒﾆｭｰ(&M)");
    EXPECT_EQ(bar->actions()[1]->text(), "ﾍﾙﾌﾟ(&H)");

    QMenu* menu = bar->actions()[0]->menu();
    ASSERT_NE(menu, nullptr);
    const std::vector<QString> expected = {"桁数選択(&S)", "-", "１手戻す(&B)", "１手進める(&N)", "-", "最初から(&R)",
                                           "-", "指し手手順を表示(&L)...", "-", "指し手手順をコピー(&C)", "-",
                                           "トリピンを終了(&X)"};
    EXPECT_EQ(captions(menu), expected);
    QMenu* sizes = find(menu, "桁数選択(&S)")->menu();
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(captions(sizes), (std::vector<QString>{"5*5(&5)", "6*6(&6)", "7*7(&7)"}));
    for (const Shown& s : items(sizes)) {
        EXPECT_TRUE(s.enabled);
        EXPECT_FALSE(s.checked);
    }
    QMenu* help = bar->actions()[1]->menu();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(captions(help), (std::vector<QString>{"目次(&C)", "バージョン情報(&V)..."}));

    // Restart needs a board; the list item is off while the list window is shown.
    EXPECT_FALSE(find(menu, "最初から(&R)")->isEnabled());
    EXPECT_FALSE(find(menu, "指し手手順を表示(&L)...")->isEnabled());
    EXPECT_TRUE(find(menu, "トリピンを終了(&X)")->isEnabled());
    // No item has a keyboard shortcut: the "&" letters are access keys only.
    for (QMenu* m : {menu, sizes, help})
        for (QAction* a : m->actions()) EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
}

TEST(QtMenus, OpeningTheMenuFromTheBarRunsTheEnablingRule) {
    QtGame g;
    g.start();
    QMenu* menu = g.tk.menu(Menu::menumenu);
    // Before the menu first opens the history items stand as designed: enabled.
    EXPECT_TRUE(find(menu, "１手戻す(&B)")->isEnabled());
    g.openAndCloseMenu();
    EXPECT_FALSE(find(menu, "１手戻す(&B)")->isEnabled());
    EXPECT_FALSE(find(menu, "１手進める(&N)")->isEnabled());
    EXPECT_FALSE(find(menu, "指し手手順をコピー(&C)")->isEnabled());

    g.choose(Menu::ketasu, 0);
    g.clickSquare(3, 3);  // a pin lifted
    g.openAndCloseMenu();
    EXPECT_TRUE(find(menu, "１手戻す(&B)")->isEnabled());
    EXPECT_FALSE(find(menu, "１手進める(&N)")->isEnabled());
    EXPECT_TRUE(find(menu, "指し手手順をコピー(&C)")->isEnabled());
}

TEST(QtMenus, ChoosingASizeChecksItAloneAndEnablesRestart) {
    QtGame g;
    g.start();
    QMenu* sizes = g.tk.menu(Menu::menuselect);
    g.choose(Menu::ketasu, 2);
    EXPECT_EQ(g.state.keta, 7);
    g.choose(Menu::ketasu, 0);
    EXPECT_EQ(g.state.keta, 5);
    const auto shown = items(sizes);
    EXPECT_TRUE(shown[0].checked);
    EXPECT_FALSE(shown[1].checked);
    EXPECT_FALSE(shown[2].checked);
    // Choosing the checked item again keeps its check mark.
    g.choose(Menu::ketasu, 0);
    EXPECT_TRUE(items(sizes)[0].checked);
    EXPECT_TRUE(find(g.tk.menu(Menu::menumenu), "最初から(&R)")->isEnabled());
}

namespace {
// Records what the game saw when the pop-up call returned.
class ProbeToolkit : public tori::qt::QtToolkit {
public:
    explicit ProbeToolkit(GameState& s) : QtToolkit(s), game(s) {}
    void popupMenu(Menu m) override {
        ++popups;
        QtToolkit::popupMenu(m);
        ketaWhenReturned = game.keta;
        pinsWhenReturned = 0;
        for (int16_t i = 1; i <= 49; ++i) pinsWhenReturned += visible(Form::Form1, Control::pin, i);
    }
    GameState& game;
    int popups = 0;
    int16_t ketaWhenReturned = -1;
    int pinsWhenReturned = -1;
};
}  // namespace

TEST(QtMenus, APopUpChoiceRunsItsHandlerBeforeThePopUpReturns) {
    GameState s;
    ProbeToolkit tk(s);
    Main(s, tk);
    QApplication::processEvents();
    MainWindow* board = tk.boardWindow();
    QMenu* menu = tk.menu(Menu::menumenu);

    // The pop-up runs the enabling rule as it opens; then the player picks 5*5 in it.
    bool undoEnabledInPopup = true;
    later(50, [&] {
        undoEnabledInPopup = menu->actions()[2]->isEnabled();
        chooseInPopup(tk, {{Menu::menuselect, 0}, {Menu::ketasu, 0}});
    });
    const QPoint at = board->surface()->mapTo(board, QPoint(250, 250));  // grey, outside any board
    QTest::mousePress(board->windowHandle(), Qt::RightButton, {}, at);
    QTest::mouseRelease(board->windowHandle(), Qt::RightButton, {}, at);
    EXPECT_EQ(tk.popups, 1);
    EXPECT_FALSE(undoEnabledInPopup);
    EXPECT_EQ(tk.ketaWhenReturned, 5);
    EXPECT_EQ(tk.pinsWhenReturned, 14);

    // Shift and Ctrl with the right button still open it; dismissing it runs nothing.
    later(50, [&] { QApplication::activePopupWidget()->close(); });
    QTest::mousePress(board->windowHandle(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, at);
    QTest::mouseRelease(board->windowHandle(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, at);
    EXPECT_EQ(tk.popups, 2);
    EXPECT_EQ(s.keta, 5);

    // The middle button opens nothing.
    QTest::mousePress(board->windowHandle(), Qt::MiddleButton, {}, at);
    QTest::mouseRelease(board->windowHandle(), Qt::MiddleButton, {}, at);
    EXPECT_EQ(tk.popups, 2);
}

TEST(QtMenus, OnlyTheLeftButtonChoosesAnItem) {
    QtGame g;
    g.start();
    // From the bar: a right or a middle click on 7*7 chooses nothing and leaves the menu open.
    QMenu* menu = g.openMenu();
    clickMenuItem(menu, g.tk.action(Menu::menuselect));
    QMenu* sizes = g.tk.menu(Menu::menuselect);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sizes->isVisible(); }, 2000));
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        clickMenuItem(sizes, g.tk.action(Menu::ketasu, 2), b);
        QApplication::processEvents();
        EXPECT_EQ(g.state.keta, 0) << b;
        EXPECT_TRUE(sizes->isVisible()) << b;
    }
    clickMenuItem(sizes, g.tk.action(Menu::ketasu, 2));
    QApplication::processEvents();
    EXPECT_EQ(g.state.keta, 7);

    // In the pop-up: the right button that opened it, released over the exit item, ends nothing.
    bool openAfterRightRelease = false;
    later(50, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        clickMenuItem(popup, g.tk.action(Menu::menuend), Qt::RightButton);
        openAfterRightRelease = popup->isVisible();
        popup->close();
    });
    g.click(QtGame::squareCentre(8, 8), Qt::RightButton);
    EXPECT_TRUE(openAfterRightRelease);
    EXPECT_FALSE(g.tk.ended());
    EXPECT_EQ(g.state.keta, 7);
}

TEST(QtMenus, TheListItemShowsTheListAgain) {
    QtGame g;
    g.start();
    QMenu* menu = g.tk.menu(Menu::menumenu);
    QAction* listItem = find(menu, "指し手手順を表示(&L)...");
    g.tk.listWindow()->command1()->click();
    EXPECT_TRUE(listItem->isEnabled());
    g.choose(Menu::menulistview);
    EXPECT_TRUE(g.tk.listWindow()->isVisible());
    EXPECT_FALSE(listItem->isEnabled());
}
