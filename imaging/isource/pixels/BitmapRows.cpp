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

} // namespace isource
