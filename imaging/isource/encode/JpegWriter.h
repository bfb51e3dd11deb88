// JPEG encoding of packed pixels: baseline sequential (every viewer and photo
// frame shows it), optimised Huffman tables, a JFIF header, and no chroma
// subsampling at quality 90 and above.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace isource {

// Where encoded bytes go. Write returns false when the bytes could not be
// stored; the encoder then stops and reports failure.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

// Quality at and above which chroma is kept at full resolution (4:4:4);
// below it the usual 4:2:0 is used.
constexpr int32_t kFullChromaQuality = 90;

// Encodes width x height pixels of `bpp` bytes (3: R, G, B; 1: grey), rows
// `stride` bytes apart, at `quality` (clamped to 1..100), with `exif` (an
// APP1 payload, at most 65533 bytes) after the JFIF header when given.
// False when the picture cannot be encoded (bad shape, more than 65500
// pixels a side) or the sink refused bytes; the sink may then hold a
// partial file.
bool EncodeJpeg(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t bpp,
                int32_t quality, ByteSink& sink, const std::vector<uint8_t>* exif = nullptr);

} // namespace isource
