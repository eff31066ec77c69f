#pragma once

// The one way the game reads a picture, without holding up the game: the game opens the file, a
// decoder helper process behind a wall reads it (src/decoder/), and the answer arrives as a signal
// while the event loop goes on. Whatever the helper does (crash, hang, be killed, write too little
// or nonsense), the answer is a picture or a refusal the helper could honestly make, a damaged file
// at worst. A helper that cannot wall itself in reads nothing and says so.

#include "loadresult.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>

namespace tilmora {

class DecoderHelper;
class FileDescriptor;

class PictureReader : public QObject
{
    Q_OBJECT
public:
    // The helper installed with the game, found from the program's own folder (in the build tree
    // it sits in the same place relative to the game).
    [[nodiscard]] static QString installedHelper();

    explicit PictureReader(QObject* parent = nullptr);
    ~PictureReader() override;
    PictureReader(const PictureReader&) = delete;
    PictureReader& operator=(const PictureReader&) = delete;

    // The program (and its arguments) to run as the helper; a helper already started for the
    // former one is ended.
    void setHelperCommand(const QStringList& command);
    // How long a helper may take over one picture before it is ended and the file taken for damaged.
    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_.setInterval(limit); }

    // Starts a helper now if none is waiting, so the next read need not wait for one to start. The
    // window calls it once its first frame is shown, so the helper never delays it; after each read
    // the next helper is started by itself.
    void startHelperAhead();

    // Reads the picture at `path` for a screen of this ratio; finished() follows once, unless
    // cancelled or overtaken by the next read. Never blocks on the file's content.
    void read(const QString& path, qreal devicePixelRatio);
    // Gives up the picture being read: its helper is ended and nothing is reported.
    void cancel();
    [[nodiscard]] bool isReading() const { return job_ != nullptr; }

    // The same, waiting for the answer: for the benchmarks and tools without an event loop.
    [[nodiscard]] LoadResult readNow(const QString& path, qreal devicePixelRatio);

signals:
    void finished(const tilmora::LoadResult& result);

private:
    struct Job;
    std::unique_ptr<DecoderHelper> helperWith(const FileDescriptor& file, qreal devicePixelRatio);
    void answerArrived();
    void finish(const LoadResult& result);
    void reportLater(const Refusal& refusal);

    QStringList helperCommand_;
    std::unique_ptr<DecoderHelper> ready_;
    std::unique_ptr<Job> job_;
    QTimer timeLimit_;
    quint64 reads_ = 0; // so a refusal reported later belongs to the read that made it
};

} // namespace tilmora
