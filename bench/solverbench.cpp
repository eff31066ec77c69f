// The solver's numbers: the par on Easy at each size and on Hard 3 x 3, the 4 x 4 tables' build
// time and memory, Korf's 100 random boards solved one after another on one core (each length
// checked against the published one), a hint on 6 x 6, and the window's event loop while the
// advisor builds the tables and searches the longest of Korf's boards off its thread.
//
//   solverbench KORF100.TXT
//
// Prints "name value" lines; times of the search and the build are the thread's processor time,
// so a busy machine slows them less than it would a clock on the wall.

#include "mainwindow/paradvisor.h"
#include "puzzle/deal.h"
#include "solver/easypar.h"
#include "solver/fourbyfoursearch.h"
#include "solver/rowbyrow.h"
#include "solver/threebythree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tilmora;

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double peakMib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values.empty() ? 0 : values[values.size() / 2];
}

// The processor time of one call, in seconds.
double timed(const std::function<void()>& work)
{
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

struct KorfBoard {
    int number = 0;
    int length = 0;
    std::vector<int> cells;
};

std::vector<KorfBoard> readKorf(const char* path)
{
    std::vector<KorfBoard> boards;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        KorfBoard board;
        fields >> board.number >> board.length;
        for (int tile = 0; fields >> tile;)
            board.cells.push_back(tile + 1);
        boards.push_back(board);
    }
    return boards;
}

void easyPar()
{
    puzzle::RandomEngine random(1);
    for (const int n : {3, 4, 6}) {
        std::vector<double> micros;
        for (int deal = 0; deal < 200; ++deal) {
            const auto cells = puzzle::dealSolvableBoard(n, random);
            int par = 0;
            micros.push_back(timed([&] { par = solver::easyFewestMoves(cells); }) * 1e6);
            if (par <= 0)
                std::printf("easy_par_wrong %d\n", n);
        }
        std::printf("easy_par_us_%d %.2f\n", n, median(micros));
    }
}

void threeByThree()
{
    std::unique_ptr<solver::ThreeByThreeDistances> table;
    std::printf("three_table_ms %.1f\n",
                timed([&] { table = std::make_unique<solver::ThreeByThreeDistances>(); }) * 1e3);
    puzzle::RandomEngine random(3);
    std::vector<double> micros;
    for (int deal = 0; deal < 200; ++deal) {
        const auto cells = puzzle::dealSolvableBoard(3, random);
        micros.push_back(timed([&] { (void)table->distance(cells); }) * 1e6);
    }
    std::printf("three_par_us %.2f\n", median(micros));
}

void fourByFour(const std::vector<KorfBoard>& boards)
{
    const double before = peakMib();
    std::shared_ptr<const solver::FourByFourTables> tables;
    std::printf("tables_build_s %.2f\n", timed([&] { tables = solver::FourByFourTables::build({}); }));
    std::printf("tables_mib %.1f\n", static_cast<double>(tables->bytes()) / (1 << 20));
    std::printf("tables_build_peak_mib %.1f\n", peakMib() - before);
    std::vector<double> seconds;
    int equal = 0;
    for (const auto& board : boards) {
        solver::FourByFourSolution solution;
        seconds.push_back(
            timed([&] { solution = solver::solveFourByFour(*tables, board.cells, {}, ~0ULL); }));
        const bool same = static_cast<int>(solution.moves.size()) == board.length;
        equal += same ? 1 : 0;
        std::fprintf(stderr, "korf %d: %zu moves (published %d), %.3f s, %llu boards\n", board.number,
                     solution.moves.size(), board.length, seconds.back(),
                     static_cast<unsigned long long>(solution.positions));
    }
    std::ranges::sort(seconds);
    std::printf("korf_equal %d\nkorf_count %zu\n", equal, boards.size());
    std::printf("korf_median_ms %.1f\n", median(seconds) * 1e3);
    std::printf("korf_p95_ms %.1f\n", seconds[seconds.size() * 95 / 100 - 1] * 1e3);
    std::printf("korf_worst_ms %.1f\n", seconds.back() * 1e3);
    std::printf("korf_within_1s %td\n", std::ranges::count_if(seconds, [](double s) { return s <= 1.0; }));
}

void sixBySixHint()
{
    puzzle::RandomEngine random(6);
    std::vector<double> millis;
    for (int deal = 0; deal < 50; ++deal) {
        const auto cells = puzzle::dealSolvableBoard(6, random);
        millis.push_back(timed([&] { (void)solver::rowByRowMoves(6, cells); }) * 1e3);
    }
    std::printf("six_hint_ms %.2f\n", median(millis));
}

// The advisor, as the window uses it, deals the longest of Korf's boards on Hard with no tables yet
// and the game over at once: it builds the tables and searches on its thread and says when the par
// is exact. Meanwhile a 1 ms timer ticks on the event loop; the longest gap between ticks is the
// longest the window would stand still, beside the same watch over the idle loop. Then a search is
// stopped by a new deal, timed.
// The longest gap between the ticks of a precise 1 ms timer on the event loop while `loop` runs.
qint64 longestGapNs(QEventLoop& loop)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.nsecsElapsed() - last);
        last = clock.nsecsElapsed();
    });
    clock.start();
    ticks.start();
    loop.exec();
    return longestGap;
}

void stallWhileSearching(const KorfBoard& longest)
{
    ParAdvisor advisor;
    QEventLoop loop;
    QObject::connect(&advisor, &ParAdvisor::parChanged, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(0, &loop, [&] {
        advisor.dealt(4, longest.cells, puzzle::Level::Hard);
        advisor.gameOver();
    });
    std::printf("stall_search_ms %.1f\n", static_cast<double>(longestGapNs(loop)) / 1e6);
    const qint64 searchMs = wall.elapsed();
    std::printf("stall_search_wall_s %.1f\n", static_cast<double>(searchMs) / 1e3);
    std::printf("stall_par_exact %d\n", advisor.par() && advisor.par()->exact ? advisor.par()->moves : -1);
    // The yardstick: the same watch over the idle loop, as long (20 s at most).
    QTimer::singleShot(std::min<qint64>(searchMs, 20'000), &loop, &QEventLoop::quit);
    std::printf("stall_idle_ms %.1f\n", static_cast<double>(longestGapNs(loop)) / 1e6);

    advisor.dealt(4, longest.cells, puzzle::Level::Hard);
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    QElapsedTimer stopping;
    stopping.start();
    advisor.dealt(4, longest.cells, puzzle::Level::Easy); // a new deal stops the search under way
    std::printf("stop_search_ms %.2f\n", static_cast<double>(stopping.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: solverbench KORF100.TXT\n");
        return 2;
    }
    const auto boards = readKorf(argv[1]);
    if (boards.empty())
        return 1;
    easyPar();
    threeByThree();
    sixBySixHint();
    fourByFour(boards);
    stallWhileSearching(*std::ranges::max_element(boards, {}, &KorfBoard::length));
    return 0;
}
