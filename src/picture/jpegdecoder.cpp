#include "jpegdecoder.h"

#include <QtGlobal>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including its header

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
    if (level < 0)
        errorsOf(info).warned = true;
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

// Reads the header and sets the output up: the smallest n/8 scale covering `atLeast`, 32-bit
// pixels in QImage's order. False on a fatal error or a colour model left to Qt's reader.
bool prepare(Decompressor& decompressor, QByteArrayView data, QSize atLeast, qint64 memoryBudgetBytes)
{
    jpeg_decompress_struct& info = decompressor.info;
    if (setjmp(decompressor.errors.resume) != 0) // NOLINT(cert-err52-cpp)
        return false;

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = static_cast<long>(memoryBudgetBytes);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
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
    if (info.buffered_image)
        jpeg_finish_output(&info);
    // What follows the picture's rows (further scans, trailing markers) is not needed.
    jpeg_abort_decompress(&info);
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
    if (!prepare(decompressor, data, atLeast, memoryBudgetBytes))
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
    return {JpegDecode::Outcome::Decoded, std::move(image)};
}

} // namespace tilmora
