// The rules written again, apart from the game: triangle, start position, legal jumps, a winning search.
#include "fuzz/peg_rules.h"

#include <bit>
#include <unordered_set>

namespace tori::test {

Square squareOf(int index, int keta) {
    return {int16_t((index - 1) % keta + 1), int16_t((index - 1) / keta + 1)};
}

bool inTriangle(int index, int keta) {
    if (index < 1 || index > keta * keta) return false;
    const Square s = squareOf(index, keta);
    return s.col + s.row <= keta + 1;
}

Squares startPosition(int keta) {
    Squares pins = 0;
    for (int i = 1; i <= keta * keta; ++i)
        if (inTriangle(i, keta)) pins |= bit(i);
    return pins & ~bit(keta * keta - keta + 1);
}

int countOf(Squares pins) { return std::popcount(pins); }

std::vector<Jump> legalJumps(Squares pins, int keta, bool ordinary) {
    // The eight directions by index offset: destination, jumped square, and whether the jumped
    // index is bounded by lastcell from above (else it must be positive).
    const int n = keta;
    const struct {
        int to, over;
        bool upperBound;
    } directions[] = {
        {2 * n - 2, n - 1, true}, {2 * n + 2, n + 1, true}, {-2 * n - 2, -n - 1, false}, {-2 * n + 2, -n + 1, false},
        {-2, -1, false},          {2, 1, true},             {-2 * n, -n, false},         {2 * n, n, true},
    };
    std::vector<Jump> out;
    for (int p = 1; p <= n * n; ++p) {
        if (!(pins & bit(p))) continue;
        for (const auto& d : directions) {
            const int to = p + d.to, over = p + d.over;
            if (!inTriangle(to, n) || (pins & bit(to))) continue;
            if (d.upperBound ? over > kLastcell : over < 1) continue;
            if (over > kPinButtons || !(pins & bit(over))) continue;
            const Square f = squareOf(p, n), o = squareOf(over, n), t = squareOf(to, n);
            if (ordinary && (t.col - f.col != 2 * (o.col - f.col) || t.row - f.row != 2 * (o.row - f.row))) continue;
            out.push_back({int16_t(p), int16_t(over), int16_t(to)});
        }
    }
    return out;
}

Squares apply(Squares pins, const Jump& j) { return (pins & ~bit(j.from) & ~bit(j.over)) | bit(j.to); }

namespace {

bool search(Squares pins, int keta, std::vector<Jump>& line, std::unordered_set<Squares>& dead) {
    if (countOf(pins) == 1) return true;
    if (dead.contains(pins)) return false;
    for (const Jump& j : legalJumps(pins, keta)) {
        line.push_back(j);
        if (search(apply(pins, j), keta, line, dead)) return true;
        line.pop_back();
    }
    dead.insert(pins);
    return false;
}

}  // namespace

std::optional<std::vector<Jump>> findWin(Squares pins, int keta) {
    std::vector<Jump> line;
    std::unordered_set<Squares> dead;
    if (search(pins, keta, line, dead)) return line;
    return std::nullopt;
}

}  // namespace tori::test
