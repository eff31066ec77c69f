// The solver against facts found apart from it: breadth-first searches over every small board,
// the published counts of 8-puzzle positions by distance, and Korf's published optimal lengths.

#include "puzzle/deal.h"
#include "solver/easypar.h"
#include "solver/fourbyfoursearch.h"
#include "solver/lowerbound.h"
#include "solver/rowbyrow.h"
#include "solver/threebythree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <numeric>
#include <thread>
#include <unordered_map>

namespace tilmora::solver {
namespace {

using Board = std::vector<int>; // the piece in each cell in reading order; piece 1 is the blank
using Distances = std::unordered_map<std::uint64_t, int>;

std::uint64_t key(const Board& board)
{
    return std::accumulate(board.begin(), board.end(), std::uint64_t{0},
                           [](std::uint64_t sum, int piece) { return sum * 16 + std::uint64_t(piece - 1); });
}

Board home(int n)
{
    Board board(std::size_t(n * n));
    std::iota(board.begin(), board.end(), 1);
    return board;
}

int blankOf(const Board& board)
{
    return int(std::ranges::find(board, 1) - board.begin());
}

bool adjacent(int a, int b, int n)
{
    return (a / n == b / n && std::abs(a - b) == 1) || std::abs(a - b) == n;
}

// Every board reachable from home and its fewest moves, by breadth first search: Easy lets any
// cell trade with the blank, Hard only a neighbour. Moves are their own inverses, so the distance
// from home is the distance home. Stops past `depth`.
Distances searchFromHome(int n, bool easy, int depth = 1000)
{
    Distances seen{{key(home(n)), 0}};
    for (std::deque<Board> queue{home(n)}; !queue.empty(); queue.pop_front()) {
        const Board& board = queue.front();
        const int distance = seen.at(key(board));
        const int blank = blankOf(board);
        for (int cell = 0; cell < n * n && distance < depth; ++cell) {
            if (cell == blank || (!easy && !adjacent(cell, blank, n)))
                continue;
            Board next = board;
            std::swap(next[std::size_t(cell)], next[std::size_t(blank)]);
            if (seen.emplace(key(next), distance + 1).second)
                queue.push_back(next);
        }
    }
    return seen;
}

// The board after moving `piece` into the blank; fails the test when it is not allowed.
void play(Board& board, int piece, int n, bool easy)
{
    const int blank = blankOf(board);
    const int from = int(std::ranges::find(board, piece) - board.begin());
    ASSERT_TRUE(piece != 1 && (easy || adjacent(from, blank, n))) << piece;
    std::swap(board[std::size_t(from)], board[std::size_t(blank)]);
}

// On Easy, every 2 x 2 and 3 x 3 board: the formula gives the searched distance, and the hint's
// move brings the board one move nearer home.
TEST(Easy, FewestMovesAndHintsMatchTheSearch)
{
    for (const int n : {2, 3}) {
        const Distances distances = searchFromHome(n, true);
        Board board = home(n);
        do {
            const int distance = distances.at(key(board));
            ASSERT_EQ(easyFewestMoves(board), distance) << key(board);
            const int piece = easyHintPiece(board);
            ASSERT_EQ(piece == 0, distance == 0);
            if (piece != 0) {
                Board next = board;
                play(next, piece, n, true);
                ASSERT_EQ(distances.at(key(next)), distance - 1) << key(board);
            }
        } while (std::ranges::next_permutation(board).found);
    }
}

// Hard 3 x 3: the table agrees with a search over every board; its count of boards at each distance
// is the published one (OEIS A089473, from Reinefeld 1993, blank in a corner), and its two farthest,
// 31 moves, are the two published for that corner (867/254/3_1 and 647/85_/321, blank bottom right,
// here turned half round so the blank's home is top left). Each hint is a neighbour of the blank and
// brings the board one move nearer; the line bound is never above the distance.
TEST(HardThreeByThree, DistancesHintsAndBoundAgainstTheSearch)
{
    const ThreeByThreeDistances table;
    const Distances distances = searchFromHome(3, false);
    const std::vector<int> published{1,     2,     4,     8,     16,    20,   39,   62,   116,   152,   286,
                                     396,   748,   1024,  1893,  2512,  4485, 5638, 9529, 10878, 16993, 17110,
                                     23952, 20224, 24047, 15578, 14560, 6274, 3910, 760,  221,   2};
    std::vector<int> counts(published.size(), 0);
    std::vector<Board> farthest;
    Board board = home(3);
    do {
        const auto found = distances.find(key(board));
        const int distance = table.distance(board);
        ASSERT_EQ(distance, found == distances.end() ? -1 : found->second) << key(board);
        if (distance < 0)
            continue;
        ++counts[std::size_t(distance)];
        if (distance == 31)
            farthest.push_back(board);
        ASSERT_LE(slidingLowerBound(3, board), distance) << key(board);
        const int piece = table.hintPiece(board);
        ASSERT_EQ(piece == 0, distance == 0);
        if (piece != 0) {
            Board next = board;
            play(next, piece, 3, false);
            ASSERT_EQ(table.distance(next), distance - 1) << key(board);
        }
    } while (std::ranges::next_permutation(board).found);
    EXPECT_EQ(counts, published);
    EXPECT_EQ(farthest, (std::vector<Board>{{9, 1, 7, 6, 5, 8, 3, 4, 2}, {9, 8, 7, 1, 5, 2, 3, 6, 4}}));
}

// Hard 4 x 4, with the tables built once: quick ones of Korf's 100 (1985) solved in their published
// number of moves by a way that is played out to home; the tables' and the lines' bounds never above
// the distance, on those and on every board up to 13 moves from home, where a sample is also solved
// in exactly its distance; a search stopped, or over its budget, says so; tables asked to stop are
// not built.
TEST(HardFourByFour, KorfsBoardsAndSearchedBoards)
{
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_EQ(FourByFourTables::build(stopped.get_token()), nullptr);
    const auto tables = FourByFourTables::build({});
    ASSERT_NE(tables, nullptr);
    EXPECT_LE(tables->bytes(), 12U << 20U);

    // Korf's instance number, its optimal length, its tiles (0 the blank) in reading order.
    const std::vector<std::tuple<int, int, Board>> korf{
        {9, 46, {3, 14, 9, 11, 5, 4, 8, 2, 13, 12, 6, 7, 10, 1, 15, 0}},
        {12, 45, {14, 1, 9, 6, 4, 8, 12, 5, 7, 2, 3, 0, 10, 11, 13, 15}},
        {19, 46, {7, 11, 8, 3, 14, 0, 6, 15, 1, 4, 13, 9, 5, 12, 2, 10}},
        {42, 42, {4, 5, 7, 2, 9, 14, 12, 13, 0, 3, 6, 11, 8, 1, 15, 10}},
        {47, 47, {6, 10, 1, 14, 15, 8, 3, 5, 13, 0, 2, 7, 4, 9, 11, 12}},
        {71, 44, {5, 7, 0, 11, 12, 1, 9, 10, 15, 6, 2, 3, 8, 4, 13, 14}},
    };
    for (auto [number, length, tiles] : korf) {
        std::ranges::for_each(tiles, [](int& tile) { ++tile; });
        EXPECT_LE(tables->lowerBound(tiles), length) << number;
        EXPECT_LE(slidingLowerBound(4, tiles), length) << number;
        const auto solution = solveFourByFour(*tables, tiles, {}, ~std::uint64_t{0});
        ASSERT_EQ(solution.outcome, FourByFourSolution::Outcome::Solved) << number;
        EXPECT_EQ(int(solution.moves.size()), length) << number;
        for (const int piece : solution.moves)
            play(tiles, piece, 4, false);
        EXPECT_EQ(tiles, home(4)) << number;
    }

    int sampled = 0;
    for (const auto& [code, distance] : searchFromHome(4, false, 13)) {
        Board board(16);
        for (std::uint64_t rest = code, cell = 16; cell-- > 0; rest /= 16)
            board[cell] = int(rest % 16) + 1;
        ASSERT_LE(tables->lowerBound(board), distance) << code;
        ASSERT_LE(slidingLowerBound(4, board), distance) << code;
        if (code % 97 == 0) {
            ++sampled;
            EXPECT_EQ(int(solveFourByFour(*tables, board, {}, ~std::uint64_t{0}).moves.size()), distance);
        }
    }
    EXPECT_GT(sampled, 50);

    // Korf's 60th, 66 moves, the longest of the 100: stopped as soon as it runs, or given too little.
    Board longest{12, 15, 14, 2, 3, 4, 13, 5, 16, 8, 10, 6, 11, 7, 9, 1};
    std::stop_source stop;
    FourByFourSolution stoppedSearch;
    std::jthread search(
        [&] { stoppedSearch = solveFourByFour(*tables, longest, stop.get_token(), ~std::uint64_t{0}); });
    stop.request_stop();
    search.join();
    EXPECT_EQ(stoppedSearch.outcome, FourByFourSolution::Outcome::Stopped);
    EXPECT_EQ(solveFourByFour(*tables, longest, {}, 100'000).outcome,
              FourByFourSolution::Outcome::OverBudget);
}

// Any size: the row-by-row method brings random deals home by moves of neighbours, never in fewer
// moves than the bound says; a board sliding cannot solve gets no moves.
TEST(RowByRow, BringsDealsHomeNeverUnderTheBound)
{
    puzzle::RandomEngine random(32);
    for (const int n : {2, 3, 4, 5, 6, 8}) {
        for (int deal = 0; deal < 12; ++deal) {
            Board board = puzzle::dealSolvableBoard(n, random);
            const auto moves = rowByRowMoves(n, board);
            EXPECT_LE(slidingLowerBound(n, board), int(moves.size())) << n;
            for (const int piece : moves)
                play(board, piece, n, false);
            ASSERT_EQ(board, home(n)) << n;
        }
    }
    Board swapped = home(3);
    std::swap(swapped[1], swapped[2]);
    EXPECT_TRUE(rowByRowMoves(3, swapped).empty());
}

} // namespace
} // namespace tilmora::solver
