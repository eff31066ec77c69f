#pragma once

// What reading a picture file comes to: the picture fitted for the play area, or the reason it is
// refused. Both sides of the wall speak in these values: the decoder helper decides, the game
// checks what it is told and words a refusal for the player (refusalmessages.h). The limits every
// picture is held to are here too, since the helper applies them and the game believes nothing
// beyond them.

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <cstdint>
#include <variant>

namespace tilmora {

// A picture ready for the play area: already fitted, rendered for the screen's device pixel
// ratio (its deviceIndependentSize() is the fitted size in logical pixels) and opaque.
struct LoadedPicture {
    QImage fitted;
    QSize naturalSize; // pixels of the picture as the player sees it (upright)
};

// Why a file is not shown, with what the player's sentence names besides the file.
struct Refusal {
    enum class Reason : std::uint32_t {
        Damaged,       // the format is known but the data is broken or cut short
        KindNotOpened, // a kind of picture the game does not open, named by `kind`
        TooMuchMemory, // reading it would take more than kAllocationLimitMiB; `size` as declared
        TooManyPixels, // `size` has more pixels than `limit`
        NotAFile,      // a folder, a device, a pipe or a socket
        Missing,       // the file is gone
        NoPermission,  // the file cannot be opened for reading
        Empty,         // a file of no bytes
        NotAPicture,   // no picture format recognised in its content
        Unwalled,      // no picture is read on a system where the decoder cannot be walled in
    };
    Reason reason = Reason::Damaged;
    QByteArray kind = {}; // as the player knows it: "JPEG XL", "12-bit JPEG"
    QSize size = {};
    qint64 limit = 0; // in pixels

    friend bool operator==(const Refusal&, const Refusal&) = default;
};

using LoadResult = std::variant<LoadedPicture, Refusal>;

// Largest picture accepted, in source pixels (a 100-megapixel camera is below it). Checked on the
// size the file declares, before anything is decoded: a JPEG is decoded straight to its fitted
// size, so no allocation would ever show how large its source is.
inline constexpr qint64 kMaxSourcePixels = 120'000'000;

// A GIF may declare a screen far larger than the frames it carries, and Qt's reader fills the
// whole screen before drawing the first frame: a file of 49 bytes could take seconds and half a
// gigabyte. GIFs are drawings and animations, not camera photos, so their cap is lower.
inline constexpr qint64 kMaxGifPixels = 16'000'000;

// The memory one decode may take, in MiB. Qt 6.4's own default allocation limit, 128 MB, would
// refuse a plain 32-bit decode of anything above 33 megapixels, well below kMaxSourcePixels;
// 512 MiB holds the largest accepted picture at 4 bytes a pixel (458 MiB). The decoder checks the
// budget up front against what the way the file will be read takes, so the player is told a
// picture is too large rather than damaged, and holds Qt's readers and libjpeg to it while they
// decode.
inline constexpr int kAllocationLimitMiB = 512;
inline constexpr qint64 kAllocationLimitBytes = qint64{kAllocationLimitMiB} * 1024 * 1024;

} // namespace tilmora
