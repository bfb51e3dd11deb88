// Conversion of packed RGB rows to the rows of device-independent bitmaps:
// 24-bit (bytes B, G, R, every row padded to a multiple of 4 bytes) and
// 32-bit (bytes B, G, R, 0), the layout of a true-colour screen.
#pragma once

#include <cstdint>

namespace isource {

// Bytes per row of a 24-bit bitmap `width` pixels wide.
constexpr int32_t BitmapRowBytes(int32_t width) {
    return (width * 3 + 3) & ~3;
}

// Converts `rows` rows of `width` RGB pixels (packed, `srcStride` apart) to
// bitmap rows `dstStride` apart, zeroing the padding.
void RgbToBitmapRows(const uint8_t* src, int32_t width, int32_t rows, int32_t srcStride, uint8_t* dst,
                     int32_t dstStride);

// Converts `rows` rows of `width` RGB pixels to 32-bit bitmap rows
// `dstStride` apart (negative for a bottom-up bitmap, `dst` then the row of
// the picture's top),
// on the processors.
void RgbToBgrxRows(const uint8_t* src, int32_t width, int32_t rows, int32_t srcStride, uint8_t* dst,
                   int32_t dstStride);

} // namespace isource
