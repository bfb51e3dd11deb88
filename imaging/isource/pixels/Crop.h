// Cutting a rectangle out of a picture.
#pragma once

#include "imaging/isource/pixels/PixelBuffer.h"

namespace isource {

// Clamps `rect` to a width x height picture: a negative left or top becomes
// 0, a right or bottom beyond the picture becomes its edge. Returns false
// when nothing is left (right not beyond left, or bottom not below top).
bool ClampToPicture(PixelRect& rect, int32_t width, int32_t height);

// Copies the clamped rectangle of `src` to `dst`, whose rows are `dstStride`
// bytes apart (at least the clamped width's worth). False when the clamped
// rectangle is empty or a buffer shape does not fit.
bool CropImage(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
               int32_t dstStride, PixelRect rect, int32_t bpp);

} // namespace isource
