#include "piecewidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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
    if (hasFocus()) {
        // The keyboard player's cursor: a two-tone frame that shows on light and dark pictures.
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::yellow, 2, Qt::DashLine));
        painter.drawRect(rect().adjusted(2, 2, -2, -2));
    }
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
