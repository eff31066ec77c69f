#include "statusrow.h"

#include "units/twips.h"

#include <QLabel>

#include <algorithm>

namespace tilmora {

namespace {

// The row's place in the play area, in twips.
constexpr double kStatusTop = 6720;
constexpr double kStatusHeight = 255;

QLabel* makeStatusLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Window, Qt::black);
    label->setPalette(colours);
    label->setAutoFillBackground(true);
    label->hide();
    return label;
}

} // namespace

StatusRow::StatusRow(QWidget* playArea)
    : lblscore_(makeStatusLabel(playArea, "lblscore", tr("Attempts"),
                                twips::rect(120, kStatusTop, 975, kStatusHeight)))
    , lblscoreresult_(
          makeStatusLabel(playArea, "lblscoreresult", {}, twips::rect(1200, kStatusTop, 735, kStatusHeight)))
    , lbltime_(
          makeStatusLabel(playArea, "lbltime", tr("Time"), twips::rect(2040, kStatusTop, 855, kStatusHeight)))
    , lbltimeresult_(
          makeStatusLabel(playArea, "lbltimeresult", {}, twips::rect(2760, kStatusTop, 1575, kStatusHeight)))
{
    lblscoreresult_->setAccessibleName(tr("Attempts"));
    lbltimeresult_->setAccessibleName(tr("Time"));
}

void StatusRow::setVisible(bool visible)
{
    // Fitted when first shown, not at start-up: the row is hidden until the first game, and its
    // font is one more for the system to find.
    if (visible && !captionsFitted_) {
        fitCaptions();
        captionsFitted_ = true;
    }
    for (auto* label : {lblscore_, lblscoreresult_, lbltime_, lbltimeresult_})
        label->setVisible(visible);
}

void StatusRow::showAttempts(std::int64_t attempts)
{
    lblscoreresult_->setText(QString::number(attempts));
}

void StatusRow::showSeconds(std::int64_t seconds)
{
    // A tick that finds the count unchanged (a timer that fired early) writes out nothing.
    if (seconds == shownSeconds_)
        return;
    shownSeconds_ = seconds;
    lbltimeresult_->setText(tr("%1 Seconds").arg(seconds));
}

// The captions were measured for one font and for the English; where the font the system gives or
// the player's language is wider, a caption grows to its text and pushes the rest of the row to
// the right instead of being cut off.
void StatusRow::fitCaptions()
{
    constexpr int kGap = 4;
    // The time is fitted for a game of nearly three hours, as wide as the English box holds.
    constexpr int kLongGameSeconds = 9999;
    int textEnd = 0;
    for (auto* label : {lblscore_, lblscoreresult_, lbltime_, lbltimeresult_}) {
        label->move(std::max(label->x(), textEnd), label->y());
        // The results are fitted for what they may come to show, not for what they show now.
        const QString text = label == lbltimeresult_    ? tr("%1 Seconds").arg(kLongGameSeconds)
                             : label == lblscoreresult_ ? QString()
                                                        : label->text();
        const int textWidth = label->fontMetrics().horizontalAdvance(text);
        label->resize(std::max(label->width(), textWidth), label->height());
        textEnd = label->x() + textWidth + kGap;
    }
}

} // namespace tilmora
