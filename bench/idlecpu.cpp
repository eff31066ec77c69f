// A game left alone: loads a picture, starts a 6 x 6 board and runs the event loop for a while
// with the clock's 10 ms timer ticking, then prints the share of one core it took meanwhile
// (user and system time from getrusage over the wall-clock time).
//
//   idlecpu PICTURE [SECONDS]     prints "idle_cpu_percent <value>"

#include "benchgame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: idlecpu PICTURE [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;

    tilmora::frmmain window(tilmora::bench::benchServices());
    if (!window.loadPictureFile(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "idlecpu: cannot load %s\n", argv[1]);
        return 1;
    }
    window.sixbysix_Click();
    window.start1_Click();
    window.show();

    // The first second settles the start-up (first paint, fonts, the first clock captions); the
    // measured stretch is the game sitting there after it. Precise timers: a coarse one may end
    // the stretch 5% early.
    double startProcessor = 0;
    QElapsedTimer wall;
    QTimer::singleShot(1000, Qt::PreciseTimer, &app, [&] {
        startProcessor = processorSeconds();
        wall.start();
        QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    });
    QApplication::exec();

    const double used = processorSeconds() - startProcessor;
    const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    if (!window.game().inPlay() || !window.game().timerEnabled()) {
        std::fprintf(stderr, "idlecpu: the game was not running\n");
        return 1;
    }
    std::printf("idle_cpu_percent %.3f\n", 100.0 * used / elapsed);
    std::printf("idle_seconds %.3f\n", elapsed);
    return 0;
}
