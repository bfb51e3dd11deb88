// The pieces of the drop-shadow step: solid fill, blur and overlay.
#pragma once

#include "imaging/isource/pixels/PixelBuffer.h"

namespace isource {

// Fills `rect`, clamped to the buffer, with `colour` (0x00BBGGRR: red in the
// low byte; bytes go out in the order R, G, B, and a fourth byte is 0). A
// one-byte pixel takes the red byte. False for a bad buffer shape; an empty
// rectangle fills nothing and succeeds.
bool FillSolidRect(uint8_t* pixels, int32_t width, int32_t height, int32_t bpp, int32_t stride,
                   PixelRect rect, uint32_t colour);

// Blurs `src` into `dst` (same size) with an approximately Gaussian kernel
// reaching about `radius` pixels (three running box passes per axis, edges
// repeated), mixed with the original by `amount` percent (100 = fully
// blurred). False for a bad shape, overlapping buffers or a negative radius.
bool BlurImage(const uint8_t* src, int32_t width, int32_t height, int32_t bpp, int32_t srcStride,
               uint8_t* dst, int32_t dstStride, int32_t amount, int32_t radius);

// Lays `top` (topWidth x topHeight) over `base` with its top-left corner at
// (x, y), clipped to the base, mixing opacity * top + (1 - opacity) * base;
// opacity is clamped to [0, 1] and 1 copies exactly. False for a bad shape.
bool OverlayImage(uint8_t* base, int32_t width, int32_t height, int32_t bpp, int32_t stride,
                  const uint8_t* top, int32_t topWidth, int32_t topHeight, int32_t topStride, int32_t x,
                  int32_t y, double opacity);

} // namespace isource
