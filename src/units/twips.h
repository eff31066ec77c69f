#pragma once

// The game's layout is drawn up in twips, the unit of its original design: 1440 to the inch, so
// 15 twips are one logical pixel at 96 dots per inch. Every twip value becomes pixels here and
// nowhere else.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cmath>

namespace tilmora::twips {

inline constexpr int kTwipsPerPixel = 15;

// Twips to logical pixels, to the nearest pixel.
[[nodiscard]] inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

[[nodiscard]] constexpr double fromPixels(int pixels)
{
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

[[nodiscard]] inline QPoint point(double left, double top)
{
    return {toPixels(left), toPixels(top)};
}

[[nodiscard]] inline QSize size(double width, double height)
{
    return {toPixels(width), toPixels(height)};
}

[[nodiscard]] inline QRect rect(double left, double top, double width, double height)
{
    return {point(left, top), size(width, height)};
}

} // namespace tilmora::twips
