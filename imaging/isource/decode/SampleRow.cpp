#include "imaging/isource/decode/SampleRow.h"

#include <algorithm>
#include <cstring>

#include "imaging/isource/decode/Colour.h"

namespace isource {
namespace {

// Sample `index` of a row of `bits`-bit samples packed from the most
// significant bit of each byte, as TIFF and PNG store them.
inline uint32_t Fetch(const uint8_t* row, size_t index, int bits) {
    if (bits == 8)
        return row[index];
    if (bits == 16) {
        uint16_t v;
        std::memcpy(&v, row + index * 2, 2);
        return v;
    }
    const size_t bit = index * static_cast<size_t>(bits);
    const uint8_t* p = row + bit / 8;
    const int lead = static_cast<int>(bit % 8);
    const int span = lead + bits; // at most 7 + 15 bits, so three bytes
    uint32_t window = p[0];
    if (span > 8)
        window = window << 8 | p[1];
    if (span > 16)
        window = window << 8 | p[2];
    const int bytes = span > 16 ? 3 : span > 8 ? 2 : 1;
    return (window >> (bytes * 8 - span)) & ((1u << bits) - 1);
}

// v in [0, max] to [0, 255], to the nearest; max is odd, so no halves.
inline uint8_t To8(uint32_t v, uint32_t max) {
    return static_cast<uint8_t>((static_cast<uint64_t>(v) * 255 + max / 2) / max);
}

// out = c * a + white * (1 - a), with c in [0, cmax] and a in [0, amax].
// Composites are truncated, not rounded: that is what the reference decodes
// of the test corpus do, and the two never differ by more than a level.
inline uint8_t OverWhite(uint32_t c, uint32_t cmax, uint32_t a, uint32_t amax) {
    const uint64_t whole = static_cast<uint64_t>(cmax) * amax;
    const uint64_t num = static_cast<uint64_t>(c) * a + static_cast<uint64_t>(cmax) * (amax - a);
    return static_cast<uint8_t>(num * 255 / whole);
}

// out = c + white * (1 - a) for a colour already multiplied by its alpha.
inline uint8_t PremultipliedOverWhite(uint32_t c, uint32_t cmax, uint32_t a, uint32_t amax) {
    const uint64_t whole = static_cast<uint64_t>(cmax) * amax;
    uint64_t num = static_cast<uint64_t>(c) * amax + static_cast<uint64_t>(cmax) * (amax - a);
    if (num > whole)
        num = whole;
    return static_cast<uint8_t>(num * 255 / whole);
}

// One ink against its black: (max - ink)(max - black) / max, to the nearest.
inline uint32_t InkToLight(uint32_t ink, uint32_t black, uint32_t max) {
    return static_cast<uint32_t>((static_cast<uint64_t>(max - ink) * (max - black) + max / 2) / max);
}

void ConvertGeneric(const SampleLayout& l, const uint8_t* const* planes, size_t count, uint8_t* out,
                    size_t outStep) {
    const int bits = l.bitsPerSample;
    const uint32_t max = (1u << bits) - 1;
    const size_t spp = static_cast<size_t>(l.samplesPerPixel);
    auto sample = [&](size_t pixel, int s) -> uint32_t {
        return l.planar ? Fetch(planes[s], pixel, bits) : Fetch(planes[0], pixel * spp + s, bits);
    };

    for (size_t i = 0; i < count; ++i, out += outStep) {
        uint32_t rgb[3] = {0, 0, 0};
        uint32_t cmax = max;
        switch (l.model) {
        case ColourModel::Grey:
            rgb[0] = rgb[1] = rgb[2] = sample(i, 0);
            break;
        case ColourModel::GreyMinIsWhite:
            rgb[0] = rgb[1] = rgb[2] = max - sample(i, 0);
            break;
        case ColourModel::Rgb:
            rgb[0] = sample(i, 0), rgb[1] = sample(i, 1), rgb[2] = sample(i, 2);
            break;
        case ColourModel::Palette: {
            const size_t index = sample(i, 0);
            cmax = l.paletteMax;
            if (index < l.paletteEntries) {
                const uint16_t* entry = l.palette + index * 3;
                rgb[0] = entry[0], rgb[1] = entry[1], rgb[2] = entry[2];
            } else {
                rgb[0] = rgb[1] = rgb[2] = 0;
            }
            break;
        }
        case ColourModel::Cmyk:
        case ColourModel::CmykInverted: {
            uint32_t ink[4] = {sample(i, 0), sample(i, 1), sample(i, 2), sample(i, 3)};
            if (l.model == ColourModel::CmykInverted)
                for (uint32_t& v : ink)
                    v = max - v;
            for (int c = 0; c < 3; ++c)
                rgb[c] = InkToLight(ink[c], ink[3], max);
            break;
        }
        }
        if (l.alpha == AlphaKind::None) {
            for (int c = 0; c < 3; ++c)
                out[c] = To8(rgb[c], cmax);
        } else {
            const uint32_t a = sample(i, l.alphaSample);
            for (int c = 0; c < 3; ++c)
                out[c] = l.alpha == AlphaKind::Straight ? OverWhite(rgb[c], cmax, a, max)
                                                        : PremultipliedOverWhite(rgb[c], cmax, a, max);
        }
    }
}

// CMYK through a colour conversion: the inks of a stretch of pixels at 8
// bits (0 = no ink), converted together, then alpha composited on white.
void ConvertManagedCmyk(const SampleLayout& l, const uint8_t* const* planes, size_t count, uint8_t* out,
                        size_t outStep) {
    const int bits = l.bitsPerSample;
    const uint32_t max = (1u << bits) - 1;
    const size_t spp = static_cast<size_t>(l.samplesPerPixel);
    auto sample = [&](size_t pixel, int s) -> uint32_t {
        return l.planar ? Fetch(planes[s], pixel, bits) : Fetch(planes[0], pixel * spp + s, bits);
    };
    constexpr size_t kStretch = 256;
    uint8_t inks[kStretch * 4];
    uint8_t rgb[kStretch * 3];
    for (size_t first = 0; first < count; first += kStretch) {
        const size_t n = std::min(kStretch, count - first);
        if (bits == 8 && !l.planar && l.model == ColourModel::Cmyk && spp == 4) {
            std::memcpy(inks, planes[0] + first * 4, n * 4);
        } else {
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < 4; ++c) {
                    const uint32_t v = sample(first + i, c);
                    inks[i * 4 + c] = To8(l.model == ColourModel::CmykInverted ? max - v : v, max);
                }
        }
        l.cmyk->ConvertCmyk(inks, n, rgb);
        uint8_t* to = out + first * outStep;
        for (size_t i = 0; i < n; ++i, to += outStep) {
            if (l.alpha == AlphaKind::None) {
                to[0] = rgb[i * 3], to[1] = rgb[i * 3 + 1], to[2] = rgb[i * 3 + 2];
                continue;
            }
            const uint32_t a = sample(first + i, l.alphaSample);
            for (int c = 0; c < 3; ++c)
                to[c] = l.alpha == AlphaKind::Straight ? OverWhite(rgb[i * 3 + c], 255, a, max)
                                                       : PremultipliedOverWhite(rgb[i * 3 + c], 255, a, max);
        }
    }
}

} // namespace

int ColourSamples(ColourModel model) {
    switch (model) {
    case ColourModel::Rgb:
        return 3;
    case ColourModel::Cmyk:
    case ColourModel::CmykInverted:
        return 4;
    default:
        return 1;
    }
}

void ConvertSamples(const SampleLayout& l, const uint8_t* const* planes, size_t count, uint8_t* out,
                    size_t outStep) {
    if (l.cmyk != nullptr && (l.model == ColourModel::Cmyk || l.model == ColourModel::CmykInverted)) {
        ConvertManagedCmyk(l, planes, count, out, outStep);
        return;
    }
    // The common photographic layouts get loops of their own.
    if (!l.planar && l.bitsPerSample == 8 && l.model == ColourModel::Rgb) {
        const uint8_t* in = planes[0];
        const size_t spp = static_cast<size_t>(l.samplesPerPixel);
        if (l.alpha == AlphaKind::None) {
            if (spp == 3 && outStep == 3) {
                std::memcpy(out, in, count * 3);
                return;
            }
            for (size_t i = 0; i < count; ++i, in += spp, out += outStep)
                out[0] = in[0], out[1] = in[1], out[2] = in[2];
            return;
        }
        if (l.alpha == AlphaKind::Straight) {
            const size_t at = static_cast<size_t>(l.alphaSample);
            for (size_t i = 0; i < count; ++i, in += spp, out += outStep) {
                const uint32_t a = in[at], white = 255 * (255 - a);
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<uint8_t>((in[c] * a + white) / 255);
            }
            return;
        }
    }
    if (!l.planar && l.bitsPerSample == 8 && l.model == ColourModel::Grey && l.alpha == AlphaKind::None) {
        const uint8_t* in = planes[0];
        const size_t spp = static_cast<size_t>(l.samplesPerPixel);
        for (size_t i = 0; i < count; ++i, in += spp, out += outStep)
            out[0] = out[1] = out[2] = in[0];
        return;
    }
    ConvertGeneric(l, planes, count, out, outStep);
}

} // namespace isource
