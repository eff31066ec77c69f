#pragma once

// The tables that make the 4 x 4 Hard search exact and quick: additive pattern databases after
// Korf and Felner. The fifteen pieces fall into three groups by their home cells (the two lower
// 2 x 3 blocks and the rest of the top row); for every placement of a group's pieces a table holds
// the fewest moves of that group's own pieces that bring them home, however the blank and the other
// pieces stand. A move moves one piece, so the three counts add up to a lower bound on the fewest
// moves; the same tables read on the board mirrored in its diagonal (which keeps the blank's home
// where it is) give a second bound, and the larger is taken.
//
// 5,765,760 + 5,765,760 + 3,360 bytes (11 MiB), built once by a breadth-first search in seconds;
// off the window's thread, stoppable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <vector>

namespace tilmora::solver {

// Where each piece stands: element k is the cell (0..15, reading order) of piece k; element 0
// is unused and piece 1 is the blank.
using CellsOfPieces = std::array<int, 17>;

class FourByFourTables
{
public:
    static constexpr int kGroups = 3;

    // Builds the tables; nullptr when `stop` was requested before they were done.
    [[nodiscard]] static std::shared_ptr<const FourByFourTables> build(const std::stop_token& stop);

    // Never above the fewest Hard moves of a 4 x 4 board held as the game deals it (see easypar.h).
    [[nodiscard]] int lowerBound(std::span<const int> cells) const;

    // For the search, which keeps the sums up to date move by move: one group's count on the board
    // as it is, or mirrored in its diagonal.
    [[nodiscard]] int groupCount(int group, const CellsOfPieces& where) const;
    [[nodiscard]] int mirroredGroupCount(int group, const CellsOfPieces& where) const;
    // The group a piece (2..16) belongs to, and the group its mirror image belongs to.
    [[nodiscard]] static int groupOf(int piece);
    [[nodiscard]] static int mirroredGroupOf(int piece);

    // The memory the tables hold.
    [[nodiscard]] std::size_t bytes() const;

private:
    FourByFourTables() = default;

    std::array<std::vector<std::uint8_t>, kGroups> tables_;
};

} // namespace tilmora::solver
