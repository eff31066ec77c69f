#pragma once

// A lower bound on the fewest Hard moves (neighbours only) for a board of any size: each piece's
// distance from home in rows and columns, plus two moves for each piece that must leave its row
// (or column) to let another piece of that line pass it (linear conflicts).
//
// The board is held as the game deals it (see easypar.h): the piece in each cell in reading order,
// piece 1 the blank, piece k at home in cell k - 1.

#include <span>

namespace tilmora::solver {

// Never above the fewest Hard moves; n is the side, cells.size() == n * n.
[[nodiscard]] int slidingLowerBound(int n, std::span<const int> cells);

} // namespace tilmora::solver
