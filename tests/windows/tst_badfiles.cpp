// Every kind of file a player might pick, good or bad, picked through the main window while a
// game is in progress. A file that cannot be used gets one clear message naming it and leaves the
// game exactly as it was; a picture that can be shown replaces the board. Either way the window
// answers at once.

#include "mainwindow/frmmain.h"
#include "mainwindow/piecewidget.h"
#include "secondary/picturebox.h"
#include "testpictures.h"
#include "windowfakes.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using tilmora::frmmain;
using tilmora::PictureBox;
using namespace tilmora::testing;
using namespace std::chrono_literals;

namespace {

// Where the picked path points.
enum class Kind {
    File,       // a file with the given bytes
    Folder,     // a folder
    Pipe,       // a named pipe (FIFO) with a writer waiting for a reader
    Link,       // a symbolic link to the path in the bytes
    Device,     // the path in the bytes itself, a device
    Unreadable, // a file with the given bytes that its owner may not read
    Missing,    // nothing at all
};

// --- Files Qt does not write, made byte by byte -------------------------------------------------

// Writes bits the way deflate packs them: fields from their lowest bit, Huffman codes from their
// highest.
class BitWriter
{
public:
    void bits(quint32 value, int count)
    {
        for (int i = 0; i < count; ++i)
            bit((value >> i) & 1U);
    }
    void code(quint32 code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            bit((code >> i) & 1U);
    }
    void zeros(qint64 count)
    {
        position_ += count;
        bytes_.resize((position_ + 7) / 8, '\0');
    }
    [[nodiscard]] QByteArray bytes() const { return bytes_; }

private:
    void bit(quint32 value)
    {
        bytes_.resize(position_ / 8 + 1, '\0');
        if (value != 0)
            bytes_[position_ / 8] = static_cast<char>(bytes_[position_ / 8] | (1 << (position_ % 8)));
        ++position_;
    }

    QByteArray bytes_;
    qint64 position_ = 0;
};

// A zlib stream of one byte and then `runs` copies of the 258 bytes before, all zeros: one
// dynamic Huffman block whose codes for "length 258" and "distance 1" are a single 0 bit each, so
// the runs pack four to a byte, as densely as deflate allows (1032 to 1).
QByteArray zlibBombOfZeros(qint64 runs)
{
    BitWriter out;
    out.bits(1, 1);  // the last block
    out.bits(2, 2);  // dynamic Huffman codes
    out.bits(29, 5); // 286 literal and length codes
    out.bits(0, 5);  // 1 distance code
    out.bits(15, 4); // 19 code-length code lengths, in their odd order:
    // 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1 15 -> "18" gets 1 bit, "1" and "2" get 2 bits.
    for (const int length : {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0})
        out.bits(static_cast<quint32>(length), 3);
    // Code-length codes: "18" = 0, "1" = 10, "2" = 11. The lengths: literal 0 gets 2 bits, 1..255
    // none, end of block 2 bits, 257..284 none, length 258 (code 285) 1 bit, distance 1 1 bit.
    const auto zeroRun = [&](int count) {
        out.code(0b0, 1);
        out.bits(static_cast<quint32>(count - 11), 7);
    };
    out.code(0b11, 2);
    zeroRun(138);
    zeroRun(117);
    out.code(0b11, 2);
    zeroRun(28);
    out.code(0b10, 2);
    out.code(0b10, 2);
    // Literal and length codes: 285 = 0, literal 0 = 10, end of block = 11; distance 1 = 0.
    out.code(0b10, 2);
    out.zeros(2 * runs);
    out.code(0b11, 2);

    // Adler-32 of that many zeros: the byte sum stays 1, the running sum is the count.
    const qint64 inflated = 1 + 258 * runs;
    const auto adler = static_cast<quint32>((inflated % 65521) << 16 | 1);
    QByteArray stream = QByteArray::fromHex("7801") + out.bytes();
    QDataStream tail(&stream, QIODevice::Append);
    tail << adler;
    return stream;
}

// A PNG whose single data chunk is that bomb: it inflates to `inflatedGiB` GiB.
QByteArray pngBomb(quint32 width, quint32 height, quint8 bitDepth, qint64 inflatedGiB)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out << width << height << bitDepth << quint8(6) << quint8(0) << quint8(0) << quint8(0);
    return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) +
           pngChunk("IDAT", zlibBombOfZeros((inflatedGiB << 30) / 258)) + pngChunk("IEND", {});
}

QByteArray littleEndian(std::initializer_list<std::pair<qint64, int>> fields)
{
    QByteArray bytes;
    for (const auto& [value, size] : fields)
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    return bytes;
}

// A GIF whose screen and only image declare the size, with one pixel's worth of data.
QByteArray gifDeclaring(quint16 width, quint16 height)
{
    return "GIF89a" + littleEndian({{width, 2}, {height, 2}}) + QByteArray::fromHex("800000ff0000000000") +
           "\x2c" + littleEndian({{0, 2}, {0, 2}, {width, 2}, {height, 2}}) +
           QByteArray::fromHex("0002024401003b");
}

// A BMP header of 24 bits a pixel declaring the size, and no pixels.
QByteArray bmpDeclaring(qint32 width, qint32 height)
{
    return "BM" + littleEndian({{54, 4},
                                {0, 4},
                                {54, 4},
                                {40, 4},
                                {width, 4},
                                {height, 4},
                                {1, 2},
                                {24, 2},
                                {0, 4},
                                {0, 4},
                                {2835, 4},
                                {2835, 4},
                                {0, 4},
                                {0, 4}});
}

// Two frames of one pixel: red, then blue.
QByteArray animatedGif()
{
    return QByteArray::fromHex("474946383961"
                               "0100010080"
                               "0000"
                               "ff00000000ff"                           // red, blue
                               "21ff0b4e45545343415045322e300301000000" // loop for ever
                               "21f90404320000002c000000000100010000020244010"
                               "0"                                        // red
                               "21f90404320000002c0000000001000100000202" //
                               "4c0100"                                   // blue
                               "3b");
}

// ImageMagick's 8 x 8 red in CMYK, as printers' JPEGs are (Adobe's inverted CMYK); Qt 6.4 does
// not write CMYK.
QByteArray cmykJpeg()
{
    return QByteArray::fromHex(
        "ffd8ffee000e41646f626500640000000002ffdb0043000302020302020303030304030304050805050404050a070706"
        "080c0a0c0c0b0a0b0b0d0e12100d0e110e0b0b1016101113141515150c0f171816141812141514ffdb00430103040405"
        "040509050509140d0b0d1414141414141414141414141414141414141414141414141414141414141414141414141414"
        "141414141414141414141414ffc00014080008000804011100021101031101041100ffc4001500010100000000000000"
        "000000000000000809ffc40014100100000000000000000000000000000000ffc4001501010100000000000000000000"
        "000000000709ffc40014110100000000000000000000000000000000ffda000e040100021103110400003f00441cd2a9"
        "54dfffd9");
}

// Red on a fully transparent white background: the white must not bleed into the edges.
QByteArray stickerPng()
{
    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(qRgba(255, 255, 255, 0));
    QPainter(&image).fillRect(50, 50, 100, 100, Qt::red);
    return encode(image, "png");
}

QImage gradient(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, QColor::fromHsv(x * 300 / size.width(), 200, 200));
    return image;
}

// What the player sees of a game, to tell whether anything changed.
struct GameOnScreen {
    std::vector<int> deal;
    QList<QRect> pieces;
    QString attempts;
    QString time;
    bool inPlay = false;
    QString picture;
};

// Waits, on a thread of its own, for someone to open a named pipe for reading: opening it for
// writing blocks until then. release() tells whether anyone did, then opens the pipe itself so
// the wait always ends.
class PipeWatch
{
public:
    explicit PipeWatch(const QString& path)
        : path_(QFile::encodeName(path))
        , writer_([this] {
            const int descriptor = ::open(path_.constData(), O_WRONLY);
            opened_ = true;
            if (descriptor >= 0)
                ::close(descriptor);
        })
    {
        QTest::qSleep(50); // lets the writer reach its open
    }
    ~PipeWatch() { release(); }
    PipeWatch(const PipeWatch&) = delete;
    PipeWatch& operator=(const PipeWatch&) = delete;

    // Whether anyone opened the pipe for reading before now. A writer woken by an opening may
    // take a moment to run, so it is given 200 ms.
    bool release()
    {
        if (!writer_.joinable())
            return openedByOthers_;
        for (int wait = 0; wait < 40 && !opened_; ++wait)
            QTest::qSleep(5);
        openedByOthers_ = opened_.load();
        const int reader = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (reader >= 0)
            ::close(reader);
        return openedByOthers_;
    }

private:
    QByteArray path_;
    std::atomic<bool> opened_{false};
    bool openedByOthers_ = false;
    std::thread writer_;
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class BadFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusedWithAMessageAndTheGameKept_data();
    void refusedWithAMessageAndTheGameKept();
    void shownInPlaceOfTheGame_data();
    void shownInPlaceOfTheGame();

private:
    [[nodiscard]] GameOnScreen gameOnScreen() const;
    [[nodiscard]] QString make(Kind kind, const QString& name, const QByteArray& bytes);
    [[nodiscard]] qint64 pick(const QString& path);

    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<FakeChooser> chooser_;
    std::shared_ptr<FakeMessages> messages_;
    std::shared_ptr<FakeClock> clock_;
    std::unique_ptr<frmmain> window_;
};

// A game in progress: 4 x 4 dealt, three attempts made, three seconds on the clock.
void BadFilesTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    const Fakes fakes;
    chooser_ = fakes.chooser;
    messages_ = fakes.messages;
    clock_ = fakes.clock;
    window_ = std::make_unique<frmmain>(fakes.services(1206));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));

    QVERIFY(window_->loadPictureFile(writeTestPicture(*dir_, QStringLiteral("board.png"), {440, 440})));
    window_->start1_Click();
    for (const int piece : {2, 7, 12})
        window_->picturesplit_Click(piece);
    clock_->advance(3200ms);
    window_->Timer1_Timer();
    QVERIFY(window_->game().inPlay());
    QCOMPARE(window_->findChild<QLabel*>(QStringLiteral("lblscoreresult"))->text(), QStringLiteral("3"));
    QCOMPARE(window_->findChild<QLabel*>(QStringLiteral("lbltimeresult"))->text(),
             QStringLiteral("3 Seconds"));
    QVERIFY(messages_->informed.isEmpty() && messages_->warned.isEmpty());
}

void BadFilesTest::cleanup()
{
    window_.reset();
    if (dir_) {
        // Give back the read right taken away, so the folder can go.
        for (const QFileInfo& entry : QDir(dir_->path()).entryInfoList(QDir::Files | QDir::System))
            QFile::setPermissions(entry.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    dir_.reset();
}

GameOnScreen BadFilesTest::gameOnScreen() const
{
    GameOnScreen seen;
    seen.deal = window_->game().pieceorder();
    for (std::size_t piece = 1; piece < window_->picturesplit().size(); ++piece)
        seen.pieces << window_->picturesplit()[piece]->geometry();
    seen.attempts = window_->findChild<QLabel*>(QStringLiteral("lblscoreresult"))->text();
    seen.time = window_->findChild<QLabel*>(QStringLiteral("lbltimeresult"))->text();
    seen.inPlay = window_->game().inPlay();
    seen.picture = window_->picturefile();
    return seen;
}

QString BadFilesTest::make(Kind kind, const QString& name, const QByteArray& bytes)
{
    const QString path = kind == Kind::Device ? QString::fromUtf8(bytes) : dir_->filePath(name);
    const auto write = [&] {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    };
    switch (kind) {
    case Kind::File:
        write();
        break;
    case Kind::Unreadable:
        write();
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        break;
    case Kind::Folder:
        QDir(dir_->path()).mkdir(name);
        break;
    case Kind::Pipe:
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
            qFatal("cannot make the pipe %s", qPrintable(path));
        break;
    case Kind::Link:
        QFile::link(QString::fromUtf8(bytes), path);
        break;
    case Kind::Device:
    case Kind::Missing:
        break;
    }
    return path;
}

// Picks the file with the Load Picture command; returns how long the window took to answer.
qint64 BadFilesTest::pick(const QString& path)
{
    chooser_->next = path;
    QElapsedTimer timer;
    timer.start();
    window_->loadpicture1_Click();
    return timer.elapsed();
}

void BadFilesTest::refusedWithAMessageAndTheGameKept_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // the content, or where a link or device path points
    QTest::addColumn<QString>("reason");   // what the message says besides the name

    const QByteArray png = encode(noise({200, 200}), "png");
    const QByteArray jpeg = encode(noise({400, 300}), "jpeg");
    const QByteArray bmp = encode(noise({100, 100}), "bmp");
    QByteArray dataCrc = png;
    dataCrc[png.size() - 14] = static_cast<char>(dataCrc[png.size() - 14] ^ 0x55); // the last IDAT's CRC
    const QString damaged = QStringLiteral("is damaged and cannot be shown.");
    const QString tooLarge = QStringLiteral("is too large");
    const QString notAFile = QStringLiteral("is not a file.");
    const auto refused = [](const char* format) {
        return QStringLiteral("is a kind of picture this game does not open (%1).").arg(format);
    };
    const auto row = [](const char* tag, Kind kind, const QString& name, const QByteArray& bytes,
                        const QString& reason) { QTest::newRow(tag) << kind << name << bytes << reason; };

    // Not pictures at all.
    row("empty file", Kind::File, "empty.png", {}, "is empty, not a picture.");
    row("text named .png", Kind::File, "letter.png", "Dear player,\nthis is not a picture.\n",
        "is not a picture.");
    row("missing", Kind::Missing, "gone.png", {}, "does not exist.");

    // Pictures cut short or spoilt. Qt's JPEG reader would fill the rest of a cut-off JPEG with
    // grey and only print a warning; the loader looks for the end of the data itself and refuses
    // it, as it does a BMP with missing rows, which Qt would leave unset.
    row("truncated PNG", Kind::File, "cut.png", png.left(png.size() / 2), damaged);
    row("truncated JPEG", Kind::File, "cut.jpg", jpeg.left(jpeg.size() / 2), damaged);
    row("JPEG without its end", Kind::File, "no-end.jpg", jpeg.chopped(2), damaged);
    row("truncated BMP", Kind::File, "cut.bmp", bmp.left(bmp.size() / 2), damaged);
    row("PNG with a bad checksum", Kind::File, "crc.png", dataCrc, damaged);
    row("PNG zero pixels wide", Kind::File, "zero.png", pngHeaderOnly(0, 100), damaged);

    // Files that declare more than the game will decode, refused from their header.
    row("PNG declaring 100000 x 100000", Kind::File, "huge.png", pngHeaderOnly(100000, 100000),
        "is too large: 100000 x 100000 pixels");
    // 112 megapixels, within the pixel limit, but 16 bits a channel: over the memory limit. Its
    // data inflates to 2 GiB from a file of 2 MiB.
    row("PNG whose data inflates to 2 GiB", Kind::File, "bomb.png", pngBomb(16000, 7000, 16, 2),
        "is too large: 16000 x 7000 pixels at its colour depth");
    // A JPEG is decoded straight to its fitted size, so no allocation ever shows how large it is:
    // the pixel limit alone refuses it.
    row("JPEG declaring 30000 x 30000", Kind::File, "huge.jpg", withDeclaredSize(jpeg, 30000, 30000),
        "is too large: 30000 x 30000 pixels");
    row("GIF declaring 65535 x 65535", Kind::File, "huge.gif", gifDeclaring(65535, 65535),
        "is too large: 65535 x 65535 pixels");
    // Within the photo limit, but a GIF that large is a screen with next to nothing on it.
    row("GIF declaring 12000 x 10000", Kind::File, "wide-screen.gif", gifDeclaring(12000, 10000),
        "is too large: 12000 x 10000 pixels, more than 16 megapixels");
    row("BMP declaring 20000 x 10000", Kind::File, "huge.bmp", bmpDeclaring(20000, 10000),
        "is too large: 20000 x 10000 pixels");
    // Qt's BMP reader gives no size at all for a header above 16384 x 16384 pixels, so the loader
    // cannot tell "too large" from "damaged"; the file has no pixels either, and it is refused.
    row("BMP declaring 50000 x 50000", Kind::File, "enormous.bmp", bmpDeclaring(50000, 50000), damaged);
    // Within both limits, but the rows are not there.
    row("BMP declaring 10000 x 10000 without its pixels", Kind::File, "empty-rows.bmp",
        bmpDeclaring(10000, 10000), damaged);
    // Its directory claims 65535 entries in a file of a hundred bytes: refused at once (asking Qt
    // about every claimed entry once took seconds).
    QByteArray boastfulIcon = iconFile({filled({32, 32}, Qt::red, QImage::Format_ARGB32)});
    boastfulIcon[4] = boastfulIcon[5] = '\xff';
    row("icon whose directory claims 65535 entries", Kind::File, "boast.ico", boastfulIcon, damaged);
    // Formats the game does not open are refused before their size matters.
    row("PPM declaring 100000 x 100000", Kind::File, "huge.ppm",
        "P6\n100000 100000\n255\n" + QByteArray(64, 'x'), refused("PPM"));
    row("XPM declaring 100000 x 100000", Kind::File, "huge.xpm",
        "/* XPM */\nstatic char *huge[] = {\n\"100000 100000 1 1\",\n\"a c #ff0000\",\n", refused("XPM"));

    // Things that are not files: never opened, so a pipe with no writer cannot hang the game.
    row("folder", Kind::Folder, "holiday.png", {}, notAFile);
    row("named pipe", Kind::Pipe, "pipe.png", {}, notAFile);
    row("link to /dev/zero", Kind::Link, "zeros.png", "/dev/zero", notAFile);
    row("/dev/urandom", Kind::Device, "urandom", "/dev/urandom", notAFile);
    row("no permission to read", Kind::Unreadable, "secret.png", encode(filled({8, 8}, Qt::red), "png"),
        "You do not have permission to read");

    // Picture formats the game does not open, whatever the name says.
    row("ICNS named .png", Kind::File, "apple.png",
        QByteArray::fromHex("69636e730000001069633037"
                            "00000008"),
        refused("ICNS"));
    row("SVG", Kind::File, "drawing.svg",
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"/>)", refused("SVG"));
    row("TGA", Kind::File, "old.tga", redTarga(), refused("TGA"));
}

void BadFilesTest::refusedWithAMessageAndTheGameKept()
{
    QFETCH(Kind, kind);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);

    const QString path = make(kind, name, bytes);
    if (kind == Kind::Unreadable && QFileInfo(path).isReadable())
        QSKIP("running as a user who may read any file (root)");
    std::optional<PipeWatch> pipe;
    if (kind == Kind::Pipe)
        pipe.emplace(path);

    const GameOnScreen before = gameOnScreen();
    const qint64 elapsed = pick(path);
    QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("answered after %1 ms").arg(elapsed)));
    if (pipe)
        QVERIFY2(!pipe->release(), "the pipe was opened");

    QCOMPARE(messages_->warned.size(), 1);
    QVERIFY(messages_->informed.isEmpty());
    const QString& message = messages_->warned.front();
    QVERIFY2(message.contains(u'“' + QFileInfo(path).fileName() + u'”'), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));

    const GameOnScreen after = gameOnScreen();
    QCOMPARE(after.deal, before.deal);
    QCOMPARE(after.pieces, before.pieces);
    QCOMPARE(after.attempts, before.attempts);
    QCOMPARE(after.time, before.time);
    QCOMPARE(after.inPlay, before.inPlay);
    QCOMPARE(after.picture, before.picture);
}

void BadFilesTest::shownInPlaceOfTheGame_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("shown");   // the fitted picture, in logical pixels
    QTest::addColumn<QColor>("centre"); // its colour in the middle; invalid: not checked

    const QColor red(Qt::red);
    const auto icon = [](int side, Qt::GlobalColor colour) {
        return filled(QSize(side, side), colour, QImage::Format_ARGB32);
    };
    const auto row = [](const char* tag, const QString& name, const QByteArray& bytes, QSize shown,
                        const QColor& centre = {}) {
        QTest::newRow(tag) << name << bytes << shown << centre;
    };

    // At least a pixel high, however thin.
    row("20000 x 20 strip", "strip.png", encode(gradient({20000, 20}), "png"), {440, 1});
    row("animated GIF, its first frame", "blink.gif", animatedGif(), {1, 1}, red);
    row("CMYK JPEG", "print.jpg", cmykJpeg(), {8, 8}, red);
    row("16-bit PNG", "deep.png", encode(filled({64, 48}, red, QImage::Format_RGBA64), "png"), {64, 48}, red);
    // The transparent parts turn black; the check for a white fringe is below.
    row("PNG with transparency", "sticker.png", stickerPng(), {200, 200}, red);
    // Stored 300 x 200, turned a quarter by its EXIF orientation.
    row("JPEG turned by EXIF", "phone.jpg", withOrientation(encode(filled({300, 200}, red), "jpeg"), 6),
        {200, 300}, red);
    // Qt reads "@2x" as drawn for twice the density; the player's picture keeps its own size.
    row("named x@2x.png", "x@2x.png", encode(filled({300, 200}, red), "png"), {300, 200}, red);
    row("icon with several sizes, the largest shown", "app.ico",
        iconFile({icon(16, Qt::blue), icon(48, Qt::red), icon(32, Qt::blue)}), {48, 48}, red);
    row("1 x 1 picture", "dot.png", encode(filled({1, 1}, red), "png"), {1, 1}, red);
    row("5 pixels wide", "narrow.png", encode(filled({5, 40}, red), "png"), {5, 40}, red);
    row("name with spaces, accents and a leading dash", "-Fête à Zürich, août.png",
        encode(filled({120, 90}, red), "png"), {120, 90}, red);
    row("PNG content named .jpg", "really-png.jpg", encode(filled({64, 64}, red), "png"), {64, 64}, red);
}

void BadFilesTest::shownInPlaceOfTheGame()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, shown);
    QFETCH(QColor, centre);

    const QString path = make(Kind::File, name, bytes);
    const qint64 elapsed = pick(path);
    QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("answered after %1 ms").arg(elapsed)));
    QVERIFY2(messages_->warned.isEmpty(), qPrintable(messages_->warned.join(u'\n')));
    QCOMPARE(window_->picturefile(), path);
    QVERIFY(!window_->game().hasBoard());
    QVERIFY(window_->picturesplit().empty());

    const auto* box = window_->findChild<PictureBox*>(QStringLiteral("pictureoriginal"));
    QVERIFY(box->isVisible());
    QCOMPARE(box->size(), shown);
    const QImage picture = box->picture().toImage();
    QVERIFY(!picture.hasAlphaChannel());
    if (centre.isValid()) {
        const QColor seen = picture.pixelColor(picture.width() / 2, picture.height() / 2);
        QVERIFY2(qAbs(seen.red() - centre.red()) < 16 && qAbs(seen.green() - centre.green()) < 16 &&
                     qAbs(seen.blue() - centre.blue()) < 16,
                 qPrintable(seen.name()));
    }
    // Nothing but black and shades of red: no white fringe where transparency was.
    if (QTest::currentDataTag() == QByteArray("PNG with transparency")) {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qGreen(picture.pixel(x, y)) > 1 || qBlue(picture.pixel(x, y)) > 1)
                    QFAIL(qPrintable(QStringLiteral("fringe at %1, %2").arg(x).arg(y)));
    }

    // A board at every size the picture can be cut into; a picture too narrow is refused at Start.
    for (const int n : {3, 4, 6}) {
        messages_->informed.clear();
        window_
            ->findChild<QAction*>(n == 3   ? QStringLiteral("threebythree")
                                  : n == 4 ? QStringLiteral("fourbyfour")
                                           : QStringLiteral("sixbysix"))
            ->trigger();
        window_->start1_Click();
        if (shown.width() >= n && shown.height() >= n) {
            QVERIFY(messages_->informed.isEmpty());
            QCOMPARE(window_->game().boardsize(), n);
            for (std::size_t piece = 1; piece < window_->picturesplit().size(); ++piece)
                QVERIFY(!window_->picturesplit()[piece]->geometry().isEmpty());
        } else {
            QCOMPARE(
                messages_->informed,
                QStringList{QStringLiteral("The picture is too small to cut into %1 x %1 pieces.").arg(n)});
        }
    }
}

QTEST_MAIN(BadFilesTest)
#include "tst_badfiles.moc"
