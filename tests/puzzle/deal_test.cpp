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

// The boards that sliding pieces into the blank reaches from the home board, breadth first.
std::unordered_set<int> reachable(const Board& home, int n)
{
    std::unordered_set<int> seen{number(home)};
    for (std::deque<Board> queue{home}; !queue.empty(); queue.pop_front()) {
        const Board& board = queue.front();
        const int blank = static_cast<int>(std::ranges::find(board, 1) - board.begin());
        for (const int cell : {blank - n, blank - 1, blank + 1, blank + n}) {
            Board next = board;
            if (cell >= 0 && cell < n * n && (cell / n == blank / n || cell % n == blank % n))
                std::iter_swap(next.begin() + blank, next.begin() + cell);
            if (seen.insert(number(next)).second)
                queue.push_back(next);
        }
    }
    return seen;
}

// On 2x2 and 3x3 isSolvable is true exactly for the boards sliding reaches (all 4! and 9! boards), and
// the deals are those boards but the home one, all equally often (by chi-square): on 2x2 each of the 11
// boards, on 3x3 each filling of the first two cells as often as among all 181439.
TEST(Deal, DealsAreUniformOverTheBoardsSlidingReaches)
{
    RandomEngine random(5);
    EXPECT_EQ(MakeRandomOrder(1, random), Board{1}); // the shuffle under the deal, down to a single piece
    for (const auto& [n, cells, deals] : {std::tuple{2, 4, 22000}, std::tuple{3, 2, 36000}}) {
        Board board(static_cast<std::size_t>(n * n));
        std::iota(board.begin(), board.end(), 1);
        auto starts = reachable(board, n);
        do {
            ASSERT_EQ(isSolvable(board, n), starts.contains(number(board))) << number(board);
        } while (std::ranges::next_permutation(board).found);
        starts.erase(number(board)); // the home board again, where the permutations wrapped round
        const int rest = static_cast<int>(std::pow(10, n * n - cells)); // drops the cells after the first
        std::map<int, double> expected;
        for (const int start : starts)
            expected[start / rest] += deals / static_cast<double>(starts.size());
        std::map<int, double> observed;
        for (int deal = 0; deal < deals; ++deal) {
            const int dealt = number(dealSolvableBoard(n, random));
            ASSERT_TRUE(starts.contains(dealt)) << dealt;
            observed[dealt / rest] += 1;
        }
        double chiSquare = 0;
        for (const auto& [filling, count] : expected)
            chiSquare += std::pow(observed[filling] - count, 2) / count;
        const auto freedom = static_cast<double>(expected.size() - 1);
        EXPECT_LT(chiSquare, freedom + 6 * std::sqrt(2 * freedom)); // six deviations above the mean
    }
}

} // namespace
} // namespace tilmora::puzzle
