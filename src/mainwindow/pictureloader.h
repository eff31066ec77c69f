#pragma once

// Reading a picture file the player chose and fitting it to the play area, with no window
// involved: the main window, the benchmarks and the fuzzers all load through here.
//
// Only regular files are opened, formats are recognised by their content (not their name) and
// limited to the ones the game trusts, and pictures too large to handle are refused before they
// are decoded. A large picture is decoded straight to its fitted size where the format allows.

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

// Largest picture accepted, in source pixels (a 100-megapixel camera is below it).
inline constexpr qint64 kMaxSourcePixels = 120'000'000;

// Reads the picture at `path` and fits it into the play area for a screen with the given device
// pixel ratio.
[[nodiscard]] LoadResult loadPicture(const QString& path, qreal devicePixelRatio = 1.0);

} // namespace tilmora
