// The resampler filters each source row horizontally once, into a small ring
// of float rows, and combines ring rows vertically for each output row: the
// working memory is a few rows, never a second picture.
#include "imaging/isource/pixels/Resample.h"

#include "imaging/isource/pixels/PixelBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace isource {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLobes = 3.0;

inline uint8_t ToByte(float v) {
    // +0.5 then truncation rounds to nearest for the clamped, non-negative range.
    if (v <= 0.0f)
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<uint8_t>(v + 0.5f);
}

// One source row, filtered along x into `out` (newWidth * Bpp floats).
template <int32_t Bpp>
void FilterRow(const AxisFilter& fx, int32_t newWidth, const float* rowAsFloat, float* out) {
    for (int32_t x = 0; x < newWidth; ++x) {
        const float* w = fx.WeightsOf(x);
        const float* s = rowAsFloat + ptrdiff_t{fx.first[x]} * Bpp;
        float acc[Bpp] = {};
        for (int32_t t = 0, n = fx.count[x]; t < n; ++t, s += Bpp)
            for (int32_t c = 0; c < Bpp; ++c)
                acc[c] += w[t] * s[c];
        for (int32_t c = 0; c < Bpp; ++c)
            out[ptrdiff_t{x} * Bpp + c] = acc[c];
    }
}

template <int32_t Bpp>
void Resize(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
            int32_t newWidth, int32_t newHeight, int32_t dstStride) {
    const AxisFilter fx = MakeAxisFilter(width, newWidth);
    const AxisFilter fy = MakeAxisFilter(height, newHeight);
    const size_t outSamples = size_t(newWidth) * Bpp;

    std::vector<float> rowAsFloat(size_t(width) * Bpp);
    // Rows in use for one output row are consecutive, and the first of them
    // never moves backwards, so a ring of maxTaps rows holds all of them.
    const int32_t ringRows = fy.maxTaps;
    std::vector<float> ring(size_t(ringRows) * outSamples);
    std::vector<float> acc(outSamples);
    int32_t nextSourceRow = 0;

    for (int32_t y = 0; y < newHeight; ++y) {
        const int32_t first = fy.first[y];
        const int32_t last = first + fy.count[y]; // exclusive
        for (; nextSourceRow < last; ++nextSourceRow) {
            const uint8_t* s = src + ptrdiff_t{nextSourceRow} * srcStride;
            for (size_t i = 0; i < rowAsFloat.size(); ++i)
                rowAsFloat[i] = s[i];
            float* slot = ring.data() + size_t(nextSourceRow % ringRows) * outSamples;
            if (newWidth == width)
                std::copy(rowAsFloat.begin(), rowAsFloat.end(), slot);
            else
                FilterRow<Bpp>(fx, newWidth, rowAsFloat.data(), slot);
        }
        const float* w = fy.WeightsOf(y);
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (int32_t t = 0; t < fy.count[y]; ++t) {
            const float* r = ring.data() + size_t((first + t) % ringRows) * outSamples;
            const float wt = w[t];
            for (size_t i = 0; i < outSamples; ++i)
                acc[i] += wt * r[i];
        }
        uint8_t* d = dst + ptrdiff_t{y} * dstStride;
        for (size_t i = 0; i < outSamples; ++i)
            d[i] = ToByte(acc[i]);
    }
}

} // namespace

double Lanczos3(double x) {
    x = std::fabs(x);
    if (x < 1e-9)
        return 1.0;
    if (x >= kLobes)
        return 0.0;
    const double px = kPi * x;
    return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

AxisFilter MakeAxisFilter(int32_t inSize, int32_t outSize) {
    AxisFilter f;
    f.first.resize(size_t(outSize));
    f.count.resize(size_t(outSize));
    if (inSize == outSize) {
        f.maxTaps = 1;
        f.weights.assign(size_t(outSize), 1.0f);
        for (int32_t i = 0; i < outSize; ++i) {
            f.first[i] = i;
            f.count[i] = 1;
        }
        return f;
    }
    const double scale = double(inSize) / double(outSize);
    const double stretch = std::max(scale, 1.0);
    const double support = kLobes * stretch;
    f.maxTaps = std::min(int32_t(std::ceil(2.0 * support)) + 2, inSize);
    f.weights.assign(size_t(outSize) * size_t(f.maxTaps), 0.0f);

    std::vector<double> w(size_t(f.maxTaps));
    for (int32_t i = 0; i < outSize; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int32_t lo = int32_t(std::ceil(centre - support));
        const int32_t hi = int32_t(std::floor(centre + support));
        // Taps beyond an edge fold onto the edge sample.
        const int32_t first = std::clamp(lo, 0, inSize - 1);
        const int32_t last = std::clamp(hi, 0, inSize - 1);
        const int32_t n = last - first + 1;
        std::fill(w.begin(), w.begin() + n, 0.0);
        double sum = 0.0;
        for (int32_t j = lo; j <= hi; ++j) {
            const double k = Lanczos3((j - centre) / stretch);
            w[size_t(std::clamp(j, 0, inSize - 1) - first)] += k;
            sum += k;
        }
        f.first[i] = first;
        f.count[i] = n;
        float* out = f.weights.data() + size_t(i) * size_t(f.maxTaps);
        for (int32_t t = 0; t < n; ++t)
            out[t] = float(w[size_t(t)] / sum);
    }
    return f;
}

bool ResizeImage(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
                 int32_t newWidth, int32_t newHeight, int32_t dstStride, int32_t bpp) {
    if (!ValidLayout(src, width, height, srcStride, bpp) ||
        !ValidLayout(dst, newWidth, newHeight, dstStride, bpp))
        return false;
    if (newWidth == width && newHeight == height) {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(dst + ptrdiff_t{y} * dstStride, src + ptrdiff_t{y} * srcStride,
                        size_t(width) * size_t(bpp));
        return true;
    }
    switch (bpp) {
    case 1:
        Resize<1>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride);
        break;
    case 2:
        Resize<2>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride);
        break;
    case 3:
        Resize<3>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride);
        break;
    default:
        Resize<4>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride);
        break;
    }
    return true;
}

} // namespace isource
