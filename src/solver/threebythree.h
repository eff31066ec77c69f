#pragma once

// Every 3 x 3 board's fewest Hard moves, found once by a breadth-first search from the solved
// board (the blank at the top left) over the 181,440 boards sliding reaches: 9! bytes, a few
// milliseconds to build.
//
// Boards are held as the game deals them (see easypar.h).

#include <cstdint>
#include <span>
#include <vector>

namespace tilmora::solver {

class ThreeByThreeDistances
{
public:
    ThreeByThreeDistances();

    // The fewest Hard moves home; -1 for a board sliding cannot solve.
    [[nodiscard]] int distance(std::span<const int> cells) const;
    // A piece next to the blank whose move brings the board one move nearer home; 0 when solved
    // (or unsolvable).
    [[nodiscard]] int hintPiece(std::span<const int> cells) const;

private:
    std::vector<std::uint8_t> distances_; // by the board's rank among the 9! orders
};

} // namespace tilmora::solver
