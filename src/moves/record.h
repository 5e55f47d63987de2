// The one text form of a move, as the move list, redo and the clipboard show it.
#pragma once

#include <cstdint>
#include <string>

namespace tori {

// For example "1 手目 (3,3) ---> (1,5)".
inline std::string recordLine(int16_t t, int16_t fromx, int16_t fromy, int16_t tox, int16_t toy) {
    using std::to_string;
    return to_string(t) + " 手目 (" + to_string(fromx) + "," + to_string(fromy) + ") ---> (" + to_string(tox) +
           "," + to_string(toy) + ")";
}

}  // namespace tori
