"""The game's rules as a player knows them, to compute what the screen must show and to find winning games."""

LASTCELL = 43

# The eight jumps in the order the game tries them: (target offset, jumped offset, bound test on the jumped index),
# offsets as (rows, columns) on a board whose rows are n indices long.
DIRECTIONS = [
    ((+2, -2), (+1, -1), lambda j: j <= LASTCELL),
    ((+2, +2), (+1, +1), lambda j: j <= LASTCELL),
    ((-2, -2), (-1, -1), lambda j: j > 0),
    ((-2, +2), (-1, +1), lambda j: j >= 1),
    ((0, -2), (0, -1), lambda j: j > 0),
    ((0, +2), (0, +1), lambda j: j <= LASTCELL),
    ((-2, 0), (-1, 0), lambda j: j > 0),
    ((+2, 0), (+1, 0), lambda j: j <= LASTCELL),
]


def index(col, row, n):
    return (row - 1) * n + col


def square(p, n):
    col, row = p % n, p // n + 1
    return (n, row - 1) if col == 0 else (col, row)


def in_triangle(col, row, n):
    return 1 <= col <= n and 1 <= row <= n and col + row <= n + 1


def triangle(n):
    return [index(c, r, n) for r in range(1, n + 1) for c in range(1, n + 1) if in_triangle(c, r, n)]


def start_position(n):
    return frozenset(p for p in triangle(n) if p != index(1, n, n))


def jumped(p, d, n):
    """The index jumped over when the pin at p lands on d, by the first matching direction, or None."""
    for (tr, tc), (jr, jc), bound in DIRECTIONS:
        if d == p + tr * n + tc:
            j = p + jr * n + jc
            return j if bound(j) else None
    return None


def legal_moves(pins, n):
    empty = [d for d in triangle(n) if d not in pins]
    for p in sorted(pins):
        for d in empty:
            j = jumped(p, d, n)
            if j is not None and j in pins:
                yield p, d, j


def play(pins, move, n):
    p, d = move
    j = jumped(p, d, n)
    assert j is not None and j in pins and p in pins and d not in pins, f"illegal move {move}"
    return (pins - {p, j}) | {d}


def record_line(t, move, n):
    (fx, fy), (tx, ty) = square(move[0], n), square(move[1], n)
    return f"{t} 手目 ({fx},{fy}) ---> ({tx},{ty})"


def winning_game(n):
    """A list of (from, to) pin indices that leaves one pin, found by a depth-first search."""
    dead = set()

    def search(pins):
        if len(pins) == 1:
            return []
        if pins in dead:
            return None
        for p, d, _ in legal_moves(pins, n):
            rest = search(play(pins, (p, d), n))
            if rest is not None:
                return [(p, d)] + rest
        dead.add(pins)
        return None

    game = search(start_position(n))
    assert game is not None, f"no winning game on {n}x{n}"
    return game


if __name__ == "__main__":
    for size in (5, 6, 7):
        print(size, [record_line(t, m, size) for t, m in enumerate(winning_game(size), 1)])
