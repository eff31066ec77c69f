// The main window: its menu, the settings commands, the start of a game, the board on screen,
// moves with mouse and keyboard, the clock and the end of a game.

#include "mainwindow/frmmain.h"
#include "mainwindow/piecewidget.h"
#include "secondary/picturebox.h"
#include "windowfakes.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegion>
#include <QtTest>

using tilmora::frmmain;
using tilmora::PieceWidget;
using tilmora::puzzle::Cell;
using namespace tilmora::testing;
using namespace std::chrono_literals;

namespace {
const QString kGameOver = QStringLiteral("                        Game is over.");
}

class FrmmainTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Menu and settings
    void menuHasItsCommandsInOrder();
    void shortcutsAreTheUsualKeys();
    void startsWithEasyAndFourByFourChecked();
    void levelCommandsMoveTheCheckMarkAndTheRule();
    void sizeCommandsMoveTheCheckMarkAndWaitForStart();
    void windowHasItsFixedClientSizeAndTitle();
    void exitClosesTheOtherWindowsToo();

    // Start
    void startWithoutPictureOnlyAsksForOne();
    void startDealsAllPiecesButTheBlank();
    void startOverABoardDealsAFreshOne();
    void sizeChosenDuringAGameTakesEffectAtStart();
    void piecesTileThePictureWithoutGaps_data();
    void piecesTileThePictureWithoutGaps();
    void startRefusesToCutAPictureFinerThanAPixel();

    // Moves
    void easyClickSwapsAnyPieceWithTheBlank();
    void hardClickMovesOnlyNeighbours();
    void enterActsAsAClickAndOtherKeysDoNot();
    void pointerShowsNoDropWhileButtonIsHeld();
    void arrowKeysAndTabWalkTheCells();
    void piecesTellScreenReadersWhereTheyStand();
    void statusCaptionsAreNeverCutOff();

    // Clock and end of game
    void timeLabelCountsSecondsFromStart();
    void solvingStopsTheClockAndShowsTheWholePicture();
    void startAfterAFinishedGameDealsAgain();
    void loadingAPictureEndsTheGameAndHidesTheStatusRow();
    void originalPictureNeedsALoadedPicture();

private:
    void loadPicture(QSize size = {440, 440});
    [[nodiscard]] QList<PieceWidget*> visiblePieces() const;
    [[nodiscard]] PieceWidget* piece(int number) const;
    [[nodiscard]] PieceWidget* pieceAt(Cell cell) const;
    [[nodiscard]] QLabel* label(const char* name) const;
    [[nodiscard]] QAction* action(const char* name) const;
    void clickPiece(int number);
    void solveOnEasy();

    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<FakeChooser> chooser_;
    std::shared_ptr<FakeMessages> messages_;
    std::shared_ptr<FakeClock> clock_;
    std::unique_ptr<frmmain> window_;
};

void FrmmainTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    const Fakes fakes;
    chooser_ = fakes.chooser;
    messages_ = fakes.messages;
    clock_ = fakes.clock;
    window_ = std::make_unique<frmmain>(fakes.services(20261206));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void FrmmainTest::cleanup()
{
    window_.reset();
}

void FrmmainTest::loadPicture(QSize size)
{
    chooser_->next = writeTestPicture(*dir_, QStringLiteral("picture.png"), size);
    window_->loadpicture1_Click();
    QVERIFY(window_->game().flagforload());
}

QList<PieceWidget*> FrmmainTest::visiblePieces() const
{
    QList<PieceWidget*> visible;
    for (auto* piece : window_->findChildren<PieceWidget*>()) {
        if (piece->isVisible())
            visible << piece;
    }
    return visible;
}

PieceWidget* FrmmainTest::piece(int number) const
{
    return window_->picturesplit().at(static_cast<std::size_t>(number));
}

PieceWidget* FrmmainTest::pieceAt(Cell cell) const
{
    return piece(window_->game().pieceAt(cell));
}

QLabel* FrmmainTest::label(const char* name) const
{
    return window_->findChild<QLabel*>(QString::fromLatin1(name));
}

QAction* FrmmainTest::action(const char* name) const
{
    return window_->findChild<QAction*>(QString::fromLatin1(name));
}

void FrmmainTest::clickPiece(int number)
{
    QTest::mouseClick(piece(number), Qt::LeftButton);
}

// Easy lets any piece jump: fill the blank cell with the piece that belongs there, and when the
// blank is home but the board is not, send any stray piece into it.
void FrmmainTest::solveOnEasy()
{
    const auto& game = window_->game();
    const int n = game.boardsize();
    for (int guard = 0; guard < 4 * n * n && game.inPlay(); ++guard) {
        const Cell blank = game.blankCell();
        int next = blank.row * n + blank.column + 1;
        if (next == 1) {
            for (int cell = 1; cell < n * n; ++cell) {
                if (game.pieceAt({cell / n, cell % n}) != cell + 1) {
                    next = game.pieceAt({cell / n, cell % n});
                    break;
                }
            }
        }
        clickPiece(next);
    }
    QVERIFY(game.isOver());
}

// --- Menu and settings ---------------------------------------------------------------------------

// The menu bar reads Game, Option, Quick Help, Exit, with their items in order.
void FrmmainTest::menuHasItsCommandsInOrder()
{
    QStringList captions;
    for (auto* top : window_->menuBar()->actions()) {
        captions << top->text();
        if (auto* menu = top->menu()) {
            for (auto* item : menu->actions()) {
                captions << QStringLiteral("  ") + item->text();
                if (auto* sub = item->menu()) {
                    for (auto* leaf : sub->actions())
                        captions << QStringLiteral("    ") + leaf->text();
                }
            }
        }
    }
    const QStringList expected{
        "Game",     "  Load Picture",     "  Start", "Option",  "  Level", "    Easy",
        "    Hard", "  Squares Size",     "    3*3", "    4*4", "    6*6", "Quick Help",
        "  Help",   "  Original Picture", "Exit"};
    QCOMPARE(captions, expected);
}

// Ctrl+L loads, F5 starts, Ctrl+P shows the original picture.
void FrmmainTest::shortcutsAreTheUsualKeys()
{
    QCOMPARE(action("loadpicture1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    QCOMPARE(action("start1")->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(action("opicture1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

    QTest::keyClick(window_.get(), Qt::Key_F5);
    QCOMPARE(messages_->informed, QStringList{"First Load the picture."});
}

// A new run starts on Easy with a 4 x 4 board, before any picture, status row hidden.
void FrmmainTest::startsWithEasyAndFourByFourChecked()
{
    QVERIFY(action("easy1")->isChecked());
    QVERIFY(!action("hard1")->isChecked());
    QVERIFY(action("fourbyfour")->isChecked());
    QVERIFY(!action("threebythree")->isChecked() && !action("sixbysix")->isChecked());
    QCOMPARE(window_->game().gridsize(), 4);
    QVERIFY(window_->game().flageasy());
    QVERIFY(!window_->game().flagforload());
    for (const char* name : {"lblscore", "lblscoreresult", "lbltime", "lbltimeresult"})
        QVERIFY2(!label(name)->isVisible(), name);
    QVERIFY(window_->findChild<QWidget*>(QStringLiteral("lblhelp"))->isVisible());
}

// Exactly one level is checked, and it is the level the next click obeys.
void FrmmainTest::levelCommandsMoveTheCheckMarkAndTheRule()
{
    action("hard1")->trigger();
    QVERIFY(action("hard1")->isChecked() && !action("easy1")->isChecked());
    QVERIFY(!window_->game().flageasy());
    action("easy1")->trigger();
    QVERIFY(action("easy1")->isChecked() && !action("hard1")->isChecked());
    QVERIFY(window_->game().flageasy());
    action("easy1")->trigger(); // choosing the level in force keeps it checked
    QVERIFY(action("easy1")->isChecked());
}

// Exactly one size is checked; a size waits for Start and leaves the board alone.
void FrmmainTest::sizeCommandsMoveTheCheckMarkAndWaitForStart()
{
    for (const auto& [name, n] : {std::pair{"threebythree", 3}, {"sixbysix", 6}, {"fourbyfour", 4}}) {
        action(name)->trigger();
        QCOMPARE(window_->game().gridsize(), n);
        QVERIFY(!window_->game().flagforsize());
        int checked = 0;
        for (const char* size : {"threebythree", "fourbyfour", "sixbysix"})
            checked += action(size)->isChecked() ? 1 : 0;
        QCOMPARE(checked, 1);
        QVERIFY(action(name)->isChecked());
    }
}

// 455 x 470 logical pixels below the menu, not resizable, with the maker in the title.
void FrmmainTest::windowHasItsFixedClientSizeAndTitle()
{
    QCOMPARE(window_->centralWidget()->size(), QSize(455, 470));
    QCOMPARE(window_->windowTitle(),
             QStringLiteral("Tilmora Picture Puzzle Game - Game created by www.tilmora.example "));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(window_->windowFlags() & Qt::WindowMinimizeButtonHint));
}

// Exit closes the main window and the reference and help windows with it.
void FrmmainTest::exitClosesTheOtherWindowsToo()
{
    loadPicture();
    action("opicture1")->trigger();
    action("content1")->trigger();
    QPointer<QWidget> reference;
    QPointer<QWidget> help;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmhelp"))
            reference = widget;
        if (widget->objectName() == QLatin1String("frmhelpcontent"))
            help = widget;
    }
    QVERIFY(reference && reference->isVisible());
    QVERIFY(help && help->isVisible());

    action("exit1")->trigger();
    QVERIFY(!window_->isVisible());
    QVERIFY(!reference);
    QVERIFY(!help);
}

// --- Start -------------------------------------------------------------------------------------

// Without a picture, Start only says so: no board, no status row, no clock.
void FrmmainTest::startWithoutPictureOnlyAsksForOne()
{
    action("threebythree")->trigger();
    action("start1")->trigger();
    QCOMPARE(messages_->informed, QStringList{"First Load the picture."});
    QVERIFY(window_->picturesplit().empty());
    QVERIFY(!label("lblscore")->isVisible());
    QVERIFY(!window_->game().timerEnabled());

    loadPicture();
    action("start1")->trigger();
    QCOMPARE(visiblePieces().size(), 8); // the size chosen before the load holds
}

// A deal shows every piece but piece 1, each on its own cell, and hides the whole picture.
void FrmmainTest::startDealsAllPiecesButTheBlank()
{
    loadPicture();
    action("start1")->trigger();
    const auto& game = window_->game();
    QCOMPARE(game.boardsize(), 4);
    QCOMPARE(visiblePieces().size(), 15);
    QVERIFY(!piece(1)->isVisible());
    QVERIFY(!window_->findChild<tilmora::PictureBox*>(QStringLiteral("pictureoriginal"))->isVisible());
    for (int number = 1; number <= 16; ++number)
        QCOMPARE(piece(number)->geometry(), window_->cellRect(game.cellOfPiece(number)));
    for (const char* name : {"lblscore", "lblscoreresult", "lbltime", "lbltimeresult"})
        QVERIFY2(label(name)->isVisible(), name);
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("0 Seconds"));
    QVERIFY(messages_->informed.isEmpty());
}

// Start over a board throws the old pieces away, deals anew and counts from zero.
void FrmmainTest::startOverABoardDealsAFreshOne()
{
    loadPicture();
    action("start1")->trigger();
    QPointer<PieceWidget> old = piece(2);
    clickPiece(2);
    QCOMPARE(label("lblscoreresult")->text(), QStringLiteral("1"));
    const auto firstDeal = window_->game().pieceorder();

    clock_->advance(3s);
    action("start1")->trigger();
    QVERIFY(!old);
    QCOMPARE(window_->findChildren<PieceWidget*>().size(), 16);
    QCOMPARE(window_->game().attempts(), 0);
    QVERIFY(window_->game().pieceorder() != firstDeal);
    // The attempts label keeps the last count until the first click of the new game.
    QCOMPARE(label("lblscoreresult")->text(), QStringLiteral("1"));
    window_->Timer1_Timer();
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("0 Seconds"));
}

// 6*6 chosen during a 4 x 4 game leaves the 16 pieces until Start lays out 36.
void FrmmainTest::sizeChosenDuringAGameTakesEffectAtStart()
{
    loadPicture();
    action("start1")->trigger();
    action("sixbysix")->trigger();
    QCOMPARE(window_->findChildren<PieceWidget*>().size(), 16);
    QCOMPARE(window_->game().boardsize(), 4);
    action("start1")->trigger();
    QCOMPARE(window_->findChildren<PieceWidget*>().size(), 36);
    QCOMPARE(visiblePieces().size(), 35);
}

void FrmmainTest::piecesTileThePictureWithoutGaps_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QString>("size");
    for (const QSize picture : {QSize(440, 440), QSize(440, 293), QSize(437, 440), QSize(17, 9)}) {
        for (const char* size : {"threebythree", "fourbyfour", "sixbysix"}) {
            const QString row =
                QStringLiteral("%1x%2 %3").arg(picture.width()).arg(picture.height()).arg(size);
            QTest::newRow(qPrintable(row)) << picture << QString::fromLatin1(size);
        }
    }
}

// The pieces cover the fitted picture exactly, with no gap and no overlap, also when its sides are
// not multiples of n pixels, and every piece fills the cell it stands in after moves.
void FrmmainTest::piecesTileThePictureWithoutGaps()
{
    QFETCH(QSize, picture);
    QFETCH(QString, size);
    loadPicture(picture);
    window_->findChild<QAction*>(size)->trigger();
    action("start1")->trigger();
    const QRect area(window_->findChild<tilmora::PictureBox*>(QStringLiteral("pictureoriginal"))->pos(),
                     picture);

    const auto checkTiling = [&] {
        QRegion covered;
        int coveredPixels = 0;
        for (auto* piece : window_->findChildren<PieceWidget*>()) {
            QCOMPARE(piece->geometry(), window_->cellRect(window_->game().cellOfPiece(piece->piece())));
            covered += piece->geometry();
            coveredPixels += piece->width() * piece->height();
        }
        QCOMPARE(covered, QRegion(area));
        QCOMPARE(coveredPixels, area.width() * area.height()); // no overlap
    };
    checkTiling();
    for (int move = 0; move < 10 && window_->game().inPlay(); ++move)
        clickPiece(2 + move % (window_->game().pieceCount() - 1));
    checkTiling();
}

// A picture five pixels wide cannot make six columns: Start says so and changes nothing, and the
// same picture still plays at 3 x 3.
void FrmmainTest::startRefusesToCutAPictureFinerThanAPixel()
{
    loadPicture({5, 40});
    action("sixbysix")->trigger();
    action("start1")->trigger();
    QCOMPARE(messages_->informed, QStringList{"The picture is too small to cut into 6 x 6 pieces."});
    QVERIFY(!window_->game().hasBoard());
    QVERIFY(window_->picturesplit().empty());

    action("threebythree")->trigger();
    action("start1")->trigger();
    QCOMPARE(visiblePieces().size(), 8);
    for (auto* piece : window_->findChildren<PieceWidget*>())
        QVERIFY(!piece->geometry().isEmpty());
}

// --- Moves -------------------------------------------------------------------------------------

// On Easy a far piece jumps into the blank cell, which is then where the piece was.
void FrmmainTest::easyClickSwapsAnyPieceWithTheBlank()
{
    loadPicture();
    action("start1")->trigger();
    const auto& game = window_->game();
    const Cell blank = game.blankCell();
    const Cell far{3 - blank.row, 3 - blank.column};
    const int mover = game.pieceAt(far);
    QVERIFY(mover != 1);

    clickPiece(mover);
    QCOMPARE(game.cellOfPiece(mover), blank);
    QCOMPARE(game.blankCell(), far);
    QCOMPARE(piece(mover)->geometry(), window_->cellRect(blank));
    QCOMPARE(label("lblscoreresult")->text(), QStringLiteral("1"));
}

// On Hard only a piece beside the blank cell moves; every click still counts.
void FrmmainTest::hardClickMovesOnlyNeighbours()
{
    loadPicture({440, 293});
    action("hard1")->trigger();
    action("start1")->trigger();
    const auto& game = window_->game();
    const Cell blank = game.blankCell();
    int clicks = 0;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const Cell cell{row, column};
            const int distance = std::abs(row - blank.row) + std::abs(column - blank.column);
            if (distance == 1 || distance == 0)
                continue;
            const int number = game.pieceAt(cell);
            clickPiece(number);
            ++clicks;
            QCOMPARE(game.cellOfPiece(number), cell);
        }
    }
    QCOMPARE(label("lblscoreresult")->text(), QString::number(clicks));
    QCOMPARE(game.blankCell(), blank);

    // A neighbour moves, also on a picture whose height is no multiple of four.
    const Cell neighbour =
        blank.row > 0 ? Cell{blank.row - 1, blank.column} : Cell{blank.row + 1, blank.column};
    const int number = game.pieceAt(neighbour);
    clickPiece(number);
    QCOMPARE(game.cellOfPiece(number), blank);
    QCOMPARE(game.blankCell(), neighbour);
}

// Enter on the focused piece is a click, count included; another key moves nothing.
void FrmmainTest::enterActsAsAClickAndOtherKeysDoNot()
{
    loadPicture();
    action("start1")->trigger();
    const auto& game = window_->game();
    const Cell blank = game.blankCell();
    const int mover = game.pieceAt({blank.row == 0 ? 1 : 0, blank.column});
    const Cell from = game.cellOfPiece(mover);
    piece(mover)->setFocus();

    QTest::keyClick(piece(mover), Qt::Key_A);
    QCOMPARE(game.cellOfPiece(mover), from);
    QCOMPARE(game.keyindex(), mover);
    QCOMPARE(label("lblscoreresult")->text(), QString());

    QTest::keyClick(piece(mover), Qt::Key_Return);
    QCOMPARE(game.cellOfPiece(mover), blank);
    QCOMPARE(label("lblscoreresult")->text(), QStringLiteral("1"));
}

// While a button is held on a piece the window shows the no-drop pointer; release restores it.
void FrmmainTest::pointerShowsNoDropWhileButtonIsHeld()
{
    loadPicture();
    action("start1")->trigger();
    auto* target = visiblePieces().front();
    QTest::mousePress(target, Qt::LeftButton);
    QCOMPARE(window_->cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(target, Qt::LeftButton);
    QCOMPARE(window_->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(label("lblscoreresult")->text(), QStringLiteral("1"));
}

// Without a mouse: Tab goes through the cells in reading order, the arrows to the neighbour cell
// (passing over the blank), and both follow the pieces as they move.
void FrmmainTest::arrowKeysAndTabWalkTheCells()
{
    loadPicture();
    action("start1")->trigger();
    const auto& game = window_->game();
    const Cell blank = game.blankCell();
    // Start on the first visible piece of a row that holds no blank.
    const int row = blank.row == 0 ? 1 : 0;
    pieceAt({row, 0})->setFocus();
    QVERIFY(pieceAt({row, 0})->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QVERIFY(pieceAt({row, 1})->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(pieceAt({row, 2})->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QVERIFY(pieceAt({row, 1})->hasFocus());

    // Up or down through the blank's column jumps over the blank.
    if (blank.row > 0 && blank.row < 3) {
        pieceAt({blank.row - 1, blank.column})->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(pieceAt({blank.row + 1, blank.column})->hasFocus());
    }
}

// Each piece says which piece it is and where it stands, and says so again after it moves.
void FrmmainTest::piecesTellScreenReadersWhereTheyStand()
{
    loadPicture();
    action("start1")->trigger();
    const auto& game = window_->game();
    const int number = game.pieceAt({game.blankCell().row == 0 ? 1 : 0, 0});
    const Cell cell = game.cellOfPiece(number);
    QCOMPARE(
        piece(number)->accessibleName(),
        QStringLiteral("Piece %1, row %2, column %3").arg(number).arg(cell.row + 1).arg(cell.column + 1));
    const Cell blank = game.blankCell();
    clickPiece(number);
    QCOMPARE(
        piece(number)->accessibleName(),
        QStringLiteral("Piece %1, row %2, column %3").arg(number).arg(blank.row + 1).arg(blank.column + 1));
    QVERIFY(!label("lblscoreresult")->accessibleName().isEmpty());
}

// The status captions show whole in whatever font the system gives, in one row, in order, once
// a game shows them.
void FrmmainTest::statusCaptionsAreNeverCutOff()
{
    loadPicture();
    action("start1")->trigger();
    int right = 0;
    for (const char* name : {"lblscore", "lblscoreresult", "lbltime", "lbltimeresult"}) {
        auto* caption = label(name);
        QVERIFY2(caption->fontMetrics().horizontalAdvance(caption->text()) <= caption->width(), name);
        QVERIFY2(caption->x() >= right, name);
        right = caption->x() + caption->fontMetrics().horizontalAdvance(caption->text());
    }
    QVERIFY(right <= window_->centralWidget()->width());
}

// --- Clock and end of game -----------------------------------------------------------------------

// The time label turns at whole seconds from Start: 0, then 1, then 125 after two minutes.
void FrmmainTest::timeLabelCountsSecondsFromStart()
{
    loadPicture();
    action("start1")->trigger();
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("0 Seconds"));
    clock_->advance(999ms);
    window_->Timer1_Timer();
    QVERIFY(label("lbltimeresult")->text() == QStringLiteral("0 Seconds") ||
            label("lbltimeresult")->text() == QStringLiteral("1 Seconds"));
    clock_->advance(1s);
    window_->Timer1_Timer();
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("1 Seconds"));
    clock_->advance(124s);
    window_->Timer1_Timer();
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("125 Seconds"));

    // The real timer drives the same tick.
    clock_->advance(1s);
    QTRY_COMPARE(label("lbltimeresult")->text(), QStringLiteral("126 Seconds"));
}

// Solving stops the clock before the message, shows piece 1 and then the whole picture, which
// covers the finished board so it takes no more clicks.
void FrmmainTest::solvingStopsTheClockAndShowsTheWholePicture()
{
    loadPicture();
    action("threebythree")->trigger();
    action("start1")->trigger();
    auto* picture = window_->findChild<tilmora::PictureBox*>(QStringLiteral("pictureoriginal"));
    bool clockStoppedAtMessage = false;
    bool pieceOneShownAtMessage = false;
    bool pictureHiddenAtMessage = false;
    messages_->onMessage = [&](const QString&) {
        clockStoppedAtMessage = !window_->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
        pieceOneShownAtMessage = piece(1)->isVisible();
        pictureHiddenAtMessage = !picture->isVisible();
    };
    clock_->advance(7s);
    window_->Timer1_Timer();
    solveOnEasy();

    QCOMPARE(messages_->informed, QStringList{kGameOver});
    QVERIFY(clockStoppedAtMessage);
    QVERIFY(pieceOneShownAtMessage);
    QVERIFY(pictureHiddenAtMessage);
    QVERIFY(picture->isVisible());
    QCOMPARE(window_->childAt(picture->geometry().center()), picture);
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("7 Seconds"));
    const QString finalCount = label("lblscoreresult")->text();
    QVERIFY(finalCount.toInt() > 0);

    // The finished board answers nothing; the time stays frozen.
    QTest::keyClick(piece(2), Qt::Key_Return);
    clock_->advance(5s);
    QTest::qWait(30);
    QCOMPARE(label("lblscoreresult")->text(), finalCount);
    QCOMPARE(label("lbltimeresult")->text(), QStringLiteral("7 Seconds"));
    QCOMPARE(messages_->informed.size(), 1);
}

// Start after a finished game lays out a fresh board and hides the whole picture again.
void FrmmainTest::startAfterAFinishedGameDealsAgain()
{
    loadPicture();
    action("threebythree")->trigger();
    action("start1")->trigger();
    solveOnEasy();
    action("start1")->trigger();
    QVERIFY(window_->game().inPlay());
    QCOMPARE(visiblePieces().size(), 8);
    QVERIFY(!window_->findChild<tilmora::PictureBox*>(QStringLiteral("pictureoriginal"))->isVisible());
    QVERIFY(window_->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
}

// A load during a game ends it quietly: no pieces, no status row, the new picture shown.
void FrmmainTest::loadingAPictureEndsTheGameAndHidesTheStatusRow()
{
    loadPicture();
    action("start1")->trigger();
    clickPiece(visiblePieces().front()->piece());
    chooser_->next = writeTestPicture(*dir_, QStringLiteral("second.png"), {300, 200});
    action("loadpicture1")->trigger();
    QVERIFY(window_->findChildren<PieceWidget*>().isEmpty());
    QVERIFY(!label("lblscore")->isVisible());
    QVERIFY(!label("lbltimeresult")->isVisible());
    auto* picture = window_->findChild<tilmora::PictureBox*>(QStringLiteral("pictureoriginal"));
    QVERIFY(picture->isVisible());
    QCOMPARE(picture->size(), QSize(300, 200));
    QCOMPARE(window_->picturefile(), *chooser_->next);

    // A cancel changes nothing.
    action("start1")->trigger();
    const auto deal = window_->game().pieceorder();
    chooser_->next.reset();
    action("loadpicture1")->trigger();
    QCOMPARE(window_->findChildren<PieceWidget*>().size(), 16);
    QCOMPARE(window_->game().pieceorder(), deal);
    QVERIFY(window_->game().inPlay());
}

// "Original Picture" asks for a picture first, then shows one window at most.
void FrmmainTest::originalPictureNeedsALoadedPicture()
{
    action("opicture1")->trigger();
    QCOMPARE(messages_->informed, QStringList{"First load the picture."});
    loadPicture({300, 500});
    action("opicture1")->trigger();
    action("opicture1")->trigger();
    int windows = 0;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmhelp") && widget->isVisible()) {
            ++windows;
            QCOMPARE(widget->findChild<tilmora::PictureBox*>()->size(), QSize(264, 440));
        }
    }
    QCOMPARE(windows, 1);
}

QTEST_MAIN(FrmmainTest)
#include "tst_frmmain.moc"
