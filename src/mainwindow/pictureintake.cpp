#include "pictureintake.h"

#include "picture/picturefile.h"
#include "picture/picturereader.h"
#include "picture/refusalmessages.h"

#include <QEvent>
#include <QWidget>

#include <functional>
#include <utility>

namespace tilmora {

namespace {

// Runs `action` once, after the first frame of `widget` has been painted: what the player waits
// for at start-up comes first.
class AfterFirstPaint final : public QObject
{
public:
    AfterFirstPaint(QWidget* widget, std::function<void()> action)
        : QObject(widget)
        , action_(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the action comes once this frame has been painted and flushed.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    action_();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

PictureIntake::PictureIntake(QWidget* window, const QStringList& decoder, QWidget* firstPainted)
    : QObject(window)
    , window_(window)
    , reader_(new PictureReader(this))
{
    if (!decoder.isEmpty())
        reader_->setHelperCommand(decoder);
    connect(reader_, &PictureReader::finished, this, &PictureIntake::take);
    new AfterFirstPaint(firstPainted, [this] { reader_->prepare(); });
}

void PictureIntake::read(const QString& path)
{
    pathBeingRead_ = path;
    window_->setCursor(Qt::BusyCursor);
    reader_->read(path, window_->devicePixelRatioF());
}

void PictureIntake::readOnceShown(const QString& path)
{
    pathOnceShown_ = path;
    if (window_->isVisible())
        readNamedOnceShown();
    else
        window_->installEventFilter(this);
}

bool PictureIntake::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Show) {
        window_->removeEventFilter(this);
        readNamedOnceShown();
    }
    return false;
}

// Queued: the window is on screen before a message about the file goes up.
void PictureIntake::readNamedOnceShown()
{
    QMetaObject::invokeMethod(
        this, [this, path = std::exchange(pathOnceShown_, {})] { read(path); }, Qt::QueuedConnection);
}

void PictureIntake::cancel()
{
    reader_->cancel();
    stopReading();
}

void PictureIntake::stopReading()
{
    pathBeingRead_.clear();
    window_->unsetCursor();
}

void PictureIntake::take(const LoadResult& result)
{
    const QString path = std::exchange(pathBeingRead_, {});
    stopReading();
    if (const auto* refusal = std::get_if<Refusal>(&result))
        emit refused(refusalMessage(*refusal, pictureDisplayName(path)));
    else
        emit pictureRead(path, std::get<LoadedPicture>(result));
}

} // namespace tilmora
