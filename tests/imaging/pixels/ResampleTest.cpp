// The resampler against a direct, slow two-dimensional Lanczos-3 sum written
// out here from the definition, plus the properties a photographer relies
// on: unchanged size is an exact copy, flat areas stay flat, fine patterns
// do not alias when shrinking.
#include "imaging/isource/pixels/Resample.h"

#include "imaging/pixels/TestPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using pixeltest::Noise;
using pixeltest::Packed;
using pixeltest::Picture;

namespace {

double Sinc(double x) {
    if (x == 0.0)
        return 1.0;
    const double px = 3.14159265358979323846 * x;
    return std::sin(px) / px;
}

double Kernel(double x) {
    return std::fabs(x) < 3.0 ? Sinc(x) * Sinc(x / 3.0) : 0.0;
}

// Output pixel (ox, oy) of a width x height -> newWidth x newHeight scaling:
// every source pixel within reach, weighted by the product of the two axis
// kernels (stretched by the reduction factor when shrinking), edge pixels
// standing in for those beyond the picture.
uint8_t DirectSample(const Picture& src, int32_t newWidth, int32_t newHeight, int32_t ox, int32_t oy,
                     int32_t c) {
    const double sx = double(src.width) / newWidth, sy = double(src.height) / newHeight;
    const double kx = std::max(sx, 1.0), ky = std::max(sy, 1.0);
    const double cx = (ox + 0.5) * sx - 0.5, cy = (oy + 0.5) * sy - 0.5;
    double sum = 0.0, weight = 0.0;
    for (int32_t j = int32_t(std::floor(cy - 3 * ky)); j <= int32_t(std::ceil(cy + 3 * ky)); ++j)
        for (int32_t i = int32_t(std::floor(cx - 3 * kx)); i <= int32_t(std::ceil(cx + 3 * kx)); ++i) {
            const double k = Kernel((i - cx) / kx) * Kernel((j - cy) / ky);
            const int32_t x = std::clamp(i, 0, src.width - 1), y = std::clamp(j, 0, src.height - 1);
            sum += k * src.At(x, y)[c];
            weight += k;
        }
    return uint8_t(std::lround(std::clamp(sum / weight, 0.0, 255.0)));
}

Picture Resize(const Picture& src, int32_t newWidth, int32_t newHeight, int32_t padding = 0) {
    Picture dst(newWidth, newHeight, src.bpp, padding, 0x77);
    EXPECT_TRUE(isource::ResizeImage(src.bytes.data(), src.width, src.height, src.stride, dst.bytes.data(),
                                     newWidth, newHeight, dst.stride, src.bpp));
    return dst;
}

// A smooth picture with an edge, closer to a photograph than pure noise,
// so that over- and undershoot get exercised as well.
Picture Scene(int32_t w, int32_t h, int32_t bpp) {
    Picture p(w, h, bpp, 3);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int32_t c = 0; c < bpp; ++c) {
                const double v =
                    128 + 90 * std::sin(x * 0.37 + c) * std::cos(y * 0.23 - c) + (x > w / 2 ? 30 : -30);
                p.At(x, y)[c] = uint8_t(std::clamp(v, 0.0, 255.0));
            }
    return p;
}

} // namespace

TEST(Resample, KernelIsLanczos3) {
    EXPECT_DOUBLE_EQ(isource::Lanczos3(0.0), 1.0);
    for (double x : {1.0, 2.0, -1.0, -2.0})
        EXPECT_NEAR(isource::Lanczos3(x), 0.0, 1e-12);
    for (double x : {3.0, -3.0, 3.5, 10.0})
        EXPECT_EQ(isource::Lanczos3(x), 0.0);
    for (double x : {0.3, 0.5, 1.25, 2.5, -1.7})
        EXPECT_NEAR(isource::Lanczos3(x), Kernel(x), 1e-12);
}

TEST(Resample, UnchangedSizeIsAnExactCopy) {
    for (int32_t bpp : {1, 3, 4}) {
        const Picture src = Noise(37, 23, bpp, 2, uint32_t(bpp));
        EXPECT_EQ(Packed(Resize(src, 37, 23, 1)), Packed(src)) << "bpp " << bpp;
    }
}

TEST(Resample, ConstantPicturesStayConstant) {
    const struct {
        int32_t w, h, nw, nh;
    } sizes[] = {{40, 30, 13, 7}, {40, 30, 41, 30}, {40, 30, 40, 90},
                 {7, 5, 64, 3},   {300, 2, 1, 1},   {1, 1, 9, 9}};
    for (uint8_t value : {uint8_t(0), uint8_t(1), uint8_t(128), uint8_t(254), uint8_t(255)})
        for (const auto& s : sizes) {
            Picture src(s.w, s.h, 3, 1);
            for (int32_t y = 0; y < s.h; ++y)
                std::fill(src.Row(y), src.Row(y) + s.w * 3, value);
            const std::vector<uint8_t> out = Packed(Resize(src, s.nw, s.nh));
            EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](uint8_t v) { return v == value; }))
                << int(value) << " " << s.w << "x" << s.h << " -> " << s.nw << "x" << s.nh;
        }
}

TEST(Resample, MatchesADirectTwoDimensionalLanczosSum) {
    const struct {
        int32_t w, h, nw, nh, bpp;
    } cases[] = {
        {120, 90, 37, 28, 3}, // shrink by about 3.2, like a camera picture to a frame
        {64, 48, 32, 24, 3},  // exactly half
        {61, 47, 60, 17, 1},  // barely narrower, much lower
        {23, 17, 57, 40, 3},  // enlargement
        {30, 20, 30, 49, 4},  // height only
        {9, 9, 4, 13, 3},     // shrink one way, grow the other
    };
    for (const auto& s : cases) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << " -> " << s.nw << "x" << s.nh);
        for (const Picture& src : {Scene(s.w, s.h, s.bpp), Noise(s.w, s.h, s.bpp, 1, 77)}) {
            const Picture out = Resize(src, s.nw, s.nh, 2);
            int worst = 0;
            for (int32_t y = 0; y < s.nh; ++y)
                for (int32_t x = 0; x < s.nw; ++x)
                    for (int32_t c = 0; c < s.bpp; ++c)
                        worst = std::max(worst, std::abs(int(out.At(x, y)[c]) -
                                                         int(DirectSample(src, s.nw, s.nh, x, y, c))));
            EXPECT_LE(worst, 1);
        }
    }
}

TEST(Resample, LargePicturesWorkedInBandsMatchTheDirectSum) {
    // Over a megabyte of pixels: the rows are shared among threads; every
    // 13th output pixel is checked, which reaches every band.
    const struct { int32_t w, h, nw, nh; } cases[] = {{900, 700, 347, 271}, {520, 400, 901, 761}};
    for (const auto& s : cases) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << " -> " << s.nw << "x" << s.nh);
        const Picture src = Scene(s.w, s.h, 3);
        const Picture out = Resize(src, s.nw, s.nh);
        int worst = 0;
        for (int32_t i = 0; i < s.nw * s.nh; i += 13) {
            const int32_t x = i % s.nw, y = i / s.nw;
            for (int32_t c = 0; c < 3; ++c)
                worst = std::max(
                    worst, std::abs(int(out.At(x, y)[c]) - int(DirectSample(src, s.nw, s.nh, x, y, c))));
        }
        EXPECT_LE(worst, 1);
    }
}

TEST(Resample, ShrinkingAFinePatternDoesNotAlias) {
    // A one-pixel checkerboard reduced by 3 lands every output centre on a
    // source pixel; a kernel that is not widened would copy that pixel and
    // give black and white, a real reduction gives the mean.
    Picture src(90, 60, 1);
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 90; ++x)
            src.At(x, y)[0] = ((x + y) & 1) ? 255 : 0;
    const Picture out = Resize(src, 30, 20);
    for (int32_t y = 2; y < 18; ++y)
        for (int32_t x = 2; x < 28; ++x)
            ASSERT_NEAR(out.At(x, y)[0], 128, 3) << x << "," << y;
}

TEST(Resample, RefusesBadShapes) {
    const Picture src = Noise(10, 10, 3);
    Picture dst(5, 5, 3);
    EXPECT_FALSE(isource::ResizeImage(src.bytes.data(), 10, 10, 30, dst.bytes.data(), 0, 5, 15, 3));
    EXPECT_FALSE(isource::ResizeImage(src.bytes.data(), 10, 10, 30, dst.bytes.data(), 5, 5, 14, 3));
    EXPECT_FALSE(isource::ResizeImage(src.bytes.data(), 10, 10, 29, dst.bytes.data(), 5, 5, 15, 3));
    EXPECT_FALSE(isource::ResizeImage(nullptr, 10, 10, 30, dst.bytes.data(), 5, 5, 15, 3));
}
