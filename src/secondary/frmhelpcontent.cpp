#include "frmhelpcontent.h"

#include "helppage.h"
#include "units/twips.h"

namespace tilmora {

frmhelpcontent::frmhelpcontent(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmhelpcontent"));
    setWindowTitle(tr("Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setFixedSize(twips::size(6840, 6855));

    auto* lblcontent = new HelpPage(help::helpContent(), this);
    lblcontent->setObjectName(QStringLiteral("lblcontent"));
    lblcontent->setGeometry(twips::rect(120, 240, 6600, 6360));
}

} // namespace tilmora
