// Reading a picture through the decoder helper: the same answer as the loader in the game's own
// process, whatever the helper does; and the wall the helper reads behind.

#include "picture/picturereader.h"
#include "picture/refusalmessages.h"

#include <QColorSpace>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace tilmora;
using namespace std::chrono_literals;

namespace {

QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QImage gradient(QSize size, bool transparent = false)
{
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0),
                            transparent ? 0x00ffffffu : qRgb(255, 255, 255)};
    const QImage image(reinterpret_cast<const uchar*>(colours), 2, 2, QImage::Format_ARGB32);
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// An Exif segment (its marker and length first) saying the picture is to be turned right (6).
constexpr char kTurnedRightExif[] =
    "ffe10022 457869660000 4d4d002a00000008 0001 011200030000000100060000 00000000";

const QString kHelper = QStringLiteral(TILMORA_DECODER);
const QString kFake = QStringLiteral(TILMORA_FAKE_DECODER);

// The processes this one started that run `program`.
QList<qint64> childrenRunning(const QString& program)
{
    QList<qint64> children;
    const QString me = QString::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = stat.readAll().split(')').value(1).split(' ');
        if (fields.value(2) == me.toLatin1() &&
            QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() ==
                QFileInfo(program).canonicalFilePath())
            children << pid.toLongLong();
    }
    return children;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A line of a process's or a task's status (or of a descriptor's fdinfo), after its key.
QByteArray statusLine(const QString& process, QByteArrayView key)
{
    for (const QByteArray& line :
         contentOf(process.endsWith(u'/') ? process + QStringLiteral("status") : process).split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed();
    return {};
}

// What a descriptor is open on: a file's path, or a pipe or socket with its number.
QString openOn(const QString& descriptor)
{
    std::array<char, 512> target{};
    const ssize_t length =
        ::readlink(QFile::encodeName(descriptor).constData(), target.data(), target.size());
    return QString::fromLocal8Bit(target.data(), std::max<ssize_t>(length, 0));
}

} // namespace

class PictureReaderTest : public QObject
{
    Q_OBJECT
private slots:
    void answersThroughTheWall_data();
    void answersThroughTheWall();
    void survivesTheHelper_data();
    void survivesTheHelper();
    void cancelGivesUpTheRead();
    void readyHelperGoneBeforeTheRead();
    void heifPhotos_data();
    void heifPhotos();
    void wallRefuses_data();
    void wallRefuses();
    void helperWaitsWalled();
    void layersAsTheSystemAllows_data();
    void layersAsTheSystemAllows();

private:
    QString write(const QString& name, const QByteArray& bytes);
    LoadResult readThrough(PictureReader& reader, const QString& path, qreal ratio = 1);
    QTemporaryDir folder_;
};

QString PictureReaderTest::write(const QString& name, const QByteArray& bytes)
{
    QFile file(folder_.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

LoadResult PictureReaderTest::readThrough(PictureReader& reader, const QString& path, qreal ratio)
{
    QSignalSpy finished(&reader, &PictureReader::finished);
    reader.read(path, ratio);
    // Past the reader's own time limit (30 s), after which it answers all the same: a damaged file.
    if (!finished.wait(60'000) || finished.size() != 1)
        qFatal("no answer for %s", qPrintable(path));
    return finished.at(0).at(0).value<LoadResult>();
}

// Each kind of answer, through the wall: a picture of every format at a screen's ratio (the longer
// side 440 logical pixels, never enlarged, never under a pixel), and every refusal the helper makes
// or the game makes before it, with the values its sentence names.
void PictureReaderTest::answersThroughTheWall_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QString>("answer"); // the fitted size in device pixels and the natural, or the sentence
    const QByteArray jpeg = encode(gradient({1200, 800}), "jpeg");
    QByteArray deepBmp = encode(gradient({8, 8}).convertToFormat(QImage::Format_Indexed8), "bmp");
    qToLittleEndian(qint32(11000), deepBmp.data() + 18);
    qToLittleEndian(qint32(10000), deepBmp.data() + 22);
    const QByteArray png = encode(gradient({800, 1600}, true), "png");
    QByteArray screen =
        QByteArray::fromHex("47494638396101000100800000ff00000000002c00000000010001000002024401003b");
    for (const int at : {6, 8, 24, 26}) // a red pixel on a screen over the GIF limit, not the other
        qToLittleEndian(quint16(5000), screen.data() + at);
    const auto row = [](const char* name, const QByteArray& bytes, qreal ratio, const char* answer) {
        QTest::newRow(name) << bytes << ratio << QString::fromUtf8(answer);
    };
    row("photo.jpg", jpeg, 1, "440 x 293 of 1200 x 800");
    row("transparent, ratio 2.png", png, 2, "440 x 880 of 800 x 1600");
    row("lossy.webp", encode(gradient({2000, 1000}), "webp"), 1.5, "660 x 330 of 2000 x 1000");
    row("icon, no ratio.ico", encode(gradient({48, 48}, true), "ico"), 0, "48 x 48 of 48 x 48");
    row("line, small ratio.png", encode(gradient({1, 300}), "png"), 0.25, "1 x 75 of 1 x 300");
    row("empty.png", {}, 1, "is empty, not a picture.");
    row("scan.tif", encode(gradient({8, 8}), "tiff"), 1,
        "is a kind of picture this game does not open (TIFF).");
    row("16 colours.bmp", deepBmp, 1,
        "is too large: 11000 x 10000 pixels at its colour depth would take more than 512 MB.");
    row("screen.gif", screen, 1, "is too large: 5000 x 5000 pixels, more than 16 megapixels.");
    row("missing", {}, 1, "does not exist.");
}

void PictureReaderTest::answersThroughTheWall()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qreal, ratio);
    QFETCH(QString, answer);
    const QString name = QString::fromUtf8(QTest::currentDataTag());
    QString path = folder_.filePath(name);
    if (name != "missing")
        path = write(name, bytes);

    PictureReader reader;
    reader.setHelperCommand({kHelper});
    const LoadResult read = readThrough(reader, path, ratio);
    if (const auto* refusal = std::get_if<Refusal>(&read)) {
        QCOMPARE(refusalMessage(*refusal, name), QStringLiteral("“%1” %2").arg(name, answer));
        return;
    }
    const QImage& fitted = std::get<LoadedPicture>(read).fitted;
    const QSize natural = std::get<LoadedPicture>(read).naturalSize;
    QCOMPARE(QStringLiteral("%1 x %2 of %3 x %4")
                 .arg(fitted.width())
                 .arg(fitted.height())
                 .arg(natural.width())
                 .arg(natural.height()),
             answer);
    QCOMPARE(fitted.devicePixelRatio(), ratio > 0 ? ratio : 1.0);
}

// A helper that crashes, hangs past the time limit, stops short or says what it could not honestly
// say: the file is damaged (at once when the helper has gone), and the reader reads the next picture
// as if nothing had happened, waiting for it or not.
void PictureReaderTest::survivesTheHelper_data()
{
    QTest::addColumn<QString>("how");
    for (const char* how : {"crash", "hang", "short", "nonsense", "pixels cut", "absurd size",
                            "one pixel wider", "another limit", "no height",
                            "a refusal only the game can make", "text for a kind", "silence", "talks"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void PictureReaderTest::survivesTheHelper()
{
    QFETCH(QString, how);
    const QString photo = write(QStringLiteral("photo.jpg"), encode(gradient({600, 400}), "jpeg"));
    PictureReader reader;
    reader.setTimeLimit(how == u"hang" ? 300ms : 1h);
    reader.setHelperCommand({kFake, how});
    if (how == u"talks") // its lines in the game's log under its name, no escape reaching a terminal
        QTest::ignoreMessage(QtWarningMsg, "tilmora-picture-decoder: \uFFFD[2Jcleared");
    const LoadResult broken = readThrough(reader, photo);
    QVERIFY(std::holds_alternative<Refusal>(broken));
    QCOMPARE(std::get<Refusal>(broken), Refusal{Refusal::Reason::Damaged});

    reader.setHelperCommand({kHelper});
    reader.setTimeLimit(20s);
    const LoadResult next = readThrough(reader, photo);
    QVERIFY(std::holds_alternative<LoadedPicture>(next));
    QCOMPARE(std::get<LoadedPicture>(next).naturalSize, QSize(600, 400));
    QVERIFY(std::holds_alternative<LoadedPicture>(reader.readNow(photo, 1)));
}

// A picture given up says nothing, not even when its time runs out; the next one is read.
void PictureReaderTest::cancelGivesUpTheRead()
{
    const QString photo = write(QStringLiteral("photo.jpg"), encode(gradient({600, 400}), "jpeg"));
    PictureReader reader;
    QSignalSpy finished(&reader, &PictureReader::finished);
    reader.setTimeLimit(100ms);
    reader.setHelperCommand({kFake, QStringLiteral("hang")});
    reader.read(photo, 1);
    QVERIFY(reader.isReading());
    reader.cancel();
    QVERIFY(!reader.isReading());
    QTest::qWait(400);
    QCOMPARE(finished.size(), 0);

    reader.setHelperCommand({kHelper});
    reader.setTimeLimit(20s);
    reader.read(folder_.filePath(QStringLiteral("gone.png")), 1); // overtaken by the next read
    reader.read(photo, 1);
    QVERIFY(finished.wait(20'000));
    QTest::qWait(100);
    QCOMPARE(finished.size(), 1);
    QVERIFY(std::holds_alternative<LoadedPicture>(finished.at(0).at(0).value<LoadResult>()));
}

// A helper kept ready that has died before the request (ended from outside) is replaced: the
// picture is read all the same.
void PictureReaderTest::readyHelperGoneBeforeTheRead()
{
    const QString photo = write(QStringLiteral("photo.jpg"), encode(gradient({600, 400}), "jpeg"));
    PictureReader reader;
    reader.setHelperCommand({kHelper});
    reader.startHelperAhead();
    // Waited for: the helper of a reader gone just before may be killed but not yet ended.
    QTRY_COMPARE(childrenRunning(kHelper).size(), 1);
    const QList<qint64> ready = childrenRunning(kHelper);
    QCOMPARE(::kill(pid_t(ready.first()), SIGKILL), 0);
    const QString process = QStringLiteral("/proc/%1/").arg(ready.first());
    // Ended means every thread of it, not only the first: the others still hold its socket open.
    QTRY_VERIFY((statusLine(process, "State:").startsWith('Z') && statusLine(process, "Threads:") == "1") ||
                statusLine(process, "State:").isEmpty());
    QVERIFY(std::holds_alternative<LoadedPicture>(readThrough(reader, photo)));
}

// HEIC and AVIF photos made here, read behind the wall: the primary image at its size, turned as
// the file says, its colours in sRGB from the ICC profile or the nclx values it carries (the pixels
// are stored in Display P3). A cut one, and one declaring more pixels than the game takes, are
// refused before anything is decoded.
void PictureReaderTest::heifPhotos_data()
{
    QTest::addColumn<QStringList>("encoder"); // the input and the output follow
    QTest::addColumn<QTransform>("turn");
    QTest::addColumn<QString>("refused");
    const QStringList heifEnc = QStringLiteral("heif-enc -q 90").split(u' ');
    const QStringList avifenc =
        QStringLiteral("avifenc --min 0 --max 10 --ignore-icc --cicp 12/13/6").split(u' ');
    // A quarter turn anticlockwise, as a phone writes it: with an Exif orientation not to apply on top.
    const QString exif =
        write(QStringLiteral("turned right.exif"), QByteArray::fromHex(kTurnedRightExif).mid(4));
    const QStringList irot{QStringLiteral("--irot"), QStringLiteral("1"), QStringLiteral("--exif"), exif};
    QTest::newRow("photo.heic") << heifEnc << QTransform() << QString();
    QTest::newRow("transparent.heic") << heifEnc << QTransform() << QString(); // shown on black
    QTest::newRow("turned.avif") << avifenc + irot << QTransform().rotate(-90) << QString();
    // Mirrored (0: top to bottom, 1: left to right), after the turn when there is one.
    const auto imir = [](const char* axis) {
        return QStringList{QStringLiteral("--imir"), QString::fromLatin1(axis)};
    };
    QTest::newRow("mirrored.avif") << avifenc + imir("0") << QTransform::fromScale(1, -1) << QString();
    QTest::newRow("turned, mirrored.avif")
        << avifenc + irot + imir("1") << QTransform().rotate(-90) * QTransform::fromScale(-1, 1) << QString();
    QTest::newRow("turned right.jxl") << QStringList{QStringLiteral("cjxl")} << QTransform().rotate(90)
                                      << QString(); // from a JPEG with an Exif orientation
    QTest::newRow("cut.heic") << heifEnc << QTransform() << QStringLiteral("is damaged and cannot be shown.");
    QTest::newRow("huge.heic") << heifEnc << QTransform()
                               << QStringLiteral(
                                      "is too large: 20000 x 10000 pixels, more than 120 megapixels.");
}

void PictureReaderTest::heifPhotos()
{
    QFETCH(QStringList, encoder);
    QFETCH(QTransform, turn);
    QFETCH(QString, refused);
    const QString name = QString::fromUtf8(QTest::currentDataTag());
    QImage original = gradient({480, 320}, name.startsWith(u"transparent"));
    original.setColorSpace(QColorSpace::SRgb);
    QImage p3 = original.convertedToColorSpace(QColorSpace::DisplayP3);
    const bool jpeg = name == u"turned right.jxl"; // recompressed with its orientation
    const QString input = folder_.filePath(name + (jpeg ? QStringLiteral(".jpg") : QStringLiteral(".png")));
    const QByteArray pixels = encode(p3, jpeg ? "jpeg" : "png");
    write(name + (jpeg ? QStringLiteral(".jpg") : QStringLiteral(".png")),
          jpeg ? pixels.left(2) + QByteArray::fromHex(kTurnedRightExif) + pixels.mid(2) : pixels);
    const QString program = encoder.takeFirst();
    QProcess encoding;
    const QString output = folder_.filePath(name);
    encoding.start(program,
                   encoder + (program == u"heif-enc" ? QStringList{input, QStringLiteral("-o"), output}
                                                     : QStringList{input, output}));
    QVERIFY2(encoding.waitForFinished(60'000) && encoding.exitCode() == 0, encoding.readAllStandardError());
    QFile made(folder_.filePath(name));
    QVERIFY(made.open(QIODevice::ReadOnly));
    QByteArray bytes = made.readAll();
    if (name.startsWith(u"cut"))
        bytes.chop(bytes.size() / 2);
    if (name.startsWith(u"huge")) // the declared size, in the ispe box
        qToBigEndian(quint64(20000) << 32 | 10000, bytes.data() + bytes.indexOf("ispe") + 8);

    PictureReader reader;
    reader.setHelperCommand({kHelper});
    // At a small ratio, so that a HEIF photo is averaged down by the decoder before Qt scales it.
    const LoadResult read = readThrough(reader, write(name, bytes), 0.25);
    if (!refused.isEmpty()) {
        QVERIFY(std::holds_alternative<Refusal>(read));
        QCOMPARE(refusalMessage(std::get<Refusal>(read), name), QStringLiteral("“%1” %2").arg(name, refused));
        return;
    }
    QVERIFY(std::holds_alternative<LoadedPicture>(read));
    const auto& [fitted, natural] = std::get<LoadedPicture>(read);
    QImage onBlack(original.size(), QImage::Format_RGB32);
    onBlack.fill(Qt::black);
    QPainter(&onBlack).drawImage(0, 0, original);
    const QImage expected =
        onBlack.transformed(turn).scaled(fitted.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QCOMPARE(natural, original.transformed(turn).size());
    qint64 error = 0;
    for (int y = 0; y < fitted.height(); ++y) {
        for (int x = 0; x < fitted.width(); ++x) {
            const QRgb a = fitted.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            error += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    }
    const double mean = double(error) / (3.0 * fitted.width() * fitted.height());
    QVERIFY2(mean <= 4, qPrintable(QStringLiteral("mean error %1").arg(mean)));
}

// Once walled, the helper's threads still work, and it may be stopped and continued; opening a
// file or looking up a path fails; what else it must not do ends it there and then, every thread.
void PictureReaderTest::wallRefuses_data()
{
    QTest::addColumn<QByteArray>("said");
    QTest::addColumn<bool>("ends");
    for (const char* call : {"threads", "give memory back from a thread", "stopped and continued"})
        QTest::newRow(call) << QByteArray("walled\ndone\n") << false;
    for (const char* call : {"open", "reopen a descriptor by its path in /proc", "stat a path",
                             "statx on a path", "a path as if a descriptor", "processors of another process"})
        QTest::newRow(call) << QByteArray("walled\nrefused\n") << false;
    for (const char* call :
         {"socket", "run a program", "trace", "executable memory", "memory made executable",
          "huge-page mapping", "new process", "thread flags without CLONE_THREAD",
          "thread in a network namespace", "priority-inheritance lock", "processor clock of another process",
          "x32 call from a thread", "signal to another process", "write elsewhere", "writev elsewhere"})
        QTest::newRow(call) << QByteArray("walled\n") << true;
}

void PictureReaderTest::wallRefuses()
{
    QFETCH(QByteArray, said);
    QFETCH(bool, ends);
    const QByteArrayView call(QTest::currentDataTag());
#if defined(__SANITIZE_ADDRESS__)
    if (call.endsWith("elsewhere") || call == "huge-page mapping" || call == "processors of another process")
        QSKIP("the sanitizer's build lets the helper write anywhere, map as it likes, ask any process's "
              "processors");
#endif
    QProcess probe;
    probe.start(kFake, {QStringLiteral("wall"), QString::fromUtf8(call)});
    if (call == "stopped and continued" && probe.waitForReadyRead(20'000)) {
        QTest::qWait(100); // asleep by now
        ::kill(pid_t(probe.processId()), SIGSTOP);
        QTest::qWait(200);
        ::kill(pid_t(probe.processId()), SIGCONT);
    }
    QVERIFY(probe.waitForFinished(20'000));
    const QByteArray output = probe.readAllStandardOutput();
    if (output == "unwalled\n")
        QSKIP("no system call filter on this system");
    QCOMPARE(output, said); // nothing "done" that should end it
    QCOMPARE(probe.exitStatus(), ends ? QProcess::CrashExit : QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), ends ? SIGSYS : 0); // a crash's code is its signal
}

// The helper the game keeps ready waits behind its wall, every thread of it, holding nothing of the
// game's but its socket: not a file the game had open when it started the helper, not its
// standard error (a pipe it can only write), its environment or its working directory; limited
// in what it may take of the machine, and the first the kernel ends when memory runs out. (What
// it opened itself before the wall went up, the event counters of its threads, is anonymous.)
void PictureReaderTest::helperWaitsWalled()
{
    const int gameFile =
        ::open(QFile::encodeName(write(QStringLiteral("held.txt"), "the game's own")), O_RDONLY);
    qputenv("TILMORA_THE_GAMES_OWN", "secret");
    PictureReader reader;
    reader.setHelperCommand({kHelper});
    reader.startHelperAhead();
    ::close(gameFile);
    qunsetenv("TILMORA_THE_GAMES_OWN");
    // Waited for: the helper of a reader gone just before may be killed but not yet ended.
    QTRY_COMPARE(childrenRunning(kHelper).size(), 1);
    const QList<qint64> helpers = childrenRunning(kHelper);
    const QString process = QStringLiteral("/proc/%1/").arg(helpers.first());
    QTRY_COMPARE_WITH_TIMEOUT(statusLine(process, "Seccomp:"), QByteArray("2"), 20'000);
    const QStringList tasks =
        QDir(process + QStringLiteral("task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY2(tasks.size() > 1, qPrintable(tasks.join(u' '))); // the scaling threads
    for (const QString& task : tasks) {
        QCOMPARE(statusLine(process + QStringLiteral("task/") + task + u'/', "Seccomp:"), QByteArray("2"));
        QCOMPARE(statusLine(process + QStringLiteral("task/") + task + u'/', "NoNewPrivs:"), QByteArray("1"));
    }
    QStringList held;
    for (const QString& fd : QDir(process + QStringLiteral("fd")).entryList(QDir::Files | QDir::System))
        if (const QString kind = openOn(process + QStringLiteral("fd/") + fd).section(u':', 0, 0);
            kind != u"anon_inode")
            held << fd + u'=' + kind;
    QCOMPARE(held, (QStringList{"0=/dev/null", "1=/dev/null", "2=pipe", "3=socket"}));
    QVERIFY(statusLine(process + QStringLiteral("fdinfo/2"), "flags:").endsWith('1')); // O_WRONLY
    QVERIFY(openOn(process + QStringLiteral("fd/2")) != openOn(QStringLiteral("/proc/self/fd/2")));
    QCOMPARE(openOn(process + QStringLiteral("cwd")), QStringLiteral("/"));

    for (const QByteArray& variable : contentOf(process + QStringLiteral("environ")).split('\0'))
        QVERIFY2(variable.isEmpty() || variable.startsWith("GLIBC_TUNABLES=") ||
                     variable.contains("SAN_OPTIONS="),
                 variable.constData());
    const QByteArray limits = contentOf(process + QStringLiteral("limits")).simplified();
    QVERIFY(limits.contains("Max file size 0 0 bytes") && limits.contains("Max core file size 0 0 bytes"));
#if !defined(__SANITIZE_ADDRESS__)
    QVERIFY(limits.contains("Max address space 4294967296 4294967296 bytes"));
#endif
    QCOMPARE(contentOf(process + QStringLiteral("oom_score_adj")).trimmed(), QByteArray("1000"));
}

// Every layer of the wall is up on this system (as the helper says when asked). Where the system
// refuses the namespaces and Landlock, the filter alone walls the helper in and pictures are read;
// where it refuses the filter, after no-new-privileges is set, the helper reads nothing and the
// player is told why in one sentence.
void PictureReaderTest::layersAsTheSystemAllows_data()
{
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QByteArray>("layers"); // of the filter, the namespaces, Landlock
    QTest::newRow("this one") << QStringList() << QByteArray("up up up (version");
    QTest::newRow("no namespaces or Landlock")
        << QStringList{kFake, QStringLiteral("bare kernel")} << QByteArray("up not up not up");
    QTest::newRow("no filter") << QStringList{kFake, QStringLiteral("unwallable")}
                               << QByteArray("not up up up");
}

void PictureReaderTest::layersAsTheSystemAllows()
{
    QFETCH(QStringList, system);
    QFETCH(QByteArray, layers);
    QProcess asked;
    const QStringList command = system + QStringList{kHelper, QStringLiteral("--layers")};
    asked.start(command.first(), command.mid(1));
    QVERIFY(asked.waitForFinished(20'000));
    QByteArray said;
    for (const QByteArray& line : asked.readAllStandardOutput().split('\n'))
        said += line.mid(line.indexOf(": ") + 2) + ' ';
    QVERIFY2(said.startsWith(layers), said.constData());

    const QString photo = write(QStringLiteral("photo.jpg"), encode(gradient({600, 400}), "jpeg"));
    PictureReader reader;
    reader.setHelperCommand(system << kHelper);
    reader.startHelperAhead(); // its working directory is the root, whether or not it can have one of its own
    QTRY_COMPARE(childrenRunning(kHelper).size(), 1);
    QCOMPARE(openOn(QStringLiteral("/proc/%1/cwd").arg(childrenRunning(kHelper).first())),
             QStringLiteral("/"));
    const LoadResult read = readThrough(reader, photo);
    if (layers.startsWith("up")) {
        QVERIFY(std::holds_alternative<LoadedPicture>(read));
        return;
    }
    QVERIFY(std::holds_alternative<Refusal>(read));
    QCOMPARE(refusalMessage(std::get<Refusal>(read), QStringLiteral("photo.jpg")),
             QStringLiteral("“photo.jpg” was not opened: pictures cannot be read safely on this system."));
}

QTEST_GUILESS_MAIN(PictureReaderTest)
#include "tst_picturereader.moc"
