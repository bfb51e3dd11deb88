// The statistics pass against libjpeg's own: for each picture, tables made
// from our counts must be, entry for entry, the ones libjpeg's optimisation
// pass writes into its file for the same picture.
#include "imaging/isource/encode/HuffmanStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/encode/LibjpegReference.h"
#include "imaging/isource/encode/ForwardDct.h"

using encode_test::Make;
using encode_test::Noise;
using encode_test::Picture;

namespace {

// Counts `p`, its rows `stride` bytes apart, with the quantisers of
// libjpeg's file and compares the tables with the file's.
void ExpectLibjpegsTables(const Picture& p, int quality, int stride) {
    encode_test::FileContents theirs;
    ASSERT_TRUE(encode_test::ReadFile(encode_test::LibjpegOptimised(p, quality), theirs));
    std::vector<uint8_t> rows(size_t(stride) * p.height, 0xA5); // padding that would show
    for (int y = 0; y < p.height; ++y)
        std::copy_n(p.pixels.begin() + ptrdiff_t(y) * p.width * p.bpp, p.width * p.bpp,
                    rows.begin() + ptrdiff_t(y) * stride);
    isource::ScanStatistics counts;
    ASSERT_TRUE(
        isource::CountScanSymbols(rows.data(), p.width, p.height, stride, p.bpp, theirs.steps, counts));
    for (int t = 0; t < (p.bpp == 3 ? 2 : 1); ++t) {
        EXPECT_EQ(encode_test::Entries(isource::OptimalHuffmanTable(counts.dc[t])), theirs.dc[t])
            << "DC " << t;
        EXPECT_EQ(encode_test::Entries(isource::OptimalHuffmanTable(counts.ac[t])), theirs.ac[t])
            << "AC " << t;
    }
}

} // namespace

TEST(HuffmanStatistics, CountsGiveLibjpegsOwnTables) {
    const std::vector<int> colour = {90, 95, 100}, grey = {100, 20};
    // The signs of the basis function (4, 4), which drives one coefficient
    // to the largest magnitude a baseline scan can code.
    auto extreme = [](int x, int y, int) {
        auto s = [](int v) { return (v % 8 + 1) / 2 % 2; };
        return s(x) == s(y) ? 255 : 0;
    };
    auto flat = [](int, int, int) { return 128; };
    auto pixels = [](int x, int y, int c) { return (x + y + c) % 2 * 255; };
    auto blocks = [](int x, int y, int c) { return (x / 8 + y / 8 + c) % 2 * 255; };
    const struct {
        std::string name;
        Picture picture;
        std::vector<int> qualities;
    } cases[] = {
        {"corpus photo", encode_test::CorpusPicture("jpeg_444.jpg.ref.ppm", 3), colour},
        {"grey corpus photo", encode_test::CorpusPicture("jpeg_greyscale.jpg.ref.ppm", 1), grey},
        {"noise", Noise(64, 48, 3, 1), colour},
        {"grey noise", Noise(61, 35, 1, 2), grey},
        {"flat", Make(40, 24, 3, flat), colour},
        {"grey flat", Make(40, 24, 1, flat), grey},
        {"pixel checkerboard", Make(48, 40, 3, pixels), colour},
        {"block checkerboard", Make(64, 64, 3, blocks), colour},
        {"grey block checkerboard", Make(64, 64, 1, blocks), grey},
        {"highest frequency", Make(32, 32, 3, extreme), colour},
        {"grey highest frequency", Make(32, 32, 1, extreme), grey},
        {"1x1", Make(1, 1, 3, [](int, int, int c) { return 40 + 90 * c; }), colour},
        {"7x9", Noise(7, 9, 3, 3), colour},
        {"17x8", Noise(17, 8, 3, 4), colour},
        {"grey 7x9", Noise(7, 9, 1, 5), grey},
        // Split into bands: the DC prediction crosses them. Under the fade
        // every block's DC is close to its neighbours' but far from zero, so
        // a band coded against zero would add a symbol.
        {"1921x1081", Noise(1921, 1081, 3, 6), {100}},
        {"fade to black",
         Make(1921, 1081, 3, [](int, int y, int) { return std::max(0, 128 - y * 128 / 200); }),
         {100}},
        {"grey 1921x1081", Noise(1921, 1081, 1, 7), grey},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(c.picture.pixels.empty()) << c.name;
        for (int quality : c.qualities) {
            SCOPED_TRACE(c.name + ", quality " + std::to_string(quality));
            ExpectLibjpegsTables(c.picture, quality, c.picture.width * c.picture.bpp);
        }
    }
    SCOPED_TRACE("rows further apart than their pixels");
    ExpectLibjpegsTables(cases[0].picture, 95, cases[0].picture.width * 3 + 13);
}

// The quantiser's multiplication, and the size categories taken straight
// from the transform output, against plain division, over every step and
// every value the transform can give.
TEST(HuffmanStatistics, QuantiserDividesExactly) {
    for (int32_t step = 1; step <= 255; ++step) {
        const isource::dct::Divisor divisor = isource::dct::DivisorFor(step);
        for (int32_t x = -16383; x <= 16383; ++x) {
            const int32_t magnitude = ((x < 0 ? -x : x) + 4 * step) / (8 * step);
            int32_t size = 0;
            while (magnitude >> size)
                ++size;
            const int32_t q = isource::dct::Quantise(x, divisor);
            const auto quotient = isource::dct::SizeOfQuotient(x, float(divisor.half), divisor.reciprocal);
            if (q != (x < 0 ? -magnitude : magnitude) || quotient.size != size ||
                quotient.nonZero != (size != 0 ? -1 : 0))
                FAIL() << x << " / (8 * " << step << ") gave " << q << " of size " << quotient.size;
        }
    }
}
