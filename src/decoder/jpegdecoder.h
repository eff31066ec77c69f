#pragma once

// JPEG photos decoded at the reduced size the play area needs. libjpeg can decode at 1/8, 2/8 ...
// of the full size, which for a phone photo is many times faster than a whole decode. A
// progressive JPEG is sent as a series of scans, each adding detail; at 1/8 only each block's
// average colour is shown, so reading stops as soon as the scans have delivered every coefficient
// the reduced picture uses. The result is exactly what decoding the whole file at that scale
// gives, often in two thirds of the time.
//
// The JPEG entry of the loader's formats lives here too: the walk over a JPEG's segments that finds
// a file cut short or of a depth no reader here decodes, before anything is decoded.

#include <QByteArrayView>
#include <QImage>
#include <QSize>

namespace tilmora {

class PictureFormat;

struct JpegDecode {
    enum class Outcome {
        Decoded,
        // libjpeg would need more memory than allowed for its own buffers (a progressive JPEG
        // keeps every coefficient of the whole picture while its scans arrive).
        TooLarge,
        // Not decoded here: not a JPEG, damaged, or a colour model this decoder leaves to Qt's
        // reader (CMYK, YCCK).
        Declined,
    };
    Outcome outcome = Outcome::Declined;
    // Format_RGB32, device pixel ratio 1, marked with the colour space of the file's ICC profile
    // (none when it has no usable one); only when decoded
    QImage image;
    // Whether libjpeg read on to the end-of-image marker (a picture of one scan): the file is then
    // known to hold all its data. Reading a progressive one stops once the reduced picture is in.
    bool readToEnd = false;
};

// Decodes the JPEG file held in `data` at the smallest scale of n/8 whose size covers `atLeast`
// in both directions (at most the full size); the caller scales the rest. The size is that of the
// stored picture: EXIF orientation is not applied, and the colours are as stored. libjpeg's working
// memory is held to `memoryBudgetBytes`. Any warning from libjpeg (corrupt data) declines.
[[nodiscard]] JpegDecode decodeJpegReduced(QByteArrayView data, QSize atLeast, qint64 memoryBudgetBytes);

// The loader's entry for JPEG.
[[nodiscard]] const PictureFormat& jpegFormat();

} // namespace tilmora
