#include "statusrow.h"

#include "units/twips.h"

#include <QAccessibleWidget>
#include <QLabel>

#include <algorithm>

namespace tilmora {

namespace {

// The row's place in the play area, in twips.
constexpr double kStatusTop = 6720;
constexpr double kStatusHeight = 255;
constexpr double kStatusRight = 6705;

// A result of the row: the accessibility tree reads it with its caption, "Attempts: 12".
class ResultLabel final : public QLabel
{
public:
    using QLabel::QLabel;
};

// The name is made when a screen reader asks for it and never sent on a change (the caption set as
// the label's accessible name keeps QLabel from sending one): the clock is not read out every
// second.
class ResultAccessible final : public QAccessibleWidget
{
    Q_DECLARE_TR_FUNCTIONS(tilmora::StatusRow)
public:
    explicit ResultAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        //: A result of the status row read by a screen reader: its caption, then what it shows.
        return tr("%1: %2").arg(widget()->accessibleName(), static_cast<QLabel*>(widget())->text());
    }
};

QAccessibleInterface* resultAccessibleFactory(const QString& className, QObject* object)
{
    auto* label = className == QLatin1String("QLabel") ? dynamic_cast<ResultLabel*>(object) : nullptr;
    return label ? new ResultAccessible(label) : nullptr;
}

template <typename Label = QLabel>
Label* makeStatusLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new Label(caption, parent);
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
    , lblscoreresult_(makeStatusLabel<ResultLabel>(playArea, "lblscoreresult", {},
                                                   twips::rect(1200, kStatusTop, 735, kStatusHeight)))
    , lbltime_(
          makeStatusLabel(playArea, "lbltime", tr("Time"), twips::rect(2040, kStatusTop, 855, kStatusHeight)))
    , lbltimeresult_(makeStatusLabel<ResultLabel>(playArea, "lbltimeresult", {},
                                                  twips::rect(2760, kStatusTop, 1575, kStatusHeight)))
    , lblpar_(makeStatusLabel(playArea, "lblpar", {}, twips::rect(4335, kStatusTop, 2370, kStatusHeight)))
{
    static const bool installed = (QAccessible::installFactory(&resultAccessibleFactory), true);
    Q_UNUSED(installed);
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
    if (!visible)
        lblpar_->hide();
}

// Set after the time, which no longer changes once the game is over, in the rest of the row and
// the strip below it down to the window's edge: on one line in the row's own font where it fits,
// else on two in a smaller one (a long language, a long game), never below a legible size.
void StatusRow::showPar(const QString& text)
{
    constexpr int kGap = 8;
    constexpr double kSmallestPoints = 6.5;
    constexpr double kStep = 0.25;
    constexpr double kClientBottom = 7050;
    if (text.isEmpty()) {
        lblpar_->hide();
        return;
    }
    const int left =
        lbltimeresult_->x() + lbltimeresult_->fontMetrics().horizontalAdvance(lbltimeresult_->text()) + kGap;
    const QRect area(QPoint(left, lbltimeresult_->y()),
                     QPoint(twips::toPixels(kStatusRight), twips::toPixels(kClientBottom) - 1));
    QFont font = lbltimeresult_->font();
    const auto fits = [&] {
        const QFontMetrics metrics(font);
        return metrics.horizontalAdvance(text) <= area.width() ||
               area.contains(metrics.boundingRect(area, Qt::TextWordWrap, text));
    };
    while (font.pointSizeF() > kSmallestPoints && !fits())
        font.setPointSizeF(font.pointSizeF() - kStep);
    lblpar_->setFont(font);
    lblpar_->setWordWrap(QFontMetrics(font).horizontalAdvance(text) > area.width());
    lblpar_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblpar_->setGeometry(area);
    lblpar_->setText(text);
    lblpar_->show();
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
