// What a BMP file's headers say about its pixels, checked against the file's
// size: where the palette and the pixels sit and how each pixel is coded.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <cstddef>
#include <cstdint>

namespace isource {

enum class BmpCoding { Indexed, Rle8, Rle4, Bgr24, Masked };

// One colour component inside a 16/24/32-bit pixel: `bits` contiguous bits
// starting at `shift`. No bits means the component is absent.
struct BmpMask {
    int shift = 0;
    int bits = 0;
};

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0; // rows, always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    BmpCoding coding = BmpCoding::Indexed;
    BmpMask red, green, blue, alpha; // Masked only; alpha only where the header gives one
    size_t paletteOffset = 0;
    size_t paletteEntrySize = 4; // 3 in OS/2 1.x files
    int paletteCount = 0;        // entries present in the file, at most 1 << bitsPerPixel
    size_t pixelOffset = 0;      // start of the pixel data, within the file
};

// Reads and checks the headers. Ok means every field is usable: the size is
// acceptable, the palette lies inside the file and, for uncompressed files,
// so does every row of pixels.
DecodeStatus ReadBmpLayout(const uint8_t* data, size_t size, BmpLayout& layout);

} // namespace isource
