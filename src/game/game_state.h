// The one record of game variables: board size, move input, move counters and the move history.
#pragma once

#include <array>
#include <cstdint>

namespace tori {

// Indexed by move number; index 0 never holds a move.
using History = std::array<int16_t, 31>;

struct GameState {
    int16_t keta = 0;      // board size 5, 6 or 7; 0 until the first choice
    int16_t picked = 0;    // -1 while a lifted pin waits for its destination
    int16_t tesuu = 0;     // current move number; already counts a lifted pin's move
    int16_t tesuumax = 0;  // highest move number redo may reach
    int16_t lastcell = 0;  // bound on the jumped-over index in four directions; kLastcell once loaded
    int16_t undoused = 0;  // -1 once undo or redo was used in this game
    int16_t curx = 0;      // the keyboard cursor's column and row on the board; 0 until the first board is
    int16_t cury = 0;      // laid out, (1,1) then. Shown exactly while Shape1 is visible

    History frompin{}, fromx{}, fromy{};
    History tox{}, toy{}, topin{};
    History overpin{};
    History redofrom{}, redoto{}, redoover{};

    // cellno[c][r] for column and row 1..7; row and column 0 are unused.
    std::array<std::array<int16_t, 8>, 8> cellno{};

    friend bool operator==(const GameState&, const GameState&) = default;
};

inline constexpr int16_t kTrue = -1, kFalse = 0;

// A move number that may index the history.
constexpr bool inHistory(int t) { return t >= 0 && t < int(History{}.size()); }

}  // namespace tori
