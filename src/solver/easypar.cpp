#include "easypar.h"

#include <cstddef>
#include <vector>

namespace tilmora::solver {

int easyFewestMoves(std::span<const int> cells)
{
    const std::size_t count = cells.size();
    std::vector<bool> seen(count, false);
    int cycles = 0;
    int longCyclesWithoutBlank = 0;
    for (std::size_t start = 0; start < count; ++start) {
        if (seen[start])
            continue;
        ++cycles;
        std::size_t length = 0;
        bool holdsBlank = false;
        // Follow each piece to its home cell until the cycle closes.
        for (std::size_t cell = start; !seen[cell]; cell = static_cast<std::size_t>(cells[cell] - 1)) {
            seen[cell] = true;
            holdsBlank = holdsBlank || cells[cell] == 1;
            ++length;
        }
        if (length >= 2 && !holdsBlank)
            ++longCyclesWithoutBlank;
    }
    return static_cast<int>(count) - cycles + 2 * longCyclesWithoutBlank;
}

int easyHintPiece(std::span<const int> cells)
{
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        if (cells[cell] == 1 && cell != 0)
            return static_cast<int>(cell) + 1; // the piece that belongs where the blank is
    }
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        if (cells[cell] != static_cast<int>(cell) + 1)
            return cells[cell];
    }
    return 0;
}

} // namespace tilmora::solver
