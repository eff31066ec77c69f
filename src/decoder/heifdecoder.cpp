#include "heifdecoder.h"

#include "pictureformat.h"

#include <libheif/heif.h>

#include <QFile>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace tilmora {

namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct NclxDeleter {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<const heif_image_handle, HandleDeleter>;

// The file's boxes parsed (nothing decoded) and its primary image; libheif reads from the bytes it
// is given without copying them, so they outlive it.
struct Primary {
    Context context;
    Handle handle;
};

// Nothing when libheif cannot read it; `error` then says why.
std::optional<Primary> primaryOf(QByteArrayView bytes, heif_error* error = nullptr)
{
    Context context(heif_context_alloc());
    if (!context)
        return std::nullopt;
    // A tiled photo's tiles are decoded in parallel, each by a decoder of its own: beyond one a
    // processor, a thread adds only memory (some 6 MiB each for a phone's HEIC).
    heif_context_set_max_decoding_threads(context.get(), QThread::idealThreadCount());
    heif_error read = heif_context_read_from_memory_without_copy(context.get(), bytes.data(),
                                                                 static_cast<size_t>(bytes.size()), nullptr);
    heif_image_handle* handle = nullptr;
    if (read.code == heif_error_Ok)
        read = heif_context_get_primary_image_handle(context.get(), &handle);
    if (error != nullptr)
        *error = read;
    if (read.code != heif_error_Ok)
        return std::nullopt;
    return Primary{std::move(context), Handle(handle)};
}

// Whether the file has a box of this type at its top level, as far as its boxes can be followed.
bool hasTopLevelBox(QByteArrayView bytes, QByteArrayView type)
{
    for (qsizetype at = 0; at + 8 <= bytes.size();) {
        if (bytes.sliced(at + 4, 4) == type)
            return true;
        quint64 size = qFromBigEndian<quint32>(bytes.data() + at);
        if (size == 1 && at + 16 <= bytes.size()) // a 64-bit size follows the type
            size = qFromBigEndian<quint64>(bytes.data() + at + 8);
        if (size < 8 || size > quint64(bytes.size() - at)) // 0 runs to the end of the file
            return false;
        at += static_cast<qsizetype>(size);
    }
    return false;
}

// What a file libheif cannot read is, when it is not damaged: a sequence of pictures with no still
// one in it (its frames are a track in the `moov` box, where a still picture is an item of the
// `meta` box, and libheif 1.15 reads only items), or a picture using a feature libheif does not
// have. The player is told the kind rather than that a good file is broken.
std::optional<Refusal> kindNotRead(QByteArrayView bytes, const heif_error& error)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const int length = static_cast<int>(std::min<qsizetype>(bytes.size(), std::numeric_limits<int>::max()));
    const heif_brand major = heif_main_brand(data, length);
    const auto names = [&](heif_brand brand, const char* fourcc) {
        return major == brand || heif_has_compatible_brand(data, length, fourcc) != 0;
    };
    // libheif turns down a file without the brands it reads (a sequence's only, say), a still
    // picture in it or not; with neither a sequence nor a still picture, the file is damaged.
    const bool brands = error.code == heif_error_Unsupported_filetype;
    const bool still = hasTopLevelBox(bytes, "meta");
    if (hasTopLevelBox(bytes, "moov") && (!still || brands))
        return Refusal{Refusal::Reason::KindNotOpened,
                       names(heif_avis, "avis") ? "animated AVIF" : "HEIF image sequence"};
    if (error.code == heif_error_Unsupported_feature || (brands && still))
        return Refusal{Refusal::Reason::KindNotOpened, names(heif_avif, "avif") || names(heif_avis, "avis")
                                                           ? "unsupported AVIF"
                                                           : "unsupported HEIF"};
    return std::nullopt;
}

// An nclx transfer characteristic as Qt's colour spaces know it. The video curves (BT.709, BT.601,
// BT.2020) are near enough sRGB's to be shown as it; HDR curves (PQ, HLG) have no equivalent and
// leave the picture as it is.
std::optional<std::pair<QColorSpace::TransferFunction, float>>
transferOf(heif_transfer_characteristics transfer)
{
    switch (transfer) {
    case heif_transfer_characteristic_linear:
        return std::pair{QColorSpace::TransferFunction::Linear, 1.0F};
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
        return std::pair{QColorSpace::TransferFunction::Gamma, 2.2F};
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
        return std::pair{QColorSpace::TransferFunction::Gamma, 2.8F};
    case heif_transfer_characteristic_ITU_R_BT_709_5:
    case heif_transfer_characteristic_ITU_R_BT_601_6:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_10bit:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_12bit:
    case heif_transfer_characteristic_IEC_61966_2_1:
    case heif_transfer_characteristic_unspecified:
        return std::pair{QColorSpace::TransferFunction::SRgb, 0.0F};
    default:
        return std::nullopt;
    }
}

// The file's nclx values, when its colr boxes hold them.
std::unique_ptr<heif_color_profile_nclx, NclxDeleter> nclxOf(const heif_image_handle* handle)
{
    heif_color_profile_nclx* read = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &read).code != heif_error_Ok)
        return nullptr;
    return std::unique_ptr<heif_color_profile_nclx, NclxDeleter>(read);
}

// How the pixels are coded when the nclx values give them an HDR transfer (PQ or HLG). Those win over
// an ICC profile beside them, which is there for readers that know no nclx values: the format's own
// word on the colours is the nclx box, as libheif reads both.
std::optional<HdrCoding> hdrCodingOf(const heif_image_handle* handle)
{
    const auto nclx = nclxOf(handle);
    if (!nclx)
        return std::nullopt;
    HdrCoding coding;
    switch (nclx->transfer_characteristics) {
    case heif_transfer_characteristic_ITU_R_BT_2100_0_PQ:
        coding.transfer = HdrCoding::Transfer::Pq;
        break;
    case heif_transfer_characteristic_ITU_R_BT_2100_0_HLG:
        coding.transfer = HdrCoding::Transfer::Hlg;
        break;
    default:
        return std::nullopt;
    }
    const auto point = [](float x, float y) { return QPointF(double(x), double(y)); };
    coding.primaries = nclx->color_primaries == heif_color_primaries_unspecified
                           ? kBt2020Primaries
                           : std::array{point(nclx->color_primary_red_x, nclx->color_primary_red_y),
                                        point(nclx->color_primary_green_x, nclx->color_primary_green_y),
                                        point(nclx->color_primary_blue_x, nclx->color_primary_blue_y),
                                        point(nclx->color_primary_white_x, nclx->color_primary_white_y)};
    return coding;
}

// Whether the picture comes from libheif at 16 bits a channel: an opaque HDR picture of more than
// 8 bits, whose levels eight bits would band.
bool decodedDeep(const heif_image_handle* handle)
{
    return heif_image_handle_has_alpha_channel(handle) == 0 &&
           heif_image_handle_get_luma_bits_per_pixel(handle) > 8 && hdrCodingOf(handle).has_value();
}

// What the file's colr box says the colours mean: its ICC profile, or its nclx primaries and curve.
// Nothing said, or nothing Qt can use, leaves them as sRGB.
QColorSpace colourSpaceOf(const heif_image_handle* handle)
{
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        QByteArray profile(static_cast<qsizetype>(heif_image_handle_get_raw_color_profile_size(handle)),
                           '\0');
        if (profile.isEmpty() ||
            heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
            return {};
        return colourSpaceOfProfile(profile);
    }
    case heif_color_profile_type_nclx: {
        const auto nclx = nclxOf(handle);
        if (!nclx)
            return {};
        const auto transfer = transferOf(nclx->transfer_characteristics);
        if (!transfer || nclx->color_primaries == heif_color_primaries_unspecified)
            return {};
        const auto point = [](float x, float y) { return QPointF(double(x), double(y)); };
        return QColorSpace(point(nclx->color_primary_white_x, nclx->color_primary_white_y),
                           point(nclx->color_primary_red_x, nclx->color_primary_red_y),
                           point(nclx->color_primary_green_x, nclx->color_primary_green_y),
                           point(nclx->color_primary_blue_x, nclx->color_primary_blue_y), transfer->first,
                           transfer->second);
    }
    default:
        return {};
    }
}

// The picture's average over blocks of `block` x `block` pixels (fewer at its right and bottom
// edges), from rows of three bytes a pixel.
QImage blockAverages(const uint8_t* pixels, int stride, QSize size, int block)
{
    QImage grid((size.width() + block - 1) / block, (size.height() + block - 1) / block,
                QImage::Format_RGB32);
    if (grid.isNull())
        return grid;
    std::vector<quint64> sums(static_cast<std::size_t>(grid.width()) * 3);
    for (int row = 0; row < grid.height(); ++row) {
        std::fill(sums.begin(), sums.end(), 0);
        const int top = row * block;
        const int bottom = std::min(size.height(), top + block);
        for (int y = top; y < bottom; ++y) {
            const uint8_t* pixel = pixels + static_cast<qsizetype>(y) * stride;
            for (int x = 0; x < size.width(); x += block) {
                quint64* sum = &sums[static_cast<std::size_t>(x / block) * 3];
                for (const uint8_t* end = pixel + qsizetype{3} * std::min(block, size.width() - x);
                     pixel < end; pixel += 3) {
                    sum[0] += pixel[0];
                    sum[1] += pixel[1];
                    sum[2] += pixel[2];
                }
            }
        }
        auto* line = reinterpret_cast<QRgb*>(grid.scanLine(row));
        for (int column = 0; column < grid.width(); ++column) {
            const auto count =
                static_cast<quint64>(std::min(block, size.width() - column * block) * (bottom - top));
            const quint64* sum = &sums[static_cast<std::size_t>(column) * 3];
            const auto average = [count](quint64 total) {
                return static_cast<int>((total + count / 2) / count);
            };
            line[column] = qRgb(average(sum[0]), average(sum[1]), average(sum[2]));
        }
    }
    return grid;
}

// The same from the three planes of a picture at more than 8 bits a channel (`bits` of each 16-bit
// sample, `strides` samples a row), brought to 16 bits.
QImage planeAverages(const std::array<const quint16*, 3>& planes, const std::array<qsizetype, 3>& strides,
                     QSize size, int block, int bits)
{
    QImage grid((size.width() + block - 1) / block, (size.height() + block - 1) / block,
                QImage::Format_RGBX64);
    if (grid.isNull())
        return grid;
    const quint64 levels = (quint64{1} << bits) - 1;
    std::vector<quint64> sums(static_cast<std::size_t>(grid.width()) * 3);
    for (int row = 0; row < grid.height(); ++row) {
        std::fill(sums.begin(), sums.end(), 0);
        const int top = row * block;
        const int bottom = std::min(size.height(), top + block);
        for (std::size_t channel = 0; channel < 3; ++channel) {
            for (int y = top; y < bottom; ++y) {
                const quint16* sample = planes[channel] + y * strides[channel];
                quint64* sum = &sums[channel];
                for (int x = 0; x < size.width(); x += block, sum += 3) {
                    for (int end = std::min(size.width(), x + block), at = x; at < end; ++at)
                        *sum += sample[at];
                }
            }
        }
        auto* line = reinterpret_cast<QRgba64*>(grid.scanLine(row));
        for (int column = 0; column < grid.width(); ++column) {
            const auto count =
                static_cast<quint64>(std::min(block, size.width() - column * block) * (bottom - top));
            const quint64* sum = &sums[static_cast<std::size_t>(column) * 3];
            const auto average = [count, levels](quint64 total) {
                return static_cast<quint16>((total * 65535 + count * levels / 2) / (count * levels));
            };
            line[column] = QRgba64::fromRgba64(average(sum[0]), average(sum[1]), average(sum[2]), 65535);
        }
    }
    return grid;
}

// The primary image decoded at 8 bits a channel, turned and mirrored as the file says. A photo much
// larger than `target` comes in three bytes a pixel, a quarter less than four at its peak, where
// libheif holds its decoded planes and this picture together, and is averaged over blocks down to
// at least twice the target, so that Qt never copies it into a 32-bit picture to scale it. One with
// alpha comes in four bytes a pixel, a layout Qt scales as it is; its alpha is transparency, which
// the loader then lays on black. An opaque HDR picture of more than 8 bits comes in 16 bits a
// channel, averaged likewise. Nothing when it cannot be decoded; `error` then says why.
std::optional<QImage> decodePrimary(const heif_image_handle* handle, QSize target, heif_error& error)
{
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    const bool deep = decodedDeep(handle);
    const QSize upright(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
    const int block = std::max(1, std::min(upright.width() / std::max(1, 2 * target.width()),
                                           upright.height() / std::max(1, 2 * target.height())));
    const bool averaged = deep || (!alpha && block >= 2);
    const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    heif_image* decoded = nullptr;
    if (!options)
        return std::nullopt;
    // An HDR picture in three planes, which libheif makes much faster than interleaved samples.
    error = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                              deep       ? heif_chroma_444
                              : averaged ? heif_chroma_interleaved_RGB
                                         : heif_chroma_interleaved_RGBA,
                              options.get());
    if (error.code != heif_error_Ok)
        return std::nullopt;
    std::unique_ptr<heif_image, ImageDeleter> image(decoded);
    const int width = heif_image_get_primary_width(image.get());
    const int height = heif_image_get_primary_height(image.get());
    if (width <= 0 || height <= 0)
        return std::nullopt;
    QImage picture;
    if (deep) {
        static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "libheif hands over samples in the machine's order");
        std::array<const quint16*, 3> planes{};
        std::array<qsizetype, 3> strides{};
        const heif_channel channels[] = {heif_channel_R, heif_channel_G, heif_channel_B};
        for (std::size_t channel = 0; channel < 3; ++channel) {
            int stride = 0;
            planes[channel] = reinterpret_cast<const quint16*>(
                heif_image_get_plane_readonly(image.get(), channels[channel], &stride));
            strides[channel] = stride / 2;
            if (planes[channel] == nullptr ||
                heif_image_get_bits_per_pixel_range(image.get(), channels[channel]) <= 8)
                return std::nullopt;
        }
        picture =
            planeAverages(planes, strides, {width, height}, block,
                          std::min(heif_image_get_bits_per_pixel_range(image.get(), heif_channel_R), 16));
        if (picture.isNull())
            return std::nullopt;
        return picture;
    }
    int stride = 0;
    uint8_t* pixels = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    if (pixels == nullptr)
        return std::nullopt;
    if (averaged) {
        picture = blockAverages(pixels, stride, {width, height}, block);
    } else {
        // The picture in libheif's own pixels, without a copy: released with the picture.
        const auto release = [](void* held) { heif_image_release(static_cast<heif_image*>(held)); };
        picture = QImage(pixels, width, height, stride,
                         alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888, release, image.get());
        if (!picture.isNull()) {
            [[maybe_unused]] heif_image* heldByPicture = image.release();
        }
    }
    if (picture.isNull())
        return std::nullopt;
    if (!hdrCodingOf(handle))
        picture.setColorSpace(colourSpaceOf(handle));
    return picture;
}

// The brands an ISO media file's leading `ftyp` box names: the major brand, then the compatible
// ones, four bytes each, as far as the box and the bytes at hand reach.
bool hasBrand(QByteArrayView head, std::initializer_list<const char*> brands)
{
    if (head.size() < 16 || head.sliced(4, 4) != "ftyp")
        return false;
    const qsizetype end = std::min<qsizetype>(qFromBigEndian<quint32>(head.data()), head.size());
    const auto named = [&](qsizetype at) {
        return std::any_of(brands.begin(), brands.end(),
                           [&](const char* brand) { return head.sliced(at, 4) == brand; });
    };
    if (named(8))
        return true;
    for (qsizetype at = 16; at + 4 <= end; at += 4) { // past the major brand and its version
        if (named(at))
            return true;
    }
    return false;
}

// AVIF first: an AVIF file often names the generic HEIF brands too.
bool isAvif(QByteArrayView head)
{
    return hasBrand(head, {"avif", "avis"});
}

bool isHeic(QByteArrayView head)
{
    return !isAvif(head) && hasBrand(head, {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs"});
}

// Any other picture in a HEIF file (its generic brands only).
bool isHeif(QByteArrayView head)
{
    return !isAvif(head) && !isHeic(head) && hasBrand(head, {"mif1", "msf1"});
}

// HEIC, AVIF or another picture in a HEIF file.
bool isHeifFile(QByteArrayView head)
{
    return isAvif(head) || isHeic(head) || isHeif(head);
}

class HeifFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "heif"; }
    bool recognises(QByteArrayView head) const override { return isHeifFile(head); }
    // libheif looks for its decoder plugins on disk, which the wall forbids once it is up.
    void prepareBeforeWall() const override { heif_init(nullptr); }
    // A file libheif cannot read is named when it is a kind of its own, not a damaged one.
    std::optional<Refusal> checkBeforeReading(const PictureSource& file) const override
    {
        QByteArray read;
        const QByteArrayView bytes = wholeFile(file, read);
        heif_error error{};
        return primaryOf(bytes, &error) ? std::nullopt : kindNotRead(bytes, error);
    }
    // The size the primary image has once turned, as its ispe box and its irot declare it; libheif
    // decodes it upright, so no EXIF orientation is applied on top. An empty size when the file's
    // boxes cannot be read: a damaged file.
    std::optional<DeclaredPicture> ownHeader(const PictureSource& file) const override
    {
        QByteArray read;
        const auto primary = primaryOf(wholeFile(file, read));
        if (!primary)
            return DeclaredPicture{};
        const QSize upright(heif_image_handle_get_width(primary->handle.get()),
                            heif_image_handle_get_height(primary->handle.get()));
        return DeclaredPicture{upright, {}, 32};
    }
    // At its peak, libheif's decoded planes (YCbCr at up to 16 bits a sample, with the alpha plane)
    // and its RGB picture; then that picture and the game's 32-bit copy of it. (An HDR picture's
    // three 16-bit planes peak no higher than the same picture asked for at 8 bits.)
    qint64 peakBytes(const DeclaredPicture& declared, QSize /*storedTarget*/) const override
    {
        constexpr qint64 kBytesPerPixel = 8;
        return qint64{declared.stored.width()} * declared.stored.height() * kBytesPerPixel;
    }
    OwnDecode decode(const PictureSource& file, const DeclaredPicture& /*declared*/,
                     QSize storedTarget) const override
    {
        QByteArray read;
        const QByteArrayView bytes = wholeFile(file, read);
        const auto primary = primaryOf(bytes);
        heif_error error{};
        std::optional<QImage> image =
            primary ? decodePrimary(primary->handle.get(), storedTarget, error) : std::nullopt;
        if (!image)
            return {std::nullopt, kindNotRead(bytes, error).value_or(Refusal{Refusal::Reason::Damaged})};
        return {std::move(image), std::nullopt, std::nullopt, hdrCodingOf(primary->handle.get())};
    }
};

} // namespace

const PictureFormat& heifFormat()
{
    static const HeifFormat format;
    return format;
}

} // namespace tilmora
