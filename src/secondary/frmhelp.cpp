#include "frmhelp.h"

#include "picturebox.h"
#include "units/twips.h"

namespace tilmora {

namespace {
constexpr double kClientWidth = 6840;
constexpr double kClientHeight = 6855;
// Where the client area's corner stands on the screen.
constexpr double kScreenLeft = 45;
constexpr double kScreenTop = 315;
constexpr double kPictureMargin = 120;
constexpr double kPictureLimit = 6600;
} // namespace

frmhelp::frmhelp(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , picturehelp_(new PictureBox(this))
{
    setObjectName(QStringLiteral("frmhelp"));
    setWindowTitle(tr("Original Picture"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    setFixedSize(twips::size(kClientWidth, kClientHeight));
    // Place the client area itself, not the frame, at the corner.
    setGeometry(QRect(twips::point(kScreenLeft, kScreenTop), size()));

    picturehelp_->setObjectName(QStringLiteral("picturehelp"));
    picturehelp_->move(twips::point(kPictureMargin, kPictureMargin));
    picturehelp_->resize(twips::size(kPictureLimit, kPictureLimit));
}

void frmhelp::setPicture(const QPixmap& picture)
{
    picturehelp_->setPicture(picture);
}

} // namespace tilmora
