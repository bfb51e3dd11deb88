// The statistics pass against libjpeg's own: for each picture, tables made
// from our counts must be, entry for entry, the ones libjpeg's optimisation
// pass writes into its file for the same picture.
#include "imaging/isource/encode/HuffmanStatistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/isource/encode/ForwardDct.h"
#include "imaging/isource/encode/HuffmanTable.h"
#include "imaging/encode/LibjpegReference.h"

using encode_test::Make;
using encode_test::Noise;
using encode_test::Picture;

namespace {

struct Case {
    std::string name;
    Picture picture;
    std::vector<int> qualities;
};

// Counts `p` as our writer would and compares the tables with those in
// libjpeg's optimised file, whose quantisers it also takes.
void ExpectLibjpegsTables(const Picture& p, int quality, int stride) {
    const std::vector<uint8_t> file = encode_test::LibjpegOptimised(p, quality);
    encode_test::FileContents theirs;
    ASSERT_TRUE(encode_test::ReadFile(file, theirs, false));
    // The pixels again with `stride` bytes a row, the padding filled with
    // values that would show if it were read.
    std::vector<uint8_t> rows(size_t(stride) * p.height, 0xA5);
    for (int y = 0; y < p.height; ++y)
        std::copy_n(p.pixels.begin() + ptrdiff_t(y) * p.width * p.bpp, p.width * p.bpp,
                    rows.begin() + ptrdiff_t(y) * stride);
    isource::ScanStatistics counts;
    ASSERT_TRUE(isource::CountScanSymbols(rows.data(), p.width, p.height, stride, p.bpp, theirs.steps, counts));
    for (int t = 0; t < (p.bpp == 3 ? 2 : 1); ++t) {
        EXPECT_TRUE(encode_test::SameTable(isource::OptimalHuffmanTable(counts.dc[t]), theirs.dc[t])) << "DC " << t;
        EXPECT_TRUE(encode_test::SameTable(isource::OptimalHuffmanTable(counts.ac[t]), theirs.ac[t])) << "AC " << t;
    }
}

} // namespace

TEST(HuffmanStatistics, CountsGiveLibjpegsOwnTables) {
    const std::vector<int> colour = {90, 95, 100};
    const std::vector<int> grey = {100, 20};
    // The sign pattern of the highest-energy basis function (4, 4), so one
    // coefficient reaches the largest magnitude a baseline scan can code.
    auto extreme = [](int x, int y, int) {
        auto s = [](int v) { return (v % 8 + 1) / 2 % 2 == 0; };
        return s(x) == s(y) ? 255 : 0;
    };
    std::vector<Case> cases = {
        {"corpus photo 4:4:4", encode_test::CorpusPicture("jpeg_444.jpg"), colour},
        {"corpus photo grey", encode_test::CorpusPicture("jpeg_greyscale.jpg"), grey},
        {"noise", Noise(64, 48, 3, 1), colour},
        {"grey noise", Noise(61, 35, 1, 2), grey},
        {"flat grey", Make(40, 24, 3, [](int, int, int) { return 128; }), colour},
        {"flat grey, one channel", Make(40, 24, 1, [](int, int, int) { return 128; }), grey},
        {"pixel checkerboard", Make(48, 40, 3, [](int x, int y, int c) { return (x + y + c) % 2 * 255; }), colour},
        {"block checkerboard", Make(64, 64, 3, [](int x, int y, int c) { return (x / 8 + y / 8 + c) % 2 * 255; }),
         colour},
        {"grey block checkerboard", Make(64, 64, 1, [](int x, int y, int) { return (x / 8 + y / 8) % 2 * 255; }),
         grey},
        {"highest frequency", Make(32, 32, 3, extreme), colour},
        {"grey highest frequency", Make(32, 32, 1, extreme), grey},
        {"1x1", Make(1, 1, 3, [](int, int, int c) { return 40 + 90 * c; }), colour},
        {"7x9", Noise(7, 9, 3, 3), colour},
        {"17x8", Noise(17, 8, 3, 4), colour},
        {"grey 7x9", Noise(7, 9, 1, 5), grey},
        // Large enough to be split into bands: the DC prediction crosses them.
        {"1921x1081", Noise(1921, 1081, 3, 6), {100}},
        {"grey 1921x1081", Noise(1921, 1081, 1, 7), {100, 20}},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.picture.pixels.empty()) << c.name;
        for (int quality : c.qualities) {
            SCOPED_TRACE(c.name + ", quality " + std::to_string(quality));
            ExpectLibjpegsTables(c.picture, quality, c.picture.width * c.picture.bpp);
        }
    }
    // Rows further apart than their pixels.
    const Picture scene = encode_test::CorpusPicture("jpeg_444.jpg");
    SCOPED_TRACE("padded rows");
    ExpectLibjpegsTables(scene, 95, scene.width * 3 + 13);
}

TEST(HuffmanStatistics, RefusesWhatItCannotCount) {
    isource::QuantSteps steps;
    std::fill_n(steps.luma, 64, uint16_t{1});
    std::fill_n(steps.chroma, 64, uint16_t{1});
    const std::vector<uint8_t> pixels(30, 128);
    isource::ScanStatistics counts;
    EXPECT_TRUE(isource::CountScanSymbols(pixels.data(), 10, 1, 30, 3, steps, counts));
    EXPECT_FALSE(isource::CountScanSymbols(pixels.data(), 10, 1, 29, 3, steps, counts));
    EXPECT_FALSE(isource::CountScanSymbols(pixels.data(), 10, 1, 30, 2, steps, counts));
    EXPECT_FALSE(isource::CountScanSymbols(nullptr, 10, 1, 30, 3, steps, counts));
    steps.chroma[5] = 0; // not a baseline quantiser
    EXPECT_FALSE(isource::CountScanSymbols(pixels.data(), 10, 1, 30, 3, steps, counts));
}

// The quantiser's multiplication, and the size categories taken straight
// from the transform output, against plain division, over every step and
// every value the transform can give.
TEST(HuffmanStatistics, QuantiserDividesExactly) {
    for (int32_t step = 1; step <= 255; ++step) {
        const isource::dct::Divisor divisor = isource::dct::DivisorFor(step);
        for (int32_t x = -16383; x <= 16383; ++x) {
            const int32_t magnitude = ((x < 0 ? -x : x) + 4 * step) / (8 * step);
            const int32_t expected = x < 0 ? -magnitude : magnitude;
            const int32_t q = isource::dct::Quantise(x, divisor);
            int32_t size = 0;
            while (magnitude >> size)
                ++size;
            const auto quotient = isource::dct::SizeOfQuotient(x, float(divisor.half), divisor.reciprocal);
            const int32_t quotientSize = quotient.size;
            if (q != expected || quotientSize != size || quotient.nonZero != (size != 0 ? -1 : 0))
                FAIL() << x << " / (8 * " << step << ") gave " << q << " of size " << quotientSize << ", not "
                       << expected << " of size " << size;
        }
    }
}
