#include "frmhelpcontent.h"

#include "twips.h"

namespace tilmora {

frmhelpcontent::frmhelpcontent(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmhelpcontent"));
    setWindowTitle(tr("Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::size(6840, 6855));
}

} // namespace tilmora
