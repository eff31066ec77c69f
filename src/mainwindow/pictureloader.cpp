#include "pictureloader.h"

#include "fitpicture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace tilmora {

LoadResult loadPicture(const QString& path, qreal devicePixelRatio)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return LoadFailure{LoadError::NotRegularFile,
                           QStringLiteral("\"%1\" is not a regular file.").arg(info.fileName())};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return LoadFailure{LoadError::NotAPicture,
                           QStringLiteral("\"%1\" could not be read as a picture.").arg(info.fileName())};
    const QSize logical = fittedPixelSize(image.size());
    const QSize device = (QSizeF(logical) * devicePixelRatio).toSize();
    QImage fitted(device, QImage::Format_RGB32);
    fitted.fill(Qt::black);
    {
        QPainter painter(&fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(fitted.rect(), image);
    }
    fitted.setDevicePixelRatio(devicePixelRatio);
    return LoadedPicture{fitted, image.size()};
}

} // namespace tilmora
