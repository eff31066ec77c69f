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

// A result of the row: the accessibility tree reads it with its caption, "Attempts: 12".
class ResultLabel final : public QLabel
{
public:
    using QLabel::QLabel;
};

// The name is made when a screen reader asks for it and never sent on a change (the caption set as
// the label's accessible name keeps QLabel from sending one): the clock is not read out every
// second. Nothing before the first game.
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
        const QString shown = static_cast<QLabel*>(widget())->text();
        //: A result of the status row read by a screen reader: its caption, then what it shows.
        return shown.isEmpty() ? shown : tr("%1: %2").arg(widget()->accessibleName(), shown);
    }
};

// The row that holds the labels.
class StatusBar final : public QWidget
{
public:
    using QWidget::QWidget;
};

// A status bar to a screen reader, of the two results alone: the captions are in their names
// already, and read twice otherwise.
class StatusBarAccessible final : public QAccessibleWidget
{
public:
    explicit StatusBarAccessible(QWidget* row)
        : QAccessibleWidget(row, QAccessible::StatusBar)
    {}
    [[nodiscard]] int childCount() const override { return static_cast<int>(results().size()); }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        const auto found = results();
        return index >= 0 && index < found.size() ? QAccessible::queryAccessibleInterface(found[index])
                                                  : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? static_cast<int>(results().indexOf(child->object())) : -1;
    }

private:
    [[nodiscard]] QList<QObject*> results() const
    {
        QList<QObject*> found;
        for (auto* label : widget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (dynamic_cast<ResultLabel*>(label) != nullptr)
                found << label;
        }
        return found;
    }
};

QAccessibleInterface* statusAccessibleFactory(const QString& className, QObject* object)
{
    if (auto* label = className == QLatin1String("QLabel") ? dynamic_cast<ResultLabel*>(object) : nullptr)
        return new ResultAccessible(label);
    if (auto* row = className == QLatin1String("QWidget") ? dynamic_cast<StatusBar*>(object) : nullptr)
        return new StatusBarAccessible(row);
    return nullptr;
}

template <typename Label = QLabel> Label* makeStatusLabel(QWidget* parent, const char* name, QRect geometry)
{
    auto* label = new Label(parent);
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
    return label;
}

// The row is never hidden, only empty: a screen reader that saw it hidden would not notice it shown
// again (Qt tells it "showing" but not "visible"). Black on the black play area, empty is unseen.
QWidget* makeStatusBar(QWidget* playArea)
{
    auto* row = new StatusBar(playArea);
    row->setObjectName(QStringLiteral("statusbar"));
    const QRect band = twips::rect(0, kStatusTop, 0, kStatusHeight);
    row->setGeometry(0, band.y(), playArea->width(), band.height());
    return row;
}

} // namespace

StatusRow::StatusRow(QWidget* playArea)
    : lblscore_(nullptr)
    , lblscoreresult_(nullptr)
    , lbltime_(nullptr)
    , lbltimeresult_(nullptr)
{
    static const bool installed = (QAccessible::installFactory(&statusAccessibleFactory), true);
    Q_UNUSED(installed);
    auto* row = makeStatusBar(playArea);
    const auto place = [row](double left, double width) {
        return twips::rect(left, kStatusTop, width, kStatusHeight).translated(0, -row->y());
    };
    lblscore_ = makeStatusLabel(row, "lblscore", place(120, 975));
    lblscoreresult_ = makeStatusLabel<ResultLabel>(row, "lblscoreresult", place(1200, 735));
    lbltime_ = makeStatusLabel(row, "lbltime", place(2040, 855));
    lbltimeresult_ = makeStatusLabel<ResultLabel>(row, "lbltimeresult", place(2760, 1575));
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
    visible_ = visible;
    showTexts();
}

void StatusRow::showTexts()
{
    lblscore_->setText(visible_ ? tr("Attempts") : QString());
    lblscoreresult_->setText(visible_ ? attempts_ : QString());
    lbltime_->setText(visible_ ? tr("Time") : QString());
    lbltimeresult_->setText(visible_ ? seconds_ : QString());
}

void StatusRow::showAttempts(std::int64_t attempts)
{
    attempts_ = QString::number(attempts);
    showTexts();
}

void StatusRow::showSeconds(std::int64_t seconds)
{
    // A tick that finds the count unchanged (a timer that fired early) writes out nothing.
    if (seconds == shownSeconds_)
        return;
    shownSeconds_ = seconds;
    seconds_ = tr("%1 Seconds").arg(seconds);
    if (visible_)
        lbltimeresult_->setText(seconds_);
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
                             : label == lblscore_       ? tr("Attempts")
                                                        : tr("Time");
        const int textWidth = label->fontMetrics().horizontalAdvance(text);
        label->resize(std::max(label->width(), textWidth), label->height());
        textEnd = label->x() + textWidth + kGap;
    }
}

} // namespace tilmora
