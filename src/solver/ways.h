// The number of winning sequences: exact in 128 bits while it is summed, and kept in 80 bits for each
// position of the count's tables, the one place that packs and unpacks it.
#pragma once

#include <cstdint>

namespace tori::solver {

using Count = unsigned __int128;

// The ways to finish from one position, in 80 bits: no position reachable from a start has more ways
// than the start, and the start of the 7 x 7 board has about 6.4e20 (2^69). Ten bytes instead of
// sixteen keep the two largest levels of the 7 x 7 board under a gigabyte.
struct [[gnu::packed]] Ways {
    uint64_t low;
    uint16_t high;
};

static_assert(sizeof(Ways) == 10);

inline constexpr Count kMostWays = (Count{1} << 80) - 1;

// n at most kMostWays.
inline Ways pack(Count n) { return {.low = uint64_t(n), .high = uint16_t(n >> 64)}; }
inline Count unpack(const Ways& w) { return Count{w.high} << 64 | w.low; }

}  // namespace tori::solver
