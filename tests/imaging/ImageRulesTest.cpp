// The image object's plain rules.
#include "imaging/ImageRules.h"

#include <gtest/gtest.h>

#include <climits>

using imaging::TCropRect;

TEST(ImageRules, ClampCropCutsOnlyNonEmptyRectanglesSmallerThanThePicture) {
    const struct {
        TCropRect in;
        bool cut;
        TCropRect out;
    } cases[] = {
        {{-10, -10, 50, 40}, true, {0, 0, 50, 40}},
        {{0, 0, 100, 80}, false, {0, 0, 100, 80}},
        {{-1, -1, 101, 81}, false, {0, 0, 100, 80}},
        {{0, 0, 100, 79}, true, {0, 0, 100, 79}},
        {{1, 0, 100, 80}, true, {1, 0, 100, 80}},
        {{50, 10, 50, 40}, false, {50, 10, 50, 40}},
        {{60, 10, 50, 40}, false, {60, 10, 50, 40}},
        {{99, 79, 100, 80}, true, {99, 79, 100, 80}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false, {0, 0, 100, 80}},
        {{120, 0, INT_MAX, 10}, false, {120, 0, 100, 10}},
    };
    for (const auto& c : cases) {
        TCropRect r = c.in;
        EXPECT_EQ(imaging::ClampCrop(r, 100, 80), c.cut) << c.in.nLeft << "," << c.in.nTop;
        EXPECT_EQ(r.nLeft, c.out.nLeft);
        EXPECT_EQ(r.nTop, c.out.nTop);
        EXPECT_EQ(r.nRight, c.out.nRight);
        EXPECT_EQ(r.nBottom, c.out.nBottom);
    }
}

TEST(ImageRules, ShadeFadesFromBlackToTheColour) {
    // size 4: f = 1 - ((4 - i) / 4)^2 = 0, 7/16, 3/4, 15/16
    const uint32_t colour = 0x00204080; // red 0x80, green 0x40, blue 0x20
    EXPECT_EQ(imaging::ShadeOf(colour, 0, 4), 0u);
    EXPECT_EQ(imaging::ShadeOf(colour, 1, 4), 0x000E1C38u);
    EXPECT_EQ(imaging::ShadeOf(colour, 2, 4), 0x00183060u);
    EXPECT_EQ(imaging::ShadeOf(colour, 3, 4), 0x001E3C78u);
    // Truncated, not rounded: 255 * 0.4375 = 111.56.
    EXPECT_EQ(imaging::ShadeOf(0x00FFFFFF, 1, 4), 0x006F6F6Fu);
    EXPECT_EQ(imaging::ShadeOf(0xFF000000, 3, 4), 0u); // the high byte plays no part
}

TEST(ImageRules, WithoutLeadingDotRemovesOneDot) {
    EXPECT_EQ(imaging::WithoutLeadingDot(".jpg"), "jpg");
    EXPECT_EQ(imaging::WithoutLeadingDot("jpg"), "jpg");
    EXPECT_EQ(imaging::WithoutLeadingDot("..jpg"), ".jpg");
    EXPECT_EQ(imaging::WithoutLeadingDot("."), "");
    EXPECT_EQ(imaging::WithoutLeadingDot(""), "");
}

TEST(ImageRules, PictureBytesRefusesWhatA32BitProcessCannotHold) {
    EXPECT_EQ(imaging::PictureBytes(100, 80, 3), 24000u);
    EXPECT_EQ(imaging::PictureBytes(6000, 4000, 3), 72000000u);
    EXPECT_EQ(imaging::PictureBytes(0, 80, 3), 0u);
    EXPECT_EQ(imaging::PictureBytes(100, -1, 3), 0u);
    EXPECT_EQ(imaging::PictureBytes(40000, 40000, 3), 0u);
    EXPECT_EQ(imaging::PictureBytes(INT_MAX, INT_MAX, 3), 0u);
}

TEST(ImageRules, FolderOfKeepsTheSeparator) {
    EXPECT_EQ(imaging::FolderOf("C:\\Copies\\a.jpg"), "C:\\Copies\\");
    EXPECT_EQ(imaging::FolderOf("Z:/tmp/x/a.jpg"), "Z:/tmp/x/");
    EXPECT_EQ(imaging::FolderOf("C:a.jpg"), "C:");
    EXPECT_EQ(imaging::FolderOf("a.jpg"), "");
}
