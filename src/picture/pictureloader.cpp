#include "pictureloader.h"

#include "fitpicture.h"
#include "jpegdecoder.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QTransform>
#include <QtEndian>

#include <zlib.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>

namespace tilmora {

namespace {

// The player-visible texts, under one translation context.
class Text
{
    Q_DECLARE_TR_FUNCTIONS(PictureLoader)
};

// Device pixel ratios beyond this are treated as this: no screen has one, and it keeps a caller's
// mistake from asking for a picture of gigabytes.
constexpr qreal kMaxDevicePixelRatio = 8;

// The formats the game opens, as Qt's readers name them.
constexpr std::array kAllowedFormats{"jpeg", "png", "gif", "bmp", "webp", "ico"};

bool isAllowed(const QByteArray& format)
{
    return std::any_of(kAllowedFormats.begin(), kAllowedFormats.end(),
                       [&](const char* allowed) { return format == allowed; });
}

LoadFailure fail(LoadError error, QString message)
{
    return {error, std::move(message)};
}

// The file's own name, as the player knows it; the whole path only when it names no file.
QString displayName(const QString& path)
{
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name;
}

LoadFailure damaged(const QString& name)
{
    return fail(LoadError::Damaged, Text::tr("“%1” is damaged and cannot be shown.").arg(name));
}

LoadFailure notOpened(const QString& name, const QByteArray& kind)
{
    return fail(LoadError::FormatNotAllowed,
                Text::tr("“%1” is a kind of picture this game does not open (%2).")
                    .arg(name, QString::fromLatin1(kind)));
}

LoadFailure tooManyPixels(const QString& name, QSize size, qint64 limit = kMaxSourcePixels)
{
    return fail(LoadError::TooLarge, Text::tr("“%1” is too large: %2 x %3 pixels, more than %4 megapixels.")
                                         .arg(name)
                                         .arg(size.width())
                                         .arg(size.height())
                                         .arg(limit / 1'000'000));
}

qint64 pixelCount(QSize size)
{
    return qint64{size.width()} * size.height();
}

// Which of the allowed formats the first bytes of a file announce, if any. The format is decided
// here, from the content alone, and handed to Qt: Qt's own detection would try every reader it
// has, the ones the game refuses included, and fall back on the file's extension.
QByteArray allowedFormatOf(QByteArrayView head)
{
    const auto at = [&](qsizetype i) { return i < head.size() ? static_cast<uchar>(head[i]) : 0; };
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (head.startsWith("\xff\xd8"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8, 4) == "WEBP")
        return "webp";
    // An icon file has no signature, only a directory: reserved 0, type 1 (an icon; 2 would be a
    // cursor), at least one entry, and that entry's reserved byte 0. A cursor is not an icon.
    const int type = at(2) | at(3) << 8;
    const int count = at(4) | at(5) << 8;
    if (head.size() >= 22 && at(0) == 0 && at(1) == 0 && type == 1 && count > 0 && at(9) == 0)
        return "ico";
    return {};
}

// What kind of picture a file the game does not open is, for the message: Qt's own detection by
// content, which never decodes anything. Qt's icon test is loose enough to claim a Targa picture
// or a cursor, so when its answer is an allowed format the signature check above turned down (or
// there is no answer), the readers with no signature to go by are asked one by one, the loosest
// last.
QByteArray refusedFormatOf(QFile& file)
{
    QImageReader probe(&file);
    probe.setDecideFormatFromContent(true);
    QByteArray detected = probe.format();
    file.seek(0);
    if (!detected.isEmpty() && !isAllowed(detected))
        return detected;
    for (const char* weak : {"tga", "wbmp", "cur"}) {
        QImageReader direct(&file, weak);
        direct.setAutoDetectImageFormat(false);
        const bool readable = direct.canRead();
        file.seek(0);
        if (readable)
            return weak;
    }
    return {};
}

// What stepping through a JPEG's segments shows: whether its data runs to the end-of-image marker,
// and the bits per sample its frame header declares (0 when it has none). The walk may stop at the
// frame header, when only the depth is asked for. Qt's JPEG reader fills
// the part of a cut-off file it could not read with grey and only prints a warning, so the cut is
// looked for here: the marker segments are stepped over by their lengths, and each scan's
// entropy-coded data, in which a 0xFF byte is always followed by 0x00 or a restart marker, is
// searched for the marker that ends it. Data after the end marker (a phone's motion photo, say)
// is not looked at.
struct JpegLayout {
    bool reachesEnd = false;
    int samplePrecision = 0;
};

enum class JpegWalk { ToFrameHeader, ToEnd };

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
        if (marker != 0xda)
            continue;
        // Start of scan: the entropy-coded data runs to the next marker that is not a restart.
        while (true) {
            const void* found = std::memchr(bytes + at, 0xff, static_cast<std::size_t>(size - at));
            if (found == nullptr)
                return layout;
            at = static_cast<const uchar*>(found) - bytes;
            if (at + 1 >= size)
                return layout;
            const uchar next = bytes[at + 1];
            if (next == 0x00 || (next >= 0xd0 && next <= 0xd7))
                at += 2;
            else if (next == 0xff)
                at += 1;
            else
                break;
        }
    }
}

// `walk` over the file's bytes, mapped into memory; `unmappable` on a file system that cannot map it.
template <typename Result, typename Walk> Result walkMapped(QFile& file, Result unmappable, Walk walk)
{
    uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr)
        return unmappable;
    const Result result = walk(QByteArrayView(mapped, file.size()));
    file.unmap(mapped);
    return result;
}

// Whether an uncompressed BMP holds every row its header declares. Qt's BMP reader stops at the
// end of a cut-off file and returns the picture with the missing rows unset, without an error.
// Run-length compressed pictures declare no size to check against and are taken as Qt reads them.
bool bmpReachesEnd(QFile& file)
{
    // The reader has read the header already and goes on from where it stopped.
    const qint64 readerAt = file.pos();
    file.seek(0);
    const QByteArray head = file.peek(34);
    file.seek(readerAt);
    if (head.size() < 26)
        return false;
    const auto u16 = [&](int at) { return qint64{qFromLittleEndian<quint16>(head.constData() + at)}; };
    const auto i32 = [&](int at) {
        return head.size() < at + 4 ? 0 : qint64{qFromLittleEndian<qint32>(head.constData() + at)};
    };
    const qint64 dataOffset = i32(10);
    const bool coreHeader = i32(14) == 12; // the old OS/2 header: 16-bit sizes, never compressed
    const qint64 width = coreHeader ? u16(18) : i32(18);
    const qint64 height = coreHeader ? u16(20) : i32(22);
    const qint64 bitsPerPixel = coreHeader ? u16(24) : u16(28);
    const qint64 compression = coreHeader ? 0 : i32(30);
    constexpr qint64 rgb = 0, bitFields = 3, alphaBitFields = 6;
    if (compression != rgb && compression != bitFields && compression != alphaBitFields)
        return true;
    // Each field is whatever the file says: the row size stays far inside 64 bits (31 bits of width
    // times 16 of depth), but times the height it would not, so the rows are counted by division.
    const qint64 bytesPerRow = (std::abs(width) * bitsPerPixel + 31) / 32 * 4;
    const qint64 rows = std::abs(height);
    const qint64 available = file.size() - dataOffset;
    return available >= 0 && (rows == 0 || bytesPerRow <= available / rows);
}

// Whether a PNG's chunks run whole to its end chunk, the ones that make up the picture with their
// checksums right. libpng, inside Qt's reader, would print its complaint about a file cut short or
// spoilt to the terminal; found here, the file is refused quietly, as damaged. The checksums of
// the optional chunks are left to libpng, which skips a spoilt one and shows the picture. The file
// is read as a stream, a block at a time, as the decoder reads it: mapped whole, a large picture's
// file would be held in memory for nothing. The file is left where it was.
bool pngReachesEnd(QFile& file)
{
    constexpr qint64 kSignature = 8, kLengthAndType = 8, kChecksum = 4;
    const qint64 readerAt = file.pos();
    QByteArray block(qsizetype{64} * 1024, Qt::Uninitialized);
    bool whole = false;
    for (file.seek(kSignature);;) {
        const QByteArray head = file.read(kLengthAndType);
        if (head.size() < kLengthAndType)
            break;
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        if (length > file.size() - file.pos() - kChecksum)
            break;
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
            break;
        if (head.endsWith("IEND")) {
            whole = true;
            break;
        }
    }
    file.seek(readerAt);
    return whole;
}

// Whether the file holds all the picture data its header announces, for the formats whose reader
// would show a cut-off file without complaint. A JPEG on a file system that cannot map it is
// trusted as Qt would trust it.
bool looksComplete(const QByteArray& format, QFile& file)
{
    if (format == "bmp")
        return bmpReachesEnd(file);
    if (format != "jpeg")
        return true;
    return walkMapped(file, true,
                      [](QByteArrayView data) { return jpegLayout(data, JpegWalk::ToEnd).reachesEnd; });
}

// The size a header declares, as a size. A BMP stored top-down declares a negative height, and
// Qt's reader passes it on; a side past what an int holds counts as the largest, which the pixel
// limit refuses.
QSize declaredSize(QSize size)
{
    const auto length = [](int side) {
        return side == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : std::abs(side);
    };
    return {length(size.width()), length(size.height())};
}

// Icon directory entries looked at, at most: far more than any real icon holds. Qt reads the file
// again for every entry, so the 65535 a directory can claim would take seconds.
constexpr qint64 kMaxIconEntries = 256;

// An icon file holds the same picture at several sizes, often smallest first; the game shows the
// largest. Sizes come from the icon directory, without decoding anything. The directory's count
// is only a claim: no more entries (16 bytes each, after a 6-byte header) are looked at than the
// file can hold.
void jumpToLargestImage(QImageReader& reader)
{
    int largest = 0;
    qint64 largestPixels = -1;
    const qint64 entriesInFile = std::max<qint64>(0, (reader.device()->size() - 6) / 16);
    const auto count =
        static_cast<int>(std::min({qint64{reader.imageCount()}, entriesInFile, kMaxIconEntries}));
    for (int index = 0; index < count; ++index) {
        if (!reader.jumpToImage(index))
            break;
        const QSize size = reader.size();
        if (size.isValid() && pixelCount(size) > largestPixels) {
            largest = index;
            largestPixels = pixelCount(size);
        }
    }
    reader.jumpToImage(largest);
}

// The bits per pixel of the pixel format the reader announces; 32 when it announces none. Qt's JPEG
// reader leaves that format unset for a file cut short in its header, so the value is checked as a
// number before it is taken for a format.
int announcedBitsPerPixel(QImageReader& reader)
{
    const int format = reader.imageFormat();
    const bool known = format > QImage::Format_Invalid && format < QImage::NImageFormats;
    return known ? QImage::toPixelFormat(static_cast<QImage::Format>(format)).bitsPerPixel() : 32;
}

// The memory a whole decode of `size` pixels takes at its peak: the picture at `bits` a pixel and,
// when that is not 32, the 32-bit copy the fitting works on. Rows are aligned as QImage aligns them.
qint64 decodePeakBytes(QSize size, int bits)
{
    const auto bytesAt = [size](qint64 bitsPerPixel) {
        return (size.width() * bitsPerPixel + 31) / 32 * 4 * size.height();
    };
    return bits == 32 ? bytesAt(32) : bytesAt(bits) + bytesAt(32);
}

qreal usableDevicePixelRatio(qreal devicePixelRatio)
{
    if (!std::isfinite(devicePixelRatio) || devicePixelRatio <= 0)
        return 1;
    return std::min(devicePixelRatio, kMaxDevicePixelRatio);
}

// The physical pixels a picture of `logical` size takes on a screen of this ratio. Rounded to the
// nearest pixel, so for a ratio of 1 or more the device-independent size rounds back to `logical`.
QSize physicalSize(QSize logical, qreal devicePixelRatio)
{
    return {std::max(1, qRound(logical.width() * devicePixelRatio)),
            std::max(1, qRound(logical.height() * devicePixelRatio))};
}

// Premultiplied colour drawn over black is the premultiplied colour itself: setting every pixel
// opaque is the whole of the compositing.
void flattenOnBlack(QImage& premultiplied)
{
    for (int y = 0; y < premultiplied.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(premultiplied.scanLine(y));
        std::for_each(line, line + premultiplied.width(), [](QRgb& pixel) { pixel |= 0xff000000u; });
    }
    premultiplied.reinterpretAsFormat(QImage::Format_RGB32);
}

// Brings a decoded picture to `physical` pixels, opaque, marked with the screen's ratio.
QImage finish(QImage image, QSize physical, qreal devicePixelRatio)
{
    if (image.hasAlphaChannel()) {
        // Scaled premultiplied, so the colour hidden under transparent pixels (often white) does
        // not bleed into the edges of what is visible.
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        if (image.size() != physical)
            image = image.scaled(physical, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        flattenOnBlack(image);
    } else {
        image.convertTo(QImage::Format_RGB32);
        if (image.size() != physical)
            image = image.scaled(physical, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.convertTo(QImage::Format_RGB32);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

// Turns a picture decoded as stored the way its EXIF orientation says, as Qt's reader does:
// mirrored and flipped first, then a quarter turn clockwise.
QImage oriented(QImage image, QImageIOHandler::Transformations orientation)
{
    const bool mirror = orientation.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = orientation.testFlag(QImageIOHandler::TransformationFlip);
    if (mirror || flip)
        image = std::move(image).mirrored(mirror, flip);
    if (orientation.testFlag(QImageIOHandler::TransformationRotate90))
        image = image.transformed(QTransform().rotate(90));
    return image;
}

LoadFailure tooMuchMemory(const QString& name, QSize stored)
{
    return fail(LoadError::TooLarge,
                Text::tr("“%1” is too large: %2 x %3 pixels at its colour depth would take more than %4 MB.")
                    .arg(name)
                    .arg(stored.width())
                    .arg(stored.height())
                    .arg(kAllocationLimitMiB));
}

// The PNG in `file` reduced while it is decoded, to at least twice `atLeast`. The file is read
// from its start and left where Qt's reader had it, which goes on from there if this declines.
std::optional<QImage> decodePngFile(QFile& file, QSize atLeast)
{
    const qint64 readerPosition = file.pos();
    if (!file.seek(0))
        return std::nullopt;
    auto decoded = decodePngReduced(file, atLeast);
    file.seek(readerPosition);
    return decoded;
}

// The JPEG in `file` decoded at the smallest eighth of its size covering `atLeast`.
JpegDecode decodeJpegFile(QFile& file, QSize atLeast)
{
    uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr)
        return {};
    JpegDecode decoded =
        decodeJpegReduced(QByteArrayView(mapped, file.size()), atLeast, kAllocationLimitBytes);
    file.unmap(mapped);
    return decoded;
}

} // namespace

namespace {

// Opens the file for reading only if it is still a regular file at the moment it is opened: the
// check above could be overtaken by a pipe put in its place, and opening a pipe would wait.
bool openRegularFile(QFile& file)
{
#ifdef Q_OS_UNIX
    const int descriptor =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {
    };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return false;
    }
    return file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    return file.open(QIODevice::ReadOnly);
#endif
}

} // namespace

LoadResult loadPicture(const QString& path, qreal devicePixelRatio)
{
    static std::once_flag allocationLimitSet;
    std::call_once(allocationLimitSet, [] { QImageReader::setAllocationLimit(kAllocationLimitMiB); });

    const QString name = displayName(path);
    const qreal ratio = usableDevicePixelRatio(devicePixelRatio);

    // Only a regular file is opened (links followed): opening a pipe would wait for a writer
    // forever, and a device or a folder has nothing to show.
    const QFileInfo info(path);
    if (!info.exists())
        return fail(LoadError::NotFound, Text::tr("“%1” does not exist.").arg(name));
    if (!info.isFile())
        return fail(LoadError::NotRegularFile, Text::tr("“%1” is not a file.").arg(name));
    if (!info.isReadable())
        return fail(LoadError::NoPermission, Text::tr("You do not have permission to read “%1”.").arg(name));
    QFile file(path);
    if (!openRegularFile(file)) {
        if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
            return fail(LoadError::NotRegularFile, Text::tr("“%1” is not a file.").arg(name));
        if (!QFileInfo::exists(path))
            return fail(LoadError::NotFound, Text::tr("“%1” does not exist.").arg(name));
        return fail(LoadError::NoPermission, Text::tr("You do not have permission to read “%1”.").arg(name));
    }
    if (file.size() == 0)
        return fail(LoadError::NotAPicture, Text::tr("“%1” is empty, not a picture.").arg(name));

    const QByteArray format = allowedFormatOf(file.peek(32));
    if (format.isEmpty()) {
        const QByteArray refused = refusedFormatOf(file);
        if (refused.isEmpty())
            return fail(LoadError::NotAPicture, Text::tr("“%1” is not a picture.").arg(name));
        return notOpened(name, refused.toUpper());
    }

    // A JPEG with samples deeper than 8 bits (12-bit ones come from medical and some camera
    // software) is valid, but no reader here decodes it, and Qt's gives up halfway through its
    // header, leaving the pixel format it reports unset: it is refused by name before Qt reads it.
    if (format == "jpeg") {
        const int depth = walkMapped(file, 0, [](QByteArrayView data) {
            return jpegLayout(data, JpegWalk::ToFrameHeader).samplePrecision;
        });
        if (depth > 8)
            return notOpened(name, QByteArray::number(depth) + "-bit JPEG");
    }
    // A PNG cut short or spoilt is found before any reader opens the file (see pngReachesEnd).
    if (format == "png" && !pngReachesEnd(file))
        return damaged(name);

    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    if (format == "ico")
        jumpToLargestImage(reader);

    // Everything up to the decode reads only the header.
    const QSize stored = declaredSize(reader.size());
    if (stored.isEmpty())
        return damaged(name);
    if (pixelCount(stored) > kMaxSourcePixels)
        return tooManyPixels(name, stored);
    if (format == "gif" && pixelCount(stored) > kMaxGifPixels)
        return tooManyPixels(name, stored, kMaxGifPixels);
    const bool quarterTurn = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize natural = quarterTurn ? stored.transposed() : stored;
    const QSize physical = physicalSize(fittedPixelSize(natural), ratio);

    // WebP: libwebp decodes straight to the fitted size, which Qt's reader cannot. Whatever it
    // turns down (damaged data, an animation whose first frame covers only part of the canvas)
    // goes on to Qt's reader below, which shows what it can or says what is wrong.
    if (format == "webp" && physical.width() < natural.width() && physical.height() < natural.height()) {
        if (uchar* mapped = file.map(0, file.size())) {
            auto scaled = decodeWebpScaled(QByteArrayView(mapped, file.size()), physical, kMaxSourcePixels);
            file.unmap(mapped);
            if (scaled)
                return LoadedPicture{finish(std::move(*scaled), physical, ratio), natural};
        }
    }

    // A large JPEG is decoded at 1/8, 2/8 ... of its size and a large PNG reduced while it is
    // decoded, both far faster and smaller than decoding whole. Qt's other readers can only decode
    // whole and scale the result themselves (PNG's without premultiplying, which fringes
    // transparent edges), so the loader scales what they give.
    const bool reduced = physical.width() < natural.width() && physical.height() < natural.height();
    const bool decodeScaled = format == "jpeg" && reduced;
    // PNG is checked too, although its reduced decode below holds no full-size picture: what is
    // refused stays the same whichever decoder ends up reading the file.
    if (!decodeScaled && decodePeakBytes(stored, announcedBitsPerPixel(reader)) > kAllocationLimitBytes)
        return tooMuchMemory(name, stored);
    if (!looksComplete(format, file))
        return damaged(name);

    // The size asked for is the stored one: a picture stored on its side is asked for on its side
    // and turned afterwards. What the game's own decoders leave (CMYK, damaged data, a picture
    // too small to gain) goes on to Qt's reader.
    const QSize storedTarget = quarterTurn ? physical.transposed() : physical;
    if (format == "png") {
        if (auto image = decodePngFile(file, storedTarget))
            return LoadedPicture{
                finish(oriented(std::move(*image), reader.transformation()), physical, ratio), natural};
    }
    if (decodeScaled) {
        JpegDecode scaled = decodeJpegFile(file, storedTarget);
        if (scaled.outcome == JpegDecode::Outcome::TooLarge)
            return tooMuchMemory(name, stored);
        if (scaled.outcome == JpegDecode::Outcome::Decoded)
            return LoadedPicture{
                finish(oriented(std::move(scaled.image), reader.transformation()), physical, ratio), natural};
        reader.setScaledSize(storedTarget);
    }

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return damaged(name);
    // Qt marks a picture read from "name@2x.png" as drawn for a ratio of 2; the ratio here is
    // the screen's, set on the result, and every size below is in pixels.
    image.setDevicePixelRatio(1);

    if (decodeScaled)
        return LoadedPicture{finish(std::move(image), physical, ratio), natural};
    // An icon's directory may understate the picture it holds.
    if (pixelCount(image.size()) > kMaxSourcePixels)
        return tooManyPixels(name, image.size());
    const QSize decoded = image.size();
    return LoadedPicture{finish(std::move(image), physicalSize(fittedPixelSize(decoded), ratio), ratio),
                         decoded};
}

} // namespace tilmora
