// Thousands of random games against a small model of the rules: sizes 3, 4 and 6, both levels,
// level and size changes and restarts in the middle, clicks and key presses on random pieces
// (numbers off the board included), and a helping hand now and then so that many games end
// solved. After every click the whole board and the counts are compared with the model.

#include "puzzle/puzzlegame.h"

#include "boardmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tilmora::puzzle {
namespace {

using namespace testkit;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

// What the player should see, kept by the test from the rules alone.
struct Model {
    Board board; // empty while no board is on the table
    int n = 0;
    Level level = Level::Easy;
    bool over = false;
    std::int64_t attempts = 0;

    [[nodiscard]] bool inPlay() const { return !board.empty() && !over; }
    [[nodiscard]] int blank() const
    {
        return static_cast<int>(std::find(board.begin(), board.end(), 1) - board.begin());
    }
};

class RandomPlay
{
public:
    explicit RandomPlay(unsigned seed)
        : dealer_(seed)
        , player_(seed ^ 0x5eedu)
    {}

    // One game session: a picture, a start, and a few hundred random actions.
    void run(int actions)
    {
        setSize(randomSize());
        setLevel(coin(0.5) ? Level::Easy : Level::Hard);
        game_.pictureLoaded();
        start();
        helpfulness_ = std::array{0.0, 0.3, 0.9}[pick(3)];
        for (int i = 0; i < actions && !::testing::Test::HasFatalFailure(); ++i)
            act();
    }

    int solvedGames() const { return solved_; }
    std::int64_t countedClicks() const { return counted_; }

private:
    void act()
    {
        const double roll = std::uniform_real_distribution<double>(0.0, 1.0)(player_);
        if (roll < 0.02) {
            start();
        } else if (roll < 0.03) {
            game_.pictureLoaded();
            model_.board.clear();
            model_.attempts = 0;
            ASSERT_FALSE(game_.hasBoard());
        } else if (roll < 0.07) {
            setLevel(coin(0.5) ? Level::Easy : Level::Hard);
        } else if (roll < 0.09) {
            setSize(randomSize());
        } else if (roll < 0.20) {
            const int piece = anyPieceNumber();
            const int code = coin(0.6) ? PuzzleGame::kEnterKey : std::array{0, 10, 32, 65}[pick(4)];
            const ClickOutcome outcome = game_.keyPress(piece, code);
            ASSERT_EQ(game_.keyindex(), piece);
            check(outcome, piece, code == PuzzleGame::kEnterKey && piece > 0);
        } else {
            const int piece = coin(helpfulness_) && model_.inPlay() ? helpfulPiece() : anyPieceNumber();
            check(game_.click(piece), piece, true);
        }
    }

    void start()
    {
        ASSERT_EQ(game_.start(dealer_, ClockReading{}), StartOutcome::Dealt);
        // The size chosen last, mid-game or not, is the size dealt.
        ASSERT_EQ(game_.boardsize(), pendingSize_);
        model_.n = pendingSize_;
        model_.board = game_.pieceorder();
        model_.over = false;
        model_.attempts = 0;
        ASSERT_EQ(model_.board.size(), at(model_.n * model_.n));
        ASSERT_TRUE(isPermutation(model_.board));
        ASSERT_TRUE(isSolvable(model_.board, model_.n));
        ASSERT_FALSE(isHomeOrder(model_.board));
        checkBoard();
    }

    // Compares a click's outcome and the game afterwards with the model, after playing the click
    // on the model. `asClick`: the action is a click (a key other than Enter never is).
    void check(const ClickOutcome& outcome, int piece, bool asClick)
    {
        const int pieceCount = model_.n * model_.n;
        const bool counted = asClick && model_.inPlay() && piece >= 1 && piece <= pieceCount;
        ASSERT_EQ(outcome.counted, counted) << "piece " << piece;
        if (!counted) {
            ASSERT_FALSE(outcome.moved);
            ASSERT_FALSE(outcome.solved);
        } else {
            ++counted_;
            ++model_.attempts;
            ASSERT_EQ(outcome.attemptsShown, model_.attempts);
            const int from = static_cast<int>(std::find(model_.board.begin(), model_.board.end(), piece) -
                                              model_.board.begin());
            const bool moves =
                piece != 1 && (model_.level == Level::Easy || areNeighbours(from, model_.blank(), model_.n));
            ASSERT_EQ(outcome.moved, moves) << "piece " << piece << " on " << boardText(model_.board);
            if (moves)
                slideIntoBlank(model_.board, from);
            const bool home = isHomeOrder(model_.board);
            ASSERT_EQ(outcome.solved, home) << boardText(model_.board);
            if (home) {
                model_.over = true;
                model_.attempts = 0;
                ++solved_;
            }
        }
        ASSERT_EQ(game_.attempts(), model_.attempts);
        ASSERT_EQ(game_.inPlay(), model_.inPlay());
        ASSERT_EQ(game_.hasBoard(), !model_.board.empty());
        if (game_.hasBoard())
            checkBoard();
    }

    // The board as the window reads it: one piece per cell, both look-ups agree, piece 1 marks the
    // blank, and solved exactly when every piece is home.
    void checkBoard()
    {
        const int n = model_.n;
        ASSERT_EQ(game_.boardsize(), n);
        std::vector<int> seen(at(n * n + 1), 0);
        for (int cell = 0; cell < n * n; ++cell) {
            const Cell where{cell / n, cell % n};
            const int piece = game_.pieceAt(where);
            ASSERT_GE(piece, 1);
            ASSERT_LE(piece, n * n);
            ASSERT_EQ(++seen[at(piece)], 1) << "piece " << piece << " twice";
            ASSERT_EQ(game_.cellOfPiece(piece), where);
            ASSERT_EQ(piece, model_.board[at(cell)]) << "cell " << cell << "\n game:  " << boardText(game_)
                                                     << "\n model: " << boardText(model_.board);
        }
        const int blank = model_.blank();
        ASSERT_EQ(game_.blankCell(), (Cell{blank / n, blank % n}));
        ASSERT_EQ(game_.CheckSolved(), isHomeOrder(model_.board));
        ASSERT_EQ(game_.isOver(), model_.over);
        ASSERT_EQ(game_.isPieceVisible(1), model_.over);
        ASSERT_EQ(game_.timerEnabled(), !model_.over);
    }

    // A click that brings the game closer to the end on Easy (the piece that belongs in the blank
    // cell, or any piece away from home when the blank is home), and a move that at least moves
    // something on Hard.
    int helpfulPiece()
    {
        const int blank = model_.blank();
        if (model_.level == Level::Hard) {
            std::vector<int> beside;
            for (int cell = 0; cell < model_.n * model_.n; ++cell) {
                if (areNeighbours(cell, blank, model_.n))
                    beside.push_back(model_.board[at(cell)]);
            }
            return beside[pick(beside.size())];
        }
        if (blank != 0)
            return blank + 1;
        for (std::size_t cell = 1; cell < model_.board.size(); ++cell) {
            if (model_.board[cell] != static_cast<int>(cell) + 1)
                return model_.board[cell];
        }
        return 1;
    }

    // A piece number from just below to just above the board's range, so invalid ones come up.
    int anyPieceNumber()
    {
        const int top = std::max(model_.n, 2) * std::max(model_.n, 2) + 2;
        return std::uniform_int_distribution<int>(-1, top)(player_);
    }

    void setSize(int n)
    {
        game_.chooseSize(n);
        pendingSize_ = n;
    }

    void setLevel(Level level)
    {
        game_.chooseLevel(level);
        model_.level = level;
    }

    int randomSize() { return std::array{3, 4, 6}[pick(3)]; }
    bool coin(double p) { return std::bernoulli_distribution(p)(player_); }
    std::size_t pick(std::size_t count)
    {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(player_);
    }

    PuzzleGame game_;
    Model model_;
    RandomEngine dealer_;
    std::mt19937 player_;
    int pendingSize_ = 0;
    double helpfulness_ = 0.0;
    int solved_ = 0;
    std::int64_t counted_ = 0;
};

// The rules hold after every click of thousands of random games, many of which end solved.
TEST(PuzzleGameProperty, RandomGamesAgreeWithAModelOfTheRulesAfterEveryClick)
{
    const int games = 4000;
    int solved = 0;
    std::int64_t clicks = 0;
    for (int seed = 0; seed < games; ++seed) {
        RandomPlay play(static_cast<unsigned>(seed));
        play.run(150);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "in the game played with seed " << seed;
            return;
        }
        solved += play.solvedGames();
        clicks += play.countedClicks();
    }
    EXPECT_GT(solved, games / 5);
    EXPECT_GT(clicks, games * 50);
}

} // namespace
} // namespace tilmora::puzzle
