#include "quickhelppanel.h"

#include "secondary/twips.h"

#include <QLabel>

namespace tilmora {

QWidget* createQuickHelpPanel(QWidget* parent)
{
    auto* panel = new QLabel(parent);
    panel->setObjectName(QStringLiteral("lblhelp"));
    panel->setGeometry(twips::rect(120, 120, 6600, 6400));
    panel->setAutoFillBackground(true);
    QPalette grey = panel->palette();
    grey.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    panel->setPalette(grey);
    return panel;
}

} // namespace tilmora
