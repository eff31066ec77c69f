#pragma once

// Reading a picture file the player chose and fitting it to the play area, with no window
// involved: the main window, the benchmarks and the fuzzers all load through here.
//
// Only regular files are opened, formats are recognised by their content (not their name) and
// limited to the ones the game trusts (JPEG, PNG, GIF, BMP, WebP and Windows icons), and pictures
// too large to handle are refused before they are decoded. A large JPEG is decoded straight to
// its fitted size; everything else is decoded whole and scaled down smoothly.

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
// larger than this (QImageReader's allocation limit, which is process-wide; loadPicture sets it on
// first use). Qt 6.4's default, 128 MB, would refuse a plain 32-bit decode of anything above 33
// megapixels, well below kMaxSourcePixels; 512 MiB holds the largest accepted picture at 4 bytes
// a pixel (458 MiB). The same budget is checked up front against the size and pixel format the
// file declares, counting the 32-bit copy the fitting works on when the decoder produces another
// format, so the player is told a picture is too large rather than damaged: a 16-bit PNG may have
// up to 44 megapixels, a greyscale one 107. libjpeg's own buffers are held to it too: a
// progressive JPEG keeps every coefficient of the whole picture while its scans arrive.
inline constexpr int kAllocationLimitMiB = 512;
inline constexpr qint64 kAllocationLimitBytes = qint64{kAllocationLimitMiB} * 1024 * 1024;

// Reads the picture at `path` and fits it into the play area for a screen with the given device
// pixel ratio. Photos are turned upright by their EXIF orientation, an icon file shows its largest
// image, a GIF its first frame, and transparent parts come out black. Decodes the file once and
// never blocks on anything but reading it; safe to call without a window or a GUI application.
[[nodiscard]] LoadResult loadPicture(const QString& path, qreal devicePixelRatio = 1.0);

} // namespace tilmora
