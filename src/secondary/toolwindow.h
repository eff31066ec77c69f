#pragma once

// The help windows are small tool windows of one look: a title and a close button, black, of a
// fixed size, closed with Escape, gone once closed.

#include <QWidget>

namespace tilmora {

// The window flags a help window is created with.
inline constexpr Qt::WindowFlags kToolWindowFlags =
    Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Names the window, titles it, and gives it the help windows' size, background and lifetime.
void setUpToolWindow(QWidget& window, const char* objectName, const QString& title);

// Brings a help window to the front, with the focus.
void presentToolWindow(QWidget& window);

} // namespace tilmora
