#include "deal.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace tilmora::puzzle {

std::vector<int> MakeRandomOrder(int pieceCount, RandomEngine& random)
{
    assert(pieceCount >= 1);
    std::uniform_int_distribution<int> draw(1, pieceCount);
    std::vector<bool> taken(static_cast<std::size_t>(pieceCount) + 1, false);
    std::vector<int> pieceorder;
    pieceorder.reserve(static_cast<std::size_t>(pieceCount));
    for (int cell = 1; cell <= pieceCount; ++cell) {
        int piece = draw(random);
        while (taken[static_cast<std::size_t>(piece)])
            piece = draw(random);
        taken[static_cast<std::size_t>(piece)] = true;
        pieceorder.push_back(piece);
    }
    return pieceorder;
}

namespace {

// Parity of a permutation of 1..N, counted by its cycles: a cycle of length L is L - 1
// transpositions.
bool isOddPermutation(std::span<const int> order)
{
    std::vector<bool> seen(order.size(), false);
    std::size_t transpositions = 0;
    for (std::size_t start = 0; start < order.size(); ++start) {
        std::size_t length = 0;
        for (std::size_t at = start; !seen[at]; at = static_cast<std::size_t>(order[at] - 1)) {
            seen[at] = true;
            ++length;
        }
        if (length > 0)
            transpositions += length - 1;
    }
    return transpositions % 2 == 1;
}

} // namespace

bool isSolvable(std::span<const int> order, int n)
{
    const auto blank = std::find(order.begin(), order.end(), 1) - order.begin();
    const auto row = blank / n;
    const auto column = blank % n;
    const bool blankDistanceOdd = (row + column) % 2 == 1;
    return isOddPermutation(order) == blankDistanceOdd;
}

bool isHomeOrder(std::span<const int> order)
{
    for (std::size_t cell = 0; cell < order.size(); ++cell) {
        if (order[cell] != static_cast<int>(cell) + 1)
            return false;
    }
    return true;
}

std::vector<int> dealSolvableBoard(int n, RandomEngine& random)
{
    assert(n >= 2);
    for (;;) {
        auto pieceorder = MakeRandomOrder(n * n, random);
        if (!isSolvable(pieceorder, n)) {
            auto piece2 = std::find(pieceorder.begin(), pieceorder.end(), 2);
            auto piece3 = std::find(pieceorder.begin(), pieceorder.end(), 3);
            std::iter_swap(piece2, piece3);
        }
        if (!isHomeOrder(pieceorder))
            return pieceorder;
    }
}

} // namespace tilmora::puzzle
