#pragma once

// A box that shows a fitted picture at its own size, as the play area and the reference window
// do. The picture may carry a device pixel ratio, so it stays sharp on HiDPI screens.

#include <QLabel>
#include <QPixmap>

namespace tilmora {

class PictureBox final : public QLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Shows the picture and takes its size in logical pixels.
    void setPicture(const QPixmap& picture);
    [[nodiscard]] const QPixmap& shownPicture() const { return picture_; }

private:
    QPixmap picture_;
};

} // namespace tilmora
