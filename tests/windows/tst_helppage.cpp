// The illustrated help pages: each bold menu name stands on its line of text, in a gap clear of the
// words around it, also when a translation makes the names wider than the gaps drawn for them.

#include "mainwindow/quickhelppanel.h"
#include "secondary/frmhelpcontent.h"
#include "secondary/helppage.h"

#include <QLabel>
#include <QTranslator>
#include <QtTest>

using tilmora::HelpPage;
using namespace Qt::Literals::StringLiterals;

// Every menu name in capitals: most of them then need a wider gap than the page leaves.
struct Capitals final : QTranslator {
    bool isEmpty() const override { return false; }
    QString translate(const char* /*context*/, const char* text, const char* /*comment*/,
                      int /*n*/) const override
    {
        const QString source = QString::fromUtf8(text);
        return source.contains(u"  ") ? QString() : source.toUpper();
    }
};

class HelpPageTest : public QObject
{
    Q_OBJECT

private slots:
    // Both pages, with the names as written and in capitals.
    void namesStandInTheirGaps_data()
    {
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("capitals");
        QTest::newRow("panel") << true << false;
        QTest::newRow("help window") << false << false;
        QTest::newRow("panel, capitals") << true << true;
        QTest::newRow("help window, capitals") << false << true;
    }
    void namesStandInTheirGaps()
    {
        QFETCH(bool, panel);
        QFETCH(bool, capitals);
        Capitals translator;
        if (capitals)
            QCoreApplication::installTranslator(&translator);
        QWidget playArea;
        tilmora::frmhelpcontent window;
        HelpPage* page = panel ? qobject_cast<HelpPage*>(tilmora::createQuickHelpPanel(&playArea))
                               : window.findChild<HelpPage*>();
        QCoreApplication::removeTranslator(&translator);

        const auto drawn = [](QWidget* widget) {
            QImage image(widget->size(), QImage::Format_RGB32);
            image.fill(Qt::white);
            widget->render(&image, {}, {}, QWidget::DrawWindowBackground);
            return image;
        };
        const QImage body = drawn(page); // the text alone, without the names over it
        const QStringList lines = page->lineTexts();
        QCOMPARE(lines.size(), 21);
        QList<int> rows;
        for (auto* name : page->findChildren<QLabel*>()) {
            const QImage letters = drawn(name);
            QRect ink;
            for (int y = 0; y < letters.height(); ++y) {
                for (int x = 0; x < letters.width(); ++x) {
                    if (qGray(letters.pixel(x, y)) < 200)
                        ink |= QRect(name->pos() + QPoint(x, y), QSize(1, 1));
                }
            }
            const int row = ink.top() / 16; // 16 pixels to a line
            QVERIFY2(ink.bottom() / 16 == row && !lines.at(row).isEmpty(), qPrintable(name->objectName()));
            rows << row;
            for (int y = row * 16; y < row * 16 + 16; ++y) {
                for (int x = ink.left() - 2; x <= ink.right() + 2; ++x) {
                    if (qGray(body.pixel(x, y)) < 200)
                        QFAIL(qPrintable(
                            u"%1 touches a word at %2, %3"_s.arg(name->objectName()).arg(x).arg(y)));
                }
            }
        }
        std::ranges::sort(rows);
        QCOMPARE(rows, (QList<int>{4, 4, 6, 6, 9, 9, 17, 17, 19, 19}));
    }
};

QTEST_MAIN(HelpPageTest)
#include "tst_helppage.moc"
