#include "imaging/isource/pixels/BitmapRows.h"

#include "imaging/isource/pixels/Bands.h"

#include <cstddef>
#include <cstring>

namespace isource {

void RgbToBitmapRows(const uint8_t* src, int32_t width, int32_t rows, int32_t srcStride, uint8_t* dst,
                     int32_t dstStride) {
    const int32_t used = width * 3;
    ForEachBand(rows, int64_t{used} * rows, [&](int32_t begin, int32_t end) {
        for (int32_t y = begin; y < end; ++y) {
            const uint8_t* s = src + ptrdiff_t{y} * srcStride;
            uint8_t* d = dst + ptrdiff_t{y} * dstStride;
            for (int32_t i = 0; i < used; i += 3) {
                d[i] = s[i + 2];
                d[i + 1] = s[i + 1];
                d[i + 2] = s[i];
            }
            if (dstStride > used)
                std::memset(d + used, 0, size_t(dstStride - used));
        }
    });
}

void RgbToBgrxRows(const uint8_t* src, int32_t width, int32_t rows, int32_t srcStride, uint8_t* dst,
                   int32_t dstStride) {
    if (width <= 0)
        return;
    ForEachBand(rows, int64_t{width} * 4 * rows, [&](int32_t begin, int32_t end) {
        for (int32_t y = begin; y < end; ++y) {
            const uint8_t* s = src + ptrdiff_t{y} * srcStride;
            uint32_t* d = reinterpret_cast<uint32_t*>(dst + ptrdiff_t{y} * dstStride);
            // Four bytes at a time hold a pixel and the next one's red: red
            // and blue change places and the stray byte goes. The row's last
            // pixel is read bytewise, so nothing past the row is touched.
            for (int32_t x = 0; x + 1 < width; ++x) {
                uint32_t v;
                std::memcpy(&v, s + 3 * x, sizeof v);
                d[x] = (v & 0x00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
            }
            const uint8_t* last = s + 3 * (width - 1);
            d[width - 1] = uint32_t(last[2]) | uint32_t(last[1]) << 8 | uint32_t(last[0]) << 16;
        }
    });
}

} // namespace isource
