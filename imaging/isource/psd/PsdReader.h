// The imaging library's own PSD reader: the merged composite image of a
// Photoshop document (PSD or PSB), 1, 8 or 16 bits, bitmap, greyscale,
// duotone, indexed, RGB or CMYK, raw or PackBits.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <cstddef>
#include <cstdint>

namespace isource {

DecodeStatus DecodePsd(const uint8_t* data, size_t size, PixelSink& sink);

} // namespace isource
