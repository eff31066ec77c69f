#pragma once

// Reading a picture from an open file and fitting it to the play area: what the decoder helper
// does behind its wall, and what the benchmarks, the fuzzers and the tests call directly.
//
// The path a picture takes: its format is recognised by its content (not its name) and limited to
// the ones the game trusts (the format table); a picture too large to handle is refused from its
// header, and a damaged one by its format's checks, before anything is decoded. A large JPEG, PNG
// or WebP is decoded straight at a reduced size by the game's own decoders, HEIC and AVIF by
// libheif; the other formats are decoded whole by Qt's readers. The picture is then turned
// upright, scaled smoothly to fit, and its colours converted to sRGB when the file says what they
// mean (an ICC profile, nclx values, or a PNG's sRGB, gamma and primaries chunks).

#include "picture/loadresult.h"

#include <QString>

namespace tilmora {

// From a file open for reading (read from its start; it stays open), the picture fitted for a
// screen with the given device pixel ratio, or why it is refused. Photos are turned upright by
// their EXIF orientation, an icon file shows its largest image, a GIF its first frame, transparent
// parts come out black, and colours are shown in sRGB. Opens nothing, decodes the file once and
// never blocks on anything but reading it; needs no window or GUI application.
[[nodiscard]] LoadResult loadPictureFrom(int descriptor, qreal devicePixelRatio = 1.0);

// The same for the file at `path`, opened as the game opens it (openPictureFile): in this process,
// for the tests, the benchmarks and the fuzzers.
[[nodiscard]] LoadResult loadPicture(const QString& path, qreal devicePixelRatio = 1.0);

} // namespace tilmora
