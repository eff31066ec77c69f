#pragma once

// The game's window icon, read from its PNG renderings only when the window system asks for a
// size. An X11 window manager is handed every size when the window is created; Wayland compositors
// take the icon from the desktop entry and never ask, so there nothing is read at all.

#include <QIcon>
#include <QList>
#include <QString>

namespace tilmora {

// `pathPattern` names the rendering of each size with "%1" for its width in pixels, e.g.
// ":/icons/%1/tilmora-puzzle.png"; `sizes` lists the square sizes there are, smallest first.
[[nodiscard]] QIcon windowIcon(const QString& pathPattern, const QList<int>& sizes);

} // namespace tilmora
