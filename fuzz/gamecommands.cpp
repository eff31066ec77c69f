#include "gamecommands.h"

#include "puzzle/puzzlegame.h"

#include <algorithm>

using namespace tilmora::puzzle;

std::optional<std::string> tilmora::fuzzing::playGameCommands(std::span<const std::uint8_t> bytes)
{
    std::size_t at = 0;
    const auto take = [&](int count) { // the next bytes, big-endian; zeros once the input runs dry
        std::uint64_t value = 0;
        for (; count > 0; --count)
            value = value << 8 | (at < bytes.size() ? bytes[at++] : 0U);
        return static_cast<std::int64_t>(value);
    };
    PuzzleGame game;
    RandomEngine random(static_cast<std::uint32_t>(take(4)));
    std::vector<int> before; // the piece in each cell in reading order, before the command
    for (int step = 0; at < bytes.size(); ++step) {
        const auto [inPlay, attempts] = std::pair(game.inPlay(), game.attempts());
        const auto [command, arg] =
            std::pair{take(1) % 6, static_cast<int>(take(1))};        // braces: read in order
        const int key = command == 5 ? static_cast<int>(take(1)) : 0; // only Enter clicks
        if (command == 0)
            game.pictureLoaded();
        if (command == 1)
            game.chooseSize(2 + arg % 9);
        if (command == 2)
            game.chooseLevel(arg % 2 == 0 ? Level::Easy : Level::Hard);
        if (command == 3) // a start anywhere in a wall-clock second
            game.start(random, {SteadyTime{}, WallTime{std::chrono::milliseconds(arg * 4)}});
        if (command == 4) // any steady time, before the start and at the ends of the clock too
            game.tick(SteadyTime{std::chrono::nanoseconds(take(8))});
        const auto outcome = command == 5 ? game.keyPress(arg - 8, key) : ClickOutcome{}; // -8 to 247
        // A click in play counts; the piece trades cells with the blank on Easy, on Hard if beside it.
        const auto from = std::ranges::find(before, arg - 8) - before.begin();
        const auto blank = std::ranges::find(before, 1) - before.begin();
        const bool counts = inPlay && key == PuzzleGame::kEnterKey && from < std::ssize(before);
        const int n = game.boardsize();
        const bool beside = counts && std::abs(from / n - blank / n) + std::abs(from % n - blank % n) == 1;
        auto expected = before;
        if (counts && (game.level() == Level::Easy || beside))
            std::iter_swap(expected.begin() + from, expected.begin() + blank);
        std::vector<int> board; // 0 where the piece in a cell says it stands elsewhere
        for (int cell = 0; game.hasBoard() && cell < n * n; ++cell) {
            const Cell where{cell / n, cell % n};
            board.push_back(game.cellOfPiece(game.pieceAt(where)) == where ? game.pieceAt(where) : 0);
        }
        const auto broken = [&](const char* rule) { return "command " + std::to_string(step) + ": " + rule; };
        if (std::ranges::count(board, 0) > 0 || game.timerEnabled() != game.inPlay() ||
            game.isOver() != (game.hasBoard() && std::ranges::is_sorted(board)))
            return broken("a cell without its one piece, a clock out of play, or an end with a piece away");
        if (outcome.counted != counts || outcome.attemptsShown != (counts ? attempts + 1 : 0) ||
            outcome.moved != (expected != before) ||
            (command != 0 && command != 3 && (board != expected || (!counts && game.attempts() != attempts))))
            return broken("a command counted or moved against the rules");
        before = board;
    }
    return std::nullopt;
}
