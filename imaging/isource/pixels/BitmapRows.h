// Conversion of packed RGB rows to the rows of a 24-bit device-independent
// bitmap: bytes B, G, R and every row padded to a multiple of 4 bytes.
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

} // namespace isource
