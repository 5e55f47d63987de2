// libFuzzer entry: any bytes through the record reader and, when they replay, through the solver.
// Whatever comes in, the reader either names a line and a fault or yields moves the game accepts,
// and a continuation the solver prints reads back as a record that ends with one pin.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "moves/record.h"
#include "solver/analysis.h"
#include "solver/cli.h"
#include "solver/replay.h"
#include "solver/search.h"

using namespace tori;
using namespace tori::solver;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

struct Sizes {
    Board boards[3] = {Board(5), Board(6), Board(7)};
    // The solvers keep the positions they proved lost from one input to the next; that stays sound.
    Solver solvers[3] = {Solver(boards[0]), Solver(boards[1]), Solver(boards[2])};
};

void roundTrip(Sizes& sizes, const Record& record) {
    const Board& board = sizes.boards[record.keta - kMinKeta];
    const auto replayed = replay(board, record);
    if (const auto* e = std::get_if<RecordError>(&replayed)) {
        check(e->line >= 1 && !e->message.empty());
        return;
    }
    const Position pos = std::get<std::vector<Position>>(replayed).back();
    const Verdict v = sizes.solvers[record.keta - kMinKeta].solve(pos);
    if (!v.winnable) return;

    std::string lines;
    for (const RecordedMove& m : record.moves)
        lines += tori::recordLine(int16_t(m.number), int16_t(m.fromCol), int16_t(m.fromRow), int16_t(m.toCol),
                                  int16_t(m.toRow)) + "\n";
    int number = int(record.moves.size());
    for (const Jump& j : v.continuation) lines += moveLine(board, ++number, j) + "\n";
    const auto again = readRecord(lines, record.keta);
    check(std::holds_alternative<Record>(again));
    const auto end = replay(board, std::get<Record>(again));
    check(std::holds_alternative<std::vector<Position>>(end) && pins(std::get<std::vector<Position>>(end).back()) == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Sizes sizes;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::optional<int> keta : {std::optional<int>{}, std::optional<int>{5}, std::optional<int>{7}}) {
        const auto parsed = readRecord(text, keta);
        if (const auto* e = std::get_if<RecordError>(&parsed)) {
            check(e->line >= 0 && size_t(e->line) <= size + 1 && !describe(*e).empty());
            continue;
        }
        const Record& record = std::get<Record>(parsed);
        check(record.keta >= kMinKeta && record.keta <= kMaxKeta);
        roundTrip(sizes, record);
    }
    // The whole command on the same bytes: a record fault is exit status 2 with one line on stderr.
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--json", "--no-wrap", "--size", "6"}}) {
        std::istringstream in{std::string(text)};
        std::ostringstream out, err;
        const int status = runCommand(args, in, out, err);
        check(status == kExitOk ? err.str().empty() : status == kExitBadRecord && !err.str().empty());
    }
    return 0;
}
