#include "frmhelpcontent.h"

#include "sharedwidgets/helppage.h"
#include "toolwindow.h"
#include "units/twips.h"

namespace tilmora {

frmhelpcontent::frmhelpcontent(QWidget* parent)
    : QWidget(parent, kToolWindowFlags)
{
    setUpToolWindow(*this, "frmhelpcontent", tr("Help"));

    auto* lblcontent = new HelpPage(help::helpContent(), this);
    lblcontent->setObjectName(QStringLiteral("lblcontent"));
    lblcontent->setGeometry(twips::rect(120, 240, 6600, 6360));
    // The page takes the focus, so a screen reader reads it out as the window opens, and again on
    // request (Orca's say-all, flat review).
    lblcontent->setFocusPolicy(Qt::StrongFocus);
    lblcontent->setFocus();
}

} // namespace tilmora
