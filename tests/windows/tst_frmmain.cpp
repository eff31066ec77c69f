// The main window with the file dialog, the message boxes and the clock stood in for.

#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"
#include "mainwindow/picturechooser.h"
#include "mainwindow/piecewidget.h"
#include "secondary/picturebox.h"

#include <QLabel>
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

class FrmmainTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<Fakes> fakes_;
    std::unique_ptr<frmmain> window_;

    static QRgb colourOfCell(int cell) { return QColor::fromHsv(cell * 22, 255, 220).rgb(); }
    void trigger(const QString& name) const { window_->findChild<QAction*>(name)->trigger(); }
    QString text(const QString& name) const { return window_->findChild<QLabel*>(name)->text(); }
    PieceWidget* piece(int number) const { return window_->picturesplit().at(std::size_t(number)); }

    // A picture in a 4 x 4 grid of colours; 880 pixels fill the play area at either pixel ratio.
    void load()
    {
        QImage image(880, 880, QImage::Format_RGB32);
        for (int y = 0; y < 880; ++y) {
            for (int x = 0; x < 880; ++x)
                image.setPixel(x, y, colourOfCell(y / 220 * 4 + x / 220));
        }
        QVERIFY(image.save(dir_.filePath(u"picture.png"_s)));
        QVERIFY(window_->loadPictureFile(dir_.filePath(u"picture.png"_s)));
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

    // Each piece shows exactly its home part of the picture, to its last pixel. A size from the
    // menu is checked alone and waits for Start: the board in play keeps its cells, and Start lays
    // out n x n pieces over the whole picture and counts the seconds from zero again.
    void boardFollowsTheSizeChosenAtStart_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("n");
        QTest::newRow("3*3") << u"threebythree"_s << 3;
        QTest::newRow("4*4") << u"fourbyfour"_s << 4;
        QTest::newRow("6*6") << u"sixbysix"_s << 6;
    }
    void boardFollowsTheSizeChosenAtStart()
    {
        QFETCH(QString, command);
        QFETCH(int, n);
        const auto checkBoard = [this](int size) {
            QRegion covered;
            for (auto* shown : window_->findChildren<PieceWidget*>())
                covered += shown->geometry();
            QCOMPARE(window_->picturesplit().size(), std::size_t(size * size + 1));
            QCOMPARE(covered, QRegion(8, 8, 440, 440));
        };
        load();
        trigger(u"start1"_s);
        for (int number = 2; number <= 16; ++number) {
            const QImage shown = piece(number)->grab().toImage();
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x) {
                    if (shown.pixel(x, y) != colourOfCell(number - 1))
                        QFAIL(qPrintable(u"piece %1 at %2, %3"_s.arg(number).arg(x).arg(y)));
                }
            }
        }
        fakes_->advance(125s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"125 Seconds"_s);
        trigger(command);
        for (const QString& size : {u"threebythree"_s, u"fourbyfour"_s, u"sixbysix"_s})
            QCOMPARE(window_->findChild<QAction*>(size)->isChecked(), size == command);
        QTest::mouseClick(piece(2), Qt::LeftButton);
        checkBoard(4);
        trigger(u"start1"_s);
        checkBoard(n);
        window_->Timer1_Timer();
        QCOMPARE(text(u"lbltimeresult"_s), u"0 Seconds"_s);
    }

    // Before a picture Start and Original Picture ask for one. On Hard only a neighbour of the
    // blank cell moves, on Easy any piece; a click or Enter counts an attempt, another key nothing.
    // Tab walks the pieces in reading order; an arrow goes to the nearest piece that way, over the
    // blank, and stays put at the board's edge. Solved, the board stops the clock, says so, shows
    // the missing piece and the whole picture over it. Exit closes the other windows too.
    void aGameFromStartToEnd()
    {
        trigger(u"start1"_s);
        trigger(u"opicture1"_s);
        const QPoint margin = window_->centralWidget()->pos() + QPoint(2, 2); // the play area is black
        QCOMPARE(window_->grab().toImage().pixel(margin * window_->devicePixelRatio()), qRgb(0, 0, 0));
        load();
        trigger(u"threebythree"_s);
        trigger(u"hard1"_s);
        trigger(u"start1"_s);
        const auto& game = window_->game();
        const Cell blank = game.blankCell();
        const Cell nearCell{blank.row == 0 ? 1 : blank.row - 1, blank.column};
        PieceWidget* near = piece(game.pieceAt(nearCell));
        PieceWidget* far =
            piece(game.pieceAt(blank == Cell{1, 1} ? Cell{0, 0} : Cell{2 - blank.row, 2 - blank.column}));
        QTest::keyClick(far, Qt::Key_A);
        QTest::mouseClick(far, Qt::LeftButton);
        QTest::keyClick(near, Qt::Key_Return);
        QCOMPARE(game.blankCell(), nearCell);
        QCOMPARE(near->geometry(), window_->cellRect(blank));
        QCOMPARE(text(u"lblscoreresult"_s), u"2"_s);

        QList<PieceWidget*> reading;
        for (int cell = 0; cell < 9; ++cell) {
            if (const int number = game.pieceAt({cell / 3, cell % 3}); number != 1)
                reading << piece(number);
        }
        reading.front()->setFocus();
        for (auto* expected : std::as_const(reading)) {
            QCOMPARE(QApplication::focusWidget(), expected);
            const Cell cell = game.cellOfPiece(expected->piece());
            const QString name = u"Piece %1, row %2, column %3"_s.arg(expected->piece()).arg(cell.row + 1);
            QCOMPARE(expected->accessibleName(), name.arg(cell.column + 1));
            QTest::keyClick(expected, Qt::Key_Tab);
        }
        const auto inside = [](Cell cell) {
            return std::min(cell.row, cell.column) >= 0 && std::max(cell.row, cell.column) < 3;
        };
        const std::pair<Qt::Key, Cell> arrows[] = {
            {Qt::Key_Left, {0, -1}}, {Qt::Key_Right, {0, 1}}, {Qt::Key_Up, {-1, 0}}, {Qt::Key_Down, {1, 0}}};
        for (auto* from : std::as_const(reading)) {
            for (const auto& [key, step] : arrows) {
                Cell to = game.cellOfPiece(from->piece());
                do
                    to = {to.row + step.row, to.column + step.column};
                while (inside(to) && game.pieceAt(to) == 1);
                from->setFocus();
                QTest::keyClick(from, key);
                QCOMPARE(QApplication::focusWidget(), inside(to) ? piece(game.pieceAt(to)) : from);
            }
        }

        trigger(u"easy1"_s);
        fakes_->advance(7s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"7 Seconds"_s);
        // Send in the piece that belongs in the blank cell or, with the blank home, a stray one.
        for (int guard = 0; guard < 30 && game.inPlay(); ++guard) {
            const Cell empty = game.blankCell();
            int next = empty.row * 3 + empty.column + 1;
            for (int number = 9; next == 1; --number) {
                if (game.cellOfPiece(number) != Cell{(number - 1) / 3, (number - 1) % 3})
                    next = number;
            }
            QTest::mouseClick(piece(next), Qt::LeftButton);
        }
        QCOMPARE(fakes_->shown, (QStringList{u"First Load the picture."_s, u"First load the picture."_s,
                                             u"                        Game is over."_s}));
        QVERIFY(piece(1)->isVisible() && !window_->findChild<QTimer*>(u"Timer1"_s)->isActive());
        auto* picture = window_->findChild<PictureBox*>(u"pictureoriginal"_s);
        QCOMPARE(picture->parentWidget()->childAt(picture->geometry().center()), picture);
        QCOMPARE(text(u"lbltimeresult"_s), u"7 Seconds"_s);

        trigger(u"opicture1"_s);
        trigger(u"opicture1"_s);
        trigger(u"content1"_s);
        const auto shown = [](const QString& name) {
            QList<QWidget*> windows = QApplication::topLevelWidgets();
            windows.removeIf(
                [&](QWidget* window) { return window->objectName() != name || !window->isVisible(); });
            return windows;
        };
        QCOMPARE(shown(u"frmhelp"_s).size(), 1);
        QCOMPARE(shown(u"frmhelp"_s).front()->findChild<PictureBox*>()->size(), QSize(440, 440));
        QCOMPARE(shown(u"frmhelpcontent"_s).size(), 1);
        trigger(u"exit1"_s);
        QVERIFY(shown(u"frmhelp"_s).isEmpty() && shown(u"frmhelpcontent"_s).isEmpty() &&
                !window_->isVisible());
    }

    // A file that cannot be shown is named in one message and costs nothing: the game on the
    // board plays on exactly as it was, because the picture is read before the board is given up.
    void badFileLeavesTheGameAsItWas_data()
    {
        QTest::addColumn<QString>("file");       // what the dialog answers, in the test's folder
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::addColumn<QString>("message");    // empty: none
        QTest::newRow("empty answer") << QString() << QByteArray() << QString();
        QTest::newRow("text as .png")
            << u"a.png"_s << QByteArray("Dear diary") << u"“a.png” is not a picture."_s;
        QTest::newRow("empty file") << u"b.png"_s << QByteArray("") << u"“b.png” is empty, not a picture."_s;
        QTest::newRow("missing file") << u"c.png"_s << QByteArray() << u"“c.png” does not exist."_s;
    }
    void badFileLeavesTheGameAsItWas()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        load();
        trigger(u"start1"_s);
        QTest::mouseClick(piece(2), Qt::LeftButton);
        fakes_->advance(3s);
        const auto pieces = window_->picturesplit();
        fakes_->chosen = file.isEmpty() ? u""_s : dir_.filePath(file);
        QFile written(*fakes_->chosen);
        QVERIFY(content.isNull() || (written.open(QIODevice::WriteOnly) && written.write(content) >= 0));
        written.close();
        trigger(u"loadpicture1"_s);
        QCOMPARE(fakes_->shown, message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(window_->picturesplit() == pieces && window_->game().inPlay());
        QCOMPARE(text(u"lblscoreresult"_s), u"1"_s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"3 Seconds"_s);
    }
};

QTEST_MAIN(FrmmainTest)
#include "tst_frmmain.moc"
