#include "frmmain.h"

#include "messages.h"
#include "picture/fitpicture.h"
#include "picture/pictureloader.h"
#include "picturechooser.h"
#include "piecewidget.h"
#include "quickhelppanel.h"
#include "secondary/frmhelp.h"
#include "secondary/frmhelpcontent.h"
#include "secondary/picturebox.h"
#include "units/twips.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <random>
#include <utility>

namespace tilmora {

namespace {

// The window's layout, in twips from the top-left corner of the client area below the menu.
constexpr double kClientWidth = 6825;
constexpr double kClientHeight = 7050;
constexpr double kPlayAreaMargin = 120;
constexpr double kStatusTop = 6720;
constexpr double kStatusHeight = 255;

const QString kGameOver = QStringLiteral("                        Game is over.");
const QString kLoadFirstToStart = QStringLiteral("First Load the picture.");
const QString kLoadFirstToView = QStringLiteral("First load the picture.");

QLabel* makeStatusLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, parent);
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
    label->hide();
    return label;
}

puzzle::RandomEngine::result_type freshSeed()
{
    std::random_device device;
    return device();
}

// The file a drag carries, when it carries exactly one local file.
std::optional<QString> draggedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>{};
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    return urls.front().toLocalFile();
}

// Takes a drag of one local file as a copy (the game only reads the file, so the file manager
// never takes it away) and refuses any other, so the pointer says it cannot be dropped.
bool takeDrag(QDropEvent* event)
{
    const bool taken =
        draggedFile(event->mimeData()).has_value() && (event->possibleActions() & Qt::CopyAction) != 0;
    if (taken) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return taken;
}

// While a picture is read, what Qt's picture readers print about a file they turn down (a Targa
// type they do not know, an icon directory that does not add up, libpng's notes on a colour
// profile) is dropped: the message box already tells the player, and nothing else would read it.
// Critical messages, and the game's own at any level, still go out.
class QuietPictureReaders
{
public:
    QuietPictureReaders() { previous_ = qInstallMessageHandler(&QuietPictureReaders::filter); }
    ~QuietPictureReaders() { qInstallMessageHandler(previous_); }
    QuietPictureReaders(const QuietPictureReaders&) = delete;
    QuietPictureReaders& operator=(const QuietPictureReaders&) = delete;
    QuietPictureReaders(QuietPictureReaders&&) = delete;
    QuietPictureReaders& operator=(QuietPictureReaders&&) = delete;

private:
    static void filter(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        const bool ours = context.category != nullptr && qstrncmp(context.category, "tilmora", 7) == 0;
        if (ours || type == QtCriticalMsg || type == QtFatalMsg)
            previous_(type, context, message);
    }

    static inline QtMessageHandler previous_ = nullptr;
};

} // namespace

frmmain::frmmain(Services services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , services_(std::move(services))
    , Timer1(this)
{
    if (!services_.cdl)
        services_.cdl = std::make_shared<FileDialogChooser>();
    if (!services_.messages)
        services_.messages = std::make_shared<ModalMessageBoxes>();
    if (!services_.clock)
        services_.clock = &puzzle::ClockReading::now;
    random_.seed(services_.seed.value_or(freshSeed()));

    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Tilmora Picture Puzzle Game - Game created by www.tilmora.example "));
    setAcceptDrops(true);
    buildMenu();
    buildPlayArea();
    Form_Load();
}

frmmain::~frmmain()
{
    Form_Unload();
}

void frmmain::Form_Load()
{
    Timer1.setObjectName(QStringLiteral("Timer1"));
    // The clock sleeps until the moment its count turns (see aimTimer1).
    Timer1.setSingleShot(true);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    showStatusRow(false);
    pictureoriginal_->hide();
    easy1_->setChecked(true);
    fourbyfour_->setChecked(true);
}

void frmmain::buildMenu()
{
    auto* game1 = menuBar()->addMenu(tr("Game"));
    game1->setObjectName(QStringLiteral("game1"));
    auto* loadpicture1 = game1->addAction(tr("Load Picture"), this, &frmmain::loadpicture1_Click);
    loadpicture1->setObjectName(QStringLiteral("loadpicture1"));
    loadpicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    auto* start1 = game1->addAction(tr("Start"), this, &frmmain::start1_Click);
    start1->setObjectName(QStringLiteral("start1"));
    start1->setShortcut(QKeySequence(Qt::Key_F5));

    auto* option1 = menuBar()->addMenu(tr("Option"));
    option1->setObjectName(QStringLiteral("option1"));
    auto* level1 = option1->addMenu(tr("Level"));
    level1->setObjectName(QStringLiteral("level1"));
    auto* levels = new QActionGroup(this);
    easy1_ = level1->addAction(tr("Easy"), this, &frmmain::easy1_Click);
    easy1_->setObjectName(QStringLiteral("easy1"));
    hard1_ = level1->addAction(tr("Hard"), this, &frmmain::hard1_Click);
    hard1_->setObjectName(QStringLiteral("hard1"));
    for (auto* level : {easy1_, hard1_}) {
        level->setCheckable(true);
        levels->addAction(level);
    }

    auto* gridsize1 = option1->addMenu(tr("Squares Size"));
    gridsize1->setObjectName(QStringLiteral("gridsize1"));
    auto* sizes = new QActionGroup(this);
    threebythree_ = gridsize1->addAction(QStringLiteral("3*3"), this, &frmmain::threebythree_Click);
    threebythree_->setObjectName(QStringLiteral("threebythree"));
    fourbyfour_ = gridsize1->addAction(QStringLiteral("4*4"), this, &frmmain::fourbyfour_Click);
    fourbyfour_->setObjectName(QStringLiteral("fourbyfour"));
    sixbysix_ = gridsize1->addAction(QStringLiteral("6*6"), this, &frmmain::sixbysix_Click);
    sixbysix_->setObjectName(QStringLiteral("sixbysix"));
    for (auto* size : {threebythree_, fourbyfour_, sixbysix_}) {
        size->setCheckable(true);
        sizes->addAction(size);
    }

    auto* help1 = menuBar()->addMenu(tr("Quick Help"));
    help1->setObjectName(QStringLiteral("help1"));
    auto* content1 = help1->addAction(tr("Help"), this, &frmmain::content1_Click);
    content1->setObjectName(QStringLiteral("content1"));
    auto* opicture1 = help1->addAction(tr("Original Picture"), this, &frmmain::opicture1_Click);
    opicture1->setObjectName(QStringLiteral("opicture1"));
    opicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    auto* exit1 = menuBar()->addAction(tr("Exit"), this, &frmmain::exit1_Click);
    exit1->setObjectName(QStringLiteral("exit1"));
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

    lblscore_ = makeStatusLabel(playArea_, "lblscore", tr("Attempts"),
                                twips::rect(120, kStatusTop, 975, kStatusHeight));
    lblscoreresult_ =
        makeStatusLabel(playArea_, "lblscoreresult", {}, twips::rect(1200, kStatusTop, 735, kStatusHeight));
    lbltime_ =
        makeStatusLabel(playArea_, "lbltime", tr("Time"), twips::rect(2040, kStatusTop, 855, kStatusHeight));
    lbltimeresult_ =
        makeStatusLabel(playArea_, "lbltimeresult", {}, twips::rect(2760, kStatusTop, 1575, kStatusHeight));
    lblscoreresult_->setAccessibleName(tr("Attempts"));
    lbltimeresult_->setAccessibleName(tr("Time"));
}

// The captions were measured for one font; where the font the system gives is wider, a caption
// grows to its text and pushes the rest of the row to the right instead of being cut off.
void frmmain::fitStatusCaptions()
{
    constexpr int kGap = 4;
    int textEnd = 0;
    for (auto* label : {lblscore_, lblscoreresult_, lbltime_, lbltimeresult_}) {
        label->move(std::max(label->x(), textEnd), label->y());
        // The results are fitted for their designed width, whatever they show at the moment.
        const bool caption = label == lblscore_ || label == lbltime_;
        const int textWidth = caption ? label->fontMetrics().horizontalAdvance(label->text()) : 0;
        label->resize(std::max(label->width(), textWidth), label->height());
        textEnd = label->x() + textWidth + kGap;
    }
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
    pictureOnceShown_ = path;
    if (isVisible())
        loadPictureNamedAtStart();
}

void frmmain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    loadPictureNamedAtStart();
}

void frmmain::loadPictureNamedAtStart()
{
    // Queued: the window is on screen before a message about the file goes up.
    if (auto path = std::exchange(pictureOnceShown_, std::nullopt))
        QMetaObject::invokeMethod(
            this, [this, path = *path] { loadPictureFile(path); }, Qt::QueuedConnection);
}

void frmmain::dragEnterEvent(QDragEnterEvent* event)
{
    takeDrag(event);
}

void frmmain::dragMoveEvent(QDragMoveEvent* event)
{
    takeDrag(event);
}

void frmmain::dropEvent(QDropEvent* event)
{
    if (!takeDrag(event))
        return;
    // Loaded once the drop is over, so the file manager is not kept waiting while the picture is
    // read or a message is up.
    QMetaObject::invokeMethod(
        this, [this, path = *draggedFile(event->mimeData())] { loadPictureFile(path); },
        Qt::QueuedConnection);
}

bool frmmain::loadPictureFile(const QString& path)
{
    // The picture is read before anything is given up: a file that cannot be used costs the
    // player nothing, not even a game in progress.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto result = [&] {
        const QuietPictureReaders quiet;
        return loadPicture(path, devicePixelRatioF());
    }();
    QGuiApplication::restoreOverrideCursor();
    if (const auto* failure = std::get_if<LoadFailure>(&result)) {
        services_.messages->warn(this, failure->message);
        return false;
    }

    destroyBoard();
    game_.pictureLoaded();
    Timer1.stop();
    picturefile_ = path;
    fittedPicture_ = QPixmap::fromImage(std::get<LoadedPicture>(result).fitted);
    pictureoriginal_->setPicture(fittedPicture_);
    pictureoriginal_->show();
    pictureoriginal_->raise();
    if (frmhelp_)
        frmhelp_->setPicture(fittedPicture_);
    showStatusRow(false);
    lblhelp_->hide();
    return true;
}

// --- Start and the board -----------------------------------------------------------------------

void frmmain::start1_Click()
{
    // Every piece must be at least a pixel on each side; a picture a few pixels across cannot be
    // cut that finely, and the board on the table stays as it is.
    const QSize picture = pictureoriginal_->size();
    const int n = game_.gridsize();
    if (game_.flagforload() && (picture.width() < n || picture.height() < n)) {
        services_.messages->inform(this, tr("The picture is too small to cut into %1 x %1 pieces.").arg(n));
        return;
    }
    const auto now = services_.clock();
    const auto outcome = game_.start(random_, now);
    if (outcome == puzzle::StartOutcome::NoPicture) {
        destroyBoard();
        services_.messages->inform(this, kLoadFirstToStart);
        return;
    }
    layOutBoard();
    showStatusRow(true);
    setTimeCaption(game_.elapsedseconds());
    aimTimer1(now.steady);
}

// The pieces are children of the play area; they go at once rather than at the next turn of the
// event loop, so a new board never stands beside the old one.
void frmmain::destroyBoard()
{
    qDeleteAll(picturesplit_);
    picturesplit_.clear();
    unsetCursor();
}

QRect frmmain::cellRect(puzzle::Cell cell) const
{
    // Cell edges are rounded from exact fractions of the picture, so the cells tile it with no
    // gap or overlap whatever its size: 440 pixels in six columns make cells of 73 and 74.
    const int n = game_.boardsize();
    const QSize picture = pictureoriginal_->size();
    const auto edge = [n](int index, int length) {
        return static_cast<int>(std::lround(static_cast<double>(index) * length / n));
    };
    const QPoint origin = pictureoriginal_->pos();
    const int left = edge(cell.column, picture.width());
    const int top = edge(cell.row, picture.height());
    const int right = edge(cell.column + 1, picture.width());
    const int bottom = edge(cell.row + 1, picture.height());
    return {origin + QPoint(left, top), QSize(right - left, bottom - top)};
}

void frmmain::layOutBoard()
{
    destroyBoard();
    const int n = game_.boardsize();
    const double scale = fittedPicture_.devicePixelRatio();
    picturesplit_.assign(static_cast<std::size_t>(game_.pieceCount()) + 1, nullptr);
    for (int piece = 1; piece <= game_.pieceCount(); ++piece) {
        const puzzle::Cell home{(piece - 1) / n, (piece - 1) % n};
        const QRect homeRect = cellRect(home).translated(-pictureoriginal_->pos());
        const QRect source(QPoint(static_cast<int>(std::lround(homeRect.left() * scale)),
                                  static_cast<int>(std::lround(homeRect.top() * scale))),
                           QPoint(static_cast<int>(std::lround((homeRect.right() + 1) * scale)) - 1,
                                  static_cast<int>(std::lround((homeRect.bottom() + 1) * scale)) - 1));
        auto* widget = new PieceWidget(piece, fittedPicture_, source, playArea_);
        connect(widget, &PieceWidget::pressed, this, [this] { setCursor(Qt::ForbiddenCursor); });
        connect(widget, &PieceWidget::released, this, [this] { unsetCursor(); });
        connect(widget, &PieceWidget::clicked, this, &frmmain::picturesplit_Click);
        connect(widget, &PieceWidget::keyTyped, this, &frmmain::picturesplit_KeyPress);
        connect(widget, &PieceWidget::arrowPressed, this, &frmmain::moveFocus);
        picturesplit_[static_cast<std::size_t>(piece)] = widget;
        placePiece(widget);
        widget->setVisible(game_.isPieceVisible(piece));
    }
    pictureoriginal_->hide();
    updateTabOrder();
}

void frmmain::placePiece(PieceWidget* widget)
{
    const auto cell = game_.cellOfPiece(widget->piece());
    widget->setGeometry(cellRect(cell));
    widget->setAccessibleName(
        tr("Piece %1, row %2, column %3").arg(widget->piece()).arg(cell.row + 1).arg(cell.column + 1));
}

// Tab walks the pieces in the reading order of the cells they stand in.
void frmmain::updateTabOrder()
{
    QWidget* previous = nullptr;
    const int n = game_.boardsize();
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            QWidget* current = picturesplit_[static_cast<std::size_t>(game_.pieceAt({row, column}))];
            if (previous)
                QWidget::setTabOrder(previous, current);
            previous = current;
        }
    }
}

// The arrow keys move the focus to the piece in the neighbouring cell, passing over the blank.
void frmmain::moveFocus(int fromPiece, Qt::Key direction)
{
    if (!game_.inPlay())
        return;
    const int n = game_.boardsize();
    auto cell = game_.cellOfPiece(fromPiece);
    const int dRow = direction == Qt::Key_Up ? -1 : direction == Qt::Key_Down ? 1 : 0;
    const int dColumn = direction == Qt::Key_Left ? -1 : direction == Qt::Key_Right ? 1 : 0;
    for (;;) {
        cell = {cell.row + dRow, cell.column + dColumn};
        if (cell.row < 0 || cell.row >= n || cell.column < 0 || cell.column >= n)
            return;
        auto* widget = picturesplit_[static_cast<std::size_t>(game_.pieceAt(cell))];
        if (widget->isVisible()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void frmmain::picturesplit_Click(int index)
{
    showClick(index, game_.click(index));
}

// Enter on a piece counts as a click on it; other keys only note the piece.
void frmmain::picturesplit_KeyPress(int index, int characterCode)
{
    showClick(index, game_.keyPress(index, characterCode));
}

void frmmain::showClick(int index, const puzzle::ClickOutcome& outcome)
{
    if (!outcome.counted)
        return;
    lblscoreresult_->setText(QString::number(outcome.attemptsShown));
    if (outcome.moved) {
        placePiece(picturesplit_[static_cast<std::size_t>(index)]);
        placePiece(picturesplit_[1]);
        updateTabOrder();
    }
    if (outcome.solved)
        endOfGame();
}

// The game is won: the clock stops, the missing piece completes the picture, the player is told,
// and the whole picture is laid over the board, which takes no more clicks or keys.
void frmmain::endOfGame()
{
    Timer1.stop();
    picturesplit_[1]->show();
    for (std::size_t piece = 1; piece < picturesplit_.size(); ++piece)
        picturesplit_[piece]->setFocusPolicy(Qt::NoFocus);
    services_.messages->inform(this, kGameOver);
    pictureoriginal_->show();
    pictureoriginal_->raise();
}

// --- The clock ---------------------------------------------------------------------------------

void frmmain::Timer1_Timer()
{
    const auto now = services_.clock().steady;
    setTimeCaption(game_.tick(now));
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

void frmmain::setTimeCaption(std::int64_t seconds)
{
    // A tick that finds the count unchanged (a timer that fired early) writes out nothing.
    if (seconds == shownSeconds_)
        return;
    shownSeconds_ = seconds;
    lbltimeresult_->setText(QString::number(seconds) + QStringLiteral(" Seconds"));
}

void frmmain::showStatusRow(bool visible)
{
    // Fitted when first shown, not at start-up: the row is hidden until the first game, and its
    // font is one more for the system to find.
    if (visible && !statusCaptionsFitted_) {
        fitStatusCaptions();
        statusCaptionsFitted_ = true;
    }
    for (auto* label : {lblscore_, lblscoreresult_, lbltime_, lbltimeresult_})
        label->setVisible(visible);
}

// --- Settings ----------------------------------------------------------------------------------

void frmmain::easy1_Click()
{
    game_.chooseLevel(puzzle::Level::Easy);
    easy1_->setChecked(true);
}

void frmmain::hard1_Click()
{
    game_.chooseLevel(puzzle::Level::Hard);
    hard1_->setChecked(true);
}

void frmmain::chooseSize(int n)
{
    game_.chooseSize(n);
    const auto checked = n == 3 ? threebythree_ : n == 6 ? sixbysix_ : fourbyfour_;
    checked->setChecked(true);
}

void frmmain::threebythree_Click()
{
    chooseSize(3);
}

void frmmain::fourbyfour_Click()
{
    chooseSize(4);
}

void frmmain::sixbysix_Click()
{
    chooseSize(6);
}

// --- The other windows -------------------------------------------------------------------------

void frmmain::opicture1_Click()
{
    if (!game_.flagforload()) {
        services_.messages->inform(this, kLoadFirstToView);
        return;
    }
    if (!frmhelp_) {
        frmhelp_ = new frmhelp();
        frmhelp_->setPicture(fittedPicture_);
    }
    frmhelp_->show();
    frmhelp_->raise();
    frmhelp_->activateWindow();
}

void frmmain::content1_Click()
{
    if (!frmhelpcontent_)
        frmhelpcontent_ = new frmhelpcontent();
    frmhelpcontent_->show();
    frmhelpcontent_->raise();
    frmhelpcontent_->activateWindow();
}

void frmmain::exit1_Click()
{
    close();
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
    delete frmhelp_.data();
    delete frmhelpcontent_.data();
}

} // namespace tilmora
