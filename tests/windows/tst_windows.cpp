// The main window with the file dialog, the message boxes and the clock stood in for, and the
// illustrated help pages, where each bold menu name is laid over a gap in the text.

#include "app/translations.h"
#include "mainwindow/board.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"
#include "mainwindow/picturechooser.h"
#include "mainwindow/piecewidget.h"
#include "mainwindow/quickhelppanel.h"
#include "picture/picturereader.h"
#include "secondary/frmhelp.h"
#include "secondary/frmhelpcontent.h"
#include "sharedwidgets/helppage.h"
#include "sharedwidgets/picturebox.h"

#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
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

// Every menu name of `language` (null: English) in capitals: most of them then need a wider gap
// than the page leaves. Paragraphs and the words before the gaps are left as they are.
struct Capitals final : QTranslator {
    const QTranslator* language = nullptr;
    QString translate(const char* context, const char* text, const char* disambiguation, int n) const override
    {
        if (disambiguation || QByteArrayView(text).contains("  "))
            return {};
        const QString translated = language ? language->translate(context, text, nullptr, n) : QString();
        return (translated.isEmpty() ? QString::fromUtf8(text) : translated).toUpper();
    }
};

class WindowsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<Fakes> fakes_;
    std::unique_ptr<frmmain> window_;

    void trigger(const QString& name) const { window_->findChild<QAction*>(name)->trigger(); }
    QString text(const QString& name) const { return window_->findChild<QLabel*>(name)->text(); }
    PieceWidget* piece(int number) const { return pieces().at(std::size_t(number)); }
    const std::vector<PieceWidget*>& pieces() const { return window_->board()->picturesplit(); }
    // Where a piece stands in the play area.
    QRect placeOf(const QWidget* piece) const
    {
        return {piece->mapTo(window_->centralWidget(), QPoint()), piece->size()};
    }

    // The picture of 600 x 360 pixels is shown at 440 x 264 from the play area's corner (8, 8); an
    // n x n board cuts it at whole pixels, the nearest to each exact fraction.
    static QRect expectedCell(Cell cell, int n)
    {
        const auto edge = [n](int index, double length) { return int(std::lround(index * length / n)); };
        return QRect(QPoint(8 + edge(cell.column, 440), 8 + edge(cell.row, 264)),
                     QPoint(7 + edge(cell.column + 1, 440), 7 + edge(cell.row + 1, 264)));
    }

    // A picture with no two neighbouring pixels alike, neither square nor the play area's size.
    void startAGame(QSize size = {600, 360})
    {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb(x, y, x ^ y));
        }
        QVERIFY(image.save(dir_.filePath(u"picture.png"_s)));
        window_->loadPictureFile(dir_.filePath(u"picture.png"_s));
        QTRY_VERIFY(!window_->isReadingPicture());
        trigger(u"start1"_s);
    }

    // Where the widget drawn alone on white has ink in `area` (outside counts), in parent pixels.
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

    // Each language: what the program shows it in, and how many rows its help pages take.
    static void languages()
    {
        QTest::addColumn<QStringList>("menus");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("longGame");
        QTest::addColumn<int>("helpRows");
        QTest::newRow("en") << QStringList{u"Game"_s, u"Option"_s, u"Quick Help"_s, u"Exit"_s}
                            << u"“a.png” is not a picture."_s << u"9999 Seconds"_s << 21;
        QTest::newRow("de") << QStringList{u"Spiel"_s, u"Optionen"_s, u"Kurzhilfe"_s, u"Beenden"_s}
                            << u"„a.png“ ist kein Bild."_s << u"9999 Sekunden"_s << 21;
        QTest::newRow("fr") << QStringList{u"Partie"_s, u"Options"_s, u"Aide rapide"_s, u"Quitter"_s}
                            << u"«\u00A0a.png\u00A0» n’est pas une image."_s << u"9999 secondes"_s << 23;
        QTest::newRow("es") << QStringList{u"Juego"_s, u"Opciones"_s, u"Ayuda rápida"_s, u"Salir"_s}
                            << u"«a.png» no es una imagen."_s << u"9999 segundos"_s << 23;
    }

private slots:
    void init()
    {
        fakes_ = std::make_shared<Fakes>();
        const auto clock = [fakes = fakes_] { return fakes->now; };
        window_ =
            std::make_unique<frmmain>(frmmain::Services{fakes_, fakes_, clock, 2026, {TILMORA_DECODER}});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    // Each piece stands in the cell the game says and shows exactly its home part of the picture.
    // A file that cannot be shown is named in one message and costs nothing: it is read before the
    // game on the board is given up. A size from the menu waits for Start, which lays out n x n
    // pieces over the whole picture and shows the new game's numbers at once: 0 attempts, 0 seconds.
    // A new picture takes the board away and shows in the reference window too.
    void theBoardOnScreen()
    {
        startAGame();
        auto* picture = window_->findChild<PictureBox*>(u"pictureoriginal"_s);
        for (int number = 2; number <= 16; ++number) {
            const QRect home = expectedCell({(number - 1) / 4, (number - 1) % 4}, 4);
            QCOMPARE(placeOf(piece(number)), expectedCell(window_->game().cellOfPiece(number), 4));
            QCOMPARE(piece(number)->grab().toImage(), picture->grab(home.translated(-8, -8)).toImage());
        }
        QTest::mouseClick(piece(2), Qt::LeftButton);
        fakes_->advance(3s);
        const auto before = pieces();
        // The dialog's answer in the test's folder, what is written there (null: nothing), the messages.
        const std::tuple<QString, QByteArray, QStringList> files[] = {
            {u""_s, {}, {}},
            {u"b.png"_s, "", {u"“b.png” is empty, not a picture."_s}},
            {u"c.png"_s, {}, {u"“c.png” does not exist."_s}},
        };
        for (const auto& [file, content, messages] : files) {
            fakes_->chosen = file.isEmpty() ? file : dir_.filePath(file);
            QFile out(*fakes_->chosen);
            QVERIFY(content.isNull() ||
                    (out.open(QFile::WriteOnly) && out.write(content) >= 0 && out.flush()));
            trigger(u"loadpicture1"_s);
            QTRY_COMPARE(fakes_->shown, messages);
            fakes_->shown.clear();
            QVERIFY(pieces() == before && window_->game().inPlay());
        }
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"3 Seconds"_s);
        const auto checkBoard = [this](int n) {
            for (int cell = 0; cell < n * n; ++cell) {
                const Cell where{cell / n, cell % n};
                QCOMPARE(placeOf(piece(window_->game().pieceAt(where))), expectedCell(where, n));
            }
            QCOMPARE(window_->findChildren<PieceWidget*>().size(), n * n);
        };
        int previous = 4;
        for (const auto& [size, n] :
             {std::pair{u"threebythree"_s, 3}, {u"fourbyfour"_s, 4}, {u"sixbysix"_s, 6}}) {
            trigger(size);
            QTest::mouseClick(piece(2), Qt::LeftButton);
            QTest::mouseClick(piece(3), Qt::LeftButton);
            checkBoard(std::exchange(previous, n)); // the game in play keeps its cells
            fakes_->advance(5s);
            trigger(u"start1"_s);
            checkBoard(n);
            QCOMPARE(std::pair(text(u"lblscoreresult"_s), text(u"lbltimeresult"_s)),
                     std::pair(u"0"_s, u"0 Seconds"_s));
        }
        auto* attempts = window_->findChild<QLabel*>(u"lblscore"_s); // whole, however wide the font
        QVERIFY(attempts->fontMetrics().horizontalAdvance(attempts->text()) <= attempts->width());
        trigger(u"opicture1"_s);
        startAGame({5, 40});
        QCOMPARE(fakes_->shown, QStringList{u"The picture is too small to cut into 6 x 6 pieces."_s});
        QVERIFY(window_->findChildren<PieceWidget*>().isEmpty());
        const auto windows = QApplication::topLevelWidgets(); // the reference window has no parent
        const auto reference = std::ranges::find(windows, u"frmhelp"_s, &QObject::objectName);
        QVERIFY(reference != windows.end());
        QCOMPARE(qobject_cast<frmhelp*>(*reference)->picturehelp()->picture().toImage(),
                 picture->picture().toImage());
        QCOMPARE(picture->size(), QSize(5, 40));
    }

    // While a picture is read the pointer is busy over the window and the clock goes on. A read given
    // up with Escape, or whose helper dies, leaves the game as it was: the board, the picture, the
    // clock; a helper that dies gets the damaged message.
    void aReadGoneWrong_data()
    {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("given up") << u"hang"_s << QStringList();
        QTest::newRow("helper dies") << u"crash"_s
                                     << QStringList{u"“picture.png” is damaged and cannot be shown."_s};
    }
    void aReadGoneWrong()
    {
        QFETCH(QString, helper);
        QFETCH(QStringList, messages);
        startAGame();
        QTest::mouseClick(piece(2), Qt::LeftButton);
        const auto before = pieces();
        const QString attempts = text(u"lblscoreresult"_s);
        const QImage picture = window_->findChild<PictureBox*>(u"pictureoriginal"_s)->picture().toImage();
        window_->findChild<PictureReader*>()->setHelperCommand(
            {QStringLiteral(TILMORA_FAKE_DECODER), helper});
        window_->loadPictureFile(dir_.filePath(u"picture.png"_s));
        QCOMPARE(window_->cursor().shape(), Qt::BusyCursor);
        fakes_->advance(2s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"2 Seconds"_s);
        if (messages.isEmpty())
            QTest::keyClick(window_.get(), Qt::Key_Escape);
        QTRY_VERIFY(!window_->isReadingPicture());
        QCOMPARE(window_->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(fakes_->shown, messages);
        QVERIFY(pieces() == before && window_->game().inPlay());
        QCOMPARE(window_->findChild<PictureBox*>(u"pictureoriginal"_s)->picture().toImage(), picture);
        QCOMPARE(text(u"lblscoreresult"_s), attempts);
        fakes_->advance(1s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"3 Seconds"_s);
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
        auto* far = piece(game.pieceAt(blank == Cell{1, 1} ? Cell{} : Cell{2 - blank.row, 2 - blank.column}));
        PieceWidget* mover = piece(game.pieceAt(near));
        const QRect farPlace = placeOf(far);
        QTest::keyClick(far, Qt::Key_A);
        QTest::mouseClick(far, Qt::LeftButton);
        QTest::keyClick(mover, Qt::Key_Return);
        QCOMPARE(placeOf(mover), expectedCell(blank, 3));
        QTest::mouseClick(mover, Qt::LeftButton, {}, {1, 1}); // a neighbour again, by the mouse
        QCOMPARE(placeOf(mover), expectedCell(near, 3));
        QTest::mouseClick(mover, Qt::LeftButton);
        QCOMPARE(text(u"lblscoreresult"_s), u"4"_s); // Hard: the far piece stays; A is no attempt
        QCOMPARE(placeOf(far), farPlace);
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
        trigger(u"content1"_s);
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(), &QWidget::isVisible), 3);
        trigger(u"exit1"_s);
        QVERIFY(std::ranges::none_of(QApplication::topLevelWidgets(), &QWidget::isVisible));
    }

    // A screen reader reads the board as a 3 x 3 table whose cell at each place is what stands
    // there: a piece named after the cell it belongs in ("in place" once there), or the blank. A
    // piece's press action is a click on it (on Hard a far piece stays put), after which the focus
    // is on it, and the attempts read with their count. (That the moved cells are announced is
    // seen through the real accessibility bus, in the end-to-end test.)
    void theBoardToAScreenReader_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("hard");
        QTest::addColumn<bool>("far");          // the piece pressed is not next to the blank cell
        QTest::addColumn<QStringList>("names"); // a piece, in place, the blank, the attempts
        const QStringList english{u"row %1, column %2"_s, u"%1, in place"_s, u"Blank"_s, u"Attempts: 1"_s};
        QTest::newRow("Easy, far") << u"en"_s << false << true << english;
        QTest::newRow("Hard, near") << u"en"_s << true << false << english;
        QTest::newRow("Hard, far") << u"en"_s << true << true << english;
        QTest::newRow("Hard, far, in German")
            << u"de"_s << true << true
            << QStringList{u"Zeile %1, Spalte %2"_s, u"%1, am Platz"_s, u"Lücke"_s, u"Versuche: 1"_s};
    }
    void theBoardToAScreenReader()
    {
        QFETCH(QString, language);
        QFETCH(bool, hard);
        QFETCH(bool, far);
        QFETCH(QStringList, names);
        const auto translators = installTranslations(QLocale(language));
        init();
        trigger(u"threebythree"_s);
        trigger(hard ? u"hard1"_s : u"easy1"_s);
        startAGame();
        const auto& game = window_->game();
        auto* board = QAccessible::queryAccessibleInterface(window_->findChild<Board*>());
        QCOMPARE(board->role(), QAccessible::Table);
        QAccessibleTableInterface* table = board->tableInterface();
        QCOMPARE(std::pair(table->rowCount(), table->columnCount()), std::pair(3, 3));
        const auto checkCells = [&] {
            for (int cell = 0; cell < 9; ++cell) {
                QAccessibleInterface* there = table->cellAt(cell / 3, cell % 3);
                const int number = qobject_cast<PieceWidget*>(there->object())->piece();
                const int home = number - 1;
                const QString name = names[0].arg(home / 3 + 1).arg(home % 3 + 1);
                QVERIFY(number == game.pieceAt({cell / 3, cell % 3}) && board->child(cell) == there);
                QCOMPARE(std::tuple(there->role(), there->tableCellInterface()->rowIndex(),
                                    there->tableCellInterface()->columnIndex(),
                                    there->text(QAccessible::Name)),
                         std::tuple(QAccessible::Cell, cell / 3, cell % 3,
                                    number == 1    ? names[2]
                                    : home == cell ? names[1].arg(name)
                                                   : name));
                QCOMPARE(there->actionInterface()->actionNames().size(), number == 1 ? 0 : 1);
            }
        };
        checkCells();
        const Cell blank = game.blankCell();
        const Cell near{blank.row == 0 ? 1 : blank.row - 1, blank.column};
        const Cell from = !far ? near : blank == Cell{1, 1} ? Cell{} : Cell{2 - blank.row, 2 - blank.column};
        QAccessibleInterface* pressed = table->cellAt(from.row, from.column);
        pressed->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(QApplication::focusWidget(), pressed->object());
        const bool moves = !hard || !far;
        QCOMPARE(std::pair(pressed->tableCellInterface()->rowIndex(),
                           pressed->tableCellInterface()->columnIndex()),
                 moves ? std::pair(blank.row, blank.column) : std::pair(from.row, from.column));
        checkCells();
        auto* attempts =
            QAccessible::queryAccessibleInterface(window_->findChild<QLabel*>(u"lblscoreresult"_s));
        QCOMPARE(attempts->text(QAccessible::Name), names[3]);
    }

    // Option > Numbers draws each piece's number in its top-left corner, on a label that grows with
    // its digits, on the next deal too, and changes nothing else: taken off, the pieces are as before.
    void numbersOnThePieces()
    {
        startAGame();
        const auto grabs = [this] {
            QList<QImage> images;
            for (int number = 2; number <= 16; ++number)
                images << piece(number)->grab().toImage();
            return images;
        };
        const QList<QImage> plain = grabs();
        const auto order = window_->game().pieceorder();
        trigger(u"numbers1"_s);
        const QList<QImage> numbered = grabs();
        QList<int> labelWidths;
        for (qsizetype index = 0; index < plain.size(); ++index) {
            QRect changed;
            for (int y = 0; y < plain[index].height(); ++y) {
                for (int x = 0; x < plain[index].width(); ++x)
                    changed |=
                        plain[index].pixel(x, y) == numbered[index].pixel(x, y) ? QRect() : QRect(x, y, 1, 1);
            }
            const QRect corner(QPoint(), plain[index].size() / 2);
            QVERIFY2(!changed.isEmpty() && corner.contains(changed), qPrintable(QString::number(index + 2)));
            labelWidths << changed.width();
        }
        // Pieces 2 to 9 have one digit, 10 to 16 two.
        QVERIFY(std::ranges::max(labelWidths.first(8)) < std::ranges::min(labelWidths.sliced(8)));
        trigger(u"start1"_s);
        QCOMPARE(grabs(), numbered);
        trigger(u"numbers1"_s);
        QCOMPARE(grabs(), plain);
        QCOMPARE(text(u"lblscoreresult"_s), u"0"_s);
        QVERIFY(window_->game().pieceorder() != order);
    }

    // Started in each language, the window shows its menus (all of them on the bar), a refusal,
    // the help panel's names as the menus call them, and a long game's status row, none of it cut
    // off.
    void inEachLanguage_data() { languages(); }
    void inEachLanguage()
    {
        QFETCH(QStringList, menus);
        const auto translators = installTranslations(QLocale(QString::fromLatin1(QTest::currentDataTag())));
        init();
        QMenuBar* bar = window_->menuBar();
        QStringList shown;
        for (auto* action : bar->actions()) {
            shown << action->text();
            QVERIFY(bar->rect().contains(bar->actionGeometry(action)));
        }
        QCOMPARE(shown, menus);
        QCOMPARE(window_->findChild<QLabel*>(u"lblhelpgame"_s)->text(), menus.first());

        QFile file(dir_.filePath(u"a.png"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Dear diary") > 0 && file.flush());
        window_->loadPictureFile(file.fileName());
        QTRY_COMPARE(fakes_->shown.size(), 1);
        QTEST(fakes_->shown.value(0), "refusal");

        startAGame();
        fakes_->advance(9999s);
        QFETCH(QString, longGame);
        QTRY_COMPARE(text(u"lbltimeresult"_s), longGame);
        int textEnd = 0;
        for (const auto& name : {u"lblscore"_s, u"lblscoreresult"_s, u"lbltime"_s, u"lbltimeresult"_s}) {
            auto* label = window_->findChild<QLabel*>(name);
            const int width = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(label->x() >= textEnd && width <= label->width() &&
                         label->parentWidget()->rect().contains(label->geometry()),
                     qPrintable(name));
            textEnd = label->x() + width;
        }
    }

    // On both pages of each language each name stands on a line of text (16 pixels to a line),
    // whole, in a gap clear of the words around it, also when the names are in capitals.
    void namesStandInTheirGaps_data() { languages(); }
    void namesStandInTheirGaps()
    {
        QFETCH(int, helpRows);
        const auto translators = installTranslations(QLocale(QString::fromLatin1(QTest::currentDataTag())));
        for (const bool capitals : {false, true}) {
            Capitals translator;
            translator.language = translators.empty() ? nullptr : translators.front().get();
            if (capitals)
                QCoreApplication::installTranslator(&translator);
            QWidget playArea;
            frmhelpcontent window;
            const QList<QWidget*> pages = {createQuickHelpPanel(&playArea), window.findChild<HelpPage*>()};
            QCoreApplication::removeTranslator(&translator);
            for (auto* page : pages) {
                const QStringList lines = qobject_cast<HelpPage*>(page)->lineTexts();
                QCOMPARE(lines.size(), helpRows);
                for (auto* name : page->findChildren<QLabel*>()) {
                    QVERIFY(name->fontMetrics().horizontalAdvance(name->text()) <= name->width());
                    const QRect letters = ink(name, name->rect());
                    const int row = letters.top() / 16;
                    QVERIFY2(letters.bottom() / 16 == row && !lines.value(row).isEmpty(),
                             qPrintable(name->objectName()));
                    const QRect around(letters.left() - 2, row * 16, letters.width() + 4, 16);
                    QVERIFY2(ink(page, around).isNull(),
                             qPrintable(name->objectName() + u" touches a word"_s));
                }
            }
        }
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
