// A game left alone: loads a picture, starts a 6 x 6 board and runs the event loop for a while
// with the clock running, then prints the share of one core it took meanwhile (user and system
// time from getrusage over the wall-clock time) and how often it woke: the context switches of
// all its threads, voluntary and not, from /proc/self/task/*/status, per second. With --bare, the
// yardstick: a bare QMainWindow with a menu bar, which has nothing to wake for.
//
//   idlecpu PICTURE [SECONDS]     prints "idle_cpu_percent <value>" and "wakeups_per_second <value>"
//   idlecpu --bare [SECONDS]

#include "benchgame.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// Context switches of every thread of the process so far, voluntary and not.
long long contextSwitches()
{
    long long switches = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return switches;
}

std::unique_ptr<QMainWindow> bareWindow()
{
    auto window = std::make_unique<QMainWindow>();
    for (const char* title : {"Game", "Option", "Quick Help"})
        window->menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    auto* central = new QWidget(window.get());
    central->setFixedSize(455, 470);
    window->setCentralWidget(central);
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
        if (!tilmora::bench::loadAndWait(*game, QString::fromLocal8Bit(argv[1]))) {
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
    long long startSwitches = 0;
    QElapsedTimer wall;
    QTimer::singleShot(1000, Qt::PreciseTimer, &app, [&] {
        startSwitches = contextSwitches();
        startProcessor = processorSeconds();
        wall.start();
        QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    });
    QApplication::exec();

    const double used = processorSeconds() - startProcessor;
    const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const auto switches = static_cast<double>(contextSwitches() - startSwitches);
    if (const auto* game = qobject_cast<tilmora::frmmain*>(window.get());
        game != nullptr && (!game->game().inPlay() || !game->game().timerEnabled())) {
        std::fprintf(stderr, "idlecpu: the game was not running\n");
        return 1;
    }
    std::printf("idle_cpu_percent %.3f\n", 100.0 * used / elapsed);
    std::printf("idle_seconds %.3f\n", elapsed);
    std::printf("wakeups_per_second %.3f\n", switches / elapsed);
    return 0;
}
