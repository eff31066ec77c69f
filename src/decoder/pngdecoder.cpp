#include "pngdecoder.h"

#include "pictureformat.h"

#include <QFile>
#include <QIODevice>
#include <QtEndian>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace tilmora {

namespace {

constexpr int kChannels = 4; // libpng is asked for 8-bit RGBA whatever the file holds

void readFromDevice(png_structp png, png_bytep out, std::size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    const auto wanted = static_cast<qint64>(length);
    if (device->read(reinterpret_cast<char*>(out), wanted) != wanted)
        png_error(png, "the file ends early");
}

// libpng's errors jump back to the step that was running (its own setjmp buffer); nothing is
// printed. Warnings (an odd colour profile, say) change nothing that is shown.
[[noreturn]] void onError(png_structp png, png_const_charp /*message*/)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp /*png*/, png_const_charp /*message*/)
{}

// The reader and its info, destroyed however decoding ends.
struct Reader {
    Reader()
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning))
        , info(png != nullptr ? png_create_info_struct(png) : nullptr)
    {}
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    Reader(Reader&&) = delete;
    Reader& operator=(Reader&&) = delete;

    png_structp png;
    png_infop info;
};

struct Header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    QColorSpace colourSpace;
    bool interlaced = false;
    // 16-bit samples with one colour marked transparent: Qt's reader renders these wrongly (the
    // transparent colour comes out white, the rest in stripes), so they are decoded here at any size.
    bool keyedDeepColour = false;
};

// sRGB's white point and primaries, x and y of each, in a cHRM chunk's order.
constexpr std::array<double, 8> kSrgbChromaticities{0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06};

// What the file says its colours mean, the way a PNG reader ranks what it says: an ICC profile
// (when Qt can use it), the sRGB chunk, then the gamma with the primaries when they are given.
QColorSpace colourSpaceOf(png_structp png, png_infop info)
{
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &length) != 0) {
        QColorSpace space = colourSpaceOfProfile(
            QByteArray(reinterpret_cast<const char*>(profile), static_cast<qsizetype>(length)));
        if (space.isValid())
            return space;
    }
    int intent = 0;
    if (png_get_sRGB(png, info, &intent) != 0)
        return QColorSpace::SRgb;
    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma) == 0 || gamma <= 0)
        return {};
    std::array<double, 8> xy = kSrgbChromaticities; // white, red, green, blue
    png_get_cHRM(png, info, &xy[0], &xy[1], &xy[2], &xy[3], &xy[4], &xy[5], &xy[6], &xy[7]);
    const bool srgbPrimaries = std::equal(xy.begin(), xy.end(), kSrgbChromaticities.begin(),
                                          [](double a, double b) { return std::abs(a - b) < 0.001; });
    // A gamma of 1/2.2 with sRGB's primaries is how writers that know no sRGB chunk mark sRGB
    // (ImageMagick marks every PNG so), and photo viewers take it for sRGB itself, not for the
    // plain power curve it comes near.
    if (srgbPrimaries && std::abs(gamma - 1 / 2.2) < 0.001)
        return QColorSpace::SRgb;
    const auto decoding = static_cast<float>(1 / gamma); // the file gives the encoding exponent
    return {
        {xy[0], xy[1]}, {xy[2], xy[3]}, {xy[4], xy[5]}, {xy[6], xy[7]}, QColorSpace::TransferFunction::Gamma,
        decoding};
}

// What the PNG read from `device` says its colours mean, from its chunks before the picture data.
QColorSpace colourSpaceOf(QIODevice& device)
{
    Reader reader;
    if (reader.png == nullptr || reader.info == nullptr)
        return {};
    if (setjmp(png_jmpbuf(reader.png)) != 0) // NOLINT(cert-err52-cpp): libpng's way out
        return {};
    png_set_read_fn(reader.png, &device, readFromDevice);
    png_read_info(reader.png, reader.info);
    return colourSpaceOf(reader.png, reader.info);
}

// Reads the header and asks libpng for 8-bit RGBA rows, whatever the file holds: palettes and
// grey expanded, transparency keys turned into alpha, 16-bit samples cut to 8, opaque pictures
// given an alpha of 255. The passes of an interlaced picture come as they are stored.
bool readHeader(Reader& reader, QIODevice& device, Header& header)
{
    png_structp png = reader.png;
    png_infop info = reader.info;
    if (setjmp(png_jmpbuf(png)) != 0) // NOLINT(cert-err52-cpp): libpng's way out
        return false;

    png_set_read_fn(png, &device, readFromDevice);
    png_read_info(png, info);
    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    header.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    header.keyedDeepColour =
        png_get_bit_depth(png, info) == 16 && png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    header.colourSpace = colourSpaceOf(png, info);

    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == std::size_t{header.width} * kChannels;
}

// Where a pass of an interlaced picture starts and how far apart its pixels lie; a picture that is
// not interlaced is one pass over everything.
struct Pass {
    png_uint_32 firstColumn;
    png_uint_32 columnStep;
    png_uint_32 firstRow;
    png_uint_32 rowStep;

    static png_uint_32 count(png_uint_32 length, png_uint_32 first, png_uint_32 step)
    {
        return length > first ? (length - first + step - 1) / step : 0;
    }
};
constexpr std::array<Pass, 7> kAdam7{
    {{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4}, {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}}};
constexpr std::array<Pass, 1> kWhole{{{0, 1, 0, 1}}};

// The running sums of one grid cell's opacity-weighted colour.
struct CellSums {
    std::uint64_t red = 0;
    std::uint64_t green = 0;
    std::uint64_t blue = 0;
};

// Decodes every row of every pass into the grid: the pixel at column x of row y adds into cell
// (cellOfColumn[x], y / block). `row` holds one whole row.
bool accumulateRows(Reader& reader, const Header& header, png_uint_32 block,
                    const std::uint32_t* cellOfColumn, CellSums* cells, std::size_t cellsPerRow,
                    png_bytep row)
{
    png_structp png = reader.png;
    if (setjmp(png_jmpbuf(png)) != 0) // NOLINT(cert-err52-cpp)
        return false;

    const std::span<const Pass> passes =
        header.interlaced ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWhole);
    for (const Pass& pass : passes) {
        const png_uint_32 columns = Pass::count(header.width, pass.firstColumn, pass.columnStep);
        const png_uint_32 rows = Pass::count(header.height, pass.firstRow, pass.rowStep);
        if (columns == 0 || rows == 0)
            continue; // libpng skips an empty pass too
        for (png_uint_32 r = 0; r < rows; ++r) {
            png_read_row(png, row, nullptr);
            const png_uint_32 y = pass.firstRow + r * pass.rowStep;
            CellSums* cellRow = cells + std::size_t{y / block} * cellsPerRow;
            const png_byte* pixel = row;
            for (png_uint_32 i = 0; i < columns; ++i, pixel += kChannels) {
                CellSums& cell = cellRow[cellOfColumn[pass.firstColumn + i * pass.columnStep]];
                const std::uint64_t alpha = pixel[3];
                cell.red += std::uint64_t{pixel[0]} * alpha;
                cell.green += std::uint64_t{pixel[1]} * alpha;
                cell.blue += std::uint64_t{pixel[2]} * alpha;
            }
        }
    }
    return true;
}

// The largest whole block keeping the grid at least twice `atLeast` wide and high (at least 1).
png_uint_32 blockSize(png_uint_32 width, png_uint_32 height, QSize atLeast)
{
    const auto fits = [](png_uint_32 length, int wanted) {
        return length / static_cast<png_uint_32>(std::max(1, wanted) * 2);
    };
    return std::max<png_uint_32>(1, std::min(fits(width, atLeast.width()), fits(height, atLeast.height())));
}

// Each cell's sums over the pixels it covers (fewer at the right and bottom edges), rounded: to 16
// bits a channel for a picture whose colours are converted afterwards, since 8 bits of a wide colour
// space such as ProPhoto RGB lie too far apart to round an average to, otherwise to 8.
QImage averagesOf(const std::vector<CellSums>& cells, QSize grid, const Header& header, png_uint_32 block)
{
    const bool deep = header.colourSpace.isValid() && header.colourSpace != QColorSpace(QColorSpace::SRgb);
    QImage image(grid, deep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const auto cellSpan = [block](png_uint_32 length, int cell) {
        return std::uint64_t{std::min(block, length - static_cast<png_uint_32>(cell) * block)};
    };
    auto sums = cells.begin();
    for (int cy = 0; cy < grid.height(); ++cy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(cy));
        auto* deepLine = reinterpret_cast<QRgba64*>(image.scanLine(cy));
        for (int cx = 0; cx < grid.width(); ++cx, ++sums) {
            const std::uint64_t divisor = cellSpan(header.width, cx) * cellSpan(header.height, cy) * 255;
            const std::uint64_t scale = deep ? 257 : 1; // 8 bits to 16
            const auto average = [divisor, scale](std::uint64_t sum) {
                return static_cast<quint16>((sum * scale + divisor / 2) / divisor);
            };
            if (deep)
                deepLine[cx] = qRgba64(average(sums->red), average(sums->green), average(sums->blue), 0xffff);
            else
                line[cx] = qRgb(average(sums->red), average(sums->green), average(sums->blue));
        }
    }
    return image;
}

} // namespace

std::optional<QImage> decodePngReduced(QIODevice& device, QSize atLeast)
{
    Reader reader;
    if (reader.png == nullptr || reader.info == nullptr)
        return std::nullopt;
    Header header;
    if (!readHeader(reader, device, header) || header.width == 0 || header.height == 0)
        return std::nullopt;

    const png_uint_32 block = blockSize(header.width, header.height, atLeast);
    if (block < 2 && !header.keyedDeepColour)
        return std::nullopt;
    const QSize grid(static_cast<int>((header.width + block - 1) / block),
                     static_cast<int>((header.height + block - 1) / block));
    std::vector<std::uint32_t> cellOfColumn(header.width);
    for (png_uint_32 x = 0; x < header.width; ++x)
        cellOfColumn[x] = x / block;
    std::vector<CellSums> cells(static_cast<std::size_t>(grid.width()) *
                                static_cast<std::size_t>(grid.height()));
    std::vector<png_byte> row(std::size_t{header.width} * kChannels);

    if (!accumulateRows(reader, header, block, cellOfColumn.data(), cells.data(),
                        static_cast<std::size_t>(grid.width()), row.data()))
        return std::nullopt;
    QImage image = averagesOf(cells, grid, header, block);
    if (image.isNull())
        return std::nullopt;
    image.setColorSpace(header.colourSpace);
    return image;
}

namespace {

// Whether a PNG's chunks run whole to its end chunk, the ones that make up the picture with their
// checksums right. libpng, inside Qt's reader, would print its complaint about a file cut short or
// spoilt to the terminal; found here, the file is refused quietly, as damaged. The checksums of
// the optional chunks are left to libpng, which skips a spoilt one and shows the picture. The file
// is read as a stream, a block at a time, as the decoder reads it: mapped whole, a large picture's
// file would be held in memory for nothing.
bool chunksReachEnd(QFile& file)
{
    constexpr qint64 kSignature = 8, kLengthAndType = 8, kChecksum = 4;
    QByteArray block(qsizetype{64} * 1024, Qt::Uninitialized);
    for (file.seek(kSignature);;) {
        const QByteArray head = file.read(kLengthAndType);
        if (head.size() < kLengthAndType)
            return false;
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        if (length > file.size() - file.pos() - kChecksum)
            return false;
        const bool critical = (head[4] & 0x20) == 0; // an upper-case first letter
        if (!critical) {
            file.seek(file.pos() + length + kChecksum);
            continue;
        }
        uLong checksum = crc32_z(0, reinterpret_cast<const Bytef*>(head.constData() + 4), 4);
        for (qint64 left = length; left > 0;) {
            const qint64 got = file.read(block.data(), std::min<qint64>(left, block.size()));
            if (got <= 0)
                break;
            checksum = crc32_z(checksum, reinterpret_cast<const Bytef*>(block.constData()),
                               static_cast<z_size_t>(got));
            left -= got;
        }
        const QByteArray stored = file.read(kChecksum);
        if (stored.size() < kChecksum || checksum != qFromBigEndian<quint32>(stored.constData()))
            return false;
        if (head.endsWith("IEND"))
            return true;
    }
}

// The memory the reduced decode takes for a picture of `stored` pixels read in blocks of `block`:
// the grid's sums and the picture made of them, a row and the column-to-cell table.
qint64 reducedPeakBytes(QSize stored, png_uint_32 block)
{
    const qint64 cells =
        ((stored.width() + qint64{block} - 1) / block) * ((stored.height() + qint64{block} - 1) / block);
    const qint64 row = qint64{stored.width()} * (kChannels + qint64{sizeof(std::uint32_t)});
    return cells * qint64{sizeof(CellSums) + sizeof(QRgb)} + row;
}

// A PNG at least four times the size it is shown at is reduced row by row as it is decoded; a
// smaller one is decoded whole by Qt's reader (but for the pictures Qt renders wrongly, above).
class PngFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "png"; }
    bool recognises(QByteArrayView head) const override { return head.startsWith("\x89PNG\r\n\x1a\n"); }

    std::optional<Refusal> checkBeforeReading(const PictureSource& file) const override
    {
        const ReadFromStart rewound(file.device);
        if (chunksReachEnd(file.device))
            return std::nullopt;
        return Refusal{Refusal::Reason::Damaged};
    }

    // What the path that will read the picture takes: reduced, only a few rows and the grid, so a
    // greyscale picture is not refused for the 32-bit copy a whole decode would add to it.
    qint64 peakBytes(const DeclaredPicture& declared, QSize storedTarget) const override
    {
        const QSize stored = declared.stored;
        const png_uint_32 block = blockSize(static_cast<png_uint_32>(stored.width()),
                                            static_cast<png_uint_32>(stored.height()), storedTarget);
        if (block >= 2)
            return reducedPeakBytes(stored, block);
        return PictureFormat::peakBytes(declared, storedTarget);
    }

    // Qt's reader has read the header and goes on from where it stopped if this declines. What
    // the colours mean is read here even then: Qt's reader takes a gamma of 1/2.2 for the power
    // curve it approximates.
    OwnDecode decode(const PictureSource& file, const DeclaredPicture& /*declared*/,
                     QSize storedTarget) const override
    {
        const ReadFromStart rewound(file.device);
        if (auto image = decodePngReduced(file.device, storedTarget))
            return {std::move(image), std::nullopt};
        file.device.seek(0);
        return {std::nullopt, std::nullopt, colourSpaceOf(file.device)};
    }
};

} // namespace

const PictureFormat& pngFormat()
{
    static const PngFormat format;
    return format;
}

} // namespace tilmora
