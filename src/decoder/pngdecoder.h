#pragma once

// Large PNG pictures reduced while they are decoded. Qt's reader decodes the whole picture into
// memory first (96 MB for a 24-megapixel photo) and leaves the scaling to the caller; here each row
// is added into a small grid of block averages as libpng inflates it, and interlaced pictures are
// taken pass by pass, so the full-size picture is never held and never walked twice. The file is
// read as a stream, a block at a time, not mapped whole.
//
// The PNG entry of the loader's formats lives here too, with the check of a PNG's chunks that finds
// a file cut short or spoilt before any reader opens it.

#include <QImage>
#include <QSize>

#include <optional>

class QIODevice;

namespace tilmora {

class PictureFormat;

// Decodes the PNG file read from `device` (from where it stands), each pixel of the result the
// average of a square block of the picture: the largest block that keeps the result at least
// twice `atLeast` in both directions (blocks at the right and bottom edges may be cut short), so
// the caller's smooth scaling to `atLeast` has detail to work with.
//
// Transparency is flattened onto black, as the game shows it: colours are averaged weighted by
// their opacity. The result is Format_RGB32 with a device pixel ratio of 1, its colours as stored,
// marked with the colour space the file declares: its ICC profile, else its sRGB chunk, else its
// gamma (with its primaries when it gives them); none when it says nothing usable.
//
// Nothing when the picture is less than four times `atLeast` in either direction (a whole decode
// is as quick and small there) or libpng reports an error (not a PNG, damaged, cut short), so a
// caller can fall back on Qt's reader, which decodes it whole or says what is wrong. The exception
// is a picture Qt's reader renders wrongly, 16-bit samples with one colour marked transparent:
// that one is decoded here at any size, in blocks of one pixel when it is small.
[[nodiscard]] std::optional<QImage> decodePngReduced(QIODevice& device, QSize atLeast);

// The loader's entry for PNG.
[[nodiscard]] const PictureFormat& pngFormat();

} // namespace tilmora
