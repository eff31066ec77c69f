#include "gamecommands.h"

#include "puzzle/deal.h"
#include "puzzle/puzzlegame.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

namespace tilmora::fuzzing {

namespace {

using puzzle::Cell;
using puzzle::PuzzleGame;

// Hands out the input a byte or a word at a time; zeros once it runs dry.
class ByteReader
{
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {}

    [[nodiscard]] bool empty() const { return at_ >= bytes_.size(); }

    std::uint8_t byte() { return empty() ? 0 : bytes_[at_++]; }

    std::uint32_t word32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }

    std::int64_t word64()
    {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i)
            value = value << 8 | byte();
        std::int64_t signedValue = 0;
        std::memcpy(&signedValue, &value, sizeof value);
        return signedValue;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// What the game looked like before a command, to tell what the command changed.
struct Snapshot {
    bool inPlay = false;
    int boardsize = 0;
    std::int64_t attempts = 0;
    std::int64_t elapsed = 0;
    std::vector<int> arrangement; // piece in each cell, reading order; empty without a board
};

std::vector<int> arrangementOf(const PuzzleGame& game)
{
    std::vector<int> pieces;
    if (!game.hasBoard())
        return pieces;
    const int n = game.boardsize();
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column)
            pieces.push_back(game.pieceAt({row, column}));
    return pieces;
}

Snapshot snapshotOf(const PuzzleGame& game)
{
    return {game.inPlay(), game.boardsize(), game.attempts(), game.elapsedseconds(), arrangementOf(game)};
}

std::optional<std::string> broken(std::string what)
{
    return what;
}

// The rules that hold after every command, whatever came before.
std::optional<std::string> checkBoard(const PuzzleGame& game)
{
    if (game.attempts() < 0)
        return broken("attempts went negative");
    if (game.elapsedseconds() < 0)
        return broken("elapsed seconds went negative");
    if (game.inPlay() && game.CheckSolved())
        return broken("a game in play is already solved");
    if (game.isOver() && !game.CheckSolved())
        return broken("a finished game is not in order");
    if (game.timerEnabled() && !game.inPlay())
        return broken("the clock runs without a game in play");
    if (!game.hasBoard())
        return std::nullopt;

    const int n = game.boardsize();
    if (n < 2 || n > 10 || game.pieceCount() != n * n)
        return broken("board size " + std::to_string(n) + " with " + std::to_string(game.pieceCount()) +
                      " pieces");
    std::vector<int> cellsOfPiece(static_cast<std::size_t>(game.pieceCount()) + 1, 0);
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            const Cell cell{row, column};
            const int piece = game.pieceAt(cell);
            if (piece < 1 || piece > game.pieceCount())
                return broken("cell holds no piece: " + std::to_string(piece));
            if (++cellsOfPiece[static_cast<std::size_t>(piece)] > 1)
                return broken("piece " + std::to_string(piece) + " stands in two cells");
            if (game.cellOfPiece(piece) != cell)
                return broken("cellOfPiece and pieceAt disagree on piece " + std::to_string(piece));
        }
    }
    if (game.blankCell() != game.cellOfPiece(1))
        return broken("the blank cell is not where piece 1 stands");
    for (int piece = 1; piece <= game.pieceCount(); ++piece) {
        const bool shouldShow = piece != 1 || game.isOver();
        if (game.isPieceVisible(piece) != shouldShow)
            return broken("piece " + std::to_string(piece) + " visibility is wrong");
    }

    const auto& deal = game.pieceorder();
    if (static_cast<int>(deal.size()) != game.pieceCount())
        return broken("the deal has the wrong number of cells");
    std::vector<int> sorted = deal;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> home(deal.size());
    std::iota(home.begin(), home.end(), 1);
    if (sorted != home)
        return broken("the deal is not a permutation");
    if (!puzzle::isSolvable(deal, n) || puzzle::isHomeOrder(deal))
        return broken("the deal cannot be solved, or is solved already");
    return std::nullopt;
}

// What a click or a key did must agree with the board before and after it. `isClick`: a click or
// Enter, which counts on any piece of a game in play; any other key never counts.
std::optional<std::string> checkClick(const PuzzleGame& game, const Snapshot& before, int piece, bool isClick,
                                      const puzzle::ClickOutcome& outcome)
{
    const auto after = arrangementOf(game);
    const bool shouldCount =
        isClick && before.inPlay && piece >= 1 && piece <= before.boardsize * before.boardsize;
    if (outcome.counted != shouldCount)
        return broken(shouldCount ? "a click on a piece in play was not counted"
                                  : "a click counted for nothing");
    if (!outcome.counted) {
        if (after != before.arrangement || game.attempts() != before.attempts)
            return broken("a click that did not count changed the board");
        return std::nullopt;
    }
    if (outcome.attemptsShown != before.attempts + 1)
        return broken("the attempts shown did not go up by one");
    // The rules, from the board as it was: piece 1 never moves; on Easy any other piece jumps into
    // the blank cell, on Hard only one next to it.
    const auto cellIndexOf = [&](int wanted) {
        return static_cast<int>(std::find(before.arrangement.begin(), before.arrangement.end(), wanted) -
                                before.arrangement.begin());
    };
    const int n = before.boardsize;
    const int from = cellIndexOf(piece);
    const int blank = cellIndexOf(1);
    const bool neighbours = std::abs(from / n - blank / n) + std::abs(from % n - blank % n) == 1;
    const bool shouldMove = piece != 1 && (game.level() == puzzle::Level::Easy || neighbours);
    if (game.clickCell() != Cell{from / n, from % n})
        return broken("the cell clicked is not remembered");
    if (outcome.moved != shouldMove)
        return broken(shouldMove ? "a piece that may move did not" : "a piece moved against the rules");
    if (outcome.solved != game.isOver())
        return broken("the click's solved flag disagrees with the game");
    if (!outcome.moved) {
        if (after != before.arrangement)
            return broken("a click that moved nothing changed the board");
        return std::nullopt;
    }
    // A move swaps the piece with the blank and nothing else.
    std::size_t changed = 0;
    for (std::size_t cell = 0; cell < after.size(); ++cell)
        changed += after[cell] != before.arrangement[cell] ? 1U : 0U;
    if (changed != 2)
        return broken("a move changed " + std::to_string(changed) + " cells");
    if (after[static_cast<std::size_t>(from)] != 1 || after[static_cast<std::size_t>(blank)] != piece)
        return broken("the piece and the blank did not trade cells");
    return std::nullopt;
}

// On Easy, the move that brings the game closest to solved: the piece that belongs in the blank
// cell, or any piece out of place when the blank is home. Lets the fuzzer reach the end of a game.
int helpfulPiece(const PuzzleGame& game)
{
    if (!game.inPlay())
        return 1;
    const Cell blank = game.blankCell();
    const int blankIndex = blank.row * game.boardsize() + blank.column;
    if (blankIndex != 0)
        return blankIndex + 1;
    for (int piece = 2; piece <= game.pieceCount(); ++piece) {
        const Cell cell = game.cellOfPiece(piece);
        if (cell.row * game.boardsize() + cell.column != piece - 1)
            return piece;
    }
    return 1;
}

} // namespace

std::optional<std::string> playGameCommands(std::span<const std::uint8_t> bytes)
{
    ByteReader input(bytes);
    PuzzleGame game;
    puzzle::RandomEngine random(input.word32());
    // Readings far from the extremes of the clock types, as real clocks give, moved by the input.
    puzzle::ClockReading reading{puzzle::SteadyTime{std::chrono::hours(24 * 365)},
                                 puzzle::WallTime{std::chrono::hours(24 * 365 * 50)}};

    if (auto failure = checkBoard(game))
        return failure;
    for (int step = 0; !input.empty(); ++step) {
        const std::uint8_t command = input.byte();
        const Snapshot before = snapshotOf(game);
        std::optional<std::string> failure;
        switch (command % 9) {
        case 0:
            game.pictureLoaded();
            break;
        case 1: {
            // Mostly the sizes of the menu, sometimes any size the core accepts.
            const std::uint8_t choice = input.byte();
            static constexpr int kMenuSizes[] = {3, 4, 6};
            game.chooseSize(choice & 0x80 ? 2 + choice % 9 : kMenuSizes[choice % 3]);
            break;
        }
        case 2:
            game.chooseLevel(input.byte() & 1 ? puzzle::Level::Hard : puzzle::Level::Easy);
            break;
        case 3: {
            const auto outcome = game.start(random, reading);
            if ((outcome == puzzle::StartOutcome::Dealt) != game.flagforload())
                failure = "Start dealt without a picture, or refused with one";
            else if (outcome == puzzle::StartOutcome::Dealt &&
                     (!game.inPlay() || game.attempts() != 0 || game.elapsedseconds() != 0 ||
                      game.boardsize() != game.gridsize()))
                failure = "a fresh deal is not a fresh game of the chosen size";
            break;
        }
        case 4: {
            // Piece numbers from -8 to 247: mostly real pieces, also none at all.
            const int piece = static_cast<int>(input.byte()) - 8;
            failure = checkClick(game, before, piece, true, game.click(piece));
            break;
        }
        case 5: {
            const int piece = static_cast<int>(input.byte()) - 8;
            const std::uint8_t key = input.byte();
            const int code = key & 1 ? PuzzleGame::kEnterKey : key >> 1;
            failure =
                checkClick(game, before, piece, code == PuzzleGame::kEnterKey, game.keyPress(piece, code));
            break;
        }
        case 6: {
            // Any steady time at all, also long before the start and at the ends of the clock.
            const puzzle::SteadyTime now{std::chrono::nanoseconds(input.word64())};
            const auto shown = game.tick(now);
            if (shown != game.elapsedseconds())
                failure = "tick returned another count than the game keeps";
            else if (!game.timerEnabled() && shown != before.elapsed)
                failure = "the count changed while the clock was stopped";
            break;
        }
        case 7: {
            // The clock moves forward by up to a minute.
            const auto step_ms = std::chrono::milliseconds(input.byte() * 250);
            reading.steady += step_ms;
            reading.wall += step_ms;
            break;
        }
        case 8: {
            const int piece = helpfulPiece(game);
            failure = checkClick(game, before, piece, true, game.click(piece));
            break;
        }
        }
        if (!failure)
            failure = checkBoard(game);
        if (failure)
            return "command " + std::to_string(step) + " (" + std::to_string(command % 9) + "): " + *failure;
    }
    return std::nullopt;
}

} // namespace tilmora::fuzzing
