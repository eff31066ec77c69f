// Loading the file the player picked, with no window: a picture comes out as Qt's reader would
// show it whole (upright, on black) scaled to fit the play area, whichever of the game's own
// reduced decoders read it; anything else is refused with one sentence naming the file.

#include "decoder/formattable.h"
#include "decoder/jpegdecoder.h"
#include "decoder/pictureloader.h"
#include "decoder/pngdecoder.h"
#include "decoder/webpdecoder.h"
#include "identity/identity.h"
#include "picture/refusalmessages.h"

#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>
#include <zlib.h>

using namespace tilmora;

namespace {

// Qt's writer: quality 100 makes a lossless WebP.
QByteArray encode(const QImage& image, const char* format, int quality = -1, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

const auto words = [](const char* line) { return QString::fromLatin1(line).split(u' '); };

// What an encoder program (its name and options first) writes from the pictures in `inputs`, named
// by their formats, as it is run here: Qt writes neither HEIF nor JPEG XL. The output follows the
// inputs, or the options when they end in its option (-o).
QByteArray encodedBy(QStringList command, const QList<QByteArray>& inputs)
{
    QTemporaryDir folder;
    const QString output = folder.filePath(QStringLiteral("out"));
    if (command.last() == u"-o")
        command << output;
    for (QByteArray input : inputs) {
        QBuffer buffer(&input);
        buffer.open(QIODevice::ReadOnly);
        command << folder.filePath(QStringLiteral("%1.%2")
                                       .arg(command.size())
                                       .arg(QString::fromLatin1(QImageReader::imageFormat(&buffer))));
        QFile file(command.last());
        file.open(QIODevice::WriteOnly);
        file.write(input);
    }
    if (!command.contains(output))
        command << output;
    QProcess encoder;
    encoder.start(command.takeFirst(), command);
    encoder.waitForFinished(60'000);
    QFile made(output);
    made.open(QIODevice::ReadOnly);
    return made.readAll();
}

// Red, blue, green and `fourth` corners in reading order, blended smoothly in between (so that
// ways of scaling agree): where each corner lands shows how the picture was turned.
QImage corners(QSize size, QRgb fourth = qRgb(255, 255, 255))
{
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0), fourth};
    const QImage image(reinterpret_cast<const uchar*>(colours), 2, 2, QImage::Format_ARGB32);
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The bytes with a little-endian number written over the ones at `at`.
template <typename Number> QByteArray patched(QByteArray bytes, qsizetype at, Number value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

// The JPEG with an EXIF orientation, as a phone writes it: a big-endian TIFF of one entry.
QByteArray turned(const QByteArray& jpeg, char orientation)
{
    const QByteArray exif("\xff\xe1\0\x22"
                          "Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0",
                          29);
    return jpeg.left(2) + exif + orientation + QByteArray(6, '\0') + jpeg.mid(2);
}

// The largest colour difference from Qt's whole decode on black (premultiplied), smoothly scaled.
int differenceFromQt(const QImage& ours, const QImage& whole)
{
    const QImage qt = whole.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                          .scaled(ours.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int worst = 0;
    for (qsizetype i = 0; i < qt.sizeInBytes(); ++i) // colour channels only
        worst = std::max(worst, i % 4 == 3 ? 0 : std::abs(ours.constBits()[i] - qt.constBits()[i]));
    return worst;
}

// A PNG chunk: length, type, data and checksum.
QByteArray chunk(const char* type, const QByteArray& data)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(quint32(data.size()), bytes.data());
    bytes += type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 4), uInt(bytes.size() - 4));
    bytes.append(4, '\0');
    qToBigEndian(quint32(crc), bytes.data() + bytes.size() - 4);
    return bytes;
}

// The PNG with chunks put in after its header (IHDR).
QByteArray withChunks(QByteArray png, const QByteArray& chunks)
{
    return png.insert(33, chunks);
}

// An 8-bit greyscale PNG of `size` pixels, all black, written row by row: Qt's writer would hold
// the whole picture first.
QByteArray blackGreyPng(QSize size)
{
    QByteArray header(13, '\0'); // 8 bits, greyscale
    qToBigEndian(quint32(size.width()), header.data());
    qToBigEndian(quint32(size.height()), header.data() + 4);
    header[8] = 8;
    const QByteArray row(size.width() + 1, '\0'); // filter type 0, then the pixels
    QByteArray data(1 << 20, '\0');
    z_stream stream{};
    deflateInit(&stream, Z_DEFAULT_COMPRESSION);
    stream.next_out = reinterpret_cast<Bytef*>(data.data());
    stream.avail_out = uInt(data.size());
    for (int y = 0; y < size.height(); ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        stream.avail_in = uInt(row.size());
        deflate(&stream, y + 1 == size.height() ? Z_FINISH : Z_NO_FLUSH);
    }
    data.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) + chunk("IDAT", data) + chunk("IEND", {});
}

// An animation of one frame of `size` at `at` on a canvas, made from a still lossless WebP (Qt
// writes no animations): the frame has the still's transparency.
QByteArray animatedWebp(const QByteArray& still, QSize size, QSize canvasSize, QPoint at = {})
{
    const auto u24 = [](int value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(quint32(value), bytes.data());
        return bytes.left(3);
    };
    const auto riff = [](const char* type, const QByteArray& data) {
        QByteArray bytes = QByteArray(type, 4) + QByteArray(4, '\0') + data;
        qToLittleEndian(quint32(data.size()), bytes.data() + 4);
        return data.size() % 2 == 0 ? bytes : bytes + '\0';
    };
    const QByteArray canvas = u24(canvasSize.width() - 1) + u24(canvasSize.height() - 1);
    const QByteArray frame = u24(at.x() / 2) + u24(at.y() / 2) + u24(size.width() - 1) +
                             u24(size.height() - 1) + u24(100) + '\0' + still.mid(12); // its VP8L chunk
    return riff("RIFF", "WEBP" + riff("VP8X", QByteArray("\x12\0\0\0", 4) + canvas) +
                            riff("ANIM", QByteArray(6, '\0')) + riff("ANMF", frame));
}

// An icon of Qt's one-picture icons, in the order given.
QByteArray iconOf(const QList<QByteArray>& icons)
{
    QByteArray directory = patched(icons[0].left(6), 4, quint16(icons.size())), data;
    for (const QByteArray& one : icons) {
        directory += patched(one.mid(6, 16), 12, quint32(6 + 16 * icons.size() + data.size()));
        data += one.mid(22);
    }
    return directory + data;
}

// Qt reads GIF and run-length BMP but writes neither: a red pixel, and 2 x 2 red in runs.
const QByteArray kRedGif =
    QByteArray::fromHex("47494638396101000100800000ff00000000002c00000000010001000002024401003b");
const QByteArray kRunLengthBmp =
    QByteArray::fromHex("424d46000000000000003e000000280000000200000002000000010008000100"
                        "000008000000000000000000000002000000000000000000ff000000ff00"
                        "0200000002000001");

} // namespace

class PictureTest : public QObject
{
    Q_OBJECT
private slots:
    void loadsOrRefuses_data();
    void loadsOrRefuses();
    void coloursShownInSrgb_data();
    void coloursShownInSrgb();
    void hdrHighlightsRolledOff();
    void decodersReduce_data();
    void decodersReduce();
    void formatTableAsTheBuildListsIt();

private:
    QTemporaryDir folder_;
};

// Each layout of each format, at the scales its decoder reduces to, is fitted for the screen's ratio
// (longer side 440 logical pixels, never enlarged, never under a pixel). Anything else is refused
// before anything large is decoded; what is not a regular file is never opened (a pipe would hang).
void PictureTest::loadsOrRefuses_data()
{
    QTest::addColumn<QByteArray>("bytes"); // of the file named by the row
    QTest::addColumn<QSize>("natural");    // nothing when refused
    QTest::addColumn<QSize>("fitted");     // in device pixels
    QTest::addColumn<qreal>("ratio");      // of the screen
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QByteArray>("shown"); // as Qt reads it, when Qt cannot read the file itself

    const QImage photo = corners({1200, 800});
    const QImage large = corners({2400, 1800}); // a PNG is reduced while decoded from 4 times the size
    const QImage clear = corners({2000, 1500}, 0x00ffffff); // its colour hidden under it white
    // Stray bytes and a restart marker between segments, a fill byte before the end: all allowed.
    QByteArray padded = encode(corners({64, 48}), "jpeg").insert(20, QByteArray("\x12\x34\xff\xd7", 4));
    padded.insert(padded.size() - 2, '\xff');
    QImage mono(8, 8, QImage::Format_Mono); // red, 1 bit a pixel: 15 MB at the pixel limit
    mono.setColorTable({qRgb(255, 0, 0), qRgb(255, 0, 0)});
    const QByteArray atLimit = patched(patched(encode(mono, "bmp").left(62), 18, 12000), 22, 10000);

    const auto row = [](const char* name, const QByteArray& bytes, QSize natural, QSize fitted,
                        qreal ratio = 1, const QByteArray& shown = {}) {
        QTest::newRow(name) << bytes << natural << fitted << ratio << QString() << shown;
    };
    row("photo.jpg", encode(photo, "jpeg"), {1200, 800}, {440, 293});
    row("turned right, ratio 2.jpg", turned(encode(photo, "jpeg"), 6), {800, 1200}, {586, 880}, 2);
    // Every other EXIF orientation, mirrored ones too, as Qt's reader turns it.
    for (const char orientation : {'\2', '\3', '\4', '\5', '\7', '\10'})
        QTest::addRow("orientation %d.jpg", orientation)
            << turned(encode(photo, "jpeg"), orientation)
            << (orientation < 5 ? QSize(1200, 800) : QSize(800, 1200))
            << (orientation < 5 ? QSize(440, 293) : QSize(293, 440)) << 1.0 << QString() << QByteArray();
    row("padded.jpg", padded, {64, 48}, {64, 48});
    row("rgb.png", encode(large, "png"), {2400, 1800}, {550, 413}, 1.25);
    row("transparent.png", encode(clear, "png"), {2000, 1500}, {440, 330});
    row("grey.png", encode(large.convertToFormat(QImage::Format_Grayscale8), "png"), {2400, 1800},
        {440, 330});
    row("16-bit.png", encode(clear.convertToFormat(QImage::Format_RGBA64), "png"), {2000, 1500}, {440, 330});
    row("small@2x.png", encode(corners({300, 200}), "png"), {300, 200}, {300, 200});
    row("wide strip.png", encode(corners({20000, 20}), "png"), {20000, 20}, {440, 1});
    row("tall strip.png", encode(corners({20, 20000}), "png"), {20, 20000}, {1, 440});
    row("lossy.webp", encode(photo, "webp", 90), {1200, 800}, {440, 293});
    row("transparent.webp", encode(clear, "webp", 90), {2000, 1500}, {440, 330});
    row("animated, transparent.webp",
        animatedWebp(encode(corners({900, 600}, 0x00ffffff), "webp", 100), {900, 600}, {900, 600}),
        {900, 600}, {440, 293});
    // Its first frame on part of the canvas: the frame is shown where it stands, on black.
    row("animated, first frame in part.webp",
        animatedWebp(encode(corners({600, 400}), "webp", 100), {600, 400}, {900, 600}, {100, 50}), {900, 600},
        {440, 293});
    row("plain.bmp", encode(photo, "bmp"), {1200, 800}, {440, 293});
    // Rows stored from the top, as a negative height in the header says.
    row("top-down.bmp", patched(encode(photo, "bmp"), 22, qint32(-800)), {1200, 800}, {440, 293});
    row("run-length.bmp", kRunLengthBmp, {2, 2}, {2, 2});
    row("at the pixel limit.bmp", atLimit + QByteArray(1500 * 10000, '\0'), {12000, 10000}, {440, 367});
    row("dot.gif", kRedGif, {1, 1}, {1, 1});
    row("icon.ico", encode(corners({48, 48}, 0x00ffffff), "ico"), {48, 48}, {48, 48});
    const QByteArray largest = encode(corners({48, 48}), "ico");
    row("largest in the middle.ico",
        iconOf({encode(corners({16, 16}), "ico"), largest, encode(corners({32, 32}), "ico")}), {48, 48},
        {48, 48}, 1, largest);
    // Read row by row, it takes a few megabytes: not refused for the 32-bit copy a whole decode adds.
    row("at the pixel limit, grey.png", blackGreyPng({12000, 10000}), {12000, 10000}, {440, 367});
    // JPEG XL and the first frame of an animated AVIF, made lossless so that they show as their sources.
    const QStringList cjxl = words("cjxl -d 0 -e 1");
    const QByteArray photoPng = encode(photo, "png");
    const QByteArray turnedJpeg = turned(encode(photo, "jpeg"), 6);
    const QByteArray clearPng = encode(corners({600, 450}, 0x00ffffff), "png");
    // Two frames of one pixel: red, then black.
    const QByteArray twoFrames =
        QByteArray::fromHex("47494638396101000100800000ff000000000021f904000a0000002c00000"
                            "0000100010000020244010021f904000a0000002c00000000010001000"
                            "002024c01003b");
    row("photo.jxl", encodedBy(cjxl, {photoPng}), {1200, 800}, {440, 293}, 1, photoPng);
    row("turned right.jxl", encodedBy(cjxl, {turnedJpeg}), {800, 1200}, {293, 440}, 1, turnedJpeg);
    row("transparent.jxl", encodedBy(cjxl, {clearPng}), {600, 450}, {440, 330}, 1, clearPng);
    row("animated.jxl", encodedBy(cjxl, {twoFrames}), {1, 1}, {1, 1}, 1, twoFrames);
    const QByteArray firstFrame = encode(corners({300, 200}), "png");
    const QByteArray animation =
        encodedBy(words("avifenc -s 10 --lossless"),
                  {firstFrame, encode(corners({300, 200}, qRgb(0, 0, 0)).mirrored(), "png")});
    row("animated.avif", animation, {300, 200}, {300, 200}, 1, firstFrame);
    const QByteArray line = encode(corners({40, 1}), "png"); // a picture one pixel high
    row("line.avif", encodedBy(QStringLiteral("avifenc -s 10 --lossless").split(u' '), {line}), {40, 1},
        {40, 1}, 1, line);

    const QByteArray png = encode(photo, "png");
    const QByteArray jpeg = encode(photo, "jpeg");
    const QByteArray bmp = encode(photo, "bmp");
    const QByteArray webp = encode(photo, "webp");
    const QByteArray icon = encode(corners({16, 16}), "ico");
    QByteArray badCrc = png;
    badCrc[png.size() - 14] = static_cast<char>(badCrc[png.size() - 14] ^ 0x55); // the data's checksum
    QByteArray hugeJpeg = jpeg; // its frame header declaring 60000 x 60000
    hugeJpeg.replace(jpeg.indexOf("\xff\xc0") + 5, 4, QByteArray::fromHex("ea60ea60"));
    QByteArray bigGif = kRedGif; // its screen and its image
    for (const int at : {6, 8, 24, 26})
        bigGif = patched(bigGif, at, quint16(5000));
    const QByteArray deepBmp = encode(corners({8, 8}).convertToFormat(QImage::Format_Indexed8), "bmp");
    const QByteArray deep = patched(patched(deepBmp, 18, 11000), 22, 10000); // 11000 x 10000
    const auto refused = [](const char* name, const QByteArray& bytes, const QString& why) {
        QTest::newRow(name) << bytes << QSize() << QSize() << 1.0
                            << QStringLiteral("“%1” %2").arg(QString::fromUtf8(name), why) << QByteArray();
    };
    const auto format = [](const char* name) {
        return QStringLiteral("is a kind of picture this game does not open (%1).").arg(name);
    };
    const QString damaged = QStringLiteral("is damaged and cannot be shown.");
    refused("empty.png", {}, "is empty, not a picture.");
    refused("letter.png", "Dear player,\n", "is not a picture.");
    refused("cut.png", png.left(png.size() / 2), damaged);
    refused("bad checksum.png", badCrc, damaged);
    refused("cut.jpg", jpeg.left(jpeg.size() / 2), damaged);
    refused("cut in its end marker.jpg", jpeg.chopped(1), damaged); // its last byte an 0xFF
    refused("a comment for its end marker.jpg", jpeg.chopped(2) + QByteArray("\xff\xfe\0\4ab", 6), damaged);
    const QByteArray progressive = encode(corners({3520, 2344}), "jpeg", -1, true); // shown at 1/8
    refused("progressive, its last scan cut.jpg", progressive.left(progressive.lastIndexOf("\xff\xda") + 10),
            damaged);
    refused("cut.bmp", bmp.left(bmp.size() / 2), damaged);
    refused("cut.webp", webp.left(webp.size() / 2), damaged);
    refused("65535 entries.ico", patched(icon, 4, quint16(65535)), damaged);
    refused("drawing.png", R"(<svg xmlns="http://www.w3.org/2000/svg" width="9" height="9"/>)",
            format("SVG"));
    refused("scan.tif", encode(photo, "tiff"), format("TIFF"));
    refused("pixmap.ppm", encode(corners({4, 4}), "ppm"), format("PPM"));
    refused("pixmap.xpm", encode(corners({4, 4}), "xpm"), format("XPM"));
    refused("apple.icns", QByteArray::fromHex("69636e73000000106963303700000008"), format("ICNS"));
    refused("pointer.cur", patched(icon, 2, quint16(2)), format("CUR"));
    const auto box = [](const char* hex) { return QByteArray::fromHex(hex); };
    // HEIC, AVIF and other HEIF pictures are opened: a file with nothing past its brands is damaged.
    refused("phone.heic", box("00000018 66747970 68656963 00000000 6d696631 68656963"), damaged);
    refused("picture.avif", box("0000001c 66747970 61766966 00000000 61766966 6d696631 6d696166"), damaged);
    refused("still.avif", box("00000018 66747970 6d696631 00000000 6d696631 61766966"), damaged);
    refused("other.heif", box("00000014 66747970 6d696631 00000000 6d736631"), damaged);
    // A sequence's brands, then a box running past the end: damaged, not a sequence.
    refused("broken sequence.heif",
            box("00000018 66747970 6d736631 00000000 6d736631 69736f38 ffffffff 66726565"), damaged);
    refused("bare.jxl", box("ff0afa1f"), damaged);
    refused("video.mp4", box("00000018 66747970 69736f6d 00000200 69736f6d 69736f32"), "is not a picture.");
    refused("boxed.jxl", box("0000000c 4a584c20 0d0a870a 00000014 66747970 6a786c20"), damaged);
    const QByteArray jxl = encodedBy(cjxl, {photoPng});
    refused("cut.jxl", jxl.left(jxl.size() / 2), damaged);
    // A bare codestream's header: 10000 rows, twice as wide, every other field as by default.
    refused("huge.jxl", box("ff0a7c38e101"), "is too large: 20000 x 10000 pixels, more than 120 megapixels.");
    // What libheif cannot read but is not damaged: the animation with its still picture (the `meta`
    // box) taken out, the same with only a HEIF image sequence's brands, and a picture in a coding
    // libheif does not have.
    const QByteArray noStill = QByteArray(animation).replace(animation.indexOf("meta"), 4, "free");
    refused("animated, no still.avif", noStill, format("animated AVIF"));
    refused("sequence.heif",
            box("00000018 66747970 6d736631 00000000 6d736631 69736f38") +
                noStill.mid(qFromBigEndian<quint32>(noStill.constData())),
            format("HEIF image sequence"));
    QByteArray heic = encodedBy(words("heif-enc -q 50 -o"), {encode(corners({64, 48}), "png")});
    refused("other coding.heic", heic.replace(heic.indexOf("hvc1", heic.indexOf("infe")), 4, "vvc1"),
            format("unsupported HEIF"));
    refused("12-bit.jpg", QByteArray(jpeg).replace(jpeg.indexOf("\xff\xc0") + 4, 1, "\x0c"),
            format("12-bit JPEG"));
    refused("huge.jpg", hugeJpeg, "is too large: 60000 x 60000 pixels, more than 120 megapixels.");
    refused("a row over.bmp", patched(atLimit, 22, 10001),
            "is too large: 12000 x 10001 pixels, more than 120 megapixels.");
    refused("16 colours.bmp", deep,
            "is too large: 11000 x 10000 pixels at its colour depth would take more than 512 MB.");
    refused("screen.gif", bigGif, "is too large: 5000 x 5000 pixels, more than 16 megapixels.");
    for (const char* special : {"folder", "pipe", "link to zeros"})
        refused(special, {}, "is not a file.");
    refused("missing", {}, "does not exist.");
    refused("header size overflow.bmp",
            QByteArray::fromHex("424d5a00040000000000360000e9040000008000033e0100180000"), damaged);
    refused("cut in its header.jpg", encode(corners({4, 3}), "jpeg").left(330), damaged);
}

void PictureTest::loadsOrRefuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, natural);
    QFETCH(QSize, fitted);
    QFETCH(qreal, ratio);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, shown);

    const QString name = QString::fromUtf8(QTest::currentDataTag());
    QFile file(folder_.filePath(name));
    if (name == "folder")
        QVERIFY(QDir().mkpath(file.fileName()));
    else if (name == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(file.fileName()).constData(), 0600), 0);
    else if (name == "link to zeros")
        QVERIFY(QFile::link("/dev/zero", file.fileName()));
    else if (name != "missing")
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    const LoadResult result = loadPicture(file.fileName(), ratio);
    const auto* refused = std::get_if<Refusal>(&result);
    QCOMPARE(refused ? refusalMessage(*refused, name) : QString(), refusal);
    if (refused)
        return;
    const auto& picture = std::get<LoadedPicture>(result);
    QCOMPARE(picture.naturalSize, natural);
    QCOMPARE(picture.fitted.size(), fitted);
    QCOMPARE(picture.fitted.devicePixelRatio(), ratio);
    QVERIFY(!picture.fitted.hasAlphaChannel());
    QBuffer source(&shown);
    QImageReader reader(file.fileName()); // upright
    if (!shown.isEmpty())
        reader.setDevice(&source);
    reader.setAutoTransform(true);
    const int worst = differenceFromQt(picture.fitted, reader.read());
    QVERIFY2(worst <= 4, qPrintable(QString::number(worst)));
}

// Every hue from left to right, darkening downwards (or from dark to light), in sRGB: smooth, so the
// ways of scaling agree, and reaching the edge of sRGB's gamut.
QImage hues(QSize size, bool darkToLight = false)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const float hue = float(x) / float(size.width());
            const float down = float(y) / float(size.height());
            image.setPixel(x, y,
                           (darkToLight ? QColor::fromHslF(hue, 1.0f, 0.15f + 0.7f * down)
                                        : QColor::fromHsvF(hue, 1.0f, 1.0f - 0.7f * down))
                               .rgb());
        }
    }
    image.setColorSpace(QColorSpace::SRgb);
    return image;
}

// The picture as an HDR camera codes it, at 16 bits: Qt's conversion to BT.2020's primaries, then
// the published curves run backwards for PQ (SMPTE ST 2084) or HLG (BT.2100, on a 1,000-nit screen),
// its white at 203 nits; row y's light times bright(y).
QImage inHdr(
    const QImage& original, bool hlg, double (*bright)(int) = [](int) { return 1.0; })
{
    const QImage linear =
        original.convertToFormat(QImage::Format_RGBX32FPx4)
            .convertedToColorSpace(QColorSpace({0.3127, 0.3290}, {0.708, 0.292}, {0.170, 0.797},
                                               {0.131, 0.046}, QColorSpace::TransferFunction::Linear));
    QImage coded(original.size(), QImage::Format_RGBX64);
    for (int y = 0; y < original.height(); ++y) {
        for (int x = 0; x < original.width(); ++x) {
            const QColor c = linear.pixelColor(x, y);
            const double light[3] = {c.redF() * bright(y) * 0.0203, c.greenF() * bright(y) * 0.0203,
                                     c.blueF() * bright(y) * 0.0203}; // of 10,000 nits
            // HLG codes the scene's light that the screen shows as this (its OOTF undone).
            const double shown = 10 * (0.2627 * light[0] + 0.6780 * light[1] + 0.0593 * light[2]);
            const auto signal = [&](double share) {
                const double scene = shown > 0 ? 10 * share * std::pow(shown, 1 / 1.2 - 1) : 0;
                const double pq = std::pow(share, 0.1593017578125);
                return float(!hlg ? std::pow((0.8359375 + 18.8515625 * pq) / (1 + 18.6875 * pq), 78.84375)
                             : scene <= 1.0 / 12
                                 ? std::sqrt(3 * scene)
                                 : 0.17883277 * std::log(12 * scene - 0.28466892) + 0.55991073);
            };
            coded.setPixelColor(x, y, QColor::fromRgbF(signal(light[0]), signal(light[1]), signal(light[2])));
        }
    }
    return coded;
}

// A picture converted from sRGB into another colour space and saved with that space's profile, as
// phones and cameras save, comes out as its sRGB original (lossy formats lose more at the sharp
// colour edges); so does a linear PNG that says so by its gamma alone. A PNG marked as sRGB the old
// way, by a gamma of 1/2.2 and sRGB's primaries, and a picture whose profile is damaged are shown as
// they are stored.
void PictureTest::coloursShownInSrgb_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QImage>("original");
    QTest::addColumn<int>("worstAllowed"); // of any channel of any pixel, out of 255

    const QImage large = hues({1800, 1200}); // read by the game's own decoders, reduced
    const QImage small = hues({400, 300});   // read whole by Qt's readers
    // ProPhoto RGB's levels lie far apart: averages rounded to them would miss, here by up to 27.
    const QImage wide = hues({1800, 1200}, true);
    const std::pair<const char*, QColorSpace> spaces[] = {{"Display P3", QColorSpace::DisplayP3},
                                                          {"Adobe RGB", QColorSpace::AdobeRgb},
                                                          {"ProPhoto RGB", QColorSpace::ProPhotoRgb}};
    // JPEG XL lossy, stored in libjxl's own colours, and lossless, in the picture's.
    const QStringList lossyJxl = words("cjxl -e 3");
    const QStringList losslessJxl = words("cjxl -e 3 -d 0");
    for (const char* format : {"png", "jpeg", "webp", "jxl", "lossless jxl"}) {
        for (const auto& [name, space] : spaces) {
            const QImage& original = space == QColorSpace::AdobeRgb      ? small
                                     : space == QColorSpace::ProPhotoRgb ? wide
                                                                         : large;
            const QImage stored = original.convertedToColorSpace(space);
            const bool jxl = QByteArrayView(format).endsWith("jxl");
            const bool lossless = qstrcmp(format, "png") == 0 || qstrcmp(format, "lossless jxl") == 0;
            QTest::addRow("%s in %s", format, name)
                << (jxl ? encodedBy(lossless ? losslessJxl : lossyJxl, {encode(stored, "png")})
                        : encode(stored, format, 95))
                << original << (lossless ? 24 : 48);
        }
    }
    // HDR photos of the picture, shown as it: a HEIC with nclx values over its colr box's ICC profile
    // (heif-enc writes none; it codes with BT.601's matrix), an AVIF whose nclx outrank its profile.
    const QImage medium = hues({900, 600}); // read whole, at 16 bits
    for (const bool hlg : {false, true}) {
        QImage coded = inHdr(medium, hlg);
        const QByteArray png = encode(coded, "png");
        coded.setColorSpace(QColorSpace::DisplayP3);
        const QByteArray withProfile = encode(coded, "png");
        QByteArray heic = encodedBy(words("heif-enc -b 10 -q 90 -o"), {withProfile});
        heic.replace(heic.indexOf("colrprof") + 4, 11,
                     QByteArray::fromHex(hlg ? "6e636c7800090012000680" : "6e636c7800090010000680"));
        const char* name = hlg ? "HLG" : "PQ";
        QTest::addRow("heic in %s", name) << heic << medium << 48;
        QTest::addRow("avif in %s, with a P3 profile", name)
            << encodedBy(words("avifenc -s 10 -d 10 --min 0 --max 10 --cicp") << (hlg ? "9/18/9" : "9/16/9"),
                         {withProfile})
            << medium << 48;
        QTest::addRow("jxl in %s", name)
            << encodedBy(words("cjxl -x")
                             << QStringLiteral("color_space=RGB_D65_202_Rel_") + (hlg ? "HLG" : "PeQ"),
                         {png})
            << medium << 48;
    }
    QImage linear =
        large.convertToFormat(QImage::Format_RGBX64).convertedToColorSpace(QColorSpace::SRgbLinear);
    linear.setColorSpace({});
    QTest::newRow("png, linear by its gamma")
        << withChunks(encode(linear, "png"), chunk("gAMA", QByteArray::fromHex("000186a0"))) << large << 24;
    QImage untagged = small;
    untagged.setColorSpace({});
    const QByteArray srgbChromaticities =
        QByteArray::fromHex("00007a26 00008084 0000fa00 000080e8 00007530 0000ea60 00003a98 00001770");
    QTest::newRow("png, sRGB by its gamma and primaries")
        << withChunks(encode(untagged, "png"),
                      chunk("gAMA", QByteArray::fromHex("0000b18f")) + chunk("cHRM", srgbChromaticities))
        << small << 0;
    // An sRGB chunk beside the profile (against the PNG rules): the profile says more, and wins.
    const QByteArray p3Png = encode(large.convertedToColorSpace(QColorSpace::DisplayP3), "png");
    // 16 bits a channel, one colour marked transparent (a tRNS chunk, no alpha channel), which Qt's
    // own reader renders white and striped: that colour comes out black, the rest as it is.
    QImage keyed(40, 40, QImage::Format_RGBX64), onBlack(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool red = (x / 10 + y / 10) % 2 != 0;
            keyed.setPixelColor(x, y, red ? QColor(Qt::red) : QColor::fromRgba64(0x1234, 0x5678, 0x9abc));
            onBlack.setPixel(x, y, red ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
        }
    }
    QTest::newRow("png, 16 bits, a colour marked transparent")
        << withChunks(encode(keyed, "png"), chunk("tRNS", QByteArray::fromHex("123456789abc"))) << onBlack
        << 0;
    QTest::newRow("png, sRGB chunk beside a profile")
        << QByteArray(p3Png).insert(p3Png.indexOf("IDAT") - 4, chunk("sRGB", QByteArray(1, '\0'))) << large
        << 24;
    // A gamma other than 1/2.2 or 1 (Macs once wrote 1/1.8): told apart from its inverse.
    QImage macGamma = small.convertedToColorSpace(QColorSpace(QColorSpace::Primaries::SRgb, 1.8f));
    macGamma.setColorSpace({});
    QTest::newRow("png, gamma 1/1.8")
        << withChunks(encode(macGamma, "png"), chunk("gAMA", QByteArray::fromHex("0000d902"))) << small << 24;
    // A profile Qt cannot use (its red colourant renamed, which libpng lets through): large, so
    // that the game's own decoders read it, and shown as stored.
    QImage unconverted = large;
    unconverted.setColorSpace(QColorSpace::DisplayP3);
    const auto damaged = [](QByteArray bytes) { return bytes.replace(bytes.indexOf("rXYZ"), 4, "qXYZ"); };
    for (const char* format : {"jpeg", "webp"})
        QTest::addRow("%s, damaged profile", format)
            << damaged(encode(unconverted, format, 95)) << large << 48;
    const QByteArray profile = damaged(QColorSpace(QColorSpace::DisplayP3).iccProfile());
    unconverted.setColorSpace({});
    QTest::newRow("png, damaged profile")
        << withChunks(encode(unconverted, "png"),
                      chunk("iCCP", QByteArray("P3\0\0", 4) + qCompress(profile).mid(4)))
        << large << 24;
}

void PictureTest::coloursShownInSrgb()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QImage, original);
    QFETCH(int, worstAllowed);

    QFile file(folder_.filePath(QStringLiteral("colours")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
    const LoadResult result = loadPicture(file.fileName());
    QVERIFY(std::holds_alternative<LoadedPicture>(result));
    const QImage& shown = std::get<LoadedPicture>(result).fitted;
    const QImage expected = original.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    std::array<double, 3> means{}; // red, green, blue
    int worst = 0;
    const double pixels = shown.width() * shown.height();
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QColor ours = shown.pixelColor(x, y);
            const QColor theirs = expected.pixelColor(x, y);
            const std::array errors{std::abs(ours.red() - theirs.red()),
                                    std::abs(ours.green() - theirs.green()),
                                    std::abs(ours.blue() - theirs.blue())};
            for (std::size_t channel = 0; channel < 3; ++channel)
                means[channel] += errors[channel] / pixels;
            worst = std::max({worst, errors[0], errors[1], errors[2]});
        }
    }
    const QString measured =
        QStringLiteral("mean %1 / %2 / %3, worst %4").arg(means[0]).arg(means[1]).arg(means[2]).arg(worst);
    QVERIFY2(*std::max_element(means.begin(), means.end()) <= 3 && worst <= worstAllowed,
             qPrintable(measured));
}

// An HDR photo's highlights, half its reference white to 16 times it, in four colours: each channel
// rises with the light (give or take the coding's noise), and its hue stays as it nears white.
void PictureTest::hdrHighlightsRolledOff()
{
    const QRgb colours[] = {qRgb(255, 140, 40), qRgb(90, 160, 255), qRgb(230, 190, 160), qRgb(255, 255, 255)};
    QImage flat(reinterpret_cast<const uchar*>(colours), 4, 1, QImage::Format_RGB32);
    flat.setColorSpace(QColorSpace::SRgb);
    const auto brighter = [](int y) { return std::exp2(y / 16 / 4.0 - 1); }; // 21 steps of 16 rows
    const QByteArray avif = encodedBy(words("avifenc -s 10 -d 10 -y 444 --min 0 --max 0 --cicp 9/16/9"),
                                      {encode(inHdr(flat.scaled(256, 21 * 16), false, brighter), "png")});
    QFile file(folder_.filePath(QStringLiteral("highlights.avif")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(avif) == avif.size() && file.flush());
    const LoadResult result = loadPicture(file.fileName());
    QVERIFY(std::holds_alternative<LoadedPicture>(result));
    const QImage& shown = std::get<LoadedPicture>(result).fitted;
    for (int colour = 0; colour < 4; ++colour) {
        std::array<int, 3> before{};
        for (int step = 0; step < 21; ++step) {
            const QColor now = shown.pixelColor(colour * 64 + 32, step * 16 + 8);
            const std::array levels{now.red(), now.green(), now.blue()};
            const QString at = QStringLiteral("colour %1, step %2: %3").arg(colour).arg(step).arg(now.name());
            for (std::size_t c = 0; c < 3; ++c)
                QVERIFY2(levels[c] >= before[c] - 3, qPrintable(at));
            QVERIFY2(brighter(step * 16) <= 1 || colour == 3 ||
                         std::abs(now.hueF() - QColor(colours[colour]).hueF()) < 0.02,
                     qPrintable(at));
            before = levels;
        }
        QVERIFY(*std::max_element(before.begin(), before.end()) >= 253);
    }
}

// Each decoder reads its own format at the size it promises, a progressive JPEG only as far as that
// size needs, and declines anything else: too small to gain, broken, or not its format.
void PictureTest::decodersReduce_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("atLeast");
    QTest::addColumn<QSize>("size");    // of the result; nothing when every decoder declines
    QTest::addColumn<qint64>("budget"); // JPEG's memory: too large below what the loader allows

    const QImage photo = corners({1200, 800});
    const QImage grey = photo.convertToFormat(QImage::Format_Grayscale8);
    const QByteArray jpeg = encode(photo, "jpeg");
    const QByteArray progressive = encode(photo, "jpeg", -1, true);
    const QByteArray coarse = encode(grey, "jpeg", 10, true);    // each bit of a block's average shows
    const QByteArray png = encode(corners({2000, 1001}), "png"); // blocks of 3 cut short at the edges
    QFile seed(QStringLiteral(TILMORA_INTERLACED_PNG));          // the loader fuzzer's, which Qt cannot write
    QVERIFY(seed.open(QIODevice::ReadOnly));
    const auto row = [](const char* name, const QByteArray& bytes, QSize atLeast, QSize size,
                        qint64 budget = kAllocationLimitBytes) {
        QTest::newRow(name) << bytes << atLeast << size << budget;
    };
    row("1/8.jpg", jpeg, {150, 100}, {150, 100});
    row("grey, 3/8 for its height.jpg", encode(grey, "jpeg"), {10, 201}, {450, 300});
    row("whole.jpg", jpeg, {1201, 10}, {1200, 800});
    row("progressive, 2/8.jpg", progressive, {300, 200}, {300, 200});
    row("progressive, 1/8 without its last scan.jpg",
        progressive.left(progressive.lastIndexOf("\xff\xda") + 10), {150, 100}, {150, 100});
    row("coarse grey progressive, 1/8 without its last scan.jpg",
        coarse.left(coarse.lastIndexOf("\xff\xda") + 10), {150, 100}, {150, 100});
    row("progressive, over its budget.jpg", progressive, {150, 100}, {}, 1 << 20);
    row("cut.jpg", jpeg.left(jpeg.size() / 2), {150, 100}, {});
    row("blocks of 3.png", png, {300, 150}, {667, 334});
    row("interlaced.png", seed.readAll(), {440, 50}, {880, 100});
    row("under four times the size.png", png, {300, 251}, {});
    row("lossy.webp", encode(photo, "webp", 90), {440, 293}, {440, 293});
    row("lossless.webp", encode(photo, "webp", 100), {300, 200}, {300, 200});
}

void PictureTest::decodersReduce()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, atLeast);
    QFETCH(QSize, size);
    QFETCH(qint64, budget);

    // Every decoder is given every file: at most the one for its format decodes it.
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const JpegDecode jpeg = decodeJpegReduced(bytes, atLeast, budget);
    const std::optional<QImage> png = decodePngReduced(buffer, atLeast);
    const std::optional<QImage> webp = decodeWebpScaled(bytes, atLeast, kMaxSourcePixels);
    QCOMPARE(jpeg.outcome == JpegDecode::Outcome::TooLarge, budget < kAllocationLimitBytes);
    const QImage decoded = png.value_or(webp.value_or(jpeg.image));
    QCOMPARE(decoded.isNull() ? QSize() : decoded.size(), size);
    const int worst = decoded.isNull() ? 0 : differenceFromQt(decoded, QImage::fromData(bytes));
    QVERIFY2(worst <= 4, qPrintable(QString::number(worst)));
}

// The formats the desktop entry, AppStream and --help offer (the build's list) are the ones the
// format table opens, no more and no fewer.
void PictureTest::formatTableAsTheBuildListsIt()
{
    QByteArrayList offered(std::begin(identity::kFormatEntries), std::end(identity::kFormatEntries));
    QByteArrayList opened = openedFormatNames();
    std::ranges::sort(offered);
    std::ranges::sort(opened);
    QCOMPARE(opened, offered);
}

QTEST_GUILESS_MAIN(PictureTest)
#include "tst_picture.moc"
