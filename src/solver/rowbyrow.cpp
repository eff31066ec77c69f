#include "rowbyrow.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace tilmora::solver {

namespace {

// One step of the method: the cells whose pieces it brings home (one to three), with the cells
// settled by earlier steps left alone.
using Step = std::vector<int>;

std::vector<Step> stepsFor(int n)
{
    std::vector<Step> steps;
    for (int row = n - 1; row >= 2; --row) {
        for (int column = n - 1; column >= 2; --column)
            steps.push_back({row * n + column});
        // The last two of a row go home together: one alone could not be slid into the corner
        // without pushing the other out again.
        steps.push_back({row * n + 1, row * n});
    }
    for (int column = n - 1; column >= 2; --column)
        steps.push_back({column, n + column});
    steps.push_back({1, n, n + 1});
    return steps;
}

class StepSearch
{
public:
    StepSearch(int n, const std::vector<bool>& settled, const Step& targets)
        : n_(n)
        , targets_(targets)
    {
        localOf_.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), -1);
        for (int cell = 0; cell < n * n; ++cell) {
            if (!settled[static_cast<std::size_t>(cell)]) {
                localOf_[static_cast<std::size_t>(cell)] = static_cast<int>(free_.size());
                free_.push_back(cell);
            }
        }
    }

    // The cells the blank steps into, in order, to bring the step's pieces home; nullopt when no
    // way exists (an unsolvable board).
    std::optional<std::vector<int>> blankPath(const std::vector<int>& cells) const
    {
        std::vector<int> start; // where each target piece stands, then the blank
        for (const int target : targets_)
            start.push_back(localOf(cellOfPiece(cells, target + 1)));
        start.push_back(localOf(cellOfPiece(cells, 1)));

        const std::size_t states = power(free_.size(), start.size());
        std::vector<std::int32_t> cameFrom(states, -1);
        const std::size_t first = encode(start);
        cameFrom[first] = static_cast<std::int32_t>(first);
        std::vector<std::size_t> queue{first};
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const auto state = decode(queue[head]);
            if (isGoal(state))
                return pathTo(queue[head], cameFrom);
            const int blank = free_[static_cast<std::size_t>(state.back())];
            for (const int into : neighbours(blank)) {
                if (into < 0 || localOf(into) < 0)
                    continue;
                auto next = state;
                next.back() = localOf(into);
                for (std::size_t i = 0; i + 1 < next.size(); ++i) {
                    if (next[i] == localOf(into))
                        next[i] = state.back(); // that target piece slides into the blank's cell
                }
                const std::size_t code = encode(next);
                if (cameFrom[code] < 0) {
                    cameFrom[code] = static_cast<std::int32_t>(queue[head]);
                    queue.push_back(code);
                }
            }
        }
        return std::nullopt;
    }

private:
    static std::size_t power(std::size_t base, std::size_t exponent)
    {
        std::size_t result = 1;
        while (exponent-- > 0)
            result *= base;
        return result;
    }
    static int cellOfPiece(const std::vector<int>& cells, int piece)
    {
        for (std::size_t cell = 0; cell < cells.size(); ++cell) {
            if (cells[cell] == piece)
                return static_cast<int>(cell);
        }
        return -1;
    }
    [[nodiscard]] int localOf(int cell) const { return localOf_[static_cast<std::size_t>(cell)]; }
    [[nodiscard]] std::vector<int> neighbours(int cell) const
    {
        const int row = cell / n_;
        const int column = cell % n_;
        return {row > 0 ? cell - n_ : -1, row < n_ - 1 ? cell + n_ : -1, column > 0 ? cell - 1 : -1,
                column < n_ - 1 ? cell + 1 : -1};
    }
    [[nodiscard]] std::size_t encode(const std::vector<int>& state) const
    {
        std::size_t code = 0;
        for (const int local : state)
            code = code * free_.size() + static_cast<std::size_t>(local);
        return code;
    }
    [[nodiscard]] std::vector<int> decode(std::size_t code) const
    {
        std::vector<int> state(targets_.size() + 1);
        for (std::size_t i = state.size(); i-- > 0;) {
            state[i] = static_cast<int>(code % free_.size());
            code /= free_.size();
        }
        return state;
    }
    [[nodiscard]] bool isGoal(const std::vector<int>& state) const
    {
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            if (state[i] != localOf(targets_[i]))
                return false;
        }
        return true;
    }
    [[nodiscard]] std::vector<int> pathTo(std::size_t code, const std::vector<std::int32_t>& cameFrom) const
    {
        std::vector<int> path;
        for (; static_cast<std::size_t>(cameFrom[code]) != code;
             code = static_cast<std::size_t>(cameFrom[code]))
            path.push_back(free_[static_cast<std::size_t>(decode(code).back())]);
        return {path.rbegin(), path.rend()};
    }

    int n_;
    Step targets_;
    std::vector<int> free_;    // the cells not yet settled, in reading order
    std::vector<int> localOf_; // a cell's index among free_, -1 when settled
};

} // namespace

std::vector<int> rowByRowMoves(int n, std::span<const int> cells)
{
    std::vector<int> board(cells.begin(), cells.end());
    std::vector<bool> settled(board.size(), false);
    std::vector<int> moves;
    for (const auto& step : stepsFor(n)) {
        const auto path = StepSearch(n, settled, step).blankPath(board);
        if (!path)
            return {};
        for (const int into : *path) {
            auto blank = static_cast<std::size_t>(std::ranges::find(board, 1) - board.begin());
            moves.push_back(board[static_cast<std::size_t>(into)]);
            std::swap(board[blank], board[static_cast<std::size_t>(into)]);
        }
        for (const int cell : step)
            settled[static_cast<std::size_t>(cell)] = true;
    }
    return moves;
}

} // namespace tilmora::solver
