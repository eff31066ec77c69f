#pragma once

// One piece of the board on screen (an element of `picturesplit`): it shows the part of the
// fitted picture that belongs in its home cell, stretched to whatever cell it stands in, and
// reports the player's clicks; the board takes the keys. It knows nothing of the rules.

#include <QPixmap>
#include <QRect>
#include <QWidget>

class QPainter;

namespace tilmora {

class PieceWidget final : public QWidget
{
    Q_OBJECT
public:
    // `source` is the piece's home part of `picture`, in the picture's device pixels.
    PieceWidget(int piece, const QPixmap& picture, QRect source, QWidget* parent);

    [[nodiscard]] int piece() const { return piece_; }
    // Draws the piece's number in its corner, on a label of its own that shows on any picture.
    void showNumber(bool shown);
    // Draws the keyboard player's cursor on the piece, or not.
    void showCursor(bool shown);

signals:
    void pressed();          // a mouse button went down on the piece
    void released();         // ...and came up again
    void clicked(int piece); // a press and release on the piece

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawNumber(QPainter& painter) const;

    int piece_;
    QPixmap picture_; // shared with every other piece: no copy per piece
    QRect source_;
    bool pressedInside_ = false;
    bool numberShown_ = false;
    bool cursorShown_ = false;
};

// The keyboard player's cursor on a cell: a yellow frame between two black ones, which shows on
// light and dark pictures alike.
void drawCursorFrame(QPainter& painter, const QRect& cell);

} // namespace tilmora
