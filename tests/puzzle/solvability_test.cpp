// Solvability checked against what sliding can really do, not against the parity argument the
// game's own isSolvable is built on.

#include "puzzle/deal.h"
#include "puzzle/puzzlegame.h"

#include "boardmodel.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tilmora::puzzle {
namespace {

using namespace testkit;

// Drives the game on Hard to the end with the neighbour-move solver: every click must move a
// piece, and the last one must finish the game.
void solveOnHard(PuzzleGame& game)
{
    game.chooseLevel(Level::Hard);
    const int n = game.boardsize();
    const auto moves = solveByNeighbourMoves(boardOf(game), n);
    ASSERT_TRUE(moves.has_value()) << "no solution found for " << boardText(game);
    ASSERT_FALSE(moves->empty());
    for (std::size_t i = 0; i < moves->size(); ++i) {
        const int cell = (*moves)[i];
        const ClickOutcome outcome = game.click(game.pieceAt({cell / n, cell % n}));
        ASSERT_TRUE(outcome.moved) << "move " << i << " on " << boardText(game);
        ASSERT_EQ(outcome.solved, i + 1 == moves->size()) << "move " << i << " on " << boardText(game);
        ASSERT_EQ(outcome.attemptsShown, static_cast<std::int64_t>(i) + 1);
    }
    EXPECT_TRUE(game.isOver());
    EXPECT_EQ(boardText(game), boardText(homeBoard(n)));
}

// On 3x3 isSolvable is true exactly for the boards sliding can reach from the solved one, all 9! checked.
TEST(Solvability, IsSolvableMatchesReachabilityForEvery3x3Board)
{
    const auto& reachable = reachable3x3();
    ASSERT_EQ(std::count(reachable.begin(), reachable.end(), true), 181440);
    Board board = homeBoard(3);
    std::size_t checked = 0;
    do {
        ASSERT_EQ(isSolvable(board, 3), static_cast<bool>(reachable[rankOf3x3(board)])) << boardText(board);
        ++checked;
    } while (std::next_permutation(board.begin(), board.end()));
    EXPECT_EQ(checked, 362880u);
}

// Every 3x3 deal is one that sliding can really solve.
TEST(Solvability, Every3x3DealCanBeReachedBySliding)
{
    const auto& reachable = reachable3x3();
    RandomEngine random(3);
    for (int deal = 0; deal < 20000; ++deal) {
        const Board board = dealSolvableBoard(3, random);
        ASSERT_TRUE(reachable[rankOf3x3(board)]) << boardText(board);
    }
}

// The textbook rule (blank home bottom-right) is wrong on every 4x4 and 6x6 board here, right on odd sides.
TEST(Solvability, TheTextbookInversionRuleFailsHereOnEvenSides)
{
    // On odd sides the blank's home does not change the inversion parity; on even sides the blank's
    // row enters the rule, and its home row decides the answer: hence the game's own form of the rule.
    EXPECT_FALSE(textbookSaysSolvable(homeBoard(4), 4));
    EXPECT_FALSE(textbookSaysSolvable(homeBoard(6), 6));
    EXPECT_TRUE(textbookSaysSolvable(homeBoard(3), 3));

    RandomEngine random(8);
    for (const int n : {3, 4, 5, 6}) {
        for (int i = 0; i < 500; ++i) {
            const Board board = MakeRandomOrder(n * n, random);
            const bool rightHere = n % 2 == 1;
            ASSERT_EQ(textbookSaysSolvable(board, n) == isSolvable(board, n), rightHere) << boardText(board);
        }
    }
}

// The test's solver, sliding only, finishes exactly the boards isSolvable accepts.
TEST(Solvability, TheNeighbourMoveSolverSolvesExactlyTheBoardsIsSolvableAccepts)
{
    RandomEngine random(21);
    for (const int n : {2, 3, 4, 5, 6}) {
        for (int i = 0; i < 30; ++i) {
            const Board board = MakeRandomOrder(n * n, random);
            const auto moves = solveByNeighbourMoves(board, n);
            ASSERT_EQ(moves.has_value(), isSolvable(board, n)) << boardText(board);
            if (!moves)
                continue;
            Board solved = board;
            int blank = static_cast<int>(std::find(solved.begin(), solved.end(), 1) - solved.begin());
            for (const int cell : *moves) {
                ASSERT_TRUE(areNeighbours(cell, blank, n)) << boardText(board);
                slideIntoBlank(solved, cell);
                blank = cell;
            }
            EXPECT_EQ(boardText(solved), boardText(homeBoard(n))) << boardText(board);
        }
    }
}

// Deals of every menu size can be finished on Hard: the game itself, driven by neighbour moves, ends solved.
TEST(Solvability, DealsOfEverySizeCanBeFinishedOnHard)
{
    RandomEngine random(1234);
    for (const auto& [n, games] : {std::pair{3, 30}, std::pair{4, 30}, std::pair{6, 12}}) {
        for (int i = 0; i < games; ++i) {
            PuzzleGame game;
            game.pictureLoaded();
            game.chooseSize(n);
            ASSERT_EQ(game.start(random, ClockReading{}), StartOutcome::Dealt);
            SCOPED_TRACE(boardText(game));
            solveOnHard(game);
        }
    }
}

} // namespace
} // namespace tilmora::puzzle
