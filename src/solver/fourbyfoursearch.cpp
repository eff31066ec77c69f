#include "fourbyfoursearch.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tilmora::solver {

namespace {

constexpr int kSide = 4;
constexpr int kCells = 16;
constexpr int kFound = -1;
constexpr std::uint64_t kStopCheckInterval = 4096;

class Search
{
public:
    Search(const FourByFourTables& tables, std::span<const int> cells, const std::stop_token& stop,
           std::uint64_t budget)
        : tables_(tables)
        , stop_(stop)
        , budget_(budget)
    {
        for (std::size_t cell = 0; cell < kCells; ++cell) {
            cells_[cell] = cells[cell];
            where_[static_cast<std::size_t>(cells[cell])] = static_cast<int>(cell);
        }
        for (int group = 0; group < FourByFourTables::kGroups; ++group) {
            plain_[static_cast<std::size_t>(group)] = tables_.groupCount(group, where_);
            mirror_[static_cast<std::size_t>(group)] = tables_.mirroredGroupCount(group, where_);
            plainSum_ += plain_[static_cast<std::size_t>(group)];
            mirrorSum_ += mirror_[static_cast<std::size_t>(group)];
        }
    }

    FourByFourSolution run()
    {
        FourByFourSolution solution;
        for (int bound = std::max(plainSum_, mirrorSum_);;) {
            const int next = plainSum_ == 0 ? kFound : deepen(0, bound, 0);
            solution.positions = positions_;
            if (next == kFound) {
                solution.outcome = FourByFourSolution::Outcome::Solved;
                solution.moves = path_;
                return solution;
            }
            if (stopped_) {
                solution.outcome = stop_.stop_requested() ? FourByFourSolution::Outcome::Stopped
                                                          : FourByFourSolution::Outcome::OverBudget;
                return solution;
            }
            bound = next;
        }
    }

private:
    void swapWithBlank(int piece)
    {
        const auto from = static_cast<std::size_t>(where_[static_cast<std::size_t>(piece)]);
        const auto blank = static_cast<std::size_t>(where_[1]);
        cells_[blank] = piece;
        cells_[from] = 1;
        where_[static_cast<std::size_t>(piece)] = static_cast<int>(blank);
        where_[1] = static_cast<int>(from);
    }

    // Depth-first from a board whose estimate keeps within `bound`: kFound with path_ holding the
    // way, otherwise the least estimate found over the bound (the next bound to try).
    //
    // A move changes one group's count by one at most, so the mirrored count is read only when the
    // plain one alone does not already put the move over the bound; most moves end there.
    int deepen(int spent, int bound, int lastPiece)
    {
        int least = std::numeric_limits<int>::max();
        const int blank = where_[1];
        const std::array<int, 4> neighbours{
            blank >= kSide ? blank - kSide : -1, blank < kCells - kSide ? blank + kSide : -1,
            blank % kSide > 0 ? blank - 1 : -1, blank % kSide < kSide - 1 ? blank + 1 : -1};
        for (const int from : neighbours) {
            if (from < 0)
                continue;
            const int piece = cells_[static_cast<std::size_t>(from)];
            if (piece == lastPiece)
                continue; // sliding it straight back undoes the last move
            ++positions_;
            if (positions_ % kStopCheckInterval == 0 && (stop_.stop_requested() || positions_ > budget_))
                stopped_ = true;
            if (stopped_)
                return least;
            swapWithBlank(piece);
            const auto group = static_cast<std::size_t>(FourByFourTables::groupOf(piece));
            const auto mirroredGroup = static_cast<std::size_t>(FourByFourTables::mirroredGroupOf(piece));
            const int oldPlain = plain_[group];
            const int oldMirror = mirror_[mirroredGroup];
            plain_[group] = tables_.groupCount(static_cast<int>(group), where_);
            plainSum_ += plain_[group] - oldPlain;
            int estimate = spent + 1 + std::max(plainSum_, mirrorSum_ - 1);
            if (estimate <= bound) {
                mirror_[mirroredGroup] = tables_.mirroredGroupCount(static_cast<int>(mirroredGroup), where_);
                mirrorSum_ += mirror_[mirroredGroup] - oldMirror;
                estimate = spent + 1 + std::max(plainSum_, mirrorSum_);
            }
            if (estimate <= bound) {
                path_.push_back(piece);
                // Every group home is every piece home.
                estimate = plainSum_ == 0 ? kFound : deepen(spent + 1, bound, piece);
                if (estimate == kFound)
                    return kFound;
                path_.pop_back();
            }
            least = std::min(least, estimate);
            plainSum_ += oldPlain - plain_[group];
            mirrorSum_ += oldMirror - mirror_[mirroredGroup];
            plain_[group] = oldPlain;
            mirror_[mirroredGroup] = oldMirror;
            swapWithBlank(piece);
        }
        return least;
    }

    const FourByFourTables& tables_;
    const std::stop_token& stop_;
    std::uint64_t budget_;
    std::array<int, kCells> cells_{};
    CellsOfPieces where_{};
    std::array<int, FourByFourTables::kGroups> plain_{};
    std::array<int, FourByFourTables::kGroups> mirror_{};
    int plainSum_ = 0;
    int mirrorSum_ = 0;
    std::vector<int> path_;
    std::uint64_t positions_ = 0;
    bool stopped_ = false;
};

} // namespace

FourByFourSolution solveFourByFour(const FourByFourTables& tables, std::span<const int> cells,
                                   const std::stop_token& stop, std::uint64_t positionBudget)
{
    return Search(tables, cells, stop, positionBudget).run();
}

} // namespace tilmora::solver
