#include "hdrpicture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace tilmora {

namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>; // rows

// sRGB's primaries and white (BT.709's).
constexpr std::array<QPointF, 4> kSrgbPrimaries{QPointF(0.64, 0.33), QPointF(0.30, 0.60), QPointF(0.15, 0.06),
                                                QPointF(0.3127, 0.3290)};

// Nits of the reference white of BT.2408, which becomes sRGB's white.
constexpr double kReferenceWhite = 203.0;
// The HLG screen the picture is shown as on: 1,000 nits, where BT.2100's system gamma is 1.2.
constexpr double kHlgPeak = 1000.0;
constexpr double kHlgGamma = 1.2;
// Where the roll-off of highlights starts, in linear light of sRGB's white: below it nothing
// changes; reference white comes out at 0.95 of white (249 of 255) and twice it at 254.
constexpr double kKnee = 0.9;

Vector transformed(const Matrix& matrix, const Vector& vector)
{
    Vector result{};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column)
            result[row] += matrix[row][column] * vector[column];
    }
    return result;
}

Matrix product(const Matrix& left, const Matrix& right)
{
    Matrix result{};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            for (std::size_t k = 0; k < 3; ++k)
                result[row][column] += left[row][k] * right[k][column];
        }
    }
    return result;
}

Matrix inverse(const Matrix& m)
{
    const auto cofactor = [&m](std::size_t row, std::size_t column) {
        const std::size_t r1 = (row + 1) % 3;
        const std::size_t r2 = (row + 2) % 3;
        const std::size_t c1 = (column + 1) % 3;
        const std::size_t c2 = (column + 2) % 3;
        return m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
    };
    const double determinant = m[0][0] * cofactor(0, 0) + m[0][1] * cofactor(0, 1) + m[0][2] * cofactor(0, 2);
    Matrix result{};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column)
            result[row][column] = cofactor(column, row) / determinant;
    }
    return result;
}

// From linear RGB in these primaries to CIE XYZ, white at Y = 1.
Matrix rgbToXyz(const std::array<QPointF, 4>& primaries)
{
    const auto xyz = [](QPointF chromaticity) {
        return Vector{chromaticity.x() / chromaticity.y(), 1.0,
                      (1.0 - chromaticity.x() - chromaticity.y()) / chromaticity.y()};
    };
    Matrix columns{};
    for (std::size_t primary = 0; primary < 3; ++primary) {
        const Vector colour = xyz(primaries[primary]);
        for (std::size_t row = 0; row < 3; ++row)
            columns[row][primary] = colour[row];
    }
    const Vector weights = transformed(inverse(columns), xyz(primaries[3]));
    for (auto& row : columns) {
        for (std::size_t primary = 0; primary < 3; ++primary)
            row[primary] *= weights[primary];
    }
    return columns;
}

// A curve over [0, 1] sampled at 4,096 steps, read between them by straight lines: the transfers
// are smooth enough for that to stay far below a level of the result.
class SampledCurve
{
public:
    explicit SampledCurve(const std::function<double(double)>& curve)
        : samples_(kSteps + 1)
    {
        for (std::size_t step = 0; step <= kSteps; ++step)
            samples_[step] = static_cast<float>(curve(double(step) / kSteps));
    }

    [[nodiscard]] double operator()(double at) const
    {
        const double position = (at > 0 ? std::min(at, 1.0) : 0.0) * kSteps; // NaN as 0
        const auto below = std::min(static_cast<std::size_t>(position), kSteps - 1);
        const double fraction = position - double(below);
        return samples_[below] + (samples_[below + 1] - samples_[below]) * fraction;
    }

private:
    static constexpr std::size_t kSteps = 4096;
    std::vector<float> samples_;
};

// PQ's signal to light, in units of reference white (SMPTE ST 2084's EOTF).
double pqToLight(double signal)
{
    constexpr double m1 = 2610.0 / 16384;
    constexpr double m2 = 2523.0 / 4096 * 128;
    constexpr double c1 = 3424.0 / 4096;
    constexpr double c2 = 2413.0 / 4096 * 32;
    constexpr double c3 = 2392.0 / 4096 * 32;
    const double power = std::pow(signal, 1.0 / m2);
    return 10000.0 / kReferenceWhite * std::pow(std::max(power - c1, 0.0) / (c2 - c3 * power), 1.0 / m1);
}

// HLG's signal to the light of the scene, from 0 to 1 (BT.2100's inverse OETF).
double hlgToScene(double signal)
{
    constexpr double a = 0.17883277;
    constexpr double b = 1.0 - 4.0 * a;
    const double c = 0.5 - a * std::log(4.0 * a);
    return signal <= 0.5 ? signal * signal / 3.0 : (std::exp((signal - c) / a) + b) / 12.0;
}

// sRGB's encoding of linear light.
double srgbEncoded(double light)
{
    return light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1.0 / 2.4) - 0.055;
}

// A colour outside sRGB's gamut (a channel below zero) moved towards the grey of its own luminance
// until it is inside; black when it has none.
Vector intoGamut(const Vector& colour, double luminance)
{
    const double lowest = std::min({colour[0], colour[1], colour[2]});
    if (lowest >= 0)
        return colour;
    if (luminance <= 0)
        return {};
    const double kept = luminance / (luminance - lowest);
    Vector inside{};
    for (std::size_t channel = 0; channel < 3; ++channel)
        inside[channel] = luminance + kept * (colour[channel] - luminance);
    return inside;
}

// The brightest channel's light above the knee rolled off towards white, which it never reaches:
// smooth, rising, and as steep as the straight line where it starts.
double rolledOff(double light)
{
    if (light <= kKnee)
        return light;
    const double above = (light - kKnee) / (1.0 - kKnee);
    return kKnee + (1.0 - kKnee) * above / (1.0 + above);
}

Vector rolledOffHighlights(const Vector& colour)
{
    const double brightest = std::max({colour[0], colour[1], colour[2]});
    if (brightest <= kKnee)
        return colour;
    const double scale = rolledOff(brightest) / brightest;
    return {colour[0] * scale, colour[1] * scale, colour[2] * scale};
}

// The file's primaries, or BT.2020's where the file's make no colour space (two on one line, a
// chromaticity at y = 0).
Matrix toXyzOf(const std::array<QPointF, 4>& primaries)
{
    const Matrix toXyz = rgbToXyz(primaries);
    const bool usable = std::all_of(toXyz.begin(), toXyz.end(), [](const Vector& row) {
        return std::all_of(row.begin(), row.end(), [](double value) { return std::isfinite(value); });
    });
    return usable ? toXyz : rgbToXyz(kBt2020Primaries);
}

} // namespace

QImage hdrInSrgb(QImage picture, const HdrCoding& coding)
{
    picture.convertTo(QImage::Format_RGBX64);
    const Matrix toXyz = toXyzOf(coding.primaries);
    const Matrix toSrgb = product(inverse(rgbToXyz(kSrgbPrimaries)), toXyz);
    const Vector sceneLuminance = toXyz[1];
    const bool hlg = coding.transfer == HdrCoding::Transfer::Hlg;
    const SampledCurve toLight(hlg ? hlgToScene : pqToLight);
    const SampledCurve encoded(srgbEncoded);
    constexpr double kLevels = 65535.0;

    QImage shown(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgba64*>(picture.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            Vector light{toLight(in[x].red() / kLevels), toLight(in[x].green() / kLevels),
                         toLight(in[x].blue() / kLevels)};
            if (hlg) { // the 1,000-nit screen's light, which brings the scene's contrast to it
                const double scene =
                    std::max(0.0, sceneLuminance[0] * light[0] + sceneLuminance[1] * light[1] +
                                      sceneLuminance[2] * light[2]);
                const double gain = kHlgPeak / kReferenceWhite * std::pow(scene, kHlgGamma - 1.0);
                for (double& channel : light)
                    channel *= gain;
            }
            Vector srgb = transformed(toSrgb, light);
            srgb =
                rolledOffHighlights(intoGamut(srgb, 0.2126 * srgb[0] + 0.7152 * srgb[1] + 0.0722 * srgb[2]));
            const auto level = [&encoded](double channel) {
                return static_cast<int>(std::lround(encoded(channel) * 255.0));
            };
            out[x] = qRgb(level(srgb[0]), level(srgb[1]), level(srgb[2]));
        }
    }
    return shown;
}

} // namespace tilmora
