// A game left alone: loads a picture, starts a 6 x 6 board and runs the event loop for a while
// with the clock's 10 ms timer ticking, then prints the share of one core it took meanwhile
// (user and system time from getrusage over the wall-clock time). With --bare, the yardstick: a
// bare QMainWindow with a menu bar and an empty 10 ms timer, the least any window that wakes a
// hundred times a second can cost.
//
//   idlecpu PICTURE [SECONDS]     prints "idle_cpu_percent <value>"
//   idlecpu --bare [SECONDS]

#include "benchgame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

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

std::unique_ptr<QMainWindow> bareWindow()
{
    auto window = std::make_unique<QMainWindow>();
    for (const char* title : {"Game", "Option", "Quick Help"})
        window->menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    auto* central = new QWidget(window.get());
    central->setFixedSize(455, 470);
    window->setCentralWidget(central);
    auto* timer = new QTimer(window.get());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, window.get(), [] {});
    timer->start();
    return window;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: idlecpu PICTURE|--bare [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    const bool bare = std::strcmp(argv[1], "--bare") == 0;

    std::unique_ptr<QMainWindow> window;
    if (bare) {
        window = bareWindow();
    } else {
        auto game = std::make_unique<tilmora::frmmain>(tilmora::bench::benchServices());
        if (!game->loadPictureFile(QString::fromLocal8Bit(argv[1]))) {
            std::fprintf(stderr, "idlecpu: cannot load %s\n", argv[1]);
            return 1;
        }
        game->sixbysix_Click();
        game->start1_Click();
        window = std::move(game);
    }
    window->show();

    // The first second settles the start-up (first paint, fonts, the first clock captions); the
    // measured stretch is the window sitting there after it. Precise timers: a coarse one may end
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
    if (const auto* game = qobject_cast<tilmora::frmmain*>(window.get());
        game != nullptr && (!game->game().inPlay() || !game->game().timerEnabled())) {
        std::fprintf(stderr, "idlecpu: the game was not running\n");
        return 1;
    }
    std::printf("idle_cpu_percent %.3f\n", 100.0 * used / elapsed);
    std::printf("idle_seconds %.3f\n", elapsed);
    return 0;
}
