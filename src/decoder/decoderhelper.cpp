// The decoder helper: a process of its own that reads one picture for the game, behind a wall.
//
// The game starts it ahead of time with its end of a socket as descriptor 3 (kDecoderSocket). It
// loads every image reader Qt has and readies each format's decoders while it still may, locks
// itself down, and waits. The game sends the open picture file and the screen's ratio; the helper
// reads, checks, decodes and fits it (pictureloader.h), answers (picture/decoderprotocol.h) and
// ends. A decoder fault in a hostile file can at worst end or take over this process, which can
// then do nothing but write to the game, which checks what it is told. Where the wall cannot be
// put up, the helper reads nothing:
// its answer says so.

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
// and the game's own, go to standard error as they are; Qt's own handler may ask things of the
// terminal the wall refuses.
void writeToStandardError(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool ours = context.category != nullptr && qstrncmp(context.category, "tilmora", 7) == 0;
    if (!ours && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    const QByteArray line = "tilmora-picture-decoder: " + message.toUtf8() + '\n';
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
// read, and kept however long the game takes to ask.
void startScalingThreads()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int threads = pool->maxThreadCount();
    QSemaphore started;
    for (int i = 0; i < threads; ++i)
        pool->start([&started, threads] {
            started.release();
            started.acquire(threads); // every thread busy at once, so each is a thread of its own
            started.release(threads);
        });
    pool->waitForDone(-1);
}

} // namespace

int main()
{
    // A helper stuck in a decoder would otherwise run on after a game that crashed or was killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A game that has gone away is an error to write to, not a signal that ends the helper mid-line.
    std::signal(SIGPIPE, SIG_IGN);
    qInstallMessageHandler(writeToStandardError);
    bool answered = false;
    try {
        loadEveryImageReader();
        prepareEveryFormatBeforeWall();
        prepareMemory();
        startScalingThreads();
        const Lockdown wall = lockDownDecoder(kDecoderSocket);

        if (std::optional<ReceivedRequest> request = receiveRequest(kDecoderSocket)) {
            sendAnswer(kDecoderSocket, wall == Lockdown::Walled
                                           ? loadPictureFrom(request->file.get(), request->devicePixelRatio)
                                           : Refusal{Refusal::Reason::Unwalled});
            answered = true;
        }
    } catch (...) { // out of memory: the game sees a helper gone without an answer
    }
    // Straight out: nothing is left to tidy, and on the way out Qt's thread pool would be waited for
    // and the sanitizers' leak check would trace the process, which the wall refuses.
    std::_Exit(answered ? EXIT_SUCCESS : EXIT_FAILURE);
}
