// A game on the real Qt toolkit, and what a player does to it: clicks on the board window, the menu
// bar and pop-ups, and answers to message boxes.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include "board/board_window.h"
#include "game/game_state.h"
#include "qt/qt_toolkit.h"

namespace tori::qt::test {

// A message box as the player saw it.
struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon;
    QStringList buttons;  // captions in order
    QString defaultButton;  // the caption Enter answers
};

// Watches for message boxes while a test runs and answers each with the next caption queued
// (the first button when none is queued).
class BoxAnswerer {
public:
    BoxAnswerer();
    std::deque<QString> answers;
    std::vector<SeenBox> seen;
    std::function<void(QMessageBox*)> inspect;  // runs on each box before it is answered

private:
    QTimer timer_;
};

class QtGame {
public:
    QtGame();
    ~QtGame();

    GameState state;
    QtToolkit tk{state};

    void start();  // the program's start routine
    MainWindow* board() const { return tk.boardWindow(); }
    BoardSurface* surface() const { return tk.boardWindow()->surface(); }
    QWidget* pin(int16_t i) const { return tk.control(Form::Form1, Control::pin, i); }

    // Mouse input on the board window, delivered by the window system path: the widget under the
    // pointer gets it. Positions are surface pixels.
    void press(QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {});
    void click(QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {});
    static QPoint squareCentre(int col, int row) { return {30 * col + 15, 30 * row + 15}; }
    void clickSquare(int col, int row) { click(squareCentre(col, row)); }
    void play(int fromCol, int fromRow, int toCol, int toRow);

    // Opens the item's menu from the menu bar with the mouse and clicks the item.
    void choose(Menu m, int16_t index = 0);
    // Opens a menu from the bar with the mouse, the Menu menu unless told (and closes it again).
    QMenu* openMenu(Menu top = Menu::menumenu);
    void openAndCloseMenu();

    std::vector<int16_t> visiblePins() const;
};

// Clicks an item of an open menu (a pop-up or one opened from the bar).
void clickMenuItem(QMenu* menu, QAction* item, Qt::MouseButton b = Qt::LeftButton);
// The item of the open pop-up menu tree at this path, e.g. {menuselect, ketasu(0)}.
void chooseInPopup(QtToolkit& tk, std::vector<std::pair<Menu, int16_t>> path);

// Runs f once the event loop runs again (inside a modal loop or a pop-up), after ms milliseconds.
void later(int ms, std::function<void()> f);

// The colour of one logical pixel of an image of any device pixel ratio, if all of its device
// pixels agree; an invalid colour where they differ.
QColor logicalPixel(const QImage& image, int x, int y);

}  // namespace tori::qt::test
