// Google Benchmark: the game's picture load path against libvips' thumbnailer on the same files,
// the WebP fast path on its own, Start of a 6 x 6 board and one click, each with its repaint.
//
//   TILMORA_BENCH_INPUTS=FOLDER tilmora-bench [--benchmark_... flags]
//
// FOLDER holds what tilmora-bench-inputs wrote. Runs on the offscreen platform unless told
// otherwise. Every load benchmark loads the whole way to what the window shows: the game's side is
// tilmora::loadPicture (file checks, decode, fit) and QPixmap::fromImage; libvips' side is
// vips_thumbnail into a 440 x 440 box, with its cache off, and its pixels written to memory (the
// thumbnail is lazy until then).

// libvips comes before Qt: GLib names a struct member `signals`, which Qt defines as a keyword.
#ifdef TILMORA_HAVE_VIPS
#include <vips/vips.h>
#endif

#include "benchgame.h"
#include "benchsupport.h"
#include "decoder/pictureloader.h"
#include "decoder/webpdecoder.h"
#include "mainwindow/board.h"
#include "picture/fitpicture.h"
#include "picture/picturereader.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

QString inputsFolder;

QString inputPath(const char* name)
{
    return inputsFolder + QLatin1Char('/') + QString::fromLatin1(name);
}

struct Input {
    const char* label; // names the benchmark, and the row in scripts/bench's table
    const char* file;
};

constexpr Input kInputs[] = {
    {"baseline_jpeg", "photo-baseline.jpg"},
    {"p3_jpeg", "photo-p3.jpg"},
    {"progressive_jpeg", "photo-progressive.jpg"},
    {"png", "photo.png"},
    {"webp", "photo.webp"},
    {"icon_256", "icon.ico"},
    // Made by scripts/bench with heif-enc, avifenc and cjxl when they are there; skipped otherwise.
    {"heic_12mp", "photo-12mp.heic"},
    {"avif_12mp", "photo-12mp.avif"},
    {"jxl_12mp", "photo-12mp.jxl"},
    // The same photo in HDR (PQ) and in SDR, both at 10 bits, so that the difference is what the
    // HDR conversion costs.
    {"heic_pq_12mp", "photo-12mp-pq.heic"},
    {"heic_sdr10_12mp", "photo-12mp-16.heic"},
    {"avif_pq_12mp", "photo-12mp-pq.avif"},
    {"avif_sdr10_12mp", "photo-12mp-16.avif"},
    // A phone's photo in tiles, as phones write them.
    {"heic_tiled", "photo-tiled.heic"},
    {"avif_tiled", "photo-tiled.avif"},
};

// --- Loading ---------------------------------------------------------------------------------

bool loadThroughGame(const QString& path)
{
    auto result = tilmora::loadPicture(path, 1.0);
    auto* loaded = std::get_if<tilmora::LoadedPicture>(&result);
    if (loaded == nullptr)
        return false;
    const QPixmap pixmap = QPixmap::fromImage(std::move(loaded->fitted));
    benchmark::DoNotOptimize(pixmap);
    return !pixmap.isNull();
}

void gameLoad(benchmark::State& state, const char* file)
{
    const QString path = inputPath(file);
    for (auto _ : state) {
        if (!loadThroughGame(path)) {
            state.SkipWithError("the game's load path refused the picture");
            break;
        }
    }
}

// The game's asynchronous path: the request to PictureReader, the decoder helper reading the file
// behind its wall, the answer arriving on the event loop, and the pixmap. Made on first use and
// ended before the application ends.
std::unique_ptr<tilmora::PictureReader> reader;

tilmora::PictureReader& pictureReader()
{
    if (!reader) {
        reader = std::make_unique<tilmora::PictureReader>();
        reader->setHelperCommand(QStringList{QStringLiteral(TILMORA_DECODER)});
    }
    return *reader;
}

// Runs the event loop for a while: the helper for the next read is started after each read, as
// the game's window has it ready long before the player picks the next picture.
void letHelperStart()
{
    pictureReader().startHelperAhead();
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
}

bool loadThroughHelper(const QString& path)
{
    auto& pictures = pictureReader();
    std::optional<tilmora::LoadResult> answer;
    QEventLoop loop;
    const auto connection = QObject::connect(&pictures, &tilmora::PictureReader::finished, &loop,
                                             [&](const tilmora::LoadResult& result) {
                                                 answer = result;
                                                 loop.quit();
                                             });
    pictures.read(path, 1.0);
    if (!answer)
        loop.exec();
    QObject::disconnect(connection);
    auto* loaded = std::get_if<tilmora::LoadedPicture>(&*answer);
    if (loaded == nullptr)
        return false;
    const QPixmap pixmap = QPixmap::fromImage(std::move(loaded->fitted));
    benchmark::DoNotOptimize(pixmap);
    return !pixmap.isNull();
}

void helperLoad(benchmark::State& state, const char* file)
{
    const QString path = inputPath(file);
    for (auto _ : state) {
        state.PauseTiming();
        letHelperStart();
        state.ResumeTiming();
        if (!loadThroughHelper(path)) {
            state.SkipWithError("the decoder helper refused the picture");
            break;
        }
    }
}

// A picture read before any helper was ready (one named on the command line, say): the helper's
// start (its libraries and Qt's image readers loaded, its memory and threads readied, its walls put
// up) and a 256-pixel icon read through it, so that what is timed is the start.
void helperStartAndLoad(benchmark::State& state, const char* file)
{
    const QString path = inputPath(file);
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::processEvents(); // the next helper, asked for after each read, is started
        pictureReader().setHelperCommand(QStringList{QStringLiteral(TILMORA_DECODER)}); // and ended
        state.ResumeTiming();
        if (!loadThroughHelper(path)) {
            state.SkipWithError("the decoder helper refused the picture");
            break;
        }
    }
}

// What the loader's WebP branch would do with decodeWebpScaled: map the file, read the size from
// its header, fit it, decode straight to the fitted size, and make the pixmap.
bool loadWebpScaled(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr)
        return false;
    const QByteArrayView data(mapped, file.size());
    const auto natural = tilmora::webpSize(data);
    if (!natural)
        return false;
    auto image =
        tilmora::decodeWebpScaled(data, tilmora::fittedPixelSize(*natural), tilmora::kMaxSourcePixels);
    if (!image)
        return false;
    const QPixmap pixmap = QPixmap::fromImage(std::move(*image));
    benchmark::DoNotOptimize(pixmap);
    return !pixmap.isNull();
}

void webpScaledLoad(benchmark::State& state, const char* file)
{
    const QString path = inputPath(file);
    for (auto _ : state) {
        if (!loadWebpScaled(path)) {
            state.SkipWithError("libwebp could not decode the picture");
            break;
        }
    }
}

#ifdef TILMORA_HAVE_VIPS
bool vipsThumbnail(const std::string& path)
{
    VipsImage* thumbnail = nullptr;
    if (vips_thumbnail(path.c_str(), &thumbnail, 440, "height", 440, nullptr) != 0) {
        vips_error_clear();
        return false;
    }
    std::size_t size = 0;
    void* pixels = vips_image_write_to_memory(thumbnail, &size);
    g_object_unref(thumbnail);
    if (pixels == nullptr) {
        vips_error_clear();
        return false;
    }
    benchmark::DoNotOptimize(pixels);
    g_free(pixels);
    return true;
}

void vipsLoad(benchmark::State& state, const char* file)
{
    const std::string path = inputPath(file).toStdString();
    for (auto _ : state) {
        if (!vipsThumbnail(path)) {
            state.SkipWithError("libvips could not read the picture");
            break;
        }
    }
}
#endif

// --- The board -------------------------------------------------------------------------------

// One window for the board benchmarks, shown on the (offscreen) screen with a 440 x 440 picture
// loaded and the 6 x 6 size chosen.
// Made on first use and closed before the application ends.
std::unique_ptr<tilmora::frmmain> board;

tilmora::frmmain& boardWindow()
{
    if (!board) {
        board = std::make_unique<tilmora::frmmain>(tilmora::bench::benchServices());
        if (!tilmora::bench::loadAndWait(*board, inputPath("square.png")))
            std::fprintf(stderr, "cannot load square.png\n");
        board->sixbysix_Click();
        board->show();
        QCoreApplication::processEvents();
    }
    return *board;
}

// Everything posted (layout, polish, update requests) is handled, so the frame is painted.
void paintPending()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void startSixBySix(benchmark::State& state)
{
    auto& window = boardWindow();
    paintPending();
    const tilmora::bench::PaintCounter paints(&window);
    for (auto _ : state) {
        window.start1_Click();
        paintPending();
    }
    if (window.board()->picturesplit().size() != 37)
        state.SkipWithError("Start did not lay out 36 pieces");
    state.counters["paints"] =
        benchmark::Counter(static_cast<double>(paints.count()), benchmark::Counter::kAvgIterations);
}

void clickOnePiece(benchmark::State& state)
{
    auto& window = boardWindow();
    window.easy1_Click();
    window.start1_Click();
    paintPending();
    const tilmora::bench::PaintCounter paints(&window);
    int piece = 2;
    for (auto _ : state) {
        // On Easy any piece jumps into the blank cell; the pieces are clicked in turn.
        window.picturesplit_Click(piece);
        paintPending();
        piece = piece == 36 ? 2 : piece + 1;
        if (!window.game().inPlay()) {
            // Solved by chance: a new deal, not timed.
            state.PauseTiming();
            window.start1_Click();
            paintPending();
            state.ResumeTiming();
        }
    }
    state.counters["paints"] =
        benchmark::Counter(static_cast<double>(paints.count()), benchmark::Counter::kAvgIterations);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    inputsFolder = qEnvironmentVariable("TILMORA_BENCH_INPUTS");
    if (inputsFolder.isEmpty() || !QFile::exists(inputPath("photo-baseline.jpg"))) {
        std::fprintf(stderr, "Set TILMORA_BENCH_INPUTS to a folder written by tilmora-bench-inputs.\n");
        return 2;
    }
#ifdef TILMORA_HAVE_VIPS
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    vips_cache_set_max(0);
#endif
    benchmark::Initialize(&argc, argv);

    for (const Input& input : kInputs) {
        if (!QFile::exists(inputPath(input.file)))
            continue;
        // Once each beforehand, so the image plugins and libraries are loaded and the file is in
        // the page cache before anything is timed.
        loadThroughGame(inputPath(input.file));
        benchmark::RegisterBenchmark((std::string("load/game/") + input.label).c_str(), gameLoad, input.file)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
#ifdef TILMORA_HAVE_VIPS
        vipsThumbnail(inputPath(input.file).toStdString());
        benchmark::RegisterBenchmark((std::string("load/vips/") + input.label).c_str(), vipsLoad, input.file)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
#endif
    }
    letHelperStart();
    loadThroughHelper(inputPath("photo-baseline.jpg"));
    // The path a photo takes in the game: the helper reads it. HEIC, AVIF and JPEG XL only when made.
    for (const Input& input : kInputs) {
        const QString label = QString::fromLatin1(input.label);
        const bool measured =
            label == u"baseline_jpeg" || label.endsWith(u"_12mp") || label.endsWith(u"_tiled");
        if (!measured || !QFile::exists(inputPath(input.file)))
            continue;
        benchmark::RegisterBenchmark((std::string("load/helper/") + input.label).c_str(), helperLoad,
                                     input.file)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::RegisterBenchmark("load/helper_started/icon_256", helperStartAndLoad, "icon.ico")
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("load/webp_scaled/webp", webpScaledLoad, "photo.webp")
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("board/start_6x6", startSixBySix)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("board/click", clickOnePiece)->Unit(benchmark::kMillisecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    board.reset();
    reader.reset();
    return 0;
}
