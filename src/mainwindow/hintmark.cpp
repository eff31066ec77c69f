#include "hintmark.h"

#include <QPainter>

#include <algorithm>

namespace tilmora {

HintMark::HintMark(QWidget* piece)
    : QWidget(piece)
{
    setObjectName(QStringLiteral("hintmark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(piece->rect());
    show();
}

void HintMark::paintEvent(QPaintEvent* /*event*/)
{
    constexpr int kOuterPen = 7;
    constexpr int kInnerPen = 3;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int radius = std::max(4, std::min(width(), height()) / 4);
    const QPoint centre = rect().center();
    painter.setPen(QPen(Qt::black, kOuterPen));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(Qt::white, kInnerPen));
    painter.drawEllipse(centre, radius, radius);
}

} // namespace tilmora
