#include "fitpicture.h"

#include "units/twips.h"

#include <algorithm>
#include <cmath>

namespace tilmora {

FittedSize FitPicture(int maximumWidth, int maximumHeight, float width, float height)
{
    const float h = height;
    const float w = width;
    if (w < static_cast<float>(maximumWidth) && h < static_cast<float>(maximumHeight))
        return {w, h, false};

    if (h >= w) {
        const auto newWidth = static_cast<double>(w) * maximumHeight / static_cast<double>(h);
        return {static_cast<float>(newWidth), static_cast<float>(maximumHeight), true};
    }
    const auto newHeight = static_cast<double>(h) * maximumWidth / static_cast<double>(w);
    return {static_cast<float>(maximumWidth), static_cast<float>(newHeight), true};
}

QSize fittedPixelSize(QSize natural, int limitTwips)
{
    if (natural.isEmpty())
        return {};
    const auto fitted =
        FitPicture(limitTwips, limitTwips, static_cast<float>(twips::fromPixels(natural.width())),
                   static_cast<float>(twips::fromPixels(natural.height())));
    return {std::max(1, twips::toPixels(fitted.width)), std::max(1, twips::toPixels(fitted.height))};
}

qreal renderedPixelRatio(qreal devicePixelRatio)
{
    if (!std::isfinite(devicePixelRatio) || devicePixelRatio <= 0)
        return 1;
    return std::min(devicePixelRatio, kMaxDevicePixelRatio);
}

QSize fittedPhysicalSize(QSize natural, qreal renderedRatio)
{
    const QSize logical = fittedPixelSize(natural);
    return {std::max(1, qRound(logical.width() * renderedRatio)),
            std::max(1, qRound(logical.height() * renderedRatio))};
}

} // namespace tilmora
