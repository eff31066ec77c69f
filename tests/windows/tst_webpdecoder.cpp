#include "picture/webpdecoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QtTest>

using tilmora::decodeWebpScaled;
using tilmora::webpSize;

namespace {

constexpr qint64 kNoCap = 1'000'000'000;

// Qt's writer: lossless at quality 100, lossy below.
QByteArray encodeWebp(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "webp");
    writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot write a WebP test picture: %s", qPrintable(writer.errorString()));
    return bytes;
}

// Red on the left half, blue on the right: large flat areas survive lossy coding and scaling.
QImage redBlue(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    return image;
}

// Opaque green on the left half; on the right, white at alpha 0, which must never show.
QImage greenAndHiddenWhite(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(255, 255, 255, 0));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgba(0, 255, 0, 255));
    return image;
}

void verifyNear(QRgb actual, QRgb expected, int tolerance = 24)
{
    const auto near = [&](int a, int e) { return std::abs(a - e) <= tolerance; };
    QVERIFY2(near(qRed(actual), qRed(expected)) && near(qGreen(actual), qGreen(expected)) &&
                 near(qBlue(actual), qBlue(expected)) && near(qAlpha(actual), qAlpha(expected)),
             qPrintable(QStringLiteral("#%1 is not near #%2")
                            .arg(actual, 8, 16, QLatin1Char('0'))
                            .arg(expected, 8, 16, QLatin1Char('0'))));
}

// --- Assembling an animation by hand (Qt writes still pictures only) ---------------------------

void appendLittleEndian(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

QByteArray chunk(const char* fourcc, const QByteArray& payload)
{
    QByteArray out(fourcc, 4);
    appendLittleEndian(out, static_cast<quint32>(payload.size()), 4);
    out += payload;
    if (payload.size() % 2 != 0)
        out.append('\0');
    return out;
}

// The image chunk (VP8L for a lossless picture) of a still WebP file Qt wrote.
QByteArray imageChunkOf(const QByteArray& file)
{
    qsizetype at = 12; // past "RIFF", the size and "WEBP"
    while (at + 8 <= file.size()) {
        const QByteArray fourcc = file.mid(at, 4);
        const auto size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        const qsizetype whole = 8 + static_cast<qsizetype>(size) + static_cast<qsizetype>(size % 2);
        if (fourcc == "VP8L" || fourcc == "VP8 ")
            return file.mid(at, whole);
        at += whole;
    }
    qFatal("no image chunk in the WebP test picture");
}

struct Frame {
    QImage image;
    QPoint offset; // even coordinates: the format stores them halved
};

QByteArray animation(QSize canvas, const QList<Frame>& frames)
{
    QByteArray header;
    header.append(static_cast<char>(0x02 | 0x10)); // animation, alpha
    appendLittleEndian(header, 0, 3);
    appendLittleEndian(header, static_cast<quint32>(canvas.width() - 1), 3);
    appendLittleEndian(header, static_cast<quint32>(canvas.height() - 1), 3);
    QByteArray loop;
    appendLittleEndian(loop, 0, 4); // background colour
    appendLittleEndian(loop, 0, 2); // loop for ever
    QByteArray body = QByteArray("WEBP") + chunk("VP8X", header) + chunk("ANIM", loop);
    for (const Frame& frame : frames) {
        QByteArray payload;
        appendLittleEndian(payload, static_cast<quint32>(frame.offset.x() / 2), 3);
        appendLittleEndian(payload, static_cast<quint32>(frame.offset.y() / 2), 3);
        appendLittleEndian(payload, static_cast<quint32>(frame.image.width() - 1), 3);
        appendLittleEndian(payload, static_cast<quint32>(frame.image.height() - 1), 3);
        appendLittleEndian(payload, 100, 3); // milliseconds
        payload.append('\0');                // alpha-blended, not disposed
        payload += imageChunkOf(encodeWebp(frame.image, 100));
        body += chunk("ANMF", payload);
    }
    QByteArray file("RIFF");
    appendLittleEndian(file, static_cast<quint32>(body.size()), 4);
    return file + body;
}

QImage filled(QSize size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class WebpDecoderTest : public QObject
{
    Q_OBJECT
private slots:
    void decodesToTheAskedSize_data();
    void decodesToTheAskedSize();
    void transparencyIsPremultipliedWithoutHiddenColour();
    void animationShowsItsFirstFrame();
    void animationWithAPartialFirstFrameIsLeftToQt();
    void brokenDataGivesNothing_data();
    void brokenDataGivesNothing();
    void picturesOverTheCapGiveNothing();
};

void WebpDecoderTest::decodesToTheAskedSize_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<QSize>("target");

    QTest::newRow("lossy, scaled down") << 90 << QSize(100, 50);
    QTest::newRow("lossless, scaled down") << 100 << QSize(100, 50);
    QTest::newRow("lossy, odd size") << 90 << QSize(37, 19);
    QTest::newRow("lossy, natural size") << 90 << QSize(400, 200);
}

void WebpDecoderTest::decodesToTheAskedSize()
{
    QFETCH(int, quality);
    QFETCH(QSize, target);
    const QByteArray file = encodeWebp(redBlue(QSize(400, 200)), quality);
    QCOMPARE(webpSize(file), QSize(400, 200));

    const auto image = decodeWebpScaled(file, target, kNoCap);
    QVERIFY(image.has_value());
    QCOMPARE(image->size(), target);
    QCOMPARE(image->format(), QImage::Format_RGB32);
    QCOMPARE(image->devicePixelRatio(), 1.0);
    const int middle = target.height() / 2;
    verifyNear(image->pixel(target.width() / 8, middle), qRgb(255, 0, 0));
    verifyNear(image->pixel(target.width() * 7 / 8, middle), qRgb(0, 0, 255));
}

void WebpDecoderTest::transparencyIsPremultipliedWithoutHiddenColour()
{
    const QByteArray file = encodeWebp(greenAndHiddenWhite(QSize(200, 100)), 100);
    // An odd size, so the edge falls inside a pixel and blends.
    const auto image = decodeWebpScaled(file, QSize(37, 19), kNoCap);
    QVERIFY(image.has_value());
    QCOMPARE(image->format(), QImage::Format_ARGB32_Premultiplied);
    verifyNear(image->pixel(4, 9), qRgba(0, 255, 0, 255), 2);
    verifyNear(image->pixel(33, 9), qRgba(0, 0, 0, 0), 2);
    // Across the edge, each colour is at most its alpha (premultiplied), and the white under the
    // transparent half adds no red or blue to the green.
    int blended = 0;
    for (int x = 14; x < 23; ++x) {
        const QRgb pixel = image->pixel(x, 9);
        if (qAlpha(pixel) > 0 && qAlpha(pixel) < 255)
            ++blended;
        QVERIFY(qGreen(pixel) <= qAlpha(pixel));
        QVERIFY2(qRed(pixel) <= 2 && qBlue(pixel) <= 2,
                 qPrintable(QStringLiteral("#%1 at x %2").arg(pixel, 8, 16, QLatin1Char('0')).arg(x)));
    }
    QVERIFY(blended > 0);
}

void WebpDecoderTest::animationShowsItsFirstFrame()
{
    const QSize canvas(64, 32);
    const QByteArray file =
        animation(canvas, {{filled(canvas, Qt::red), {}}, {filled(canvas, Qt::blue), {}}});
    QCOMPARE(webpSize(file), canvas);
    const auto image = decodeWebpScaled(file, QSize(16, 8), kNoCap);
    QVERIFY(image.has_value());
    QCOMPARE(image->size(), QSize(16, 8));
    verifyNear(image->pixel(8, 4), qRgb(255, 0, 0), 2);
}

void WebpDecoderTest::animationWithAPartialFirstFrameIsLeftToQt()
{
    const QByteArray file = animation(QSize(64, 32), {{filled(QSize(32, 16), Qt::red), {8, 8}}});
    QVERIFY(!decodeWebpScaled(file, QSize(16, 8), kNoCap).has_value());
}

void WebpDecoderTest::brokenDataGivesNothing_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray lossy = encodeWebp(redBlue(QSize(400, 200)), 90);
    const QByteArray lossless = encodeWebp(redBlue(QSize(400, 200)), 100);

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a picture") << QByteArray("RIFF but not really a WebP file at all");
    QTest::newRow("only the header") << lossy.left(30);
    QTest::newRow("lossy, cut in half") << lossy.left(lossy.size() / 2);
    QTest::newRow("lossless, cut in half") << lossless.left(lossless.size() / 2);
    QByteArray scrambled = lossless;
    for (qsizetype i = 40; i < scrambled.size(); i += 3)
        scrambled[i] = static_cast<char>(scrambled[i] ^ 0x5a);
    QTest::newRow("lossless, scrambled") << scrambled;
}

void WebpDecoderTest::brokenDataGivesNothing()
{
    QFETCH(QByteArray, data);
    QVERIFY(!decodeWebpScaled(data, QSize(100, 50), kNoCap).has_value());
}

void WebpDecoderTest::picturesOverTheCapGiveNothing()
{
    const QByteArray file = encodeWebp(redBlue(QSize(400, 200)), 90);
    QVERIFY(decodeWebpScaled(file, QSize(100, 50), 400 * 200).has_value());
    QVERIFY(!decodeWebpScaled(file, QSize(100, 50), 400 * 200 - 1).has_value());
    QVERIFY(!decodeWebpScaled(file, QSize(400, 400), 100'000).has_value());
    QVERIFY(!decodeWebpScaled(file, QSize(0, 50), kNoCap).has_value());
}

QTEST_GUILESS_MAIN(WebpDecoderTest)
#include "tst_webpdecoder.moc"
