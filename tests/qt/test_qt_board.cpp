// The painted board, the pins on it and presses on it, at whatever scale the test runs
// (a second run uses QT_SCALE_FACTOR=2: every logical pixel is then two device pixels wide).
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "platform/design.h"
#include "qt/look.h"
#include "qt_game.h"

using namespace tori;
using namespace tori::qt;
using namespace tori::qt::test;

namespace {

const QColor kGrey(128, 128, 128), kGreen(0, 128, 0), kBlack(0, 0, 0);

// Checks the retained picture of an n × n board, logical pixel by logical pixel; every logical
// pixel must be one solid colour across its device pixels (crisp lines, no blending).
void expectBoard(const QImage& picture, int n) {
    const int e = 30 * (n + 1);
    int wrong = 0;
    for (int y = 0; y < 250; ++y) {
        for (int x = 0; x < 250; ++x) {
            QColor want = kGrey;
            if (x >= 30 && x <= e && y >= 30 && y <= e) {
                const int col = x / 30, row = y / 30;
                const bool gridLine = x % 30 == 0 || y % 30 == 0;
                // Outside the triangle each square has one diagonal, upper right to lower left.
                const bool diagonal = col <= n && row <= n && col + row >= n + 2 && (x % 30) + (y % 30) == 30;
                want = gridLine || diagonal ? kBlack : kGreen;
            }
            const QColor got = logicalPixel(picture, x, y);
            if (got != want && ++wrong <= 5) {
                ADD_FAILURE() << "pixel (" << x << "," << y << ") of the " << n << "×" << n << " board is "
                              << got.name().toStdString() << ", not " << want.name().toStdString();
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

std::string described(const QFont& font) { return font.toString().toStdString(); }

}  // namespace

TEST(QtBoard, EachSizePaintsItsBoardAndASmallerOneLeavesNothingOfTheLarger) {
    QtGame g;
    g.start();
    const QImage& picture = g.surface()->picture();
    EXPECT_EQ(picture.devicePixelRatio(), g.surface()->devicePixelRatioF());
    g.choose(Menu::ketasu, 2);
    expectBoard(picture, 7);
    g.choose(Menu::ketasu, 1);
    expectBoard(picture, 6);
    g.choose(Menu::ketasu, 0);
    expectBoard(picture, 5);
    // The 5×5 board: square (5, 2) is crossed by the hypotenuse, (5, 1) and (1, 5) are not.
    EXPECT_EQ(logicalPixel(picture, 165, 75), kBlack);
    EXPECT_EQ(logicalPixel(picture, 165, 45), kGreen);
    EXPECT_EQ(logicalPixel(picture, 45, 165), kGreen);
}

TEST(QtBoard, ASquareIsThirtyPixelsTimesTheDeviceRatio) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    const QImage& picture = g.surface()->picture();
    const int ratio = int(g.surface()->devicePixelRatioF());
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") {
        ASSERT_EQ(ratio, 2);
    }
    ASSERT_EQ(picture.width(), g.surface()->width() * ratio);
    // Along the middle of row 1: a line, 30 × ratio − ratio green device pixels, a line.
    const int y = 45 * ratio;
    int x = 30 * ratio;
    for (int k = 0; k < ratio; ++k) EXPECT_EQ(picture.pixelColor(x + k, y), kBlack);
    x += ratio;
    for (int k = 0; k < 29 * ratio; ++k) EXPECT_EQ(picture.pixelColor(x + k, y), kGreen) << k;
    x += 29 * ratio;
    EXPECT_EQ(picture.pixelColor(x, y), kBlack);
    EXPECT_EQ(x, 60 * ratio);
}

TEST(QtBoard, PinsStandOnTheirSquaresAndCoverThemWhole) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 1);
    const std::vector<int16_t> pins = g.visiblePins();
    ASSERT_EQ(pins.size(), 20u);  // 6 + 5 + 4 + 3 + 2 squares, the corner empty
    for (int16_t p : pins) {
        const int col = (p - 1) % 6 + 1, row = (p - 1) / 6 + 1;
        QWidget* pin = g.pin(p);
        EXPECT_EQ(pin->geometry(), QRect(30 * col, 30 * row, 30, 30)) << p;
        EXPECT_EQ(described(pin->font()), described(designFont(design::kPinFontPoints, true))) << p;  // the template's
        // Every pixel of the square belongs to the pin, the grid line on its top and left included.
        for (QPoint corner : {QPoint(30 * col, 30 * row), QPoint(30 * col + 29, 30 * row + 29),
                              QPoint(30 * col + 29, 30 * row), QPoint(30 * col, 30 * row + 29)})
            EXPECT_EQ(g.surface()->childAt(corner), pin) << p;
    }
    for (int16_t i = 1; i <= 6; ++i)  // the coordinate labels' font is their templates' too
        for (Control c : {Control::Label1, Control::Label2})
            EXPECT_EQ(described(g.tk.control(Form::Form1, c, i)->font()), described(designFont(design::kLabelFontPoints, true)));
    // The corner (1, 6) is empty: the surface shows there.
    EXPECT_EQ(g.surface()->childAt(QtGame::squareCentre(1, 6)), nullptr);

    // A pin looks exactly like the desktop style's push button without a caption whose face is the
    // window-background colour: neutral, neither the board's green nor the window's grey.
    QPushButton stock(g.surface());
    QPalette face = stock.palette();
    face.setColor(QPalette::Button, face.color(QPalette::Base));
    stock.setPalette(face);
    stock.resize(30, 30);
    const QImage pinShot = g.pin(pins[0])->grab().toImage(), stockShot = stock.grab().toImage();
    EXPECT_EQ(pinShot, stockShot);
    const QColor centre = logicalPixel(pinShot, 15, 15);
    EXPECT_TRUE(centre.red() == centre.green() && centre.green() == centre.blue()) << centre.name().toStdString();
    EXPECT_NE(centre, kGrey);
}

TEST(QtBoard, PressesReachThePinOnTheirSquareNeverTheBoard) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    int popups = 0;
    // Any pop-up that opens is counted and closed.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* p = QApplication::activePopupWidget()) {
            ++popups;
            p->close();
        }
    });
    watch.start(20);

    // Right and middle presses on a pin: the pin keeps them, no pop-up, nothing lifted.
    g.click(QPoint(30 * 3 + 1, 30 * 3 + 1), Qt::RightButton);
    g.click(QPoint(30 * 3 + 28, 30 * 3 + 28), Qt::MiddleButton);
    QTest::qWait(100);
    EXPECT_EQ(popups, 0);
    EXPECT_EQ(g.state.picked, 0);
    // The same on a coordinate label.
    g.click(g.tk.control(Form::Form1, Control::Label1, 0)->geometry().center(), Qt::RightButton);
    QTest::qWait(100);
    EXPECT_EQ(popups, 0);

    // A left press in the corner of an occupied square lifts that pin (index 13 at (3, 3)).
    g.click(QPoint(30 * 3 + 29, 30 * 3 + 29));
    EXPECT_EQ(g.state.picked, -1);
    EXPECT_EQ(g.state.frompin[1], 13);
    EXPECT_TRUE(g.pin(13)->isHidden());
    // A middle press on the empty corner square is no jump: only the left button moves a pin.
    g.click(QtGame::squareCentre(1, 5), Qt::MiddleButton);
    EXPECT_EQ(g.state.picked, -1);
    EXPECT_TRUE(g.pin(21)->isHidden());
    // Then a press on the empty corner square (1, 5), near its edge, makes the jump.
    g.click(QPoint(30 * 1 + 1, 30 * 5 + 28));
    EXPECT_EQ(g.state.picked, 0);
    EXPECT_FALSE(g.pin(21)->isHidden());
    EXPECT_TRUE(g.pin(17)->isHidden());
    EXPECT_EQ(g.tk.listLine(0), "1 手目 (3,3) ---> (1,5)");

    // A right press on the bare board does open the pop-up.
    g.click(QtGame::squareCentre(3, 3), Qt::RightButton);
    EXPECT_EQ(popups, 1);
}

TEST(QtBoard, PressPositionsBecomeTwipsOfTheSquareUnderThePointer) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    BoxAnswerer answerer;
    // Each pixel row and column of square (4, 3), outside the 5×5 triangle, gives its message;
    // the pixels just beyond it do not.
    for (QPoint at : {QPoint(120, 90), QPoint(149, 119), QPoint(120, 119), QPoint(149, 90)}) {
        const size_t before = answerer.seen.size();
        g.click(at);
        EXPECT_EQ(answerer.seen.size(), before + 1) << at.x() << "," << at.y();
    }
    g.clickSquare(3, 3);  // lifts (3, 3), which may jump over (2, 4) to (1, 5)
    const size_t before = answerer.seen.size();
    g.click(QPoint(59, 179));  // last pixel of square (1, 5): the jump
    EXPECT_EQ(answerer.seen.size(), before);
    EXPECT_EQ(g.state.tox[1], 1);
    EXPECT_EQ(g.state.toy[1], 5);
    // The margin and beyond the grid say nothing.
    g.click(QPoint(29, 100));
    g.click(QPoint(100, 29));
    g.click(QPoint(185, 100));
    EXPECT_EQ(answerer.seen.size(), before);
}

TEST(QtBoard, TheBoardIsPaintedAgainAfterBeingCovered) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 2);
    QApplication::processEvents();
    const QPoint line = g.surface()->mapTo(g.board(), QPoint(90, 190));  // left edge of (3, 6)
    // Square (3, 6) lies outside the triangle: no pin, one diagonal.
    const QPoint square = g.surface()->mapTo(g.board(), QPoint(95, 200));
    const QPoint diagonal = g.surface()->mapTo(g.board(), QPoint(105, 195));
    auto colourAt = [](const QImage& shot, QPoint at) {
        const qreal ratio = shot.devicePixelRatio();
        return shot.pixelColor(int(at.x() * ratio), int(at.y() * ratio));
    };

    // A widget covers the board, then goes; the uncovered part is painted from the picture, with
    // nothing drawn again by the game.
    auto* cover = new QWidget(g.board());
    cover->setAutoFillBackground(true);
    QPalette p = cover->palette();
    p.setColor(QPalette::Window, Qt::white);
    cover->setPalette(p);
    cover->setGeometry(g.surface()->geometry());
    cover->show();
    QImage shot = g.board()->grab().toImage();
    EXPECT_EQ(colourAt(shot, square), QColor(Qt::white));

    delete cover;
    shot = g.board()->grab().toImage();
    EXPECT_EQ(colourAt(shot, line), kBlack);
    EXPECT_EQ(colourAt(shot, square), kGreen);
    EXPECT_EQ(colourAt(shot, diagonal), kBlack);
}

TEST(QtBoard, APinsVisibilityIsItsOwnFlagEvenInAHiddenWindow) {
    QtGame g;
    g.start();
    g.choose(Menu::ketasu, 0);
    g.tk.hide(Form::Form1);
    EXPECT_TRUE(g.tk.visible(Form::Form1, Control::pin, 1));
    EXPECT_FALSE(g.tk.visible(Form::Form1, Control::pin, 21));
    g.tk.setVisible(Form::Form1, Control::pin, 21, true);
    EXPECT_TRUE(g.tk.visible(Form::Form1, Control::pin, 21));
    // The list works while its window is hidden, too.
    g.tk.hide(Form::Form3);
    g.tk.listAppend("1 手目 (3,3) ---> (1,5)");
    EXPECT_EQ(g.tk.listCount(), 1);
    EXPECT_EQ(g.tk.listLine(0), "1 手目 (3,3) ---> (1,5)");
}
