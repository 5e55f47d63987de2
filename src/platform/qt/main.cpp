// トリピン: the program starts the game on Qt and runs until the board window closes.
#include <QApplication>

#include "board/board_window.h"
#include "game/game_state.h"
#include "platform/qt/qt_toolkit.h"

namespace {

// The one game of this run: its state and the window toolkit its handlers use.
struct Game {
    tori::GameState state;
    tori::qt::QtToolkit toolkit{state};
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the board window alone ends the program
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.toripin.Toripin"));
    tori::qt::setUpJapanese(app);

    Game game;
    tori::Main(game.state, game.toolkit);
    if (game.toolkit.ended()) return 0;
    // Returning normally lets QApplication hand the clipboard to the desktop's clipboard manager.
    return QApplication::exec();
}
