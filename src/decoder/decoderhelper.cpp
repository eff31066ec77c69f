// The decoder helper: a process of its own that reads one picture for the game, behind a wall.
//
// The game starts it ahead of time with its end of a socket as descriptor 3 (kDecoderSocket),
// nothing on its standard input and output, and standard error a pipe the game passes on to its
// own log. It loads every image reader Qt has and readies each format's decoders while it still
// may, puts up its walls in layers (limits, the file system and network taken away, no new
// privileges, then the system call filter), and waits. The game sends the open picture file and
// the screen's ratio; the helper reads, checks, decodes and fits it (pictureloader.h), answers
// (picture/decoderprotocol.h) and ends. A decoder fault in a hostile file can at worst end or take
// over this process, which can then do nothing but write to the game, which checks what it is
// told. Where the wall cannot be put up, the helper reads nothing:
// its answer says so.

#include "decoderisolation.h"
#include "decoderlockdown.h"
#include "formattable.h"
#include "picture/decoderprotocol.h"
#include "pictureloader.h"

#include <QBuffer>
#include <QImageReader>
#include <QSemaphore>
#include <QThreadPool>
#include <malloc.h>
#include <memory>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <sys/prctl.h>
#include <unistd.h>

using namespace tilmora;

namespace {

// Asks Qt for a reader of something no reader knows: Qt then loads and asks each of its image
// reader plugins in turn. After the lockdown none could be loaded, since loading opens files.
void loadEveryImageReader()
{
    QByteArray nothing(64, '\0');
    QBuffer buffer(&nothing);
    buffer.open(QIODevice::ReadOnly);
    QImageReader probe(&buffer);
    probe.setDecideFormatFromContent(true);
    (void)probe.format();
    (void)QImageReader::supportedImageFormats();
}

// What Qt's picture readers print about a file they turn down (and Qt's notes on the plugins it
// loads) is dropped: the game tells the player, and nothing else would read it. Critical messages,
// and the game's own, go to standard error as they are, a line each, which the game passes on to
// its log under the helper's name; Qt's own handler may ask things of the terminal the wall
// refuses.
void writeToStandardError(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool ours = context.category != nullptr && qstrncmp(context.category, "tilmora", 7) == 0;
    if (!ours && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    const QByteArray line = message.toUtf8() + '\n';
    (void)!::write(STDERR_FILENO, line.constData(), static_cast<std::size_t>(line.size()));
}

// A fresh process gets each page of memory from the kernel at its first touch, one fault at a time,
// and on a virtual machine each fault is dear: a photo's reduced decode and its fitted picture
// would take some 500 of them. The helper takes that memory while it waits and keeps it: blocks of
// up to kHeapBlock come from the heap, which malloc does not give back below kKeptHeap. Larger
// ones (a HEIF photo's planes) are mapped apart, on huge pages where the system has them, and
// given back whole when freed: held in the heap, a 12 MP photo's planes and the gaps they leave
// there took a tiled HEIC's read from 116 to 152 MiB.
void prepareMemory()
{
    constexpr int kHeapBlock = 4 << 20;
    constexpr int kKeptHeap = 32 << 20;
    constexpr std::size_t kWarm = 8 << 20;
    mallopt(M_MMAP_THRESHOLD, kHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kKeptHeap);
    const std::unique_ptr<char[]> block(new char[kWarm]);
    for (std::size_t at = 0; at < kWarm; at += 4096)
        static_cast<volatile char*>(block.get())[at] = 0;
}

// Scaling a picture runs on Qt's thread pool; its threads are started now, not in the middle of the
// read, and kept however long the game takes to ask. (Waiting for the pool to be done would end
// them: Qt then lets every thread go.)
void startScalingThreads()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int threads = pool->maxThreadCount();
    const auto started = std::make_shared<QSemaphore>();
    const auto running = std::make_shared<QSemaphore>();
    for (int i = 0; i < threads; ++i)
        pool->start([started, running, threads] {
            started->release();
            started->acquire(threads); // every thread busy at once, so each is a thread of its own
            started->release(threads);
            running->release();
        });
    running->acquire(threads);
}

// What `--layers` prints: which walls are up.
void reportLayers(Lockdown wall, const Isolation& isolation)
{
    const auto state = [](bool up) { return up ? QByteArrayLiteral("up") : QByteArrayLiteral("not up"); };
    const QByteArray report =
        "system call filter: " + state(wall == Lockdown::Walled) + "\n" +
        "namespaces of its own (user, mount with an empty root, network): " + state(isolation.namespaces) +
        "\nLandlock, every file access denied: " + state(isolation.landlock > 0) +
        (isolation.landlock > 0 ? " (version " + QByteArray::number(isolation.landlock) + ")" : "") + "\n";
    (void)!::write(STDOUT_FILENO, report.constData(), static_cast<std::size_t>(report.size()));
}

} // namespace

int main(int argc, char** argv)
{
    // A helper stuck in a decoder would otherwise run on after a game that crashed or was killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A game that has gone away is an error to write to, not a signal that ends the helper mid-line.
    std::signal(SIGPIPE, SIG_IGN);
    qInstallMessageHandler(writeToStandardError);
    const bool layersAsked = argc == 2 && qstrcmp(argv[1], "--layers") == 0;
    bool answered = false;
    try {
        loadEveryImageReader();
        prepareEveryFormatBeforeWall();
        prepareMemory();
        if (!layersAsked) // no file written: not even the report, were it sent to one
            limitDecoder();
        const Isolation isolation = isolateDecoder();
        startScalingThreads();
        const Lockdown wall = lockDownDecoder(layersAsked ? STDOUT_FILENO : kDecoderSocket);
        if (layersAsked) {
            reportLayers(wall, isolation);
            std::_Exit(EXIT_SUCCESS);
        }

        if (std::optional<ReceivedRequest> request = receiveRequest(kDecoderSocket)) {
            sendAnswer(kDecoderSocket, wall == Lockdown::Walled
                                           ? loadPictureFrom(request->file.get(), request->devicePixelRatio)
                                           : Refusal{Refusal::Reason::Unwalled});
            answered = true;
        }
    } catch (...) { // NOLINT(bugprone-empty-catch): out of memory, and the game sees no answer
    }
    // Straight out: nothing is left to tidy, and on the way out Qt's thread pool would be waited for
    // and the sanitizers' leak check would trace the process, which the wall refuses.
    std::_Exit(answered ? EXIT_SUCCESS : EXIT_FAILURE);
}
