// The placement fit against values worked out by hand: the margin band, the
// overflow test against the whole client size, centring with halves that
// truncate toward zero, square pictures as portrait.
#include "view/DrawBox.h"
#include "view/StatusData.h"

#include <gtest/gtest.h>

#include <utility>

struct FitCase {
    const char* what;
    int32_t W, H, w, h;
    TRect expected;
};

TEST(DrawBox, StartsEmptyWithTenPixelMargin) {
    TDrawBox box;
    EXPECT_EQ(static_cast<const TRect&>(box), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(box.Margin, 10);
}

TEST(DrawBox, FitTable) {
    const FitCase cases[] = {
        // FitWidth's height equals the full client height: kept, margin given up.
        {"landscape reaching into the margin band", 420, 300, 400, 300, {10, 0, 410, 300}},
        {"portrait fitted by height", 600, 420, 300, 400, {150, 10, 450, 410}},
        {"landscape fitted by width", 820, 620, 800, 600, {10, 10, 810, 610}},
        // d = MulDiv(760, 600, 800) = 570; top = 10 + half(586 - 20 - 570) = 10 + (-2).
        {"negative centring offset truncates", 780, 586, 800, 600, {10, 8, 770, 578}},
        // FitWidth's height MulDiv(780, 980, 1000) = 764 exceeds 600, so FitHeight:
        // d = MulDiv(580, 1000, 980) = 592, left = 10 + half(188).
        {"landscape too tall falls back to height", 800, 600, 1000, 980, {104, 10, 696, 590}},
        // d = MulDiv(566, 600, 800) = 425 (424.5 rounds up); left = 10 + half(335).
        {"portrait with rounding", 780, 586, 600, 800, {177, 10, 602, 576}},
        {"square counts as portrait", 600, 420, 500, 500, {100, 10, 500, 410}},
        // A square in a tall client: FitHeight's width 580 > 400, so FitWidth.
        {"square too wide falls back to width", 400, 600, 300, 300, {10, 110, 390, 490}},
        {"portrait reaching into the margin band", 300, 420, 300, 400, {0, 10, 300, 410}},
        // Client below twice the margin: the formulas run with negative sizes,
        // d = MulDiv(-8, 30, 40) = -6, top = 10 + half(-6) = 7.
        {"client smaller than the margins", 12, 8, 40, 30, {10, 7, 2, 1}},
    };
    for (const auto& k : cases) {
        TDrawBox box;
        box.Fit(k.W, k.H, k.w, k.h);
        EXPECT_EQ(static_cast<const TRect&>(box), k.expected)
            << k.what << ": got (" << box.Left << ", " << box.Top << ")-(" << box.Right << ", " << box.Bottom << ")";
    }
}

TEST(DrawBox, PictureWithoutAreaChangesNothing) {
    for (const auto& size : {std::pair{0, 300}, std::pair{300, 0}, std::pair{-5, 10}, std::pair{0, 0}}) {
        TDrawBox box;
        box.Fit(600, 420, 300, 400);
        box.Fit(800, 800, size.first, size.second);
        EXPECT_EQ(static_cast<const TRect&>(box), (TRect{150, 10, 450, 410})) << size.first << "x" << size.second;
    }
}

TEST(StatusData, NewAndClearedRecordsAreAllZero) {
    TStatusData status;
    EXPECT_EQ(status.Crop, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(status.CopySize, (TSize{0, 0}));
    EXPECT_EQ(status.SourceWidth, 0);
    EXPECT_EQ(status.SourceHeight, 0);
    status.Crop = {1, 2, 3, 4};
    status.CopySize = {5, 6};
    status.SourceWidth = 7;
    status.SourceHeight = 8;
    status.Clear();
    EXPECT_EQ(status.Crop, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(status.CopySize, (TSize{0, 0}));
    EXPECT_EQ(status.SourceWidth, 0);
    EXPECT_EQ(status.SourceHeight, 0);
    EXPECT_EQ(WM_CROPSTATUS, 0x83E9u);
}
