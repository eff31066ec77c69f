#include "frmhelp.h"

#include "picture/fitpicture.h"
#include "sharedwidgets/picturebox.h"
#include "toolwindow.h"
#include "units/twips.h"

namespace tilmora {

namespace {
// Where the client area's corner stands on the screen.
constexpr double kScreenLeft = 45;
constexpr double kScreenTop = 315;
constexpr double kPictureMargin = 120;
} // namespace

frmhelp::frmhelp(QWidget* parent)
    : QWidget(parent, kToolWindowFlags)
    , picturehelp_(new PictureBox(this))
{
    setUpToolWindow(*this, "frmhelp", tr("Original Picture"));
    // Place the client area itself, not the frame, at the corner.
    setGeometry(QRect(twips::point(kScreenLeft, kScreenTop), size()));

    picturehelp_->setObjectName(QStringLiteral("picturehelp"));
    picturehelp_->move(twips::point(kPictureMargin, kPictureMargin));
    picturehelp_->resize(twips::size(kPictureLimitTwips, kPictureLimitTwips));
}

void frmhelp::setPicture(const QPixmap& picture)
{
    picturehelp_->setPicture(picture);
}

} // namespace tilmora
