#include "puzzle/puzzlegame.h"

#include "boardmodel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

namespace tilmora::puzzle {
namespace {

using namespace std::chrono_literals;
using namespace testkit;

const SteadyTime kSteadyStart = SteadyTime{} + 1000h;

// A reading of both clocks, `steadyOffset` after kSteadyStart, at 12:00 plus `wallFraction` on
// the wall clock.
ClockReading clockAt(std::chrono::nanoseconds steadyOffset, std::chrono::nanoseconds wallFraction)
{
    constexpr auto day = std::chrono::sys_days{std::chrono::year{2024} / std::chrono::March / 10};
    return {kSteadyStart + steadyOffset, WallTime{day.time_since_epoch() + 12h + wallFraction}};
}

// Everything a fresh deal promises, whatever came before it.
void expectFreshDeal(const PuzzleGame& game)
{
    EXPECT_TRUE(game.hasBoard());
    EXPECT_TRUE(game.inPlay());
    EXPECT_FALSE(game.isOver());
    EXPECT_TRUE(game.flagforstart());
    EXPECT_TRUE(game.flagforsize());
    EXPECT_EQ(game.boardsize(), game.gridsize());
    EXPECT_EQ(game.attempts(), 0);
    EXPECT_TRUE(game.timerEnabled());
    EXPECT_EQ(game.elapsedseconds(), 0);
    EXPECT_FALSE(game.isPieceVisible(1));
    EXPECT_TRUE(game.isPieceVisible(2));
    EXPECT_FALSE(game.clickCell().has_value());
    EXPECT_FALSE(game.CheckSolved());
    EXPECT_FALSE(game.flagforsolved());
    const Board board = boardOf(game);
    EXPECT_EQ(board, game.pieceorder());
    EXPECT_TRUE(isPermutation(board)) << boardText(board);
    EXPECT_TRUE(isSolvable(board, game.boardsize())) << boardText(board);
    EXPECT_FALSE(isHomeOrder(board)) << boardText(board);
}

// Nothing a rejected click may change.
void expectNotCounted(const ClickOutcome& outcome)
{
    EXPECT_FALSE(outcome.counted);
    EXPECT_FALSE(outcome.moved);
    EXPECT_FALSE(outcome.solved);
}

class PuzzleGameTest : public ::testing::Test
{
protected:
    // Loads a picture and starts a game of side n.
    void startGame(int n, Level level = Level::Easy)
    {
        game.chooseSize(n);
        game.chooseLevel(level);
        game.pictureLoaded();
        ASSERT_EQ(game.start(random, clockAt(0s, 700ms)), StartOutcome::Dealt);
    }

    // Starts a game of the board's size and arranges the board with Easy clicks; `arranged`
    // keeps the attempts that took.
    void startGameWith(const char* board, Level level)
    {
        const Board target = parseBoard(board);
        startGame(sideOf(target.size()), level);
        arranged = arrangeOnEasy(game, target);
        ASSERT_EQ(boardText(game), boardText(target));
        ASSERT_EQ(game.attempts(), arranged);
        ASSERT_EQ(game.level(), level);
    }

    // Clicks `piece` on a copy of the game and returns the board afterwards, leaving the game as
    // it was.
    std::string boardAfterClickOnCopy(int piece) const
    {
        PuzzleGame copy = game;
        (void)copy.click(piece);
        return boardText(copy);
    }

    // Solves the game in play on Easy: the piece that belongs in the blank cell goes there, and
    // when the blank is home, it jumps to a cell still wrong. Returns the last click's outcome.
    ClickOutcome solveOnEasy()
    {
        game.chooseLevel(Level::Easy);
        ClickOutcome outcome;
        while (game.inPlay()) {
            const Board board = boardOf(game);
            const auto blank =
                static_cast<std::size_t>(game.blankCell().row * game.boardsize() + game.blankCell().column);
            int piece = static_cast<int>(blank) + 1;
            if (blank == 0) {
                for (std::size_t cell = 1; cell < board.size(); ++cell) {
                    if (board[cell] != static_cast<int>(cell) + 1) {
                        piece = board[cell];
                        break;
                    }
                }
            }
            outcome = game.click(piece);
            EXPECT_TRUE(outcome.moved);
        }
        return outcome;
    }

    PuzzleGame game;
    RandomEngine random{20240310};
    std::int64_t arranged = 0;
};

// --- Start ---

// Without a picture there is nothing to cut into pieces: Start refuses and nothing is dealt.
TEST_F(PuzzleGameTest, StartIsRefusedUntilAPictureIsLoaded)
{
    EXPECT_EQ(game.start(random, clockAt(0s, 0ms)), StartOutcome::NoPicture);
    EXPECT_FALSE(game.hasBoard());
    EXPECT_FALSE(game.timerEnabled());
    EXPECT_EQ(game.boardsize(), 0);
    expectNotCounted(game.click(2));
    EXPECT_EQ(game.tick(kSteadyStart + 5s), 0);

    // A size chosen first does not change that; the size waits for the picture.
    game.chooseSize(3);
    EXPECT_EQ(game.start(random, clockAt(0s, 0ms)), StartOutcome::NoPicture);
    EXPECT_FALSE(game.hasBoard());
    game.pictureLoaded();
    ASSERT_EQ(game.start(random, clockAt(0s, 0ms)), StartOutcome::Dealt);
    EXPECT_EQ(game.boardsize(), 3);
    expectFreshDeal(game);
}

// Right after a picture loads, Start deals a board of the default size with the clock running.
TEST_F(PuzzleGameTest, StartDealsTheDefaultSizeRightAfterAPictureLoads)
{
    game.pictureLoaded();
    ASSERT_EQ(game.start(random, clockAt(0s, 700ms)), StartOutcome::Dealt);
    EXPECT_EQ(game.boardsize(), PuzzleGame::kDefaultGridSize);
    EXPECT_EQ(game.pieceCount(), 16);
    expectFreshDeal(game);
}

// Every random choice comes from the engine handed in: the same seed replays the same deal.
TEST_F(PuzzleGameTest, StartDealsTheSameBoardFromTheSameSeed)
{
    const auto dealWithSeed = [](unsigned seed) {
        PuzzleGame other;
        other.pictureLoaded();
        RandomEngine engine(seed);
        (void)other.start(engine, clockAt(0s, 0ms));
        return boardText(other);
    };
    EXPECT_EQ(dealWithSeed(1), dealWithSeed(1));
    EXPECT_NE(dealWithSeed(1), dealWithSeed(2));
}

// Start mid-game throws the game away: new board, counts from zero, clock from the new start.
TEST_F(PuzzleGameTest, StartOverAGameInPlayDealsAfresh)
{
    startGame(4, Level::Easy);
    const Board first = boardOf(game);
    (void)game.click(1);
    (void)game.click(1);
    ASSERT_EQ(game.tick(kSteadyStart + 10s + 300ms), 11);

    ASSERT_EQ(game.start(random, clockAt(20s, 0ms)), StartOutcome::Dealt);
    expectFreshDeal(game);
    EXPECT_NE(boardOf(game), first);
    EXPECT_EQ(game.tick(kSteadyStart + 20s + 999ms), 0);
    EXPECT_EQ(game.tick(kSteadyStart + 21s), 1);
    EXPECT_EQ(game.click(1).attemptsShown, 1);
}

// A finished board waits for Start, which deals a new game that counts clicks again.
TEST_F(PuzzleGameTest, StartOverAFinishedGameDealsAfresh)
{
    startGame(3);
    ASSERT_TRUE(solveOnEasy().solved);
    ASSERT_TRUE(game.isOver());

    ASSERT_EQ(game.start(random, clockAt(60s, 0ms)), StartOutcome::Dealt);
    expectFreshDeal(game);
    const ClickOutcome outcome = game.click(1);
    EXPECT_TRUE(outcome.counted);
    EXPECT_EQ(outcome.attemptsShown, 1);
}

// A size chosen mid-game takes effect at Start, which deals that size, up or down.
TEST_F(PuzzleGameTest, StartAfterASizeChangeDealsTheNewSize)
{
    startGame(4);
    for (const int n : {6, 3, 4, 2, 10}) {
        game.chooseSize(n);
        EXPECT_FALSE(game.flagforsize());
        ASSERT_EQ(game.start(random, clockAt(0s, 0ms)), StartOutcome::Dealt);
        EXPECT_EQ(game.boardsize(), n);
        EXPECT_EQ(game.pieceCount(), n * n);
        expectFreshDeal(game);
        EXPECT_TRUE(game.click(n * n).counted);
    }
}

// --- A new picture ---

// A new picture ends the game in play: no board, no clock, counts cleared; Start then deals directly.
TEST_F(PuzzleGameTest, LoadingAPictureDiscardsTheBoardInPlay)
{
    startGame(4);
    (void)game.click(1);
    ASSERT_EQ(game.tick(kSteadyStart + 3s), 3);
    game.chooseSize(3);

    game.pictureLoaded();
    EXPECT_FALSE(game.hasBoard());
    EXPECT_FALSE(game.inPlay());
    EXPECT_FALSE(game.isOver());
    EXPECT_EQ(game.boardsize(), 0);
    EXPECT_EQ(game.attempts(), 0);
    EXPECT_TRUE(game.flagforsize());
    EXPECT_TRUE(game.flagforload());
    EXPECT_FALSE(game.timerEnabled());
    const auto shown = game.elapsedseconds();
    EXPECT_EQ(game.tick(kSteadyStart + 60s), shown);
    expectNotCounted(game.click(1));
    expectNotCounted(game.keyPress(2, PuzzleGame::kEnterKey));

    ASSERT_EQ(game.start(random, clockAt(70s, 0ms)), StartOutcome::Dealt);
    EXPECT_EQ(game.boardsize(), 3);
    expectFreshDeal(game);
}

// The same holds for a finished board still on screen.
TEST_F(PuzzleGameTest, LoadingAPictureDiscardsAFinishedBoard)
{
    startGame(3);
    ASSERT_TRUE(solveOnEasy().solved);

    game.pictureLoaded();
    EXPECT_FALSE(game.hasBoard());
    EXPECT_FALSE(game.isOver());
    EXPECT_EQ(game.boardsize(), 0);
    EXPECT_FALSE(game.timerEnabled());
    expectNotCounted(game.click(2));
    ASSERT_EQ(game.start(random, clockAt(0s, 0ms)), StartOutcome::Dealt);
    expectFreshDeal(game);
}

// --- Clicks and keys ---

// A click is an attempt whether or not the piece moves, a click on the blank included.
TEST_F(PuzzleGameTest, EveryClickOnAPieceCountsAnAttemptWhetherOrNotItMoves)
{
    startGameWith("2 3 _ / 4 5 6 / 7 8 9", Level::Hard);

    const ClickOutcome far = game.click(7);
    EXPECT_TRUE(far.counted);
    EXPECT_FALSE(far.moved);
    EXPECT_EQ(far.attemptsShown, arranged + 1);

    const ClickOutcome blank = game.click(1);
    EXPECT_TRUE(blank.counted);
    EXPECT_FALSE(blank.moved);
    EXPECT_EQ(blank.attemptsShown, arranged + 2);
    EXPECT_EQ(boardText(game), "2 3 _ / 4 5 6 / 7 8 9");

    const ClickOutcome beside = game.click(3);
    EXPECT_TRUE(beside.counted);
    EXPECT_TRUE(beside.moved);
    EXPECT_EQ(beside.attemptsShown, arranged + 3);
    EXPECT_EQ(game.attempts(), arranged + 3);
    EXPECT_EQ(boardText(game), "2 _ 3 / 4 5 6 / 7 8 9");
}

// Enter on a piece is a click on it; any other key only moves the keyboard focus to that piece.
TEST_F(PuzzleGameTest, EnterOnAPieceIsAClickAndOtherKeysOnlyMoveTheFocus)
{
    startGameWith("2 3 _ / 4 5 6 / 7 8 9", Level::Easy);

    for (const int code : {0, 10, 32, 65, 97, 12, 14, 27}) {
        expectNotCounted(game.keyPress(7, code));
        EXPECT_EQ(game.keyindex(), 7) << "key " << code;
    }
    expectNotCounted(game.keyPress(4, 32));
    EXPECT_EQ(game.keyindex(), 4);
    EXPECT_EQ(game.attempts(), arranged);
    EXPECT_EQ(boardText(game), "2 3 _ / 4 5 6 / 7 8 9");

    const ClickOutcome enter = game.keyPress(7, PuzzleGame::kEnterKey);
    EXPECT_EQ(game.keyindex(), 7);
    EXPECT_TRUE(enter.counted);
    EXPECT_TRUE(enter.moved);
    EXPECT_EQ(enter.attemptsShown, arranged + 1);
    EXPECT_EQ(boardText(game), "2 3 7 / 4 5 6 / _ 8 9");

    // Enter with no piece under the focus, or a number past the board, does nothing.
    expectNotCounted(game.keyPress(0, PuzzleGame::kEnterKey));
    EXPECT_EQ(game.keyindex(), 0);
    expectNotCounted(game.keyPress(10, PuzzleGame::kEnterKey));
    expectNotCounted(game.keyPress(-1, PuzzleGame::kEnterKey));
    EXPECT_EQ(game.attempts(), arranged + 1);
}

// A click naming no piece of this board changes nothing and counts nothing.
TEST_F(PuzzleGameTest, ClicksOnPiecesThatDoNotExistChangeNothing)
{
    startGame(3);
    const std::string before = boardText(game);
    for (const int piece : {0, -1, 10, 11, 16, 100, INT_MAX, INT_MIN}) {
        expectNotCounted(game.click(piece));
        EXPECT_EQ(game.attempts(), 0) << "piece " << piece;
        EXPECT_EQ(boardText(game), before) << "piece " << piece;
    }
}

// On Easy any piece trades places with the blank, nothing else moves, and the clicked cell is kept.
TEST_F(PuzzleGameTest, OnEasyAnyPieceTradesPlacesWithTheBlank)
{
    startGameWith("2 3 _ / 4 5 6 / 7 8 9", Level::Easy);
    EXPECT_EQ(boardAfterClickOnCopy(7), "2 3 7 / 4 5 6 / _ 8 9");
    EXPECT_EQ(boardAfterClickOnCopy(9), "2 3 9 / 4 5 6 / 7 8 _");
    EXPECT_EQ(boardAfterClickOnCopy(4), "2 3 4 / _ 5 6 / 7 8 9");
    EXPECT_EQ(boardAfterClickOnCopy(3), "2 _ 3 / 4 5 6 / 7 8 9");

    // Every piece of a 6x6 deal, each on its own copy of the game.
    startGame(6, Level::Easy);
    const Board board = boardOf(game);
    const Cell blank = game.blankCell();
    for (int piece = 2; piece <= 36; ++piece) {
        PuzzleGame copy = game;
        const Cell from = copy.cellOfPiece(piece);
        const ClickOutcome outcome = copy.click(piece);
        EXPECT_TRUE(outcome.moved) << "piece " << piece;
        EXPECT_EQ(copy.clickCell(), from);
        EXPECT_EQ(copy.cellOfPiece(piece), blank);
        EXPECT_EQ(copy.blankCell(), from);
        Board expected = board;
        slideIntoBlank(expected, from.row * 6 + from.column);
        EXPECT_EQ(boardOf(copy), expected) << "piece " << piece;
    }
}

// On Hard only a piece left, right, above or below the blank moves, wherever the blank stands.
TEST_F(PuzzleGameTest, OnHardOnlyAPieceBesideTheBlankMoves)
{
    startGameWith("2 5 3 / 4 _ 6 / 7 8 9", Level::Hard);
    EXPECT_EQ(boardAfterClickOnCopy(5), "2 _ 3 / 4 5 6 / 7 8 9");
    EXPECT_EQ(boardAfterClickOnCopy(4), "2 5 3 / _ 4 6 / 7 8 9");
    EXPECT_EQ(boardAfterClickOnCopy(6), "2 5 3 / 4 6 _ / 7 8 9");
    EXPECT_EQ(boardAfterClickOnCopy(8), "2 5 3 / 4 8 6 / 7 _ 9");
    for (const int diagonal : {2, 3, 7, 9})
        EXPECT_EQ(boardAfterClickOnCopy(diagonal), "2 5 3 / 4 _ 6 / 7 8 9") << "piece " << diagonal;

    // The blank at the end of a row: the first piece of the next row follows it in reading
    // order but is not beside it.
    startGameWith("2 3 _ / 4 5 6 / 7 8 9", Level::Hard);
    EXPECT_EQ(boardAfterClickOnCopy(4), "2 3 _ / 4 5 6 / 7 8 9");
    EXPECT_EQ(boardAfterClickOnCopy(2), "2 3 _ / 4 5 6 / 7 8 9"); // two away in its row
    EXPECT_EQ(boardAfterClickOnCopy(9), "2 3 _ / 4 5 6 / 7 8 9"); // two away in its column

    for (const char* board :
         {"16 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _", "2 3 4 5 / _ 6 7 8 / 9 10 11 12 / 13 14 15 16",
          "2 3 4 5 / 6 7 8 9 / 10 _ 11 12 / 13 14 15 16", "2 3 4 5 / 6 7 8 9 / 10 11 12 13 / 14 15 16 _",
          "_ 3 2 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 16"}) {
        startGameWith(board, Level::Hard);
        const Board before = boardOf(game);
        const Cell blank = game.blankCell();
        const int blankCell = blank.row * 4 + blank.column;
        for (int piece = 1; piece <= 16; ++piece) {
            PuzzleGame copy = game;
            const Cell from = copy.cellOfPiece(piece);
            const ClickOutcome outcome = copy.click(piece);
            EXPECT_TRUE(outcome.counted);
            EXPECT_EQ(outcome.moved, areNeighbours(from.row * 4 + from.column, blankCell, 4))
                << board << ", piece " << piece;
            if (!outcome.moved) {
                EXPECT_EQ(boardOf(copy), before) << board << ", piece " << piece;
            }
        }
    }
}

// The level may change at any moment of a game, and the very next click plays by it.
TEST_F(PuzzleGameTest, TheLevelRulesTheVeryNextClick)
{
    startGameWith("2 3 _ / 4 5 6 / 7 8 9", Level::Hard);
    EXPECT_FALSE(game.click(7).moved);

    game.chooseLevel(Level::Easy);
    EXPECT_TRUE(game.flageasy());
    EXPECT_TRUE(game.click(7).moved);
    EXPECT_EQ(boardText(game), "2 3 7 / 4 5 6 / _ 8 9");

    game.chooseLevel(Level::Hard);
    EXPECT_FALSE(game.flageasy());
    EXPECT_FALSE(game.click(3).moved);
    EXPECT_TRUE(game.click(4).moved);
    EXPECT_EQ(boardText(game), "2 3 7 / _ 5 6 / 4 8 9");
    EXPECT_EQ(game.attempts(), arranged + 4);
}

// A size chosen mid-game waits for Start: the Hard rule and the piece range keep the board's own size.
TEST_F(PuzzleGameTest, ASizeChosenMidGameLeavesTheBoardOnScreenItsOwnRules)
{
    startGameWith("2 3 4 _ / 5 6 7 8 / 9 10 11 12 / 13 14 15 16", Level::Hard);
    game.chooseSize(3);
    EXPECT_EQ(game.boardsize(), 4);
    EXPECT_EQ(game.pieceCount(), 16);
    // Read three wide, piece 5 would sit beside the blank and piece 8 two rows below it.
    EXPECT_FALSE(game.click(5).moved);
    EXPECT_TRUE(game.click(8).moved);
    EXPECT_EQ(boardText(game), "2 3 4 8 / 5 6 7 _ / 9 10 11 12 / 13 14 15 16");
    EXPECT_TRUE(game.click(16).counted);

    // A larger size chosen: pieces past this board's 16 still do not exist.
    game.chooseSize(6);
    expectNotCounted(game.click(17));
    expectNotCounted(game.click(36));
}

// A size chosen mid-game does not change the solved check, which looks at all of the board's pieces.
TEST_F(PuzzleGameTest, ASizeChosenMidGameDoesNotChangeWhatCountsAsSolved)
{
    // The first nine pieces are home, the rest are not (arranged on Easy; not solvable by slides).
    startGameWith("_ 2 3 4 / 5 6 7 8 / 9 11 10 12 / 13 14 15 16", Level::Easy);
    game.chooseSize(3);
    const ClickOutcome outcome = game.click(1);
    EXPECT_TRUE(outcome.counted);
    EXPECT_FALSE(outcome.solved);
    EXPECT_TRUE(game.inPlay());

    startGameWith("2 _ 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 16", Level::Hard);
    game.chooseSize(6);
    const ClickOutcome last = game.click(2);
    EXPECT_TRUE(last.solved);
    EXPECT_TRUE(game.isOver());
}

// --- The end of a game ---

// The solving click stops the clock, shows the hidden piece, reports the final count and clears the counts.
TEST_F(PuzzleGameTest, TheSolvingClickEndsTheGame)
{
    startGameWith("2 _ 3 / 4 5 6 / 7 8 9", Level::Hard);
    ASSERT_EQ(game.tick(kSteadyStart + 42s + 300ms), 43);
    ASSERT_FALSE(game.isPieceVisible(1));

    const ClickOutcome outcome = game.click(2);
    EXPECT_TRUE(outcome.counted);
    EXPECT_TRUE(outcome.moved);
    EXPECT_TRUE(outcome.solved);
    EXPECT_EQ(outcome.attemptsShown, arranged + 1);
    EXPECT_EQ(boardText(game), "_ 2 3 / 4 5 6 / 7 8 9");
    EXPECT_FALSE(game.timerEnabled());
    EXPECT_TRUE(game.isPieceVisible(1));
    EXPECT_EQ(game.attempts(), 0);
    EXPECT_EQ(game.elapsedseconds(), 0);
    EXPECT_TRUE(game.isOver());
    EXPECT_FALSE(game.inPlay());
    EXPECT_TRUE(game.CheckSolved());
    EXPECT_TRUE(game.flagforsolved());
    EXPECT_EQ(game.tick(kSteadyStart + 100s), 0);
}

// On Easy a jump across the board can finish a game, even from a board no sliding could solve.
TEST_F(PuzzleGameTest, OnEasyAJumpAcrossTheBoardCanFinishTheGame)
{
    startGameWith("9 2 3 / 4 5 6 / 7 8 _", Level::Easy);
    const ClickOutcome outcome = game.click(9);
    EXPECT_TRUE(outcome.solved);
    EXPECT_EQ(boardText(game), "_ 2 3 / 4 5 6 / 7 8 9");
}

// Not solved while any piece is away from home, the blank included.
TEST_F(PuzzleGameTest, AGameIsNotSolvedWhileAnyPieceIsAway)
{
    for (const char* board : {"2 _ 3 / 4 5 6 / 7 8 9", "_ 3 2 / 4 5 6 / 7 8 9", "_ 2 3 / 4 5 6 / 7 9 8",
                              "9 2 3 / 4 5 6 / 7 8 _", "_ 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 16 15"}) {
        startGameWith(board, Level::Hard);
        const ClickOutcome outcome = game.click(1);
        EXPECT_TRUE(outcome.counted) << board;
        EXPECT_FALSE(outcome.solved) << board;
        EXPECT_FALSE(game.CheckSolved()) << board;
        EXPECT_TRUE(game.inPlay()) << board;
    }
}

// Once the game is over, nothing the player does counts or moves until the next Start.
TEST_F(PuzzleGameTest, AfterTheGameIsOverNothingCountsUntilTheNextStart)
{
    startGameWith("2 _ 3 / 4 5 6 / 7 8 9", Level::Hard);
    ASSERT_TRUE(game.click(2).solved);

    for (const Level level : {Level::Hard, Level::Easy}) {
        game.chooseLevel(level);
        for (int piece = 1; piece <= 9; ++piece) {
            expectNotCounted(game.click(piece));
            expectNotCounted(game.keyPress(piece, PuzzleGame::kEnterKey));
        }
    }
    EXPECT_EQ(boardText(game), "_ 2 3 / 4 5 6 / 7 8 9");
    EXPECT_EQ(game.attempts(), 0);
    EXPECT_TRUE(game.isOver());
    EXPECT_TRUE(game.isPieceVisible(1));
}

// --- Counters ---

// The attempts and the seconds are not 16-bit counters: a long game goes past 32767 of each.
TEST_F(PuzzleGameTest, AttemptsAndSecondsCountPastSixteenBits)
{
    startGame(3, Level::Hard);
    ClickOutcome outcome;
    for (int click = 0; click < 40000; ++click)
        outcome = game.click(1);
    EXPECT_EQ(outcome.attemptsShown, 40000);
    EXPECT_EQ(game.attempts(), 40000);
    EXPECT_EQ(game.tick(kSteadyStart + 40000s), 40000);
    EXPECT_EQ(game.elapsedseconds(), 40000);
}

// The seconds follow the clock while a game runs, turning at the wall clock's whole seconds.
TEST_F(PuzzleGameTest, TicksFollowTheClockWhileAGameRuns)
{
    EXPECT_EQ(game.tick(kSteadyStart + 5s), 0); // no game yet
    startGame(3);                               // started at 12:00:00.700
    EXPECT_EQ(game.tick(kSteadyStart + 299ms), 0);
    EXPECT_EQ(game.tick(kSteadyStart + 300ms), 1);
    EXPECT_EQ(game.tick(kSteadyStart + 7s + 300ms), 8);
    EXPECT_EQ(game.elapsedseconds(), 8);
    EXPECT_EQ(game.tick(kSteadyStart - 1s), 0); // a reading from before the start
}

} // namespace
} // namespace tilmora::puzzle
