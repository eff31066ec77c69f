#include "pictureintake.h"

#include "picture/picturefile.h"
#include "picture/picturereader.h"
#include "picture/refusalmessages.h"
#include "sharedwidgets/afterfirstpaint.h"

#include <QEvent>
#include <QWidget>

#include <utility>

namespace tilmora {

PictureIntake::PictureIntake(QWidget* window, const QStringList& decoder)
    : QObject(window)
    , window_(window)
    , reader_(new PictureReader(this))
{
    if (!decoder.isEmpty())
        reader_->setHelperCommand(decoder);
    connect(reader_, &PictureReader::finished, this, &PictureIntake::passOn);
    new AfterFirstPaint(window, [this] { reader_->startHelperAhead(); });
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

void PictureIntake::passOn(const LoadResult& result)
{
    const QString path = std::exchange(pathBeingRead_, {});
    stopReading();
    if (const auto* refusal = std::get_if<Refusal>(&result))
        emit refused(refusalMessage(*refusal, pictureDisplayName(path)));
    else
        emit pictureRead(path, std::get<LoadedPicture>(result));
}

} // namespace tilmora
