#include "droppedfile.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace tilmora {

std::optional<QString> draggedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>{};
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    return urls.front().toLocalFile();
}

bool takeDrag(QDropEvent* event)
{
    const bool taken =
        draggedFile(event->mimeData()).has_value() && (event->possibleActions() & Qt::CopyAction) != 0;
    if (taken) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return taken;
}

} // namespace tilmora
