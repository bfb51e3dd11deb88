// Walks the RLE8 and RLE4 codes of a BMP file: runs, absolute runs, end of
// line, end of bitmap and deltas. Some encoders (ImageMagick's among them)
// code each row's padding to 32 bits as pixels too; those are dropped. Codes
// that would reach past the padded row or above the top row, an index
// outside the palette, or data that ends before the end of bitmap code make
// the whole picture corrupt.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <cstddef>
#include <cstdint>

namespace isource {

struct BmpRleShape {
    int32_t width = 0;
    int64_t paddedWidth = 0; // pixels in a row padded to 32 bits
    int32_t height = 0;
    bool rle4 = false;
    int paletteCount = 0;
};

// Calls plot(x, row, index) for every pixel the codes set, `row` counted in
// storage order (0 is the first row stored). Pixels no code sets are left to
// the caller. Returns Ok only when the end of bitmap code was reached.
template <class Plot>
DecodeStatus WalkBmpRle(const uint8_t* p, const uint8_t* end, const BmpRleShape& shape, Plot&& plot) {
    int64_t x = 0;
    int64_t row = 0;
    const int64_t width = shape.paddedWidth;
    const int64_t height = shape.height;
    auto put = [&](int64_t at, unsigned index) {
        if (index >= static_cast<unsigned>(shape.paletteCount)) {
            return false;
        }
        if (at < shape.width) {
            plot(static_cast<int32_t>(at), static_cast<int32_t>(row), static_cast<uint8_t>(index));
        }
        return true;
    };
    for (;;) {
        if (end - p < 2) {
            return DecodeStatus::Corrupt; // ran out before the end of bitmap
        }
        const unsigned count = p[0];
        const unsigned value = p[1];
        p += 2;
        if (count > 0) {
            // A run: RLE4 alternates the two nibbles of its value.
            if (row >= height || x + count > width) {
                return DecodeStatus::Corrupt;
            }
            for (unsigned i = 0; i < count; ++i) {
                const unsigned index = !shape.rle4 ? value : (i & 1u) ? (value & 0x0Fu) : (value >> 4);
                if (!put(x + i, index)) {
                    return DecodeStatus::Corrupt;
                }
            }
            x += count;
        } else if (value == 0) { // end of line
            if (row >= height) {
                return DecodeStatus::Corrupt;
            }
            x = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            return DecodeStatus::Ok;
        } else if (value == 2) { // delta: move right and on by the next two bytes
            if (end - p < 2) {
                return DecodeStatus::Corrupt;
            }
            x += p[0];
            row += p[1];
            p += 2;
            if (x > width || row > height) {
                return DecodeStatus::Corrupt;
            }
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = shape.rle4 ? (value + 1) / 2 : value;
            const size_t padded = (bytes + 1) & ~size_t(1);
            if (static_cast<size_t>(end - p) < padded || row >= height || x + value > width) {
                return DecodeStatus::Corrupt;
            }
            for (unsigned i = 0; i < value; ++i) {
                const unsigned index = !shape.rle4 ? p[i] : (i & 1u) ? (p[i / 2] & 0x0Fu) : (p[i / 2] >> 4);
                if (!put(x + i, index)) {
                    return DecodeStatus::Corrupt;
                }
            }
            p += padded;
            x += value;
        }
    }
}

} // namespace isource
