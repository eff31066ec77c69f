#include "picture/jpegdecoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using tilmora::decodeJpegReduced;
using tilmora::JpegDecode;

namespace {

constexpr qint64 kAmpleMemory = qint64{512} * 1024 * 1024;

enum class Colour { Sampled420, Full444, Grey, Cmyk };

struct Encoding {
    Colour colour = Colour::Sampled420;
    bool progressive = false;
};

// Written with libjpeg itself, so the colour model, chroma sampling and scan order are the test's
// choice (Qt's writer decides those on its own).
QByteArray encodeJpeg(const QImage& picture, Encoding encoding)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    info.image_width = static_cast<JDIMENSION>(picture.width());
    info.image_height = static_cast<JDIMENSION>(picture.height());
    switch (encoding.colour) {
    case Colour::Grey:
        info.input_components = 1;
        info.in_color_space = JCS_GRAYSCALE;
        break;
    case Colour::Cmyk:
        info.input_components = 4;
        info.in_color_space = JCS_CMYK;
        break;
    default:
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (encoding.colour == Colour::Full444) {
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    }
    if (encoding.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);

    std::vector<unsigned char> row(static_cast<std::size_t>(picture.width() * info.input_components));
    for (int y = 0; y < picture.height(); ++y) {
        unsigned char* out = row.data();
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (encoding.colour == Colour::Grey) {
                *out++ = static_cast<unsigned char>(qGray(pixel));
                continue;
            }
            *out++ = static_cast<unsigned char>(qRed(pixel));
            *out++ = static_cast<unsigned char>(qGreen(pixel));
            *out++ = static_cast<unsigned char>(qBlue(pixel));
            if (encoding.colour == Colour::Cmyk)
                *out++ = 255;
        }
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

// Gradients for the block averages, a fine diagonal grid for the high frequencies: a decode that
// drops or guesses coefficients shows in both.
QImage detailedPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int grid = ((x + y) % 7 == 0 || (x - y + 700) % 5 == 0) ? 90 : 0;
            image.setPixel(x, y,
                           qRgb(x * 255 / size.width(), (y * 255 / size.height() + grid) % 256,
                                255 - grid - x * 100 / size.width()));
        }
    }
    return image;
}

// Qt's own reader at a size libjpeg produces exactly (a whole eighth of the picture), so it only
// decodes, never rescales: the reference the game's decoder must match pixel for pixel.
QImage qtDecode(const QByteArray& jpeg, QSize eighthsSize)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setScaledSize(eighthsSize);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The file cut off just after the header of its last scan, ended as a JPEG ends.
QByteArray withoutLastScan(const QByteArray& jpeg)
{
    const qsizetype lastScan = jpeg.lastIndexOf(QByteArray("\xff\xda", 2));
    Q_ASSERT(lastScan > 0);
    return jpeg.left(lastScan + 20) + QByteArray("\xff\xd9", 2);
}

} // namespace

class TestJpegDecoder : public QObject
{
    Q_OBJECT

private slots:
    void matchesAWholeDecodeAtTheSameScale_data();
    void matchesAWholeDecodeAtTheSameScale();
    void readsAProgressiveFileOnlyAsFarAsTheScaleNeeds_data();
    void readsAProgressiveFileOnlyAsFarAsTheScaleNeeds();
    void holdsLibjpegToTheMemoryBudget();
    void declinesWhatItLeavesToQt_data();
    void declinesWhatItLeavesToQt();
};

void TestJpegDecoder::matchesAWholeDecodeAtTheSameScale_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<QSize>("atLeast");
    QTest::addColumn<QSize>("expected");

    const struct {
        const char* name;
        Colour colour;
    } colours[] = {{"4:2:0", Colour::Sampled420}, {"4:4:4", Colour::Full444}, {"grey", Colour::Grey}};
    // 640 x 480: 1/8 is 80 x 60; a box a little larger needs 2/8; one larger than the picture
    // gets the whole picture (nothing is enlarged).
    const struct {
        const char* name;
        QSize atLeast;
        QSize expected;
    } sizes[] = {{"1/8", {80, 60}, {80, 60}},
                 {"2/8", {81, 40}, {160, 120}},
                 {"4/8", {300, 200}, {320, 240}},
                 {"whole", {1000, 1000}, {640, 480}}};
    for (const auto& colour : colours) {
        for (const bool progressive : {false, true}) {
            for (const auto& size : sizes) {
                QTest::addRow("%s %s %s", colour.name, progressive ? "progressive" : "baseline", size.name)
                    << static_cast<int>(colour.colour) << progressive << size.atLeast << size.expected;
            }
        }
    }
}

void TestJpegDecoder::matchesAWholeDecodeAtTheSameScale()
{
    QFETCH(int, colour);
    QFETCH(bool, progressive);
    QFETCH(QSize, atLeast);
    QFETCH(QSize, expected);

    const QByteArray jpeg =
        encodeJpeg(detailedPicture({640, 480}), {static_cast<Colour>(colour), progressive});
    const JpegDecode decoded = decodeJpegReduced(jpeg, atLeast, kAmpleMemory);

    QCOMPARE(decoded.outcome, JpegDecode::Outcome::Decoded);
    QCOMPARE(decoded.image.size(), expected);
    QCOMPARE(decoded.image.format(), QImage::Format_RGB32);
    QCOMPARE(decoded.image, qtDecode(jpeg, expected));
}

void TestJpegDecoder::readsAProgressiveFileOnlyAsFarAsTheScaleNeeds_data()
{
    QTest::addColumn<int>("colour");
    QTest::addRow("4:2:0") << static_cast<int>(Colour::Sampled420);
    QTest::addRow("4:4:4") << static_cast<int>(Colour::Full444);
    QTest::addRow("grey") << static_cast<int>(Colour::Grey);
}

void TestJpegDecoder::readsAProgressiveFileOnlyAsFarAsTheScaleNeeds()
{
    // The last scan of a progressive file brings the lowest bit of the fine detail, which the
    // picture at 1/8 never uses; with that scan gone, the 1/8 picture is still exactly right,
    // while a whole decode reaches the missing data and declines.
    QFETCH(int, colour);
    const QByteArray whole = encodeJpeg(detailedPicture({640, 480}), {static_cast<Colour>(colour), true});
    const QByteArray cut = withoutLastScan(whole);

    const JpegDecode eighth = decodeJpegReduced(cut, {80, 60}, kAmpleMemory);
    QCOMPARE(eighth.outcome, JpegDecode::Outcome::Decoded);
    QCOMPARE(eighth.image, qtDecode(whole, {80, 60}));

    QCOMPARE(decodeJpegReduced(cut, {640, 480}, kAmpleMemory).outcome, JpegDecode::Outcome::Declined);
}

void TestJpegDecoder::holdsLibjpegToTheMemoryBudget()
{
    // A progressive 1024 x 1024 picture needs its 4:2:0 coefficients kept, 3 MiB; a baseline one
    // is decoded a row of blocks at a time.
    const QImage picture = detailedPicture({1024, 1024});
    constexpr qint64 budget = 1024 * 1024;
    QCOMPARE(decodeJpegReduced(encodeJpeg(picture, {Colour::Sampled420, true}), {128, 128}, budget).outcome,
             JpegDecode::Outcome::TooLarge);
    QCOMPARE(decodeJpegReduced(encodeJpeg(picture, {Colour::Sampled420, false}), {128, 128}, budget).outcome,
             JpegDecode::Outcome::Decoded);
}

void TestJpegDecoder::declinesWhatItLeavesToQt_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray jpeg = encodeJpeg(detailedPicture({64, 48}), {});
    QTest::addRow("empty") << QByteArray();
    QTest::addRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::addRow("header only") << jpeg.left(jpeg.indexOf(QByteArray("\xff\xda", 2)));
    QTest::addRow("cut in the middle") << jpeg.left(jpeg.size() / 2);
    QTest::addRow("CMYK") << encodeJpeg(detailedPicture({64, 48}), {Colour::Cmyk, false});
}

void TestJpegDecoder::declinesWhatItLeavesToQt()
{
    QFETCH(QByteArray, data);
    const JpegDecode decoded = decodeJpegReduced(data, {8, 6}, kAmpleMemory);
    QCOMPARE(decoded.outcome, JpegDecode::Outcome::Declined);
    QVERIFY(decoded.image.isNull());
}

QTEST_GUILESS_MAIN(TestJpegDecoder)
#include "tst_jpegdecoder.moc"
