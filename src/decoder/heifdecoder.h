#pragma once

// HEIC and AVIF photos (and other still pictures in a HEIF file), read by libheif, which decodes
// HEVC with libde265 and AV1 with dav1d. Only the decoder helper reads them: two parsers of bytes
// from anywhere stay behind its wall. The loader's entry for them lives here.
//
// The picture shown is the file's primary image (not a thumbnail, a depth or an alpha auxiliary
// image, nor a later picture of a sequence). Its declared size is checked against the game's
// limits before anything is decoded; libheif turns and mirrors it as its `irot` and `imir` boxes
// say, once (an EXIF orientation inside the file is not applied on top), and its colours are
// marked with what its `colr` box says they mean (an ICC profile, or nclx values).

namespace tilmora {

class PictureFormat;

// The loader's entry for HEIF files: HEIC, AVIF and the rest.
[[nodiscard]] const PictureFormat& heifFormat();

} // namespace tilmora
