// The main window with the file dialog, the message boxes and the clock stood in for; a picture
// opened from outside the game; the illustrated help pages, where each bold menu name is laid over a
// gap in the text; the window icon.

#include "app/translations.h"
#include "app/windowicon.h"
#include "mainwindow/board.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"
#include "mainwindow/paradvisor.h"
#include "mainwindow/picturechooser.h"
#include "mainwindow/piecewidget.h"
#include "picture/picturereader.h"
#include "secondary/frmhelp.h"
#include "secondary/frmhelpcontent.h"
#include "sharedwidgets/helppage.h"
#include "sharedwidgets/picturebox.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QTranslator>
#include <QtTest>

#include <deque>
#include <map>
#include <numeric>
#include <unordered_map>

using namespace tilmora;
using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using puzzle::Cell;

// The dialog answers `chosen` (nothing: cancelled), every box is noted ("hidden" for one shown
// before its window is), the clock reads `now`.
struct Fakes final : PictureChooser, MessageBoxes {
    std::optional<QString> chosen;
    QStringList shown;
    puzzle::ClockReading now{puzzle::SteadyTime(1h), puzzle::WallTime(24h * 365 * 50)};
    std::optional<QString> choosePicture(QWidget* /*parent*/) override { return chosen; }
    void inform(QWidget* parent, const QString& text) override { warn(parent, text); }
    void warn(QWidget* parent, const QString& text) override
    {
        shown << (parent->isVisible() ? text : u"hidden"_s);
    }
    void advance(std::chrono::milliseconds step) { now = {now.steady + step, now.wall + step}; }
};

// A read through the decoder helper, given time for a sanitizer build on a loaded machine.
constexpr int kReadTimeout = 30'000;

class WindowsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    std::vector<std::unique_ptr<QTranslator>> translators_;
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
    // n x n board cuts it at whole pixels, the nearest to each exact fraction (146.67 is 147).
    static QRect cellAt(Cell cell, int n)
    {
        static const std::map<int, std::pair<std::vector<int>, std::vector<int>>> edges{
            {3, {{0, 147, 293, 440}, {0, 88, 176, 264}}},
            {4, {{0, 110, 220, 330, 440}, {0, 66, 132, 198, 264}}},
            {6, {{0, 73, 147, 220, 293, 367, 440}, {0, 44, 88, 132, 176, 220, 264}}}};
        const auto& [columns, rows] = edges.at(n);
        const auto at = [](const std::vector<int>& list, int index) { return list[std::size_t(index)]; };
        return QRect(QPoint(8 + at(columns, cell.column), 8 + at(rows, cell.row)),
                     QPoint(7 + at(columns, cell.column + 1), 7 + at(rows, cell.row + 1)));
    }

    // Whether a piece standing in a cell of its home cell's size shows the fitted picture's device
    // pixels of its home cell: exactly at a whole pixel ratio; at a fractional one, where an edge can
    // fall inside a device pixel, each pixel within the range of the picture's pixels around its place.
    bool showsItsHome(int number, int n) const
    {
        const QRect home = cellAt({(number - 1) / n, (number - 1) % n}, n).translated(-8, -8);
        if (placeOf(piece(number)).size() != home.size())
            return true; // stretched to the cell it stands in
        const QImage shown = piece(number)->grab().toImage();
        const QImage picture =
            window_->findChild<PictureBox*>(u"pictureoriginal"_s)->shownPicture().toImage();
        const qreal ratio = picture.devicePixelRatio();
        const qreal reach = ratio == std::floor(ratio) ? 0 : 1.5;
        bool alike = true;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QPointF at = QPointF(home.topLeft()) * ratio + QPointF(x, y);
                for (const int shift : {0, 8, 16}) {
                    const int value = int(shown.pixel(x, y) >> shift & 0xff);
                    int low = 255, high = 0;
                    for (int v = int(std::ceil(at.y() - reach)); v <= int(at.y() + reach); ++v) {
                        for (int u = int(std::ceil(at.x() - reach)); u <= int(at.x() + reach); ++u) {
                            const int near =
                                picture.valid(u, v) ? int(picture.pixel(u, v) >> shift & 0xff) : value;
                            low = std::min(low, near);
                            high = std::max(high, near);
                        }
                    }
                    alike &= low <= value && value <= high;
                }
            }
        }
        return alike;
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
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isReadingPicture(), kReadTimeout);
        trigger(u"start1"_s);
    }

    // The fewest Hard moves home from a 3 x 3 board, by a breadth-first search over the boards as
    // the nine-digit numbers their pieces spell.
    static int hardDistance(const std::vector<int>& deal)
    {
        const auto spell = [](const std::vector<int>& board) {
            return std::accumulate(board.begin(), board.end(), 0,
                                   [](int sum, int piece) { return sum * 10 + piece; });
        };
        std::unordered_map<int, int> seen{{spell(deal), 0}};
        for (std::deque<std::vector<int>> queue{deal};; queue.pop_front()) {
            const auto& board = queue.front();
            const int distance = seen.at(spell(board));
            if (std::ranges::is_sorted(board))
                return distance;
            const int blank = int(std::ranges::find(board, 1) - board.begin());
            for (const int cell :
                 {blank - 3, blank + 3, blank % 3 ? blank - 1 : -1, blank % 3 < 2 ? blank + 1 : -1}) {
                auto next = board;
                if (cell < 0 || cell > 8)
                    continue;
                std::swap(next[std::size_t(cell)], next[std::size_t(blank)]);
                if (seen.emplace(spell(next), distance + 1).second)
                    queue.push_back(next);
            }
        }
    }

    // Plays the game in play by hints alone: each one's piece is pressed with Enter. Returns the
    // moves made.
    int playByHints()
    {
        int moves = 0;
        for (; window_->game().inPlay(); ++moves) {
            trigger(u"hint1"_s);
            auto* board = const_cast<Board*>(window_->board());
            const int hinted = window_->game().pieceAt(board->cursorCell());
            auto* marked = board->picturesplit()[static_cast<std::size_t>(hinted)];
            if (QApplication::focusWidget() != board || !marked->findChild<QWidget*>(u"hintmark"_s))
                return -1;
            QTest::keyClick(board, Qt::Key_Return);
            if (marked->findChild<QWidget*>(u"hintmark"_s))
                return -1; // the mark stays only until the next move
        }
        return moves;
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

    // Each language (a row named for it builds the window in it): what the program shows in it, and
    // how many rows its help pages take.
    static void languages()
    {
        QTest::addColumn<QStringList>("menus");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("blank"); // what a screen reader calls the blank cell
        QTest::addColumn<QString>("longGame");
        QTest::addColumn<int>("helpRows");
        QTest::addColumn<QString>("par"); // a game played by hints alone, in that many moves
        QTest::newRow("en") << QStringList{u"Game"_s, u"Option"_s, u"Quick Help"_s, u"Exit"_s}
                            << u"“a.png” is not a picture."_s << u"Blank"_s << u"9999 Seconds"_s << 21
                            << u"Moves: %1 - fewest possible: %1 - hints: %1"_s;
        QTest::newRow("de") << QStringList{u"Spiel"_s, u"Optionen"_s, u"Kurzhilfe"_s, u"Beenden"_s}
                            << u"„a.png“ ist kein Bild."_s << u"Lücke"_s << u"9999 Sekunden"_s << 21
                            << u"Züge: %1 - kürzester Weg: %1 - Tipps: %1"_s;
        QTest::newRow("fr") << QStringList{u"Partie"_s, u"Options"_s, u"Aide rapide"_s, u"Quitter"_s}
                            << u"«\u00A0a.png\u00A0» n’est pas une image."_s << u"Vide"_s
                            << u"9999 secondes"_s << 23
                            << u"Coups\u00A0: %1 - minimum possible\u00A0: %1 - indices\u00A0: %1"_s;
        QTest::newRow("es") << QStringList{u"Juego"_s, u"Opciones"_s, u"Ayuda rápida"_s, u"Salir"_s}
                            << u"«a.png» no es una imagen."_s << u"Hueco"_s << u"9999 segundos"_s << 23
                            << u"Movimientos: %1 - mínimo posible: %1 - pistas: %1"_s;
    }

private slots:
    void init()
    {
        translators_.clear();
        if (const QString tag = QString::fromLatin1(QTest::currentDataTag()); tag.size() == 2)
            translators_ = installTranslations(QLocale(tag));
        fakes_ = std::make_shared<Fakes>();
        const auto clock = [fakes = fakes_] { return fakes->now; };
        window_ =
            std::make_unique<frmmain>(frmmain::Services{fakes_, fakes_, clock, 2026, {TILMORA_DECODER}});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    // A file that cannot be shown is named in one message and costs nothing: it is read, the pointer
    // busy, before the game on the board is given up; a cancelled dialog reads nothing. The clock
    // goes on meanwhile, and a screen reader reads it with its caption. A picture that can be shown
    // ends the game.
    void aFileThatCannotBeShownCostsNothing()
    {
        startAGame();
        QTest::mouseClick(piece(2), Qt::LeftButton);
        fakes_->advance(3s);
        const auto before = pieces();
        // The dialog's answer in the test's folder (nothing: cancelled), what is written there (null:
        // nothing), the messages.
        const std::tuple<std::optional<QString>, QByteArray, QStringList> files[] = {
            {std::nullopt, {}, {}},
            {u"b.png"_s, "", {u"“b.png” is empty, not a picture."_s}},
            {u"c.png"_s, {}, {u"“c.png” does not exist."_s}},
        };
        for (const auto& [file, content, messages] : files) {
            fakes_->chosen = file ? std::optional(dir_.filePath(*file)) : std::nullopt;
            QFile out(fakes_->chosen.value_or(QString()));
            QVERIFY(content.isNull() ||
                    (out.open(QFile::WriteOnly) && out.write(content) >= 0 && out.flush()));
            trigger(u"loadpicture1"_s);
            QCOMPARE(window_->cursor().shape(), file ? Qt::BusyCursor : Qt::ArrowCursor);
            QTRY_COMPARE_WITH_TIMEOUT(fakes_->shown, messages, kReadTimeout);
            fakes_->shown.clear();
            QVERIFY(pieces() == before && window_->game().inPlay());
        }
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"3 Seconds"_s);
        auto* time = window_->findChild<QLabel*>(u"lbltimeresult"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(time)->text(QAccessible::Name), u"Time: 3 Seconds"_s);
        // A picture that can be shown does give the game up, and its counts go with it.
        window_->loadPictureFile(dir_.filePath(u"picture.png"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isReadingPicture(), kReadTimeout);
        QVERIFY(!window_->game().inPlay());
        QCOMPARE(text(u"lblscoreresult"_s) + text(u"lbltimeresult"_s), QString());
    }

    // Each piece stands in the cell the game says and shows its home part of the picture (what a
    // pixel ratio changes: tst_hidpi and tst_fractional run this too). A size from the menu waits
    // for Start, which lays out n x n pieces over the whole picture and shows the new game's
    // numbers at once: 0 attempts, 0 seconds.
    void piecesStandInTheirCells()
    {
        startAGame();
        const auto checkBoard = [this](int n) {
            const_cast<Board*>(window_->board())->clearFocus(); // no keyboard frame on a piece
            for (int cell = 0; cell < n * n; ++cell) {
                const int number = window_->game().pieceAt({cell / n, cell % n});
                QCOMPARE(placeOf(piece(number)), cellAt({cell / n, cell % n}, n));
                QVERIFY2(number == 1 || showsItsHome(number, n), qPrintable(QString::number(number)));
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
    }

    // A new picture takes the board away and shows in the reference window too, fitted, however
    // thin; too thin for the size chosen, Start says so and deals nothing.
    void aPictureTooThinToCut()
    {
        // The picture, the size's menu item and its name, the picture's size on screen.
        for (const auto& [size, item, board, shown] :
             {std::tuple{QSize(5, 40), u"sixbysix"_s, u"6 x 6"_s, QSize(5, 40)},
              {QSize(1, 3000), u"fourbyfour"_s, u"4 x 4"_s, QSize(1, 440)}}) {
            trigger(item);
            startAGame();
            trigger(u"opicture1"_s);
            fakes_->shown.clear();
            startAGame(size);
            QCOMPARE(fakes_->shown,
                     QStringList{u"The picture is too small to cut into %1 pieces."_s.arg(board)});
            QVERIFY(window_->findChildren<PieceWidget*>().isEmpty());
            const auto windows = QApplication::topLevelWidgets(); // the reference window has no parent
            const auto reference = std::ranges::find(windows, u"frmhelp"_s, &QObject::objectName);
            QVERIFY(reference != windows.end());
            auto* picture = window_->findChild<PictureBox*>(u"pictureoriginal"_s);
            QCOMPARE(qobject_cast<frmhelp*>(*reference)->picturehelp()->shownPicture().toImage(),
                     picture->shownPicture().toImage());
            QCOMPARE(picture->size(), shown);
        }
    }

    // Escape gives up the picture being read: no message, the pointer no longer busy, and the game
    // as it was, its clock going on meanwhile.
    void escapeGivesUpARead()
    {
        startAGame();
        const auto before = pieces();
        window_->findChild<PictureReader*>()->setHelperCommand(
            {QStringLiteral(TILMORA_FAKE_DECODER), u"hang"_s});
        window_->loadPictureFile(dir_.filePath(u"picture.png"_s));
        fakes_->advance(2s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"2 Seconds"_s);
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->isReadingPicture());
        QCOMPARE(window_->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(fakes_->shown.isEmpty() && pieces() == before && window_->game().inPlay());
    }

    // A bad file named at start-up gets its message over the shown window; the game starts without it.
    void badFileNamedAtStartUp()
    {
        frmmain window(frmmain::Services{nullptr, fakes_, {}, 1, {TILMORA_DECODER}});
        window.loadPictureOnceShown(dir_.filePath(u"gone.png"_s));
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(fakes_->shown, QStringList{u"“gone.png” does not exist."_s}, kReadTimeout);
        QVERIFY(!window.game().flagforload() && window.findChild<QWidget*>(u"lblhelp"_s)->isVisible());
    }

    // Over a game in play, only a drag of one local file is taken, as a copy, and loaded as Load
    // Picture would: a picture replaces the game, a file that cannot be used leaves it as it was.
    // Anything else is refused as it hovers and, dropped all the same, changes nothing.
    void dropOfOneLocalFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("after");
        const auto at = [this](const QString& name) { return QUrl::fromLocalFile(dir_.filePath(name)); };
        const QUrl picture = at(u"picture.png"_s), gone = at(u"gone.png"_s);
        QTest::newRow("picture") << QList{picture} << u"taken, board 0, boxes 0"_s;
        QTest::newRow("missing file") << QList{gone} << u"taken, board 1, boxes 1"_s;
        QTest::newRow("two files") << QList{picture, gone} << u"refused, board 1, boxes 0"_s;
        QTest::newRow("web address") << QList{QUrl(u"https://a.example/b.png"_s)}
                                     << u"refused, board 1, boxes 0"_s;
    }
    void dropOfOneLocalFile()
    {
        QFETCH(QList<QUrl>, urls);
        startAGame();
        // The drag comes in as one picture, so that Qt hands the window the drop at all, and then
        // hovers as the row says.
        QMimeData picture, data;
        picture.setUrls({QUrl::fromLocalFile(dir_.filePath(u"picture.png"_s))});
        data.setUrls(urls);
        data.setText(u"picture.png"_s);
        QDragEnterEvent enter({}, Qt::CopyAction | Qt::MoveAction, &picture, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &enter);
        QDragMoveEvent move({}, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(window_.get(), &move);
        const bool taken = move.isAccepted() && move.dropAction() == Qt::CopyAction;
        QDropEvent drop({}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &drop);
        QCoreApplication::sendPostedEvents(); // the drop handled, and any file it opened being read
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isReadingPicture(), kReadTimeout);
        const QString state = u"%1, board %2, boxes %3"_s.arg(taken ? u"taken"_s : u"refused"_s);
        QTEST(state.arg(window_->game().hasBoard()).arg(fakes_->shown.size()), "after");
    }

    // The window icon reads each rendering only when the window system asks for its size, and never
    // enlarges one: between two sizes the larger is scaled down, above them all the largest is given,
    // and painted into a larger square it stands in the middle.
    void windowIconReadsARenderingWhenAskedAndNeverEnlarges()
    {
        const QString pattern = dir_.filePath(u"icon-%1.png"_s);
        const QIcon icon = windowIcon(pattern, {16, 32});
        // Written after the icon was made: it has read nothing so far.
        for (const auto& [size, colour] : {std::pair{16, Qt::red}, std::pair{32, Qt::blue}}) {
            QImage rendering(size, size, QImage::Format_RGB32);
            rendering.fill(colour);
            QVERIFY(rendering.save(pattern.arg(size)));
        }
        const auto shown = [&icon](int asked) {
            const QImage image = icon.pixmap(QSize(asked, asked), 1.0).toImage();
            return std::pair{image.width(), image.pixelColor(image.width() / 2, image.height() / 2)};
        };
        QCOMPARE(shown(16), std::pair(16, QColor(Qt::red)));
        QCOMPARE(shown(24), std::pair(24, QColor(Qt::blue)));
        QCOMPARE(shown(100), std::pair(32, QColor(Qt::blue)));
        QImage canvas(100, 60, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        icon.paint(&painter, canvas.rect());
        const auto corners = [&canvas](QPoint from, QPoint to) {
            return QList{canvas.pixelColor(from), canvas.pixelColor(to)};
        };
        QCOMPARE(corners({34, 14}, {65, 45}), QList<QColor>(2, Qt::blue));
        QCOMPARE(corners({33, 13}, {66, 46}), QList<QColor>(2, Qt::white));
    }

    // Before a picture, Start and the reference window ask for one. Then a game by the rules of its
    // level, by mouse, keyboard and a screen reader's press (Enter on the cell; what the screen
    // reader says is heard in the end-to-end test).
    void movesByTheRulesOfTheLevel()
    {
        trigger(u"start1"_s);
        trigger(u"opicture1"_s);
        QCOMPARE(fakes_->shown, (QStringList{u"First Load the picture."_s, u"First load the picture."_s}));
        trigger(u"threebythree"_s);
        trigger(u"hard1"_s);
        QVERIFY(window_->findChild<QAction*>(u"hard1"_s)->isChecked()); // the check mark follows the level
        startAGame();
        const auto& game = window_->game();
        auto* board = const_cast<Board*>(window_->board());
        QCOMPARE(QApplication::focusWidget(), board); // Start gives the board the keys
        // The screen reader's press on the cell at (row, column) of the board's table, after which
        // the cursor is on `then` (where the piece went if it moved).
        auto* table = QAccessible::queryAccessibleInterface(board)->tableInterface();
        const auto press = [&](Cell cell, Cell then) {
            auto* action = table->cellAt(cell.row, cell.column)->actionInterface();
            action->doAction(QAccessibleActionInterface::pressAction());
            QTRY_COMPARE(board->cursorCell(), then);
        };
        const Cell blank = game.blankCell();
        const Cell near{blank.row == 0 ? 1 : blank.row - 1, blank.column};
        const Cell farCell = blank == Cell{1, 1} ? Cell{} : Cell{2 - blank.row, 2 - blank.column};
        auto* far = piece(game.pieceAt(farCell));
        PieceWidget* mover = piece(game.pieceAt(near));
        const QRect farPlace = placeOf(far);
        QTest::keyClick(board, Qt::Key_A);
        QTest::mouseClick(far, Qt::LeftButton);
        press(farCell, farCell);
        press(near, blank); // the cursor went with it
        QCOMPARE(placeOf(mover), cellAt(blank, 3));
        QTest::mouseClick(mover, Qt::LeftButton, {}, {1, 1}); // a neighbour again, by the mouse
        QCOMPARE(placeOf(mover), cellAt(near, 3));
        QCOMPARE(board->cursorCell(), near);
        QTest::keyClick(board, near.row < blank.row ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(board, Qt::Key_Return);      // on the blank: nothing, not even an attempt
        QCOMPARE(text(u"lblscoreresult"_s), u"4"_s); // Hard: the far piece stays; A is no attempt
        QCOMPARE(placeOf(far), farPlace);
    }

    // Tab walks the cells; an arrow steps to the neighbouring cell, the blank among them, and stays
    // put at the board's edge.
    void keysWalkTheBoard()
    {
        trigger(u"threebythree"_s);
        startAGame();
        auto* board = const_cast<Board*>(window_->board());
        const auto at = [](int cell) { return Cell{cell / 3, cell % 3}; };
        const std::tuple<int, Qt::Key, int> arrows[] = {
            {0, Qt::Key_Right, 1}, {0, Qt::Key_Down, 3}, {0, Qt::Key_Left, 0},  {0, Qt::Key_Up, 0},
            {4, Qt::Key_Down, 7},  {4, Qt::Key_Up, 1},   {8, Qt::Key_Right, 8}, {8, Qt::Key_Down, 8}};
        for (const auto& [from, key, to] : arrows) {
            while (board->cursorCell() != at(from))
                QTest::keyClick(board, Qt::Key_Tab);
            QTest::keyClick(board, key);
            QCOMPARE(board->cursorCell(), at(to));
        }
    }

    // Solved on Easy, the clock stops, the message comes once and the whole picture shows over the
    // board; Exit closes the other windows too.
    void aSolvedGameStopsTheClock()
    {
        trigger(u"threebythree"_s);
        startAGame();
        const auto& game = window_->game();
        fakes_->advance(7s);
        QTRY_COMPARE(text(u"lbltimeresult"_s), u"7 Seconds"_s);
        fakes_->advance(999ms);
        window_->Timer1_Timer(); // due again a millisecond from now, unless the end stops it
        // Cell by cell: the blank goes there, then the piece that belongs there.
        for (int cell = 1; cell < 9; ++cell) {
            if (const int there = game.pieceAt({cell / 3, cell % 3}); there != cell + 1) {
                if (there != 1)
                    QTest::mouseClick(piece(there), Qt::LeftButton);
                QTest::mouseClick(piece(cell + 1), Qt::LeftButton);
            }
        }
        QCOMPARE(fakes_->shown, QStringList{u"                        Game is over."_s});
        QTest::qWait(20); // well past the tick that was due
        QCOMPARE(text(u"lbltimeresult"_s), u"7 Seconds"_s);
        QVERIFY(piece(1)->isVisible());
        auto* picture = window_->findChild<PictureBox*>(u"pictureoriginal"_s);
        QCOMPARE(picture->parentWidget()->childAt(picture->geometry().center()), picture);
        trigger(u"opicture1"_s);
        trigger(u"content1"_s);
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(), &QWidget::isVisible), 3);
        trigger(u"exit1"_s);
        QVERIFY(std::ranges::none_of(QApplication::topLevelWidgets(), &QWidget::isVisible));
    }

    // Option > Numbers draws each piece's number in its top-left corner, on the next deal too, and
    // changes nothing else: taken off, the pieces are as before.
    void numbersOnThePieces()
    {
        startAGame();
        const auto grabs = [this] {
            const_cast<Board*>(window_->board())->clearFocus(); // no keyboard frame on a piece
            QList<QImage> images;
            for (int number = 2; number <= 16; ++number)
                images << piece(number)->grab().toImage();
            return images;
        };
        const QList<QImage> plain = grabs();
        trigger(u"numbers1"_s);
        const QList<QImage> numbered = grabs();
        for (qsizetype index = 0; index < plain.size(); ++index) {
            const QRect right(plain[index].width() / 2, 0, plain[index].width(), plain[index].height());
            const QRect bottom(0, plain[index].height() / 2, plain[index].width(), plain[index].height());
            QVERIFY(numbered[index] != plain[index]);
            QCOMPARE(numbered[index].copy(right), plain[index].copy(right));
            QCOMPARE(numbered[index].copy(bottom), plain[index].copy(bottom));
        }
        const auto order = window_->game().pieceorder();
        trigger(u"start1"_s);
        QCOMPARE(grabs(), numbered);
        trigger(u"numbers1"_s);
        QCOMPARE(grabs(), plain);
        QVERIFY(window_->game().pieceorder() != order);
    }

    // In each language, on both help pages each name stands on a line of text (16 pixels to a line),
    // whole, in a gap clear of the words around it.
    void helpPagesInEachLanguage_data() { languages(); }
    void helpPagesInEachLanguage()
    {
        QFETCH(int, helpRows);
        frmhelpcontent help;
        for (QWidget* page : {window_->findChild<QWidget*>(u"lblhelp"_s),
                              static_cast<QWidget*>(help.findChild<HelpPage*>())}) {
            const QStringList lines = qobject_cast<HelpPage*>(page)->lineTexts();
            QCOMPARE(lines.size(), helpRows);
            for (auto* name : page->findChildren<QLabel*>()) {
                QVERIFY(name->fontMetrics().horizontalAdvance(name->text()) <= name->width());
                const QRect letters = ink(name, name->rect());
                const int row = letters.top() / 16;
                QVERIFY2(letters.bottom() / 16 == row && !lines.value(row).isEmpty(),
                         qPrintable(name->objectName()));
                const QRect around(letters.left() - 2, row * 16, letters.width() + 4, 16);
                QVERIFY2(ink(page, around).isNull(), qPrintable(name->objectName() + u" touches a word"_s));
            }
        }
    }

    // Started in each language, the window shows its menus (all of them on the bar), the help panel's
    // names as the menus call them, a refusal, and a long game's status row, none of it cut off.
    void windowInEachLanguage_data() { languages(); }
    void windowInEachLanguage()
    {
        QFETCH(QStringList, menus);
        QMenuBar* bar = window_->menuBar();
        QStringList shown;
        for (auto* action : bar->actions()) {
            shown << QString(action->text()).remove(u'&');
            QVERIFY(bar->rect().contains(bar->actionGeometry(action)));
        }
        QCOMPARE(shown, menus);
        QCOMPARE(window_->findChild<QLabel*>(u"lblhelpgame"_s)->text(), menus.first());
        // Alt and a letter of its own picks each menu and each item: one in each caption, none twice
        // in one menu.
        QList<QWidget*> menusAndBar{bar};
        for (auto* menu : window_->findChildren<QMenu*>())
            menusAndBar << menu;
        for (QWidget* menu : menusAndBar) {
            QStringList letters;
            for (auto* action : menu->actions())
                letters << QKeySequence::mnemonic(action->text()).toString().toLower();
            QVERIFY2(!letters.contains(u""_s) &&
                         QSet<QString>(letters.begin(), letters.end()).size() == letters.size(),
                     qPrintable(letters.join(u' ')));
        }

        QFile file(dir_.filePath(u"a.png"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Dear diary") > 0 && file.flush());
        window_->loadPictureFile(file.fileName());
        QTRY_COMPARE_WITH_TIMEOUT(fakes_->shown.size(), 1, kReadTimeout);
        QTEST(fakes_->shown.value(0), "refusal");

        startAGame();
        const Cell blank = window_->game().blankCell();
        auto* table =
            QAccessible::queryAccessibleInterface(const_cast<Board*>(window_->board()))->tableInterface();
        QTEST(table->cellAt(blank.row, blank.column)->text(QAccessible::Name).section(u',', 0, 0), "blank");
        const auto* cell = table->cellAt(0, 0)->tableCellInterface(); // one cell each way
        QCOMPARE(std::pair(cell->rowExtent(), cell->columnExtent()), std::pair(1, 1));
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
        // Played to the end by hints (Easy 4 x 4), the par line comes after the time, whole.
        const int moves = playByHints();
        auto* line = window_->findChild<QLabel*>(u"lblpar"_s);
        QFETCH(QString, par);
        QCOMPARE(line->text(), par.arg(moves));
        const QRect inside = line->fontMetrics().boundingRect(line->rect(), Qt::TextWordWrap, line->text());
        QVERIFY(line->x() >= textEnd && line->rect().contains(inside) &&
                line->parentWidget()->rect().contains(line->geometry()));
    }

    // No hint before Start. On 3 x 3 Hard, each hint puts the focus, and its mark, on a piece whose
    // move brings the board one move nearer home: played by hints alone, the game ends in the fewest
    // moves a search finds, and says so; a refused click counted an attempt, not a move. With the
    // end the hint is gone.
    void aGameByHints()
    {
        auto* hint = window_->findChild<QAction*>(u"hint1"_s);
        QVERIFY(!hint->isEnabled());
        trigger(u"threebythree"_s);
        trigger(u"hard1"_s);
        startAGame();
        const auto& game = window_->game();
        const Cell blank = game.blankCell();
        QTest::mouseClick(piece(game.pieceAt({2 - blank.row / 2, 2 - blank.column / 2})), Qt::LeftButton);
        QVERIFY(text(u"lblpar"_s).isEmpty());
        const int fewest = hardDistance(game.pieceorder());
        QCOMPARE(playByHints(), fewest);
        QVERIFY(game.isOver() && !hint->isEnabled());
        QCOMPARE(text(u"lblscoreresult"_s), QString::number(fewest + 1));
        QCOMPARE(text(u"lblpar"_s), u"Moves: %1 - fewest possible: %1 - hints: %1"_s.arg(fewest));
    }

    // The advisor on 4 x 4 Hard (it builds the tables, so it runs alone, as tst_fourbyfour), on
    // Korf's 42nd board, 42 moves: a bound until the search ends, then exact. The first hint waits
    // for the search; while the way found is followed each hint comes at once; a move off it has
    // the next hint found from there. Played by hints to the end, the board is home in 42 moves,
    // or in two more for the move off the way (one move changes the distance by one).
    void hardFourByFourAdvisor()
    {
        if (qEnvironmentVariableIsEmpty("TILMORA_TEST_TABLES"))
            QSKIP("run alone by tst_fourbyfour");
        ParAdvisor advisor;
        QSignalSpy hints(&advisor, &ParAdvisor::hintReady);
        std::vector<int> board{5, 6, 8, 3, 10, 15, 13, 14, 1, 4, 7, 12, 9, 2, 16, 11};
        const auto play = [&](int piece) {
            const auto blank = std::ranges::find(board, 1), from = std::ranges::find(board, piece);
            QVERIFY(
                std::abs(blank - from) == 4 ||
                (std::abs(blank - from) == 1 && (blank - board.begin()) / 4 == (from - board.begin()) / 4));
            std::iter_swap(blank, from);
            advisor.moved(piece, board, puzzle::Level::Hard);
        };
        advisor.dealt(4, board, puzzle::Level::Hard);
        QVERIFY(advisor.par() && !advisor.par()->exact && advisor.par()->moves <= 42);
        advisor.askHint(board, puzzle::Level::Hard);
        QTRY_COMPARE_WITH_TIMEOUT(hints.size(), 1, 240'000);
        QCOMPARE(advisor.par()->moves, 42);
        int moves = 0;
        for (; moves < 3; ++moves) {
            play(hints.takeFirst().at(0).toInt());
            advisor.askHint(board, puzzle::Level::Hard);
            QCOMPARE(hints.size(), 1);
        }
        const int hinted = hints.takeFirst().at(0).toInt();
        const int blank = int(std::ranges::find(board, 1) - board.begin());
        for (const int cell :
             {blank - 4, blank + 4, blank % 4 ? blank - 1 : -1, blank % 4 < 3 ? blank + 1 : -1}) {
            if (cell >= 0 && cell < 16 && board[std::size_t(cell)] != hinted && moves == 3) {
                play(board[std::size_t(cell)]);
                ++moves;
            }
        }
        for (advisor.askHint(board, puzzle::Level::Hard); !std::ranges::is_sorted(board); ++moves) {
            QTRY_COMPARE_WITH_TIMEOUT(hints.size(), 1, 60'000);
            play(hints.takeFirst().at(0).toInt());
            advisor.askHint(board, puzzle::Level::Hard);
        }
        QVERIFY(moves == 42 || moves == 44);
        advisor.gameOver();
        QCOMPARE(advisor.parLine(), u"Moves: %1 - fewest possible: 42 - hints: %1"_s.arg(moves));
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
