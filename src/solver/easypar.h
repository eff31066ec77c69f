#pragma once

// The fewest moves on Easy, where any piece may jump into the blank cell.
//
// A board is given as the game deals it: `cells` holds, for each cell in reading order, the number
// of the piece standing there (1..n*n); piece 1 is the blank and piece k belongs in cell k - 1.
// A move swaps the blank with any piece, so a game is a sorting of the permutation by swaps with
// one fixed element, whose cost is known exactly: n - c + 2k for n cells, c cycles (fixed points
// included) and k cycles of two or more cells that do not hold the blank.

#include <span>

namespace tilmora::solver {

// The fewest Easy moves that put every piece home.
[[nodiscard]] int easyFewestMoves(std::span<const int> cells);

// A piece whose move lies on a shortest Easy way home: while the blank is away from its home, the
// piece that belongs in the blank's cell; with the blank home, the first piece out of place.
// 0 when the board is solved.
[[nodiscard]] int easyHintPiece(std::span<const int> cells);

} // namespace tilmora::solver
