// A long session of a restless player: thousands of random commands on the real main window,
// good and bad pictures, every size and level, clicks, Enter, the clock and the other windows.
// After every command the board on screen must match the game, and every message box must be one
// the command can show. The memory held at the end must be close to that at the middle.
//
// TILMORA_SOAK_ACTIONS sets the number of commands (20,000 when unset); TILMORA_SOAK_SEED the
// seed, to replay a failing run.

#include "picture/fitpicture.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/piecewidget.h"
#include "windowfakes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImageWriter>
#include <QLabel>
#include <QRandomGenerator>
#include <QtTest>

#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define TILMORA_SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TILMORA_SOAK_UNDER_ASAN 1
#endif
#endif
#ifdef TILMORA_SOAK_UNDER_ASAN
// From the sanitizer runtime (GCC installs no header for them).
extern "C" void __sanitizer_purge_allocator();
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using tilmora::frmmain;
using tilmora::PieceWidget;
using namespace tilmora::testing;
using namespace std::chrono_literals;

namespace {

const QString kGameOver = QStringLiteral("                        Game is over.");
const QString kLoadFirstToStart = QStringLiteral("First Load the picture.");
const QString kLoadFirstToView = QStringLiteral("First load the picture.");

// How much memory the process holds, in bytes.
struct MemoryUse {
    qint64 resident = 0; // pages in memory, from /proc/self/statm
    qint64 heap = -1;    // the blocks the program holds, as AddressSanitizer counts them; -1 without it
};

// Measured once the allocators have given back what they only keep: glibc its free pages,
// AddressSanitizer the freed blocks it holds in quarantine (up to 256 MiB).
MemoryUse memoryUse()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MemoryUse use;
#ifdef TILMORA_SOAK_UNDER_ASAN
    __sanitizer_purge_allocator();
    use.heap = static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#endif
    ::malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        if (fields.size() >= 2)
            use.resident = fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE);
    }
    return use;
}

double mebibytes(qint64 bytes)
{
    return static_cast<double>(bytes) / (1 << 20);
}

// Qt's readers and the offscreen platform grumble about every bad file and every raise(); twenty
// thousand commands would drown the test's own output (and reach QtTest's cap on warnings).
QtMessageHandler qtTestHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtWarningMsg && type != QtDebugMsg)
        qtTestHandler(type, context, message);
}

int environmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

struct PictureFile {
    QString path;
    bool good = false;
};

} // namespace

class SoakTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void randomPlayerKeepsTheWindowConsistent();

private:
    void writePictures();
    void act(QRandomGenerator& random);
    [[nodiscard]] QString checkWindow() const;
    void expectMessages(QStringList informed, QStringList warned = {});
    [[nodiscard]] QSize pictureSize() const;
    [[nodiscard]] PieceWidget* visiblePiece(int piece) const;

    QTemporaryDir dir_;
    QList<PictureFile> files_;
    std::shared_ptr<FakeChooser> chooser_;
    std::shared_ptr<FakeMessages> messages_;
    std::shared_ptr<FakeClock> clock_;
    std::unique_ptr<frmmain> window_;
    int helpfulStreak_ = 0;
    int picturesLoaded_ = 0;
    int picturesRefused_ = 0;
    QString lastAction_;
    QString unexpected_; // the first message box no command should have shown
};

void SoakTest::writePictures()
{
    const auto picture = [this](const QString& name, QSize size, const char* format) {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixelColor(
                    x, y, QColor::fromHsv(x * 300 / size.width(), 200, 100 + y * 155 / size.height()));
        const QString path = dir_.filePath(name);
        QImageWriter writer(path, format);
        if (!writer.write(image))
            qFatal("cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
        files_ << PictureFile{path, true};
    };
    picture(QStringLiteral("square.png"), {440, 440}, "png");
    picture(QStringLiteral("photo.jpg"), {1200, 800}, "jpeg");
    picture(QStringLiteral("banner.png"), {900, 300}, "png");
    picture(QStringLiteral("small.jpg"), {40, 30}, "jpeg");
    picture(QStringLiteral("five.png"), {5, 5}, "png"); // too small for 6 x 6
    picture(QStringLiteral("two.png"), {2, 2}, "png");  // too small for any board
    picture(QStringLiteral("pixel.png"), {1, 1}, "png");

    const auto bad = [this](const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        files_ << PictureFile{path, false};
    };
    bad(QStringLiteral("empty.png"), {});
    bad(QStringLiteral("notes.png"), "a shopping list, not a picture\n");
    QFile square(dir_.filePath(QStringLiteral("square.png")));
    QVERIFY(square.open(QIODevice::ReadOnly));
    bad(QStringLiteral("cut.png"), square.readAll().left(600));
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.png")));
    files_ << PictureFile{dir_.filePath(QStringLiteral("folder.png")), false};
    files_ << PictureFile{dir_.filePath(QStringLiteral("gone.png")), false};
}

void SoakTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    writePictures();
    const Fakes fakes;
    chooser_ = fakes.chooser;
    messages_ = fakes.messages;
    clock_ = fakes.clock;
    window_ = std::make_unique<frmmain>(fakes.services(20261206));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void SoakTest::cleanupTestCase()
{
    window_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QSize SoakTest::pictureSize() const
{
    return window_->findChild<QWidget*>(QStringLiteral("pictureoriginal"))->size();
}

PieceWidget* SoakTest::visiblePiece(int piece) const
{
    const auto& pieces = window_->picturesplit();
    if (piece < 1 || static_cast<std::size_t>(piece) >= pieces.size())
        return nullptr;
    PieceWidget* widget = pieces[static_cast<std::size_t>(piece)];
    return widget->isVisible() ? widget : nullptr;
}

// The message boxes the last command showed must be exactly these; the first surprise is kept.
void SoakTest::expectMessages(QStringList informed, QStringList warned)
{
    if (unexpected_.isEmpty() && (messages_->informed != informed || messages_->warned != warned))
        unexpected_ = QStringLiteral("after %1: informed [%2], warned [%3]; expected [%4], [%5]")
                          .arg(lastAction_, messages_->informed.join(u'|'), messages_->warned.join(u'|'),
                               informed.join(u'|'), warned.join(u'|'));
    messages_->informed.clear();
    messages_->warned.clear();
}

// One command, picked at random with a player's sense of proportion: mostly moves.
void SoakTest::act(QRandomGenerator& random)
{
    const auto& game = window_->game();
    const int roll = helpfulStreak_ > 0 ? 70 : random.bounded(100);
    const bool wasInPlay = game.inPlay();
    const auto endOfGame = [&] {
        return wasInPlay && game.isOver() ? QStringList{kGameOver} : QStringList{};
    };

    if (roll < 10) {
        const PictureFile& file = files_[random.bounded(files_.size())];
        lastAction_ = QStringLiteral("load ") + QFileInfo(file.path).fileName();
        chooser_->next = file.path;
        window_->loadpicture1_Click();
        const QString name = u'“' + QFileInfo(file.path).fileName() + u'”';
        ++(file.good ? picturesLoaded_ : picturesRefused_);
        if (file.good)
            expectMessages({});
        else if (messages_->warned.size() == 1 && messages_->warned.front().contains(name))
            expectMessages({}, messages_->warned);
        else
            expectMessages({}, {QStringLiteral("one warning naming ") + name});
        if (file.good != (window_->picturefile() == file.path) && unexpected_.isEmpty())
            unexpected_ = lastAction_ + QStringLiteral(": the picture on show is ") + window_->picturefile();
    } else if (roll < 13) {
        const int n = std::array{3, 4, 6}[random.bounded(3U)];
        lastAction_ = QStringLiteral("size %1").arg(n);
        (n == 3   ? window_->threebythree_Click()
         : n == 4 ? window_->fourbyfour_Click()
                  : window_->sixbysix_Click());
        expectMessages({});
    } else if (roll < 15) {
        const bool hard = random.bounded(2) == 1;
        lastAction_ = hard ? QStringLiteral("Hard") : QStringLiteral("Easy");
        (hard ? window_->hard1_Click() : window_->easy1_Click());
        expectMessages({});
    } else if (roll < 20) {
        lastAction_ = QStringLiteral("Start");
        const int n = game.gridsize();
        const QSize picture = pictureSize();
        QStringList expected;
        if (!game.flagforload())
            expected << kLoadFirstToStart;
        else if (picture.width() < n || picture.height() < n)
            expected << QStringLiteral("The picture is too small to cut into %1 x %1 pieces.").arg(n);
        window_->findChild<QAction*>(QStringLiteral("start1"))->trigger();
        expectMessages(expected);
    } else if (roll < 58) {
        // A piece on the board, or any number when there is no board.
        const int piece = game.hasBoard() ? 1 + random.bounded(game.pieceCount()) : random.bounded(-2, 40);
        lastAction_ = QStringLiteral("click %1").arg(piece);
        if (auto* widget = visiblePiece(piece); widget && random.bounded(2) == 0)
            QTest::mouseClick(widget, Qt::LeftButton);
        else
            window_->picturesplit_Click(piece);
        expectMessages(endOfGame());
    } else if (roll < 70) {
        const int piece = game.hasBoard() ? 1 + random.bounded(game.pieceCount()) : random.bounded(-2, 40);
        const bool enter = random.bounded(3) != 0;
        lastAction_ = QStringLiteral("%1 on %2").arg(enter ? "Enter" : "x").arg(piece);
        if (auto* widget = visiblePiece(piece); widget && random.bounded(2) == 0)
            QTest::keyClick(widget, enter ? Qt::Key_Return : Qt::Key_X);
        else
            window_->picturesplit_KeyPress(piece, enter ? 13 : 'x');
        expectMessages(endOfGame());
    } else if (roll < 74) {
        // The move that brings an Easy game closest to done, a few dozen times in a row, so games
        // do end now and then.
        helpfulStreak_ = helpfulStreak_ > 0 ? helpfulStreak_ - 1 : random.bounded(1, 50);
        int piece = 1;
        if (game.inPlay()) {
            const int n = game.boardsize();
            const auto blank = game.blankCell();
            piece = blank.row * n + blank.column + 1;
            for (int cell = 1; piece == 1 && cell < n * n; ++cell)
                if (game.pieceAt({cell / n, cell % n}) != cell + 1)
                    piece = game.pieceAt({cell / n, cell % n});
        }
        lastAction_ = QStringLiteral("helpful click %1").arg(piece);
        window_->picturesplit_Click(piece);
        expectMessages(endOfGame());
    } else if (roll < 90) {
        lastAction_ = QStringLiteral("tick");
        clock_->advance(std::chrono::milliseconds(random.bounded(2000)));
        window_->Timer1_Timer();
        expectMessages({});
    } else if (roll < 95) {
        lastAction_ = QStringLiteral("Original Picture");
        const bool loaded = game.flagforload();
        window_->opicture1_Click();
        expectMessages(loaded ? QStringList{} : QStringList{kLoadFirstToView});
    } else if (roll < 98) {
        lastAction_ = QStringLiteral("Help");
        window_->content1_Click();
        expectMessages({});
    } else {
        lastAction_ = QStringLiteral("close the other windows");
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget != window_.get() && widget->isVisible())
                widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        expectMessages({});
    }
}

// What the player sees of the board is what the game holds; an empty string when it is.
QString SoakTest::checkWindow() const
{
    const auto& game = window_->game();
    const auto& pieces = window_->picturesplit();
    // At most one of each window of the Quick Help menu, however often they were opened.
    for (const char* kind : {"tilmora::frmhelp", "tilmora::frmhelpcontent"}) {
        const auto all = QApplication::topLevelWidgets();
        const auto count = std::count_if(all.begin(), all.end(), [kind](const QWidget* widget) {
            return qstrcmp(widget->metaObject()->className(), kind) == 0;
        });
        if (count > 1)
            return QStringLiteral("%1 windows %2").arg(count).arg(kind);
    }
    if (!game.hasBoard())
        return pieces.empty() ? QString() : QStringLiteral("piece widgets without a board");
    if (pieces.size() != static_cast<std::size_t>(game.pieceCount()) + 1)
        return QStringLiteral("%1 piece widgets for %2 pieces").arg(pieces.size() - 1).arg(game.pieceCount());
    for (int piece = 1; piece <= game.pieceCount(); ++piece) {
        const PieceWidget* widget = pieces[static_cast<std::size_t>(piece)];
        if (widget->piece() != piece)
            return QStringLiteral("widget %1 shows piece %2").arg(piece).arg(widget->piece());
        if (widget->geometry() != window_->cellRect(game.cellOfPiece(piece)))
            return QStringLiteral("piece %1 is not in its cell").arg(piece);
        if (widget->isVisible() != game.isPieceVisible(piece))
            return QStringLiteral("piece %1 is %2").arg(piece).arg(widget->isVisible() ? "shown" : "hidden");
    }
    return {};
}

void SoakTest::randomPlayerKeepsTheWindowConsistent()
{
    const int actions = environmentNumber("TILMORA_SOAK_ACTIONS", 20000);
    const auto seed = static_cast<quint32>(environmentNumber("TILMORA_SOAK_SEED", 1206));
    QRandomGenerator random(seed);
    MemoryUse middle;
    int gamesWon = 0;
    qtTestHandler = qInstallMessageHandler(quietHandler);
    for (int action = 1; action <= actions; ++action) {
        const bool wasInPlay = window_->game().inPlay();
        act(random);
        gamesWon += wasInPlay && window_->game().isOver() ? 1 : 0;
        const QString problem = checkWindow();
        if (!problem.isEmpty() || !unexpected_.isEmpty()) {
            qInstallMessageHandler(qtTestHandler);
            QFAIL(qPrintable(QStringLiteral("action %1 (%2), seed %3: %4")
                                 .arg(action)
                                 .arg(lastAction_)
                                 .arg(seed)
                                 .arg(problem.isEmpty() ? unexpected_ : problem)));
        }
        if (action == actions / 2)
            middle = memoryUse();
    }
    qInstallMessageHandler(qtTestHandler);
    const MemoryUse end = memoryUse();
    qInfo("%d actions, %d pictures loaded, %d files refused, %d games won", actions, picturesLoaded_,
          picturesRefused_, gamesWon);
    qInfo("resident memory %.1f MiB at the middle, %.1f MiB at the end", mebibytes(middle.resident),
          mebibytes(end.resident));
    QVERIFY(gamesWon > 0);

    // Whatever the second half allocated, it gave back. Under AddressSanitizer the resident size
    // also holds the sanitizer's own records (the stack of every allocation site reached, the
    // bookkeeping of freed blocks), which keep growing slowly with no leak at all; there the bound
    // applies to the heap the program holds, as the sanitizer counts it.
    constexpr qint64 kAllowedGrowth = 8 << 20;
    if (end.heap >= 0) {
        qInfo("heap in use %.1f MiB at the middle, %.1f MiB at the end", mebibytes(middle.heap),
              mebibytes(end.heap));
        QVERIFY2(end.heap - middle.heap < kAllowedGrowth,
                 qPrintable(QStringLiteral("heap grew by %1 KiB").arg((end.heap - middle.heap) / 1024)));
    } else {
        QVERIFY2(end.resident - middle.resident < kAllowedGrowth,
                 qPrintable(QStringLiteral("grew by %1 KiB").arg((end.resident - middle.resident) / 1024)));
    }
}

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
