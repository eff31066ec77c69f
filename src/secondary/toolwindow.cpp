#include "toolwindow.h"

#include "units/twips.h"

#include <QShortcut>

namespace tilmora {

namespace {
// The client area of each help window, in twips.
constexpr double kClientWidth = 6840;
constexpr double kClientHeight = 6855;
} // namespace

void setUpToolWindow(QWidget& window, const char* objectName, const QString& title)
{
    window.setObjectName(QString::fromLatin1(objectName));
    window.setWindowTitle(title);
    window.setAttribute(Qt::WA_DeleteOnClose);
    window.setAutoFillBackground(true);
    QPalette black = window.palette();
    black.setColor(QPalette::Window, Qt::black);
    window.setPalette(black);
    window.setFixedSize(twips::size(kClientWidth, kClientHeight));
    // Escape closes it, as it closes a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(close, &QShortcut::activated, &window, &QWidget::close);
}

void presentToolWindow(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace tilmora
