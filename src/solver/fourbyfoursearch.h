#pragma once

// The fewest Hard moves on a 4 x 4 board, exactly: iterative-deepening A* (Korf, 1985) guided by
// the pattern tables (fourbyfourtables.h). Korf's 100 random boards are solved in milliseconds to
// seconds each; the search is run off the window's thread and stopped when the board it is for
// goes away.
//
// Boards are held as the game deals them (see easypar.h).

#include "fourbyfourtables.h"

#include <cstdint>
#include <span>
#include <stop_token>
#include <vector>

namespace tilmora::solver {

struct FourByFourSolution {
    enum class Outcome {
        Solved,     // `moves` is a shortest way home
        Stopped,    // the caller stopped the search
        OverBudget, // more boards than the budget were looked at
    };
    Outcome outcome = Outcome::Stopped;
    std::vector<int> moves;      // the pieces to move, in order, each next to the blank in its turn
    std::uint64_t positions = 0; // boards looked at
};

// Searches for a shortest way home; looks at no more than `positionBudget` boards (the caller's
// limit on time, kept independent of the machine's speed). Precondition: the board can be solved.
[[nodiscard]] FourByFourSolution solveFourByFour(const FourByFourTables& tables, std::span<const int> cells,
                                                 const std::stop_token& stop, std::uint64_t positionBudget);

} // namespace tilmora::solver
