// The resampler works in one of two orders, whichever costs less for the
// sizes at hand; either way the working memory is a few rows, never a
// second picture.
// - Columns first: each output row is a weighted sum of whole source rows
//   (a contiguous loop the compiler vectorises), then filtered along x.
//   Cheapest when the picture shrinks in height.
// - Rows first: each source row is filtered along x once, into a small ring
//   of float rows, and ring rows are summed for each output row. Cheapest
//   when the picture grows in height.
#include "imaging/isource/pixels/Resample.h"

#include "imaging/isource/pixels/Bands.h"
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

// One row of width samples, filtered along x into newWidth samples.
template <int32_t Bpp, typename Out, typename Store>
void FilterRow(const AxisFilter& fx, int32_t newWidth, const float* row, Out* out, Store store) {
    for (int32_t x = 0; x < newWidth; ++x) {
        const float* w = fx.WeightsOf(x);
        const float* s = row + ptrdiff_t{fx.first[x]} * Bpp;
        float acc[Bpp] = {};
        for (int32_t t = 0, n = fx.count[x]; t < n; ++t, s += Bpp)
            for (int32_t c = 0; c < Bpp; ++c)
                acc[c] += w[t] * s[c];
        for (int32_t c = 0; c < Bpp; ++c)
            out[ptrdiff_t{x} * Bpp + c] = store(acc[c]);
    }
}

inline float AsFloat(float v) {
    return v;
}

// acc = sum of weights[t] * rows[t], over n rows of `samples` bytes.
template <typename Row> void SumRows(float* acc, size_t samples, const float* weights, int32_t n, Row rowAt) {
    const auto* r0 = rowAt(0);
    const float w0 = weights[0];
    for (size_t i = 0; i < samples; ++i)
        acc[i] = w0 * float(r0[i]);
    for (int32_t t = 1; t < n; ++t) {
        const auto* r = rowAt(t);
        const float wt = weights[t];
        for (size_t i = 0; i < samples; ++i)
            acc[i] += wt * float(r[i]);
    }
}

// Output rows rowBegin .. rowEnd - 1 only, in both orders.
template <int32_t Bpp>
void ColumnsFirst(const uint8_t* src, int32_t width, int32_t srcStride, uint8_t* dst, int32_t newWidth,
                  int32_t dstStride, const AxisFilter& fx, const AxisFilter& fy, int32_t rowBegin,
                  int32_t rowEnd) {
    const size_t rowSamples = size_t(width) * Bpp;
    std::vector<float> column(rowSamples);
    for (int32_t y = rowBegin; y < rowEnd; ++y) {
        const uint8_t* first = src + ptrdiff_t{fy.first[y]} * srcStride;
        SumRows(column.data(), rowSamples, fy.WeightsOf(y), fy.count[y],
                [&](int32_t t) { return first + ptrdiff_t{t} * srcStride; });
        uint8_t* d = dst + ptrdiff_t{y} * dstStride;
        if (newWidth == width)
            std::transform(column.begin(), column.end(), d, ToByte);
        else
            FilterRow<Bpp>(fx, newWidth, column.data(), d, ToByte);
    }
}

template <int32_t Bpp>
void RowsFirst(const uint8_t* src, int32_t width, int32_t srcStride, uint8_t* dst, int32_t newWidth,
               int32_t dstStride, const AxisFilter& fx, const AxisFilter& fy, int32_t rowBegin,
               int32_t rowEnd) {
    const size_t outSamples = size_t(newWidth) * Bpp;
    std::vector<float> rowAsFloat(size_t(width) * Bpp);
    // Rows in use for one output row are consecutive, and the first of them
    // never moves backwards, so a ring of maxTaps rows holds all of them.
    const int32_t ringRows = fy.maxTaps;
    std::vector<float> ring(size_t(ringRows) * outSamples);
    std::vector<float> acc(outSamples);
    int32_t nextSourceRow = rowBegin < rowEnd ? fy.first[rowBegin] : 0;

    for (int32_t y = rowBegin; y < rowEnd; ++y) {
        const int32_t first = fy.first[y];
        for (; nextSourceRow < first + fy.count[y]; ++nextSourceRow) {
            const uint8_t* s = src + ptrdiff_t{nextSourceRow} * srcStride;
            float* slot = ring.data() + size_t(nextSourceRow % ringRows) * outSamples;
            std::copy(s, s + rowAsFloat.size(), newWidth == width ? slot : rowAsFloat.data());
            if (newWidth != width)
                FilterRow<Bpp>(fx, newWidth, rowAsFloat.data(), slot, AsFloat);
        }
        SumRows(acc.data(), outSamples, fy.WeightsOf(y), fy.count[y],
                [&](int32_t t) { return ring.data() + size_t((first + t) % ringRows) * outSamples; });
        std::transform(acc.begin(), acc.end(), dst + ptrdiff_t{y} * dstStride, ToByte);
    }
}

template <int32_t Bpp>
void Resize(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
            int32_t newWidth, int32_t newHeight, int32_t dstStride) {
    const AxisFilter fx = MakeAxisFilter(width, newWidth);
    const AxisFilter fy = MakeAxisFilter(height, newHeight);
    // Multiply-adds of each order; the row sums run about four at a time.
    const double xTaps = newWidth == width ? 0.0 : double(fx.maxTaps);
    const double columnsFirst =
        double(newHeight) * (fy.maxTaps * double(width) / 4.0 + double(newWidth) * xTaps);
    const double rowsFirst =
        double(height) * double(newWidth) * xTaps + double(newHeight) * fy.maxTaps * double(newWidth) / 4.0;
    const int64_t bytes = std::max(int64_t{width} * height, int64_t{newWidth} * newHeight) * Bpp;
    ForEachBand(newHeight, bytes, [&](int32_t begin, int32_t end) {
        if (columnsFirst <= rowsFirst)
            ColumnsFirst<Bpp>(src, width, srcStride, dst, newWidth, dstStride, fx, fy, begin, end);
        else
            RowsFirst<Bpp>(src, width, srcStride, dst, newWidth, dstStride, fx, fy, begin, end);
    });
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
