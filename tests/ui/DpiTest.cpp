// Sizes for a screen scale and the glyph strips drawn for it.
#include "support/MulDiv.h"
#include "ui/Dpi.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Dpi, ScalesLikeMulDivFromTheDesignScale) {
    struct Case {
        int value, dpi, expected;
    };
    // Halves away from zero: 11 px at 150 % is 16.5, drawn 17.
    for (const Case& c : {Case{11, 144, 17}, Case{-11, 144, -17}, Case{22, 120, 28}, Case{130, 144, 195},
                          Case{19, 192, 38}, Case{2, 72, 2}, Case{7, 0, 7}, Case{7, -1, 7}})
        EXPECT_EQ(ui::ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    for (int dpi : {72, 96, 120, 144, 168, 192, 240, 288})
        for (int value = -600; value <= 600; value += 7)
            ASSERT_EQ(ui::ScaleForDpi(value, dpi), snapwell::MulDiv(value, dpi, 96))
                << value << " at " << dpi;
    // A width kept at one scale taken to another and back.
    EXPECT_EQ(ui::RescaleForDpi(200, 144, 96), 133);
    EXPECT_EQ(ui::RescaleForDpi(ui::RescaleForDpi(200, 96, 192), 192, 96), 200);

    const ui::TAlignSpec spec{ui::TAlign::Top, true, {3, 2, 2, 1}, 120, 26, true};
    const ui::TAlignSpec big = ui::ScaleForDpi(spec, 144);
    EXPECT_EQ(big.Align, ui::TAlign::Top);
    EXPECT_TRUE(big.AlignWithMargins);
    EXPECT_EQ(big.Width, 180);
    EXPECT_EQ(big.Height, 39);
    EXPECT_EQ(big.Margins.Left, 5); // 4.5
    EXPECT_EQ(big.Margins.Top, 3);
    EXPECT_EQ(big.Margins.Bottom, 2); // 1.5
}

TEST(Dpi, GlyphStripsScaleWithoutLosingTheirOutline) {
    constexpr uint32_t kMask = 0xFF00FF, kDark = 0x202020, kFill = 0xE0C040;
    // Two 4 x 4 glyphs: a dark ring round a filled square, then nothing.
    std::vector<uint32_t> strip(8 * 4, kMask);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            strip[y * 8 + x] = (x == 0 || y == 0 || x == 3 || y == 3) ? kDark : kFill;

    // Twice the size: every pixel repeated, the empty glyph stays empty.
    const std::vector<uint32_t> twice = ui::ScaleGlyphStrip(strip, 4, 2, 8, kMask);
    ASSERT_EQ(twice.size(), 16u * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(twice[y * 16 + x], strip[(y / 2) * 8 + x / 2]) << x << "," << y;

    // One and a half: 6 x 6, the edge still opaque all round, the middle the
    // fill, the transparent glyph still all mask.
    const std::vector<uint32_t> half = ui::ScaleGlyphStrip(strip, 4, 2, 6, kMask);
    ASSERT_EQ(half.size(), 12u * 6);
    for (int i = 0; i < 6; ++i)
        for (uint32_t p : {half[i], half[5 * 12 + i], half[i * 12], half[i * 12 + 5]})
            EXPECT_NE(p, kMask) << i;
    EXPECT_EQ(half[2 * 12 + 2], kFill);
    EXPECT_EQ(half[0], kDark);
    for (int y = 0; y < 6; ++y)
        for (int x = 6; x < 12; ++x)
            EXPECT_EQ(half[y * 12 + x], kMask) << x << "," << y;

    // A lone pixel covering less than half of every new pixel disappears
    // rather than smearing into a pale fringe; a bad size gives nothing.
    std::vector<uint32_t> dot(4 * 4, kMask);
    dot[1 * 4 + 1] = kDark;
    const std::vector<uint32_t> small = ui::ScaleGlyphStrip(dot, 4, 1, 3, kMask);
    EXPECT_EQ(std::count(small.begin(), small.end(), kMask), 9);
    EXPECT_TRUE(ui::ScaleGlyphStrip(dot, 4, 2, 8, kMask).empty());
}
