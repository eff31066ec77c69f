#include "lowerbound.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tilmora::solver {

namespace {

// The length of the longest strictly increasing run (not necessarily contiguous) in `values`.
int longestIncreasing(const std::vector<int>& values)
{
    std::vector<int> tails;
    for (const int value : values) {
        const auto place = std::ranges::lower_bound(tails, value);
        if (place == tails.end())
            tails.push_back(value);
        else
            *place = value;
    }
    return static_cast<int>(tails.size());
}

// Pieces that stand in a line they belong in keep their order while they stay in it, so all but a
// longest run in the right order must step out of the line and back: two moves each, across the
// line, which no row-or-column distance already counts.
int lineConflicts(int n, std::span<const int> cells, bool rows)
{
    int extra = 0;
    for (int line = 0; line < n; ++line) {
        std::vector<int> homesAlong; // where along the line each piece that belongs here is at home
        for (int along = 0; along < n; ++along) {
            const int cell = rows ? line * n + along : along * n + line;
            const int home = cells[static_cast<std::size_t>(cell)] - 1;
            if (home == 0)
                continue; // the blank
            if ((rows ? home / n : home % n) == line)
                homesAlong.push_back(rows ? home % n : home / n);
        }
        extra += 2 * (static_cast<int>(homesAlong.size()) - longestIncreasing(homesAlong));
    }
    return extra;
}

} // namespace

int slidingLowerBound(int n, std::span<const int> cells)
{
    int distance = 0;
    for (int cell = 0; cell < n * n; ++cell) {
        const int home = cells[static_cast<std::size_t>(cell)] - 1;
        if (home != 0)
            distance += std::abs(cell / n - home / n) + std::abs(cell % n - home % n);
    }
    return distance + lineConflicts(n, cells, true) + lineConflicts(n, cells, false);
}

} // namespace tilmora::solver
