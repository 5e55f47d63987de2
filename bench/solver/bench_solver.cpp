// Timing and memory of the solver, one measurement per run so that the peak RSS belongs to it alone:
//   toripin_bench_solver classify N [T]   every position reachable from the start of N x N, won or not
//   toripin_bench_solver count N [T]      the same, then the number of winning move sequences
//   toripin_bench_solver positions K      K random reachable 7 x 7 positions, each solved on its own
//   toripin_bench_solver budget M K       the memory toripin-solve --figures would need for K random
//                                         winnable 7 x 7 positions after M moves
//   toripin_bench_solver losing K [--no-wrap]  the losing moves of K random lost 7 x 7 games
// T is the number of threads, one per core when left out.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "solver/analysis.h"
#include "solver/cli.h"
#include "solver/losing_move.h"
#include "solver/replay.h"
#include "solver/search.h"

using namespace tori::solver;

namespace {

double cpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double peakMiB() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

double wallSeconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

int classify(int keta, bool count, unsigned threads) {
    const Board board(keta);
    const double cpu0 = cpuSeconds(), wall0 = wallSeconds();
    const Classification c(board, board.start(), Workers{.threads = threads});
    const double cpu1 = cpuSeconds(), wall1 = wallSeconds();
    const unsigned used = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    std::printf("%dx%d classify, %u threads: reachable %llu, winnable %llu, cpu %.3f s, wall %.3f s, peak RSS %.1f MiB\n",
                keta, keta, used, static_cast<unsigned long long>(c.reachableCount()),
                static_cast<unsigned long long>(c.winnableCount()), cpu1 - cpu0, wall1 - wall0, peakMiB());
    if (!count) return 0;
    const auto sequences = c.winningSequences(~size_t{0});
    const double cpu2 = cpuSeconds(), wall2 = wallSeconds();
    std::printf("%dx%d count: winning sequences %s, tables %.1f MiB, cpu %.3f s, wall %.3f s, peak RSS %.1f MiB\n",
                keta, keta, toDecimal(*sequences.count).c_str(), double(sequences.bytesNeeded) / 1048576.0,
                cpu2 - cpu1, wall2 - wall1, peakMiB());
    return 0;
}

// A position met in play: `moves` random jumps from the start, fewer at a dead end.
Position randomPosition(const Board& board, int moves, std::mt19937& rng) {
    Position pos = board.start();
    for (int d = 0; d < moves; ++d) {
        std::vector<Jump> legal;
        board.forEachMove(pos, [&](const Jump& j) { legal.push_back(j); });
        if (legal.empty()) break;
        pos = Board::apply(pos, legal[rng() % legal.size()]);
    }
    return pos;
}

int positions(int count) {
    const Board board(7);
    std::mt19937 rng(20261207);
    std::vector<double> times;
    int won = 0, wrong = 0;
    for (int i = 0; i < count; ++i) {
        const Position pos = randomPosition(board, int(rng() % tori::kMostMoves), rng);
        const double t0 = wallSeconds();
        Solver solver(board);
        const Verdict v = solver.solve(pos);
        times.push_back(wallSeconds() - t0);
        // Check the answer's continuation, outside the timing.
        Position end = pos;
        for (const Jump& j : v.continuation) end = Board::apply(end, j);
        if (v.winnable) ++won;
        if (v.winnable && pins(end) != 1) ++wrong;
    }
    std::sort(times.begin(), times.end());
    std::printf("7x7 positions: %d solved, %d winnable, %d bad continuations; median %.3f ms, 99%% %.3f ms, "
                "worst %.3f ms; peak RSS %.1f MiB\n",
                count, won, wrong, times[times.size() / 2] * 1e3, times[times.size() * 99 / 100] * 1e3,
                times.back() * 1e3, peakMiB());
    return wrong == 0 ? 0 : 1;
}

// The whole program's estimate, as toripin-solve --figures makes it before counting.
int budget(int moves, int count) {
    const Board board(7);
    std::mt19937 rng(20261207u + unsigned(moves));
    size_t largest = 0;
    int within = 0;
    for (int won = 0; won < count;) {
        const Position pos = randomPosition(board, moves, rng);
        Solver solver(board);
        if (pins(pos) != board.squares() - 1 - moves || !solver.solve(pos).winnable) continue;
        ++won;
        const size_t needed = countWithin(Classification(board, pos), solver, 0).bytesNeeded;
        largest = std::max(largest, needed);
        within += needed <= kDefaultBudget;
    }
    std::printf("7x7 after %d moves: %d of %d winnable positions counted within %zu MB; the largest needs %.1f MB\n",
                moves, within, count, kDefaultBudget / 1000000, double(largest) / 1e6);
    return 0;
}

// K random 7 x 7 games played to their end by the game's rules, and the losing move of each lost one
// named as toripin-solve names it, under the rule set asked for. The slowest game's record goes to
// standard output, for toripin-solve under /usr/bin/time -v.
int losing(int count, RuleSet rules) {
    const Board game(7), board(7, rules);
    std::mt19937 rng(20261208);
    std::vector<double> times;
    std::vector<Jump> slowest;
    int lostAt = 0;
    while (int(times.size()) < count) {
        std::vector<Position> line{game.start()};
        std::vector<Jump> played;
        for (;;) {
            std::vector<Jump> legal;
            game.forEachMove(line.back(), [&](const Jump& j) { legal.push_back(j); });
            if (legal.empty()) break;
            played.push_back(legal[rng() % legal.size()]);
            line.push_back(Board::apply(line.back(), played.back()));
        }
        if (pins(line.back()) == 1) continue;
        const double t0 = wallSeconds();
        const auto lost = findLosingMove(board, line);
        times.push_back(wallSeconds() - t0);
        if (times.back() < *std::max_element(times.begin(), times.end())) continue;
        slowest = played;
        lostAt = lost ? lost->move : 0;
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::fprintf(stderr, "7x7 losing moves of %d lost games: median %.3f s, worst %.3f s (lost at move %d of %zu); "
                 "peak RSS %.1f MiB\n",
                 count, sorted[sorted.size() / 2], sorted.back(), lostAt, slowest.size(), peakMiB());
    std::printf("プレイ日: -\r\n桁数: 7桁 \r\n\r\n");
    for (size_t i = 0; i < slowest.size(); ++i) std::printf("%s\r\n", moveLine(game, int(i) + 1, slowest[i]).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if ((args.size() == 2 || args.size() == 3) && (args[0] == "classify" || args[0] == "count")) {
        const int keta = std::stoi(args[1]);
        const int threads = args.size() == 3 ? std::stoi(args[2]) : 0;
        if (keta >= tori::kMinKeta && keta <= tori::kMaxKeta && threads >= 0)
            return classify(keta, args[0] == "count", unsigned(threads));
    }
    if (args.size() == 2 && args[0] == "positions") return positions(std::max(1, std::stoi(args[1])));
    if (args.size() == 3 && args[0] == "budget")
        return budget(std::clamp(std::stoi(args[1]), 0, int(tori::kMostMoves)), std::max(1, std::stoi(args[2])));
    if ((args.size() == 2 || (args.size() == 3 && args[2] == "--no-wrap")) && args[0] == "losing")
        return losing(std::max(1, std::stoi(args[1])), args.size() == 3 ? RuleSet::ordinary : RuleSet::game);
    std::fputs("usage: toripin_bench_solver classify N [THREADS] | count N [THREADS] | positions K | budget M K | "
               "losing K [--no-wrap]\n",
               stderr);
    return 1;
}
