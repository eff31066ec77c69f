#include "webpdecoder.h"

#include "pictureformat.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <QtGlobal>

#include <cstdint>
#include <memory>

namespace tilmora {

namespace {

// QImage's 32-bit formats are whole words of 0xAARRGGBB, so their byte order in memory follows
// the machine's; libwebp names its modes by byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr WEBP_CSP_MODE kOpaqueMode = MODE_BGRA;
constexpr WEBP_CSP_MODE kPremultipliedMode = MODE_bgrA;
#else
constexpr WEBP_CSP_MODE kOpaqueMode = MODE_ARGB;
constexpr WEBP_CSP_MODE kPremultipliedMode = MODE_Argb;
#endif

const std::uint8_t* bytesOf(QByteArrayView data)
{
    return reinterpret_cast<const std::uint8_t*>(data.data());
}

std::size_t sizeOf(QByteArrayView data)
{
    return static_cast<std::size_t>(data.size());
}

struct DemuxerDeleter {
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};

struct FrameIteratorReleaser {
    void operator()(WebPIterator* iterator) const { WebPDemuxReleaseIterator(iterator); }
};

struct ChunkIteratorReleaser {
    void operator()(WebPChunkIterator* iterator) const { WebPDemuxReleaseChunkIterator(iterator); }
};

// The colour space of the ICC profile in the file's ICCP chunk. Only an extended file (VP8X)
// can carry one, and its header says whether it does: a simple file is never demuxed for it.
QColorSpace colourSpaceOf(QByteArrayView data)
{
    constexpr qsizetype kFlags = 20;
    constexpr uchar kHasProfile = 0x20;
    if (data.size() <= kFlags || data.sliced(12, 4) != "VP8X" || (data[kFlags] & kHasProfile) == 0)
        return {};
    const WebPData whole{bytesOf(data), sizeOf(data)};
    const std::unique_ptr<WebPDemuxer, DemuxerDeleter> demuxer(WebPDemux(&whole));
    WebPChunkIterator chunk{};
    if (!demuxer || !WebPDemuxGetChunk(demuxer.get(), "ICCP", 1, &chunk))
        return {};
    const std::unique_ptr<WebPChunkIterator, ChunkIteratorReleaser> release(&chunk);
    return colourSpaceOfProfile(QByteArray(reinterpret_cast<const char*>(chunk.chunk.bytes),
                                           static_cast<qsizetype>(chunk.chunk.size)));
}

// The bitstream of a still picture's one frame, or of an animation's first frame when it covers
// the whole canvas (then its later frames, and the blending between them, make no difference to
// what is shown first). `data` must outlive the view returned.
std::optional<QByteArrayView> firstFrame(QByteArrayView data, const WebPBitstreamFeatures& features,
                                         bool& hasAlpha)
{
    hasAlpha = features.has_alpha != 0;
    if (features.has_animation == 0)
        return data;

    const WebPData whole{bytesOf(data), sizeOf(data)};
    const std::unique_ptr<WebPDemuxer, DemuxerDeleter> demuxer(WebPDemux(&whole));
    if (!demuxer)
        return std::nullopt;
    WebPIterator frame{};
    if (!WebPDemuxGetFrame(demuxer.get(), 1, &frame))
        return std::nullopt;
    const std::unique_ptr<WebPIterator, FrameIteratorReleaser> release(&frame);
    const bool coversCanvas = frame.x_offset == 0 && frame.y_offset == 0 && frame.width == features.width &&
                              frame.height == features.height;
    if (!coversCanvas || frame.complete == 0 || frame.fragment.bytes == nullptr)
        return std::nullopt;
    hasAlpha = frame.has_alpha != 0;
    // The fragment points into `data`, not into the demuxer, so it outlives both.
    return QByteArrayView(reinterpret_cast<const char*>(frame.fragment.bytes),
                          static_cast<qsizetype>(frame.fragment.size));
}

} // namespace

std::optional<QSize> webpSize(QByteArrayView data)
{
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(bytesOf(data), sizeOf(data), &features) != VP8_STATUS_OK)
        return std::nullopt;
    if (features.width <= 0 || features.height <= 0)
        return std::nullopt;
    return QSize(features.width, features.height);
}

std::optional<QImage> decodeWebpScaled(QByteArrayView data, QSize target, qint64 maxSourcePixels)
{
    if (target.isEmpty() || qint64{target.width()} * target.height() > maxSourcePixels)
        return std::nullopt;

    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return std::nullopt;
    if (WebPGetFeatures(bytesOf(data), sizeOf(data), &config.input) != VP8_STATUS_OK)
        return std::nullopt;
    const WebPBitstreamFeatures& features = config.input;
    if (features.width <= 0 || features.height <= 0 ||
        qint64{features.width} * features.height > maxSourcePixels)
        return std::nullopt;

    bool hasAlpha = false;
    const auto bitstream = firstFrame(data, features, hasAlpha);
    if (!bitstream)
        return std::nullopt;

    // Decoded straight into the QImage: no intermediate buffer, no copy.
    QImage image(target, hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;

    if (target != QSize(features.width, features.height)) {
        config.options.use_scaling = 1;
        config.options.scaled_width = target.width();
        config.options.scaled_height = target.height();
    }
    // Lossy pictures filter one row of macroblocks while the next is parsed.
    config.options.use_threads = 1;
    config.output.colorspace = hasAlpha ? kPremultipliedMode : kOpaqueMode;
    config.output.is_external_memory = 1;
    config.output.width = target.width();
    config.output.height = target.height();
    config.output.u.RGBA.rgba = image.bits();
    config.output.u.RGBA.stride = static_cast<int>(image.bytesPerLine());
    config.output.u.RGBA.size = static_cast<std::size_t>(image.sizeInBytes());

    const VP8StatusCode status = WebPDecode(bytesOf(*bitstream), sizeOf(*bitstream), &config);
    // Nothing was allocated for the output, but the call is what the library asks for.
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        return std::nullopt;
    image.setColorSpace(colourSpaceOf(data));
    return image;
}

namespace {

// libwebp decodes straight to the shown size, which Qt's reader cannot. Whatever it turns down
// (damaged data, an animation whose first frame covers only part of the canvas) goes on to Qt's
// reader, which shows what it can or says what is wrong.
class WebpFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "webp"; }
    bool recognises(QByteArrayView head) const override
    {
        return head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8, 4) == "WEBP";
    }

    OwnDecode decode(const PictureSource& file, const DeclaredPicture& declared,
                     QSize storedTarget) const override
    {
        if (!shownSmaller(declared.stored, storedTarget))
            return {};
        // A picture whose colours are converted afterwards is decoded at twice the size and scaled
        // the rest of the way at 16 bits a channel: its averages are not rounded to the 8 bits of a
        // wide colour space such as ProPhoto RGB before they are converted.
        const QColorSpace space = colourSpaceOf(file.bytes);
        if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
            return {decodeWebpScaled(file.bytes, storedTarget, kMaxSourcePixels), std::nullopt};
        std::optional<QImage> image =
            decodeWebpScaled(file.bytes, (storedTarget * 2).boundedTo(declared.stored), kMaxSourcePixels);
        if (image && !image->hasAlphaChannel())
            image->convertTo(QImage::Format_RGBX64);
        return {std::move(image), std::nullopt};
    }
};

} // namespace

const PictureFormat& webpFormat()
{
    static const WebpFormat format;
    return format;
}

} // namespace tilmora
