#pragma once

// Reading a picture file the player chose and fitting it to the play area, with no window
// involved: the main window, the benchmarks and the fuzzers all load through here.
//
// The path a picture takes: only a regular file is opened; its format is recognised by its content
// (not its name) and limited to the ones the game trusts (JPEG, PNG, GIF, BMP, WebP, Windows icons,
// HEIC, AVIF and JPEG XL; the rest are named and refused); a picture too large to handle is
// refused from its header, and a damaged one by its format's checks, before anything is decoded.
// A large JPEG, PNG or WebP is decoded straight at a reduced size by the game's own decoders; the
// other formats are decoded whole by Qt's readers. The picture is then turned upright, scaled
// smoothly to fit, and its colours converted to sRGB when the file says what they mean (an ICC
// profile, or a PNG's sRGB, gamma and primaries chunks).
//
// Opening the file is a step of its own (openPictureFile); the rest reads only from the open file
// (loadPictureFrom), so it can run where no path can be opened.

#include <QImage>
#include <QSize>
#include <QString>

#include <variant>

namespace tilmora {

// A picture ready for the play area: already fitted, rendered for the screen's device pixel
// ratio (its deviceIndependentSize() is the fitted size in logical pixels) and opaque.
struct LoadedPicture {
    QImage fitted;
    QSize naturalSize; // pixels of the picture as the player sees it (upright)
};

enum class LoadError {
    NotRegularFile,   // a folder, a device, a pipe or a socket
    NotFound,         // the file is gone
    NoPermission,     // the file cannot be opened for reading
    NotAPicture,      // no picture format recognised in its content
    FormatNotAllowed, // a picture format the game does not open
    Damaged,          // the format is known but the data is broken
    TooLarge,         // more pixels than the game will decode
};

struct LoadFailure {
    LoadError error;
    QString message; // one sentence for the player, naming the file and the reason
};

using LoadResult = std::variant<LoadedPicture, LoadFailure>;

// Largest picture accepted, in source pixels (a 100-megapixel camera is below it). Checked on the
// size the file declares, before anything is decoded: a JPEG is decoded straight to its fitted
// size, so no allocation would ever show how large its source is.
inline constexpr qint64 kMaxSourcePixels = 120'000'000;

// A GIF may declare a screen far larger than the frames it carries, and Qt's reader fills the
// whole screen before drawing the first frame: a file of 49 bytes could take seconds and half a
// gigabyte. GIFs are drawings and animations, not camera photos, so their cap is lower.
inline constexpr qint64 kMaxGifPixels = 16'000'000;

// The memory one decode may take, in MiB. Qt's image decoders refuse any single picture buffer
// larger than this (QImageReader's allocation limit, which is process-wide; loadPictureFrom sets
// it on first use). Qt 6.4's default, 128 MB, would refuse a plain 32-bit decode of anything above 33
// megapixels, well below kMaxSourcePixels; 512 MiB holds the largest accepted picture at 4 bytes
// a pixel (458 MiB). The same budget is checked up front against what the way the file will be
// read takes, so the player is told a picture is too large rather than damaged: for a whole decode
// by Qt's reader, the picture in the pixel format the file declares and the 32-bit copy the
// fitting works on when that is another format (a BMP of 256 colours or fewer may have up to 107
// megapixels); a PNG reduced row by row holds only a few rows and the grid of averages, so a
// greyscale or 16-bit one is held to the pixel limit alone. libjpeg's own buffers are held to
// the budget too: a progressive JPEG keeps every coefficient of the whole picture while its scans
// arrive.
inline constexpr int kAllocationLimitMiB = 512;
inline constexpr qint64 kAllocationLimitBytes = qint64{kAllocationLimitMiB} * 1024 * 1024;

// Reads the picture at `path` and fits it into the play area for a screen with the given device
// pixel ratio: openPictureFile, then loadPictureFrom. Photos are turned upright by their EXIF
// orientation, an icon file shows its largest image, a GIF its first frame, transparent parts come
// out black, and colours are shown in sRGB. Decodes the file once and never blocks on anything but
// reading it; safe to call without a window or a GUI application.
[[nodiscard]] LoadResult loadPicture(const QString& path, qreal devicePixelRatio = 1.0);

// An open file, closed when this goes (or handed on by release()).
class FileDescriptor
{
public:
    explicit FileDescriptor(int descriptor) noexcept
        : descriptor_(descriptor)
    {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept
        : descriptor_(other.release())
    {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return descriptor_; }
    // The descriptor, no longer closed by this.
    [[nodiscard]] int release();

private:
    int descriptor_;
};

// The name messages give the file at `path`: its own name, as the player knows it.
[[nodiscard]] QString pictureDisplayName(const QString& path);

// The first step: opens `path` for reading only if it is a regular file (links followed) at the
// moment it is opened. A pipe put in its place is never waited on, and a folder, a device or a
// socket is refused without being read.
[[nodiscard]] std::variant<FileDescriptor, LoadFailure> openPictureFile(const QString& path);

// The rest of the path, from a file open for reading (read from its start; it stays open): the
// same result as loadPicture, messages naming the file `name` (as pictureDisplayName gives it).
// Opens nothing and never needs the file's path.
[[nodiscard]] LoadResult loadPictureFrom(int descriptor, const QString& name, qreal devicePixelRatio = 1.0);

} // namespace tilmora
