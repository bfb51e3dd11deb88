#include "imaging/isource/pixels/Crop.h"

#include "imaging/isource/pixels/Bands.h"

#include <algorithm>
#include <cstring>

namespace isource {

bool ClampToPicture(PixelRect& rect, int32_t width, int32_t height) {
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, width);
    rect.bottom = std::min(rect.bottom, height);
    return rect.right > rect.left && rect.bottom > rect.top;
}

bool CropImage(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
               int32_t dstStride, PixelRect rect, int32_t bpp) {
    if (!ValidLayout(src, width, height, srcStride, bpp) || !ClampToPicture(rect, width, height))
        return false;
    const int32_t cropWidth = rect.right - rect.left;
    const int32_t cropHeight = rect.bottom - rect.top;
    if (!ValidLayout(dst, cropWidth, cropHeight, dstStride, bpp))
        return false;
    const size_t rowBytes = size_t(cropWidth) * size_t(bpp);
    ForEachBand(cropHeight, int64_t(rowBytes) * cropHeight, [&](int32_t begin, int32_t end) {
        for (int32_t y = begin; y < end; ++y)
            std::memcpy(dst + ptrdiff_t{y} * dstStride,
                        src + ptrdiff_t{rect.top + y} * srcStride + ptrdiff_t{rect.left} * bpp, rowBytes);
    });
    return true;
}

} // namespace isource
