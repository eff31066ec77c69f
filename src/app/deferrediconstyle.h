#pragma once

// The desktop's own style, except that the menu bar's overflow arrows are fetched when they are
// first drawn instead of when the menu bar is made. Fetching a style icon has Qt identify its file
// by asking every image-format plugin, so each one is loaded: several milliseconds before the
// game's first frame, for an arrow that only shows when the menu does not fit its window, which
// in the game's fixed-size window it always does.

#include <QProxyStyle>

namespace tilmora {

class DeferredIconStyle final : public QProxyStyle
{
public:
    // Wraps `base` (taking ownership), or the application's default style when it is null.
    explicit DeferredIconStyle(QStyle* base = nullptr);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// A fresh instance of the style the application would otherwise use (the desktop's, or the one
// the player chose with -style), wrapped so that it defers the overflow arrows.
[[nodiscard]] DeferredIconStyle* deferredIconsOfCurrentStyle();

} // namespace tilmora
