#include "puzzle/puzzlegame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <numeric>
#include <set>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;
using Board = std::vector<int>; // the piece in each cell in reading order; piece 1 marks the blank

struct Picture {
    int width = 0;
    int height = 0;
};

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

// Plays a game to the end on Hard, filling the board from the far corner: the rows but the last two,
// then those two column by column, then the 2x2 block at home, each step a breadth-first search of
// where its pieces and the blank can go around the cells filled. Returns the attempts of the last click.
std::int64_t solveOnHard(PuzzleGame& game)
{
    const int n = game.boardsize();
    const auto far = [n](int row, int column) { return n * n - 1 - row * n - column; };
    std::vector<std::vector<int>> steps;
    for (int row = 0; row < n - 2; ++row) {
        for (int column = 0; column < n - 2; ++column)
            steps.push_back({far(row, column)});
        steps.push_back({far(row, n - 2), far(row, n - 1)});
    }
    for (int column = 0; column < n - 2; ++column)
        steps.push_back({far(n - 2, column), far(n - 1, column)});
    steps.push_back({n + 1, n, 1});
    std::set<int> filled;
    ClickOutcome outcome;
    for (const auto& cells : steps) {
        // A state: where the pieces for these cells stand, then the blank; queued with the blank's steps.
        std::vector<int> start;
        for (const int cell : cells)
            start.push_back(find(boardOf(game), cell + 1));
        start.push_back(find(boardOf(game), 1));
        std::set<std::vector<int>> seen{start};
        std::deque<std::pair<std::vector<int>, std::vector<int>>> queue{{start, {}}};
        for (; !std::equal(cells.begin(), cells.end(), queue.front().first.begin()); queue.pop_front()) {
            const int blank = queue.front().first.back();
            for (const int to : {blank - n, blank - 1, blank + 1, blank + n}) {
                auto [state, path] = queue.front();
                std::ranges::replace(state, to, blank);
                state.back() = to;
                path.push_back(to);
                const bool beside = to >= 0 && to < n * n && (to / n == blank / n || to % n == blank % n);
                if (beside && !filled.contains(to) && seen.insert(state).second)
                    queue.emplace_back(state, path);
            }
            if (queue.size() == 1 || seen.size() > 200'000)
                return -1; // no way to fill these cells (or a board gone wrong: a bound, not a hang)
        }
        for (const int cell : queue.front().second)
            outcome = game.click(game.pieceAt({cell / n, cell % n}));
        filled.insert(cells.begin(), cells.end());
    }
    return outcome.solved ? outcome.attemptsShown : -1;
}

// Deals of 3x3, 4x4 and 6x6 can be played to the end on Hard by slides alone, and a long game counts
// its attempts on past 32767 (a click on the blank is an attempt that moves nothing).
TEST(PuzzleGame, DealsCanBeSolvedOnHardHoweverLongTheGame)
{
    RandomEngine random(3);
    for (const int n : {3, 4, 4, 6, 6}) {
        PuzzleGame game;
        game.pictureLoaded(440, 440);
        game.chooseSize(n);
        game.chooseLevel(Level::Hard);
        game.start(random, ClockReading{});
        for (int click = 0; click < 40000; ++click)
            ASSERT_FALSE(game.click(1).moved);
        EXPECT_GT(solveOnHard(game), 40000);
    }
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
    Picture picture;                         // the picture loaded last
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
            game.pictureLoaded(picture.width, picture.height);
            EXPECT_FALSE(game.hasBoard());
        } else if (kind < 4) {
            game.chooseSize(size = 2 + roll(9));
            game.chooseLevel(roll(2) == 0 ? Level::Easy : Level::Hard);
        } else if (kind < 6) {
            // Start deals only with a picture of n pixels a side at least: a fresh game of the size
            // chosen last. Refused, it leaves the board as it was.
            const ClockReading now{SteadyTime{} + roll(1000) * 1h, WallTime{} + roll(1000) * 1ms};
            const bool loaded = game.flagforload();
            const bool fits = std::min(picture.width, picture.height) >= size;
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
            // The seconds follow the clock from the Start while a game is in play, turning at the
            // wall clock's whole seconds, and stand otherwise.
            const auto since = std::chrono::milliseconds(roll(30000) - 1000);
            const auto intoSecond = started.wall.time_since_epoch() % 1s;
            const std::int64_t seconds = since < 0ms ? 0 : (since + intoSecond) / 1s;
            EXPECT_EQ(game.tick(started.steady + since), inPlay ? seconds : elapsed);
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
