// The imaging library's own BMP reader: Windows and OS/2 bitmaps of 1 to 32
// bits, uncompressed, RLE4, RLE8 or bit fields, stored bottom-up or top-down.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <cstddef>
#include <cstdint>

namespace isource {

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, PixelSink& sink);

} // namespace isource
