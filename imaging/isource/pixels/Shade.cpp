#include "imaging/isource/pixels/Shade.h"

#include "imaging/isource/pixels/Crop.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace isource {
namespace {

// One running-sum box pass over `n` samples `step` floats apart, edges
// repeated: out[i] = mean of in[i - r .. i + r].
void BoxPass(const float* in, float* out, int32_t n, ptrdiff_t step, int32_t r) {
    const float scale = 1.0f / float(2 * r + 1);
    auto at = [&](int32_t i) { return in[ptrdiff_t{std::clamp(i, 0, n - 1)} * step]; };
    float sum = 0.0f;
    for (int32_t i = -r; i <= r; ++i)
        sum += at(i);
    for (int32_t i = 0; i < n; ++i) {
        out[ptrdiff_t{i} * step] = sum * scale;
        sum += at(i + r + 1) - at(i - r);
    }
}

} // namespace

bool FillSolidRect(uint8_t* pixels, int32_t width, int32_t height, int32_t bpp, int32_t stride,
                   PixelRect rect, uint32_t colour) {
    if (!ValidLayout(pixels, width, height, stride, bpp))
        return false;
    if (!ClampToPicture(rect, width, height))
        return true;
    const uint8_t value[kMaxBytesPerPixel] = {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16),
                                              0};
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        uint8_t* d = pixels + ptrdiff_t{y} * stride + ptrdiff_t{rect.left} * bpp;
        for (int32_t x = rect.left; x < rect.right; ++x, d += bpp)
            std::memcpy(d, value, size_t(bpp));
    }
    return true;
}

bool BlurImage(const uint8_t* src, int32_t width, int32_t height, int32_t bpp, int32_t srcStride,
               uint8_t* dst, int32_t dstStride, int32_t amount, int32_t radius) {
    if (!ValidLayout(src, width, height, srcStride, bpp) ||
        !ValidLayout(dst, width, height, dstStride, bpp) || radius < 0)
        return false;
    const uint8_t* srcEnd = src + ptrdiff_t{height - 1} * srcStride + ptrdiff_t{width} * bpp;
    const uint8_t* dstEnd = dst + ptrdiff_t{height - 1} * dstStride + ptrdiff_t{width} * bpp;
    if (src < dstEnd && dst < srcEnd)
        return false;

    for (int32_t y = 0; y < height; ++y)
        std::memcpy(dst + ptrdiff_t{y} * dstStride, src + ptrdiff_t{y} * srcStride,
                    size_t(width) * size_t(bpp));
    // Three box passes of a third of the radius each approach a Gaussian.
    // Each line (a row, then a column, one channel at a time) is blurred in
    // two float line buffers and written back, so the working memory is a
    // line, not a float copy of the picture.
    const int32_t box = radius == 0 ? 0 : std::max(1, (radius + 2) / 3);
    if (box > 0) {
        std::vector<float> a(size_t(std::max(width, height))), b(a.size());
        auto blurLine = [&](uint8_t* line, int32_t n, ptrdiff_t step) {
            for (int32_t i = 0; i < n; ++i)
                a[size_t(i)] = line[i * step];
            for (int32_t pass = 0; pass < 3; ++pass) {
                BoxPass(a.data(), b.data(), n, 1, box);
                std::swap(a, b);
            }
            for (int32_t i = 0; i < n; ++i)
                line[i * step] = uint8_t(std::clamp(a[size_t(i)] + 0.5f, 0.0f, 255.0f));
        };
        for (int32_t y = 0; y < height; ++y)
            for (int32_t c = 0; c < bpp; ++c)
                blurLine(dst + ptrdiff_t{y} * dstStride + c, width, bpp);
        for (int32_t x = 0; x < width; ++x)
            for (int32_t c = 0; c < bpp; ++c)
                blurLine(dst + ptrdiff_t{x} * bpp + c, height, dstStride);
    }
    const int32_t mix = std::clamp(amount, 0, 100);
    if (mix < 100)
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* s = src + ptrdiff_t{y} * srcStride;
            uint8_t* d = dst + ptrdiff_t{y} * dstStride;
            for (int32_t i = 0; i < width * bpp; ++i)
                d[i] = uint8_t((s[i] * (100 - mix) + d[i] * mix + 50) / 100);
        }
    return true;
}

bool OverlayImage(uint8_t* base, int32_t width, int32_t height, int32_t bpp, int32_t stride,
                  const uint8_t* top, int32_t topWidth, int32_t topHeight, int32_t topStride, int32_t x,
                  int32_t y, double opacity) {
    if (!ValidLayout(base, width, height, stride, bpp) ||
        !ValidLayout(top, topWidth, topHeight, topStride, bpp))
        return false;
    PixelRect area{x, y, int32_t(std::min<int64_t>(int64_t{x} + topWidth, INT32_MAX)),
                   int32_t(std::min<int64_t>(int64_t{y} + topHeight, INT32_MAX))};
    if (!ClampToPicture(area, width, height))
        return true;
    const double alpha = std::isnan(opacity) ? 0.0 : std::clamp(opacity, 0.0, 1.0);
    const size_t rowBytes = size_t(area.right - area.left) * size_t(bpp);
    for (int32_t row = area.top; row < area.bottom; ++row) {
        uint8_t* d = base + ptrdiff_t{row} * stride + ptrdiff_t{area.left} * bpp;
        const uint8_t* s = top + ptrdiff_t{row - y} * topStride + ptrdiff_t{area.left - x} * bpp;
        if (alpha == 1.0) {
            std::memcpy(d, s, rowBytes);
            continue;
        }
        for (size_t i = 0; i < rowBytes; ++i)
            d[i] = uint8_t(std::lround(alpha * s[i] + (1.0 - alpha) * d[i]));
    }
    return true;
}

} // namespace isource
