// The resampler works in one of two orders, whichever costs less for the
// sizes at hand; either way the working memory is a few rows, never a
// second picture.
// - Columns first: each output row is a weighted sum of whole source rows
//   (a contiguous loop the compiler vectorises), then filtered along x.
//   Cheapest when the picture shrinks in height.
// - Rows first: each source row is filtered along x once, into a small ring
//   of float rows, and ring rows are summed for each output row. Cheapest
//   when the picture grows in height.
// On SSE2 the columns-first order of RGB pictures, the one every reduction of
// a photograph takes, sums rows in 16-bit fixed point eight samples per
// instruction and filters along x a whole pixel per instruction.
#include "imaging/isource/pixels/Resample.h"

#include "imaging/isource/pixels/Bands.h"
#include "imaging/isource/pixels/PixelBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define SNAPWELL_RESAMPLE_SSE2 1
#endif

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

#if SNAPWELL_RESAMPLE_SSE2

// Row weights in fixed point with this many fraction bits: 8-bit samples
// times weights below 2 stay far inside 32 bits over any number of taps,
// and rounding a weight moves a result by well under a hundredth of a level.
constexpr int kWeightBits = 14;
constexpr float kWeightUnit = 1.0f / float(1 << kWeightBits);

struct FixedAxisWeights {
    std::vector<int16_t> values; // `stride` per output, an even count, zero padded
    int32_t stride = 0;

    const int16_t* Of(int32_t i) const { return values.data() + size_t(i) * size_t(stride); }
};

// The weights of `f` in fixed point, each output's still summing to exactly
// one (the rounding error goes to its largest weight), so flat areas stay
// exactly flat. False when a weight does not fit 16 bits.
bool MakeFixedWeights(const AxisFilter& f, int32_t outSize, FixedAxisWeights& fixed) {
    fixed.stride = (f.maxTaps + 1) & ~1;
    fixed.values.assign(size_t(outSize) * size_t(fixed.stride), 0);
    for (int32_t i = 0; i < outSize; ++i) {
        const float* w = f.WeightsOf(i);
        int16_t* q = fixed.values.data() + size_t(i) * size_t(fixed.stride);
        int32_t sum = 0, largest = 0;
        for (int32_t t = 0; t < f.count[i]; ++t) {
            if (std::fabs(w[t]) >= 1.99f)
                return false;
            q[t] = int16_t(std::lround(w[t] * float(1 << kWeightBits)));
            sum += q[t];
            if (std::abs(q[t]) > std::abs(q[largest]))
                largest = t;
        }
        q[largest] = int16_t(q[largest] + ((1 << kWeightBits) - sum));
    }
    return true;
}

// out = sum of weights[t] * row t over n rows (`stride` bytes apart) of
// `samples` bytes, as floats. Rows go in pairs, one multiply-add instruction
// for eight samples of both; an odd last row pairs with itself at weight 0.
void SumRowsFixed(const uint8_t* first, ptrdiff_t stride, const int16_t* weights, int32_t n, size_t samples,
                  float* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128 unit = _mm_set1_ps(kWeightUnit);
    size_t i = 0;
    for (; i + 16 <= samples; i += 16) {
        __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        for (int32_t t = 0; t < n; t += 2) {
            const uint8_t* r0 = first + ptrdiff_t{t} * stride + i;
            const uint8_t* r1 = t + 1 < n ? r0 + stride : r0;
            const __m128i pair =
                _mm_set1_epi32(int32_t(uint16_t(weights[t]) | (uint32_t(uint16_t(weights[t + 1])) << 16)));
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1));
            const __m128i aLow = _mm_unpacklo_epi8(a, zero), aHigh = _mm_unpackhi_epi8(a, zero);
            const __m128i bLow = _mm_unpacklo_epi8(b, zero), bHigh = _mm_unpackhi_epi8(b, zero);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(aLow, bLow), pair));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(aLow, bLow), pair));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi16(aHigh, bHigh), pair));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi16(aHigh, bHigh), pair));
        }
        _mm_storeu_ps(out + i, _mm_mul_ps(_mm_cvtepi32_ps(acc0), unit));
        _mm_storeu_ps(out + i + 4, _mm_mul_ps(_mm_cvtepi32_ps(acc1), unit));
        _mm_storeu_ps(out + i + 8, _mm_mul_ps(_mm_cvtepi32_ps(acc2), unit));
        _mm_storeu_ps(out + i + 12, _mm_mul_ps(_mm_cvtepi32_ps(acc3), unit));
    }
    for (; i < samples; ++i) {
        int32_t acc = 0;
        for (int32_t t = 0; t < n; ++t)
            acc += int32_t(weights[t]) * first[ptrdiff_t{t} * stride + ptrdiff_t(i)];
        out[i] = float(acc) * kWeightUnit;
    }
}

// FilterRow for RGB into bytes, one pixel per vector: each tap multiplies
// R, G, B (and the next pixel's R, which is ignored) at once. `row` must
// have one float to spare after its last pixel. Rounds and clamps as ToByte.
void FilterRgbRowToBytes(const AxisFilter& fx, int32_t newWidth, const float* row, uint8_t* out) {
    const __m128 half = _mm_set1_ps(0.5f), zero = _mm_setzero_ps(), top = _mm_set1_ps(255.0f);
    for (int32_t x = 0; x < newWidth; ++x) {
        const float* w = fx.WeightsOf(x);
        const float* s = row + ptrdiff_t{fx.first[x]} * 3;
        __m128 acc = zero;
        for (int32_t t = 0, n = fx.count[x]; t < n; ++t, s += 3)
            acc = _mm_add_ps(acc, _mm_mul_ps(_mm_set1_ps(w[t]), _mm_loadu_ps(s)));
        const __m128i whole = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(_mm_add_ps(acc, half), zero), top));
        const __m128i words = _mm_packs_epi32(whole, whole);
        const uint32_t bytes = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
        // The fourth byte lands on the next pixel's first, written next.
        std::memcpy(out + ptrdiff_t{x} * 3, &bytes, x + 1 < newWidth ? 4 : 3);
    }
}

// Columns first for RGB: output rows rowBegin .. rowEnd - 1.
void ColumnsFirstRgb(const uint8_t* src, int32_t width, int32_t srcStride, uint8_t* dst, int32_t newWidth,
                     int32_t dstStride, const AxisFilter& fx, const AxisFilter& fy,
                     const FixedAxisWeights& fixedY, int32_t rowBegin, int32_t rowEnd) {
    const size_t rowSamples = size_t(width) * 3;
    std::vector<float> column(rowSamples + 1);
    for (int32_t y = rowBegin; y < rowEnd; ++y) {
        SumRowsFixed(src + ptrdiff_t{fy.first[y]} * srcStride, srcStride, fixedY.Of(y), fy.count[y], rowSamples,
                     column.data());
        uint8_t* d = dst + ptrdiff_t{y} * dstStride;
        if (newWidth == width)
            std::transform(column.begin(), column.end() - 1, d, ToByte);
        else
            FilterRgbRowToBytes(fx, newWidth, column.data(), d);
    }
}

#endif // SNAPWELL_RESAMPLE_SSE2

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
            int32_t newWidth, int32_t newHeight, int32_t dstStride, ResampleKernel kernel) {
    const AxisFilter fx = MakeAxisFilter(width, newWidth, kernel);
    const AxisFilter fy = MakeAxisFilter(height, newHeight, kernel);
    // Multiply-adds of each order; the row sums run about four at a time.
    const double xTaps = newWidth == width ? 0.0 : double(fx.maxTaps);
    const double columnsFirst =
        double(newHeight) * (fy.maxTaps * double(width) / 4.0 + double(newWidth) * xTaps);
    const double rowsFirst =
        double(height) * double(newWidth) * xTaps + double(newHeight) * fy.maxTaps * double(newWidth) / 4.0;
    const int64_t bytes = std::max(int64_t{width} * height, int64_t{newWidth} * newHeight) * Bpp;
#if SNAPWELL_RESAMPLE_SSE2
    FixedAxisWeights fixedY;
    if (Bpp == 3 && columnsFirst <= rowsFirst && MakeFixedWeights(fy, newHeight, fixedY)) {
        ForEachBand(newHeight, bytes, [&](int32_t begin, int32_t end) {
            ColumnsFirstRgb(src, width, srcStride, dst, newWidth, dstStride, fx, fy, fixedY, begin, end);
        });
        return;
    }
#endif
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

namespace {

double Triangle(double x) {
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

} // namespace

AxisFilter MakeAxisFilter(int32_t inSize, int32_t outSize, ResampleKernel kernel) {
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
    const double reach = kernel == ResampleKernel::Triangle ? 1.0 : kLobes;
    const double support = reach * stretch;
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
            const double x = (j - centre) / stretch;
            const double k = kernel == ResampleKernel::Triangle ? Triangle(x) : Lanczos3(x);
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
                 int32_t newWidth, int32_t newHeight, int32_t dstStride, int32_t bpp, ResampleKernel kernel) {
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
        Resize<1>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride, kernel);
        break;
    case 2:
        Resize<2>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride, kernel);
        break;
    case 3:
        Resize<3>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride, kernel);
        break;
    default:
        Resize<4>(src, width, height, srcStride, dst, newWidth, newHeight, dstStride, kernel);
        break;
    }
    return true;
}

} // namespace isource
