#include "paradvisor.h"

#include "solver/easypar.h"
#include "solver/fourbyfoursearch.h"
#include "solver/fourbyfourtables.h"
#include "solver/lowerbound.h"
#include "solver/rowbyrow.h"
#include "solver/threebythree.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace tilmora {

namespace {

// The time the 4 x 4 search is given, counted in boards looked at (about a minute on one core): a
// deal that needs more keeps its bound as its par, and hints wait for a search that ends sooner.
constexpr std::uint64_t kPositionBudget = 200'000'000;
constexpr int kSearchNiceness = 10;

// Marks a search's thread as ended however it leaves its work.
class EndedOnExit
{
public:
    explicit EndedOnExit(std::atomic<bool>& ended)
        : ended_(ended)
    {}
    EndedOnExit(const EndedOnExit&) = delete;
    EndedOnExit& operator=(const EndedOnExit&) = delete;
    EndedOnExit(EndedOnExit&&) = delete;
    EndedOnExit& operator=(EndedOnExit&&) = delete;
    ~EndedOnExit() { ended_ = true; }

private:
    std::atomic<bool>& ended_;
};

} // namespace

ParAdvisor::ParAdvisor(QObject* parent)
    : QObject(parent)
{}

ParAdvisor::~ParAdvisor()
{
    stopSearch();
    retired_.clear(); // waits for each, a millisecond or so now that all are asked to stop
}

void ParAdvisor::dealt(int n, std::vector<int> cells, puzzle::Level level)
{
    stopSearch();
    n_ = n;
    deal_ = std::move(cells);
    board_ = deal_;
    inPlay_ = true;
    playedOnEasy_ = false;
    moves_ = 0;
    hintsTaken_ = 0;
    exactHardPar_.reset();
    dealSearchStarted_ = false;
    hintWaiting_ = false;
    played_.clear();
    path_.clear();
    pathKnown_ = false;
    levelChosen(level);
}

void ParAdvisor::levelChosen(puzzle::Level level)
{
    if (inPlay_ && level == puzzle::Level::Hard && n_ == 4 && !dealSearchStarted_) {
        dealSearchStarted_ = true;
        startSearch(SearchFor::Deal, deal_, 0);
    }
}

void ParAdvisor::moved(int piece, std::vector<int> cells, puzzle::Level level)
{
    if (!inPlay_)
        return;
    ++moves_;
    playedOnEasy_ = playedOnEasy_ || level == puzzle::Level::Easy;
    board_ = std::move(cells);
    played_.push_back(piece);
    hintWaiting_ = false; // asked for the board before this move
}

void ParAdvisor::gameOver()
{
    inPlay_ = false;
    hintWaiting_ = false;
    if (searching_ && searchPurpose_ == SearchFor::Hint)
        stopSearch();
}

void ParAdvisor::forget()
{
    stopSearch();
    inPlay_ = false;
    n_ = 0;
    deal_.clear();
}

void ParAdvisor::askHint(const std::vector<int>& cells, puzzle::Level level)
{
    if (!inPlay_ || std::ranges::is_sorted(cells))
        return;
    board_ = cells;
    if (level == puzzle::Level::Easy) {
        answerHint(solver::easyHintPiece(cells));
    } else if (n_ == 3) {
        answerHint(threeByThree().hintPiece(cells));
    } else if (n_ == 4) {
        if (const auto next = followedPathHint()) {
            answerHint(*next);
            return;
        }
        hintWaiting_ = true;
        if (!searching_)
            startSearch(SearchFor::Hint, cells, played_.size());
    } else if (const auto method = solver::rowByRowMoves(n_, cells); !method.empty()) {
        answerHint(method.front());
    }
}

std::optional<ParAdvisor::Par> ParAdvisor::par() const
{
    if (deal_.empty())
        return std::nullopt;
    // Any Hard way is an Easy way too, so a game with a move made on Easy is held to the Easy par.
    if (playedOnEasy_)
        return Par{solver::easyFewestMoves(deal_), true};
    if (n_ == 3)
        return Par{threeByThree().distance(deal_), true};
    if (exactHardPar_)
        return Par{*exactHardPar_, true};
    int bound = solver::slidingLowerBound(n_, deal_);
    if (n_ == 4 && tables_)
        bound = std::max(bound, tables_->lowerBound(deal_));
    return Par{bound, false};
}

QString ParAdvisor::parLine() const
{
    const auto fewest = par();
    if (!fewest)
        return {};
    QString line;
    if (fewest->exact && hintsTaken_ == 0) {
        //: The end of a game: the moves made, and the fewest that could have solved the deal.
        line = tr("Moves: %1 - fewest possible: %2");
    } else if (hintsTaken_ == 0) {
        //: The end of a game where only a bound on the fewest moves is known.
        line = tr("Moves: %1 - fewest possible: at least %2");
    } else if (fewest->exact) {
        //: The end of a game: moves made, the fewest possible, and the hints taken.
        line = tr("Moves: %1 - fewest possible: %2 - hints: %3");
    } else {
        //: The end of a game with a bound on the fewest moves, and the hints taken.
        line = tr("Moves: %1 - fewest possible: at least %2 - hints: %3");
    }
    line = line.arg(moves_).arg(fewest->moves);
    return hintsTaken_ == 0 ? line : line.arg(hintsTaken_);
}

// The next move of the known shortest way, while the player has followed it from its board.
std::optional<int> ParAdvisor::followedPathHint() const
{
    if (!pathKnown_ || played_.size() < pathStartMove_)
        return std::nullopt;
    const std::size_t followed = played_.size() - pathStartMove_;
    if (followed >= path_.size() || !std::equal(played_.begin() + static_cast<std::ptrdiff_t>(pathStartMove_),
                                                played_.end(), path_.begin()))
        return std::nullopt;
    return path_[followed];
}

void ParAdvisor::answerHint(int piece)
{
    if (piece <= 0)
        return;
    ++hintsTaken_;
    emit hintReady(piece);
}

const solver::ThreeByThreeDistances& ParAdvisor::threeByThree() const
{
    if (!threeByThree_)
        threeByThree_ = std::make_unique<solver::ThreeByThreeDistances>();
    return *threeByThree_;
}

// The tables are built on the search's thread the first time, and kept for the rest of the run.
void ParAdvisor::startSearch(SearchFor purpose, std::vector<int> cells, std::size_t startMove)
{
    stopSearch();
    searching_ = true;
    searchPurpose_ = purpose;
    const std::uint64_t generation = generation_;
    workerEnded_ = std::make_shared<std::atomic<bool>>(false);
    worker_ = std::jthread([this, generation, purpose, startMove, cells = std::move(cells), tables = tables_,
                            ended = workerEnded_](const std::stop_token& stop) {
        // The search gives way to the window's thread when both want the processor.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kSearchNiceness);
        const EndedOnExit endedOnExit(*ended);
        const auto usable = tables ? tables : solver::FourByFourTables::build(stop);
        if (!usable)
            return;
        auto solution = solver::solveFourByFour(*usable, cells, stop, kPositionBudget);
        const bool solved = solution.outcome == solver::FourByFourSolution::Outcome::Solved;
        // Answered on the window's thread; dropped unasked if the advisor is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, generation, purpose, startMove, usable, solved, moves = std::move(solution.moves)] {
                searchEnded(generation, purpose, startMove, usable, solved, moves);
            },
            Qt::QueuedConnection);
    });
}

void ParAdvisor::searchEnded(std::uint64_t generation, SearchFor purpose, std::size_t startMove,
                             const std::shared_ptr<const solver::FourByFourTables>& tables, bool solved,
                             const std::vector<int>& moves)
{
    if (!tables_)
        tables_ = tables;
    if (generation != generation_)
        return; // stopped since: the board it was for is gone
    searching_ = false;
    if (!solved) {
        hintWaiting_ = false;
        return;
    }
    if (purpose == SearchFor::Deal) {
        exactHardPar_ = static_cast<int>(moves.size());
        if (!inPlay_)
            emit parChanged();
    }
    path_ = moves;
    pathStartMove_ = startMove;
    pathKnown_ = true;
    if (hintWaiting_ && inPlay_) {
        hintWaiting_ = false;
        if (const auto next = followedPathHint()) {
            answerHint(*next);
        } else {
            hintWaiting_ = true; // the player left the way while it was found: find one from here
            startSearch(SearchFor::Hint, board_, played_.size());
        }
    }
}

// Asks the search to stop (it looks at its stop flag every few thousand boards) and lets it end
// on its own; searches stopped earlier that have ended are joined.
void ParAdvisor::stopSearch()
{
    std::erase_if(retired_, [](const Retired& search) { return search.ended->load(); });
    if (worker_.joinable()) {
        worker_.request_stop();
        retired_.push_back({std::move(worker_), workerEnded_});
    }
    searching_ = false;
    ++generation_;
}

} // namespace tilmora
