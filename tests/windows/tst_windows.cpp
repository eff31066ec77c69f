// The main window with the file dialog, the message boxes and the clock stood in for, and the
// illustrated help pages, where each bold menu name is laid over a gap in the text.

#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"
#include "mainwindow/picturechooser.h"
#include "mainwindow/piecewidget.h"
#include "mainwindow/quickhelppanel.h"
#include "secondary/frmhelpcontent.h"
#include "secondary/helppage.h"
#include "secondary/picturebox.h"

#include <QLabel>
#include <QPainter>
#include <QTranslator>
#include <QtTest>

using namespace tilmora;
using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using puzzle::Cell;

// The dialog answers `chosen` (nothing: cancelled), every box is noted, the clock reads `now`.
struct Fakes final : PictureChooser, MessageBoxes {
    std::optional<QString> chosen;
    QStringList shown;
    puzzle::ClockReading now{puzzle::SteadyTime(1h), puzzle::WallTime(24h * 365 * 50)};
    std::optional<QString> choosePicture(QWidget* /*parent*/) override { return chosen; }
    void inform(QWidget* /*parent*/, const QString& text) override { shown << text; }
    void warn(QWidget* /*parent*/, const QString& text) override { shown << text; }
    void advance(std::chrono::seconds step) { now = {now.steady + step, now.wall + step}; }
};

// Every menu name in capitals: most of them then need a wider gap than the page leaves.
struct Capitals final : QTranslator {
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* text, const char*, int) const override
    {
        const QString source = QString::fromUtf8(text);
        return source.contains(u"  ") ? QString() : source.toUpper();
    }
};

class WindowsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<Fakes> fakes_;
    std::unique_ptr<frmmain> window_;

    static QRgb colourOfCell(int cell) { return QColor::fromHsv(cell * 22, 255, 220).rgb(); }
    void trigger(const QString& name) const { window_->findChild<QAction*>(name)->trigger(); }
    QString text(const QString& name) const { return window_->findChild<QLabel*>(name)->text(); }
    PieceWidget* piece(int number) const { return window_->picturesplit().at(std::size_t(number)); }

    // A picture in a 4 x 4 grid of colours (880 pixels fill the play area at either pixel ratio).
    void startAGame()
    {
        QImage image(880, 880, QImage::Format_RGB32);
        for (int cell = 0; cell < 16; ++cell)
            QPainter(&image).fillRect(cell % 4 * 220, cell / 4 * 220, 220, 220, QColor(colourOfCell(cell)));
        QVERIFY(image.save(dir_.filePath(u"picture.png"_s)));
        QVERIFY(window_->loadPictureFile(dir_.filePath(u"picture.png"_s)));
        trigger(u"start1"_s);
    }

    // Where the widget, drawn alone on white without its children, has ink within `area` (its own
    // pixels; outside it counts as ink), in its parent's pixels.
    static QRect ink(QWidget* widget, const QRect& area)
    {
        QImage image(widget->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        widget->render(&image, {}, {}, QWidget::DrawWindowBackground);
        QRect found;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                found |= image.valid(x, y) && qGray(image.pixel(x, y)) >= 200 ? QRect() : QRect(x, y, 1, 1);
        }
        return found.translated(widget->pos());
    }

private slots:
    void init()
    {
        fakes_ = std::make_shared<Fakes>();
        const auto clock = [fakes = fakes_] { return fakes->now; };
        window_ = std::make_unique<frmmain>(frmmain::Services{fakes_, fakes_, clock, 2026});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    // Each piece shows exactly its home part of the picture. A file that cannot be shown is named
    // in one message and costs nothing: it is read before the game on the board is given up. A size
    // from the menu is checked alone and waits for Start, which lays out n x n pieces over the whole
    // picture and counts the seconds from zero again.
    void theBoardOnScreen()
    {
        startAGame();
        for (int number = 2; number <= 16; ++number) {
            const QImage shown = piece(number)->grab().toImage().convertToFormat(QImage::Format_Indexed8);
            QCOMPARE(shown.colorTable(), QList<QRgb>{colourOfCell(number - 1)}); // to the edges, nothing else
        }
        QTest::mouseClick(piece(2), Qt::LeftButton);
        fakes_->advance(3s);
        const auto pieces = window_->picturesplit();
        // The dialog's answer in the test's folder, what is written there (null: nothing), the message.
        const std::tuple<QString, QByteArray, QString> files[] = {
            {u""_s, {}, {}},
            {u"a.png"_s, "Dear diary", u"“a.png” is not a picture."_s},
            {u"b.png"_s, "", u"“b.png” is empty, not a picture."_s},
            {u"c.png"_s, {}, u"“c.png” does not exist."_s},
        };
        for (const auto& [file, content, message] : files) {
            fakes_->shown.clear();
            fakes_->chosen = file.isEmpty() ? file : dir_.filePath(file);
            QFile written(*fakes_->chosen);
            QVERIFY(content.isNull() ||
                    (written.open(QIODevice::WriteOnly) && written.write(content) >= 0 && written.flush()));
            trigger(u"loadpicture1"_s);
            QCOMPARE(fakes_->shown, message.isEmpty() ? QStringList() : QStringList{message});
            QVERIFY(window_->picturesplit() == pieces && window_->game().inPlay());
        }
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"3 Seconds"_s);
        const auto checkBoard = [this](int n) {
            QRegion covered;
            for (auto* shown : window_->findChildren<PieceWidget*>())
                covered += shown->geometry();
            QCOMPARE(window_->picturesplit().size(), std::size_t(n * n + 1));
            QCOMPARE(covered, QRegion(8, 8, 440, 440));
        };
        int previous = 4;
        for (const auto& [command, n] :
             {std::pair{u"threebythree"_s, 3}, {u"fourbyfour"_s, 4}, {u"sixbysix"_s, 6}}) {
            trigger(command);
            for (const QString& size : {u"threebythree"_s, u"fourbyfour"_s, u"sixbysix"_s})
                QCOMPARE(window_->findChild<QAction*>(size)->isChecked(), size == command);
            QTest::mouseClick(piece(2), Qt::LeftButton);
            checkBoard(std::exchange(previous, n)); // the game in play keeps its cells
            fakes_->advance(5s);
            trigger(u"start1"_s);
            checkBoard(n);
            window_->Timer1_Timer();
            QCOMPARE(text(u"lbltimeresult"_s), u"0 Seconds"_s);
        }
    }

    // A game by the rules of its level, by mouse and keyboard, from asking for a picture to the
    // whole picture shown over the solved board and Exit, which closes the other windows too.
    void aGameFromStartToEnd()
    {
        trigger(u"start1"_s);
        trigger(u"opicture1"_s);
        const QPoint margin = window_->centralWidget()->pos() + QPoint(2, 2); // the play area is black
        QCOMPARE(window_->grab().toImage().pixel(margin * window_->devicePixelRatio()), qRgb(0, 0, 0));
        trigger(u"threebythree"_s);
        trigger(u"hard1"_s);
        startAGame();
        const auto& game = window_->game();
        const Cell blank = game.blankCell();
        const Cell near{blank.row == 0 ? 1 : blank.row - 1, blank.column};
        PieceWidget* far =
            piece(game.pieceAt(blank == Cell{1, 1} ? Cell{} : Cell{2 - blank.row, 2 - blank.column}));
        PieceWidget* mover = piece(game.pieceAt(near));
        QTest::keyClick(far, Qt::Key_A);
        QTest::mouseClick(far, Qt::LeftButton);
        QTest::keyClick(mover, Qt::Key_Return);
        QCOMPARE(mover->geometry(), window_->cellRect(blank));
        QCOMPARE(game.blankCell(), near);
        QCOMPARE(text(u"lblscoreresult"_s), u"2"_s); // Hard: the far piece stays; A is no attempt
        // Tab walks the cells in reading order, an arrow to the nearest piece that way, over the
        // blank; at the board's edge the focus stays put.
        QList<PieceWidget*> reading;
        for (int cell = 0; cell < 9; ++cell)
            reading << piece(game.pieceAt({cell / 3, cell % 3}));
        reading.removeOne(piece(1));
        const auto inside = [](Cell cell) { return QRect(0, 0, 3, 3).contains(cell.column, cell.row); };
        const std::pair<Qt::Key, Cell> arrows[] = {
            {Qt::Key_Left, {0, -1}}, {Qt::Key_Right, {0, 1}}, {Qt::Key_Up, {-1, 0}}, {Qt::Key_Down, {1, 0}}};
        reading.front()->setFocus();
        for (auto* from : std::as_const(reading)) {
            QCOMPARE(QApplication::focusWidget(), from);
            const Cell cell = game.cellOfPiece(from->piece());
            const QString name = u"Piece %1, row %2, column %3"_s.arg(from->piece()).arg(cell.row + 1);
            QCOMPARE(from->accessibleName(), name.arg(cell.column + 1));
            for (const auto& [key, step] : arrows) {
                Cell to = cell;
                do
                    to = {to.row + step.row, to.column + step.column};
                while (inside(to) && game.pieceAt(to) == 1);
                QTest::keyClick(from, key);
                QCOMPARE(QApplication::focusWidget(), inside(to) ? piece(game.pieceAt(to)) : from);
                from->setFocus();
            }
            QTest::keyClick(from, Qt::Key_Tab);
        }
        // Solved on Easy, the clock stops, the message comes once and the whole picture shows.
        trigger(u"easy1"_s);
        fakes_->advance(7s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"7 Seconds"_s);
        // Cell by cell: the blank goes there, then the piece that belongs there.
        for (int cell = 1; cell < 9; ++cell) {
            if (const int there = game.pieceAt({cell / 3, cell % 3}); there != cell + 1) {
                if (there != 1)
                    QTest::mouseClick(piece(there), Qt::LeftButton);
                QTest::mouseClick(piece(cell + 1), Qt::LeftButton);
            }
        }
        QCOMPARE(fakes_->shown, (QStringList{u"First Load the picture."_s, u"First load the picture."_s,
                                             u"                        Game is over."_s}));
        QVERIFY(piece(1)->isVisible() && !window_->findChild<QTimer*>(u"Timer1"_s)->isActive());
        auto* picture = window_->findChild<PictureBox*>(u"pictureoriginal"_s);
        QCOMPARE(picture->parentWidget()->childAt(picture->geometry().center()), picture);
        trigger(u"opicture1"_s);
        trigger(u"opicture1"_s);
        trigger(u"content1"_s);
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(), &QWidget::isVisible), 3);
        trigger(u"exit1"_s);
        QVERIFY(std::ranges::none_of(QApplication::topLevelWidgets(), &QWidget::isVisible));
    }

    // On both pages each name stands on a line of text (16 pixels to a line), in a gap clear of
    // the words around it, also when a translation makes the names wider than their gaps.
    void namesStandInTheirGaps()
    {
        for (const bool capitals : {false, true}) {
            Capitals translator;
            if (capitals)
                QCoreApplication::installTranslator(&translator);
            QWidget playArea;
            frmhelpcontent window;
            const QList<QWidget*> pages = {createQuickHelpPanel(&playArea), window.findChild<HelpPage*>()};
            QCoreApplication::removeTranslator(&translator);
            for (auto* page : pages) {
                const QStringList lines = qobject_cast<HelpPage*>(page)->lineTexts();
                QCOMPARE(lines.size(), 21);
                for (auto* name : page->findChildren<QLabel*>()) {
                    const QRect letters = ink(name, name->rect());
                    const int row = letters.top() / 16;
                    const QByteArray where = name->objectName().toLatin1() + (capitals ? " in capitals" : "");
                    QVERIFY2(letters.bottom() / 16 == row && !lines.at(row).isEmpty(), where);
                    const QRect around(letters.left() - 2, row * 16, letters.width() + 4, 16);
                    QVERIFY2(ink(page, around).isNull(), where + " touches a word");
                }
            }
        }
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
