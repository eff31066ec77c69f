#pragma once

// The "Original Picture" window: the whole loaded picture, fitted as in the play area, for the
// player to look at while the pieces are shuffled. A tool window that does nothing but show it.

#include <QWidget>

namespace tilmora {

class PictureBox;

class frmhelp final : public QWidget
{
    Q_OBJECT
public:
    explicit frmhelp(QWidget* parent = nullptr);

    // Replaces the picture shown. The window keeps its size; the picture sits at its margin.
    void setPicture(const QPixmap& picture);
    [[nodiscard]] PictureBox* picturehelp() const { return picturehelp_; }

private:
    PictureBox* picturehelp_;
};

} // namespace tilmora
