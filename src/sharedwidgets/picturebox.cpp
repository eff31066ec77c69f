#include "picturebox.h"

namespace tilmora {

PictureBox::PictureBox(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
}

} // namespace tilmora
