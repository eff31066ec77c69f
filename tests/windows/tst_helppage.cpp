// The illustrated instructions: the quick-help panel of the main window and the "Help" window.
// The text is drawn, then read back as pixels: each bold menu name must stand in its own gap on
// its own line, clear of the words around it, whatever font the system gives for Verdana.

#include "mainwindow/quickhelppanel.h"
#include "secondary/frmhelpcontent.h"
#include "secondary/helppage.h"
#include "units/twips.h"

#include <QLabel>
#include <QtTest>

#include <memory>

using tilmora::HelpPage;
namespace twips = tilmora::twips;

namespace {

constexpr int kLineSpacing = 16; // pixels: 240 twips
constexpr int kLineCount = 21;   // three blank lines, then seven paragraphs with a blank line after each
constexpr int kClearance = 2;    // blank pixel columns wanted between a name and the nearest word

// The names are the same on both pages, only their labels' object names differ.
struct ExpectedName {
    const char* inPanel;
    const char* inHelpWindow;
    const char* caption;
    int row; // the line it stands on, counted from the page's top
};

constexpr ExpectedName kNames[] = {
    {"lblhelp1ld", "lblld", "Load Picture", 4},       {"lblhelpgame", "lblgame", "Game", 4},
    {"lblhelpstart", "lblstart", "Start", 6},         {"lblg1", "lblgame1", "Game", 6},
    {"lblhelplevel", "lbllevel", "Level", 9},         {"lblhelpoption", "lbloption", "Option", 9},
    {"lblhelpss", "lblsqsize", "Square Size", 17},    {"lblop1", "lblop2", "Option", 17},
    {"lblhelpop", "lblopic", "Original Picture", 19}, {"lblhelpqh", "lblqh", "Quick Help", 19},
};

// How each line that holds text begins and ends, spaces trimmed; every other line is blank.
struct ExpectedLine {
    int row;
    const char* begins;
    const char* ends;
};

constexpr ExpectedLine kLines[] = {
    {3, "1) To play this", "load your favorite"},
    {4, "picture through", "menu."},
    {6, "2) Then go to", "divides pictures in"},
    {7, "scattered parts.", "scattered parts."},
    {9, "3) You can change the game", "menu."},
    {11, "i.  Easy Level", "can move to blank"},
    {12, "place by clicking", "piece of picture."},
    {14, "ii. Hard Level", "picture from four"},
    {15, "directions can move", "to blank place."},
    {17, "4) You can also change the", "menu."},
    {19, "5) Go to", "menu to view the"},
    {20, "full picture of puzzle.", "full picture of puzzle."},
};

QString spaces(int count)
{
    return QString(count, u' ');
}

// A window holding one page, as the player gets it.
struct ShownPage {
    std::unique_ptr<QWidget> window;
    HelpPage* page = nullptr;
    const char* ExpectedName::*objectName = nullptr;
};

ShownPage makePage(const QString& which)
{
    ShownPage shown;
    if (which == u"panel") {
        shown.window = std::make_unique<QWidget>();
        tilmora::createQuickHelpPanel(shown.window.get());
        shown.page = shown.window->findChild<HelpPage*>(QStringLiteral("lblhelp"));
        shown.objectName = &ExpectedName::inPanel;
    } else {
        shown.window = std::make_unique<tilmora::frmhelpcontent>();
        shown.page = shown.window->findChild<HelpPage*>(QStringLiteral("lblcontent"));
        shown.objectName = &ExpectedName::inHelpWindow;
    }
    return shown;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 200;
}

// The page's own text, without the names over it.
QImage bodyImage(HelpPage* page)
{
    QImage image(page->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    page->render(&image, {}, {}, QWidget::DrawWindowBackground);
    return image;
}

// Which columns of a band of rows hold ink.
std::vector<bool> inkColumns(const QImage& image, int top, int bottom)
{
    std::vector<bool> columns(static_cast<std::size_t>(image.width()), false);
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                columns[static_cast<std::size_t>(x)] = true;
    return columns;
}

// Where a name's letters are, in the page's coordinates.
QRect nameInk(QLabel* label)
{
    QImage image(label->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    label->render(&image);
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink.translated(label->pos());
}

// The stretches of blank columns wider than `widest` between two inked columns: the gaps of a line.
std::vector<std::pair<int, int>> wideBlanks(const std::vector<bool>& ink, int widest)
{
    std::vector<std::pair<int, int>> blanks;
    int lastInk = -1;
    for (int x = 0; x < static_cast<int>(ink.size()); ++x) {
        if (!ink[static_cast<std::size_t>(x)])
            continue;
        if (lastInk >= 0 && x - lastInk - 1 > widest)
            blanks.emplace_back(lastInk + 1, x - 1);
        lastInk = x;
    }
    return blanks;
}

} // namespace

class HelpPageTest : public QObject
{
    Q_OBJECT

private slots:
    void paragraphsKeepTheirSpacing();
    void screenReadersGetWholeSentences();

    void linesBreakAsDesignedAndFit_data();
    void linesBreakAsDesignedAndFit();
    void namesStandInTheirGapsClearOfWords_data();
    void namesStandInTheirGapsClearOfWords();

    void panelHidesWithItsNames();
    void helpWindowIsAFixedToolWindow();

private:
    void addPageAndFontRows();
    // The page of the current row, in the row's font; false when that font is not installed.
    bool pageInRowFont(ShownPage& shown);
};

void HelpPageTest::addPageAndFontRows()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("family"); // empty: the font the page chose for itself
    for (const char* which : {"panel", "help window"}) {
        for (const char* family : {"", "DejaVu Sans", "Liberation Sans"}) {
            const QByteArray name = QByteArray(which) + " / " + (*family ? family : "font in use");
            QTest::newRow(name.constData()) << QString::fromLatin1(which) << QString::fromLatin1(family);
        }
    }
}

bool HelpPageTest::pageInRowFont(ShownPage& shown)
{
    QFETCH(QString, which);
    QFETCH(QString, family);
    shown = makePage(which);
    if (shown.page && !family.isEmpty()) {
        QFont font(family);
        font.setPointSizeF(9.75);
        shown.page->setFont(font);
        if (QFontInfo(shown.page->font()).family() != family)
            return false;
    }
    return true;
}

void HelpPageTest::paragraphsKeepTheirSpacing()
{
    const QString p1 = QStringLiteral("    1) To play this wonderful puzzle Game, first load your favorite") +
                       spaces(10) + QStringLiteral("picture through") + spaces(21) + QStringLiteral("in");
    const QString rest =
        QStringLiteral("\n\n    2) Then go to") + spaces(9) + QStringLiteral("in") + spaces(11) +
        QStringLiteral("menu which divides pictures in") + spaces(12) + QStringLiteral("scattered parts.") +
        QStringLiteral("\n\n    3) You can change the game") + spaces(10) + QStringLiteral("from") +
        spaces(13) + QStringLiteral("menu.") + QStringLiteral("\n\n") + spaces(8) + QStringLiteral("i.") +
        spaces(2) + QStringLiteral("Easy Level : Any piece of picture can move to blank") + spaces(19) +
        QStringLiteral("place by clicking the piece of picture.") + QStringLiteral("\n\n") + spaces(8) +
        QStringLiteral("ii. Hard Level : Only one adjacent piece of picture from four") + spaces(12) +
        QStringLiteral("directions can move to blank place.") +
        QStringLiteral("\n\n    4) You can also change the") + spaces(20) + QStringLiteral("from") +
        spaces(12) + QStringLiteral("menu.") + QStringLiteral("\n\n    5) Go to") + spaces(26) +
        QStringLiteral("in") + spaces(18) + QStringLiteral("menu to view the") + spaces(12) +
        QStringLiteral("full picture of puzzle.");

    // The help window's first paragraph has one space more after "in".
    QCOMPARE(makePage(QStringLiteral("panel")).page->text(),
             QStringLiteral("\n\n\n") + p1 + spaces(11) + QStringLiteral("menu.") + rest);
    QCOMPARE(makePage(QStringLiteral("help window")).page->text(),
             QStringLiteral("\n\n\n") + p1 + spaces(12) + QStringLiteral("menu.") + rest);
}

void HelpPageTest::screenReadersGetWholeSentences()
{
    const QString sentences = QStringLiteral(
        "1) To play this wonderful puzzle Game, first load your favorite picture through Load Picture "
        "in Game menu.\n"
        "2) Then go to Start in Game menu which divides pictures in scattered parts.\n"
        "3) You can change the game Level from Option menu.\n"
        "i. Easy Level : Any piece of picture can move to blank place by clicking the piece of picture.\n"
        "ii. Hard Level : Only one adjacent piece of picture from four directions can move to blank place.\n"
        "4) You can also change the Square Size from Option menu.\n"
        "5) Go to Original Picture in Quick Help menu to view the full picture of puzzle.");
    QCOMPARE(makePage(QStringLiteral("panel")).page->accessibleDescription(), sentences);
    QCOMPARE(makePage(QStringLiteral("help window")).page->accessibleDescription(), sentences);
}

void HelpPageTest::linesBreakAsDesignedAndFit_data()
{
    addPageAndFontRows();
}

void HelpPageTest::linesBreakAsDesignedAndFit()
{
    ShownPage shown;
    if (!pageInRowFont(shown))
        QSKIP("the font of this row is not installed");
    HelpPage* page = shown.page;
    QVERIFY(page);

    const QStringList lines = page->lineTexts();
    QCOMPARE(lines.size(), kLineCount);
    const QImage body = bodyImage(page);
    for (int row = 0; row < kLineCount; ++row) {
        const auto* expected = std::ranges::find(kLines, row, &ExpectedLine::row);
        const QString text = lines.at(row).trimmed();
        const auto ink = inkColumns(body, row * kLineSpacing, (row + 1) * kLineSpacing);
        const auto firstInk = std::ranges::find(ink, true);
        const auto lastInk = std::ranges::find(ink.rbegin(), ink.rend(), true);
        if (expected == std::end(kLines)) {
            QVERIFY2(text.isEmpty(), qPrintable(QStringLiteral("line %1: %2").arg(row).arg(text)));
            QVERIFY2(firstInk == ink.end(), qPrintable(QStringLiteral("ink on blank line %1").arg(row)));
            continue;
        }
        QVERIFY2(text.startsWith(QLatin1String(expected->begins)) &&
                     text.endsWith(QLatin1String(expected->ends)),
                 qPrintable(QStringLiteral("line %1: %2").arg(row).arg(text)));
        // Drawn on its line, and not cut off at the page's right edge.
        QVERIFY2(firstInk != ink.end(), qPrintable(QStringLiteral("nothing drawn on line %1").arg(row)));
        const auto rightmost = static_cast<int>(std::distance(lastInk, ink.rend())) - 1;
        QVERIFY2(rightmost < page->width() - kClearance,
                 qPrintable(QStringLiteral("line %1 runs to the edge, at %2").arg(row).arg(rightmost)));
    }
}

void HelpPageTest::namesStandInTheirGapsClearOfWords_data()
{
    addPageAndFontRows();
}

void HelpPageTest::namesStandInTheirGapsClearOfWords()
{
    ShownPage shown;
    if (!pageInRowFont(shown))
        QSKIP("the font of this row is not installed");
    HelpPage* page = shown.page;
    QVERIFY(page);
    const QImage body = bodyImage(page);
    // Wider than the space between two words, even after a list mark; narrower than any gap.
    const int widest = 4 * QFontMetrics(page->font()).horizontalAdvance(u' ');

    std::vector<QLabel*> labels;
    for (const auto& name : kNames) {
        auto* label = page->findChild<QLabel*>(QString::fromLatin1(name.*shown.objectName));
        QVERIFY2(label, name.*shown.objectName);
        QCOMPARE(label->text(), QString::fromLatin1(name.caption));
        QVERIFY(label->font().bold());
        QVERIFY(!label->autoFillBackground());
        // The whole name shows: its box is not cut short of the letters.
        const QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width() &&
                     metrics.height() <= label->height(),
                 name.caption);
        labels.push_back(label);
    }
    QCOMPARE(page->findChildren<QLabel*>().size(), qsizetype(std::size(kNames)));

    for (int row = 0; row < kLineCount; ++row) {
        const int top = row * kLineSpacing;
        const auto ink = inkColumns(body, top, top + kLineSpacing);
        const auto gaps = wideBlanks(ink, widest);

        // The letters of the names on this line, in reading order.
        std::vector<QRect> names;
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (kNames[i].row == row)
                names.push_back(nameInk(labels[i]));

        // Every gap of the line holds a name, and each name stands in its own gap, in order.
        QCOMPARE(gaps.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const QRect& letters = names[i];
            const QString where = QStringLiteral("line %1, name %2 at %3..%4, gap %5..%6")
                                      .arg(row)
                                      .arg(i)
                                      .arg(letters.left())
                                      .arg(letters.right())
                                      .arg(gaps[i].first)
                                      .arg(gaps[i].second);
            QVERIFY2(letters.left() - kClearance >= gaps[i].first &&
                         letters.right() + kClearance <= gaps[i].second,
                     qPrintable(where));
            QVERIFY2(letters.top() >= top && letters.bottom() < top + kLineSpacing, qPrintable(where));
        }
    }

    // No name's box lies over another's.
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            QVERIFY2(!labels[i]->geometry().intersects(labels[j]->geometry()),
                     qPrintable(labels[i]->objectName() + u' ' + labels[j]->objectName()));
}

void HelpPageTest::panelHidesWithItsNames()
{
    QWidget playArea;
    QWidget* panel = tilmora::createQuickHelpPanel(&playArea);
    QCOMPARE(panel->objectName(), QStringLiteral("lblhelp"));
    QCOMPARE(panel->parentWidget(), &playArea);
    QCOMPARE(panel->geometry(), twips::rect(120, 120, 6600, 6400));
    auto* name = panel->findChild<QLabel*>(QStringLiteral("lblhelp1ld"));
    QVERIFY(name);
    QVERIFY(name->isVisibleTo(&playArea));
    panel->hide();
    QVERIFY(!name->isVisibleTo(&playArea));
}

void HelpPageTest::helpWindowIsAFixedToolWindow()
{
    tilmora::frmhelpcontent window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Help"));
    QCOMPARE(window.windowType(), Qt::Tool);
    const auto flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window.size(), twips::size(6840, 6855));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));

    auto* body = window.findChild<HelpPage*>(QStringLiteral("lblcontent"));
    QVERIFY(body);
    QCOMPARE(body->geometry(), twips::rect(120, 240, 6600, 6360));
}

QTEST_MAIN(HelpPageTest)
#include "tst_helppage.moc"
