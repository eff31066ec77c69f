#pragma once

// A way home on Hard for a board of any size, found the way a person solves a large board: the
// bottom row first, piece by piece (its last two pieces together), then the next row up, until two
// rows are left; then those two rows column by column from the right, and last the 2 x 2 corner
// round the blank's home. Each step moves only the pieces not yet settled, by a breadth-first search
// over where its one or two pieces and the blank stand. It always finishes, in milliseconds, but the
// way is not the shortest.
//
// Boards are held as the game deals them (see easypar.h).

#include <span>
#include <vector>

namespace tilmora::solver {

// The pieces to move, in order, each next to the blank when its turn comes; empty for a solved
// board, and also for one sliding cannot solve (whose last step finds no way).
[[nodiscard]] std::vector<int> rowByRowMoves(int n, std::span<const int> cells);

} // namespace tilmora::solver
