#include "picture/pngdecoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtTest>

#include <png.h>

#include <vector>

namespace {

std::optional<QImage> decodePngReduced(const QByteArray& png, QSize atLeast)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    return tilmora::decodePngReduced(buffer, atLeast);
}

// Colour gradients with a fine grid and, where the picture has alpha, opacity that varies across
// it: sums that leave out a pixel, mix up passes or ignore opacity all show.
QImage patterned(QSize size, bool transparency)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int grid = ((x + 2 * y) % 5 == 0) ? 120 : 0;
            const int alpha = transparency ? (x * 7 + y * 3) % 256 : 255;
            image.setPixel(
                x, y,
                qRgba((x * 255 / size.width() + grid) % 256, y * 255 / size.height(), 255 - grid, alpha));
        }
    }
    return image;
}

QByteArray qtPng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

void appendBytes(png_structp png, png_bytep data, std::size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushNothing(png_structp /*png*/)
{}

// An Adam7-interlaced PNG, written with libpng itself (Qt's writer cannot interlace).
QByteArray interlacedPng(const QImage& picture, bool withAlpha)
{
    const QImage rgba = picture.convertToFormat(withAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, appendBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgba.width()), static_cast<png_uint_32>(rgba.height()),
                 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (int y = 0; y < rgba.height(); ++y)
        rows.push_back(const_cast<png_bytep>(rgba.constScanLine(y)));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// What the reduced decode must give, worked out from Qt's whole decode: each block's colours
// weighted by opacity (the picture on black), averaged over the block's pixels and rounded.
QImage blockAverages(const QImage& whole, int block)
{
    const QImage source = whole.convertToFormat(QImage::Format_ARGB32);
    const QSize grid((source.width() + block - 1) / block, (source.height() + block - 1) / block);
    QImage expected(grid, QImage::Format_RGB32);
    for (int cy = 0; cy < grid.height(); ++cy) {
        for (int cx = 0; cx < grid.width(); ++cx) {
            qint64 red = 0;
            qint64 green = 0;
            qint64 blue = 0;
            qint64 pixels = 0;
            for (int y = cy * block; y < std::min(source.height(), (cy + 1) * block); ++y) {
                for (int x = cx * block; x < std::min(source.width(), (cx + 1) * block); ++x) {
                    const QRgb pixel = source.pixel(x, y);
                    red += qRed(pixel) * qAlpha(pixel);
                    green += qGreen(pixel) * qAlpha(pixel);
                    blue += qBlue(pixel) * qAlpha(pixel);
                    ++pixels;
                }
            }
            const qint64 divisor = pixels * 255;
            const auto average = [divisor](qint64 sum) { return int((sum + divisor / 2) / divisor); };
            expected.setPixel(cx, cy, qRgb(average(red), average(green), average(blue)));
        }
    }
    return expected;
}

} // namespace

class TestPngDecoder : public QObject
{
    Q_OBJECT

private slots:
    void averagesEveryPixelOfEachBlock_data();
    void averagesEveryPixelOfEachBlock();
    void choosesTheLargestBlockKeepingTwiceTheSize();
    void declinesWhatItLeavesToQt_data();
    void declinesWhatItLeavesToQt();
};

void TestPngDecoder::averagesEveryPixelOfEachBlock_data()
{
    QTest::addColumn<QByteArray>("png");

    // 203 x 157 in blocks of 5: the last column and row of blocks are cut short.
    const QSize size(203, 157);
    const QImage opaque = patterned(size, false);
    const QImage transparent = patterned(size, true);
    QTest::addRow("RGB") << qtPng(opaque.convertToFormat(QImage::Format_RGB32));
    QTest::addRow("RGBA") << qtPng(transparent);
    QTest::addRow("grey") << qtPng(opaque.convertToFormat(QImage::Format_Grayscale8));
    QTest::addRow("16-bit RGBA") << qtPng(transparent.convertToFormat(QImage::Format_RGBA64));
    QImage palette = opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    palette.setColor(0, qRgba(0, 0, 0, 0)); // a transparency key: palette entry 0 is see-through
    QTest::addRow("palette with a transparent entry") << qtPng(palette);
    QTest::addRow("interlaced RGB") << interlacedPng(opaque, false);
    QTest::addRow("interlaced RGBA") << interlacedPng(transparent, true);
    // Narrower than one interlace step in each direction: some passes are empty.
    QTest::addRow("interlaced 7 x 5") << interlacedPng(patterned({7, 5}, true), true);
}

void TestPngDecoder::averagesEveryPixelOfEachBlock()
{
    QFETCH(QByteArray, png);
    const QImage whole = QImage::fromData(png, "png");
    QVERIFY(!whole.isNull());
    // Twice 20 x 15 fits five times into 203 x 157; for the 7 x 5 picture, twice 1 x 1 fits twice.
    const QSize atLeast = whole.width() > 10 ? QSize(20, 15) : QSize(1, 1);
    const int block = whole.width() > 10 ? 5 : 2;

    const auto reduced = decodePngReduced(png, atLeast);
    QVERIFY(reduced);
    QCOMPARE(reduced->format(), QImage::Format_RGB32);
    QCOMPARE(*reduced, blockAverages(whole, block));
}

void TestPngDecoder::choosesTheLargestBlockKeepingTwiceTheSize()
{
    const QByteArray png = qtPng(patterned({1000, 600}, false));
    // 1000 / (2 * 100) = 5 and 600 / (2 * 50) = 6: blocks of 5, the narrower direction decides.
    QCOMPARE(decodePngReduced(png, {100, 50})->size(), QSize(200, 120));
    QCOMPARE(decodePngReduced(png, {50, 100})->size(), QSize(334, 200));
}

void TestPngDecoder::declinesWhatItLeavesToQt_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray png = qtPng(patterned({400, 300}, false));
    QTest::addRow("too small to gain") << qtPng(patterned({79, 300}, false));
    QTest::addRow("empty") << QByteArray();
    QTest::addRow("JPEG bytes") << QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11);
    QTest::addRow("cut in the middle") << png.left(png.size() / 2);
    QByteArray badChecksum = png;
    badChecksum[png.size() - 14] = static_cast<char>(badChecksum[png.size() - 14] ^ 0x55); // last IDAT's CRC
    QTest::addRow("bad checksum") << badChecksum;
}

void TestPngDecoder::declinesWhatItLeavesToQt()
{
    // 20 x 20 at least: a block of 2 needs 80 pixels each way.
    QFETCH(QByteArray, data);
    QVERIFY(!decodePngReduced(data, {20, 20}));
}

QTEST_GUILESS_MAIN(TestPngDecoder)
#include "tst_pngdecoder.moc"
