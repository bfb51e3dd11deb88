// What a Photoshop file's sections say about its merged composite image,
// checked against the file's size.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <cstddef>
#include <cstdint>

namespace isource {

enum class PsdMode { Bitmap = 0, Greyscale = 1, Indexed = 2, Rgb = 3, Cmyk = 4, Duotone = 8 };

// Channels of the composite that make the picture: the colour channels and,
// when the document has transparency, the alpha channel after them.
constexpr int kPsdMaxUsedChannels = 5;

struct PsdLayout {
    int32_t width = 0;
    int32_t height = 0;
    int depth = 0; // bits per sample: 1, 8 or 16
    PsdMode mode = PsdMode::Rgb;
    int channels = 0;                     // channels stored in the composite
    int colourChannels = 0;               // 1 (bitmap, grey, duotone, indexed), 3 (RGB) or 4 (CMYK)
    bool hasAlpha = false;                // channel `colourChannels` is the composite's transparency
    const uint8_t* colourTable = nullptr; // indexed: 256 reds, 256 greens, 256 blues
    int transparentIndex = -1;            // indexed: the colour that stands for transparency
    const uint8_t* icc = nullptr;         // the embedded ICC profile (resource 1039), when there is one
    size_t iccSize = 0;
    size_t rowBytes = 0;
    bool rle = false;
    // Raw: the first byte of each used channel. RLE: the first compressed
    // byte of each used channel, with the per-row byte counts at `rowCounts`.
    uint64_t channelStart[kPsdMaxUsedChannels] = {};
    const uint8_t* rowCounts = nullptr;
    int rowCountSize = 2; // 4 in large documents

    int UsedChannels() const { return colourChannels + (hasAlpha ? 1 : 0); }
};

// Reads and checks the header and sections. Ok means the size is acceptable
// and every byte of the composite image data lies inside the file.
DecodeStatus ReadPsdLayout(const uint8_t* data, size_t size, PsdLayout& layout);

} // namespace isource
