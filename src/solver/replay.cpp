// Replaying a record with the game's jump rules, with a message for the first move the game refuses.
#include "solver/replay.h"

namespace tori::solver {

std::variant<std::vector<Position>, RecordError> replay(const Board& board, const Record& record) {
    std::vector<Position> line{board.start()};
    for (const RecordedMove& m : record.moves) {
        const Position pos = line.back();
        const std::string from = squareText(m.fromCol, m.fromRow), to = squareText(m.toCol, m.toRow);
        auto offBoard = [&](const std::string& square) {
            const std::string keta = std::to_string(board.keta());
            return RecordError{m.line, "マス目 " + square + " は " + keta + "桁の盤の三角形の外です。",
                               "The square " + square + " is outside the triangle of the " + keta + " x " + keta +
                                   " board."};
        };
        if (!board.inTriangle(m.fromCol, m.fromRow)) return offBoard(from);
        if (!board.inTriangle(m.toCol, m.toRow)) return offBoard(to);
        const int fromBit = board.bitOf(board.pinIndex(m.fromCol, m.fromRow));
        const int toBit = board.bitOf(board.pinIndex(m.toCol, m.toRow));
        if (!(pos >> fromBit & 1))
            return RecordError{m.line, from + " にピンがありません。", "There is no pin on " + from + "."};
        if (pos >> toBit & 1)
            return RecordError{m.line, to + " にはもうピンがあります。", to + " already holds a pin."};
        const Jump* jump = board.jumpBetween(fromBit, toBit);
        if (!jump)
            return RecordError{m.line, from + " から " + to + " へは跳べません。",
                               "No jump leads from " + from + " to " + to + "."};
        if (!(pos >> jump->over & 1)) {
            const std::string over = squareText(board.col(jump->over), board.row(jump->over));
            return RecordError{m.line, from + " から " + to + " へ跳ぶには " + over + " にピンが要ります。",
                               "A jump from " + from + " to " + to + " needs a pin on " + over + "."};
        }
        line.push_back(Board::apply(pos, *jump));
    }
    return line;
}

std::string moveLine(const Board& board, int number, const Jump& jump) {
    return recordLine(int16_t(number), int16_t(board.col(jump.from)), int16_t(board.row(jump.from)),
                      int16_t(board.col(jump.to)), int16_t(board.row(jump.to)));
}

}  // namespace tori::solver
