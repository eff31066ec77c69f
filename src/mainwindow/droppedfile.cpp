#include "droppedfile.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <optional>
#include <utility>

namespace tilmora {

namespace {

// The file a drag carries, when it carries exactly one local file.
std::optional<QString> draggedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>{};
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    return urls.front().toLocalFile();
}

// The file of a drag that is taken, or nothing when it is refused.
std::optional<QString> takeDrag(QDropEvent* event)
{
    auto file = draggedFile(event->mimeData());
    if (!file || (event->possibleActions() & Qt::CopyAction) == 0) {
        event->ignore();
        return std::nullopt;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return file;
}

} // namespace

PictureDropTarget::PictureDropTarget(QWidget* window, std::function<void(const QString&)> open)
    : QObject(window)
    , open_(std::move(open))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool PictureDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    const auto file = takeDrag(static_cast<QDropEvent*>(event));
    if (type == QEvent::Drop && file)
        QMetaObject::invokeMethod(
            this, [this, path = *file] { open_(path); }, Qt::QueuedConnection);
    return true;
}

} // namespace tilmora
