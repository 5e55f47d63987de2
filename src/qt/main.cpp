// トリピン: the program starts the game on Qt and runs until the board window closes.
#include <iostream>
#include <optional>
#include <string_view>

#include <QApplication>

#include "board/board_window.h"
#include "game/game_state.h"
#include "qt/look.h"
#include "qt/qt_toolkit.h"
#include "version.h"

namespace {

// The one game of this run: its state and the window toolkit its handlers use.
struct Game {
    tori::GameState state;
    tori::qt::QtToolkit toolkit{state};
};

// The game centres its board window and stands the move list against it, which only an X11 client
// may do: where an X server is reachable (an X11 desktop, or Xwayland in a Wayland session) Qt is
// asked for X11 first and Wayland second. A platform the player set is left alone.
bool preferX11() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY")) return false;
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    return true;
}

constexpr std::string_view kUsage =
    "使い方: toripin [-h | --help | -V | --version]\n"
    "\n"
    "トリピン (直角三角形の盤で遊ぶピン跳びパズル) を始めます。\n"
    "  -h, --help     この説明を表示して終了します\n"
    "  -V, --version  バージョンを表示して終了します\n"
    "\n"
    "Usage: toripin [-h | --help | -V | --version]\n"
    "\n"
    "Starts トリピン, a triangular peg solitaire.\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n";

// Answers --help and --version before Qt starts, so that they need no display. Any other argument
// starts the game as before. Returns the exit status when the program is to end here.
std::optional<int> answerOption(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
        } else if (arg == "-V" || arg == "--version") {
            std::cout << "toripin " << tori::version::kRelease << '\n';
        } else {
            continue;
        }
        return std::cout.flush() ? 0 : 1;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const auto status = answerOption(argc, argv)) return *status;
    const bool chosen = preferX11();
    QApplication app(argc, argv);
    // The environment is left as the player had it; the choice was for this program alone.
    if (chosen) qunsetenv("QT_QPA_PLATFORM");
    QApplication::setQuitOnLastWindowClosed(false);  // the board window alone ends the program
    // The names the desktop matches windows with its launcher by: the X11 window class
    // (StartupWMClass) and the Wayland application id (the desktop entry's name).
    QApplication::setApplicationName(QStringLiteral("toripin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.toripin.Toripin"));
    tori::qt::setUpJapanese(app);

    Game game;
    tori::Main(game.state, game.toolkit);
    if (game.toolkit.ended()) return 0;
    // Returning normally lets QApplication hand the clipboard to the desktop's clipboard manager.
    return QApplication::exec();
}
