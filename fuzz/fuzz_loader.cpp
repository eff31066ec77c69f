// libFuzzer entry for picture loading: every input is a file the player picks, refused with one
// sentence naming it, or loaded at a size the game accepts, opaque and at the screen's ratio (the
// fitted sizes are tst_picture's, worked out there apart from the game's arithmetic); and the same
// holds when the input is what the decoder helper answered.

#include "decoder/pictureloader.h"
#include "picture/decoderprotocol.h"
#include "picture/refusalmessages.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

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
            fitted.isNull() || fitted.hasAlphaChannel() || fitted.devicePixelRatio() != 1.0)
            broken = QStringLiteral("loaded empty, too large, transparent or of another ratio");
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
