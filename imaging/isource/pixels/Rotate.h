// Quarter turns of a picture into a second buffer.
#pragma once

#include <cstdint>

namespace isource {

// Turn codes as the program passes them.
enum TurnCode : int32_t { kTurnRight = 0, kTurnHalf = 1, kTurnLeft = 2 };

// Rotates `src` (width x height) into `dst`. For a quarter turn the result is
// height x width, so `dstStride` must hold `height` pixels; for a half turn it
// must hold `width`. The buffers must not overlap. False for an unknown code
// or a buffer shape that does not fit.
bool RotateImage(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
                 int32_t dstStride, int32_t code, int32_t bpp);

} // namespace isource
