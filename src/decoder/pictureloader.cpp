#include "pictureloader.h"

#include "formattable.h"
#include "hdrpicture.h"
#include "picture/fitpicture.h"
#include "picture/picturefile.h"
#include "pictureformat.h"

#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>
#include <utility>

namespace tilmora {

using enum Refusal::Reason;

namespace {

const Refusal kDamaged{Damaged};

Refusal tooManyPixels(QSize size, qint64 limit)
{
    return {TooManyPixels, {}, size, limit};
}

Refusal tooMuchMemory(QSize size)
{
    return {TooMuchMemory, {}, size};
}

// A format entry's refusal, with the size of the stored picture put in where its sentence names one.
Refusal withNamedSize(const Refusal& refusal, QSize stored)
{
    return refusal.reason == TooMuchMemory ? tooMuchMemory(stored) : refusal;
}

qint64 pixelCount(QSize size)
{
    return qint64{size.width()} * size.height();
}

// Qt's image decoders refuse any single picture buffer larger than the budget: set once for the
// whole process, on the first load.
void limitDecoderMemory()
{
    static std::once_flag limited;
    std::call_once(limited, [] { QImageReader::setAllocationLimit(kAllocationLimitMiB); });
}

// What kind of picture a file the game does not open is, for the message: Qt's own detection by
// content, which never decodes anything. Qt's icon test is loose enough to claim a Targa picture
// or a cursor, so when its answer is a format the game opens, which the recognition above turned
// down (or there is no answer), the readers with no signature to go by are asked one by one, the
// loosest last.
QByteArray refusedFormatOf(QFile& file)
{
    QImageReader probe(&file);
    probe.setDecideFormatFromContent(true);
    QByteArray detected = probe.format();
    file.seek(0);
    if (!detected.isEmpty() && !opensFormatNamed(detected))
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

// The file's format, from its content; a failure naming what it is when the game does not open it.
std::variant<const PictureFormat*, Refusal> recognise(QFile& file)
{
    if (file.size() == 0)
        return Refusal{Empty};
    if (const PictureFormat* format = formatOf(file.peek(kHeadBytes)))
        return format;
    const QByteArray kind = refusedFormatOf(file).toUpper();
    if (kind.isEmpty())
        return Refusal{NotAPicture};
    return Refusal{KindNotOpened, kind};
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

// The bits per pixel of the pixel format the reader announces; 32 when it announces none. Qt's JPEG
// reader leaves that format unset for a file cut short in its header, so the value is checked as a
// number before it is taken for a format.
int announcedBitsPerPixel(const QImageReader& reader)
{
    const int format = reader.imageFormat();
    const bool known = format > QImage::Format_Invalid && format < QImage::NImageFormats;
    return known ? QImage::toPixelFormat(static_cast<QImage::Format>(format)).bitsPerPixel() : 32;
}

// What the header declares, as Qt's reader finds it once pointed at the picture the format shows.
DeclaredPicture readHeader(QImageReader& reader, const PictureFormat& format)
{
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    format.choosePicture(reader);
    return {declaredSize(reader.size()), reader.transformation(), announcedBitsPerPixel(reader)};
}

// A size of the upright picture, in the orientation the picture is stored in: a picture stored on
// its side is decoded on its side and turned afterwards.
QSize asStored(QSize upright, const DeclaredPicture& declared)
{
    return declared.orientation.testFlag(QImageIOHandler::TransformationRotate90) ? upright.transposed()
                                                                                  : upright;
}

// The limits the header alone decides: its size, and the memory the way the format is read takes.
std::optional<Refusal> beyondLimits(const PictureFormat& format, const DeclaredPicture& declared,
                                    QSize storedTarget)
{
    if (declared.stored.isEmpty())
        return kDamaged;
    if (pixelCount(declared.stored) > kMaxSourcePixels)
        return tooManyPixels(declared.stored, kMaxSourcePixels);
    if (pixelCount(declared.stored) > format.maxPixels())
        return tooManyPixels(declared.stored, format.maxPixels());
    if (format.peakBytes(declared, storedTarget) > kAllocationLimitBytes)
        return tooMuchMemory(declared.stored);
    return std::nullopt;
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

// A decoded picture, upright, the size it has as the player sees it, and how its pixels are coded
// when they are HDR.
struct Upright {
    QImage image;
    QSize natural;
    std::optional<HdrCoding> hdr = {};
};

// The picture, by the format's own decoder where it takes it, otherwise by Qt's reader: whole, or
// scaled as it decodes where the format lets it.
std::variant<Upright, Refusal> decode(const PictureFormat& format, const PictureSource& file,
                                      QImageReader& reader, const DeclaredPicture& declared,
                                      QSize storedTarget)
{
    OwnDecode own = format.decode(file, declared, storedTarget);
    if (own.refusal)
        return withNamedSize(*own.refusal, declared.stored);
    if (own.image)
        return Upright{oriented(std::move(*own.image), declared.orientation), declared.natural(), own.hdr};

    if (!format.holdsAllData(file))
        return kDamaged;
    const QSize scaledSize = format.readerScaledSize(declared, storedTarget);
    if (!scaledSize.isEmpty())
        reader.setScaledSize(scaledSize);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return kDamaged;
    // Qt marks a picture read from "name@2x.png" as drawn for a ratio of 2; the ratio here is
    // the screen's, set on the result, and every size is in pixels.
    image.setDevicePixelRatio(1);
    if (own.colourSpace)
        image.setColorSpace(*own.colourSpace);
    if (!scaledSize.isEmpty())
        return Upright{std::move(image), declared.natural()};
    // A whole decode shows the picture's true size: an icon's directory may understate it.
    if (pixelCount(image.size()) > kMaxSourcePixels)
        return tooManyPixels(image.size(), kMaxSourcePixels);
    const QSize natural = image.size();
    return Upright{std::move(image), natural};
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

// Brings a decoded picture to `physical` pixels, opaque. A picture at 16 bits a channel whose
// colours are converted next is scaled as it is, and stays so until they are.
QImage fitted(QImage image, QSize physical, bool converted)
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
        // A photo in a 32-bit layout other than RGB32 (HEIF's) is scaled as it is, and only the
        // fitted pixels are converted; fewer bits a pixel are made 32 first. One whose colours are
        // converted next is scaled at 16 bits a channel: its averages rounded to the levels of a
        // wide colour space (ProPhoto RGB's lie far apart) would miss by up to a tenth of a
        // channel once converted, most in a small channel beside large ones.
        const bool deep = converted && (image.depth() == 64 || image.size() != physical);
        if (deep)
            image.convertTo(QImage::Format_RGBX64);
        else if (image.depth() != 32)
            image.convertTo(QImage::Format_RGB32);
        if (image.size() != physical)
            image = image.scaled(physical, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!deep)
            image.convertTo(QImage::Format_RGB32);
    }
    return image;
}

// Whether the picture's colours are converted to sRGB: its file says what they mean, in another
// colour space. A space Qt cannot convert from was already dropped when it was read: those pictures
// are shown as they are.
bool convertsToSrgb(const QColorSpace& space)
{
    return space.isValid() && space != QColorSpace(QColorSpace::SRgb);
}

// The fitted picture's colours in sRGB, when they are converted. Done on the fitted picture, a few
// hundred pixels a side, where it costs little; at the 16 bits a channel it may have been scaled at.
QImage inSrgb(QImage image, const QColorSpace& space)
{
    if (!convertsToSrgb(space))
        return image;
    image.setColorSpace(space);
    image.convertToColorSpace(QColorSpace::SRgb);
    image.convertTo(QImage::Format_RGB32);
    return image;
}

// The upright picture as the screen shows it: fitted, opaque, in sRGB, marked with its ratio.
QImage forScreen(Upright upright, qreal devicePixelRatio)
{
    const QColorSpace space = upright.image.colorSpace();
    QImage shown = fitted(std::move(upright.image), fittedPhysicalSize(upright.natural, devicePixelRatio),
                          upright.hdr || convertsToSrgb(space));
    shown = upright.hdr ? hdrInSrgb(std::move(shown), *upright.hdr) : inSrgb(std::move(shown), space);
    shown.setDevicePixelRatio(devicePixelRatio);
    return shown;
}

} // namespace

LoadResult loadPicture(const QString& path, qreal devicePixelRatio)
{
    const auto opened = openPictureFile(path);
    if (const auto* refusal = std::get_if<Refusal>(&opened))
        return *refusal;
    return loadPictureFrom(std::get<FileDescriptor>(opened).get(), devicePixelRatio);
}

LoadResult loadPictureFrom(int descriptor, qreal devicePixelRatio)
{
    limitDecoderMemory();
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0))
        return Refusal{NoPermission};
    const auto recognised = recognise(file);
    if (const auto* refusal = std::get_if<Refusal>(&recognised))
        return *refusal;
    const PictureFormat& format = *std::get<const PictureFormat*>(recognised);
    const FileMapping mapping(file);
    const PictureSource source{file, mapping.bytes()};
    if (const auto refusal = format.checkBeforeReading(source))
        return withNamedSize(*refusal, {});

    // From here Qt's reader has read the header, and everything up to the decode reads only that.
    QImageReader reader(&file, format.name());
    const auto ownHeader = format.ownHeader(source);
    const DeclaredPicture declared = ownHeader ? *ownHeader : readHeader(reader, format);
    const qreal ratio = renderedPixelRatio(devicePixelRatio);
    const QSize storedTarget = asStored(fittedPhysicalSize(declared.natural(), ratio), declared);
    if (auto refusal = beyondLimits(format, declared, storedTarget))
        return *refusal;
    auto decoded = decode(format, source, reader, declared, storedTarget);
    if (auto* refusal = std::get_if<Refusal>(&decoded))
        return std::move(*refusal);
    const QSize natural = std::get<Upright>(decoded).natural;
    return LoadedPicture{forScreen(std::move(std::get<Upright>(decoded)), ratio), natural};
}

} // namespace tilmora
