#include "pictureformat.h"

#include "bitmapformats.h"
#include "heifdecoder.h"
#include "jpegdecoder.h"
#include "jxldecoder.h"
#include "pictureloader.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <sys/mman.h>

namespace tilmora {

FileMapping::FileMapping(QFile& file)
    : file_(file)
    , mapped_(file.map(0, file.size()))
    , size_(mapped_ != nullptr ? static_cast<qsizetype>(file.size()) : 0)
{
#ifdef MADV_POPULATE_READ
    // Every decoder reads the whole file: its pages are asked for in one go, not a fault at a time.
    // An older kernel refuses the advice, and the pages come as they are read.
    if (mapped_ != nullptr)
        ::madvise(mapped_, static_cast<std::size_t>(size_), MADV_POPULATE_READ);
#endif
}

FileMapping::~FileMapping()
{
    if (mapped_ != nullptr)
        file_.unmap(mapped_);
}

ReadFromStart::ReadFromStart(QFile& file)
    : file_(file)
    , position_(file.pos())
{
    file.seek(0);
}

ReadFromStart::~ReadFromStart()
{
    file_.seek(position_);
}

qint64 PictureFormat::maxPixels() const
{
    return kMaxSourcePixels;
}

qint64 PictureFormat::peakBytes(const DeclaredPicture& declared, QSize /*storedTarget*/) const
{
    return wholeDecodeBytes(declared.stored, declared.bitsPerPixel);
}

qint64 wholeDecodeBytes(QSize stored, int bitsPerPixel)
{
    const auto bytesAt = [stored](qint64 bits) {
        return (stored.width() * bits + 31) / 32 * 4 * stored.height();
    };
    return bitsPerPixel == 32 ? bytesAt(32) : bytesAt(bitsPerPixel) + bytesAt(32);
}

bool shownSmaller(QSize stored, QSize target)
{
    return target.width() < stored.width() && target.height() < stored.height();
}

QColorSpace colourSpaceOfProfile(const QByteArray& profile)
{
    return profile.isEmpty() ? QColorSpace() : QColorSpace::fromIccProfile(profile);
}

namespace {

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

} // namespace

bool isHeifFile(QByteArrayView head)
{
    return isAvif(head) || isHeic(head) || isHeif(head);
}

const PictureFormat* formatOf(QByteArrayView head)
{
    const std::array<const PictureFormat*, 8> formats{&pngFormat(),  &jpegFormat(), &gifFormat(),
                                                      &bmpFormat(),  &webpFormat(), &iconFormat(),
                                                      &heifFormat(), &jxlFormat()};
    const auto found = std::find_if(formats.begin(), formats.end(),
                                    [&](const PictureFormat* format) { return format->recognises(head); });
    return found != formats.end() ? *found : nullptr;
}

} // namespace tilmora
