// The display's reduction (the triangle filter) against a reduction worked
// out in double precision with Lanczos-3, on a zone plate and on a
// photo-like picture with fine detail, beside a point-sampled reduction,
// which the bounds must tell apart. A zone plate shrunk properly keeps its
// rings only where the smaller picture can still hold them (its centre);
// sampled, false rings cover it all.
#include "imaging/isource/pixels/Resample.h"

#include "imaging/pixels/TestPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

using pixeltest::Picture;

namespace {

constexpr double kPi = 3.14159265358979323846;

// cos(pi r^2 / w) around the centre: the rings' frequency grows with the
// radius and reaches half a cycle a pixel at the left and right edges.
Picture ZonePlate(int32_t w, int32_t h) {
    Picture p(w, h, 3);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0;
            const uint8_t v = uint8_t(std::lround(127.5 + 127.0 * std::cos(kPi * (dx * dx + dy * dy) / w)));
            std::fill(p.At(x, y), p.At(x, y) + 3, v);
        }
    return p;
}

// Smooth light and colour, sharp edges, one-pixel lines and a grain of
// noise: what makes a photograph's detail.
Picture PhotoLike(int32_t w, int32_t h) {
    Picture p(w, h, 3);
    std::mt19937 rng(19);
    std::normal_distribution<double> grain(0.0, 18.0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int32_t c = 0; c < 3; ++c) {
                double v = 90 + 60 * std::sin(x * 0.004 + c) * std::cos(y * 0.006 - c) + 25 * std::sin(x * 0.11) +
                           grain(rng);
                if ((x / 97 + y / 61) % 2 == 0)
                    v += 50; // a patchwork of sharp edges
                if (x % 23 == 0 || y % 37 == 0)
                    v = 250; // fine lines
                p.At(x, y)[c] = uint8_t(std::clamp(std::lround(v), 0L, 255L));
            }
    return p;
}

// Lanczos-3 taps of one axis in double precision, widened by the reduction,
// taps beyond the edges left out.
std::vector<std::vector<std::pair<int32_t, double>>> Taps(int32_t in, int32_t out) {
    const double scale = double(in) / out, widen = std::max(1.0, scale);
    const auto kernel = [](double x) {
        x = std::fabs(x);
        if (x < 1e-12)
            return 1.0;
        return x < 3.0 ? 3.0 * std::sin(kPi * x) * std::sin(kPi * x / 3.0) / (kPi * kPi * x * x) : 0.0;
    };
    std::vector<std::vector<std::pair<int32_t, double>>> taps(static_cast<size_t>(out));
    for (int32_t o = 0; o < out; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        double sum = 0;
        for (int32_t i = int32_t(std::floor(centre - 3 * widen)); i <= int32_t(std::ceil(centre + 3 * widen)); ++i)
            if (i >= 0 && i < in && kernel((i - centre) / widen) != 0) {
                taps[size_t(o)].push_back({i, kernel((i - centre) / widen)});
                sum += taps[size_t(o)].back().second;
            }
        for (auto& t : taps[size_t(o)])
            t.second /= sum;
    }
    return taps;
}

std::vector<double> Reference(const Picture& src, int32_t w, int32_t h) {
    const auto across = Taps(src.width, w), down = Taps(src.height, h);
    std::vector<double> rows(size_t(w) * size_t(src.height) * 3), out(size_t(w) * size_t(h) * 3);
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (const auto& [i, k] : across[size_t(x)])
                for (int32_t c = 0; c < 3; ++c)
                    rows[(size_t(y) * w + x) * 3 + c] += k * src.At(i, y)[c];
    for (int32_t y = 0; y < h; ++y)
        for (const auto& [j, k] : down[size_t(y)])
            for (int32_t i = 0; i < w * 3; ++i)
                out[size_t(y) * w * 3 + i] += k * rows[size_t(j) * w * 3 + i];
    for (double& v : out)
        v = std::clamp(v, 0.0, 255.0);
    return out;
}

Picture Display(const Picture& src, int32_t w, int32_t h) {
    Picture out(w, h, 3);
    EXPECT_TRUE(isource::ResizeImage(src.bytes.data(), src.width, src.height, src.stride, out.bytes.data(), w, h,
                                     out.stride, 3, isource::ResampleKernel::Triangle));
    return out;
}

// Each output pixel is the source pixel nearest its centre.
Picture Sampled(const Picture& src, int32_t w, int32_t h) {
    Picture out(w, h, 3);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            std::copy_n(src.At(int32_t((x + 0.5) * src.width / w), int32_t((y + 0.5) * src.height / h)), 3,
                        out.At(x, y));
    return out;
}

double Psnr(const Picture& p, const std::vector<double>& reference) {
    double sum = 0;
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t i = 0; i < p.width * 3; ++i) {
            const double d = p.Row(y)[i] - reference[size_t(y) * p.width * 3 + i];
            sum += d * d;
        }
    return 10 * std::log10(255.0 * 255.0 / (sum / (double(p.width) * p.height * 3)));
}

// Root mean square distance from mid-grey of the pixels whose source rings
// are finer than the reduced picture can hold, by half again: where a
// proper reduction leaves an even grey.
double RingsBeyondTheLimit(const Picture& p, int32_t srcWidth) {
    const double scale = double(srcWidth) / p.width;
    const double limit = 1.5 * srcWidth / (2 * scale); // source radius of half a cycle an output pixel
    double sum = 0;
    int n = 0;
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
            const double dx = ((x + 0.5) - p.width / 2.0) * scale, dy = ((y + 0.5) - p.height / 2.0) * scale;
            if (std::hypot(dx, dy) < limit)
                continue;
            const double d = p.At(x, y)[0] - 127.5;
            sum += d * d;
            ++n;
        }
    return n > 0 ? std::sqrt(sum / n) : 0.0;
}

} // namespace

TEST(DisplayReduction, MatchesAFineReductionWhereSamplingCannot) {
    const struct {
        const char* name;
        Picture src;
        int32_t w, h;
        double atLeast; // dB against the reference
    } cases[] = {
        {"zone plate", ZonePlate(1200, 800), 270, 180, 29.0},
        {"photo-like", PhotoLike(1500, 1000), 379, 253, 33.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> reference = Reference(c.src, c.w, c.h);
        const double ours = Psnr(Display(c.src, c.w, c.h), reference);
        const double sampled = Psnr(Sampled(c.src, c.w, c.h), reference);
        std::printf("%s: display reduction %.1f dB, point sampling %.1f dB\n", c.name, ours, sampled);
        EXPECT_GE(ours, c.atLeast);
        EXPECT_GE(ours - sampled, 8.0);
    }
}

TEST(DisplayReduction, AZonePlateKeepsItsRingsOnlyAtItsCentre) {
    const Picture src = ZonePlate(1200, 800);
    const double ours = RingsBeyondTheLimit(Display(src, 270, 180), src.width);
    const double sampled = RingsBeyondTheLimit(Sampled(src, 270, 180), src.width);
    std::printf("beyond the limit: display %.1f, sampled %.1f levels from grey\n", ours, sampled);
    EXPECT_LE(ours, 5.0);
    EXPECT_GE(sampled, 40.0);
}

TEST(DisplayReduction, SmallPicturesAreEnlargedSmoothly) {
    // Growing, the triangle is bilinear interpolation: a ramp stays a ramp
    // with steps no larger than the source's over the enlargement.
    Picture src(8, 2, 3);
    for (int32_t x = 0; x < 8; ++x)
        for (int32_t y = 0; y < 2; ++y)
            std::fill(src.At(x, y), src.At(x, y) + 3, uint8_t(x * 32));
    const Picture out = Display(src, 32, 8);
    for (int32_t x = 3; x < 29; ++x)
        EXPECT_LE(std::abs(out.At(x, 4)[0] - out.At(x - 1, 4)[0]), 9) << x;
}
