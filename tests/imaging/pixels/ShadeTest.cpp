// Fill, blur and overlay as the shadow step uses them.
#include "imaging/isource/pixels/Shade.h"

#include "imaging/pixels/TestPicture.h"

#include <gtest/gtest.h>

#include <algorithm>

using pixeltest::Noise;
using pixeltest::Packed;
using pixeltest::Picture;

TEST(Shade, FillWritesTheColourInsideTheClampedRectangleOnly) {
    Picture p(10, 8, 3, 2, 9);
    ASSERT_TRUE(isource::FillSolidRect(p.bytes.data(), 10, 8, 3, p.stride, {7, -3, 40, 2}, 0x00332211));
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            const bool inside = x >= 7 && y < 2;
            EXPECT_EQ(p.At(x, y)[0], inside ? 0x11 : 9);
            EXPECT_EQ(p.At(x, y)[1], inside ? 0x22 : 9);
            EXPECT_EQ(p.At(x, y)[2], inside ? 0x33 : 9);
        }
    for (int32_t y = 0; y < 8; ++y) // padding untouched
        EXPECT_EQ(p.Row(y)[30], 9);
    EXPECT_TRUE(isource::FillSolidRect(p.bytes.data(), 10, 8, 3, p.stride, {5, 5, 5, 6}, 0));
    EXPECT_FALSE(isource::FillSolidRect(p.bytes.data(), 10, 8, 3, 29, {0, 0, 1, 1}, 0));
}

TEST(Shade, BlurKeepsFlatAreasAndSpreadsAPoint) {
    Picture flat(21, 15, 3, 0, 200);
    Picture out(21, 15, 3);
    ASSERT_TRUE(
        isource::BlurImage(flat.bytes.data(), 21, 15, 3, flat.stride, out.bytes.data(), out.stride, 100, 7));
    EXPECT_EQ(Packed(out), Packed(flat));

    Picture dot(31, 31, 1, 0, 0);
    dot.At(15, 15)[0] = 255;
    Picture spread(31, 31, 1);
    ASSERT_TRUE(isource::BlurImage(dot.bytes.data(), 31, 31, 1, dot.stride, spread.bytes.data(),
                                   spread.stride, 100, 7));
    EXPECT_LT(spread.At(15, 15)[0], 255);
    EXPECT_GT(spread.At(18, 15)[0], 0);
    EXPECT_EQ(spread.At(0, 0)[0], 0); // beyond the reach of radius 7
    // Symmetric about the point and falling off with distance.
    EXPECT_EQ(spread.At(12, 15)[0], spread.At(18, 15)[0]);
    EXPECT_EQ(spread.At(15, 11)[0], spread.At(15, 19)[0]);
    EXPECT_GE(spread.At(15, 15)[0], spread.At(17, 15)[0]);
    EXPECT_GE(spread.At(17, 15)[0], spread.At(20, 15)[0]);

    Picture noise = Noise(12, 9, 3, 1, 4);
    Picture same(12, 9, 3);
    ASSERT_TRUE(
        isource::BlurImage(noise.bytes.data(), 12, 9, 3, noise.stride, same.bytes.data(), same.stride, 0, 7));
    EXPECT_EQ(Packed(same), Packed(noise)); // amount 0 leaves the picture alone
    EXPECT_FALSE(isource::BlurImage(noise.bytes.data(), 12, 9, 3, noise.stride, noise.bytes.data(),
                                    noise.stride, 100, 7));
}

TEST(Shade, OverlayCopiesAtFullOpacityAndClipsAtTheEdges) {
    Picture base(20, 10, 3, 0, 50);
    const Picture top = Noise(8, 6, 3, 1, 5);
    ASSERT_TRUE(isource::OverlayImage(base.bytes.data(), 20, 10, 3, base.stride, top.bytes.data(), 8, 6,
                                      top.stride, -2, 7, 1.0));
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 20; ++x) {
            const bool covered = x < 6 && y >= 7;
            for (int32_t c = 0; c < 3; ++c)
                ASSERT_EQ(base.At(x, y)[c], covered ? top.At(x + 2, y - 7)[c] : 50) << x << "," << y;
        }

    Picture half(4, 4, 1, 0, 100);
    Picture white(4, 4, 1, 0, 200);
    ASSERT_TRUE(isource::OverlayImage(half.bytes.data(), 4, 4, 1, half.stride, white.bytes.data(), 4, 4,
                                      white.stride, 0, 0, 0.5));
    EXPECT_EQ(half.At(2, 2)[0], 150);
    ASSERT_TRUE(isource::OverlayImage(half.bytes.data(), 4, 4, 1, half.stride, white.bytes.data(), 4, 4,
                                      white.stride, 0, 0, 0.0));
    EXPECT_EQ(half.At(2, 2)[0], 150);
}
