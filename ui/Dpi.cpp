#include "ui/Dpi.h"

#include <algorithm>

namespace ui {

int RescaleForDpi(int value, int fromDpi, int toDpi) {
    if (fromDpi <= 0)
        fromDpi = kDesignDpi;
    if (toDpi <= 0)
        toDpi = kDesignDpi;
    const int64_t product = int64_t(value) * toDpi;
    const int64_t half = fromDpi / 2;
    const int64_t q = product >= 0 ? (product + half) / fromDpi : -((-product + half) / fromDpi);
    return static_cast<int>(q);
}

int ScaleForDpi(int value, int dpi) {
    return RescaleForDpi(value, kDesignDpi, dpi);
}

TMargins ScaleForDpi(const TMargins& m, int dpi) {
    return TMargins{ScaleForDpi(m.Left, dpi), ScaleForDpi(m.Top, dpi), ScaleForDpi(m.Right, dpi),
                    ScaleForDpi(m.Bottom, dpi)};
}

TAlignSpec ScaleForDpi(const TAlignSpec& spec, int dpi) {
    TAlignSpec scaled = spec;
    scaled.Margins = ScaleForDpi(spec.Margins, dpi);
    scaled.Width = ScaleForDpi(spec.Width, dpi);
    scaled.Height = ScaleForDpi(spec.Height, dpi);
    return scaled;
}

std::vector<uint32_t> ScaleGlyphStrip(const std::vector<uint32_t>& pixels, int glyph, int count,
                                      int scaledGlyph, uint32_t mask) {
    if (glyph <= 0 || count <= 0 || scaledGlyph <= 0 || pixels.size() < size_t(glyph) * glyph * count)
        return {};
    const int srcWidth = glyph * count;
    const int dstWidth = scaledGlyph * count;
    std::vector<uint32_t> out(size_t(dstWidth) * scaledGlyph, mask & 0x00FFFFFF);
    // Coordinates in units of 1 / scaledGlyph source pixels, so every edge
    // is a whole number: destination pixel d covers [d * glyph, (d + 1) * glyph).
    const auto overlap = [&](int d, int s) {
        const int lo = std::max(d * glyph, s * scaledGlyph);
        const int hi = std::min((d + 1) * glyph, (s + 1) * scaledGlyph);
        return std::max(0, hi - lo);
    };
    const int64_t full = int64_t(glyph) * glyph; // the area of one destination pixel
    for (int g = 0; g < count; ++g)
        for (int dy = 0; dy < scaledGlyph; ++dy)
            for (int dx = 0; dx < scaledGlyph; ++dx) {
                int64_t covered = 0, r = 0, gr = 0, b = 0;
                const int sy0 = dy * glyph / scaledGlyph, sy1 = ((dy + 1) * glyph - 1) / scaledGlyph;
                const int sx0 = dx * glyph / scaledGlyph, sx1 = ((dx + 1) * glyph - 1) / scaledGlyph;
                for (int sy = sy0; sy <= sy1; ++sy)
                    for (int sx = sx0; sx <= sx1; ++sx) {
                        const uint32_t p = pixels[size_t(sy) * srcWidth + g * glyph + sx] & 0x00FFFFFF;
                        if (p == (mask & 0x00FFFFFF))
                            continue;
                        const int64_t w = int64_t(overlap(dy, sy)) * overlap(dx, sx);
                        covered += w;
                        r += w * (p >> 16 & 0xFF);
                        gr += w * (p >> 8 & 0xFF);
                        b += w * (p & 0xFF);
                    }
                if (covered * 2 < full)
                    continue;
                const auto avg = [&](int64_t sum) { return uint32_t((sum + covered / 2) / covered); };
                uint32_t colour = avg(r) << 16 | avg(gr) << 8 | avg(b);
                // An average that happens to hit the mask colour would vanish.
                if (colour == (mask & 0x00FFFFFF))
                    colour ^= 1;
                out[size_t(dy) * dstWidth + g * scaledGlyph + dx] = colour;
            }
    return out;
}

} // namespace ui
