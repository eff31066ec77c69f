#include "frmmain.h"

#include "board.h"
#include "boardaccessible.h"
#include "droppedfile.h"
#include "hintmark.h"
#include "identity/identity.h"
#include "messages.h"
#include "paradvisor.h"
#include "picturechooser.h"
#include "pictureintake.h"
#include "piecewidget.h"
#include "quickhelppanel.h"
#include "secondary/frmhelp.h"
#include "secondary/frmhelpcontent.h"
#include "secondary/toolwindow.h"
#include "sharedwidgets/picturebox.h"
#include "units/twips.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>

#include <chrono>
#include <optional>
#include <random>
#include <utility>

namespace tilmora {

namespace {

// The window's layout, in twips from the top-left corner of the client area below the menu.
constexpr double kClientWidth = 6825;
constexpr double kClientHeight = 7050;
constexpr double kPlayAreaMargin = 120;

constexpr const char* kGameOver =
    QT_TRANSLATE_NOOP("tilmora::frmmain", "                        Game is over.");
constexpr const char* kLoadFirstToStart = QT_TRANSLATE_NOOP("tilmora::frmmain", "First Load the picture.");
constexpr const char* kLoadFirstToView = QT_TRANSLATE_NOOP("tilmora::frmmain", "First load the picture.");

puzzle::RandomEngine::result_type freshSeed()
{
    std::random_device device;
    return device();
}

} // namespace

frmmain::frmmain(Services services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , services_(std::move(services))
    , random_(services_.seed.value_or(freshSeed()))
    , Timer1(this)
{
    if (!services_.cdl)
        services_.cdl = std::make_shared<FileDialogChooser>();
    if (!services_.messages)
        services_.messages = std::make_shared<ModalMessageBoxes>();
    if (!services_.clock)
        services_.clock = &puzzle::ClockReading::now;

    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(tr("%1 - Game created by %2 ").arg(gameName(), QString::fromUtf8(identity::kWebsite)));
    new PictureDropTarget(this, [this](const QString& path) { loadPictureFile(path); });
    par_ = new ParAdvisor(this);
    connect(par_, &ParAdvisor::hintReady, this, &frmmain::showHint);
    connect(par_, &ParAdvisor::parChanged, this, [this] {
        if (game_.isOver())
            statusRow_->showPar(par_->parLine());
    });
    buildMenu();
    buildPlayArea();
    intake_ = new PictureIntake(this, services_.decoder);
    connect(intake_, &PictureIntake::pictureRead, this, &frmmain::takePicture);
    connect(intake_, &PictureIntake::refused, this,
            [this](const QString& message) { services_.messages->warn(this, message); });
    Form_Load();
}

void frmmain::Form_Load()
{
    Timer1.setObjectName(QStringLiteral("Timer1"));
    // The clock sleeps until the moment its count turns (see aimTimer1).
    Timer1.setSingleShot(true);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    pictureoriginal_->hide();
    easy1_->setChecked(true);
    fourbyfour_->setChecked(true);
}

void frmmain::buildMenu()
{
    // A menu item with its object name and its handler.
    const auto addItem = [this](auto* menu, const char* name, const QString& text, auto handler,
                                const QKeySequence& shortcut = {}) {
        auto* item = menu->addAction(text, this, handler);
        item->setObjectName(QString::fromLatin1(name));
        item->setShortcut(shortcut);
        return item;
    };
    const auto addMenu = [](auto* parent, const char* name, const QString& text) {
        auto* menu = parent->addMenu(text);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    // Items of which exactly one is checked.
    const auto group = [this](std::initializer_list<QAction*> items) {
        auto* choices = new QActionGroup(this);
        for (auto* item : items) {
            item->setCheckable(true);
            choices->addAction(item);
        }
    };

    // Each menu and item has its Alt+letter key in each language (none of them a screen reader's).
    auto* game1 = addMenu(menuBar(), "game1", tr("&Game"));
    addItem(game1, "loadpicture1", tr("&Load Picture"), &frmmain::loadpicture1_Click, Qt::CTRL | Qt::Key_L);
    addItem(game1, "start1", tr("&Start"), &frmmain::start1_Click, Qt::Key_F5);
    // Ctrl+H: no screen reader takes it (they keep Insert and Caps Lock with other keys).
    //: Game menu: puts the focus on a piece to move next. Keep an & before the Alt key's letter.
    hint1_ = addItem(game1, "hint1", tr("&Hint"), &frmmain::hint1_Click, Qt::CTRL | Qt::Key_H);
    hint1_->setEnabled(false);

    auto* option1 = addMenu(menuBar(), "option1", tr("&Option"));
    auto* level1 = addMenu(option1, "level1", tr("&Level"));
    easy1_ = addItem(level1, "easy1", tr("&Easy"), &frmmain::easy1_Click);
    hard1_ = addItem(level1, "hard1", tr("&Hard"), &frmmain::hard1_Click);
    group({easy1_, hard1_});
    auto* gridsize1 = addMenu(option1, "gridsize1", tr("Squares &Size"));
    threebythree_ = addItem(gridsize1, "threebythree", QStringLiteral("&3*3"), &frmmain::threebythree_Click);
    fourbyfour_ = addItem(gridsize1, "fourbyfour", QStringLiteral("&4*4"), &frmmain::fourbyfour_Click);
    sixbysix_ = addItem(gridsize1, "sixbysix", QStringLiteral("&6*6"), &frmmain::sixbysix_Click);
    group({threebythree_, fourbyfour_, sixbysix_});
    numbers1_ = addItem(option1, "numbers1", tr("&Numbers"), &frmmain::numbers1_Click);
    numbers1_->setCheckable(true);

    auto* help1 = addMenu(menuBar(), "help1", tr("&Quick Help"));
    addItem(help1, "content1", tr("&Help"), &frmmain::content1_Click);
    addItem(help1, "opicture1", tr("&Original Picture"), &frmmain::opicture1_Click, Qt::CTRL | Qt::Key_P);
    addItem(menuBar(), "exit1", tr("E&xit"), &frmmain::exit1_Click);
}

void frmmain::buildPlayArea()
{
    playArea_ = new QWidget(this);
    playArea_->setObjectName(QStringLiteral("playArea"));
    playArea_->setFixedSize(twips::size(kClientWidth, kClientHeight));
    playArea_->setAutoFillBackground(true);
    QPalette black = playArea_->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::black);
    playArea_->setPalette(black);
    setCentralWidget(playArea_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    lblhelp_ = createQuickHelpPanel(playArea_);

    pictureoriginal_ = new PictureBox(playArea_);
    pictureoriginal_->setObjectName(QStringLiteral("pictureoriginal"));
    pictureoriginal_->move(twips::point(kPlayAreaMargin, kPlayAreaMargin));

    installBoardAccessibility();
    board_ = new Board(game_, playArea_);
    connect(board_, &Board::clicked, this, &frmmain::picturesplit_Click);
    // Enter on a piece counts as a click on it.
    connect(board_, &Board::activated, this, &frmmain::picturesplit_Click);
    statusRow_ = std::make_unique<StatusRow>(playArea_);
}

// --- Picture loading ---------------------------------------------------------------------------

void frmmain::loadpicture1_Click()
{
    const auto chosen = services_.cdl->choosePicture(this);
    if (!chosen || chosen->isEmpty())
        return;
    loadPictureFile(*chosen);
}

void frmmain::loadPictureOnceShown(const QString& path)
{
    intake_->readOnceShown(path);
}

void frmmain::loadPictureFile(const QString& path)
{
    intake_->read(path);
}

bool frmmain::isReadingPicture() const
{
    return intake_->isReading();
}

// Escape gives up the picture being read, which costs the player nothing.
void frmmain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isReadingPicture())
        intake_->cancel();
    else
        QMainWindow::keyPressEvent(event);
}

// A picture that was read replaces the one on show, and any game on the board; a file that cannot
// be used costs the player nothing, not even a game in progress (the intake tells why).
void frmmain::takePicture(const QString& path, const LoadedPicture& picture)
{
    board_->clear();
    Timer1.stop();
    par_->forget();
    hint1_->setEnabled(false);
    picturefile_ = path;
    fittedPicture_ = QPixmap::fromImage(picture.fitted);
    pictureoriginal_->setPicture(fittedPicture_);
    pictureoriginal_->show();
    pictureoriginal_->raise();
    game_.pictureLoaded(pictureoriginal_->width(), pictureoriginal_->height());
    if (frmhelp_)
        frmhelp_->setPicture(fittedPicture_);
    statusRow_->setVisible(false);
    lblhelp_->hide();
}

// --- Start and the board -----------------------------------------------------------------------

void frmmain::start1_Click()
{
    const auto now = services_.clock();
    switch (game_.start(random_, now)) {
    case puzzle::StartOutcome::NoPicture:
        services_.messages->inform(this, tr(kLoadFirstToStart));
        return;
    case puzzle::StartOutcome::PictureTooSmall: {
        const int n = game_.gridsize();
        services_.messages->inform(this, tr("The picture is too small to cut into %1 x %1 pieces.").arg(n));
        return;
    }
    case puzzle::StartOutcome::Dealt:
        break;
    }
    board_->setGeometry(pictureoriginal_->geometry());
    board_->deal(fittedPicture_);
    par_->dealt(game_.boardsize(), game_.pieceorder(), game_.level());
    hint1_->setEnabled(true);
    statusRow_->showPar({});
    board_->raise();
    pictureoriginal_->hide();
    // The keys work on the new board at once, and a screen reader reads it with the cell they start on.
    board_->setFocus(Qt::OtherFocusReason);
    // A new game shows its own numbers at once, not the last game's until its first click or tick.
    statusRow_->showAttempts(game_.attempts());
    statusRow_->showSeconds(game_.elapsedseconds());
    statusRow_->setVisible(true);
    aimTimer1(now.steady);
}

void frmmain::picturesplit_Click(int index)
{
    const auto outcome = game_.click(index);
    if (!outcome.counted)
        return;
    statusRow_->showAttempts(outcome.attemptsShown);
    if (outcome.moved) {
        clearHintMark();
        board_->showMove(index);
        par_->moved(index, boardCells(), game_.level());
    } else {
        board_->showRefusal(index);
    }
    if (outcome.solved)
        endOfGame();
}

// The game is won: the clock stops, the missing piece completes the picture, the player is told,
// and the whole picture is laid over the board, which takes no more clicks or keys.
void frmmain::endOfGame()
{
    Timer1.stop();
    board_->showEnd();
    hint1_->setEnabled(false);
    par_->gameOver();
    statusRow_->showPar(par_->parLine());
    services_.messages->inform(this, tr(kGameOver));
    pictureoriginal_->show();
    pictureoriginal_->raise();
    // The keyboard is back where it was when the box came, on the solved board.
    board_->setFocus(Qt::OtherFocusReason);
}

// --- Hints ------------------------------------------------------------------------------------

// The hint is the focus put on a piece to move, as the keyboard and a screen reader know it, with a
// mark seen on any picture; nothing moves by itself. On a 4 x 4 Hard board it may come a moment
// later, once the search for the way has ended.
void frmmain::hint1_Click()
{
    if (game_.inPlay())
        par_->askHint(boardCells(), game_.level());
}

void frmmain::showHint(int piece)
{
    if (!game_.inPlay() || piece < 1 || piece > game_.pieceCount())
        return;
    clearHintMark();
    board_->showPiece(piece);
    hintMark_ = new HintMark(board_->picturesplit()[static_cast<std::size_t>(piece)]);
}

void frmmain::clearHintMark()
{
    delete hintMark_.data();
}

std::vector<int> frmmain::boardCells() const
{
    std::vector<int> cells;
    const int n = game_.boardsize();
    cells.reserve(static_cast<std::size_t>(game_.pieceCount()));
    for (int cell = 0; cell < n * n; ++cell)
        cells.push_back(game_.pieceAt({cell / n, cell % n}));
    return cells;
}

// --- The clock ---------------------------------------------------------------------------------

void frmmain::Timer1_Timer()
{
    const auto now = services_.clock().steady;
    statusRow_->showSeconds(game_.tick(now));
    aimTimer1(now);
}

// While the clock runs, the timer is aimed at the moment the count next turns, so the program
// wakes once a second rather than polling. Rounded up to whole milliseconds, it fires at that
// moment or just after; a timer that fires early finds the count unchanged and aims again.
void frmmain::aimTimer1(puzzle::SteadyTime now)
{
    if (!game_.timerEnabled())
        return;
    const auto next = game_.starttime().nextChangeAfter(now);
    Timer1.start(std::chrono::ceil<std::chrono::milliseconds>(next - now));
}

// --- Settings ----------------------------------------------------------------------------------

// A level applies from the next click, a size from the next Start. The check mark follows the
// choice also when it comes from elsewhere than the menu.
void frmmain::chooseLevel(puzzle::Level level)
{
    game_.chooseLevel(level);
    (level == puzzle::Level::Easy ? easy1_ : hard1_)->setChecked(true);
    par_->levelChosen(level);
}

void frmmain::chooseSize(int n)
{
    game_.chooseSize(n);
    // Only the three sizes of the menu come here: whatever is neither 3 nor 6 is 4 x 4.
    (n == 3 ? threebythree_ : n == 6 ? sixbysix_ : fourbyfour_)->setChecked(true);
}

// The numbers on the pieces are drawn or not; nothing else changes.
void frmmain::numbers1_Click()
{
    board_->showNumbers(numbers1_->isChecked());
}

// --- The other windows -------------------------------------------------------------------------

void frmmain::opicture1_Click()
{
    if (!game_.flagforload()) {
        services_.messages->inform(this, tr(kLoadFirstToView));
        return;
    }
    if (!frmhelp_) {
        frmhelp_ = new frmhelp();
        frmhelp_->setPicture(fittedPicture_);
    }
    presentToolWindow(*frmhelp_);
}

void frmmain::content1_Click()
{
    if (!frmhelpcontent_)
        frmhelpcontent_ = new frmhelpcontent();
    presentToolWindow(*frmhelpcontent_);
}

void frmmain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

// Closing the main window ends the program: the other windows go with it. They have no owner
// (each stands on its own on the desktop), so the main window destroys them itself; closing them
// would only schedule their deletion for an event loop that is about to end.
void frmmain::Form_Unload()
{
    Timer1.stop();
    par_->forget();
    delete frmhelp_.data();
    delete frmhelpcontent_.data();
}

} // namespace tilmora
