// How long the event loop stands still while a large picture is read in the background: a precise
// 1 ms timer ticks throughout, and the longest gap between two ticks is the longest the window
// would have stopped answering. The read is the game's own: PictureReader, its decoder helper
// started beforehand as the window starts it once its first frame is shown.
//
//   readstall PICTURE [READS]
//
// Prints "longest_gap_ms X" (the worst over all the reads), "idle_longest_gap_ms X" (the worst of
// the same watch over an idle loop after each read, as long as the read took), "median_read_ms X"
// (from the request to the fitted picture) and "reads N" (those that gave a picture).

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

// A precise 1 ms timer ticking on the event loop, and the longest gap between two of its ticks.
class GapWatch
{
public:
    GapWatch()
    {
        ticks_.setTimerType(Qt::PreciseTimer);
        ticks_.setInterval(1);
        QObject::connect(&ticks_, &QTimer::timeout, [this] { turn(); });
        ticks_.start();
        clock_.start();
    }
    [[nodiscard]] qint64 elapsedNs() const { return clock_.nsecsElapsed(); }
    // The longest gap so far, counting the turn that is running now.
    [[nodiscard]] qint64 longestGapNs() const
    {
        return std::max(longest_, clock_.nsecsElapsed() - lastTurn_);
    }

private:
    void turn()
    {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - lastTurn_);
        lastTurn_ = now;
    }
    QTimer ticks_;
    QElapsedTimer clock_;
    qint64 lastTurn_ = 0;
    qint64 longest_ = 0;
};

struct Measured {
    qint64 longestGapNs = 0;
    qint64 readNs = 0;
    bool loaded = false;
};

Measured measureOneRead(tilmora::PictureReader& reader, const QString& path)
{
    Measured measured;
    QEventLoop loop;
    const GapWatch watch;
    bool answered = false;
    const auto connection = QObject::connect(
        &reader, &tilmora::PictureReader::finished, &loop, [&](const tilmora::LoadResult& result) {
            measured.readNs = watch.elapsedNs();
            measured.loaded = std::holds_alternative<tilmora::LoadedPicture>(result);
            answered = true;
            loop.quit();
        });
    reader.read(path, 1.0);
    if (!answered)
        loop.exec();
    measured.longestGapNs = watch.longestGapNs(); // the turn that delivered the answer counts too
    QObject::disconnect(connection);
    return measured;
}

// The same watch over an event loop with nothing to do, for as long as a read takes: the gaps the
// machine itself makes (another program's turn on a shared processor), which no read can be
// blamed for.
qint64 longestIdleGapNs(qint64 durationNs)
{
    QEventLoop loop;
    const GapWatch watch;
    QTimer::singleShot(static_cast<int>(durationNs / 1'000'000), &loop, &QEventLoop::quit);
    loop.exec();
    return watch.longestGapNs();
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
    qint64 longestIdleNs = 0;
    std::vector<qint64> readTimes;
    for (int i = 0; i < reads; ++i) {
        reader.startHelperAhead();
        settle(300);
        const Measured measured = measureOneRead(reader, path);
        longestGapNs = std::max(longestGapNs, measured.longestGapNs);
        if (measured.loaded)
            readTimes.push_back(measured.readNs);
        settle(300);
        longestIdleNs = std::max(longestIdleNs, longestIdleGapNs(measured.readNs));
    }
    if (readTimes.empty()) {
        std::fprintf(stderr, "readstall: the picture was refused\n");
        return 1;
    }
    std::sort(readTimes.begin(), readTimes.end());
    std::printf("longest_gap_ms %.3f\n", static_cast<double>(longestGapNs) / 1e6);
    std::printf("idle_longest_gap_ms %.3f\n", static_cast<double>(longestIdleNs) / 1e6);
    std::printf("median_read_ms %.3f\n", static_cast<double>(readTimes[readTimes.size() / 2]) / 1e6);
    std::printf("reads %zu\n", readTimes.size());
    return 0;
}
