// libFuzzer entry for picture loading: every input is a file the player picks, refused with one
// sentence naming it, or loaded at a size the game accepts, fitted, opaque and at the screen's ratio;
// and the same holds when the input is what the decoder helper answered.

#include "decoder/pictureloader.h"
#include "picture/decoderprotocol.h"
#include "picture/refusalmessages.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The rule of the play area, apart from the game's arithmetic: below 440 pixels both ways a picture
// keeps its size; otherwise its longer side (its height, for a square) is 440 and the other follows
// its proportions to within a pixel, never under one.
bool fittedByTheRule(QSize fitted, QSize natural)
{
    if (natural.width() < 440 && natural.height() < 440)
        return fitted == natural;
    const bool upright = natural.height() >= natural.width();
    const QSize along = upright ? natural.transposed() : natural; // the longer side first
    const QSize shown = upright ? fitted.transposed() : fitted;
    const double other = std::max(1.0, 440.0 * along.height() / along.width());
    return shown.width() == 440 && std::abs(shown.height() - other) <= 1;
}

void checkRules(const tilmora::LoadResult& result, const QString& name)
{
    QString broken;
    if (const auto* refusal = std::get_if<tilmora::Refusal>(&result)) {
        const QString message = tilmora::refusalMessage(*refusal, name);
        if (!message.contains(u'“' + name + u'”') || !message.endsWith(u'.') || message.contains(u'\n'))
            broken = QStringLiteral("not one sentence naming the file: ") + message;
    } else {
        const auto& [fitted, natural] = std::get<tilmora::LoadedPicture>(result);
        if (natural.isEmpty() || qint64{natural.width()} * natural.height() > tilmora::kMaxSourcePixels ||
            !fittedByTheRule(fitted.size(), natural) || fitted.hasAlphaChannel() ||
            fitted.devicePixelRatio() != 1.0)
            broken = QStringLiteral("loaded of another size, transparent or of another ratio");
    }
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "picture loading rule broken: %s\n", qPrintable(broken));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir folder;
    const QString name = QStringLiteral("fuzzed picture@2x.png"); // a space and "@2x" change nothing
    QFile file(folder.filePath(name));
    const auto length = static_cast<qint64>(size);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(data), length) != length)
        std::abort();
    file.close();

    // The same bytes as the decoder helper's answer: the game believes only what the loader could
    // have said.
    tilmora::AnswerReader answer(1.0);
    answer.take(reinterpret_cast<const char*>(data), length);
    for (const tilmora::LoadResult& result : {tilmora::loadPicture(file.fileName()), answer.result()})
        checkRules(result, name);
    return 0;
}
