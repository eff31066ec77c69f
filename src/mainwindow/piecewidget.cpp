#include "piecewidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace tilmora {

PieceWidget::PieceWidget(int piece, const QPixmap& picture, QRect source, QWidget* parent)
    : QWidget(parent)
    , piece_(piece)
    , picture_(picture)
    , source_(source)
{
    setObjectName(QStringLiteral("picturesplit%1").arg(piece));
    // Tab and the arrow keys give a piece the focus; a mouse click does not, so a mouse player
    // never sees the keyboard frame.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PieceWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_, source_);
    if (numberShown_)
        drawNumber(painter);
    if (hasFocus())
        drawFocusRing(painter);
}

void PieceWidget::showNumber(bool shown)
{
    numberShown_ = shown;
    update();
}

void PieceWidget::press()
{
    // Queued: a screen reader waits for the answer to its press, and the move may end the game
    // with a message box that waits for the player.
    QMetaObject::invokeMethod(
        this,
        [this] {
            setFocus(Qt::OtherFocusReason);
            emit activated(piece_);
        },
        Qt::QueuedConnection);
}

// White on a black label of its own, clear of the focus ring, so that it reads on a sky, a sea or
// a page of text alike; sized to the piece, within what stays legible and leaves the picture seen.
void PieceWidget::drawNumber(QPainter& painter) const
{
    constexpr int kMinimumPixels = 10;
    constexpr int kMaximumPixels = 18;
    constexpr int kMargin = 6;
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::clamp(height() / 5, kMinimumPixels, kMaximumPixels));
    painter.setFont(font);
    const QString number = QString::number(piece_);
    const QFontMetrics metrics(font);
    const QRect label(kMargin, kMargin, metrics.horizontalAdvance(number) + metrics.height() / 2,
                      metrics.height());
    painter.fillRect(label, Qt::black);
    painter.setPen(Qt::white);
    painter.drawText(label, Qt::AlignCenter, number);
}

// The keyboard player's cursor: a yellow frame between two black ones, which shows on light and
// dark pictures alike.
void PieceWidget::drawFocusRing(QPainter& painter) const
{
    const QRect frame = rect().adjusted(2, 2, -2, -2);
    painter.setPen(QPen(Qt::black, 4));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::yellow, 2));
    painter.drawRect(frame);
}

void PieceWidget::mousePressEvent(QMouseEvent* event)
{
    pressedInside_ = true;
    emit pressed();
    event->accept();
}

void PieceWidget::mouseReleaseEvent(QMouseEvent* event)
{
    emit released();
    const bool click = pressedInside_ && rect().contains(event->position().toPoint());
    pressedInside_ = false;
    event->accept();
    if (click)
        emit clicked(piece_);
}

void PieceWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit arrowPressed(piece_, static_cast<Qt::Key>(event->key()));
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit activated(piece_);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace tilmora
