// The game core: the deal, the clock, and the rules over many random games.

#include "puzzle/puzzlegame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <numeric>
#include <unordered_set>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;
using Board = std::vector<int>; // the piece in each cell in reading order; piece 1 marks the blank

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

// On 2x2 and 3x3 isSolvable is true exactly for the boards sliding reaches (all 4! and 9! boards),
// and the deals are those boards but the home one; on 2x2 every one of the 11 comes up.
TEST(Deal, DealsAreTheBoardsSlidingReaches)
{
    RandomEngine random(5);
    EXPECT_EQ(MakeRandomOrder(1, random), Board{1}); // the shuffle under the deal, down to a single piece
    for (const int n : {2, 3}) {
        Board board(static_cast<std::size_t>(n * n));
        std::iota(board.begin(), board.end(), 1);
        auto starts = reachable(board, n);
        do {
            ASSERT_EQ(isSolvable(board, n), starts.contains(number(board))) << number(board);
        } while (std::ranges::next_permutation(board).found);
        starts.erase(number(board)); // the home board again, where the permutations wrapped round
        std::unordered_set<int> dealt;
        for (int deal = 0; deal < 3000; ++deal) {
            const int dealtBoard = number(dealSolvableBoard(n, random));
            ASSERT_TRUE(starts.contains(dealtBoard)) << dealtBoard;
            dealt.insert(dealtBoard);
        }
        EXPECT_TRUE(n == 3 || dealt == starts);
    }
}

// The seconds shown turn when the wall clock reaches a whole second, but time is measured on the
// steady clock alone: a reading from before the start (a clock set back) shows 0, never less, and a
// long game counts on past 16 bits, up to the ends of the clock's range.
TEST(StartTime, CountsWholeSecondsOfTheWallClockOnTheSteadyClock)
{
    constexpr auto kNoon = std::chrono::sys_days{std::chrono::year{2024} / 3 / 10}.time_since_epoch() + 12h;
    // The wall-clock time of the start since 1970, the steady time since the start, the seconds shown.
    const std::tuple<std::chrono::nanoseconds, std::chrono::nanoseconds, std::int64_t> cases[] = {
        {kNoon + 700ms, 299'999'999ns, 0},
        {kNoon + 700ms, 300ms, 1},
        {kNoon + 700ms, 1300ms, 2},
        {kNoon, 1s, 1},
        {-300ms, 300ms, 1}, // before 1970
        {kNoon + 700ms, -1ns, 0},
        {kNoon, 32768s, 32768},
    };
    const SteadyTime start = SteadyTime{} + 1000h;
    for (const auto& [wall, later, seconds] : cases) {
        const StartTime started(ClockReading{start, WallTime{wall}});
        EXPECT_EQ(started.elapsedSecondsAt(start + later), seconds) << wall.count() << " + " << later.count();
    }
    const StartTime first(ClockReading{SteadyTime::min(), WallTime{kNoon}});
    EXPECT_EQ(first.elapsedSecondsAt(SteadyTime::max()), 18'446'744'073); // 2^64 - 1 ns
}

// The clock wakes exactly when the count turns (the counts themselves are the test above's). Only the
// fraction of its wall-clock second the game started in counts, so a clock set back an hour or on a day
// changes nothing, and later jumps cannot reach it.
TEST(NextChange, IsTheMomentTheCountTurns)
{
    struct Case {
        std::chrono::nanoseconds wall, now, next; // wall clock at the start; steady times from it
    };
    const SteadyTime start = SteadyTime{} + 1000h;
    const WallTime noon = WallTime{} + 24h * 19'800 + 12h;
    for (const Case c :
         {Case{700ms, 0ns, 300ms}, Case{700ms, 299'999'999ns, 300ms}, Case{700ms, 300ms, 1300ms},
          Case{0ns, 0ns, 1s}, Case{999'999'999ns, 0ns, 1ns}, Case{250ms, 125s + 749ms, 125s + 750ms},
          Case{250ms, -5s, 750ms}, Case{-1h + 700ms, 0ns, 300ms}, Case{24h + 700ms, 300ms, 1300ms}}) {
        const StartTime clock(ClockReading{start, noon + c.wall});
        const SteadyTime next = clock.nextChangeAfter(start + c.now);
        EXPECT_EQ((next - start).count(), c.next.count());
    }
}

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
            // While a game is in play the seconds are the whole seconds the wall clock has turned since
            // the Start (none before it), counted on the steady clock; otherwise they stand.
            const auto since = std::chrono::milliseconds(roll(30000) - 1000);
            const auto turned = since < 0ms ? 0 : (started.wall.time_since_epoch() % 1s + since) / 1s;
            EXPECT_EQ(game.tick(started.steady + since), inPlay ? turned : elapsed);
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
