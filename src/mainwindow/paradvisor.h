#pragma once

// The window's side of the solver: the fewest moves from the deal (the par shown at the end of a
// game) and hints, worked out as each board needs. Easy boards, Hard 3 x 3 boards and the larger
// boards' bounds and method are quick and answered at once; the exact 4 x 4 Hard search and its
// tables run on a thread of their own, stopped by a new deal, a new picture or Exit, and answer
// through the window's event loop.

#include "puzzle/puzzlegame.h"

#include <QCoreApplication>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace tilmora {

namespace solver {
class FourByFourTables;
class ThreeByThreeDistances;
} // namespace solver

class ParAdvisor final : public QObject
{
    Q_OBJECT
public:
    explicit ParAdvisor(QObject* parent = nullptr);
    ~ParAdvisor() override;

    // A board was dealt: `cells` is the deal (the piece in each cell in reading order).
    void dealt(int n, std::vector<int> cells, puzzle::Level level);
    // A level chosen during the game: on 4 x 4 Hard the exact search starts if it had not.
    void levelChosen(puzzle::Level level);
    // A piece moved; `cells` is the board after the move, made at `level`.
    void moved(int piece, std::vector<int> cells, puzzle::Level level);
    // The game was won: no more hints; the 4 x 4 search goes on, to make the par exact.
    void gameOver();
    // The board went away without a new deal (a new picture): everything stops.
    void forget();

    // A hint for `cells` at `level`: answered by hintReady, at once, or once the search ends (if the
    // board is still the same by then). Ignored outside a game in play.
    void askHint(const std::vector<int>& cells, puzzle::Level level);

    // The moves made and the fewest possible from the deal, with the hints taken, for the end of a
    // game; empty before a deal.
    [[nodiscard]] QString parLine() const;
    // The fewest moves from the deal, and whether that is exact or a bound; nullopt before a deal.
    struct Par {
        int moves = 0;
        bool exact = false;
    };
    [[nodiscard]] std::optional<Par> par() const;
    [[nodiscard]] int hintsTaken() const { return hintsTaken_; }

signals:
    // The piece a hint asked for should move next.
    void hintReady(int piece);
    // The par of the finished game became exact.
    void parChanged();

private:
    enum class SearchFor { Deal, Hint };
    void startSearch(SearchFor purpose, std::vector<int> cells, std::size_t startMove);
    void searchEnded(std::uint64_t generation, SearchFor purpose, std::size_t startMove,
                     const std::shared_ptr<const solver::FourByFourTables>& tables, bool solved,
                     const std::vector<int>& moves);
    void stopSearch();
    [[nodiscard]] std::optional<int> followedPathHint() const;
    void answerHint(int piece);
    [[nodiscard]] const solver::ThreeByThreeDistances& threeByThree() const;

    int n_ = 0;
    std::vector<int> deal_;
    std::vector<int> board_;
    bool inPlay_ = false;
    bool playedOnEasy_ = false;
    int moves_ = 0;
    int hintsTaken_ = 0;
    std::optional<int> exactHardPar_; // the 4 x 4 search's answer for the deal
    bool dealSearchStarted_ = false;
    bool hintWaiting_ = false;

    // The pieces moved since the deal, and a shortest way from the board after the first
    // pathStartMove_ of them.
    std::vector<int> played_;
    std::vector<int> path_;
    std::size_t pathStartMove_ = 0;
    bool pathKnown_ = false;

    std::shared_ptr<const solver::FourByFourTables> tables_;
    mutable std::unique_ptr<solver::ThreeByThreeDistances> threeByThree_; // built when first asked
    std::jthread worker_;
    // Searches asked to stop, left to end on their own so the window never waits for one; each
    // says when it has ended, and is joined then (or at the end of the run).
    struct Retired {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::vector<Retired> retired_;
    std::shared_ptr<std::atomic<bool>> workerEnded_;
    bool searching_ = false;
    SearchFor searchPurpose_ = SearchFor::Deal;
    std::uint64_t generation_ = 0;
};

} // namespace tilmora
