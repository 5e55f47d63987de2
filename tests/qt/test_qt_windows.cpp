// The three windows: placement at start-up, the move list window's closing and reopening, the About
// box, and message boxes in Japanese whatever the locale (this test runs under LANG=C).
#include <gtest/gtest.h>

#include <QApplication>
#include <QExposeEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include "qt_game.h"
#include "version.h"

using namespace tori;
using namespace tori::qt;
using namespace tori::qt::test;

TEST(QtWindows, StartUpCentresTheBoardAndPutsTheListAgainstItsRightEdge) {
    QtGame g;
    g.start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Centred in twips: (screen − window) / 2, with the screen at 15 twips per pixel.
    const float left = (screen.width() * 15 - 4200) / 2.0f, top = (screen.height() * 15 - 5000) / 2.0f;
    EXPECT_EQ(g.tk.left(Form::Form1), left);
    EXPECT_EQ(g.tk.top(Form::Form1), top);
    EXPECT_EQ(g.tk.width(Form::Form1), 4200);
    EXPECT_EQ(g.tk.height(Form::Form1), 5000);

    const QRect board = g.board()->frameGeometry();
    EXPECT_EQ(board, QRect(int(left / 15), int(top / 15), 280, 333));
    EXPECT_EQ(g.board()->windowTitle(), "トリピン");
    EXPECT_TRUE(g.board()->isVisible());

    ListWindow* list = g.tk.listWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->windowTitle(), "指し手手順");
    EXPECT_EQ(list->frameGeometry().top(), board.top());
    EXPECT_EQ(list->frameGeometry().left(), board.left() + board.width());
    EXPECT_EQ(list->size(), QSize(244, 253));  // 3660 × 3795 twips
    EXPECT_EQ(list->list()->geometry(), QRect(4, 4, 233, 202));
    EXPECT_EQ(list->command1()->geometry(), QRect(68, 216, 109, 33));
    EXPECT_EQ(list->command1()->text(), "閉じる(&C)");
    EXPECT_FALSE(list->testAttribute(Qt::WA_QuitOnClose));

    // Fixed sizes, no maximize button on the board window.
    EXPECT_EQ(g.board()->minimumSize(), g.board()->maximumSize());
    EXPECT_EQ(list->minimumSize(), list->maximumSize());
    EXPECT_FALSE(g.board()->windowFlags() & Qt::WindowMaximizeButtonHint);

    // The client area of the board window lies right under the menu bar and is grey.
    const QRect surface = g.surface()->geometry();
    EXPECT_EQ(surface.top(), g.board()->menuBar()->geometry().bottom() + 1);
    EXPECT_EQ(surface.left(), 0);
    EXPECT_EQ(g.surface()->picture().pixelColor(5, 5), QColor(128, 128, 128));
    EXPECT_TRUE(g.visiblePins().empty());
    EXPECT_EQ(g.pin(1)->size(), QSize(30, 30));

    // No coordinate numbers on the empty window; the first board shows its own from 1 on.
    for (Control c : {Control::Label1, Control::Label2}) {
        for (int16_t i = 0; i <= 6; ++i) EXPECT_TRUE(g.tk.control(Form::Form1, c, i)->isHidden()) << i;
    }
    g.choose(Menu::ketasu, 0);
    for (Control c : {Control::Label1, Control::Label2}) {
        for (int16_t i = 0; i <= 6; ++i) EXPECT_EQ(g.tk.control(Form::Form1, c, i)->isHidden(), i >= 5) << i;
    }
    // The column numbers stand on the window-background colour; the row numbers have no fill of
    // their own and show the grey surface.
    const QImage shot = g.surface()->grab().toImage();
    const QWidget* column = g.tk.control(Form::Form1, Control::Label1, 3);
    const QWidget* row = g.tk.control(Form::Form1, Control::Label2, 3);
    EXPECT_EQ(logicalPixel(shot, column->x() + 1, column->y() + 1), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(logicalPixel(shot, row->x() + 1, row->y() + 1), QColor(128, 128, 128));

    // The board window is the active one, so that its menu answers the keyboard at once.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == g.board(); }, 2000));
}

TEST(QtWindows, TheListWindowClosesByItsButtonOrFrameAndReopensBesideTheMovedBoard) {
    QtGame g;
    g.start();
    QAction* listItem = g.tk.action(Menu::menulistview);
    g.choose(Menu::ketasu, 0);
    g.play(3, 3, 1, 5);
    ListWindow* list = g.tk.listWindow();

    QTest::mouseClick(list->command1(), Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(listItem->isEnabled());
    EXPECT_EQ(g.tk.listCount(), 1);  // the lines stay while hidden

    g.board()->move(100, 50);
    g.choose(Menu::menulistview);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == list; }, 2000));
    EXPECT_FALSE(listItem->isEnabled());
    const QRect board = g.board()->frameGeometry();
    EXPECT_EQ(list->frameGeometry().topLeft(), QPoint(board.left() + board.width(), board.top()));
    EXPECT_EQ(list->list()->item(0)->text(), "1 手目 (3,3) ---> (1,5)");

    // The frame's close control does what the button does: the window stays loaded, hidden.
    EXPECT_FALSE(list->close());
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(listItem->isEnabled());
    EXPECT_EQ(g.tk.listWindow(), list);
    // So does Esc.
    g.choose(Menu::menulistview);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(listItem->isEnabled());
    // And a minimize, where a window manager or Qt's own title bar offers one: the item brings the list back,
    // not minimized.
    g.choose(Menu::menulistview);
    list->windowHandle()->setWindowStates(Qt::WindowMinimized);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(listItem->isEnabled());
    g.choose(Menu::menulistview);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->isMinimized());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == list; }, 2000));
    // The board's menu bar answers its access keys in the list too, and neither window keeps a maximized state.
    QTest::keyClick(list, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return g.tk.menu(Menu::menumenu)->isVisible(); }, 2000));
    g.tk.menu(Menu::menumenu)->close();
    for (QWidget* w : {static_cast<QWidget*>(g.board()), static_cast<QWidget*>(list)}) {
        w->windowHandle()->setWindowStates(Qt::WindowMaximized);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->windowHandle()->windowStates() == Qt::WindowNoState; }, 2000));
    }

    // Once done, an activation is forgotten: the board, made active by the player, stays so when it is
    // uncovered later.
    g.board()->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == g.board(); }, 2000));
    QExposeEvent uncovered(QRegion(0, 0, 30, 30));
    QCoreApplication::sendEvent(g.board()->windowHandle(), &uncovered);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), g.board());
}

// Also run at a scale of 1.5, where the lines' area covered the box's bottom edge.
TEST(QtWindows, TheListBoxKeepsItsFrameWhole) {
    QtGame g;
    g.start();
    const QImage shot = g.tk.listWindow()->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QRect box = g.tk.listWindow()->list()->geometry();
    const int x = int(box.center().x() * ratio);
    const QColor inside = shot.pixelColor(x, int(box.center().y() * ratio));
    const QColor around = shot.pixelColor(x, int((box.bottom() + 3) * ratio));
    // The box's last rows of device pixels show its frame: neither its inside nor the window around it.
    bool edge = false;
    for (int y = int((box.bottom() - 1) * ratio); y <= int((box.bottom() + 1) * ratio); ++y)
        edge = edge || (shot.pixelColor(x, y) != inside && shot.pixelColor(x, y) != around);
    EXPECT_TRUE(edge);
}

TEST(QtWindows, TextOnTheFixedGreysStaysReadableInADarkScheme) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (auto [role, colour] : {std::pair{QPalette::Window, QColor(49, 54, 59)}, {QPalette::Base, QColor(35, 38, 41)},
                                {QPalette::Button, QColor(49, 54, 59)}, {QPalette::WindowText, QColor(239, 240, 241)},
                                {QPalette::Text, QColor(239, 240, 241)}, {QPalette::ButtonText, QColor(239, 240, 241)}})
        dark.setColor(role, colour);
    const QWidget* pin = g.pin(1);
    const QWidget* column = g.tk.control(Form::Form1, Control::Label1, 3);
    const QWidget* row = g.tk.control(Form::Form1, Control::Label2, 3);
    const auto colour = [](const QWidget* w, QPalette::ColorRole role) { return w->palette().color(role); };
    // The numbers stand centred in their boxes.
    EXPECT_EQ(static_cast<const QLabel*>(column)->alignment(), Qt::AlignCenter);
    EXPECT_EQ(static_cast<const QLabel*>(row)->alignment(), Qt::AlignCenter);

    // The scheme changes while the game runs: pins and column numbers follow it; the row numbers on
    // the grey surface and the About box's lines on its grey turn black, as light text is unreadable there.
    QApplication::setPalette(dark);
    QApplication::processEvents();
    EXPECT_EQ(colour(pin, QPalette::Button), dark.color(QPalette::Base));
    EXPECT_EQ(colour(column, QPalette::Window), dark.color(QPalette::Base));
    EXPECT_EQ(colour(column, QPalette::WindowText), dark.color(QPalette::WindowText));
    EXPECT_EQ(colour(row, QPalette::WindowText), QColor(Qt::black));
    bool checked = false;
    later(100, [&] {
        AboutBox* about = g.tk.aboutBox();
        ASSERT_NE(about, nullptr);
        checked = true;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(colour(about->label1(i), QPalette::WindowText), QColor(Qt::black)) << i;
        QTest::mouseClick(about->command1(), Qt::LeftButton);
    });
    g.choose(Menu::menuver);
    EXPECT_TRUE(checked);

    // And back: where the scheme's text reads on grey, it is kept.
    QApplication::setPalette(light);
    QApplication::processEvents();
    EXPECT_EQ(colour(pin, QPalette::Button), light.color(QPalette::Base));
    EXPECT_EQ(colour(column, QPalette::Window), light.color(QPalette::Base));
    EXPECT_EQ(colour(row, QPalette::WindowText), light.color(QPalette::WindowText));
}

TEST(QtWindows, TheAboutBoxIsBuiltAfreshOverTheBoardAndIsModal) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    QPointer<AboutBox> first;
    bool checked = false;
    later(100, [&] {
        AboutBox* about = g.tk.aboutBox();
        ASSERT_NE(about, nullptr);
        first = about;
        checked = true;
        EXPECT_TRUE(about->isVisible());
        EXPECT_EQ(about->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(about->windowTitle(), "バージョン情報");
        EXPECT_EQ(about->size(), QSize(383, 138));  // 5745 × 2070 twips
        EXPECT_EQ(about->palette().color(QPalette::Window), QColor(192, 192, 192));
        // 400 twips below and right of the board window's top-left corner.
        const QPointF corner = QPointF(g.tk.left(Form::Form1) + 400, g.tk.top(Form::Form1) + 400) / 15;
        EXPECT_EQ(about->frameGeometry().topLeft(), QPoint(int(corner.x()), int(corner.y())));
        EXPECT_EQ(about->image1()->geometry(), QRect(16, 16, 36, 36));
        EXPECT_FALSE(about->image1()->pixmap().isNull());
        EXPECT_EQ(about->label1(0)->text(), QString::fromUtf8(version::kAboutTitle.data()));
        EXPECT_EQ(about->label1(1)->text(), QString::fromUtf8(version::kCopyright.data()));
        EXPECT_EQ(about->label1(2)->text(), "Version 2.1");
        const int tops[] = {16, 72, 44};  // 240, 1080, 660 twips
        for (int i = 0; i < 3; ++i) {
            const QRect r = about->label1(i)->geometry();
            EXPECT_EQ(r.top(), tops[i]);
            EXPECT_EQ(r.height(), 18);
            // Sized to the text, centred on 2932.5 twips = 195.5 pixels.
            EXPECT_GE(r.width(), about->label1(i)->fontMetrics().horizontalAdvance(about->label1(i)->text()));
            EXPECT_NEAR(r.left() + r.width() / 2.0, 195.5, 1.0);
        }
        EXPECT_EQ(about->command1()->geometry(), QRect(136, 100, 121, 33));
        EXPECT_EQ(about->command1()->text(), "OK(&O)");

        // The board and the list take no input meanwhile.
        const QPoint pin = g.surface()->mapTo(g.board(), QtGame::squareCentre(3, 3));
        QTest::mouseClick(g.board()->windowHandle(), Qt::LeftButton, {}, pin);
        QTest::mouseClick(g.tk.listWindow()->windowHandle(), Qt::LeftButton, {},
                          g.tk.listWindow()->command1()->geometry().center());
        QApplication::processEvents();
        EXPECT_EQ(g.state.tesuu, 0);
        EXPECT_TRUE(g.tk.listWindow()->isVisible());
        QTest::mouseClick(about->command1(), Qt::LeftButton);
    });
    g.choose(Menu::menuver);  // returns when the box is unloaded
    EXPECT_TRUE(checked);
    EXPECT_EQ(g.tk.aboutBox(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    // The frame's close control unloads it as OK does; the next one is a new box, placed again
    // from the board window's present position.
    g.board()->move(40, 30);
    bool second = false;
    later(100, [&] {
        AboutBox* about = g.tk.aboutBox();
        ASSERT_NE(about, nullptr);
        second = true;
        EXPECT_EQ(about->label1(2)->text(), "Version 2.1");
        const QPoint corner = g.board()->frameGeometry().topLeft();
        EXPECT_EQ(about->frameGeometry().topLeft(), corner + QPoint(26, 26));  // 600 + 400 twips = 66 px
        about->close();
    });
    g.tk.show(Form::Form2, true);
    EXPECT_TRUE(second);
    EXPECT_EQ(g.tk.aboutBox(), nullptr);
}

TEST(QtWindows, MessageBoxesSpeakJapaneseUnderTheCLocale) {
    ASSERT_EQ(QLocale::system().name(), "C");
    QtGame g;
    g.start();
    BoxAnswerer answerer;

    // A refusal from the game: a press on a square outside the triangle.
    g.choose(Menu::ketasu, 0);
    g.click(QtGame::squareCentre(5, 2));
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, QString::fromUtf8(version::kAppTitle.data()));
    EXPECT_EQ(answerer.seen[0].text, "そのマス目にはピンを置くことが出来ません。");
    EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(answerer.seen[0].buttons, QStringList{"OK"});

    // The question: Yes and No in Japanese, two lines where the prompt has CR LF.
    answerer.answers = {"はい(&Y)"};
    EXPECT_EQ(g.tk.msgBox("一行目\r\n二行目", vbInformation + vbYesNo), vbYes);
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(answerer.seen[1].text, "一行目\n二行目");
    QStringList buttons = answerer.seen[1].buttons;
    buttons.sort();
    QStringList expected{"はい(&Y)", "いいえ(&N)"};
    expected.sort();
    EXPECT_EQ(buttons, expected);
    answerer.answers = {"いいえ(&N)"};
    EXPECT_EQ(g.tk.msgBox("?", vbInformation + vbYesNo), vbNo);

    // Only its buttons answer a Yes/No box: Esc and the frame's close control leave it open. A box
    // with OK alone closes on Esc; an exclamation box has the warning icon.
    answerer.answers = {"はい(&Y)"};
    answerer.inspect = [](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        EXPECT_TRUE(box->isVisible());
    };
    EXPECT_EQ(g.tk.msgBox("?", vbYesNo), vbYes);
    answerer.inspect = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); };
    EXPECT_EQ(g.tk.msgBox("!", vbExclamation), vbOK);
    EXPECT_EQ(answerer.seen.back().icon, QMessageBox::Warning);
    EXPECT_EQ(answerer.seen.back().buttons, QStringList{"OK"});
}
