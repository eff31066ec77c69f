#include "quickhelppanel.h"

#include "sharedwidgets/helppage.h"
#include "units/twips.h"

namespace tilmora {

QWidget* createQuickHelpPanel(QWidget* parent)
{
    // The names are children of the page, so hiding the page hides the whole panel.
    auto* panel = new HelpPage(help::quickHelp(), parent);
    panel->setObjectName(QStringLiteral("lblhelp"));
    panel->setGeometry(twips::rect(120, 120, 6600, 6400));
    return panel;
}

} // namespace tilmora
