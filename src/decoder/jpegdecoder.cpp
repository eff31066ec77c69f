#include "jpegdecoder.h"

#include "pictureformat.h"

#include <QtGlobal>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including its header
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

namespace tilmora {

namespace {

// QImage's Format_RGB32 is whole words of 0xffRRGGBB, so its byte order in memory follows the
// machine's; libjpeg names its output orders by bytes, and fills the alpha byte with 0xff.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32ByteOrder = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kRgb32ByteOrder = JCS_EXT_ARGB;
#endif

constexpr int kEighths = 8;

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to the
// step below that was running. Those steps keep only plain C data in their frames, so the jump
// leaves nothing undestroyed.
struct ErrorManager {
    jpeg_error_mgr base{}; // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf resume{};
    int errorCode = 0;
    bool warned = false;
    bool cutShort = false; // the data ended before the end-of-image marker
};

ErrorManager& errorsOf(j_common_ptr info)
{
    return *reinterpret_cast<ErrorManager*>(info->err);
}

[[noreturn]] void onFatalError(j_common_ptr info)
{
    errorsOf(info).errorCode = info->err->msg_code;
    std::longjmp(errorsOf(info).resume, 1); // NOLINT(cert-err52-cpp): libjpeg's way out
}

// Level -1 is a warning about the data (corrupt, cut short); higher levels are trace messages.
void onMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    errorsOf(info).warned = true;
    if (info->err->msg_code == JWRN_JPEG_EOF)
        errorsOf(info).cutShort = true;
}

void printNothing(j_common_ptr /*info*/)
{}

// The decompressor and its error manager, destroyed however decoding ends.
struct Decompressor {
    Decompressor()
    {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = onFatalError;
        errors.base.emit_message = onMessage;
        errors.base.output_message = printNothing;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    Decompressor(Decompressor&&) = delete;
    Decompressor& operator=(Decompressor&&) = delete;

    jpeg_decompress_struct info{};
    ErrorManager errors;
};

// True once the scans received hold every coefficient the reduced picture uses, with all its
// bits: a component drawn at one pixel a block uses only each block's average (the DC
// coefficient); one drawn larger uses nearly all 64 in libjpeg's reduced transforms, so all are
// waited for.
bool scansCoverOutput(const jpeg_decompress_struct& info)
{
    if (info.coef_bits == nullptr)
        return false;
    for (int component = 0; component < info.num_components; ++component) {
        const int used = info.comp_info[component].DCT_scaled_size == 1 ? 1 : DCTSIZE2;
        for (int coefficient = 0; coefficient < used; ++coefficient) {
            if (info.coef_bits[component][coefficient] != 0)
                return false;
        }
    }
    return true;
}

// The ICC profile the APP2 segments carry, empty when there is none or its pieces do not fit
// together. libjpeg's warning about such a profile is no warning about the picture.
QByteArray iccProfile(Decompressor& decompressor)
{
    const bool warned = decompressor.errors.warned;
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    QByteArray bytes;
    if (jpeg_read_icc_profile(&decompressor.info, &profile, &length) == TRUE) {
        const std::unique_ptr<JOCTET, decltype(&std::free)> owned(profile, &std::free);
        bytes = QByteArray(reinterpret_cast<const char*>(profile), static_cast<qsizetype>(length));
    }
    decompressor.errors.warned = warned;
    return bytes;
}

// Reads the header and the ICC profile, and sets the output up: the smallest n/8 scale covering
// `atLeast`, 32-bit pixels in QImage's order. False on a fatal error or a colour model left to
// Qt's reader.
bool prepare(Decompressor& decompressor, QByteArrayView data, QSize atLeast, qint64 memoryBudgetBytes,
             QByteArray& profile)
{
    jpeg_decompress_struct& info = decompressor.info;
    if (setjmp(decompressor.errors.resume) != 0) // NOLINT(cert-err52-cpp)
        return false;

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = static_cast<long>(memoryBudgetBytes);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xffff); // where the ICC profile is kept
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    profile = iccProfile(decompressor);
    if (info.jpeg_color_space != JCS_GRAYSCALE && info.jpeg_color_space != JCS_YCbCr &&
        info.jpeg_color_space != JCS_RGB)
        return false;

    info.out_color_space = kRgb32ByteOrder;
    // Block smoothing guesses coefficients that have not arrived yet; reading stops only when
    // every coefficient used has arrived, so there is nothing to guess.
    info.do_block_smoothing = FALSE;
    info.buffered_image = jpeg_has_multiple_scans(&info);
    info.scale_denom = kEighths;
    for (int eighths = 1; eighths <= kEighths; ++eighths) {
        info.scale_num = static_cast<unsigned int>(eighths);
        jpeg_calc_output_dimensions(&info);
        if (static_cast<int>(info.output_width) >= atLeast.width() &&
            static_cast<int>(info.output_height) >= atLeast.height())
            break;
    }
    return true;
}

// Decodes into `pixels`, rows `stride` bytes apart, sized for the output prepared above.
bool decode(Decompressor& decompressor, uchar* pixels, qsizetype stride)
{
    jpeg_decompress_struct& info = decompressor.info;
    if (setjmp(decompressor.errors.resume) != 0) // NOLINT(cert-err52-cpp)
        return false;

    jpeg_start_decompress(&info);
    if (info.buffered_image) {
        // Scans are read until the ones the reduced picture needs are in; the rest of the file
        // is never parsed. Rows are drawn as the scan in progress passes them.
        while (!scansCoverOutput(info)) {
            const int status = jpeg_consume_input(&info);
            if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED)
                break;
        }
        jpeg_start_output(&info, info.input_scan_number);
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + qsizetype{info.output_scanline} * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (info.buffered_image) {
        jpeg_finish_output(&info);
        // What follows the picture's rows (further scans, trailing markers) is not needed.
        jpeg_abort_decompress(&info);
        return true;
    }
    // A single scan is read on to its end marker, which shows the file whole without walking it
    // again. Stray bytes before the marker are no fault in the picture just read.
    const bool warned = decompressor.errors.warned;
    jpeg_finish_decompress(&info);
    decompressor.errors.warned = warned;
    return true;
}

JpegDecode::Outcome failureOutcome(const ErrorManager& errors)
{
    const bool outOfMemory =
        errors.errorCode == JERR_NO_BACKING_STORE || errors.errorCode == JERR_OUT_OF_MEMORY;
    return outOfMemory ? JpegDecode::Outcome::TooLarge : JpegDecode::Outcome::Declined;
}

} // namespace

JpegDecode decodeJpegReduced(QByteArrayView data, QSize atLeast, qint64 memoryBudgetBytes)
{
    Decompressor decompressor;
    QByteArray profile;
    if (!prepare(decompressor, data, atLeast, memoryBudgetBytes, profile))
        return {failureOutcome(decompressor.errors), {}};

    const QSize output(static_cast<int>(decompressor.info.output_width),
                       static_cast<int>(decompressor.info.output_height));
    QImage image(output, QImage::Format_RGB32);
    if (image.isNull())
        return {JpegDecode::Outcome::TooLarge, {}};
    if (!decode(decompressor, image.bits(), image.bytesPerLine()))
        return {failureOutcome(decompressor.errors), {}};
    if (decompressor.errors.warned)
        return {JpegDecode::Outcome::Declined, {}};
    image.setColorSpace(colourSpaceOfProfile(profile));
    const bool readToEnd = !decompressor.info.buffered_image && !decompressor.errors.cutShort;
    return {JpegDecode::Outcome::Decoded, std::move(image), readToEnd};
}

namespace {

// What stepping through a JPEG's segments shows: whether its data runs to the end-of-image marker,
// and the bits per sample its frame header declares (0 when it has none). The walk may stop at the
// frame header, when only the depth is asked for. Qt's JPEG reader fills the part of a cut-off file
// it could not read with grey and only prints a warning, so the cut is looked for here: the marker
// segments are stepped over by their lengths, and each scan's entropy-coded data, in which a 0xFF
// byte is always followed by 0x00 or a restart marker, is searched for the marker that ends it.
// Data after the end marker (a phone's motion photo, say) is not looked at.
struct JpegLayout {
    bool reachesEnd = false;
    int samplePrecision = 0;
};

enum class JpegWalk { ToFrameHeader, ToEnd };

// Past the entropy-coded data of a scan that starts at `at`: at its ending marker, or at `size`.
qsizetype endOfScan(const uchar* bytes, qsizetype size, qsizetype at)
{
    while (true) {
        const void* found = std::memchr(bytes + at, 0xff, static_cast<std::size_t>(size - at));
        if (found == nullptr)
            return size;
        at = static_cast<const uchar*>(found) - bytes;
        if (at + 1 >= size)
            return size;
        const uchar next = bytes[at + 1];
        if (next == 0x00 || (next >= 0xd0 && next <= 0xd7))
            at += 2;
        else if (next == 0xff)
            at += 1;
        else
            return at;
    }
}

JpegLayout jpegLayout(QByteArrayView data, JpegWalk walk)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    const qsizetype size = data.size();
    JpegLayout layout;
    qsizetype at = 2; // past the start-of-image marker
    while (true) {
        // Stray bytes between segments are skipped, as the decoder does, then the fill bytes.
        while (at < size && bytes[at] != 0xff)
            ++at;
        while (at < size && bytes[at] == 0xff)
            ++at;
        if (at >= size)
            return layout;
        const uchar marker = bytes[at++];
        if (marker == 0xd9) {
            layout.reachesEnd = true;
            return layout;
        }
        const bool standalone = marker == 0x00 || marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7);
        if (standalone)
            continue;
        if (size - at < 2)
            return layout;
        const int length = bytes[at] << 8 | bytes[at + 1];
        if (length < 2 || size - at < length)
            return layout;
        // A start-of-frame marker (0xC0 to 0xCF but for the table markers C4, C8 and CC) begins
        // with the sample precision.
        const bool startOfFrame =
            (marker & 0xf0) == 0xc0 && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (startOfFrame && length > 2) {
            layout.samplePrecision = bytes[at + 2];
            if (walk == JpegWalk::ToFrameHeader)
                return layout;
        }
        at += length;
        if (marker == 0xda) // start of scan: the entropy-coded data runs to the next marker
            at = endOfScan(bytes, size, at);
    }
}

// A JPEG is decoded at the smallest eighth of its size covering what is shown, when that is smaller;
// what this decoder leaves (CMYK, damaged data) Qt's reader decodes, scaled by libjpeg too. A file
// on a file system that cannot map it is trusted as Qt would trust it, and left to Qt's reader.
class JpegFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "jpeg"; }
    bool recognises(QByteArrayView head) const override { return head.startsWith("\xff\xd8"); }

    // A JPEG with samples deeper than 8 bits (12-bit ones come from medical and some camera
    // software) is valid, but no reader here decodes it, and Qt's gives up halfway through its
    // header, leaving the pixel format it reports unset: it is refused by name before Qt reads it.
    std::optional<Refusal> checkBeforeReading(const PictureSource& file) const override
    {
        const int depth = jpegLayout(file.bytes, JpegWalk::ToFrameHeader).samplePrecision;
        if (depth <= 8)
            return std::nullopt;
        return Refusal{Refusal::Reason::KindNotOpened, QByteArray::number(depth) + "-bit JPEG"};
    }

    // Decoded reduced, libjpeg's own buffers are held to the budget while it decodes (a progressive
    // JPEG keeps every coefficient of the whole picture while its scans arrive), and the picture it
    // makes is at most the stored one at 32 bits a pixel.
    qint64 peakBytes(const DeclaredPicture& declared, QSize storedTarget) const override
    {
        if (shownSmaller(declared.stored, storedTarget))
            return wholeDecodeBytes(declared.stored, 32);
        return PictureFormat::peakBytes(declared, storedTarget);
    }

    bool holdsAllData(const PictureSource& file) const override
    {
        return file.bytes.isEmpty() || jpegLayout(file.bytes, JpegWalk::ToEnd).reachesEnd;
    }

    OwnDecode decode(const PictureSource& file, const DeclaredPicture& declared,
                     QSize storedTarget) const override
    {
        if (file.bytes.isEmpty() || !shownSmaller(declared.stored, storedTarget))
            return {};
        JpegDecode decoded = decodeJpegReduced(file.bytes, storedTarget, kAllocationLimitBytes);
        if (decoded.outcome == JpegDecode::Outcome::TooLarge)
            return {std::nullopt, Refusal{Refusal::Reason::TooMuchMemory}};
        if (decoded.outcome == JpegDecode::Outcome::Declined)
            return {};
        if (!decoded.readToEnd && !holdsAllData(file))
            return {std::nullopt, Refusal{Refusal::Reason::Damaged}};
        return {std::move(decoded.image), std::nullopt};
    }

    QSize readerScaledSize(const DeclaredPicture& declared, QSize storedTarget) const override
    {
        return shownSmaller(declared.stored, storedTarget) ? storedTarget : QSize();
    }
};

} // namespace

const PictureFormat& jpegFormat()
{
    static const JpegFormat format;
    return format;
}

} // namespace tilmora
