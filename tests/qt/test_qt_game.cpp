// Whole games through the Qt layer, and the ways the program ends: every nested loop is left and
// the application's event loop returns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QListWidget>
#include <QTest>

#include "qt_game.h"

using namespace tori;
using namespace tori::qt;
using namespace tori::qt::test;

namespace {

// A won 5×5 game, square by square (column, row).
const int kWin[13][4] = {{1, 3, 1, 5}, {1, 1, 1, 3}, {3, 1, 1, 1}, {4, 1, 1, 2}, {1, 2, 1, 4},
                         {3, 2, 1, 2}, {1, 4, 3, 2}, {1, 1, 1, 3}, {3, 3, 5, 1}, {1, 5, 3, 3},
                         {5, 1, 2, 4}, {2, 4, 4, 2}, {4, 2, 2, 2}};

void playToTheEnd(QtGame& g) {
    for (const auto& m : kWin) g.play(m[0], m[1], m[2], m[3]);
}

const QString kWon = "クリア!!!おめでとう御座います。もう一度しますか?";

// Runs the application's event loop the way main does, with the player's actions queued in it;
// true when the loop returned by itself.
bool runApplication(std::function<void()> player) {
    bool timedOut = false;
    later(0, std::move(player));
    QTimer::singleShot(20000, qApp, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    const int code = QApplication::exec();
    return !timedOut && code == 0;
}

bool noWindowShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return false;
    return true;
}

}  // namespace

TEST(QtGame, AWonGameAnsweredYesStartsTheSameBoardAgain) {
    QtGame g;
    g.start();
    BoxAnswerer answerer;
    answerer.answers = {"はい(&Y)"};
    g.choose(Menu::ketasu, 0);
    playToTheEnd(g);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].text, kWon);
    EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(answerer.seen[0].defaultButton, "はい(&Y)");
    // A new game of the same size stands on the board.
    EXPECT_EQ(g.state.keta, 5);
    EXPECT_EQ(g.state.tesuu, 0);
    EXPECT_EQ(g.visiblePins().size(), 14u);
    EXPECT_EQ(g.tk.listCount(), 0);
    EXPECT_FALSE(g.tk.ended());
}

TEST(QtGame, TheMoveListFollowsTheGameAndUndo) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    for (int k = 0; k < 3; ++k) g.play(kWin[k][0], kWin[k][1], kWin[k][2], kWin[k][3]);
    ASSERT_EQ(g.tk.listCount(), 3);
    EXPECT_EQ(g.tk.listLine(2), "3 手目 (3,1) ---> (1,1)");
    g.choose(Menu::menuundo);
    EXPECT_EQ(g.tk.listCount(), 2);
    EXPECT_FALSE(g.pin(1)->isVisible());
    g.choose(Menu::menuredo);
    EXPECT_EQ(g.tk.listCount(), 3);
    EXPECT_TRUE(g.pin(1)->isVisible());

    // More moves than the list shows at once: the newest line is the one in view, after a move
    // and after a redo alike.
    QListWidget* list = g.tk.listWindow()->list();
    const auto lastLineInView = [&] {
        QApplication::processEvents();
        const QRect line = list->visualItemRect(list->item(list->count() - 1));
        return line.top() >= 0 && line.bottom() < list->viewport()->height();
    };
    for (int k = 3; k < 12; ++k) g.play(kWin[k][0], kWin[k][1], kWin[k][2], kWin[k][3]);
    ASSERT_EQ(g.tk.listCount(), 12);
    ASSERT_LT(list->visualItemRect(list->item(0)).top(), 0);  // the first line has gone up
    EXPECT_TRUE(lastLineInView());
    // Beside the scroll bar the two-digit lines stay whole: no scrolling sideways.
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    list->scrollToTop();
    g.choose(Menu::menuundo);
    g.choose(Menu::menuredo);
    EXPECT_TRUE(lastLineInView());

    // The font: the largest size up to 18 px at which the longest line fits whole beside the scroll bar, or the
    // next smaller where only that one has cells of whole pixels: 16 px of IPA Gothic. Exactly so: a box just wide
    // enough for the line's item (Qt's measure, margins included) at 18 px keeps 18 px; a pixel narrower, it gets 16.
    EXPECT_EQ(list->font().pixelSize(), 16);
    QFont font = list->font();
    font.setPixelSize(18);
    list->setFont(font);
    const int fits = list->sizeHintForColumn(0) + list->width() - list->viewport()->width();
    for (const int width : {fits, fits - 1}) {
        list->resize(width, list->height());
        g.tk.listWindow()->setFittingFont(font, list->item(11)->text());
        EXPECT_EQ(list->font().pixelSize(), width == fits ? 18 : 16) << width;
    }
}

TEST(QtGame, AWonGameAnsweredNoEndsTheProgram) {
    QtGame g;
    g.start();
    BoxAnswerer answerer;
    answerer.answers = {"いいえ(&N)"};
    const bool returned = runApplication([&] {
        g.choose(Menu::ketasu, 0);
        playToTheEnd(g);
    });
    EXPECT_TRUE(returned);
    EXPECT_TRUE(g.tk.ended());
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].text, kWon);
    EXPECT_TRUE(noWindowShown());
    // Nothing runs any more: a click on the board's surface reaches no handler.
    const int16_t tesuu = g.state.tesuu;
    g.press(QtGame::squareCentre(1, 1));
    EXPECT_EQ(g.state.tesuu, tesuu);
}

TEST(QtGame, TheExitItemEndsTheProgramInTheMiddleOfAGame) {
    QtGame g;
    g.start();
    const bool returned = runApplication([&] {
        g.choose(Menu::ketasu, 1);
        g.play(1, 4, 1, 6);  // on 6×6: (1, 4) over (1, 5) into the empty corner
        ASSERT_EQ(g.tk.listCount(), 1);
        g.choose(Menu::menuend);
    });
    EXPECT_TRUE(returned);
    EXPECT_TRUE(g.tk.ended());
    EXPECT_EQ(g.tk.listWindow(), nullptr);  // unloaded
    EXPECT_TRUE(noWindowShown());
}

TEST(QtGame, ClosingTheBoardWindowClosesTheListAndEnds) {
    QtGame g;
    g.start();
    const bool returned = runApplication([&] { g.board()->close(); });
    EXPECT_TRUE(returned);
    EXPECT_TRUE(g.tk.ended());
    EXPECT_EQ(g.tk.listWindow(), nullptr);
    EXPECT_TRUE(noWindowShown());
}

TEST(QtGame, EndingFromInsideThePopUpLeavesEveryLoop) {
    QtGame g;
    g.start();
    const bool returned = runApplication([&] {
        later(50, [&] { chooseInPopup(g.tk, {{Menu::menuend, 0}}); });
        g.click(QPoint(240, 240), Qt::RightButton);
    });
    EXPECT_TRUE(returned);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(noWindowShown());
}
