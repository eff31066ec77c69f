// How long the event loop stands still while a large picture is read in the background: a precise
// 1 ms timer ticks throughout, and the longest gap between two ticks is the longest the window
// would have stopped answering. The read is the game's own: PictureReader, its decoder helper
// started beforehand as the window starts it once its first frame is shown.
//
//   readstall PICTURE [READS]
//
// Prints "longest_gap_ms X" (the worst over all the reads), "median_read_ms X" (from the request
// to the fitted picture) and "reads N" (those that gave a picture).

#include "picture/picturereader.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <variant>
#include <vector>

namespace {

// Lets the event loop run for a while, so a helper being started has time to be ready.
void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Measured {
    qint64 longestGapNs = 0;
    qint64 readNs = 0;
    bool loaded = false;
};

Measured measureOneRead(tilmora::PictureReader& reader, const QString& path)
{
    Measured measured;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        measured.longestGapNs = std::max(measured.longestGapNs, now - lastTurn);
        lastTurn = now;
    });
    bool answered = false;
    const auto connection = QObject::connect(
        &reader, &tilmora::PictureReader::finished, &loop, [&](const tilmora::LoadResult& result) {
            measured.readNs = clock.nsecsElapsed();
            measured.loaded = std::holds_alternative<tilmora::LoadedPicture>(result);
            answered = true;
            loop.quit();
        });
    ticks.start();
    clock.start();
    reader.read(path, 1.0);
    if (!answered)
        loop.exec();
    // The turn that delivered the answer counts too.
    measured.longestGapNs = std::max(measured.longestGapNs, clock.nsecsElapsed() - lastTurn);
    QObject::disconnect(connection);
    return measured;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: readstall PICTURE [READS]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int reads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    tilmora::PictureReader reader;
    reader.setHelperCommand(QStringList{QStringLiteral(TILMORA_DECODER)});
    reader.setTimeLimit(std::chrono::minutes(2));
    qint64 longestGapNs = 0;
    std::vector<qint64> readTimes;
    for (int i = 0; i < reads; ++i) {
        reader.prepare();
        settle(300);
        const Measured measured = measureOneRead(reader, path);
        longestGapNs = std::max(longestGapNs, measured.longestGapNs);
        if (measured.loaded)
            readTimes.push_back(measured.readNs);
    }
    if (readTimes.empty()) {
        std::fprintf(stderr, "readstall: the picture was refused\n");
        return 1;
    }
    std::sort(readTimes.begin(), readTimes.end());
    std::printf("longest_gap_ms %.3f\n", static_cast<double>(longestGapNs) / 1e6);
    std::printf("median_read_ms %.3f\n", static_cast<double>(readTimes[readTimes.size() / 2]) / 1e6);
    std::printf("reads %zu\n", readTimes.size());
    return 0;
}
