// The decoders behind DecodeImage, one per format, each over its codec
// library. They share DecodeImage's contract.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/isource/decode/Decode.h"

namespace isource {

DecodeStatus DecodeJpeg(const uint8_t* data, size_t size, PixelSink& sink);
// DecodeJpeg on two threads whatever the picture's size, the second one
// starting at `startRow` (or below what the first decoded by then), for
// files that allow it; other files as DecodeJpeg. For tests.
DecodeStatus DecodeJpegSplitAt(const uint8_t* data, size_t size, PixelSink& sink, int32_t startRow);
DecodeStatus DecodePng(const uint8_t* data, size_t size, PixelSink& sink);
DecodeStatus DecodeTiff(const uint8_t* data, size_t size, PixelSink& sink);

} // namespace isource
