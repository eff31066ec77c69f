#pragma once

// Photos coded for HDR screens, brought to the sRGB every other picture is shown in. Their pixels
// carry the PQ or HLG transfer of BT.2100, mostly with BT.2020's primaries, as a HEIF file's nclx
// values or a JPEG XL's colour encoding say; taken as sRGB they look dim and grey. Each decoder
// only says how its pixels are coded; the conversion is this one, for every format.
//
// The picture's reference white (203 nits, where BT.2408 puts it: PQ's signal at 203 nits, HLG's
// at 75 % on a 1,000-nit screen) becomes sRGB's white. Colours outside sRGB's gamut are brought
// in towards the grey of their own luminance rather than cut channel by channel, and highlights
// above reference white are rolled off towards white through their brightest channel, with every
// channel scaled alike, so a bright colour keeps its hue as it nears white.

#include <QImage>
#include <QPointF>

#include <array>
#include <cstdint>

namespace tilmora {

// How an HDR picture's pixels are coded: its transfer, and the chromaticities (x, y) of its red,
// green and blue primaries and its white.
struct HdrCoding {
    enum class Transfer : std::uint8_t { Pq, Hlg };
    Transfer transfer = Transfer::Pq;
    std::array<QPointF, 4> primaries{};
};

// BT.2020's primaries and D65 white, those of nearly every HDR picture.
inline constexpr std::array<QPointF, 4> kBt2020Primaries{QPointF(0.708, 0.292), QPointF(0.170, 0.797),
                                                         QPointF(0.131, 0.046), QPointF(0.3127, 0.3290)};

// The fitted picture, opaque, whose pixels are coded as `coding` says (at 16 bits a channel where
// it was decoded so), in sRGB at 32 bits a pixel.
[[nodiscard]] QImage hdrInSrgb(QImage picture, const HdrCoding& coding);

} // namespace tilmora
