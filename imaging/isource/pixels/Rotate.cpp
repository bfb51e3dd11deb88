// Quarter turns work on square tiles: a naive transpose reads one byte
// triple per cache line and thrashes the cache on large pictures, while a
// tile of source rows stays resident while its column is written out.
#include "imaging/isource/pixels/Rotate.h"

#include "imaging/isource/pixels/Bands.h"
#include "imaging/isource/pixels/PixelBuffer.h"

#include <algorithm>
#include <cstring>

namespace isource {
namespace {

// 48 rows of a 3-byte tile plus 48 written rows stay well inside L1.
constexpr int32_t kTile = 48;

template <int32_t Bpp> inline void CopyPixel(uint8_t* d, const uint8_t* s) {
    std::memcpy(d, s, Bpp);
}

// A 3-byte pixel moved as one 4-byte word: one load and one store instead of
// two of each. The extra byte read belongs to the buffer unless the pixel is
// the picture's very last; the extra byte written is the first of the next
// pixel in the row, which is written after it.
inline void CopyPixelWide(uint8_t* d, const uint8_t* s) {
    uint32_t word;
    std::memcpy(&word, s, 4);
    std::memcpy(d, &word, 4);
}

// Destination pixels x0 .. x1 - 1 of one row from source pixels `s` onward,
// `step` bytes apart.
template <int32_t Bpp>
inline void CopyRun(uint8_t* d, const uint8_t* s, ptrdiff_t step, int32_t x0, int32_t x1, bool wide) {
    int32_t x = x0;
    if constexpr (Bpp == 3) {
        if (wide)
            for (; x < x1; ++x, d += Bpp, s += step)
                CopyPixelWide(d, s);
    }
    for (; x < x1; ++x, d += Bpp, s += step)
        CopyPixel<Bpp>(d, s);
}

// dst(x, y) = src(sx, sy) for a quarter turn, with sx and sy linear in x and
// y: turning right, sx = y and sy = height - 1 - x; turning left,
// sx = width - 1 - y and sy = x.
// Destination rows rowBegin .. rowEnd - 1 only.
template <int32_t Bpp>
void QuarterTurn(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
                 int32_t dstStride, bool right, int32_t rowBegin, int32_t rowEnd) {
    const int32_t dstWidth = height;
    const int32_t dstHeight = width;
    for (int32_t y0 = rowBegin; y0 < rowEnd; y0 += kTile) {
        const int32_t y1 = std::min(y0 + kTile, rowEnd);
        for (int32_t x0 = 0; x0 < dstWidth; x0 += kTile) {
            const int32_t x1 = std::min(x0 + kTile, dstWidth);
            // The last pixel of a row has no next pixel to take the extra
            // byte; the first and last rows hold the source's last pixel.
            const int32_t wideEnd = std::min(x1, dstWidth - 1);
            for (int32_t y = y0; y < y1; ++y) {
                const bool wide = y > 0 && y < dstHeight - 1;
                uint8_t* d = dst + ptrdiff_t{y} * dstStride + ptrdiff_t{x0} * Bpp;
                // Walking x upwards walks source column y from the bottom
                // (turning right) or source row x from the right (left).
                const uint8_t* s = right ? src + ptrdiff_t{height - 1 - x0} * srcStride + ptrdiff_t{y} * Bpp
                                         : src + ptrdiff_t{x0} * srcStride + ptrdiff_t{width - 1 - y} * Bpp;
                const ptrdiff_t step = right ? -ptrdiff_t{srcStride} : ptrdiff_t{srcStride};
                CopyRun<Bpp>(d, s, step, x0, wideEnd, wide);
                if (wideEnd < x1)
                    CopyPixel<Bpp>(d + ptrdiff_t{wideEnd - x0} * Bpp, s + (wideEnd - x0) * step);
            }
        }
    }
}

template <int32_t Bpp>
void HalfTurn(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
              int32_t dstStride, int32_t rowBegin, int32_t rowEnd) {
    for (int32_t y = rowBegin; y < rowEnd; ++y) {
        const uint8_t* s = src + ptrdiff_t{height - 1 - y} * srcStride + ptrdiff_t{width - 1} * Bpp;
        uint8_t* d = dst + ptrdiff_t{y} * dstStride;
        for (int32_t x = 0; x < width; ++x, d += Bpp, s -= Bpp)
            CopyPixel<Bpp>(d, s);
    }
}

// Bands of destination rows on the processors at once; a row is always
// written by one band, so the wide pixel moves never cross bands.
template <int32_t Bpp>
void Turn(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
          int32_t dstStride, int32_t code) {
    const int32_t dstHeight = code == kTurnHalf ? height : width;
    ForEachBand(dstHeight, int64_t{width} * height * Bpp, [&](int32_t begin, int32_t end) {
        if (code == kTurnHalf)
            HalfTurn<Bpp>(src, width, height, srcStride, dst, dstStride, begin, end);
        else
            QuarterTurn<Bpp>(src, width, height, srcStride, dst, dstStride, code == kTurnRight, begin, end);
    });
}

} // namespace

bool RotateImage(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
                 int32_t dstStride, int32_t code, int32_t bpp) {
    if (code != kTurnRight && code != kTurnHalf && code != kTurnLeft)
        return false;
    if (!ValidLayout(src, width, height, srcStride, bpp))
        return false;
    const bool quarter = code != kTurnHalf;
    if (!ValidLayout(dst, quarter ? height : width, quarter ? width : height, dstStride, bpp))
        return false;
    switch (bpp) {
    case 1:
        Turn<1>(src, width, height, srcStride, dst, dstStride, code);
        break;
    case 2:
        Turn<2>(src, width, height, srcStride, dst, dstStride, code);
        break;
    case 3:
        Turn<3>(src, width, height, srcStride, dst, dstStride, code);
        break;
    default:
        Turn<4>(src, width, height, srcStride, dst, dstStride, code);
        break;
    }
    return true;
}

} // namespace isource
