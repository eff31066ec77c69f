#include "piecewidget.h"

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
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PieceWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_, source_);
    if (numberShown_)
        drawNumber(painter);
    if (cursorShown_)
        drawCursorFrame(painter, rect());
}

void PieceWidget::showNumber(bool shown)
{
    numberShown_ = shown;
    update();
}

void PieceWidget::showCursor(bool shown)
{
    if (shown == cursorShown_)
        return;
    cursorShown_ = shown;
    update();
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

void drawCursorFrame(QPainter& painter, const QRect& cell)
{
    const QRect frame = cell.adjusted(2, 2, -2, -2);
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

} // namespace tilmora
