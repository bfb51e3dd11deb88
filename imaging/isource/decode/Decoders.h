// The decoders behind DecodeImage, one per format, each over its codec
// library. They share DecodeImage's contract.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/isource/decode/Decode.h"

namespace isource {

DecodeStatus DecodeJpeg(const uint8_t* data, size_t size, PixelSink& sink);
DecodeStatus DecodePng(const uint8_t* data, size_t size, PixelSink& sink);
DecodeStatus DecodeTiff(const uint8_t* data, size_t size, PixelSink& sink);

} // namespace isource
