#include "puzzle/puzzlegame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;
using Board = std::vector<int>; // the piece in each cell in reading order; piece 1 marks the blank

int find(const Board& board, int piece)
{
    return static_cast<int>(std::ranges::find(board, piece) - board.begin());
}

Board boardOf(const PuzzleGame& game)
{
    Board board;
    for (int cell = 0; game.hasBoard() && cell < game.pieceCount(); ++cell)
        board.push_back(game.pieceAt({cell / game.boardsize(), cell % game.boardsize()}));
    return board;
}

// Random games: pictures of any size, sizes and levels chosen at any moment, Starts, ticks, and clicks
// on any piece number, helped towards the end on Easy so that many games end solved.
TEST(PuzzleGame, RandomGamesKeepTheRules)
{
    std::mt19937 player(11);
    RandomEngine dealer(7);
    const auto roll = [&](int below) { return std::uniform_int_distribution(0, below - 1)(player); };
    PuzzleGame game;
    int size = PuzzleGame::kDefaultGridSize; // the size chosen last
    std::pair picture{0, 0};                 // the picture loaded last, width and height
    ClockReading started;
    int solved = 0;
    for (int action = 0; action < 60000 && !HasFailure(); ++action) {
        // Each cell holds one piece, found where it stands; the game is over exactly when every piece is
        // home, and only then shows piece 1 and clears the counts; the clock runs only in play.
        const Board before = boardOf(game);
        const int n = game.boardsize();
        Board home(before.size());
        std::iota(home.begin(), home.end(), 1);
        EXPECT_TRUE(std::ranges::all_of(home, [&](int piece) {
            const Cell cell = game.cellOfPiece(piece);
            return before[static_cast<std::size_t>(cell.row * n + cell.column)] == piece &&
                   game.homeCell(piece) == Cell{(piece - 1) / n, (piece - 1) % n};
        }));
        const bool over = game.hasBoard() && before == home;
        EXPECT_EQ(std::tuple(game.isOver(), game.isPieceVisible(1), game.CheckSolved()),
                  std::tuple(over, over, over));
        EXPECT_TRUE(!over || game.attempts() + game.elapsedseconds() == 0);

        const auto [inPlay, attempts, elapsed] =
            std::tuple(game.inPlay(), game.attempts(), game.elapsedseconds());
        const int kind = roll(100);
        if (kind < 1) {
            picture = {1 + roll(14), 1 + roll(14)};
            game.pictureLoaded(picture.first, picture.second);
            EXPECT_FALSE(game.hasBoard());
        } else if (kind < 4) {
            game.chooseSize(size = 2 + roll(9));
            game.chooseLevel(roll(2) == 0 ? Level::Easy : Level::Hard);
        } else if (kind < 6) {
            // Start deals only with a picture of n pixels a side at least: a fresh game of the size
            // chosen last. Refused, it leaves the board as it was.
            const ClockReading now{SteadyTime{} + roll(1000) * 1h, WallTime{} + roll(1000) * 1ms};
            const bool loaded = game.flagforload();
            const bool fits = std::min(picture.first, picture.second) >= size;
            const StartOutcome expected = !loaded ? StartOutcome::NoPicture
                                          : fits  ? StartOutcome::Dealt
                                                  : StartOutcome::PictureTooSmall;
            EXPECT_EQ(game.start(dealer, now), expected);
            if (expected == StartOutcome::Dealt) {
                started = now;
                EXPECT_TRUE(game.inPlay() && game.boardsize() == size && game.attempts() == 0 &&
                            game.elapsedseconds() == 0 && boardOf(game) == game.pieceorder());
            } else
                EXPECT_TRUE(boardOf(game) == before && game.inPlay() == inPlay);
        } else if (kind < 15) {
            // The seconds are the clock's since the Start while a game is in play, and stand otherwise.
            const SteadyTime now = started.steady + std::chrono::milliseconds(roll(30000) - 1000);
            EXPECT_EQ(game.tick(now), inPlay ? StartTime(started).elapsedSecondsAt(now) : elapsed);
        } else {
            // A click counts only on a piece of a game in play; the piece trades places with the blank
            // on Easy, and on Hard when it stands beside the blank.
            const int blank = find(before, 1);
            const bool help = kind < 50 && inPlay && game.level() == Level::Easy; // the best move on Easy
            const int piece = !help        ? roll(n * n + 4) - 2
                              : blank != 0 ? blank + 1
                                           : *std::ranges::mismatch(before, home).in1;
            const ClickOutcome outcome = game.click(piece);
            const bool counts = inPlay && piece >= 1 && piece <= n * n;
            Board expected = before;
            const int from = find(before, piece);
            const bool near = counts && std::abs(from / n - blank / n) + std::abs(from % n - blank % n) == 1;
            if (counts && (game.level() == Level::Easy || near))
                std::iter_swap(expected.begin() + blank, expected.begin() + from);
            EXPECT_EQ(boardOf(game), expected);
            EXPECT_EQ(std::tuple(outcome.counted, outcome.moved, outcome.solved, outcome.attemptsShown),
                      std::tuple(counts, expected != before, counts && expected == home,
                                 counts ? attempts + 1 : 0));
            EXPECT_EQ(game.attempts(), outcome.solved ? 0 : attempts + (counts ? 1 : 0));
            solved += outcome.solved ? 1 : 0;
        }
    }
    EXPECT_GT(solved, 60);
}

} // namespace
} // namespace tilmora::puzzle
