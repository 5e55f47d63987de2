// Times the handlers a player waits on, through the real Qt windows offscreen: choosing 7 × 7 and one jump.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include "offscreen.h"
#include "board/board_window.h"
#include "game/game_state.h"
#include "qt/main_window.h"
#include "qt/look.h"
#include "qt/qt_toolkit.h"

using tori::Control;
using tori::Form;
using tori::Menu;

namespace {

struct Program {
    Program() : tk(s) {
        tori::Main(s, tk);
        QApplication::processEvents();
    }
    void choose(Menu m, int16_t index = 0) {
        emit tk.menu(Menu::menumenu)->aboutToShow();
        tk.action(m, index)->trigger();
    }
    // A press as the player makes it: on the pin's button, or on the board surface at a square's centre.
    void clickPin(int col, int row) {
        QTest::mouseClick(tk.control(Form::Form1, Control::pin, int16_t((row - 1) * s.keta + col)), Qt::LeftButton);
    }
    void clickSquare(int col, int row) {
        QTest::mouseClick(tk.boardWindow()->surface(), Qt::LeftButton, {}, QPoint(30 * col + 15, 30 * row + 15));
    }
    tori::GameState s;
    tori::qt::QtToolkit tk;
};

Program& program() {
    static Program p;
    return p;
}

// Erasing, painting the 7 × 7 board and laying out its new game, then the repaint on the screen.
void ChooseSevenBySeven(benchmark::State& state) {
    Program& p = program();
    for (auto _ : state) {
        p.choose(Menu::ketasu, 2);
        QApplication::processEvents();
    }
}
BENCHMARK(ChooseSevenBySeven)->Unit(benchmark::kMicrosecond);

// The first move of a 7 × 7 game: lift (1,5), press (1,7), then the repaint. A restart between moves
// stands the pin back and is not timed.
void OneJump(benchmark::State& state) {
    Program& p = program();
    p.choose(Menu::ketasu, 2);
    QApplication::processEvents();
    for (auto _ : state) {
        p.clickPin(1, 5);
        p.clickSquare(1, 7);
        QApplication::processEvents();
        state.PauseTiming();
        if (p.s.tesuu != 1 || p.tk.listCount() != 1) state.SkipWithError("the jump was not made");
        p.choose(Menu::menurestart);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(OneJump)->Unit(benchmark::kMicrosecond);

// Undo and redo of that jump, through the menu items.
void UndoRedo(benchmark::State& state) {
    Program& p = program();
    p.choose(Menu::ketasu, 2);
    p.clickPin(1, 5);
    p.clickSquare(1, 7);
    QApplication::processEvents();
    for (auto _ : state) {
        p.choose(Menu::menuundo);
        QApplication::processEvents();
        p.choose(Menu::menuredo);
        QApplication::processEvents();
    }
    if (p.s.tesuu != 1) state.SkipWithError("undo and redo did not return to move 1");
}
BENCHMARK(UndoRedo)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    tori::qt::test::prepareOffscreen();
    QApplication app(argc, argv);
    tori::qt::setUpJapanese(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
