#include "bitmapformats.h"

#include "pictureformat.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace tilmora {

namespace {

// Whether an uncompressed BMP holds every row its header declares. Qt's BMP reader stops at the
// end of a cut-off file and returns the picture with the missing rows unset, without an error.
// Run-length compressed pictures declare no size to check against and are taken as Qt reads them.
bool bmpReachesEnd(QFile& file)
{
    const ReadFromStart rewound(file); // the reader goes on from where it stopped
    const QByteArray head = file.peek(34);
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

class BmpFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "bmp"; }
    bool recognises(QByteArrayView head) const override { return head.startsWith("BM"); }
    bool holdsAllData(const PictureSource& file) const override { return bmpReachesEnd(file.device); }
};

// Icon directory entries looked at, at most: far more than any real icon holds. Qt reads the file
// again for every entry, so the 65535 a directory can claim would take seconds.
constexpr qint64 kMaxIconEntries = 256;

class IconFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "ico"; }

    // An icon file has no signature, only a directory: reserved 0, type 1 (an icon; 2 would be a
    // cursor), at least one entry, and that entry's reserved byte 0. A cursor is not an icon.
    bool recognises(QByteArrayView head) const override
    {
        const auto at = [&](qsizetype i) { return static_cast<uchar>(head[i]); };
        if (head.size() < 22)
            return false;
        const int type = at(2) | at(3) << 8;
        const int count = at(4) | at(5) << 8;
        return at(0) == 0 && at(1) == 0 && type == 1 && count > 0 && at(9) == 0;
    }

    // An icon file holds the same picture at several sizes, often smallest first; the game shows
    // the largest. Sizes come from the icon directory, without decoding anything. The directory's
    // count is only a claim: no more entries (16 bytes each, after a 6-byte header) are looked at
    // than the file can hold.
    void choosePicture(QImageReader& reader) const override
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
            const qint64 pixels = qint64{size.width()} * size.height();
            if (size.isValid() && pixels > largestPixels) {
                largest = index;
                largestPixels = pixels;
            }
        }
        reader.jumpToImage(largest);
    }
};

// A GIF may declare a screen far larger than the frames it carries, and Qt's reader fills the
// whole screen before drawing the first frame, hence its lower limit.
class GifFormat : public PictureFormat
{
public:
    QByteArray name() const override { return "gif"; }
    bool recognises(QByteArrayView head) const override
    {
        return head.startsWith("GIF87a") || head.startsWith("GIF89a");
    }
    qint64 maxPixels() const override { return kMaxGifPixels; }
};

} // namespace

const PictureFormat& bmpFormat()
{
    static const BmpFormat format;
    return format;
}

const PictureFormat& iconFormat()
{
    static const IconFormat format;
    return format;
}

const PictureFormat& gifFormat()
{
    static const GifFormat format;
    return format;
}

} // namespace tilmora
