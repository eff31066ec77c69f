#include "loadercheck.h"

#include "picture/fitpicture.h"
#include "mainwindow/frmmain.h"
#include "picture/pictureloader.h"
#include "mainwindow/piecewidget.h"
#include "windowfakes.h"

#include <QFile>

#include <variant>

namespace tilmora::fuzzing {

namespace {

// Pictures larger than this, in pixels, are not handed to the window to cut.
constexpr qint64 kLargestPictureCut = 4'000'000;

// A name with a space and Qt's high-density suffix, which must change nothing.
const QString kFileName = QStringLiteral("fuzzed picture@2x.png");

std::optional<QString> broken(const QString& what)
{
    return what;
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

// The message for a file that cannot be used: one sentence for the player that names the file.
std::optional<QString> checkFailure(const LoadFailure& failure)
{
    const auto error = static_cast<int>(failure.error);
    if (error < static_cast<int>(LoadError::NotRegularFile) || error > static_cast<int>(LoadError::TooLarge))
        return broken(QStringLiteral("unknown error %1").arg(error));
    const QString& message = failure.message;
    if (!message.contains(u'“' + kFileName + u'”') || !message.endsWith(u'.') || message.contains(u'\n'))
        return broken(QStringLiteral("message is not one sentence naming the file: ") + message);
    return std::nullopt;
}

// A loaded picture is opaque, drawn for the screen's ratio and fitted to the play area.
std::optional<QString> checkPicture(const LoadedPicture& picture)
{
    const QSize natural = picture.naturalSize;
    if (natural.isEmpty() || qint64{natural.width()} * natural.height() > kMaxSourcePixels)
        return broken(QStringLiteral("natural size out of range: ") + sizeText(natural));
    const QImage& fitted = picture.fitted;
    if (fitted.isNull() || fitted.hasAlphaChannel() || fitted.devicePixelRatio() != 1.0)
        return broken(QStringLiteral("fitted picture is empty, transparent or of another ratio"));
    if (fitted.size() != fittedPixelSize(natural))
        return broken(
            QStringLiteral("fitted to %1 instead of %2 for a natural %3")
                .arg(sizeText(fitted.size()), sizeText(fittedPixelSize(natural)), sizeText(natural)));
    return std::nullopt;
}

// Start at every size the menu offers: each piece takes a cell with at least a pixel each way,
// and the cells tile the picture exactly. A picture too small for a size is refused with a
// message, and then no board is dealt.
std::optional<QString> checkCuts(frmmain& window, testing::FakeMessages& messages, QSize picture)
{
    for (const int n : {3, 4, 6}) {
        if (n == 3)
            window.threebythree_Click();
        else if (n == 4)
            window.fourbyfour_Click();
        else
            window.sixbysix_Click();
        const auto informedBefore = messages.informed.size();
        const auto dealBefore = window.game().pieceorder();
        const bool boardBefore = window.game().hasBoard();
        window.start1_Click();
        const bool fits = picture.width() >= n && picture.height() >= n;
        if (!fits) {
            // Refused with a message; the board of an earlier size, if any, stays as it was.
            if (messages.informed.size() != informedBefore + 1 || window.game().hasBoard() != boardBefore ||
                window.game().pieceorder() != dealBefore)
                return broken(
                    QStringLiteral("a %1-pixel picture was cut %2 x %2").arg(sizeText(picture)).arg(n));
            continue;
        }
        if (!window.game().inPlay() || window.game().boardsize() != n)
            return broken(QStringLiteral("Start dealt no %1 x %1 board").arg(n));
        const auto& pieces = window.picturesplit();
        if (pieces.size() != static_cast<std::size_t>(n * n) + 1)
            return broken(QStringLiteral("%1 piece widgets for a %2 x %2 board").arg(pieces.size()).arg(n));
        qint64 area = 0;
        for (int piece = 1; piece <= n * n; ++piece) {
            const QRect cell = window.cellRect(window.game().cellOfPiece(piece));
            const QRect shown = pieces[static_cast<std::size_t>(piece)]->geometry();
            if (cell.isEmpty() || shown != cell)
                return broken(
                    QStringLiteral("piece %1 of %2 x %2 is empty or out of its cell").arg(piece).arg(n));
            area += qint64{cell.width()} * cell.height();
        }
        if (area != qint64{picture.width()} * picture.height())
            return broken(QStringLiteral("the %1 x %1 cells do not tile the picture").arg(n));
    }
    return std::nullopt;
}

} // namespace

LoaderCheck::LoaderCheck()
    : messages_(std::make_shared<testing::FakeMessages>())
{
    frmmain::Services services;
    services.cdl = std::make_shared<testing::FakeChooser>();
    services.messages = messages_;
    services.seed = 7;
    window_ = std::make_unique<frmmain>(services);
}

LoaderCheck::~LoaderCheck() = default;

std::optional<QString> LoaderCheck::check(std::span<const std::uint8_t> bytes)
{
    const QString path = folder_.filePath(kFileName);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            return broken(QStringLiteral("cannot write ") + path);
    }

    const auto result = loadPicture(path);
    if (const auto* failure = std::get_if<LoadFailure>(&result))
        return checkFailure(*failure);
    const auto& picture = std::get<LoadedPicture>(result);
    if (auto problem = checkPicture(picture))
        return problem;

    // The window reads the same file to the same picture, then cuts it. How it cuts depends only
    // on the fitted size, and what can go wrong there goes wrong with small pictures; a large one
    // would only be decoded a second time, for seconds when it declares 100 megapixels.
    if (qint64{picture.naturalSize.width()} * picture.naturalSize.height() > kLargestPictureCut)
        return std::nullopt;
    messages_->warned.clear();
    messages_->informed.clear();
    if (!window_->loadPictureFile(path) || !messages_->warned.isEmpty())
        return broken(QStringLiteral("the window refused a picture the loader read"));
    if (window_->picturefile() != path || window_->game().hasBoard())
        return broken(QStringLiteral("the window did not take the new picture"));
    return checkCuts(*window_, *messages_, picture.fitted.size());
}

} // namespace tilmora::fuzzing
