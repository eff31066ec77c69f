#pragma once

// WebP pictures decoded straight to the size they are shown at. Qt's WebP reader always decodes
// the whole picture and leaves the scaling to the caller; libwebp can scale while it decodes, row
// by row, which for a phone photo shown in the play area is several times faster and never holds
// the full-size picture in memory (a lossy one, that is: a lossless picture is still decoded whole
// inside libwebp, then scaled). The loader's entry for WebP lives here too.

#include <QByteArrayView>
#include <QImage>
#include <QSize>

#include <optional>

namespace tilmora {

class PictureFormat;

// The size of the picture in a WebP file (the canvas, for an animation), read from its header
// without decoding anything. Nothing when the data is not a WebP file libwebp understands.
[[nodiscard]] std::optional<QSize> webpSize(QByteArrayView data);

// Decodes the WebP file held in `data` scaled to exactly `target` pixels (proportions are the
// caller's business; enlarging works too, but the game never asks for it). An animation yields
// its first frame when that frame covers the whole canvas, as animations almost always do.
//
// The result is Format_RGB32 for an opaque picture and Format_ARGB32_Premultiplied for one with
// transparency (scaled in premultiplied form, so colour hidden under transparent pixels does not
// bleed into the visible edges). Its device pixel ratio is 1. EXIF orientation is not applied;
// the colours are as stored, marked with the colour space of the file's ICC profile (none when it
// has no usable one).
//
// Nothing when anything is wrong: not WebP, damaged or cut short, a source larger than
// `maxSourcePixels`, an empty target or one larger than `maxSourcePixels`, an animation whose
// first frame covers only part of the canvas, or no memory for the result. A caller can then fall
// back on Qt's reader, which decodes what can be decoded and says why the rest cannot.
[[nodiscard]] std::optional<QImage> decodeWebpScaled(QByteArrayView data, QSize target,
                                                     qint64 maxSourcePixels);

// The loader's entry for WebP.
[[nodiscard]] const PictureFormat& webpFormat();

} // namespace tilmora
