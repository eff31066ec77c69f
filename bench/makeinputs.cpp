// Writes the pictures the benchmarks read into a folder, so nothing large is kept in the
// repository. The photo is made to compress like a real one: smooth gradients and soft shapes
// (which a camera's lens gives), fine texture, and sensor-like noise on every pixel.
//
//   tilmora-bench-inputs FOLDER
//
// Writes photo-baseline.jpg, photo-progressive.jpg, photo.png, photo.webp (6000 x 4000),
// photo-p3.jpg (the photo in Display P3 with its profile, as a phone saves it),
// icon.ico (256 x 256, transparent corners) and square.png (440 x 440, the size a picture is
// shown at, for the board benchmarks), photo-12mp.png (the photo at 4240 x 2827, which
// scripts/bench turns into HEIC, AVIF and JPEG XL with heif-enc, avifenc and cjxl), photo-phone.png
// (4032 x 3024 in Display P3 with its profile, a phone's size, which scripts/bench cuts into tiles as
// a phone does) with that profile alone in display-p3.icc, photo-12mp-pq.png and photo-12mp-16.png
// (the 12 MP photo at 16 bits a channel, coded in PQ with BT.2020's primaries, its white at 203
// nits, and as it is, each tagged Display P3 so that heif-enc writes a colr box that scripts/bench
// turns into nclx values; it makes 10-bit HEIC and AVIF of both), and large.png (12000 x 10000, the
// largest picture the game takes, smooth bands that compress quickly, for how long the window stalls while it
// is read). Prints one line, "png_interlaced 1" or "png_interlaced 0": the PNG is Adam7-interlaced when
// libvips is there to write it (Qt's writer cannot).

// libvips comes before Qt: GLib names a struct member `signals`, which Qt defines as a keyword.
#ifdef TILMORA_HAVE_VIPS
#include <vips/vips.h>
#endif

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr QSize kPhotoSize(6000, 4000);

// A small, fast generator for the noise: the same picture on every run.
class XorShift
{
public:
    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

private:
    std::uint32_t state_ = 2463534242u;
};

int clampByte(float value)
{
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<int>(value);
}

// Smooth random texture: random values on a grid of `cell` pixels, blended between grid points.
// Several of these at different cell sizes look like foliage, gravel or cloth.
class ValueNoise
{
public:
    ValueNoise(QSize size, int cell, XorShift& random)
        : cell_(cell)
        , columns_(size.width() / cell + 2)
    {
        const int rows = size.height() / cell + 2;
        values_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows));
        for (float& value : values_)
            value = static_cast<float>(random.next() % 2001) / 1000.0f - 1.0f;
    }

    // One row of the texture, values from -1 to 1.
    void row(int y, std::vector<float>& out) const
    {
        const int gy = y / cell_;
        const float fy = static_cast<float>(y % cell_) / static_cast<float>(cell_);
        const float* top = &values_[static_cast<std::size_t>(gy * columns_)];
        const float* bottom = top + columns_;
        for (std::size_t x = 0; x < out.size(); ++x) {
            const int gx = static_cast<int>(x) / cell_;
            const float fx = static_cast<float>(static_cast<int>(x) % cell_) / static_cast<float>(cell_);
            const float upper = top[gx] + (top[gx + 1] - top[gx]) * fx;
            const float lower = bottom[gx] + (bottom[gx + 1] - bottom[gx]) * fx;
            out[x] = upper + (lower - upper) * fy;
        }
    }

private:
    int cell_;
    int columns_;
    std::vector<float> values_;
};

QImage photo(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    const int w = size.width();
    const int h = size.height();
    const int horizon = h * 11 / 20;
    XorShift random;

    {
        QPainter painter(&image);
        // A sky fading to the horizon and a darker ground.
        QLinearGradient sky(0, 0, 0, horizon);
        sky.setColorAt(0, QColor(40, 90, 170));
        sky.setColorAt(1, QColor(200, 215, 230));
        painter.fillRect(QRect(0, 0, w, horizon), sky);
        QLinearGradient ground(0, horizon, 0, h);
        ground.setColorAt(0, QColor(90, 120, 60));
        ground.setColorAt(1, QColor(50, 40, 30));
        painter.fillRect(QRect(0, horizon, w, h - horizon), ground);
        const auto below = [&random](int limit) {
            return static_cast<int>(random.next() % static_cast<std::uint32_t>(limit));
        };
        // Soft, out-of-focus blobs of colour.
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 40; ++i) {
            const QPointF centre(below(w), below(h));
            const double radius = 80 + below(600);
            QColor colour(below(256), below(256), below(256), 140);
            QRadialGradient blob(centre, radius);
            blob.setColorAt(0, colour);
            colour.setAlpha(0);
            blob.setColorAt(1, colour);
            painter.setBrush(blob);
            painter.drawEllipse(centre, radius, radius);
        }
        // Hard-edged things in focus standing on the horizon: houses, posts, trunks.
        for (int i = 0; i < 30; ++i) {
            const int width = 40 + below(500);
            const int height = 100 + below(1400);
            const int grey = 30 + below(120);
            painter.setBrush(QColor(grey + below(40), grey, grey - below(20)));
            painter.drawRect(below(w), horizon - height + below(300), width, height);
        }
    }

    // Texture at three scales, stronger on the ground than in the sky, then per-pixel grain.
    std::vector<ValueNoise> octaves;
    for (const int cell : {3, 11, 47})
        octaves.emplace_back(size, cell, random);
    const float amplitudes[] = {24.0f, 14.0f, 16.0f};
    std::vector<float> texture(static_cast<std::size_t>(w));
    std::vector<float> octave(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        std::fill(texture.begin(), texture.end(), 0.0f);
        const float strength = y >= horizon ? 1.0f : 0.4f;
        for (std::size_t i = 0; i < octaves.size(); ++i) {
            octaves[i].row(y, octave);
            for (std::size_t x = 0; x < texture.size(); ++x)
                texture[x] += octave[x] * amplitudes[i] * strength;
        }
        uchar* line = image.scanLine(y);
        for (std::size_t x = 0; x < texture.size(); ++x) {
            for (std::size_t channel = 0; channel < 3; ++channel) {
                const float grain = static_cast<float>(static_cast<int>(random.next() % 19) - 9);
                uchar& value = line[x * 3 + channel];
                value = static_cast<uchar>(clampByte(value + texture[x] + grain));
            }
        }
    }
    return image;
}

QImage icon()
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient gradient(QPointF(100, 90), 160);
    gradient.setColorAt(0, QColor(255, 220, 120));
    gradient.setColorAt(1, QColor(200, 60, 30));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(60, 20, 10), 6));
    painter.drawRoundedRect(QRectF(12, 12, 232, 232), 48, 48);
    return image;
}

bool write(const QImage& image, const QString& path, const char* format, int quality = -1,
           bool progressive = false)
{
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

bool writeFile(const QByteArray& bytes, const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// The picture (sRGB) converted to Display P3 and marked so: the writer embeds its profile.
QImage inDisplayP3(QImage image)
{
    image.setColorSpace(QColorSpace::SRgb);
    image.convertToColorSpace(QColorSpace::DisplayP3);
    return image;
}

// An Adam7-interlaced PNG through libvips; false when libvips is not there or fails.
bool writeInterlacedPng([[maybe_unused]] const QImage& image, [[maybe_unused]] const QString& path)
{
#ifdef TILMORA_HAVE_VIPS
    if (image.format() != QImage::Format_RGB888 || image.bytesPerLine() != image.width() * 3)
        return false;
    VipsImage* in =
        vips_image_new_from_memory(image.constBits(), static_cast<std::size_t>(image.sizeInBytes()),
                                   image.width(), image.height(), 3, VIPS_FORMAT_UCHAR);
    if (in == nullptr)
        return false;
    const bool written = vips_pngsave(in, qPrintable(path), "interlace", TRUE, nullptr) == 0;
    g_object_unref(in);
    return written;
#else
    return false;
#endif
}

// The largest picture the game accepts, 120 megapixels: bands of gradients cheap to make and to
// compress, so writing it stays quick; reading it still inflates and walks every pixel.
QImage largePicture()
{
    QImage image(12000, 10000, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            line[3 * x] = static_cast<uchar>(x / 47);
            line[3 * x + 1] = static_cast<uchar>(y / 39);
            line[3 * x + 2] = static_cast<uchar>((x + y) / 89);
        }
    }
    return image;
}

// The picture at 16 bits a channel, coded in PQ with BT.2020's primaries (its white at 203 nits) or
// left as it is, tagged Display P3 for heif-enc to write a colr box (see the head of this file).
QImage sixteenBits(const QImage& picture, bool pq)
{
    QImage deep = picture.convertToFormat(QImage::Format_RGBX32FPx4);
    deep.setColorSpace(QColorSpace::SRgb);
    if (pq) {
        deep.convertToColorSpace(QColorSpace({0.3127, 0.3290}, {0.708, 0.292}, {0.170, 0.797}, {0.131, 0.046},
                                             QColorSpace::TransferFunction::Linear));
        for (int y = 0; y < deep.height(); ++y) {
            auto* line = reinterpret_cast<float*>(deep.scanLine(y));
            for (int x = 0; x < deep.width() * 4; ++x) {
                if (x % 4 == 3)
                    continue;
                const double power = std::pow(line[x] * 0.0203, 0.1593017578125);
                line[x] = static_cast<float>(
                    std::pow((0.8359375 + 18.8515625 * power) / (1 + 18.6875 * power), 78.84375));
            }
        }
    }
    deep = deep.convertToFormat(QImage::Format_RGBX64);
    deep.setColorSpace(QColorSpace::DisplayP3);
    return deep;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tilmora-bench-inputs FOLDER\n");
        return 2;
    }
#ifdef TILMORA_HAVE_VIPS
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
#endif
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const auto at = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)); };

    QElapsedTimer timer;
    timer.start();
    const QImage picture = photo(kPhotoSize);
    bool ok = write(picture, at("photo-baseline.jpg"), "jpeg", 90) &&
              write(picture, at("photo-progressive.jpg"), "jpeg", 90, true) &&
              write(picture, at("photo.webp"), "webp", 90) &&
              write(inDisplayP3(picture), at("photo-p3.jpg"), "jpeg", 90);
    const bool interlaced = ok && writeInterlacedPng(picture, at("photo.png"));
    if (ok && !interlaced)
        ok = write(picture, at("photo.png"), "png");
    ok =
        ok && write(icon(), at("icon.ico"), "ico") &&
        write(picture.scaled(440, 440, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), at("square.png"),
              "png") &&
        write(picture.scaled(4240, 2827, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
              at("photo-12mp.png"), "png") &&
        write(sixteenBits(picture.scaled(4240, 2827, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), true),
              at("photo-12mp-pq.png"), "png") &&
        write(sixteenBits(picture.scaled(4240, 2827, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), false),
              at("photo-12mp-16.png"), "png") &&
        write(inDisplayP3(picture.scaled(4032, 3024, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
              at("photo-phone.png"), "png") &&
        writeFile(QColorSpace(QColorSpace::DisplayP3).iccProfile(), at("display-p3.icc")) &&
        write(largePicture(), at("large.png"), "png", 80);
    if (!ok)
        return 1;
    std::printf("png_interlaced %d\n", interlaced ? 1 : 0);
    std::fprintf(stderr, "inputs written in %.1f s\n", static_cast<double>(timer.elapsed()) / 1000);
    return 0;
}
