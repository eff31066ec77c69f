#include "boardmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <sstream>
#include <stdexcept>

namespace tilmora::puzzle::testkit {

namespace {

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

int blankIndex(std::span<const int> board)
{
    return static_cast<int>(std::find(board.begin(), board.end(), 1) - board.begin());
}

// The cells sharing a side with `cell`, in no particular order.
struct Neighbours {
    std::array<int, 4> cells{};
    std::size_t count = 0;
    [[nodiscard]] const int* begin() const { return cells.data(); }
    [[nodiscard]] const int* end() const { return cells.data() + count; }
};

Neighbours neighboursOf(int cell, int n)
{
    const int row = cell / n;
    const int column = cell % n;
    Neighbours result;
    if (row > 0)
        result.cells[result.count++] = cell - n;
    if (row < n - 1)
        result.cells[result.count++] = cell + n;
    if (column > 0)
        result.cells[result.count++] = cell - 1;
    if (column < n - 1)
        result.cells[result.count++] = cell + 1;
    return result;
}

// Where the pieces being placed and the blank stand, as indices among the free cells.
constexpr std::size_t kMaxMovers = 4;
using Positions = std::array<int, kMaxMovers>;

// Moves of the blank that bring the pieces homed in `targets` (the piece homed in cell t is
// t + 1) to their home cells, never stepping on a locked cell. The other pieces are
// interchangeable here, so the state is only where these pieces and the blank stand.
std::optional<std::vector<int>> bringHome(const Board& board, int n, const std::vector<bool>& locked,
                                          const std::vector<int>& targets)
{
    const int cells = n * n;
    std::vector<int> freeCells;
    std::vector<int> local(at(cells), -1);
    for (int cell = 0; cell < cells; ++cell) {
        if (!locked[at(cell)]) {
            local[at(cell)] = static_cast<int>(freeCells.size());
            freeCells.push_back(cell);
        }
    }
    const auto freeCount = static_cast<std::int64_t>(freeCells.size());
    const std::size_t movers = targets.size() + 1; // the group's pieces, then the blank

    if (movers > kMaxMovers)
        throw std::logic_error("too many pieces to place at once");

    Positions start{};
    Positions goal{};
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto where = std::find(board.begin(), board.end(), targets[i] + 1) - board.begin();
        start[i] = local[static_cast<std::size_t>(where)];
        goal[i] = local[at(targets[i])];
    }
    start[movers - 1] = local[at(blankIndex(board))];
    if (std::count(start.begin(), start.begin() + static_cast<std::ptrdiff_t>(movers), -1) > 0)
        throw std::logic_error("a piece still to be placed stands on a finished cell");

    const auto encode = [&](const Positions& positions) {
        std::int64_t code = 0;
        for (std::size_t i = movers; i-- > 0;)
            code = code * freeCount + positions[i];
        return code;
    };
    const auto decode = [&](std::int64_t code) {
        Positions positions{};
        for (std::size_t i = 0; i < movers; ++i) {
            positions[i] = static_cast<int>(code % freeCount);
            code /= freeCount;
        }
        return positions;
    };
    const auto isGoal = [&](const Positions& positions) {
        return std::equal(goal.begin(), goal.begin() + static_cast<std::ptrdiff_t>(movers - 1),
                          positions.begin());
    };

    std::int64_t stateCount = 1;
    for (std::size_t i = 0; i < movers; ++i)
        stateCount *= freeCount;
    std::vector<std::int64_t> parent(static_cast<std::size_t>(stateCount), -1);
    std::vector<int> steppedInto(static_cast<std::size_t>(stateCount), -1);
    std::vector<std::int64_t> queue{encode(start)};
    parent[static_cast<std::size_t>(queue.front())] = queue.front();

    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::int64_t code = queue[head];
        const auto positions = decode(code);
        if (isGoal(positions)) {
            std::vector<int> path;
            for (std::int64_t back = code; parent[static_cast<std::size_t>(back)] != back;
                 back = parent[static_cast<std::size_t>(back)])
                path.push_back(steppedInto[static_cast<std::size_t>(back)]);
            std::reverse(path.begin(), path.end());
            return path;
        }
        const int blank = positions[movers - 1];
        for (const int next : neighboursOf(freeCells[at(blank)], n)) {
            if (locked[at(next)])
                continue;
            auto moved = positions;
            moved[movers - 1] = local[at(next)];
            for (std::size_t i = 0; i + 1 < movers; ++i) {
                if (moved[i] == local[at(next)])
                    moved[i] = blank;
            }
            const std::int64_t nextCode = encode(moved);
            if (parent[static_cast<std::size_t>(nextCode)] != -1)
                continue;
            parent[static_cast<std::size_t>(nextCode)] = code;
            steppedInto[static_cast<std::size_t>(nextCode)] = next;
            queue.push_back(nextCode);
        }
    }
    return std::nullopt;
}

} // namespace

Board parseBoard(std::string_view text)
{
    std::istringstream in{std::string(text)};
    Board board;
    std::string token;
    while (in >> token) {
        if (token == "/")
            continue;
        board.push_back(token == "_" ? 1 : std::stoi(token));
    }
    return board;
}

std::string boardText(std::span<const int> board)
{
    const int n = sideOf(board.size());
    std::string text;
    for (std::size_t cell = 0; cell < board.size(); ++cell) {
        if (cell > 0)
            text += cell % at(n) == 0 ? " / " : " ";
        text += board[cell] == 1 ? "_" : std::to_string(board[cell]);
    }
    return text;
}

int sideOf(std::size_t pieceCount)
{
    const auto side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(pieceCount))));
    if (at(side * side) != pieceCount)
        throw std::invalid_argument("a board must be square");
    return side;
}

Board boardOf(const PuzzleGame& game)
{
    Board board;
    for (int row = 0; row < game.boardsize(); ++row) {
        for (int column = 0; column < game.boardsize(); ++column)
            board.push_back(game.pieceAt({row, column}));
    }
    return board;
}

std::string boardText(const PuzzleGame& game)
{
    return boardText(boardOf(game));
}

Board homeBoard(int n)
{
    Board board(at(n * n));
    for (std::size_t cell = 0; cell < board.size(); ++cell)
        board[cell] = static_cast<int>(cell) + 1;
    return board;
}

bool isPermutation(std::span<const int> board)
{
    std::vector<int> sorted(board.begin(), board.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted == homeBoard(sideOf(board.size()));
}

bool areNeighbours(int cellA, int cellB, int n)
{
    return std::abs(cellA / n - cellB / n) + std::abs(cellA % n - cellB % n) == 1;
}

bool textbookSaysSolvable(std::span<const int> board, int n)
{
    int inversions = 0;
    for (std::size_t i = 0; i < board.size(); ++i) {
        for (std::size_t j = i + 1; j < board.size(); ++j) {
            if (board[i] != 1 && board[j] != 1 && board[i] > board[j])
                ++inversions;
        }
    }
    const bool inversionsOdd = inversions % 2 == 1;
    if (n % 2 == 1)
        return !inversionsOdd;
    const int blankRowFromBottom = n - blankIndex(board) / n;
    return inversionsOdd == (blankRowFromBottom % 2 == 0);
}

std::size_t rankOf3x3(std::span<const int> board)
{
    std::size_t rank = 0;
    for (std::size_t i = 0; i < board.size(); ++i) {
        std::size_t smallerLater = 0;
        for (std::size_t j = i + 1; j < board.size(); ++j) {
            if (board[j] < board[i])
                ++smallerLater;
        }
        rank = rank * (board.size() - i) + smallerLater;
    }
    return rank;
}

const std::vector<bool>& reachable3x3()
{
    static const std::vector<bool> table = [] {
        std::vector<bool> seen(362880, false);
        std::vector<std::array<int, 9>> queue;
        std::array<int, 9> home{};
        std::copy_n(homeBoard(3).begin(), 9, home.begin());
        queue.push_back(home);
        seen[rankOf3x3(home)] = true;
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const auto board = queue[head];
            const int blank = blankIndex(board);
            for (const int next : neighboursOf(blank, 3)) {
                auto moved = board;
                std::swap(moved[at(blank)], moved[at(next)]);
                const auto rank = rankOf3x3(moved);
                if (!seen[rank]) {
                    seen[rank] = true;
                    queue.push_back(moved);
                }
            }
        }
        return seen;
    }();
    return table;
}

std::optional<std::vector<int>> solveByNeighbourMoves(Board board, int n)
{
    std::vector<bool> locked(at(n * n), false);
    std::vector<int> moves;
    const auto place = [&](const std::vector<int>& targets) {
        const auto path = bringHome(board, n, locked, targets);
        if (!path)
            return false;
        for (const int cell : *path) {
            slideIntoBlank(board, cell);
            moves.push_back(cell);
        }
        for (const int target : targets)
            locked[at(target)] = true;
        return true;
    };
    const auto cell = [n](int row, int column) { return row * n + column; };

    for (int row = n - 1; row >= 2; --row) {
        for (int column = n - 1; column >= 2; --column) {
            if (!place({cell(row, column)}))
                return std::nullopt;
        }
        if (!place({cell(row, 1), cell(row, 0)}))
            return std::nullopt;
    }
    for (int column = n - 1; column >= 2; --column) {
        if (!place({cell(0, column), cell(1, column)}))
            return std::nullopt;
    }
    if (!place({cell(0, 1), cell(1, 0), cell(1, 1)}))
        return std::nullopt;
    return moves;
}

void slideIntoBlank(Board& board, int cell)
{
    std::swap(board[at(blankIndex(board))], board[at(cell)]);
}

std::int64_t arrangeOnEasy(PuzzleGame& game, std::span<const int> target)
{
    const Level level = game.level();
    game.chooseLevel(Level::Easy);
    const Board home = homeBoard(game.boardsize());
    Board board = boardOf(game);
    std::int64_t clicks = 0;
    const std::int64_t limit = 4 * static_cast<std::int64_t>(board.size());
    while (!std::equal(board.begin(), board.end(), target.begin(), target.end()) && clicks < limit) {
        const int blank = blankIndex(board);
        // The piece that belongs in the blank cell goes there; when the blank is already where
        // it should end, it moves on to a cell still wrong. A step that would solve the board on
        // the way (and end the game) is replaced by another wrong cell.
        std::vector<int> choices;
        if (target[at(blank)] != 1)
            choices.push_back(target[at(blank)]);
        for (std::size_t cell = 0; cell < board.size(); ++cell) {
            if (board[cell] != target[cell] && board[cell] != 1)
                choices.push_back(board[cell]);
        }
        bool clicked = false;
        for (const int piece : choices) {
            Board next = board;
            slideIntoBlank(next, static_cast<int>(std::find(next.begin(), next.end(), piece) - next.begin()));
            if (next == home)
                continue;
            const ClickOutcome outcome = game.click(piece);
            ++clicks;
            EXPECT_TRUE(outcome.moved && !outcome.solved) << "arranging the board with piece " << piece;
            board = boardOf(game);
            clicked = true;
            break;
        }
        if (!clicked)
            break;
    }
    EXPECT_EQ(boardText(board), boardText(target)) << "the board could not be arranged";
    game.chooseLevel(level);
    return clicks;
}

} // namespace tilmora::puzzle::testkit
