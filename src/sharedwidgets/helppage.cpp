#include "helppage.h"

#include "units/twips.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tilmora {

namespace {

constexpr double kLineSpacing = 240; // twips from one line to the next
constexpr int kLinesBeforeText = 3;  // the page opens with three blank lines
constexpr int kShortestFiller = 3;   // see help::PageText
// Pixels kept clear on each side of a name, so that it never touches the words around its gap.
constexpr int kNameMargin = 2;

QString translated(const char* text)
{
    return QCoreApplication::translate(help::kContext, text);
}

// The page to a screen reader: one text, its sentences with the names in, in reading order; the
// name labels laid over the gaps are not read on their own.
class HelpPageAccessible final : public QAccessibleWidget
{
public:
    explicit HelpPageAccessible(QWidget* page)
        : QAccessibleWidget(page, QAccessible::StaticText)
    {}
    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? widget()->accessibleDescription() : QString();
    }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
};

QAccessibleInterface* helpPageAccessibleFactory(const QString& className, QObject* object)
{
    return className == QLatin1String("tilmora::HelpPage")
               ? new HelpPageAccessible(static_cast<QWidget*>(object))
               : nullptr;
}

// Where the run of spaces that starts at `from` ends.
int spacesEnd(const QString& text, int from)
{
    while (from < text.size() && text.at(from) == u' ')
        ++from;
    return from;
}

// A run of spaces of a paragraph that a menu name stands in.
struct Gap {
    int start;
    int end;
    const help::MenuName* name;
};

// The gaps of paragraph `index`, from left to right.
std::vector<Gap> findGaps(const QString& text, const help::PageText& page, int index)
{
    std::vector<Gap> gaps;
    for (const auto& name : page.names) {
        if (name.paragraph != index)
            continue;
        const QString after =
            QCoreApplication::translate(help::kContext, name.after.words, name.after.disambiguation);
        const auto found = text.indexOf(after + QStringLiteral("  "));
        Q_ASSERT_X(found >= 0, "HelpPage", qPrintable(after));
        if (found < 0)
            continue;
        const int start = static_cast<int>(found + after.size());
        gaps.push_back({start, spacesEnd(text, start), &name});
    }
    std::ranges::sort(gaps, {}, &Gap::start);
    return gaps;
}

// Where the lines of a paragraph start, and its end: a line ends after each filler run.
std::vector<int> breakLines(const QString& text, const std::vector<Gap>& gaps)
{
    std::vector<int> starts{0};
    // The indent at the start is no filler.
    for (int at = spacesEnd(text, 0); at < text.size(); ++at) {
        if (text.at(at) != u' ')
            continue;
        const int end = spacesEnd(text, at);
        const bool holdsName = std::ranges::any_of(gaps, [at](const Gap& gap) { return gap.start == at; });
        if (!holdsName && end - at >= kShortestFiller && end < text.size())
            starts.push_back(end);
        at = end;
    }
    starts.push_back(static_cast<int>(text.size()));
    return starts;
}

// The paragraph as a screen reader should say it: the names in their gaps, no runs of spaces.
QString spokenSentence(const QString& text, const std::vector<Gap>& gaps)
{
    QString sentence = text;
    // From the last gap back, so the earlier gaps' positions still hold.
    for (std::size_t index = gaps.size(); index-- > 0;) {
        const Gap& gap = gaps[index];
        sentence.replace(gap.start, gap.end - gap.start,
                         QLatin1Char(' ') + translated(gap.name->caption) + QLatin1Char(' '));
    }
    return sentence.simplified();
}

QTextLayout::FormatRange letterSpacing(int start, int length, int pixels)
{
    QTextLayout::FormatRange range;
    range.start = start;
    range.length = length;
    range.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    range.format.setFontLetterSpacing(pixels);
    return range;
}

} // namespace

struct HelpPage::Line {
    int row = 0; // counted from the top of the page
    std::unique_ptr<QTextLayout> layout;
};

struct HelpPage::NameLabel {
    QLabel* label = nullptr;
    std::size_t line = 0; // index into lines_
    int gapStart = 0;     // the gap's spaces, in the line's text
    int gapEnd = 0;
    QSize box; // the label's size where the gap is wide enough for it
};

HelpPage::HelpPage(const help::PageText& page, QWidget* parent)
    : QLabel(parent)
{
    // Verdana where the system has it; otherwise whatever sans serif font it offers instead. 9.75
    // points is 13 pixels at 96 dots an inch: the size the page's lines, 16 pixels apart, and the
    // gaps for the bold names were laid out for. The light grey sets the page off from the black
    // play area it stands in, as the game has always shown it.
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setStyleHint(QFont::SansSerif);
    verdana.setPointSizeF(9.75);
    setFont(verdana);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);

    // Only the weight is set: family and size follow the page's font, whatever it becomes.
    QFont bold;
    bold.setBold(true);

    QStringList paragraphs;
    QStringList spoken;
    int row = kLinesBeforeText;
    for (int index = 0; index < static_cast<int>(page.paragraphs.size()); ++index) {
        const QString text = translated(page.paragraphs[static_cast<std::size_t>(index)]);
        paragraphs << text;

        const std::vector<Gap> gaps = findGaps(text, page, index);
        const std::vector<int> lineStarts = breakLines(text, gaps);
        spoken << spokenSentence(text, gaps);

        auto gap = gaps.begin();
        for (std::size_t i = 0; i + 1 < lineStarts.size(); ++i, ++row) {
            const int start = lineStarts[i];
            const int end = lineStarts[i + 1];
            auto layout = std::make_unique<QTextLayout>(text.mid(start, end - start));
            QTextOption option;
            option.setWrapMode(QTextOption::NoWrap);
            layout->setTextOption(option);
            lines_.push_back({row, std::move(layout)});
            for (; gap != gaps.end() && gap->start < end; ++gap) {
                auto* label = new QLabel(translated(gap->name->caption), this);
                label->setObjectName(QString::fromUtf8(gap->name->objectName));
                label->setFont(bold);
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                names_.push_back({label, lines_.size() - 1, gap->start - start, gap->end - start,
                                  twips::size(gap->name->width, gap->name->height)});
            }
        }
        ++row; // the blank line between paragraphs
    }

    setText(QStringLiteral("\n\n\n") + paragraphs.join(QStringLiteral("\n\n")));
    // A screen reader would read the gaps as nothing: give it the sentences with the names in.
    static const bool installed = (QAccessible::installFactory(&helpPageAccessibleFactory), true);
    Q_UNUSED(installed);
    setAccessibleName(translated(page.title));
    setAccessibleDescription(spoken.join(QLatin1Char('\n')));
    layOut();
}

HelpPage::~HelpPage() = default;

QStringList HelpPage::lineTexts() const
{
    QStringList texts;
    for (const auto& line : lines_) {
        while (texts.size() < line.row)
            texts << QString();
        texts << line.layout->text();
    }
    return texts;
}

void HelpPage::layOut()
{
    const QFont body = font();
    QFont bold = body;
    bold.setBold(true);
    const QFontMetricsF boldMetrics(bold);

    const auto layLine = [&body](QTextLayout& layout, const QList<QTextLayout::FormatRange>& formats) {
        layout.setFont(body);
        layout.setFormats(formats);
        layout.beginLayout();
        layout.createLine().setPosition({0, 0});
        layout.endLayout();
    };
    // A name's width with room for letters that reach out of their advance (a bold J) on either
    // side, as the label centres the advance.
    const auto nameWidth = [&boldMetrics](const NameLabel& name) {
        const QString text = name.label->text();
        const qreal advance = boldMetrics.horizontalAdvance(text);
        const QRectF ink = boldMetrics.boundingRect(text);
        return advance + 2 * std::max({0.0, -ink.left(), ink.right() - advance});
    };
    const auto gapWidth = [this](const NameLabel& name) {
        const QTextLine line = lines_[name.line].layout->lineAt(0);
        return line.cursorToX(name.gapEnd) - line.cursorToX(name.gapStart);
    };

    for (std::size_t index = 0; index < lines_.size(); ++index) {
        QTextLayout& layout = *lines_[index].layout;
        layLine(layout, {});
        // A gap too narrow for its name in this font gets a whole pixel more on as many of its
        // spaces as it takes. Only the gap grows: the text and the line breaks stay as they are.
        QList<QTextLayout::FormatRange> widened;
        for (const auto& name : names_) {
            if (name.line != index)
                continue;
            const qreal wanted = nameWidth(name) + 2 * kNameMargin;
            const qreal missing = wanted - gapWidth(name);
            if (missing <= 0)
                continue;
            const int spaces = name.gapEnd - name.gapStart;
            const int pixels = static_cast<int>(std::ceil(missing));
            const int everySpace = pixels / spaces;
            const int someSpaces = pixels % spaces;
            if (someSpaces > 0)
                widened << letterSpacing(name.gapStart, someSpaces, everySpace + 1);
            if (everySpace > 0)
                widened << letterSpacing(name.gapStart + someSpaces, spaces - someSpaces, everySpace);
        }
        if (!widened.isEmpty())
            layLine(layout, widened);
    }

    // Each name is centred on its gap and stands on the line's baseline, so that it reads as part
    // of the sentence.
    const int lineSpacing = twips::toPixels(kLineSpacing);
    for (const auto& name : names_) {
        const Line& line = lines_[name.line];
        const QTextLine text = line.layout->lineAt(0);
        const qreal left = text.cursorToX(name.gapStart);
        const qreal room = gapWidth(name);
        const int inkWidth = static_cast<int>(std::ceil(nameWidth(name)));
        const int width = std::min(std::max(name.box.width(), inkWidth), static_cast<int>(std::floor(room)));
        const qreal baseline = line.row * lineSpacing + text.ascent();
        name.label->setGeometry(static_cast<int>(std::lround(left + (room - width) / 2)),
                                static_cast<int>(std::lround(baseline - boldMetrics.ascent())), width,
                                name.box.height());
    }
    update();
}

void HelpPage::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const int lineSpacing = twips::toPixels(kLineSpacing);
    for (const auto& line : lines_)
        line.layout->draw(&painter, QPointF(0, line.row * lineSpacing));
}

void HelpPage::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && !lines_.empty())
        layOut();
}

} // namespace tilmora
