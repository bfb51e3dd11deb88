// Small pictures for the pixel tests: deterministic noise in a buffer whose
// rows may carry padding, so strides other than width * bpp are exercised.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace pixeltest {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bpp = 3;
    int32_t stride = 0;
    std::vector<uint8_t> bytes;

    Picture() = default;
    Picture(int32_t w, int32_t h, int32_t b, int32_t padding = 0, uint8_t fill = 0)
        : width(w), height(h), bpp(b), stride(w * b + padding), bytes(size_t(stride) * size_t(h), fill) {}

    uint8_t* Row(int32_t y) { return bytes.data() + ptrdiff_t{y} * stride; }
    const uint8_t* Row(int32_t y) const { return bytes.data() + ptrdiff_t{y} * stride; }
    uint8_t* At(int32_t x, int32_t y) { return Row(y) + ptrdiff_t{x} * bpp; }
    const uint8_t* At(int32_t x, int32_t y) const { return Row(y) + ptrdiff_t{x} * bpp; }
};

inline Picture Noise(int32_t w, int32_t h, int32_t bpp, int32_t padding = 0, uint32_t seed = 1) {
    Picture p(w, h, bpp, padding, 0xEE);
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t i = 0; i < w * bpp; ++i)
            p.Row(y)[i] = uint8_t(rng());
    return p;
}

// Packed pixel bytes without row padding, for comparisons.
inline std::vector<uint8_t> Packed(const Picture& p) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < p.height; ++y)
        out.insert(out.end(), p.Row(y), p.Row(y) + p.width * p.bpp);
    return out;
}

} // namespace pixeltest
