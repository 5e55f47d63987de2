// Plays hundreds of games in one run of the real windows (offscreen) and checks that memory stays flat: a test.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>

#include "fuzz/peg_rules.h"
#include "game/rules.h"
#include "offscreen.h"
#include "qt/look.h"
#include "qt_game.h"

using tori::Menu;
using tori::qt::test::BoxAnswerer;

namespace {

using tori::test::Jump;

// AddressSanitizer holds freed memory back and pads every block, so that resident memory tells nothing
// there; LeakSanitizer looks for leaks instead, and the objects and the games are checked as anywhere.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentTells = false;
#elif defined(__has_feature)
constexpr bool kResidentTells = !__has_feature(address_sanitizer);
#else
constexpr bool kResidentTells = true;
#endif

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int qobjectCount(const QObject* o) {
    int count = 1;
    for (const QObject* child : o->children()) count += qobjectCount(child);
    return count;
}

int everyObject() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) count += qobjectCount(w);
    return count;
}

int wins = 0;
long jumps = 0;

class Player {
public:
    Player() {
        game.start();
        for (int n = tori::kMinKeta; n <= tori::kMaxKeta; ++n)
            games_[size_t(n - tori::kMinKeta)] = tori::test::findWin(tori::test::startPosition(n), n).value();
    }

    // One size choice and one full game with an undo, a redo and a copy; the win is answered はい, as the
    // player would, from inside the question's modal loop.
    void playOne(int n) {
        choose(n);
        const auto& moves = games_[size_t(n - tori::kMinKeta)];
        for (size_t i = 0; i + 1 < moves.size(); ++i) {
            if (i == 3) {
                menu(Menu::menuundo);
                menu(Menu::menuredo);
                menu(Menu::menuclipbordcopy);
            }
            jump(n, moves[i]);
        }
        BoxAnswerer answerer;
        answerer.answers = {"はい(&Y)"};
        answering_ = true;
        jump(n, moves.back());
        answering_ = false;
        if (answerer.seen.size() == 1 && answerer.seen[0].buttons.contains("はい(&Y)")) ++wins;
    }

    // The winning question is on its way or open.
    bool answering() const { return answering_; }

    void restartHalfway(int n) {
        choose(n);
        const auto& moves = games_[size_t(n - tori::kMinKeta)];
        for (size_t i = 0; i < moves.size() / 2; ++i) jump(n, moves[i]);
        menu(Menu::menurestart);
        QApplication::processEvents();
    }

    tori::qt::test::QtGame game;

private:
    void choose(int n) {
        menu(Menu::ketasu, int16_t(n - tori::kMinKeta));
        QApplication::processEvents();
    }
    void menu(Menu m, int16_t index = 0) {
        emit game.tk.menu(Menu::menumenu)->aboutToShow();
        game.tk.action(m, index)->trigger();
    }
    void jump(int n, const Jump& m) {
        ++jumps;
        const tori::test::Square from = tori::test::squareOf(m.from, n), to = tori::test::squareOf(m.to, n);
        game.play(from.col, from.row, to.col, to.row);
    }

    std::array<std::vector<Jump>, tori::kMaxKeta - tori::kMinKeta + 1> games_;
    bool answering_ = false;
};

// A dialog as the player sees it: its title and its text.
std::string describe(const QWidget* dialog) {
    std::string text = "\"" + dialog->windowTitle().toStdString() + "\"";
    if (const auto* box = qobject_cast<const QMessageBox*>(dialog)) text += " saying \"" + box->text().toStdString() + "\"";
    return text;
}

// Ends the run from inside whatever loop holds the games.
[[noreturn]] void blocked(const std::string& why) {
    std::printf("FAIL: %s\n", why.c_str());
    std::fflush(stdout);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    tori::qt::test::prepareOffscreen();
    QApplication app(argc, argv);
    tori::qt::setUpJapanese(app);
    Player player;

    // Four times a second, also inside a dialog's own loop: a dialog other than the winning question
    // ends the run at once, and so do ten seconds without a jump.
    QTimer watchdog;
    QElapsedTimer still;
    long seen = -1;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        const QWidget* dialog = QApplication::activeModalWidget();
        if (dialog && !player.answering()) blocked("the games are blocked by the dialog " + describe(dialog));
        if (jumps != seen) {
            seen = jumps;
            still.start();
        } else if (still.elapsed() > 10000) {
            blocked("no jump for ten seconds" + (dialog ? ", the dialog " + describe(dialog) + " open" : std::string()));
        }
    });
    watchdog.start(250);

    auto round = [&](int games) {
        for (int g = 0; g < games; ++g) {
            const int n = tori::kMinKeta + g % 3;
            player.playOne(n);
            if (g % 10 == 9) player.restartHalfway(n);
        }
    };
    round(30);  // warm-up: fonts, caches and the allocator settle
    if (wins != 30) {
        std::printf("FAIL: %d of 30 games were won\n", wins);
        return 1;
    }
    const long baseline = residentKiB();
    const int objects = everyObject();
    long highest = baseline;
    bool failed = false;
    for (int r = 0; r < 10; ++r) {
        round(21);
        highest = std::max(highest, residentKiB());
        const int nowObjects = everyObject();
        std::printf("after %3d more games: resident %ld KiB (%+ld), %d objects\n", 21 * (r + 1), residentKiB(),
                    residentKiB() - baseline, nowObjects);
        if (nowObjects != objects) {
            std::printf("FAIL: the windows held %d objects after the warm-up and %d now\n", objects, nowObjects);
            failed = true;
        }
        if (player.game.tk.listCount() != 0 || player.game.state.tesuu != 0) {
            std::printf("FAIL: a won game answered はい left %d lines and move %d\n", player.game.tk.listCount(),
                        player.game.state.tesuu);
            failed = true;
        }
    }
    // Over 210 games a leak of a few kilobytes per game (a retained picture, list lines, widgets) passes this
    // bound; the allocator's own noise stays well below it.
    constexpr long kToleranceKiB = 512;
    if (kResidentTells && highest - baseline > kToleranceKiB) {
        std::printf("FAIL: resident memory grew by %ld KiB after the warm-up\n", highest - baseline);
        failed = true;
    }
    if (wins != 30 + 210) {
        std::printf("FAIL: %d of %d games were won\n", wins, 30 + 210);
        failed = true;
    }
    std::printf("%s: %d games won, resident after the warm-up %ld KiB, highest after it %ld KiB\n",
                failed ? "FAIL" : "PASS", wins, baseline, highest);
    return failed ? 1 : 0;
}
