// Replaying a record with the game's jump rules, with a message for the first move the game refuses.
#include "solver/replay.h"

namespace tori::solver {

std::variant<Position, RecordError> replay(const Board& board, const Record& record) {
    Position pos = board.start();
    for (const RecordedMove& m : record.moves) {
        const std::string from = squareText(m.fromCol, m.fromRow), to = squareText(m.toCol, m.toRow);
        if (!board.inTriangle(m.fromCol, m.fromRow))
            return RecordError{m.line, "マス目 " + from + " は " + std::to_string(board.keta()) +
                                           "桁の盤の三角形の外です。"};
        if (!board.inTriangle(m.toCol, m.toRow))
            return RecordError{m.line, "マス目 " + to + " は " + std::to_string(board.keta()) +
                                           "桁の盤の三角形の外です。"};
        const int fromBit = board.bitOf(board.pinIndex(m.fromCol, m.fromRow));
        const int toBit = board.bitOf(board.pinIndex(m.toCol, m.toRow));
        if (!(pos >> fromBit & 1)) return RecordError{m.line, from + " にピンがありません。"};
        if (pos >> toBit & 1) return RecordError{m.line, to + " にはもうピンがあります。"};
        const Jump* jump = board.jumpBetween(fromBit, toBit);
        if (!jump) return RecordError{m.line, from + " から " + to + " へは跳べません。"};
        if (!(pos >> jump->over & 1))
            return RecordError{m.line, from + " から " + to + " へ跳ぶには " +
                                           squareText(board.col(jump->over), board.row(jump->over)) +
                                           " にピンが要ります。"};
        pos = Board::apply(pos, *jump);
    }
    return pos;
}

std::string moveLine(const Board& board, int number, const Jump& jump) {
    return recordLine(int16_t(number), int16_t(board.col(jump.from)), int16_t(board.row(jump.from)),
                      int16_t(board.col(jump.to)), int16_t(board.row(jump.to)));
}

}  // namespace tori::solver
