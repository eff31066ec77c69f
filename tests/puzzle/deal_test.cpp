#include "puzzle/deal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <numeric>
#include <unordered_set>

namespace tilmora::puzzle {
namespace {

using Board = std::vector<int>; // the piece in each cell, in reading order

// A board of side 2 or 3 as the number its pieces spell in reading order: 123456789 is home on 3x3.
int number(const Board& board)
{
    return std::accumulate(board.begin(), board.end(), 0,
                           [](int sum, int piece) { return sum * 10 + piece; });
}

Board homeBoard(int n)
{
    Board board(static_cast<std::size_t>(n * n));
    std::iota(board.begin(), board.end(), 1);
    return board;
}

// The boards that sliding pieces into the blank reaches from the home board of side n, breadth first.
std::unordered_set<int> reachable(int n)
{
    std::unordered_set<int> seen{number(homeBoard(n))};
    for (std::deque<Board> queue{homeBoard(n)}; !queue.empty(); queue.pop_front()) {
        const Board& board = queue.front();
        const int blank = static_cast<int>(std::ranges::find(board, 1) - board.begin());
        for (const int cell :
             {blank - n, blank + n, blank % n > 0 ? blank - 1 : -1, blank % n < n - 1 ? blank + 1 : -1}) {
            if (cell < 0 || cell >= n * n)
                continue;
            Board next = board;
            std::iter_swap(next.begin() + blank, next.begin() + cell);
            if (seen.insert(number(next)).second)
                queue.push_back(next);
        }
    }
    return seen;
}

// isSolvable is true exactly for the boards sliding reaches: all 4! boards of 2x2 and all 9! of 3x3.
TEST(Deal, IsSolvableExactlyWhenSlidingReachesTheBoard)
{
    for (const int n : {2, 3}) {
        const auto solvable = reachable(n);
        Board board = homeBoard(n);
        std::size_t boards = 0;
        do {
            ASSERT_EQ(isSolvable(board, n), solvable.contains(number(board))) << number(board);
            ++boards;
        } while (std::ranges::next_permutation(board).found);
        EXPECT_EQ(solvable.size() * 2, boards);
    }
}

// Every deal is a solvable board but the home one, and they come up equally often: on 2x2 each of the
// 11 boards, on 3x3 each filling of the first two cells as often as among all 181439 (by chi-square).
TEST(Deal, DealsEverySolvableStartEquallyOften)
{
    RandomEngine random(5);
    for (const auto& [n, cells, deals] : {std::tuple{2, 4, 22000}, std::tuple{3, 2, 36000}}) {
        auto starts = reachable(n);
        starts.erase(number(homeBoard(n)));
        const int rest = static_cast<int>(std::pow(10, n * n - cells)); // drops the cells after those
        std::map<int, double> expected;
        for (const int start : starts)
            expected[start / rest] += deals / static_cast<double>(starts.size());
        std::map<int, double> observed;
        for (int deal = 0; deal < deals; ++deal) {
            const Board board = dealSolvableBoard(n, random);
            ASSERT_TRUE(starts.contains(number(board))) << number(board);
            observed[number(board) / rest] += 1;
        }
        double chiSquare = 0;
        for (const auto& [filling, count] : expected)
            chiSquare += std::pow(observed[filling] - count, 2) / count;
        // Six standard deviations above the mean: a fair deal does not get there (and the seed is fixed).
        const auto freedom = static_cast<double>(expected.size() - 1);
        EXPECT_LT(chiSquare, freedom + 6 * std::sqrt(2 * freedom));
    }
}

} // namespace
} // namespace tilmora::puzzle
