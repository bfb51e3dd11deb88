// The Huffman symbols of a picture's baseline scan, counted without encoding
// it. The picture is taken the way libjpeg takes it (its fixed-point
// RGB -> YCbCr conversion, edge blocks filled by repeating the last column
// and row, the integer forward DCT and its quantiser rounding), so the
// counts are those of libjpeg's own optimisation pass and tables made from
// them code the scan libjpeg then writes. The work runs in bands of block
// rows on the processors.
#pragma once

#include <cstdint>

#include "imaging/isource/encode/HuffmanTable.h"

namespace isource {

// Counts per Huffman table: [0] luminance (or grey), [1] both chroma
// components, which share their tables. Grey pictures leave [1] at zero.
struct ScanStatistics {
    SymbolCounts dc[2];
    SymbolCounts ac[2];
};

// Quantisation steps (1..255, row-major coefficient order) for luminance
// and chroma, as the encoder will use them.
struct QuantSteps {
    uint16_t luma[64];
    uint16_t chroma[64];
};

// Counts the symbols of the full-resolution (one block per component per
// MCU) scan of width x height pixels of `bpp` bytes (3: R, G, B; 1: grey),
// rows `stride` bytes apart. False, with `out` undefined, when the counts
// cannot be had: no memory, steps outside 1..255, or coefficients beyond
// what a baseline scan can code.
bool CountScanSymbols(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t bpp,
                      const QuantSteps& steps, ScanStatistics& out) noexcept;

} // namespace isource
