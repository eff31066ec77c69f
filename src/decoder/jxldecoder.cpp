#include "jxldecoder.h"

#include "pictureformat.h"

#include <jxl/decode.h>
#include <jxl/encode.h>

#include <QFile>
#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>

namespace tilmora {

namespace {

struct DecoderDeleter {
    void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};

using Decoder = std::unique_ptr<JxlDecoder, DecoderDeleter>;

// libjxl's work spread over Qt's thread pool, the threads that scale the picture afterwards: the
// decoder helper starts them before it walls itself in, so no thread is started for a picture. The
// calling thread works too; a pool thread busy elsewhere is simply not asked.
JxlParallelRetCode runOnPool(void* /*runner*/, void* job, JxlParallelRunInit init, JxlParallelRunFunction run,
                             uint32_t start, uint32_t end)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    const auto threads = static_cast<size_t>(std::clamp<qint64>(
        std::min<qint64>(pool->maxThreadCount(), qint64{end} - start), 1, pool->maxThreadCount()));
    if (init(job, threads) != 0)
        return -1;
    std::atomic<uint64_t> next = start;
    const auto work = [&](size_t thread) {
        for (uint64_t value = next++; value < end; value = next++)
            run(job, static_cast<uint32_t>(value), thread);
    };
    QSemaphore finished;
    int helping = 0;
    for (size_t thread = 1; thread < threads; ++thread) {
        if (pool->tryStart([&work, &finished, thread] {
                work(thread);
                finished.release();
            }))
            ++helping;
    }
    work(0);
    finished.acquire(helping);
    return 0;
}

// A decoder for the whole file, which is all there is: a file that ends early is cut short, never
// waited on.
Decoder decoderFor(QByteArrayView bytes, int events)
{
    Decoder decoder(JxlDecoderCreate(nullptr));
    if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), events) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(bytes.data()),
                           static_cast<size_t>(bytes.size())) != JXL_DEC_SUCCESS)
        return nullptr;
    JxlDecoderCloseInput(decoder.get());
    return decoder;
}

// The chromaticities of a colour encoding's primaries and white.
std::array<QPointF, 4> primariesOf(const JxlColorEncoding& encoding)
{
    const auto point = [](const double(&xy)[2]) { return QPointF(xy[0], xy[1]); };
    std::array<QPointF, 4> primaries = kBt2020Primaries;
    if (encoding.primaries == JXL_PRIMARIES_SRGB)
        primaries = {QPointF(0.64, 0.33), QPointF(0.30, 0.60), QPointF(0.15, 0.06)};
    else if (encoding.primaries == JXL_PRIMARIES_P3)
        primaries = {QPointF(0.680, 0.320), QPointF(0.265, 0.690), QPointF(0.150, 0.060)};
    else if (encoding.primaries == JXL_PRIMARIES_CUSTOM)
        primaries = {point(encoding.primaries_red_xy), point(encoding.primaries_green_xy),
                     point(encoding.primaries_blue_xy)};
    primaries[3] = encoding.white_point == JXL_WHITE_POINT_CUSTOM ? point(encoding.white_point_xy)
                   : encoding.white_point == JXL_WHITE_POINT_DCI  ? QPointF(0.314, 0.351)
                                                                  : QPointF(0.3127, 0.3290);
    return primaries;
}

// How the pixels are coded when the picture's colour encoding has an HDR transfer (PQ or HLG). A
// picture stored in libjxl's own colour space is then asked for in that encoding, untouched, for
// the game's conversion of HDR pictures to take it from there as it does every format's.
std::optional<HdrCoding> hdrCodingOf(JxlDecoder* decoder, const JxlBasicInfo& info)
{
    JxlColorEncoding original{};
    if (info.num_color_channels != 3 ||
        JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, &original) !=
            JXL_DEC_SUCCESS ||
        (original.transfer_function != JXL_TRANSFER_FUNCTION_PQ &&
         original.transfer_function != JXL_TRANSFER_FUNCTION_HLG))
        return std::nullopt;
    if (info.uses_original_profile == JXL_FALSE &&
        JxlDecoderSetPreferredColorProfile(decoder, &original) != JXL_DEC_SUCCESS)
        return std::nullopt;
    JxlColorEncoding handed{};
    if (JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &handed) !=
            JXL_DEC_SUCCESS ||
        handed.transfer_function != original.transfer_function)
        return std::nullopt;
    return HdrCoding{handed.transfer_function == JXL_TRANSFER_FUNCTION_PQ ? HdrCoding::Transfer::Pq
                                                                          : HdrCoding::Transfer::Hlg,
                     primariesOf(handed)};
}

// The colours of the pixels libjxl hands over. A picture stored in libjxl's own colour space has
// them converted to sRGB as it is decoded, in floating point (left to itself, libjxl would hand over
// linear sRGB, which eight bits render coarsely in the shadows); one stored in its original colours
// comes in them, as a colour encoding or an ICC profile, which libjxl gives as a profile either way.
QColorSpace colourSpaceOf(JxlDecoder* decoder, const JxlBasicInfo& info)
{
    if (info.uses_original_profile == JXL_FALSE) {
        JxlColorEncoding srgb{};
        JxlColorEncodingSetToSRGB(&srgb, info.num_color_channels == 1 ? JXL_TRUE : JXL_FALSE);
        JxlDecoderSetPreferredColorProfile(decoder, &srgb);
    }
    size_t size = 0;
    if (JxlDecoderGetICCProfileSize(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) !=
        JXL_DEC_SUCCESS)
        return {};
    QByteArray profile(static_cast<qsizetype>(size), '\0');
    if (JxlDecoderGetColorAsICCProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                       reinterpret_cast<uint8_t*>(profile.data()), size) != JXL_DEC_SUCCESS)
        return {};
    return colourSpaceOfProfile(profile);
}

// What the codestream's header says: the picture's size upright, its alpha, and the colours libjxl
// hands its pixels over in.
struct Header {
    JxlBasicInfo info{};
    QColorSpace space;
    std::optional<HdrCoding> hdr;
    // Handed over at 16 bits a channel: an opaque picture whose colours are converted afterwards,
    // so that the levels of a wide colour space such as ProPhoto RGB are not rounded to 8 bits
    // before the scaling averages them.
    bool deep = false;
};

// Reads as far as the colours are known. Nothing when the basic header is damaged or cut short; no
// colours when the file ends before them, for the size to be judged all the same.
std::optional<Header> readHeader(JxlDecoder* decoder)
{
    Header header;
    if (JxlDecoderProcessInput(decoder) != JXL_DEC_BASIC_INFO ||
        JxlDecoderGetBasicInfo(decoder, &header.info) != JXL_DEC_SUCCESS)
        return std::nullopt;
    if (JxlDecoderProcessInput(decoder) != JXL_DEC_COLOR_ENCODING)
        return header;
    header.hdr = hdrCodingOf(decoder, header.info);
    if (!header.hdr)
        header.space = colourSpaceOf(decoder, header.info);
    header.deep = header.info.alpha_bits == 0 &&
                  (header.hdr || (header.space.isValid() && header.space != QColorSpace(QColorSpace::SRgb)));
    return header;
}

// The picture, upright, in four channels (opaque when it has no alpha) at 8 bits a channel, or 16
// where the header says: the first frame of an animation, as it is shown, and how its pixels are
// coded when they are HDR. Nothing when the file is damaged or cut short.
std::optional<std::pair<QImage, std::optional<HdrCoding>>> decodeFirstFrame(QByteArrayView bytes)
{
    const Decoder decoder =
        decoderFor(bytes, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE);
    if (!decoder || JxlDecoderSetParallelRunner(decoder.get(), runOnPool, nullptr) != JXL_DEC_SUCCESS)
        return std::nullopt;
    const std::optional<Header> header = readHeader(decoder.get());
    if (!header)
        return std::nullopt;
    const JxlBasicInfo& info = header->info;
    const QImage::Format layout = header->deep           ? QImage::Format_RGBX64
                                  : info.alpha_bits == 0 ? QImage::Format_RGBX8888
                                  : info.alpha_premultiplied != JXL_FALSE
                                      ? QImage::Format_RGBA8888_Premultiplied
                                      : QImage::Format_RGBA8888;
    QImage image(static_cast<int>(info.xsize), static_cast<int>(info.ysize), layout);
    if (image.isNull())
        return std::nullopt;
    const JxlPixelFormat format{4, header->deep ? JXL_TYPE_UINT16 : JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    for (;;) {
        switch (JxlDecoderProcessInput(decoder.get())) {
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            size_t needed = 0;
            if (JxlDecoderImageOutBufferSize(decoder.get(), &format, &needed) != JXL_DEC_SUCCESS ||
                needed > static_cast<size_t>(image.sizeInBytes()) ||
                JxlDecoderSetImageOutBuffer(decoder.get(), &format, image.bits(),
                                            static_cast<size_t>(image.sizeInBytes())) != JXL_DEC_SUCCESS)
                return std::nullopt;
            break;
        }
        case JXL_DEC_FULL_IMAGE: // the first frame: the rest of an animation is never decoded
            image.setColorSpace(header->space);
            return std::pair{std::move(image), header->hdr};
        default: // an error, or a file that ends before its picture does
            return std::nullopt;
        }
    }
}

class JxlFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "jxl"; }
    // A bare codestream, or the container's signature box.
    bool recognises(QByteArrayView head) const override
    {
        return head.startsWith("\xff\x0a") || head.startsWith(QByteArrayView("\0\0\0\x0cJXL \r\n\x87\n", 12));
    }
    // The size of the picture upright, from the codestream's header: libjxl decodes it turned as the
    // file says, so no orientation is applied on top. An empty size when the header cannot be read.
    std::optional<DeclaredPicture> ownHeader(const PictureSource& file) const override
    {
        QByteArray read;
        const Decoder decoder =
            decoderFor(wholeFile(file, read), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING);
        const std::optional<Header> header = decoder ? readHeader(decoder.get()) : std::nullopt;
        if (!header)
            return DeclaredPicture{};
        return DeclaredPicture{QSize(static_cast<int>(std::min<uint32_t>(header->info.xsize, INT_MAX)),
                                     static_cast<int>(std::min<uint32_t>(header->info.ysize, INT_MAX))),
                               {},
                               header->deep ? 64 : 32};
    }
    // At its peak, the picture libjxl writes and libjxl's own buffers of the frame: measured at
    // about 7 bytes a pixel in all with a picture of four bytes a pixel, lossy or lossless, at 12
    // and 24 megapixels; four more at 16 bits a channel.
    qint64 peakBytes(const DeclaredPicture& declared, QSize /*storedTarget*/) const override
    {
        const qint64 bytesPerPixel = declared.bitsPerPixel / 8 + 6;
        return qint64{declared.stored.width()} * declared.stored.height() * bytesPerPixel;
    }
    OwnDecode decode(const PictureSource& file, const DeclaredPicture& /*declared*/,
                     QSize /*storedTarget*/) const override
    {
        QByteArray read;
        auto decoded = decodeFirstFrame(wholeFile(file, read));
        if (!decoded)
            return {std::nullopt, Refusal{Refusal::Reason::Damaged}};
        return {std::move(decoded->first), std::nullopt, std::nullopt, decoded->second};
    }
};

} // namespace

const PictureFormat& jxlFormat()
{
    static const JxlFormat format;
    return format;
}

} // namespace tilmora
