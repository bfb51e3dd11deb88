// Scaling a picture with a separable filter: Lanczos-3 for the copies, a
// triangle (tent) for the display, cheaper at half the reach and still
// area-correct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace isource {

// The Lanczos-3 kernel: sinc(x) * sinc(x / 3) inside |x| < 3, else 0.
double Lanczos3(double x);

enum class ResampleKernel {
    Lanczos3, // sinc(x) * sinc(x / 3), reach 3
    Triangle, // 1 - |x|, reach 1: a box average's smooth cousin when shrinking, bilinear when growing
};

// The source samples and weights that make each output sample along one
// axis. Output i is centred on source position (i + 0.5) * in / out - 0.5;
// when shrinking the kernel is stretched by the reduction factor, so every
// source sample contributes (no aliasing). Samples beyond the edges repeat
// the edge sample; weights of each output sum to 1.
struct AxisFilter {
    std::vector<int32_t> first; // first source index of output i
    std::vector<int32_t> count; // number of taps of output i
    std::vector<float> weights; // maxTaps weights per output, zero padded
    int32_t maxTaps = 0;

    const float* WeightsOf(int32_t i) const { return weights.data() + size_t(i) * size_t(maxTaps); }
};

AxisFilter MakeAxisFilter(int32_t inSize, int32_t outSize,
                          ResampleKernel kernel = ResampleKernel::Lanczos3);

// Scales `src` (width x height) to `dst` (newWidth x newHeight). When a size
// is unchanged that axis is copied exactly. False when a buffer shape does
// not fit.
bool ResizeImage(const uint8_t* src, int32_t width, int32_t height, int32_t srcStride, uint8_t* dst,
                 int32_t newWidth, int32_t newHeight, int32_t dstStride, int32_t bpp,
                 ResampleKernel kernel = ResampleKernel::Lanczos3);

} // namespace isource
