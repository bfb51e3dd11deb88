// The buffer conventions shared by all pixel work: packed pixels of 1 to 4
// bytes, rows `stride` bytes apart, rectangles as left, top, right, bottom
// with right and bottom exclusive.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

constexpr int32_t kMaxBytesPerPixel = 4;

// True when a buffer of this shape can be addressed without overflow in a
// 32-bit process: positive sides, a pixel size we handle, and rows that hold
// at least one row of pixels.
inline bool ValidLayout(const void* pixels, int32_t width, int32_t height, int32_t stride, int32_t bpp) {
    if (pixels == nullptr || width <= 0 || height <= 0 || bpp < 1 || bpp > kMaxBytesPerPixel)
        return false;
    const int64_t rowBytes = int64_t{width} * bpp;
    return rowBytes <= stride && int64_t{stride} * height <= int64_t{INT32_MAX};
}

} // namespace isource
