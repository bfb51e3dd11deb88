// Quarter turns against the plain definition of where each pixel lands.
#include "imaging/isource/pixels/Rotate.h"

#include "imaging/pixels/TestPicture.h"

#include <gtest/gtest.h>

#include <cstring>

using pixeltest::Noise;
using pixeltest::Packed;
using pixeltest::Picture;

namespace {

// Forward mapping, one pixel at a time: turning right moves the pixel at
// (x, y) to (h - 1 - y, x); turning left to (y, w - 1 - x); a half turn to
// (w - 1 - x, h - 1 - y).
Picture NaiveTurn(const Picture& src, int32_t code) {
    const bool quarter = code != isource::kTurnHalf;
    Picture dst(quarter ? src.height : src.width, quarter ? src.width : src.height, src.bpp);
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            int32_t dx = 0, dy = 0;
            if (code == isource::kTurnRight) {
                dx = src.height - 1 - y;
                dy = x;
            } else if (code == isource::kTurnLeft) {
                dx = y;
                dy = src.width - 1 - x;
            } else {
                dx = src.width - 1 - x;
                dy = src.height - 1 - y;
            }
            std::memcpy(dst.At(dx, dy), src.At(x, y), size_t(src.bpp));
        }
    return dst;
}

Picture Turn(const Picture& src, int32_t code, int32_t padding = 0) {
    const bool quarter = code != isource::kTurnHalf;
    Picture dst(quarter ? src.height : src.width, quarter ? src.width : src.height, src.bpp, padding, 0x5A);
    EXPECT_TRUE(isource::RotateImage(src.bytes.data(), src.width, src.height, src.stride, dst.bytes.data(),
                                     dst.stride, code, src.bpp));
    return dst;
}

struct Shape {
    int32_t width, height, bpp, padding;
};

} // namespace

TEST(Rotate, EveryCodeMatchesThePlainDefinitionOnOddSizes) {
    // Sizes straddle the tile edge (48) and include single rows and columns.
    const Shape shapes[] = {{1, 1, 3, 0},
                            {1, 7, 3, 1},
                            {7, 1, 3, 2},
                            {13, 5, 3, 0},
                            {97, 61, 3, 3},
                            {49, 95, 1, 1},
                            {101, 47, 2, 0},
                            {53, 149, 4, 4},
                            {48, 48, 3, 0},
                            {145, 3, 3, 1},
                            // over a megabyte: worked in bands on several threads
                            {701, 503, 3, 1},
                            {503, 701, 4, 0}};
    for (const Shape& s : shapes)
        for (int32_t code : {isource::kTurnRight, isource::kTurnHalf, isource::kTurnLeft}) {
            SCOPED_TRACE(testing::Message()
                         << s.width << "x" << s.height << " bpp " << s.bpp << " code " << code);
            const Picture src = Noise(s.width, s.height, s.bpp, s.padding, uint32_t(s.width * 31 + code));
            const Picture dst = Turn(src, code, 5);
            const Picture want = NaiveTurn(src, code);
            EXPECT_EQ(Packed(dst), Packed(want));
            // Row padding of the destination is left alone.
            for (int32_t y = 0; y < dst.height; ++y)
                for (int32_t i = dst.width * dst.bpp; i < dst.stride; ++i)
                    ASSERT_EQ(dst.Row(y)[i], 0x5A);
        }
}

TEST(Rotate, TurnsCombineAsTheyShould) {
    const Picture src = Noise(67, 29, 3, 2, 9);
    EXPECT_EQ(Packed(Turn(Turn(src, isource::kTurnRight), isource::kTurnLeft)), Packed(src));
    EXPECT_EQ(Packed(Turn(Turn(src, isource::kTurnHalf), isource::kTurnHalf)), Packed(src));
    EXPECT_EQ(Packed(Turn(Turn(src, isource::kTurnRight), isource::kTurnRight)),
              Packed(Turn(src, isource::kTurnHalf)));
    EXPECT_EQ(Packed(Turn(Turn(Turn(src, isource::kTurnRight), isource::kTurnRight), isource::kTurnRight)),
              Packed(Turn(src, isource::kTurnLeft)));
}

TEST(Rotate, RefusesWhatItCannotDo) {
    Picture src = Noise(10, 4, 3);
    Picture dst(4, 10, 3);
    auto rotate = [&](int32_t w, int32_t h, int32_t srcStride, int32_t dstStride, int32_t code, int32_t bpp,
                      const uint8_t* s, uint8_t* d) {
        return isource::RotateImage(s, w, h, srcStride, d, dstStride, code, bpp);
    };
    const uint8_t* s = src.bytes.data();
    uint8_t* d = dst.bytes.data();
    EXPECT_TRUE(rotate(10, 4, 30, 12, 0, 3, s, d));
    EXPECT_FALSE(rotate(10, 4, 30, 12, 3, 3, s, d));  // unknown code
    EXPECT_FALSE(rotate(10, 4, 30, 12, -1, 3, s, d)); // "no turn" is not a turn
    EXPECT_FALSE(rotate(10, 4, 30, 11, 0, 3, s, d));  // destination row too short
    EXPECT_FALSE(rotate(10, 4, 29, 12, 0, 3, s, d));  // source row too short
    EXPECT_FALSE(rotate(10, 4, 30, 12, 1, 3, s, d));  // a half turn needs 10 pixels a row
    EXPECT_FALSE(rotate(0, 4, 30, 12, 0, 3, s, d));   // empty picture
    EXPECT_FALSE(rotate(10, 4, 30, 12, 0, 5, s, d));  // pixel size
    EXPECT_FALSE(rotate(10, 4, 30, 12, 0, 3, nullptr, d));
    EXPECT_FALSE(rotate(10, 4, 30, 12, 0, 3, s, nullptr));
}
