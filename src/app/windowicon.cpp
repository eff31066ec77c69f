#include "windowicon.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <map>

namespace tilmora {

namespace {

class PngRenderingsEngine final : public QIconEngine
{
public:
    PngRenderingsEngine(QString pathPattern, QList<int> sizes)
        : pathPattern_(std::move(pathPattern))
        , sizes_(std::move(sizes))
    {}

    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        if (sizes_.isEmpty() || size.isEmpty())
            return {};
        // The smallest rendering at least as large as asked for (the largest when none is),
        // scaled down when it is larger: an icon is never enlarged into a blur.
        const auto larger =
            std::lower_bound(sizes_.cbegin(), sizes_.cend(), std::max(size.width(), size.height()));
        const QPixmap& rendering = renderingOf(larger != sizes_.cend() ? *larger : sizes_.last());
        if (rendering.isNull() || (rendering.width() <= size.width() && rendering.height() <= size.height()))
            return rendering;
        return rendering.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPixmap drawn = pixmap(rect.size(), mode, state);
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - drawn.width()) / 2,
                                                          (rect.height() - drawn.height()) / 2),
                                  drawn.size()),
                            drawn);
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        QList<QSize> sizes;
        for (const int size : sizes_)
            sizes << QSize(size, size);
        return sizes;
    }

    QIconEngine* clone() const override { return new PngRenderingsEngine(*this); }

    QString key() const override { return QStringLiteral("tilmora-png-renderings"); }

private:
    PngRenderingsEngine(const PngRenderingsEngine&) = default;

    // Read as PNG by name: no image plugin is probed to guess the format.
    const QPixmap& renderingOf(int size)
    {
        auto found = loaded_.find(size);
        if (found == loaded_.end()) {
            QImageReader reader(pathPattern_.arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            found = loaded_.emplace(size, QPixmap::fromImage(reader.read())).first;
        }
        return found->second;
    }

    QString pathPattern_;
    QList<int> sizes_;
    std::map<int, QPixmap> loaded_;
};

} // namespace

QIcon windowIcon(const QString& pathPattern, const QList<int>& sizes)
{
    return QIcon(new PngRenderingsEngine(pathPattern, sizes));
}

} // namespace tilmora
