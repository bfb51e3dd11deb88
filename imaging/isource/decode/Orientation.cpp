// Orientation transforms on packed 3-byte pixels. The turning ones work in
// bands of a few stored columns by many stored rows: each band writes a few
// upright rows long and in order, whole cache lines at a time, and the next
// band finds the stored rows it reads still in the cache. (Square blocks or a
// plain per-pixel walk leave every upright cache line half written and read
// back later, at about twice the time for a camera picture.)
#include "imaging/isource/decode/Orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace isource {
namespace {

constexpr ptrdiff_t kBandRows = 512;
constexpr ptrdiff_t kBandColumns = 8;

inline void CopyPixel(uint8_t* to, const uint8_t* from) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

inline void SwapPixels(uint8_t* a, uint8_t* b) {
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
    std::swap(a[2], b[2]);
}

void ReversePixels(uint8_t* first, size_t count) {
    uint8_t* last = first + (count - 1) * 3;
    while (first < last) {
        SwapPixels(first, last);
        first += 3;
        last -= 3;
    }
}

} // namespace

void OrientInPlace(uint8_t* pixels, int32_t width, int32_t height, int orientation) {
    const size_t stride = static_cast<size_t>(width) * 3;
    switch (orientation) {
    case 2:
        for (int32_t y = 0; y < height; ++y)
            ReversePixels(pixels + y * stride, static_cast<size_t>(width));
        break;
    case 3:
        ReversePixels(pixels, static_cast<size_t>(width) * static_cast<size_t>(height));
        break;
    case 4:
        for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels + top * stride, pixels + (top + 1) * stride, pixels + bottom * stride);
        break;
    default:
        break;
    }
}

void OrientInto(const uint8_t* stored, int32_t width, int32_t height, int orientation, uint8_t* upright) {
    // The upright picture is `height` pixels wide. Stored pixel (x, y) goes to
    // upright pixel origin + x * stepX + y * stepY.
    const ptrdiff_t w = width, h = height;
    ptrdiff_t origin = 0, stepX = h, stepY = 1;
    switch (orientation) {
    case 5:
        origin = 0, stepX = h, stepY = 1;
        break;
    case 6:
        origin = h - 1, stepX = h, stepY = -1;
        break;
    case 7:
        origin = (w - 1) * h + h - 1, stepX = -h, stepY = -1;
        break;
    case 8:
        origin = (w - 1) * h, stepX = -h, stepY = 1;
        break;
    default:
        return;
    }
    for (ptrdiff_t y0 = 0; y0 < h; y0 += kBandRows) {
        const ptrdiff_t y1 = std::min(y0 + kBandRows, h);
        for (ptrdiff_t x0 = 0; x0 < w; x0 += kBandColumns) {
            const ptrdiff_t x1 = std::min(x0 + kBandColumns, w);
            for (ptrdiff_t y = y0; y < y1; ++y) {
                const uint8_t* from = stored + (y * w + x0) * 3;
                uint8_t* to = upright + (origin + x0 * stepX + y * stepY) * 3;
                for (ptrdiff_t x = x0; x < x1; ++x, from += 3, to += stepX * 3)
                    CopyPixel(to, from);
            }
        }
    }
}

} // namespace isource
