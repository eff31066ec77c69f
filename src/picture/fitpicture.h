#pragma once

// Fitting a picture into the play area: a picture that reaches the limit in either direction is
// shrunk, keeping its proportions, until its longer side is exactly the limit; a smaller one keeps
// its natural size. Never enlarged.

#include <QSize>

namespace tilmora {

// The play area's limit for the fitted picture, in twips: 440 x 440 logical pixels.
inline constexpr int kPictureLimitTwips = 6600;

// The size of a picture box after fitting, in twips, as single-precision values.
struct FittedSize {
    float width = 0;
    float height = 0;
    bool refitted = false; // false: the picture was below both limits and keeps its natural size
};

// The fitting arithmetic on a box of w x h twips. The side that meets the limit is set to it;
// the other follows the proportions, computed in double precision from the natural size. A square
// or upright picture is fitted by its height. The comparisons are strict, so a picture exactly at
// a limit is fitted (and redrawn) at the same size.
[[nodiscard]] FittedSize FitPicture(int maximumWidth, int maximumHeight, float width, float height);

// The logical pixel size a picture of `natural` pixels is shown at in the play area: fitted in
// twips (15 to the pixel), back to whole pixels, and never thinner than one pixel.
[[nodiscard]] QSize fittedPixelSize(QSize natural, int limitTwips = kPictureLimitTwips);

// Device pixel ratios beyond this are treated as this: no screen has one, and it keeps a caller's
// mistake from asking for a picture of gigabytes.
inline constexpr qreal kMaxDevicePixelRatio = 8;

// The ratio a picture is rendered for when the screen reports `devicePixelRatio`: 1 for none or
// nonsense, at most kMaxDevicePixelRatio.
[[nodiscard]] qreal renderedPixelRatio(qreal devicePixelRatio);

// The physical pixels a picture of `natural` size takes fitted on a screen of `renderedRatio`
// (as renderedPixelRatio gives it). Rounded to the nearest pixel, so for a ratio of 1 or more the
// device-independent size rounds back to the fitted logical size; never thinner than one pixel.
[[nodiscard]] QSize fittedPhysicalSize(QSize natural, qreal renderedRatio);

} // namespace tilmora
