#include "threebythree.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <deque>
#include <utility>

namespace tilmora::solver {

namespace {

constexpr int kSide = 3;
constexpr int kCells = kSide * kSide;
constexpr std::size_t kOrders = 362880; // 9!
constexpr std::uint8_t kUnreached = 0xFF;

using Board = std::array<int, kCells>;

// The board's place among all orders of nine pieces (its Lehmer code read as a factorial number).
std::size_t rankOf(std::span<const int> cells)
{
    std::size_t rank = 0;
    for (std::size_t i = 0; i < kCells; ++i) {
        std::size_t smallerAfter = 0;
        for (std::size_t j = i + 1; j < kCells; ++j)
            smallerAfter += cells[j] < cells[i] ? 1U : 0U;
        rank = rank * (kCells - i) + smallerAfter;
    }
    return rank;
}

// The cells next to `cell` (up to four), -1 where the board ends.
std::array<int, 4> neighbours(int cell)
{
    const int row = cell / kSide;
    const int column = cell % kSide;
    return {row > 0 ? cell - kSide : -1, row < kSide - 1 ? cell + kSide : -1, column > 0 ? cell - 1 : -1,
            column < kSide - 1 ? cell + 1 : -1};
}

int blankOf(std::span<const int> cells)
{
    for (int cell = 0; cell < kCells; ++cell) {
        if (cells[static_cast<std::size_t>(cell)] == 1)
            return cell;
    }
    return -1;
}

} // namespace

ThreeByThreeDistances::ThreeByThreeDistances()
    : distances_(kOrders, kUnreached)
{
    Board home{};
    for (int cell = 0; cell < kCells; ++cell)
        home[static_cast<std::size_t>(cell)] = cell + 1;
    distances_[rankOf(home)] = 0;
    for (std::deque<Board> queue{home}; !queue.empty(); queue.pop_front()) {
        const Board board = queue.front();
        const auto distance = distances_[rankOf(board)];
        const int blank = blankOf(board);
        for (const int from : neighbours(blank)) {
            if (from < 0)
                continue;
            Board next = board;
            std::swap(next[static_cast<std::size_t>(blank)], next[static_cast<std::size_t>(from)]);
            auto& known = distances_[rankOf(next)];
            if (known == kUnreached) {
                known = static_cast<std::uint8_t>(distance + 1);
                queue.push_back(next);
            }
        }
    }
}

int ThreeByThreeDistances::distance(std::span<const int> cells) const
{
    const auto known = distances_[rankOf(cells)];
    return known == kUnreached ? -1 : known;
}

int ThreeByThreeDistances::hintPiece(std::span<const int> cells) const
{
    const int now = distance(cells);
    if (now <= 0)
        return 0;
    const int blank = blankOf(cells);
    Board board{};
    std::ranges::copy(cells, board.begin());
    for (const int from : neighbours(blank)) {
        if (from < 0)
            continue;
        Board next = board;
        std::swap(next[static_cast<std::size_t>(blank)], next[static_cast<std::size_t>(from)]);
        if (distance(next) == now - 1)
            return board[static_cast<std::size_t>(from)];
    }
    return 0;
}

} // namespace tilmora::solver
