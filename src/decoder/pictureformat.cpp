#include "pictureformat.h"

#include <QFile>

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

QByteArrayView wholeFile(const PictureSource& file, QByteArray& read)
{
    if (!file.bytes.isEmpty())
        return file.bytes;
    const ReadFromStart fromStart(file.device);
    read = file.device.readAll();
    return read;
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

} // namespace tilmora
