#pragma once

// What a kind of picture file is to the loader: one entry a format. An entry says how a file of its
// kind is recognised from its first bytes, what is checked before it is decoded, how much memory
// reading it takes, and how it is decoded: by the game's own reduced decoder where there is one,
// otherwise by Qt's reader. The loader asks the entries in turn and never branches on a format's
// name, so a new format is one new entry in its own file, listed in the format table
// (formattable.cpp).
//
// What a new format touches, besides its entry and its place in the table:
// - the list of formats offered in CMakeLists.txt (TILMORA_PICTURE_FORMATS): its name in --help
//   and the README, its MIME types in the desktop entry and the AppStream file, which the build
//   writes from that list; tst_picture fails while the table and the list disagree, the install
//   check while the installed files do, and the build stops while the README does;
// - its decoder library: found in src/decoder/CMakeLists.txt, its Debian packages (the library and
//   anything the tests make its files with) in scripts/packages.txt;
// - the wall (decoderlockdown.cpp), only if its decoder needs a system call the others do not;
//   what it must do before the wall goes up, in its entry (prepareBeforeWall);
// - the tests' rows (tst_picture: its layouts and refusals; tst_picturereader: through the helper)
//   and a seed or two in fuzz/corpus/fuzz_loader/;
// - the README's "Formats it opens" and the translations only where a refusal names a new kind.

#include "hdrpicture.h"
#include "picture/loadresult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColorSpace>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>

#include <optional>

class QFile;
class QImageReader;

namespace tilmora {

// The whole of a file mapped into memory for reading, unmapped when this goes. The view is empty
// when the file system cannot map it.
class FileMapping
{
public:
    explicit FileMapping(QFile& file);
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;
    FileMapping(FileMapping&&) = delete;
    FileMapping& operator=(FileMapping&&) = delete;

    [[nodiscard]] QByteArrayView bytes() const { return {mapped_, size_}; }

private:
    QFile& file_;
    uchar* mapped_ = nullptr;
    qsizetype size_ = 0;
};

// The file a format entry reads, opened by the game and handed over (the picture room's
// picturefile opens it): as a stream (where Qt's reader stands: anything else reading it puts it
// back) and mapped whole (empty when it cannot be).
struct PictureSource {
    QFile& device;
    QByteArrayView bytes;
};

// Reads `file` from its start and puts it back where it stood when this goes.
class ReadFromStart
{
public:
    explicit ReadFromStart(QFile& file);
    ~ReadFromStart();
    ReadFromStart(const ReadFromStart&) = delete;
    ReadFromStart& operator=(const ReadFromStart&) = delete;
    ReadFromStart(ReadFromStart&&) = delete;
    ReadFromStart& operator=(ReadFromStart&&) = delete;

private:
    QFile& file_;
    qint64 position_;
};

// The whole file's bytes: its mapping where the file system lets it be mapped, otherwise read
// into `read`, which then holds them for as long as the view is used.
[[nodiscard]] QByteArrayView wholeFile(const PictureSource& file, QByteArray& read);

// What a picture's header declares, read before anything is decoded.
struct DeclaredPicture {
    QSize stored; // as the pixels are stored, before the EXIF orientation turns them
    QImageIOHandler::Transformations orientation;
    int bitsPerPixel = 32; // of the picture Qt's reader would decode whole

    [[nodiscard]] QSize natural() const
    {
        return orientation.testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
    }
};

// What the game's own decoder made of a file: the picture as stored (not turned), marked with
// the colour space its file declares; a refusal; or nothing, leaving the file to Qt's reader.
struct OwnDecode {
    std::optional<QImage> image;
    std::optional<Refusal> refusal;
    // What the file's colours mean, where the format reads that better than Qt's reader; it then
    // holds for whatever decodes the picture.
    std::optional<QColorSpace> colourSpace = {};
    // How the image's pixels are coded when the file says they are HDR (its colour space is then
    // left unset): converted to sRGB once the picture is fitted.
    std::optional<HdrCoding> hdr = {};
};

class PictureFormat
{
public:
    PictureFormat() = default;
    virtual ~PictureFormat() = default;
    PictureFormat(const PictureFormat&) = delete;
    PictureFormat& operator=(const PictureFormat&) = delete;
    PictureFormat(PictureFormat&&) = delete;
    PictureFormat& operator=(PictureFormat&&) = delete;

    // As Qt's readers name the format ("jpeg"), or, for a kind the game does not open, as the
    // player is told it ("HEIC").
    [[nodiscard]] virtual QByteArray name() const = 0;
    // Whether the first bytes of a file (up to kHeadBytes of them) are this format's.
    [[nodiscard]] virtual bool recognises(QByteArrayView head) const = 0;
    // The most pixels its header may declare.
    [[nodiscard]] virtual qint64 maxPixels() const;
    // Readies what the decoder needs that it could not get behind the wall (plugins it loads from
    // disk): the helper asks every entry once, before the wall goes up.
    virtual void prepareBeforeWall() const {}

    // What the header declares, for a format the game reads without Qt's reader (nothing: Qt's
    // reader reads it). An empty size when the header cannot be read: a damaged file.
    [[nodiscard]] virtual std::optional<DeclaredPicture> ownHeader(const PictureSource& /*file*/) const
    {
        return std::nullopt;
    }
    // Checks that run before any reader reads the file, not even its header. A refusal from an entry
    // says why; the loader adds the size and limit it names.
    [[nodiscard]] virtual std::optional<Refusal> checkBeforeReading(const PictureSource& /*file*/) const
    {
        return std::nullopt;
    }
    // Points Qt's reader, which reads the header, at the picture to show.
    virtual void choosePicture(QImageReader& /*reader*/) const {}
    // The memory the way this format is read takes at its peak, for a picture shown at
    // `storedTarget` pixels (in the stored orientation). By default Qt's whole decode.
    [[nodiscard]] virtual qint64 peakBytes(const DeclaredPicture& declared, QSize storedTarget) const;
    // Whether the file holds every byte of picture data its header announces, for the formats Qt's
    // reader would show cut short without complaint. Asked before Qt's reader decodes; the game's
    // own decoder answers for what it decodes itself.
    [[nodiscard]] virtual bool holdsAllData(const PictureSource& /*file*/) const { return true; }
    // The game's own decoder: at least `storedTarget` pixels where it can reduce.
    [[nodiscard]] virtual OwnDecode decode(const PictureSource& /*file*/, const DeclaredPicture& /*declared*/,
                                           QSize /*storedTarget*/) const
    {
        return {};
    }
    // The size Qt's reader decodes at when the game's decoder left the file to it: the whole
    // picture (an empty size) unless the reader can scale as it decodes.
    [[nodiscard]] virtual QSize readerScaledSize(const DeclaredPicture& /*declared*/,
                                                 QSize /*storedTarget*/) const
    {
        return {};
    }
};

// Bytes of the file's start that recognising a format looks at.
inline constexpr qint64 kHeadBytes = 64;

// The memory a whole decode by Qt's reader takes at its peak: the picture at its own bits a pixel
// and, when that is not 32, the 32-bit copy the fitting works on. Rows aligned as QImage aligns them.
[[nodiscard]] qint64 wholeDecodeBytes(QSize stored, int bitsPerPixel);

// Whether a picture shown at `target` pixels is smaller than `stored` in both directions.
[[nodiscard]] bool shownSmaller(QSize stored, QSize target);

// The colour space of an ICC profile; an invalid one (nothing is converted) when Qt cannot use it:
// a CMYK or damaged profile never stops a picture.
[[nodiscard]] QColorSpace colourSpaceOfProfile(const QByteArray& profile);

} // namespace tilmora
