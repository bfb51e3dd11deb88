// Cutting a rectangle, with the clamps at the picture's edges.
#include "imaging/isource/pixels/Crop.h"

#include "imaging/pixels/TestPicture.h"

#include <gtest/gtest.h>

#include <cstring>

using pixeltest::Noise;
using pixeltest::Picture;

TEST(Crop, ClampsTheRectangleToThePicture) {
    struct Case {
        isource::PixelRect in;
        bool ok;
        isource::PixelRect out;
    };
    const Case cases[] = {
        {{-10, -10, 50, 40}, true, {0, 0, 50, 40}},
        {{20, 30, 500, 800}, true, {20, 30, 100, 80}},
        {{0, 0, 100, 80}, true, {0, 0, 100, 80}},
        {{99, 79, 100, 80}, true, {99, 79, 100, 80}},
        {{50, 10, 50, 40}, false, {}},  // right not beyond left
        {{10, 40, 50, 39}, false, {}},  // bottom above top
        {{100, 0, 120, 80}, false, {}}, // wholly right of the picture
        {{-30, -30, 0, 0}, false, {}},  // wholly above and left
    };
    for (const Case& c : cases) {
        isource::PixelRect r = c.in;
        SCOPED_TRACE(testing::Message()
                     << c.in.left << "," << c.in.top << "," << c.in.right << "," << c.in.bottom);
        ASSERT_EQ(isource::ClampToPicture(r, 100, 80), c.ok);
        if (c.ok) {
            EXPECT_EQ(r.left, c.out.left);
            EXPECT_EQ(r.top, c.out.top);
            EXPECT_EQ(r.right, c.out.right);
            EXPECT_EQ(r.bottom, c.out.bottom);
        }
    }
}

TEST(Crop, CopiesTheClampedRectangle) {
    const Picture src = Noise(100, 80, 3, 4, 3);
    Picture dst(50, 40, 3, 0, 0);
    ASSERT_TRUE(isource::CropImage(src.bytes.data(), 100, 80, src.stride, dst.bytes.data(), dst.stride,
                                   {-10, -10, 50, 40}, 3));
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 50; ++x)
            for (int32_t c = 0; c < 3; ++c)
                ASSERT_EQ(dst.At(x, y)[c], src.At(x, y)[c]) << x << "," << y;

    Picture corner(7, 5, 3, 2, 0);
    ASSERT_TRUE(isource::CropImage(src.bytes.data(), 100, 80, src.stride, corner.bytes.data(), corner.stride,
                                   {93, 75, 1000, 1000}, 3));
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x)
            ASSERT_EQ(corner.At(x, y)[1], src.At(93 + x, 75 + y)[1]);
}

TEST(Crop, LargeCropsAreCopiedWhole) {
    // Over a megabyte: copied in bands by several threads.
    const Picture src = Noise(1000, 600, 3, 0, 8);
    Picture dst(980, 580, 3, 0, 0);
    ASSERT_TRUE(isource::CropImage(src.bytes.data(), 1000, 600, src.stride, dst.bytes.data(), dst.stride,
                                   {10, 10, 990, 590}, 3));
    for (int32_t y = 0; y < 580; ++y)
        ASSERT_EQ(0, std::memcmp(dst.Row(y), src.At(10, 10 + y), 980 * 3)) << y;
}

TEST(Crop, RefusesEmptyRectanglesAndShortRows) {
    const Picture src = Noise(20, 10, 3);
    Picture dst(20, 10, 3);
    EXPECT_FALSE(isource::CropImage(src.bytes.data(), 20, 10, src.stride, dst.bytes.data(), dst.stride,
                                    {5, 5, 5, 9}, 3));
    EXPECT_FALSE(isource::CropImage(src.bytes.data(), 20, 10, src.stride, dst.bytes.data(), dst.stride,
                                    {30, 0, 40, 10}, 3));
    // Eight pixels need 24 bytes a row.
    EXPECT_FALSE(
        isource::CropImage(src.bytes.data(), 20, 10, src.stride, dst.bytes.data(), 23, {2, 2, 10, 6}, 3));
    EXPECT_TRUE(
        isource::CropImage(src.bytes.data(), 20, 10, src.stride, dst.bytes.data(), 24, {2, 2, 10, 6}, 3));
}
