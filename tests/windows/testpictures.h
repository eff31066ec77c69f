#pragma once

// Picture files made at test time, byte by byte where Qt does not write the format: good ones,
// and ones that declare what they do not hold. Shared by the tests that load pictures.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QRandomGenerator>

namespace tilmora::testing {

// The picture in a format Qt writes, as the bytes of a file.
inline QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        qFatal("cannot write a %s test picture: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

// One colour all over.
inline QImage filled(QSize size, const QColor& colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(colour);
    return image;
}

// Random colours, the same every run: compresses as badly as a photo.
inline QImage noise(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = random.generate() | 0xff000000u;
    }
    return image;
}

// The checksum each PNG chunk ends with.
inline quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= static_cast<uchar>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG chunk: length, type, data and checksum.
inline QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk;
    QDataStream out(&chunk, QIODevice::WriteOnly);
    const QByteArray typed = QByteArray(type) + data;
    out << static_cast<quint32>(data.size());
    out.writeRawData(typed.constData(), static_cast<int>(typed.size()));
    out << crc32(typed);
    return chunk;
}

// A PNG that is nothing but its header: enough for any size to be declared without the data.
inline QByteArray pngHeaderOnly(quint32 width, quint32 height, quint8 bitDepth = 8, quint8 colourType = 6)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out << width << height << bitDepth << colourType << quint8(0) << quint8(0) << quint8(0);
    // Qt reads the header up to the first data chunk, so one is there, its content never read.
    return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", QByteArray(16, '\0')) +
           pngChunk("IEND", {});
}

// The JPEG with an Exif segment holding only the orientation tag, right after the start marker.
inline QByteArray withOrientation(const QByteArray& jpeg, quint16 orientation)
{
    QByteArray exif;
    QDataStream tiff(&exif, QIODevice::WriteOnly);
    tiff.writeRawData("Exif\0\0MM", 8);
    tiff << quint16(42) << quint32(8) << quint16(1);                                  // header, one entry
    tiff << quint16(0x0112) << quint16(3) << quint32(1) << orientation << quint16(0); // SHORT
    tiff << quint32(0);                                                               // no further entries
    QByteArray segment;
    QDataStream out(&segment, QIODevice::WriteOnly);
    out << quint8(0xff) << quint8(0xe1) << static_cast<quint16>(exif.size() + 2);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

// The JPEG with its frame header declaring another size.
inline QByteArray withDeclaredSize(QByteArray jpeg, quint16 width, quint16 height)
{
    qsizetype at = 2;
    while (at + 4 < jpeg.size() && static_cast<uchar>(jpeg[at + 1]) != 0xc0)
        at += 2 + (static_cast<uchar>(jpeg[at + 2]) << 8 | static_cast<uchar>(jpeg[at + 3]));
    jpeg[at + 5] = static_cast<char>(height >> 8);
    jpeg[at + 6] = static_cast<char>(height & 0xff);
    jpeg[at + 7] = static_cast<char>(width >> 8);
    jpeg[at + 8] = static_cast<char>(width & 0xff);
    return jpeg;
}

// A Windows icon file holding the pictures as PNG, in the given order (type 2 makes a cursor).
inline QByteArray iconFile(const QList<QImage>& images, quint16 type = 1)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << type << static_cast<quint16>(images.size());
    QList<QByteArray> payloads;
    auto offset = static_cast<quint32>(6 + 16 * images.size());
    for (const QImage& image : images) {
        payloads << encode(image, "png");
        out << static_cast<quint8>(image.width()) << static_cast<quint8>(image.height()) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << static_cast<quint32>(payloads.last().size())
            << offset;
        offset += static_cast<quint32>(payloads.last().size());
    }
    for (const QByteArray& payload : payloads)
        out.writeRawData(payload.constData(), static_cast<int>(payload.size()));
    return file;
}

// Qt reads GIF but does not write it: a one-pixel red GIF, byte by byte.
inline QByteArray redPixelGif()
{
    return QByteArray::fromHex("474946383961" // GIF89a
                               "0100010080"
                               "0000" // 1 x 1, a two-colour table
                               "ff0000"
                               "000000" // red, black
                               "2c"
                               "00000000"
                               "01000100"
                               "00" // the image, 1 x 1
                               "02"
                               "02"
                               "4401"
                               "00" // LZW: clear, colour 0, end
                               "3b");
}

// Qt does not write Targa either: 2 x 2 red, uncompressed, top row first, with the footer of
// version 2 of the format, without which Qt does not read it.
inline QByteArray redTarga()
{
    const QByteArray header = QByteArray::fromHex("00000200000000000000000002000200"
                                                  "1820");
    const QByteArray pixels = QByteArray::fromHex("0000ff").repeated(4);
    const QByteArray footer = QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.", 18);
    return header + pixels + footer;
}

} // namespace tilmora::testing
